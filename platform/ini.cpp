#include "platform/ini.h"

#include "platform/crt.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringEncoder>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

enum class LineKind
{
    Other,
    Section,
    Key
};

struct ParsedLine
{
    LineKind kind = LineKind::Other;
    QStringView name;
    QStringView value;
};

// Reads one line the way the profile calls see it: a section header, a key line
// (anything with '='), or a line that only travels along (comments, blanks,
// notes).
ParsedLine Classify(QStringView line)
{
    const QStringView text = line.trimmed();
    if (text.startsWith(u'[')) {
        const qsizetype end = text.indexOf(u']');
        const QStringView name = end < 0 ? text.mid(1) : text.mid(1, end - 1);
        return {LineKind::Section, name.trimmed(), {}};
    }
    if (text.isEmpty() || text.startsWith(u';'))
        return {};
    const qsizetype eq = text.indexOf(u'=');
    if (eq < 0)
        return {};
    return {LineKind::Key, text.left(eq).trimmed(), text.mid(eq + 1).trimmed()};
}

bool SameName(QStringView a, QStringView b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool HasLineBreak(QStringView text)
{
    return text.contains(u'\n') || text.contains(u'\r');
}

bool ValidSection(QStringView name)
{
    const QStringView t = name.trimmed();
    return !t.isEmpty() && t == name && !HasLineBreak(name) && !name.contains(u']');
}

bool ValidKey(QStringView name)
{
    const QStringView t = name.trimmed();
    return !t.isEmpty() && t == name && !HasLineBreak(name) && !name.contains(u'=') &&
           !name.startsWith(u';') && !name.startsWith(u'[');
}


// Makes a rename in the folder durable.
void SyncFolder(const QByteArray& folder)
{
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

bool WriteAll(int fd, const QByteArray& data)
{
    qsizetype done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.constData() + done, static_cast<size_t>(data.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

// The characters a quoted value escapes, and the letter after the backslash.
struct Escape
{
    char16_t plain;
    char16_t letter;
};
constexpr Escape kEscapes[] = {{u'\\', u'\\'}, {u'"', u'"'}, {u'\n', u'n'}, {u'\r', u'r'}};

const Escape* FindEscape(char16_t c, char16_t Escape::*field)
{
    for (const Escape& e : kEscapes) {
        if (e.*field == c)
            return &e;
    }
    return nullptr;
}

} // namespace

QString DecodeText(const QByteArray& data, bool& bom)
{
    bom = false;
    if (const auto encoding = QStringConverter::encodingForData(data)) {
        if (*encoding == QStringConverter::Utf8) {
            bom = true;
        } else {
            QStringDecoder unicode(*encoding); // UTF-16 or UTF-32 with its mark
            return unicode(data);
        }
    }
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8(data);
    if (!utf8.hasError())
        return text;
    QStringDecoder cp932("CP932");
    if (!cp932.isValid())
        cp932 = QStringDecoder("Shift_JIS");
    return cp932.isValid() ? cp932.decode(data) : text;
}

QString EncodeIniValue(const QString& value)
{
    const bool quoted = HasLineBreak(value) ||
                        (!value.isEmpty() && (value.front().isSpace() || value.back().isSpace())) ||
                        (value.size() >= 2 && value.front() == u'"' && value.back() == u'"');
    if (!quoted)
        return value;
    QString out;
    out.reserve(value.size() + 8);
    out += u'"';
    for (const QChar c : value) {
        if (const Escape* e = FindEscape(c.unicode(), &Escape::plain)) {
            out += u'\\';
            out += QChar(e->letter);
        } else {
            out += c;
        }
    }
    out += u'"';
    return out;
}

QString DecodeIniValue(QStringView stored)
{
    if (stored.size() < 2 || stored.front() != u'"' || stored.back() != u'"')
        return stored.toString();
    const QStringView inner = stored.mid(1, stored.size() - 2);
    QString out;
    out.reserve(inner.size());
    for (qsizetype i = 0; i < inner.size(); ++i) {
        const Escape* e = inner[i] == u'\\' && i + 1 < inner.size()
                              ? FindEscape(inner[i + 1].unicode(), &Escape::letter)
                              : nullptr;
        if (e) {
            out += QChar(e->plain);
            ++i;
        } else {
            out += inner[i]; // any other backslash stays as it is
        }
    }
    return out;
}

IniFile::IniFile(QString path) : path_(std::move(path))
{
    Reload();
}

bool IniFile::Reload()
{
    lines_.clear();
    readFailed_ = false;
    crlf_ = false;
    bom_ = false;
    modified_ = false;
    QFile file(path_);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly)) {
        readFailed_ = true;
        return false;
    }
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        readFailed_ = true;
        return false;
    }
    crlf_ = data.contains("\r\n");
    const QString text = DecodeText(data, bom_);
    lines_ = text.split(u'\n');
    if (!lines_.isEmpty() && lines_.back().isEmpty())
        lines_.removeLast(); // the final line end
    for (QString& line : lines_) {
        if (line.endsWith(u'\r'))
            line.chop(1);
    }
    return true;
}

