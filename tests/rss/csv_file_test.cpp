// The feed list reader: the field rules, the field cap, encodings and files
// that are not plain text files.
#include "rss/csv_file.h"
#include "tests/rss/qt_test_helpers.h"
#include "tests/support/hostile_files.h"

#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

class CsvFileTest : public ::testing::Test
{
protected:
    QString Write(const QByteArray& bytes)
    {
        const QString path = m_folder.filePath("lmd_rss.ini");
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        return path;
    }
    QTemporaryDir m_folder;
};

struct Row
{
    int count;
    std::vector<QString> fields; // the first (up to three) stored
};

std::vector<Row> ReadRows(const QString& path)
{
    CCsvFile file;
    EXPECT_TRUE(file.Open(path));
    std::vector<Row> rows;
    QString fields[3];
    int count = -1;
    while (file.ReadRow(count, fields, 3))
        rows.push_back({count, std::vector<QString>(fields, fields + std::min(count, 3))});
    EXPECT_EQ(count, 0); // set to 0 at the end too
    return rows;
}

TEST_F(CsvFileTest, ReadRowSplitsAtEveryDelimiter)
{
    struct Case
    {
        QByteArray line;
        int count;
        std::vector<QString> fields;
    };
    const Case cases[] = {
        {"News,https://a.example/rss", 2, {"News", "https://a.example/rss"}},
        {"News,https://a.example/rss,", 2, {"News", "https://a.example/rss"}}, // trailing: no field
        {",https://a.example/rss", 2, {"", "https://a.example/rss"}},
        {"News,,", 2, {"News", ""}},
        {"News", 1, {"News"}},
        {"", 0, {}},
        {"a,b,c", 3, {"a", "b", "c"}},
        {"a,,c,d,e", 5, {"a", "", "c"}}, // counted in full, three stored
        {" spaced , kept ", 2, {" spaced ", " kept "}},
        {",", 1, {""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line.toStdString());
        const std::vector<Row> rows = ReadRows(Write(c.line + "\n"));
        ASSERT_EQ(rows.size(), 1u);
        EXPECT_EQ(rows[0].count, c.count);
        EXPECT_EQ(rows[0].fields, c.fields);
    }
}

TEST_F(CsvFileTest, ALineOfThirtyThousandCommasStopsAtTheCap)
{
    const std::vector<Row> rows = ReadRows(Write(QByteArray(30000, ',') + "\nnext,line\n"));
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].count, CCsvFile::kMaxFields);
    EXPECT_EQ(rows[0].fields, (std::vector<QString>{"", "", ""}));
    EXPECT_EQ(rows[1].count, 2);
}

TEST_F(CsvFileTest, LineEndsAndTheLastLine)
{
    const std::vector<Row> rows = ReadRows(Write("a,b\r\n\r\nc,d\rx\ne,f"));
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].fields, (std::vector<QString>{"a", "b"}));
    EXPECT_EQ(rows[1].count, 0);                                    // the empty line
    EXPECT_EQ(rows[2].fields, (std::vector<QString>{"c", "d\rx"})); // only a CR before LF goes
    EXPECT_EQ(rows[3].fields, (std::vector<QString>{"e", "f"}));    // the last line, without a line feed
}

TEST_F(CsvFileTest, FeedListKeepsRowsOfTwoFieldsInOrder)
{
    const QString path = Write("First,https://one.example/rss\n"
                               "title only\n"
                               "\n"
                               "Comma,https://x.example/?a=1,2\n"
                               "a,b,c\n"
                               ",https://untitled.example/\n"
                               "Second,https://two.example/rss,\n"
                               "Empty URL,,\n");
    const std::deque<FeedEntry> expected = {
        {"First", "https://one.example/rss"},
        {"", "https://untitled.example/"},
        {"Second", "https://two.example/rss"},
        {"Empty URL", ""},
    };
    EXPECT_EQ(ReadFeedList(path), expected);
}

TEST_F(CsvFileTest, Utf8WithOrWithoutMarkAndWindowsCp932)
{
    const QString title = QStringLiteral("ニュース速報");
    QStringEncoder cp932("Shift_JIS");
    ASSERT_TRUE(cp932.isValid());
    const QByteArray line = ",https://jp.example/rss\n";
    const QByteArray files[] = {
        title.toUtf8() + line,
        "\xEF\xBB\xBF" + title.toUtf8() + line,
        QByteArray(cp932(title)) + line,
    };
    for (const QByteArray& bytes : files) {
        const std::deque<FeedEntry> feeds = ReadFeedList(Write(bytes));
        ASSERT_EQ(feeds.size(), 1u);
        EXPECT_EQ(feeds[0].title, title);
    }
    // A list with a line of each: every line is read in its own encoding.
    const std::deque<FeedEntry> mixed = ReadFeedList(Write(files[0] + files[2]));
    ASSERT_EQ(mixed.size(), 2u);
    EXPECT_EQ(mixed[0].title, title);
    EXPECT_EQ(mixed[1].title, title);
}

TEST_F(CsvFileTest, WhatIsNotARegularFileYieldsNoRows)
{
    const QString fifo = m_folder.filePath("fifo.ini");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString big = Write(QByteArray(CCsvFile::kMaxFileBytes + 1, 'x'));
    std::vector<QString> paths = {fifo, m_folder.path(), m_folder.filePath("missing.ini"), big};
    for (const lmd::test::HostileCase& c : lmd::test::kHostileFiles) {
        paths.push_back(m_folder.filePath(QStringLiteral("hostile%1.ini").arg(paths.size())));
        ASSERT_TRUE(lmd::test::PlaceHostileFile(paths.back(), c.kind, platform::FileKind::FeedList,
                                                "Title,https://x.example/rss\n"));
    }
    for (const QString& path : paths) {
        SCOPED_TRACE(path.toStdString());
        CCsvFile file;
        EXPECT_FALSE(file.Open(path)); // returns at once: nothing blocks
        int count = -1;
        QString fields[3];
        EXPECT_FALSE(file.ReadRow(count, fields, 3));
        EXPECT_TRUE(ReadFeedList(path).empty());
    }
}

} // namespace
