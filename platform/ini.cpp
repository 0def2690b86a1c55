#include "platform/ini.h"

#include "platform/crt.h"
#include "platform/run_time_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";

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


// The name as the index holds it: sections and keys compare case-insensitively.
QString Folded(QStringView name)
{
    return name.toString().toCaseFolded();
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

std::vector<TextLine> DecodeTextLines(const QByteArray& bytes, bool& bom)
{
    bom = bytes.startsWith(kUtf8Bom);
    // The mark is no text: the CP932 reader must not see it either.
    QByteArray data = bom ? bytes.mid(3) : bytes;
    if (!bom) {
        if (const auto encoding = QStringConverter::encodingForData(data);
            encoding && *encoding != QStringConverter::Utf8) {
            QStringDecoder unicode(*encoding); // UTF-16 or UTF-32 with its mark
            data = QString(unicode(data)).toUtf8();
        }
    }
    QStringDecoder cp932("CP932", QStringConverter::Flag::Stateless);
    if (!cp932.isValid())
        cp932 = QStringDecoder("Shift_JIS", QStringConverter::Flag::Stateless);
    std::vector<TextLine> lines;
    qsizetype start = 0;
    while (start < data.size()) {
        qsizetype end = data.indexOf('\n', start);
        if (end < 0)
            end = data.size();
        const qsizetype length = end - start - (end > start && data[end - 1] == '\r' ? 1 : 0);
        const QByteArrayView line(data.constData() + start, length);
        if (line.isValidUtf8() || !cp932.isValid())
            lines.push_back({QString::fromUtf8(line), {}});
        else
            lines.push_back({cp932.decode(line), line.toByteArray()});
        start = end + 1;
    }
    return lines;
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
    blocks_.assign(1, Block{});
    sections_.clear();
    readFailed_ = false;
    crlf_ = false;
    bom_ = false;
    modified_ = false;
    // A link to a file not yet there reads as a missing file, which the save creates.
    const FileRead file = ReadRunTimeFile(path_, FileKind::Settings);
    if (file.status == FileRead::Missing)
        return true;
    if (!file.Ok()) {
        readFailed_ = true;
        return false;
    }
    crlf_ = file.bytes.contains("\r\n");
    for (TextLine& line : DecodeTextLines(file.bytes, bom_))
        AppendLine(std::move(line));
    return true;
}

void IniFile::AppendLine(TextLine line)
{
    const ParsedLine parsed = Classify(line.text);
    if (parsed.kind == LineKind::Section) {
        const QString name = Folded(parsed.name);
        if (!sections_.contains(name)) // the first one counts
            sections_.insert(name, blocks_.size());
        blocks_.emplace_back();
    } else if (parsed.kind == LineKind::Key && blocks_.size() > 1) { // keys before any section are not read
        Block& block = blocks_.back();
        const QString name = Folded(parsed.name);
        if (!block.keys.contains(name)) // the first one counts
            block.keys.insert(name, block.lines.size());
        block.lastKey = block.lines.size();
    }
    blocks_.back().lines.append(std::move(line));
}

const IniFile::Block* IniFile::FindSection(QStringView section) const
{
    const auto it = sections_.constFind(Folded(section));
    return it == sections_.cend() ? nullptr : &blocks_[*it];
}

std::optional<QString> IniFile::RawValue(QStringView section, QStringView key) const
{
    const Block* block = FindSection(section);
    if (!block)
        return std::nullopt;
    const auto it = block->keys.constFind(Folded(key));
    if (it == block->keys.cend())
        return std::nullopt;
    return Classify(block->lines[*it].text).value.toString();
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
    return RawValue(section, key).has_value();
}

bool IniFile::WriteProfileInt(QStringView section, QStringView key, int value)
{
    return WriteProfileString(section, key, QString::number(value));
}

bool IniFile::WriteProfileString(QStringView section, QStringView key, const QString& value)
{
    if (!ValidSection(section) || !ValidKey(key))
        return false;
    const QString encoded = EncodeIniValue(value);
    if (!FindSection(section)) {
        AppendLine({u'[' + section.toString() + u']', {}});
        AppendLine({key.toString() + u'=' + encoded, {}});
        modified_ = true;
        return true;
    }
    Block& block = blocks_[sections_.value(Folded(section))];
    const QString folded = Folded(key);
    if (const auto it = block.keys.constFind(folded); it != block.keys.cend()) {
        TextLine& stored = block.lines[*it];
        // A line whose value stays is kept as it stands, its bytes and blanks included.
        const ParsedLine parsed = Classify(stored.text);
        if (parsed.value != encoded) {
            stored = {parsed.name.toString() + u'=' + encoded, {}}; // the file's spelling; written as UTF-8
            modified_ = true;
        }
        return true;
    }
    // After the section's last key: only lines without keys follow it, so no
    // indexed line moves.
    const qsizetype at = block.lastKey + 1;
    block.lines.insert(at, {key.toString() + u'=' + encoded, {}});
    block.keys.insert(folded, at);
    block.lastKey = at;
    modified_ = true;
    return true;
}

QString IniFile::Text() const
{
    QString text;
    for (const Block& block : blocks_) {
        for (const TextLine& line : block.lines) {
            text += line.text;
            text += u'\n';
        }
    }
    return text;
}

QByteArray IniFile::Encode() const
{
    const QByteArray end = crlf_ ? "\r\n" : "\n";
    QByteArray bytes = bom_ ? kUtf8Bom : "";
    for (const Block& block : blocks_) {
        for (const TextLine& line : block.lines) {
            bytes += line.original.isEmpty() ? line.text.toUtf8() : line.original;
            bytes += end;
        }
    }
    return bytes;
}

namespace {

// Enough for any sensible chain; the kernel's own limit is 40.
constexpr int kMaxLinkHops = 40;

// The file at the end of a chain of symbolic links (the path itself when it is
// no link), made absolute; empty for a loop or an over-long chain.
QString FinalTarget(const QString& path)
{
    QString current = QFileInfo(path).absoluteFilePath();
    for (int hops = 0;; ++hops) {
        const QByteArray name = QFile::encodeName(current);
        struct stat info
        {
        };
        if (::lstat(name.constData(), &info) != 0 || !S_ISLNK(info.st_mode))
            return current; // a file, or nothing yet: the save creates it
        if (hops == kMaxLinkHops)
            return {};
        QByteArray target(PATH_MAX, '\0');
        const ssize_t length =
            ::readlink(name.constData(), target.data(), static_cast<size_t>(target.size()));
        if (length <= 0 || length == target.size())
            return {};
        target.truncate(length);
        // A relative target is read from the link's own folder.
        current =
            QDir::cleanPath(QFileInfo(current).absoluteDir().absoluteFilePath(QFile::decodeName(target)));
    }
}

// Temporary files are the target's name with a leading dot and a six-letter tail.
QByteArray TemporaryPrefix(const QFileInfo& target)
{
    return "." + QFile::encodeName(target.fileName()) + ".";
}

bool IsTemporaryOf(const QByteArray& name, const QByteArray& prefix)
{
    if (name.size() != prefix.size() + 6 || !name.startsWith(prefix))
        return false;
    return std::all_of(name.begin() + prefix.size(), name.end(),
                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; });
}

// Removes the temporary files that killed writers of the target left behind.
// A writer locks its temporary file for as long as it works on it, so a file
// that can be locked here has no writer any more.
void RemoveLeftoverTemporaries(const QByteArray& folder, const QByteArray& prefix)
{
    DIR* dir = ::opendir(folder.constData());
    if (!dir)
        return;
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (!IsTemporaryOf(name, prefix))
            continue;
        const int fd = ::openat(::dirfd(dir), entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat info
        {
        };
        if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlinkat(::dirfd(dir), entry->d_name, 0);
        ::close(fd);
    }
    ::closedir(dir);
}

} // namespace

bool WriteFileAtomically(const QString& path, const QByteArray& data)
{
    // Replace the file the links point at, not the links.
    const QString target = FinalTarget(path);
    if (target.isEmpty())
        return false;
    const QFileInfo targetInfo(target);
    const QByteArray folder = QFile::encodeName(targetInfo.absolutePath());
    const QByteArray finalName = QFile::encodeName(target);
    const QByteArray prefix = TemporaryPrefix(targetInfo);
    RemoveLeftoverTemporaries(folder, prefix);
    QByteArray temporary = folder + "/" + prefix + "XXXXXX";

    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat old
    {
    };
    const mode_t mode = ::stat(finalName.constData(), &old) == 0 ? (old.st_mode & 07777) : 0644;
    const bool written =
        ::flock(fd, LOCK_EX) == 0 && ::fchmod(fd, mode) == 0 && WriteAll(fd, data) && ::fsync(fd) == 0;
    const bool renamed = written && ::rename(temporary.constData(), finalName.constData()) == 0;
    // Closing ends the lock, after the rename: until then the file is in use.
    // The data are on disk already (fsync), so the close cannot lose them.
    ::close(fd);
    if (!renamed) {
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
