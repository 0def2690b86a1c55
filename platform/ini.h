#pragma once
// The profile store: one INI file read and written with the Windows profile
// calls' behaviour (GetProfileInt, GetProfileString, WriteProfileInt,
// WriteProfileString).
//
// File format
// - "[Section]" lines open sections; "Key=Value" lines hold values. Section and
//   key names compare case-insensitively; blanks around names and values are
//   ignored. Where a section or key appears twice, the first one counts.
// - Everything else (comments, blank lines, unknown sections and keys, lines
//   written by hand) is kept as it stands. A write replaces only the line of its
//   key ("Key=Value", keeping the file's spelling of the key), and only when the
//   value changes; a missing key is inserted after the last key line of its
//   section, a missing section is appended at the end of the file.
// - Encoding, decided line by line (DecodeTextLines): a line that is valid
//   UTF-8 is read as UTF-8, any other line as CP932 (Windows Shift_JIS), so one
//   stray byte garbles nothing but its own line. Saved with the file's line
//   ending (CRLF or LF; LF for a new file): every line the program did not
//   change as the bytes it was read from, CP932 lines included, and every line
//   it wrote as UTF-8. A UTF-8 byte-order mark is kept; a UTF-16 or UTF-32 mark
//   makes the whole file that encoding, saved as UTF-8 without a mark.
// - Values that a plain line cannot hold are written quoted: a value containing a
//   line break (CR or LF), starting or ending with a blank, or starting and ending
//   with '"' is saved as "..." with \\ for '\', \" for '"', \n for LF and \r for
//   CR. Reading strips one pair of enclosing double quotes, as Windows does, and
//   decodes those four escapes inside them (any other backslash stays as it is).
//   So every text reads back exactly as written; plain values (paths with '\'
//   included) are stored unchanged.
//
// Saving
// - Save() writes the whole file once, atomically (WriteFileAtomically below).
//   A failed save (full disk, read-only folder, file-size limit) leaves the old
//   file untouched and returns false.
// - A file that exists but cannot be read is never overwritten: Save() refuses.
//   The file is read as a run-time file (platform/run_time_files.h): a FIFO, a
//   device, a folder or a file over the settings' cap is not read (every Get
//   returns its default) and never replaced.
//
// An IniFile edits in memory: load, any number of Get/Write calls, one Save().
// The free functions at the end do a single durable call on their own.
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringView>
#include <optional>
#include <vector>

namespace platform {

// One line of a text file, without its line end.
struct TextLine
{
    QString text;
    QByteArray original; // the line's bytes when they are not UTF-8 (read as CP932); else empty
};

class IniFile
{
public:
    // Reads the file now. A missing file reads as empty (every Get returns its
    // default) and is created by the first Save.
    explicit IniFile(QString path);

    const QString& Path() const { return path_; }

    // Reads the file again, dropping unsaved edits. False when it exists but
    // cannot be read.
    bool Reload();

    // The value as an int: empty or missing gives defaultValue; otherwise leading
    // blanks, a sign and decimal digits are read (crt::atoi: other text gives 0,
    // overflow saturates).
    int GetProfileInt(QStringView section, QStringView key, int defaultValue) const;
    // The value text, or defaultValue when the key is missing.
    QString GetProfileString(QStringView section, QStringView key, const QString& defaultValue = {}) const;
    bool HasKey(QStringView section, QStringView key) const;

    // In-memory writes (Save() stores them). WriteProfileInt writes decimal text.
    // False, with nothing changed, for a name the format cannot hold: an empty
    // name, a line break in it, ']' in a section or '=' in a key, or a name that
    // starts with ';' or '['.
    bool WriteProfileInt(QStringView section, QStringView key, int value);
    bool WriteProfileString(QStringView section, QStringView key, const QString& value);

    // Writes the file atomically (see above). True when there was nothing to save.
    bool Save();

    // The file as Save() would write it (decoded text, '\n' line ends).
    QString Text() const;

    bool IsModified() const { return modified_; }

private:
    // The file as blocks: the lines before the first section header, then one
    // block per header with the lines up to the next one. Each block indexes its
    // keys, so a lookup costs one hash probe instead of a scan of the file, and
    // inserting a key shifts only the lines of its own block.
    struct Block
    {
        QList<TextLine> lines;          // lines[0] is the header, except in the first block
        QHash<QString, qsizetype> keys; // case-folded key -> its first line in `lines`
        qsizetype lastKey = 0;          // last key line (the header when there is none)
    };
    void AppendLine(TextLine line);
    const Block* FindSection(QStringView section) const;
    std::optional<QString> RawValue(QStringView section, QStringView key) const;
    QByteArray Encode() const;

    QString path_;
    std::vector<Block> blocks_;
    QHash<QString, std::size_t> sections_; // case-folded section -> its first block
    bool readFailed_ = false;
    bool crlf_ = false;
    bool bom_ = false;
    bool modified_ = false;
};

// Single calls on a file, each complete on its own: a write reads the file,
// changes one key and saves atomically before it returns.
int GetProfileInt(const QString& path, QStringView section, QStringView key, int defaultValue);
QString GetProfileString(const QString& path, QStringView section, QStringView key,
                         const QString& defaultValue = {});
bool WriteProfileInt(const QString& path, QStringView section, QStringView key, int value);
bool WriteProfileString(const QString& path, QStringView section, QStringView key, const QString& value);

// Replaces the file's content atomically: a hidden temporary file beside it is
// written, checked and flushed to disk (fsync), given the old file's permissions,
// then renamed over the old file, and the folder is synced. On any failure (full
// disk, read-only folder, file-size limit) the temporary file is removed, the old
// file is left as it was and false is returned. A crash never leaves a truncated
// file; the temporary file a killed writer leaves behind is removed by the next
// save of the same file (a writer holds a lock on its temporary file, so one
// still being written is never taken for such a leftover).
// When the path is a symbolic link, or a chain of them, the file at the end of
// the chain is replaced and the links stay; a loop of links fails.
//
// A file-size limit (RLIMIT_FSIZE) sends SIGXFSZ, which ends a process that has
// not chosen to ignore it: a program that saves settings ignores SIGXFSZ.
bool WriteFileAtomically(const QString& path, const QByteArray& data);

// A text file's lines, decoded as described above. A line is what comes before
// a line feed, without a carriage return at its end, and the text after the
// last line feed when there is any. bom tells whether the file began with a
// UTF-8 mark (which is no text); a UTF-16 or UTF-32 mark decodes the whole file.
std::vector<TextLine> DecodeTextLines(const QByteArray& data, bool& bom);

// The value encoding described above, for tests and tools.
QString EncodeIniValue(const QString& value);
QString DecodeIniValue(QStringView stored);

} // namespace platform
