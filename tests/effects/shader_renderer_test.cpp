#include "effects/shader_renderer.h"

#include "tests/support/hostile_files.h"

#include <QTemporaryDir>
#include <fstream>
#include <gtest/gtest.h>

namespace {

class ReadTextFileTest : public ::testing::Test
{
protected:
    std::string Write(const std::string& bytes)
    {
        const std::string path = (dir.path() + "/file.txt").toStdString();
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    QTemporaryDir dir;
};

TEST_F(ReadTextFileTest, ReadsAsTextMode)
{
    const struct
    {
        std::string bytes;
        std::string text;
    } cases[] = {
        {"void main() {}\n", "void main() {}\n"},
        {"a\r\nb\r\n", "a\nb\n"},         // CR LF pairs become LF
        {"a\rb\r", "a\rb\r"},             // a lone CR stays
        {std::string("ab\0cd", 5), "ab"}, // the text ends at a zero byte
        {"", ""},
        {"\xE6\x97\xA5\xE4\xBB\x98", "\xE6\x97\xA5\xE4\xBB\x98"}, // UTF-8 unchanged
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReadTextFile(Write(c.bytes)), c.text);
}

TEST_F(ReadTextFileTest, LongFilesAndMissingFiles)
{
    const std::string longText(100000, 'x');
    EXPECT_EQ(ReadTextFile(Write(longText + std::string(1, '\0') + "tail")), longText);
    EXPECT_EQ(ReadTextFile((dir.path() + "/none.frag").toStdString()), "");
    EXPECT_EQ(ReadTextFile(dir.path().toStdString()), ""); // a folder
    EXPECT_EQ(ReadTextFile("/dev/zero"), "");              // ends at once, no endless read
}

TEST_F(ReadTextFileTest, WhatIsNoShaderSourceReadsAsMissing)
{
    const QString path = dir.filePath("hostile.frag");
    for (const lmd::test::HostileCase& c : lmd::test::kHostileFiles) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(lmd::test::PlaceHostileFile(path, c.kind, platform::FileKind::ShaderSource,
                                                "void main() { gl_FragColor = vec4(1.0); }\n"));
        EXPECT_EQ(ReadTextFile(path.toStdString()), "");
    }
}

} // namespace
