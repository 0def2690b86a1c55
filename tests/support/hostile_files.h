#pragma once
// What must neither hang nor flood a loader, put where a run-time file should
// be: a FIFO that nobody writes (opening it for reading waits for a writer), a
// link to /dev/zero (endless), a folder, and a file one byte over the cap of
// its kind (sparse, so it costs no disk). Loader tests drive each loader with
// all four in one table and expect its failure or fallback at once.
#include "platform/run_time_files.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <sys/stat.h>
#include <unistd.h>

namespace lmd::test {

enum class HostileFile
{
    Fifo,
    LinkToDevZero,
    Folder,
    OverLarge,
};

struct HostileCase
{
    HostileFile kind;
    const char* name;
};

inline constexpr HostileCase kHostileFiles[] = {
    {HostileFile::Fifo, "a FIFO"},
    {HostileFile::LinkToDevZero, "a link to /dev/zero"},
    {HostileFile::Folder, "a folder"},
    {HostileFile::OverLarge, "a file over its cap"},
};

// Removes the file, link or empty folder at path, if any.
inline void ClearPath(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    if (::unlink(name.constData()) != 0)
        ::rmdir(name.constData());
}

// Puts the hostile thing at path, in place of whatever ClearPath removes. The
// over-large file starts with content (a file the loader would take, so that
// only its size is wrong) and runs one byte past the cap of fileKind.
inline bool PlaceHostileFile(const QString& path, HostileFile kind, platform::FileKind fileKind,
                             const QByteArray& content = {})
{
    ClearPath(path);
    const QByteArray name = QFile::encodeName(path);
    switch (kind) {
    case HostileFile::Fifo:
        return ::mkfifo(name.constData(), 0600) == 0;
    case HostileFile::LinkToDevZero:
        return ::symlink("/dev/zero", name.constData()) == 0;
    case HostileFile::Folder:
        return ::mkdir(name.constData(), 0700) == 0;
    case HostileFile::OverLarge: {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(content) == content.size() &&
               file.resize(platform::MaxFileBytes(fileKind) + 1);
    }
    }
    return false;
}

} // namespace lmd::test
