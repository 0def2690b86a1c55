#include "platform/ini.h"

#include "tests/support/hostile_files.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <climits>
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using platform::IniFile;

class IniTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }

    QString PathOf(const QString& name = "LMD.ini") const { return dir_.filePath(name); }

    void WriteBytes(const QByteArray& bytes, const QString& name = "LMD.ini") const
    {
        QFile file(PathOf(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }

    QByteArray ReadBytes(const QString& name = "LMD.ini") const
    {
        QFile file(PathOf(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir dir_;
};

TEST_F(IniTest, LookupIsCaseInsensitiveAndTheFirstMatchCounts)
{
    WriteBytes("; settings\n"
               "Orphan=before any section\n"
               "[General]\n"
               "  startx = 12  \n"
               "STARTX=99\n"
               "note without equals sign\n"
               "[general]\n"
               "Zoom=50\n"
               "[FRAME]\n"
               "Frame=0\n");
    const IniFile ini(PathOf());
    EXPECT_EQ(ini.GetProfileInt(u"GENERAL", u"StartX", -1), 12);
    EXPECT_EQ(ini.GetProfileString(u"general", u"STARTX"), "12");
    EXPECT_EQ(ini.GetProfileInt(u"GENERAL", u"Zoom", 100), 100); // second [general] is not read
    EXPECT_EQ(ini.GetProfileInt(u"frame", u"frame", 1), 0);
    EXPECT_EQ(ini.GetProfileString(u"GENERAL", u"Orphan", "none"), "none");
    EXPECT_FALSE(ini.HasKey(u"GENERAL", u"note without equals sign"));
    EXPECT_EQ(ini.GetProfileString(u"MISSING", u"x", "dflt"), "dflt");
}

TEST_F(IniTest, GetProfileIntReadsLikeWindows)
{
    WriteBytes("[S]\nA=12\nB= -5\nC=+7\nD=abc\nE=\nF=99999999999\nG=7xyz\nH=-99999999999\nI=\"42\"\n");
    const IniFile ini(PathOf());
    struct Case
    {
        const char16_t* key;
        int expected;
    };
    const Case cases[] = {{u"A", 12},      {u"B", -5}, {u"C", 7},       {u"D", 0},  {u"E", 33},
                          {u"F", INT_MAX}, {u"G", 7},  {u"H", INT_MIN}, {u"I", 42}, {u"Missing", 33}};
    for (const auto& c : cases)
        EXPECT_EQ(ini.GetProfileInt(u"S", c.key, 33), c.expected) << QString::fromUtf16(c.key).toStdString();
}

TEST_F(IniTest, WritesReplaceInPlaceAndAppendWhereWindowsDoes)
{
    WriteBytes("; my clock\n"
               "[GENERAL]\n"
               "StartX = 10\n"
               "; position above\n"
               "StartY=20\n"
               "\n"
               "; frame settings follow\n"
               "[EMPTY]\n"
               "[FRAME]\n"
               "Frame=1\n");
    IniFile ini(PathOf());
    EXPECT_TRUE(ini.WriteProfileInt(u"general", u"startx", 5)); // the file's spelling of the key is kept
    EXPECT_TRUE(
        ini.WriteProfileInt(u"GENERAL", u"Zoom", 150)); // after the last key, before blank and comment
    EXPECT_TRUE(ini.WriteProfileString(u"EMPTY", u"First", "x"));   // right after the header
    EXPECT_TRUE(ini.WriteProfileString(u"ALARM", u"Enable1", "1")); // new section at the end
    EXPECT_TRUE(ini.WriteProfileString(u"ALARM", u"Enable2", "0"));
    ASSERT_TRUE(ini.Save());
    EXPECT_EQ(ReadBytes(), "; my clock\n"
                           "[GENERAL]\n"
                           "StartX=5\n"
                           "; position above\n"
                           "StartY=20\n"
                           "Zoom=150\n"
                           "\n"
                           "; frame settings follow\n"
                           "[EMPTY]\n"
                           "First=x\n"
                           "[FRAME]\n"
                           "Frame=1\n"
                           "[ALARM]\n"
                           "Enable1=1\n"
                           "Enable2=0\n");
}

TEST_F(IniTest, NamesTheFormatCannotHoldAreRefused)
{
    IniFile ini(PathOf());
    EXPECT_FALSE(ini.WriteProfileString(u"A]B", u"k", "v"));
    EXPECT_FALSE(ini.WriteProfileString(u"S", u"k=1", "v"));
    EXPECT_FALSE(ini.WriteProfileString(u"S", u"k\nX", "v"));
    EXPECT_FALSE(ini.WriteProfileString(u"S", u";k", "v"));
    EXPECT_FALSE(ini.WriteProfileString(u"", u"k", "v"));
    EXPECT_FALSE(ini.IsModified());
}

TEST_F(IniTest, EveryTextRoundTripsAndPlainValuesStayPlain)
{
    const QString values[] = {
        "line one\nline two",
        "crlf\r\nend",
        " leading blank",
        "trailing blank ",
        "\"quoted\"",
        "\"",
        "\\n is not a break here",
        "C:\\new\\dir",
        "",
        "a = b ; c",
        "日本語のメッセージ",
        "ends with backslash\\",
        "\"\\\"\n\\\r\"",
    };
    {
        IniFile ini(PathOf());
        for (int i = 0; i < std::ssize(values); ++i)
            ASSERT_TRUE(ini.WriteProfileString(u"ALARM", QStringLiteral("AlarmMsg%1").arg(i), values[i]));
        ASSERT_TRUE(ini.Save());
    }
    const IniFile ini(PathOf());
    for (int i = 0; i < std::ssize(values); ++i)
        EXPECT_EQ(ini.GetProfileString(u"ALARM", QStringLiteral("AlarmMsg%1").arg(i)), values[i]) << i;
    // The file holds one line per key, and ordinary values are not escaped.
    const QString text = QString::fromUtf8(ReadBytes());
    EXPECT_EQ(text.count(u'\n'), 1 + std::ssize(values));
    EXPECT_TRUE(text.contains("AlarmMsg7=C:\\new\\dir\n"));
    EXPECT_TRUE(text.contains("AlarmMsg0=\"line one\\nline two\"\n"));
}

TEST_F(IniTest, ShiftJisFileIsReadAsBeforeAndOnlyLinesWrittenBecomeUtf8)
{
    QStringEncoder sjis("Shift_JIS");
    ASSERT_TRUE(sjis.isValid());
    const QByteArray kept = sjis.encode(QStringLiteral("; 時計の設定\r\n[ALARM]\r\nAlarmMsg1=会議の時間です\r\n"));
    WriteBytes(kept + sjis.encode(QStringLiteral("AlarmMsg2=昼休み\r\n")));
    {
        IniFile ini(PathOf());
        EXPECT_EQ(ini.GetProfileString(u"ALARM", u"AlarmMsg1"), "会議の時間です");
        EXPECT_EQ(ini.GetProfileString(u"ALARM", u"AlarmMsg2"), "昼休み");
        ASSERT_TRUE(ini.WriteProfileString(u"ALARM", u"AlarmMsg1", "会議の時間です")); // unchanged
        ASSERT_TRUE(ini.WriteProfileString(u"ALARM", u"AlarmMsg2", "お昼"));
        ASSERT_TRUE(ini.WriteProfileInt(u"ALARM", u"Enable1", 1));
        ASSERT_TRUE(ini.Save());
    }
    // Hand-written lines stay as they were, byte for byte; the lines written
    // are UTF-8, with the file's CRLF line ends. Each reads back as written.
    EXPECT_EQ(ReadBytes(), kept + QStringLiteral("AlarmMsg2=お昼\r\nEnable1=1\r\n").toUtf8());
    const IniFile again(PathOf());
    EXPECT_EQ(again.GetProfileString(u"ALARM", u"AlarmMsg1"), "会議の時間です");
    EXPECT_EQ(again.GetProfileString(u"ALARM", u"AlarmMsg2"), "お昼");
}

TEST_F(IniTest, OneStrayByteLeavesEveryOtherLineAsItWas)
{
    // A UTF-8 file with Japanese text, comments included, and one byte that is
    // no UTF-8 in a value written by hand.
    for (const QByteArray& end : {QByteArray("\n"), QByteArray("\r\n")}) {
        SCOPED_TRACE(end == "\n" ? "LF" : "CRLF");
        const auto file = [&end](const QByteArray& zoom) {
            return "; 目覚ましの設定" + end + "[GENERAL]" + end + "Zoom=" + zoom + end + "[ALARM]" + end +
                   "AlarmMsg1=目覚まし" + end + "AlarmMsg2 = caf\xE9 au lait" + end + "; 朝のメモ" + end;
        };
        WriteBytes(file("80"));
        {
            IniFile ini(PathOf());
            EXPECT_EQ(ini.GetProfileString(u"ALARM", u"AlarmMsg1"), "目覚まし");
            // The settings store writes back every value it read.
            for (const char16_t* key : {u"AlarmMsg1", u"AlarmMsg2"})
                ASSERT_TRUE(ini.WriteProfileString(u"ALARM", key, ini.GetProfileString(u"ALARM", key)));
            ASSERT_TRUE(ini.WriteProfileInt(u"GENERAL", u"Zoom", 90));
            ASSERT_TRUE(ini.Save());
        }
        EXPECT_EQ(ReadBytes(), file("90"));
    }
}

TEST_F(IniTest, Utf8ByteOrderMarkIsKept)
{
    WriteBytes("\xEF\xBB\xBF[GENERAL]\nZoom=80\n");
    IniFile ini(PathOf());
    EXPECT_EQ(ini.GetProfileInt(u"GENERAL", u"Zoom", 0), 80);
    ASSERT_TRUE(ini.WriteProfileInt(u"GENERAL", u"Zoom", 90));
    ASSERT_TRUE(ini.Save());
    EXPECT_EQ(ReadBytes(), "\xEF\xBB\xBF[GENERAL]\nZoom=90\n");
}

TEST_F(IniTest, EverySectionSurvivesWhateverTheEncoding)
{
    // The first section is the one a byte-order mark sits against; a line with
    // an invalid UTF-8 byte later in the file goes to the CP932 reader.
    QStringEncoder sjis("Shift_JIS");
    ASSERT_TRUE(sjis.isValid());
    const QByteArray japanese = sjis.encode(QStringLiteral("会議"));
    struct Case
    {
        const char* name;
        QByteArray bom;
        QByteArray message; // bytes of AlarmMsg1
        QString decoded;
    };
    const Case cases[] = {
        {"UTF-8 with a mark", "\xEF\xBB\xBF", "\xE4\xBC\x9A\xE8\xAD\xB0", QStringLiteral("会議")},
        {"mark and Shift_JIS text", "\xEF\xBB\xBF", japanese, QStringLiteral("会議")},
        {"mark and one stray byte", "\xEF\xBB\xBF", "a\xFF", QStringLiteral("a\uF8F3")},
        {"Shift_JIS without a mark", "", japanese, QStringLiteral("会議")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteBytes(c.bom + "[GENERAL]\nZoom=80\n[ALARM]\nAlarmMsg1=" + c.message + "\n");
        {
            IniFile ini(PathOf());
            EXPECT_EQ(ini.GetProfileInt(u"GENERAL", u"Zoom", 0), 80);
            if (c.decoded != QStringLiteral("a\uF8F3")) { // what CP932 makes of 0xFF is the codec's choice
                EXPECT_EQ(ini.GetProfileString(u"ALARM", u"AlarmMsg1"), c.decoded);
            }
            ASSERT_TRUE(ini.WriteProfileInt(u"GENERAL", u"Zoom", 90));
            ASSERT_TRUE(ini.Save());
        }
        const QByteArray saved = ReadBytes();
        EXPECT_TRUE(saved.startsWith(c.bom + "[GENERAL]\nZoom=90\n[ALARM]\n")) << saved.toStdString();
        EXPECT_EQ(saved.count("[GENERAL]"), 1);
        EXPECT_EQ(IniFile(PathOf()).GetProfileInt(u"GENERAL", u"Zoom", 0), 90);
    }
}

TEST_F(IniTest, FailedSaveKeepsTheOldFile)
{
    // A file-size limit makes every write beyond it fail (EFBIG), as a full disk
    // would, whoever runs the test.
    const QByteArray old = "[GENERAL]\nZoom=80\n";
    WriteBytes(old);
    IniFile ini(PathOf());
    for (int i = 0; i < 200; ++i)
        ASSERT_TRUE(ini.WriteProfileString(u"GENERAL", QStringLiteral("Key%1").arg(i), QString(40, u'x')));

    struct rlimit saved
    {
    };
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved1 = ini.Save();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(saved1);
    EXPECT_EQ(ReadBytes(), old);
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{"LMD.ini"}); // no temporary left
    // Once there is room again the same edits are saved.
    EXPECT_TRUE(ini.Save());
    EXPECT_EQ(IniFile(PathOf()).GetProfileString(u"GENERAL", u"Key199"), QString(40, u'x'));
}

TEST_F(IniTest, SaveIntoReadOnlyFolderFailsAndKeepsTheOldFile)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind root; FailedSaveKeepsTheOldFile covers the failure path";
    const QByteArray old = "[GENERAL]\nZoom=80\n";
    WriteBytes(old);
    IniFile ini(PathOf());
    ASSERT_TRUE(ini.WriteProfileInt(u"GENERAL", u"Zoom", 120));
    ASSERT_TRUE(QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::ExeOwner));
    EXPECT_FALSE(ini.Save());
    QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(ReadBytes(), old);
}

TEST_F(IniTest, SaveReplacesTheLinkedFileAndKeepsItsPermissions)
{
    WriteBytes("[GENERAL]\nZoom=80\n", "real.ini");
    ASSERT_TRUE(QFile::setPermissions(PathOf("real.ini"), QFile::ReadOwner | QFile::WriteOwner));
    ASSERT_TRUE(QFile::link(PathOf("real.ini"), PathOf()));
    ASSERT_TRUE(platform::WriteProfileInt(PathOf(), u"GENERAL", u"Zoom", 90));
    EXPECT_TRUE(QFileInfo(PathOf()).isSymLink());
    EXPECT_EQ(ReadBytes("real.ini"), "[GENERAL]\nZoom=90\n");
    const auto owner = QFile::ReadOwner | QFile::WriteOwner;
    EXPECT_EQ(QFile::permissions(PathOf("real.ini")) & ~(QFile::ReadUser | QFile::WriteUser), owner);
}

TEST_F(IniTest, ChainsOfLinksStayAndTheFileAtTheirEndIsWritten)
{
    ASSERT_TRUE(QDir(dir_.path()).mkdir("sub"));
    struct Link
    {
        const char* name;
        const char* target; // as written into the link (relative to its folder)
    };
    struct Case
    {
        const char* name;
        std::vector<Link> links;
        const char* file;    // the file at the end of the chain, "" for none
        QByteArray expected; // what it holds after the save
        bool saved;
    };
    const QByteArray before = "[GENERAL]\nZoom=80\n";
    const QByteArray after = "[GENERAL]\nZoom=90\n";
    const Case cases[] = {
        {"LMD.ini -> a -> b", {{"LMD.ini", "a"}, {"a", "b"}}, "b", after, true},
        {"through a folder", {{"LMD.ini", "sub/a"}, {"sub/a", "../b"}}, "b", after, true},
        {"chain to a missing file", {{"LMD.ini", "a"}, {"a", "new.ini"}}, "", "[GENERAL]\nZoom=90\n", true},
        {"loop", {{"LMD.ini", "a"}, {"a", "LMD.ini"}}, "", "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const char* name : {"LMD.ini", "a", "b", "sub/a", "new.ini"})
            QFile::remove(PathOf(name));
        if (*c.file)
            WriteBytes(before, c.file);
        for (const Link& link : c.links)
            ASSERT_EQ(::symlink(link.target, QFile::encodeName(PathOf(link.name)).constData()), 0);

        IniFile ini(PathOf());
        ASSERT_TRUE(ini.WriteProfileInt(u"GENERAL", u"Zoom", 90));
        EXPECT_EQ(ini.Save(), c.saved);
        for (const Link& link : c.links)
            EXPECT_TRUE(QFileInfo(PathOf(link.name)).isSymLink()) << link.name;
        if (c.saved) {
            EXPECT_EQ(ReadBytes(), c.expected); // read through the chain
        }
        EXPECT_EQ(QDir(dir_.path()).entryList({".*.ini.*"}, QDir::Files | QDir::Hidden | QDir::System),
                  QStringList()); // no temporary left
    }
}

TEST_F(IniTest, TemporariesOfKilledSavesAreRemovedByTheNextSave)
{
    WriteBytes("[GENERAL]\nZoom=80\n");
    // What killed saves leave: a temporary of LMD.ini (one written halfway); and
    // files that only look alike, which stay.
    for (const char* name : {".LMD.ini.a1B2c3", ".LMD.ini.Zz9yX8"})
        WriteBytes("[GENERAL]\nZo", name);
    const QStringList others = {".LMD.ini.bak", ".LMD.ini.toolong7", ".other.ini.a1B2c3", "LMD.ini.a1B2c3"};
    for (const QString& name : others)
        WriteBytes("keep", name);
    // A save of the same file still at work in another process holds its lock.
    WriteBytes("[GENERAL]\n", ".LMD.ini.Busy42");
    const int busy = ::open(QFile::encodeName(PathOf(".LMD.ini.Busy42")).constData(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(busy, 0);
    ASSERT_EQ(::flock(busy, LOCK_EX), 0);

    ASSERT_TRUE(platform::WriteProfileInt(PathOf(), u"GENERAL", u"Zoom", 90));
    ::close(busy);

    QStringList expected = others + QStringList{"LMD.ini", ".LMD.ini.Busy42"};
    expected.sort();
    QStringList left = QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden);
    left.sort();
    EXPECT_EQ(left, expected);
    EXPECT_EQ(ReadBytes(), "[GENERAL]\nZoom=90\n");
}

TEST_F(IniTest, WhatIsNoRegularFileIsNeitherReadNorReplaced)
{
    const QByteArray settings = "[GENERAL]\nZoom=150\n";
    for (const lmd::test::HostileCase& hostile : lmd::test::kHostileFiles) {
        SCOPED_TRACE(hostile.name);
        ASSERT_TRUE(lmd::test::PlaceHostileFile(PathOf(), hostile.kind, platform::FileKind::Settings, settings));
        struct stat before
        {
        };
        ASSERT_EQ(::lstat(QFile::encodeName(PathOf()).constData(), &before), 0);
        IniFile ini(PathOf()); // returns at once, with nothing read
        EXPECT_EQ(ini.GetProfileInt(u"GENERAL", u"Zoom", 100), 100);
        ASSERT_TRUE(ini.WriteProfileInt(u"GENERAL", u"Zoom", 120));
        EXPECT_FALSE(ini.Save());
        struct stat after
        {
        };
        ASSERT_EQ(::lstat(QFile::encodeName(PathOf()).constData(), &after), 0);
        EXPECT_EQ(after.st_ino, before.st_ino);
        EXPECT_EQ(after.st_mode, before.st_mode);
        EXPECT_EQ(after.st_size, before.st_size);
    }
}

TEST_F(IniTest, SingleCallsAreDurableOnTheirOwn)
{
    EXPECT_EQ(platform::GetProfileInt(PathOf(), u"GENERAL", u"Zoom", 100), 100);
    EXPECT_FALSE(QFile::exists(PathOf())); // reading creates nothing
    ASSERT_TRUE(platform::WriteProfileInt(PathOf(), u"GENERAL", u"Zoom", 75));
    ASSERT_TRUE(platform::WriteProfileString(PathOf(), u"GENERAL", u"Title", "clock"));
    EXPECT_EQ(ReadBytes(), "[GENERAL]\nZoom=75\nTitle=clock\n");
    EXPECT_EQ(platform::GetProfileString(PathOf(), u"general", u"title"), "clock");
}

} // namespace
