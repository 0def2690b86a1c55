#include "platform/paths.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

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

} // namespace