IniFile::Position IniFile::Find(QStringView section, QStringView key) const
{
    Position position;
    for (qsizetype i = 0; i < lines_.size(); ++i) {
        const ParsedLine line = Classify(lines_[i]);
        if (line.kind == LineKind::Section) {
            if (position.header >= 0)
                break; // the end of the (first) matching section
            if (SameName(line.name, section))
                position.header = i;
        } else if (line.kind == LineKind::Key && position.header >= 0) {
            position.lastKey = i;
            if (position.key < 0 && SameName(line.name, key))
                position.key = i;
        }
    }
    return position;
}

std::optional<QString> IniFile::RawValue(QStringView section, QStringView key) const
{
    const Position position = Find(section, key);
    if (position.key < 0)
        return std::nullopt;
    return Classify(lines_[position.key]).value.toString();
}

int IniFile::GetProfileInt(QStringView section, QStringView key, int defaultValue) const
{
    const auto value = RawValue(section, key);
    if (!value || value->isEmpty())
        return defaultValue;
    return crt::atoi(DecodeIniValue(*value));
}

QString IniFile::GetProfileString(QStringView section, QStringView key, const QString& defaultValue) const
{
    const auto value = RawValue(section, key);
    return value ? DecodeIniValue(*value) : defaultValue;
}

bool IniFile::HasKey(QStringView section, QStringView key) const
{
    return Find(section, key).key >= 0;
}

bool IniFile::WriteProfileInt(QStringView section, QStringView key, int value)
{
    return WriteProfileString(section, key, QString::number(value));
}

bool IniFile::WriteProfileString(QStringView section, QStringView key, const QString& value)
{
    if (!ValidSection(section) || !ValidKey(key))
        return false;
    const Position position = Find(section, key);
    const QString encoded = EncodeIniValue(value);
    if (position.key >= 0) {
        const QString line = Classify(lines_[position.key]).name.toString() + u'=' + encoded;
        if (lines_[position.key] != line) {
            lines_[position.key] = line;
            modified_ = true;
        }
        return true;
    }
    const QString line = key.toString() + u'=' + encoded;
    if (position.header >= 0) {
        const qsizetype after = position.lastKey >= 0 ? position.lastKey : position.header;
        lines_.insert(after + 1, line);
    } else {
        lines_.append(u'[' + section.toString() + u']');
        lines_.append(line);
    }
    modified_ = true;
    return true;
}

QString IniFile::Text() const
{
    QString text;
    for (const QString& line : lines_) {
        text += line;
        text += u'\n';
    }
    return text;
}

QByteArray IniFile::Encode() const
{
    QString text = Text();
    if (crlf_)
        text.replace(u'\n', QStringLiteral("\r\n"));
    QStringEncoder utf8(QStringConverter::Utf8,
                        bom_ ? QStringConverter::Flag::WriteBom : QStringConverter::Flag::Default);
    return utf8.encode(text);
}

bool WriteFileAtomically(const QString& path, const QByteArray& data)
{
    // Replace the file a symbolic link points at, not the link.
    const QFileInfo info(path);
    const QString target = info.isSymLink() ? info.symLinkTarget() : info.absoluteFilePath();
    const QFileInfo targetInfo(target);
    const QByteArray folder = QFile::encodeName(targetInfo.absolutePath());
    const QByteArray finalName = QFile::encodeName(target);
    QByteArray temporary = folder + "/." + QFile::encodeName(targetInfo.fileName()) + ".XXXXXX";

    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat old
    {
    };
    const mode_t mode = ::stat(finalName.constData(), &old) == 0 ? (old.st_mode & 07777) : 0644;
    bool ok = ::fchmod(fd, mode) == 0 && WriteAll(fd, data) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && ::rename(temporary.constData(), finalName.constData()) == 0;
    if (!ok) {
        ::unlink(temporary.constData());
        return false;
    }
    SyncFolder(folder);
    return true;
}

bool IniFile::Save()
{
    if (readFailed_)
        return false; // never replace a file whose content we could not see
    if (!modified_)
        return true;
    if (!WriteFileAtomically(path_, Encode()))
        return false;
    modified_ = false;
    return true;
}

int GetProfileInt(const QString& path, QStringView section, QStringView key, int defaultValue)
{
    return IniFile(path).GetProfileInt(section, key, defaultValue);
}

QString GetProfileString(const QString& path, QStringView section, QStringView key,
                         const QString& defaultValue)
{
    return IniFile(path).GetProfileString(section, key, defaultValue);
}

bool WriteProfileInt(const QString& path, QStringView section, QStringView key, int value)
{
    IniFile file(path);
    return file.WriteProfileInt(section, key, value) && file.Save();
}

bool WriteProfileString(const QString& path, QStringView section, QStringView key, const QString& value)
{
    IniFile file(path);
    return file.WriteProfileString(section, key, value) && file.Save();
}

} // namespace platform
