#include "platform/run_time_files.h"

#include "tests/support/hostile_files.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

using platform::FileKind;
using platform::FileRead;
using platform::ReadRunTimeFile;

class RunTimeFilesTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }

    QString Path(const QString& name) const { return dir_.filePath(name); }

    QString Write(const QString& name, const QByteArray& bytes) const
    {
        QFile file(Path(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        EXPECT_EQ(file.write(bytes), bytes.size());
        return Path(name);
    }

    QTemporaryDir dir_;
};

// The name of a status, for messages.
const char* Name(FileRead::Status status)
{
    switch (status) {
    case FileRead::Read:
        return "read";
    case FileRead::Missing:
        return "missing";
    case FileRead::NotRegular:
        return "not regular";
    case FileRead::TooLarge:
        return "too large";
    case FileRead::Unreadable:
        return "unreadable";
    }
    return "?";
}

TEST_F(RunTimeFilesTest, OnlyRegularFilesAreReadLinksFollowed)
{
    Write("file.png", "bytes");
    Write("empty.txt", "");
    ASSERT_EQ(::mkfifo(QFile::encodeName(Path("fifo.png")).constData(), 0600), 0); // nobody writes it
    ASSERT_TRUE(QFile::link(Path("file.png"), Path("link.png")));
    ASSERT_TRUE(QFile::link(Path("fifo.png"), Path("fifolink.png")));
    ASSERT_TRUE(QFile::link(Path("missing.png"), Path("dangling.png")));
    struct Case
    {
        QString path;
        FileRead::Status status;
        QByteArray bytes;
    };
    const Case cases[] = {
        {Path("file.png"), FileRead::Read, "bytes"},
        {Path("link.png"), FileRead::Read, "bytes"},
        {Path("empty.txt"), FileRead::Read, ""},
        {Path("fifo.png"), FileRead::NotRegular, {}},
        {Path("fifolink.png"), FileRead::NotRegular, {}},
        {dir_.path(), FileRead::NotRegular, {}},
        {"/dev/zero", FileRead::NotRegular, {}},
        {"/dev/null", FileRead::NotRegular, {}},
        {Path("dangling.png"), FileRead::Missing, {}},
        {Path("missing.png"), FileRead::Missing, {}},
        {Path("file.png/inside"), FileRead::Missing, {}},
        {"", FileRead::Missing, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        const FileRead read = ReadRunTimeFile(c.path, FileKind::Picture);
        EXPECT_STREQ(Name(read.status), Name(c.status));
        EXPECT_EQ(read.bytes, c.bytes);
    }
}

TEST_F(RunTimeFilesTest, NoKindReadsWhatMustNotBeRead)
{
    const QString path = Path("hostile");
    for (const platform::FileLimit& limit : platform::kFileLimits) {
        for (const lmd::test::HostileCase& hostile : lmd::test::kHostileFiles) {
            SCOPED_TRACE(std::string(limit.name) + ", " + hostile.name);
            ASSERT_TRUE(lmd::test::PlaceHostileFile(path, hostile.kind, limit.kind, "content"));
            const FileRead read = ReadRunTimeFile(path, limit.kind);
            EXPECT_STREQ(Name(read.status), Name(hostile.kind == lmd::test::HostileFile::OverLarge
                                                      ? FileRead::TooLarge
                                                      : FileRead::NotRegular));
            EXPECT_TRUE(read.bytes.isEmpty());
        }
    }
}

TEST_F(RunTimeFilesTest, AFileAtItsCapIsReadWhole)
{
    const qint64 cap = platform::MaxFileBytes(FileKind::ShaderSource);
    QFile file(Write("at_cap.frag", "void main() {}"));
    ASSERT_TRUE(file.resize(cap));
    const FileRead read = ReadRunTimeFile(file.fileName(), FileKind::ShaderSource);
    EXPECT_STREQ(Name(read.status), "read");
    EXPECT_EQ(read.bytes.size(), cap);
    EXPECT_TRUE(read.bytes.startsWith("void main() {}"));
}

TEST_F(RunTimeFilesTest, PicturesAreDecodedFromTheirContent)
{
    QImage picture(3, 2, QImage::Format_RGB32);
    picture.fill(qRgb(10, 200, 30));
    QByteArray png;
    QBuffer buffer(&png);
    ASSERT_TRUE(buffer.open(QIODevice::WriteOnly));
    ASSERT_TRUE(picture.save(&buffer, "PNG"));
    struct Case
    {
        const char* name;
        QByteArray bytes;
        bool decodes;
    };
    const Case cases[] = {
        {"picture.png", png, true},
        {"misnamed.jpg", png, true}, // the content decides
        {"noname", png, true},
        {"text.png", "not a picture", false},
        {"empty.png", "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QImage read = platform::ReadPictureFile(Write(c.name, c.bytes));
        ASSERT_EQ(!read.isNull(), c.decodes);
        if (c.decodes) {
            EXPECT_EQ(read.size(), QSize(3, 2));
            EXPECT_EQ(read.pixel(2, 1), qRgb(10, 200, 30));
        }
    }
    for (const lmd::test::HostileCase& hostile : lmd::test::kHostileFiles) {
        SCOPED_TRACE(hostile.name);
        ASSERT_TRUE(lmd::test::PlaceHostileFile(Path("hostile.png"), hostile.kind, FileKind::Picture, png));
        EXPECT_TRUE(platform::ReadPictureFile(Path("hostile.png")).isNull());
    }
}

} // namespace
