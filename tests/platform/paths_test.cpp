#include "platform/paths.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

using namespace platform::paths;

TEST(PathsTest, FromDataTable)
{
    struct Case
    {
        QString name, expected;
    };
    const Case cases[] = {
        {"", ""},
        {"shaders\\x.frag", "shaders/x.frag"},
        {"shaders\\..\\_misc\\x", "_misc/x"},
        {"shaders/../_misc/x", "_misc/x"},
        {"a\\.\\b\\\\c\\", "a/b/c"},
        {"..\\_misc\\cube0.png", "../_misc/cube0.png"},
        {"/opt/lmd/shaders/../assets/", "/opt/lmd/assets"},
        {"\\shaders\\", "/shaders"},
        {"a/b/../../..", ".."},
        {"a/..", "."},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FromData(c.name), c.expected) << c.name.toStdString();
}

TEST(PathsTest, CombineAndRelative)
{
    EXPECT_EQ(Combine("/opt/lmd", "shaders\\..\\_misc\\noise.bin"), "/opt/lmd/_misc/noise.bin");
    EXPECT_EQ(Combine("/opt/lmd/", "\\shaders\\"), "/shaders"); // a rooted name stands alone
    EXPECT_EQ(Combine("/opt/lmd", "/tmp/x"), "/tmp/x");
    EXPECT_EQ(Combine("/opt/lmd", ""), "/opt/lmd");
    EXPECT_EQ(Combine("", "a\\b"), "a/b");
    EXPECT_EQ(Combine("/opt/lmd", "../up"), "/opt/up");

    EXPECT_TRUE(IsRelative("shaders/x"));
    EXPECT_TRUE(IsRelative("..\\x"));
    EXPECT_TRUE(IsRelative(""));
    EXPECT_FALSE(IsRelative("/x"));
    EXPECT_FALSE(IsRelative("\\x"));
    EXPECT_FALSE(IsRelative("C:\\Users\\me"));

    EXPECT_EQ(RemoveFileName("a/b/c.txt"), "a/b");
    EXPECT_EQ(RemoveFileName("C:\\dir\\LMD.exe"), "C:/dir");
    EXPECT_EQ(RemoveFileName("c.txt"), "");
    EXPECT_EQ(RemoveFileName("/c.txt"), "/");
}

TEST(PathsTest, ExistsAndExeDirOverride)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QDir(dir.path()).mkdir("_misc"));
    QFile file(dir.filePath("_misc/noise.bin"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();

    SetExeDirOverride(dir.path());
    EXPECT_EQ(ExeDir(), QDir::cleanPath(dir.path()));
    // "shaders" does not exist, yet the name resolves lexically.
    EXPECT_TRUE(Exists(InExeDir("shaders\\..\\_misc\\noise.bin")));
    EXPECT_TRUE(Exists(InExeDir("_misc")));
    EXPECT_FALSE(Exists(InExeDir("_misc/missing.bin")));
    EXPECT_FALSE(Exists(""));
    SetExeDirOverride({});
}

TEST(PathsTest, OnlyRegularFilesAreFiles)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const auto path = [&dir](const char* name) { return dir.filePath(name); };
    QFile file(path("file.png"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("fifo.png")).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(path("file.png"), path("link.png")));
    ASSERT_TRUE(QFile::link(path("fifo.png"), path("fifolink.png")));
    ASSERT_TRUE(QFile::link(path("missing.png"), path("dangling.png")));
    struct Case
    {
        QString path;
        bool regular;
    };
    const Case cases[] = {
        {path("file.png"), true},      {path("link.png"), true},
        {path("fifo.png"), false},     {path("fifolink.png"), false},
        {path("dangling.png"), false}, {path("missing.png"), false},
        {dir.path(), false},           {"/dev/zero", false},
        {"/dev/null", false},          {"", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsRegularFile(c.path), c.regular) << c.path.toStdString();
}

} // namespace
