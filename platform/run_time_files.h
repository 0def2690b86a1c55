#pragma once
// Run-time files: every file the program reads while it runs (pictures,
// models, shader sources, the noise volume, the settings, the feed list and
// the downloaded feed) is read here, whole, into memory.
//
// A read never blocks and never runs without end, whatever sits at the path:
// - the path is opened with links followed and O_NONBLOCK, so a FIFO without
//   a writer does not hold the open; the opened descriptor's own type decides
//   (fstat), so nothing can be swapped in between a check and the open;
// - anything but a regular file (FIFO, device, socket, folder) is refused,
//   and so is a link to one (/dev/zero, say);
// - a file larger than the cap of its kind (kFileLimits) is refused before a
//   byte is read; one that grows while it is read is refused too.
// A refused file gets a warning on the standard error stream that says why;
// a missing file gets none (many loaders try a file that may not be there).
// The caller then does what it does for a missing file: a default picture,
// the settings' defaults, an error box.
#include <QByteArray>
#include <QImage>
#include <QString>
#include <QtGlobal>

namespace platform {

// What a file is to the program, for its size cap.
enum class FileKind
{
    Picture,      // PNG, JPEG, BMP ...: frames, textures, slideshow, about and demo pictures
    Model,        // Wavefront OBJ
    ShaderSource, // GLSL text
    NoiseVolume,  // raw bytes of the 3D noise texture
    Settings,     // the INI file
    FeedList,     // lmd_rss.ini
    Feed,         // lmd_rss.xml
};

struct FileLimit
{
    FileKind kind;
    qint64 maxBytes;
    const char* name; // in messages
};

inline constexpr qint64 kMiB = 1024 * 1024;

// The caps: far above any file the program ships or a user makes by hand
// (a photo of the slideshow, a detailed model), far below what would make the
// program stall or run out of memory.
inline constexpr FileLimit kFileLimits[] = {
    {FileKind::Picture, 64 * kMiB, "picture"},
    {FileKind::Model, 64 * kMiB, "model"},
    {FileKind::ShaderSource, 1 * kMiB, "shader source"},
    {FileKind::NoiseVolume, 16 * kMiB, "noise volume"},
    {FileKind::Settings, 1 * kMiB, "settings file"},
    {FileKind::FeedList, 4 * kMiB, "feed list"},
    {FileKind::Feed, 32 * kMiB, "feed"},
};

constexpr const FileLimit& LimitOf(FileKind kind)
{
    for (const FileLimit& limit : kFileLimits) {
        if (limit.kind == kind)
            return limit;
    }
    return kFileLimits[0]; // every kind has its row
}

constexpr qint64 MaxFileBytes(FileKind kind)
{
    return LimitOf(kind).maxBytes;
}

// The result of a read: the bytes, or why there are none.
struct FileRead
{
    enum Status
    {
        Read,
        Missing,    // nothing at the path (a dangling link included)
        NotRegular, // a FIFO, device, socket or folder
        TooLarge,   // over the kind's cap
        Unreadable, // no permission, an I/O error ...
    };
    Status status = Missing;
    QByteArray bytes;

    bool Ok() const { return status == Read; }
};

// Reads the whole file as described above.
FileRead ReadRunTimeFile(const QString& path, FileKind kind);

// A picture file read with ReadRunTimeFile and decoded from memory, in the
// format its content shows (PNG, JPEG, BMP, GIF ...; the name's suffix plays no
// part). A null image when the file is refused or is no picture. autoTransform
// applies the orientation a JPEG stores.
QImage ReadPictureFile(const QString& path, bool autoTransform = false);

} // namespace platform
