#include "platform/run_time_files.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

// Closes the descriptor when the read is done, however it ends.
class Descriptor
{
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int Get() const { return fd_; }

private:
    int fd_;
};

FileRead::Status StatusOfError(int error)
{
    return error == ENOENT || error == ENOTDIR ? FileRead::Missing : FileRead::Unreadable;
}

FileRead Refused(const QString& path, FileKind kind, FileRead::Status status, int error = 0)
{
    const FileLimit& limit = LimitOf(kind);
    if (status == FileRead::NotRegular)
        qWarning("Lumidial: %s is not read: it is not a regular file", qPrintable(path));
    else if (status == FileRead::TooLarge)
        qWarning("Lumidial: %s is not read: a %s may have at most %lld bytes", qPrintable(path), limit.name,
                 static_cast<long long>(limit.maxBytes));
    else if (status == FileRead::Unreadable)
        qWarning("Lumidial: %s cannot be read: %s", qPrintable(path), std::strerror(error));
    return {status, {}};
}

// Reads to the end, but never more than limit + 1 bytes: one byte more than
// the cap tells that the file has grown past it since it was measured.
// Returns 0, or the error number of a failed read.
int ReadAll(int fd, qint64 expected, qint64 limit, QByteArray& bytes)
{
    bytes.resize(std::min(expected, limit) + 1); // the extra byte sees the end at once
    qint64 done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + done, static_cast<size_t>(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno;
        if (n == 0)
            break;
        done += n;
        if (done == bytes.size() && done <= limit)
            bytes.resize(std::min(limit + 1, 2 * done));
    }
    bytes.truncate(done);
    return 0;
}

} // namespace

FileRead ReadRunTimeFile(const QString& path, FileKind kind)
{
    if (path.isEmpty())
        return {FileRead::Missing, {}};
    const QByteArray name = QFile::encodeName(path);
    // Opening a device can act on it (a serial line, a watchdog): what is no
    // regular file by its name is not opened at all. The descriptor's own type
    // decides in the end, as the name may change in between.
    struct stat info
    {
    };
    if (::stat(name.constData(), &info) != 0)
        return Refused(path, kind, StatusOfError(errno), errno);
    if (!S_ISREG(info.st_mode))
        return Refused(path, kind, FileRead::NotRegular);
    const Descriptor fd(::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.Get() < 0)
        return Refused(path, kind, StatusOfError(errno), errno);
    if (::fstat(fd.Get(), &info) != 0)
        return Refused(path, kind, FileRead::Unreadable, errno);
    if (!S_ISREG(info.st_mode))
        return Refused(path, kind, FileRead::NotRegular);
    const qint64 limit = MaxFileBytes(kind);
    if (info.st_size > limit)
        return Refused(path, kind, FileRead::TooLarge);
    FileRead read{FileRead::Read, {}};
    if (const int error = ReadAll(fd.Get(), info.st_size, limit, read.bytes))
        return Refused(path, kind, FileRead::Unreadable, error);
    if (read.bytes.size() > limit)
        return Refused(path, kind, FileRead::TooLarge);
    return read;
}

QImage ReadPictureFile(const QString& path, bool autoTransform)
{
    FileRead file = ReadRunTimeFile(path, FileKind::Picture);
    if (!file.Ok())
        return {};
    QBuffer buffer(&file.bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer); // the format from the content, whatever the name says
    reader.setAutoTransform(autoTransform);
    return reader.read();
}

} // namespace platform
