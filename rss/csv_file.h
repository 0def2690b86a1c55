#pragma once
// CCsvFile: the reader of the feed list "lmd_rss.ini", a plain text file beside
// the executable that the user edits by hand, one feed a line:
//     display title,URL
//
// Format
// - Decoded line by line: a line that is valid UTF-8 is UTF-8, any other was
//   written on Windows and is read as CP932 (a byte-order mark is dropped).
// - Lines end at a line feed; a carriage return before it is dropped.
// - No header, comments, quoting or trimming: blanks around a delimiter belong
//   to the fields.
// - ReadRow splits a line at every delimiter: a leading delimiter gives an
//   empty first field, two in a row an empty field between them, a trailing one
//   adds no field, a line without one is one field. At most kMaxFields fields
//   are taken from a line.
//
// The list is read as a run-time file (platform/run_time_files.h): only a
// regular file of at most kMaxFileBytes is read; anything else (missing, a
// folder, a FIFO, a device, too large) yields no rows.
#include "platform/run_time_files.h"

#include <QString>
#include <QStringList>
#include <deque>
#include <utility>

class CCsvFile
{
public:
    static constexpr int kMaxFields = 20000;
    static constexpr qint64 kMaxFileBytes = platform::MaxFileBytes(platform::FileKind::FeedList);

    explicit CCsvFile(QChar delimiter = u',') : m_delimiter(delimiter) {}

    // Reads the whole file at once; false (and no rows) when it cannot be read.
    bool Open(const QString& path);
    // Reads and splits the next line: count is set to the number of fields in
    // it, of which the first capacity are stored in fields. False at the end.
    bool ReadRow(int& count, QString* fields, int capacity);
    void Close();

private:
    QChar m_delimiter;
    QStringList m_lines;
    qsizetype m_nextLine = 0;
};

// One feed of the list: its display title and its URL.
struct FeedEntry
{
    QString title;
    QString url;
    bool operator==(const FeedEntry&) const = default;
};

// The feeds of a list file in file order: every line of exactly two fields.
std::deque<FeedEntry> ReadFeedList(const QString& path);
