#include "store/app_settings.h"
#include "platform/desktop.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <climits>
#include <gtest/gtest.h>

namespace {

const QString kPictures = "/home/me/Pictures";

class AppSettingsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        desktop_->picturesFolder = kPictures;
    }

    QString PathOf(const QString& name = "LMD.ini") const { return dir_.filePath(name); }

    void WriteText(const QByteArray& text, const QString& name = "LMD.ini") const
    {
        QFile file(PathOf(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

    QByteArray ReadText(const QString& name = "LMD.ini") const
    {
        QFile file(PathOf(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    AppSettings Loaded(const QString& name = "LMD.ini") const
    {
        AppSettings settings;
        LoadAppSettings(settings, PathOf(name));
        return settings;
    }

    QTemporaryDir dir_;
    platform::ScopedRecordingDesktop desktop_;
};

QByteArray GoldenFile(const QByteArray& imageFolder)
{
    QByteArray text =
        "[GENERAL]\nStartX=0\nStartY=0\nStealth=0\nSplash=0\nTopMost=1\nZoom=100\nAlpha=255\n"
        "[FRAME]\nFrame=1\nFrameType=1\nExtFramePath=\nGradation=1\nExtTexture=\n"
        "[MOJIBAN]\nClockFace=0\nClockHands=1\nDate=0\nDigitalWatch=0\nDigiSec=0\nDotColorGroup=1\n"
        "DotMatrixOnColor=#00ff32\nDotMatrixOffColor=#00671e\nHandsColorKind=0\n"
        "HourColor=#ff0000\nMinColor=#00ff00\nSecondColor=#0000ff\n"
        "[EFFECT]\nEffectPtn0=0\nEffectPtn1=0\nEffectPtn2=0\nFilterColor=#ffffff\nFilterAlpha=127\n"
        "ImageFolderPath=" +
        imageFolder +
        "\nPlayInterval=10\nSearchSub=0\nExtShader=\n"
        "[ALARM]\n";
    for (int n = 1; n <= 9; ++n) {
        const QByteArray k = QByteArray::number(n);
        text += "Enable" + k + "=0\nNotifyTiming" + k + "=0\nMonthDay" + k + "=00/00\nHourMin" + k +
                "=00:00\nBackColor" + k + "=#ffffff\nAlarmMsg" + k + "=\n";
    }
    return text;
}

TEST_F(AppSettingsTest, FreshRecordIsDefinedToTheLastField)
{
    const AppSettings fresh;
    EXPECT_EQ(fresh.StartX, 0);
    EXPECT_EQ(fresh.StartY, 0);
    EXPECT_TRUE(fresh.ExtFramePath.isEmpty());
    EXPECT_TRUE(fresh.ImageFolderPath.isEmpty());
    ASSERT_EQ(fresh.Alarms.size(), 9u);
    for (const AlarmSetting& a : fresh.Alarms) {
        EXPECT_FALSE(a.Enable);
        EXPECT_EQ(a.NotifyTiming + a.Month + a.Day + a.Hour + a.Minute, 0);
        EXPECT_EQ(a.BackColor, 0u);
        EXPECT_TRUE(a.AlarmMsg.isEmpty());
    }
    // The copy kept by the settings dialog is a deep, equal copy.
    AppSettings copy = fresh;
    copy.Alarms[3].AlarmMsg = "changed";
    EXPECT_TRUE(fresh.Alarms[3].AlarmMsg.isEmpty());
}

TEST_F(AppSettingsTest, WithoutFileEveryFieldHasItsDefaultAndTheFirstSaveWritesTheGoldenFile)
{
    const AppSettings s = Loaded();
    EXPECT_FALSE(s.Stealth);
    EXPECT_FALSE(s.Splash);
    EXPECT_TRUE(s.TopMost);
    EXPECT_EQ(s.Zoom, 100);
    EXPECT_EQ(s.Alpha, 255);
    EXPECT_TRUE(s.Frame);
    EXPECT_EQ(s.FrameType, 1);
    EXPECT_TRUE(s.Gradation);
    EXPECT_TRUE(s.ClockHands);
    EXPECT_EQ(s.DotColorGroup, 1);
    EXPECT_EQ(s.DotMatrixOnColor, 0x32FF00u);
    EXPECT_EQ(s.DotMatrixOffColor, 0x1E6700u);
    EXPECT_EQ(s.HourColor, 0x0000FFu);
    EXPECT_EQ(s.MinColor, 0x00FF00u);
    EXPECT_EQ(s.SecondColor, 0xFF0000u);
    EXPECT_TRUE(s.UseShaderMojiban);
    EXPECT_EQ(s.FilterColor, 0xFFFFFFu);
    EXPECT_EQ(s.FilterAlpha, 127);
    EXPECT_EQ(s.ImageFolderPath, kPictures);
    EXPECT_EQ(s.PlayInterval, 10);
    for (const AlarmSetting& a : s.Alarms)
        EXPECT_EQ(a.BackColor, 0xFFFFFFu);

    ASSERT_TRUE(SaveAppSettings(s, PathOf()));
    EXPECT_EQ(ReadText(), GoldenFile(kPictures.toUtf8()));
}

TEST_F(AppSettingsTest, ParseColorTable)
{
    constexpr platform::COLORREF kDefault = 0x123456;
    struct Case
    {
        const char* text;
        platform::COLORREF expected;
    };
    const Case cases[] = {
        {"#00ff00", 0x00FF00},
        {"#ff0000", 0x0000FF},
        {"#0000ff", 0xFF0000},
        {"#f", 0xF0},
        {"#12", 0x12},
        {"#", 0},
        {"00ff00", kDefault},
        {"", kDefault},
        {" #00ff00", kDefault},
        {"#zzzzzz", 0},
        {"#00FF00", 0x00FF00},
        {"#0ff", 0x00F00F},
        {"# 00ff0", 0xF00F00}, // the blank is skipped: "00ff0" reads as 0xff0
        {"#0x00ff00", 0x00FF00},
        {"#-000001", 0xFFFFFF},
        {"#00ff00zz", 0x00FF00},
        {"#123456789", 0x896745}, // more than eight digits: the number wraps, its last six digits count
        {"#ffffffffffffffffffffffff", 0xFFFFFF},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseColor(QString::fromUtf8(c.text), kDefault), c.expected) << c.text;

    for (const platform::COLORREF color : {0x000000u, 0x00FF00u, 0x0A0B0Cu, 0xFFFFFFu, 0x32FF00u})
        EXPECT_EQ(ParseColor(FormatColor(color), 0), color);
    EXPECT_EQ(FormatColor(0x00FF00), "#00ff00");
    EXPECT_EQ(FormatColor(0xFF0000FF), "#ff0000"); // the top byte is not part of the text
}

TEST_F(AppSettingsTest, ColoursLoadAndSaveBack)
{
    WriteText("[MOJIBAN]\nHourColor=#00ff00\nMinColor=#f\nSecondColor=00ff00\n"
              "DotMatrixOnColor=#zzzzzz\n");
    const AppSettings s = Loaded();
    EXPECT_EQ(s.HourColor, 0x00FF00u);
    EXPECT_EQ(s.MinColor, 0xF0u);
    EXPECT_EQ(s.SecondColor, 0xFF0000u); // no "#": the field's default
    EXPECT_EQ(s.DotMatrixOnColor, 0u);   // "#" without digits: black
    ASSERT_TRUE(SaveAppSettings(s, PathOf()));
    const QByteArray saved = ReadText();
    EXPECT_TRUE(saved.contains("\nHourColor=#00ff00\n"));
    EXPECT_TRUE(saved.contains("\nMinColor=#f00000\n"));
    EXPECT_TRUE(saved.contains("\nSecondColor=#0000ff\n"));
}

TEST_F(AppSettingsTest, MonthDayAndHourMinSplit)
{
    struct Case
    {
        const char* text;
        QChar separator;
        int first, second;
    };
    const Case cases[] = {
        {"12/31", u'/', 12, 31}, {"5", u'/', 5, 0},     {"", u'/', 0, 0},
        {"/7", u'/', 0, 7},      {"1/2/3", u'/', 1, 2}, {" 3x/ 4y", u'/', 3, 4},
        {"7:5", u':', 7, 5},     {"ab:cd", u':', 0, 0}, {"-1:99999999999", u':', -1, INT_MAX},
    };
    for (const auto& c : cases) {
        const IntPair pair = SplitIntPair(QString::fromUtf8(c.text), c.separator);
        EXPECT_EQ(pair.first, c.first) << c.text;
        EXPECT_EQ(pair.second, c.second) << c.text;
    }

    WriteText("[ALARM]\nMonthDay1=12/31\nMonthDay2=5\nHourMin1=7:5\nHourMin2=23:59\n");
    const AppSettings s = Loaded();
    EXPECT_EQ(s.Alarms[0].Month, 12);
    EXPECT_EQ(s.Alarms[0].Day, 31);
    EXPECT_EQ(s.Alarms[1].Month, 5);
    EXPECT_EQ(s.Alarms[1].Day, 0);
    EXPECT_EQ(s.Alarms[0].Hour, 7);
    EXPECT_EQ(s.Alarms[0].Minute, 5);
    ASSERT_TRUE(SaveAppSettings(s, PathOf()));
    const QByteArray saved = ReadText();
    EXPECT_TRUE(saved.contains("\nHourMin1=07:05\n"));
    EXPECT_TRUE(saved.contains("\nMonthDay2=05/00\n"));
    EXPECT_TRUE(saved.contains("\nHourMin2=23:59\n"));
}

TEST_F(AppSettingsTest, AlarmKeysRunFromOneToNine)
{
    WriteText("[ALARM]\nEnable9=1\nAlarmMsg9=last\nEnable10=1\nAlarmMsg10=never\nenable1=1\n");
    const AppSettings s = Loaded();
    EXPECT_TRUE(s.Alarms[0].Enable); // key names are case-insensitive
    EXPECT_TRUE(s.Alarms[8].Enable);
    EXPECT_EQ(s.Alarms[8].AlarmMsg, "last");
    for (int i = 1; i < 8; ++i)
        EXPECT_FALSE(s.Alarms[i].Enable);
    ASSERT_TRUE(SaveAppSettings(s, PathOf()));
    // Enable10 is neither read nor written, and stays in the file.
    EXPECT_TRUE(ReadText().contains("\nEnable10=1\nAlarmMsg10=never\n"));
}

TEST_F(AppSettingsTest, HandWrittenLinesSurviveThreeSaves)
{
    WriteText("; tuned by hand\n[MOJIBAN]\nUseShaderMojiban=0\nClockFace=2\n[MINE]\nAnything=goes\n");
    for (int round = 0; round < 3; ++round) {
        AppSettings s = Loaded();
        EXPECT_FALSE(s.UseShaderMojiban);
        EXPECT_EQ(s.ClockFace, 2);
        s.Zoom = 80 + round;
        ASSERT_TRUE(SaveAppSettings(s, PathOf()));
    }
    const QByteArray saved = ReadText();
    EXPECT_TRUE(
        saved.startsWith("; tuned by hand\n[MOJIBAN]\nUseShaderMojiban=0\nClockFace=2\nClockHands=1\n"));
    EXPECT_TRUE(saved.contains("[MINE]\nAnything=goes\n[GENERAL]\n"));
    EXPECT_EQ(saved.count("UseShaderMojiban"), 1);
    EXPECT_EQ(Loaded().Zoom, 82);

    // Without the key the value is 1 on every start, and a save does not add it.
    WriteText("");
    AppSettings s = Loaded();
    EXPECT_TRUE(s.UseShaderMojiban);
    ASSERT_TRUE(SaveAppSettings(s, PathOf()));
    EXPECT_FALSE(ReadText().contains("UseShaderMojiban"));
}

TEST_F(AppSettingsTest, NumbersAsTheProfileCallsReadThem)
{
    WriteText("[GENERAL]\nZoom=0\nAlpha=abc\nStartX=-120\nStartY= 45px\nTopMost=2\n");
    const AppSettings s = Loaded();
    EXPECT_EQ(s.Zoom, 0); // only an explicit 0 selects the screen-width rule
    EXPECT_EQ(s.Alpha, 0);
    EXPECT_EQ(s.StartX, -120);
    EXPECT_EQ(s.StartY, 45);
    EXPECT_TRUE(s.TopMost);
}

TEST_F(AppSettingsTest, TestIniIsPreferredAndLmdIniStaysByteIdentical)
{
    const QByteArray original = "[GENERAL]\r\nZoom=150\r\n; mine\r\n";
    WriteText(original, "LMD.ini");
    EXPECT_EQ(ChooseIniPath(dir_.path()), PathOf("LMD.ini"));
    WriteText("[GENERAL]\nZoom=70\n", "LMD_test.ini");
    const QString chosen = ChooseIniPath(dir_.path());
    ASSERT_EQ(chosen, PathOf("LMD_test.ini"));

    AppSettings s;
    LoadAppSettings(s, chosen);
    EXPECT_EQ(s.Zoom, 70);
    s.Zoom = 90;
    ASSERT_TRUE(SaveAppSettings(s, chosen));
    EXPECT_EQ(ReadText("LMD.ini"), original);
    EXPECT_TRUE(ReadText("LMD_test.ini").contains("Zoom=90\n"));
}

TEST_F(AppSettingsTest, MissingImageFolderIsReplacedForTheRunButKept)
{
    WriteText("[EFFECT]\nImageFolderPath=/media/usb-drive/photos\n");
    AppSettings s = Loaded();
    EXPECT_EQ(s.ImageFolderPath, kPictures); // the slideshow uses the pictures folder
    ASSERT_TRUE(SaveAppSettings(s, PathOf()));
    EXPECT_TRUE(ReadText().contains("\nImageFolderPath=/media/usb-drive/photos\n"));

    // Loading again from the saved file still knows the user's folder; once the
    // drive is there, it is used.
    QDir(dir_.path()).mkdir("photos");
    WriteText(("[EFFECT]\nImageFolderPath=" + dir_.filePath("photos") + "\n").toUtf8());
    s = Loaded();
    EXPECT_EQ(s.ImageFolderPath, dir_.filePath("photos"));
    EXPECT_TRUE(s.StoredImageFolderPath.isEmpty());

    // A folder chosen during the run replaces the stored one.
    WriteText("[EFFECT]\nImageFolderPath=/media/usb-drive/photos\n");
    s = Loaded();
    s.ImageFolderPath = "/home/me/Wallpapers";
    ASSERT_TRUE(SaveAppSettings(s, PathOf()));
    EXPECT_TRUE(ReadText().contains("\nImageFolderPath=/home/me/Wallpapers\n"));
}

TEST_F(AppSettingsTest, MultiLineAlarmMessageRoundTrips)
{
    AppSettings s = Loaded();
    s.Alarms[2].AlarmMsg = "会議\n3階 A室";
    s.Alarms[2].Enable = true;
    ASSERT_TRUE(SaveAppSettings(s, PathOf()));
    const AppSettings back = Loaded();
    EXPECT_EQ(back.Alarms[2].AlarmMsg, "会議\n3階 A室");
    EXPECT_TRUE(back.Alarms[3].AlarmMsg.isEmpty());
    EXPECT_TRUE(back.Alarms[3].Enable == false && back.Alarms[2].Enable);
}

TEST_F(AppSettingsTest, FailedSaveReportsAndLeavesNothingBroken)
{
    ASSERT_TRUE(QDir(dir_.path()).mkdir("LMD.ini")); // not a file: cannot be read or replaced
    AppSettings s = Loaded();
    EXPECT_EQ(s.Zoom, 100);
    EXPECT_FALSE(SaveAppSettings(s, PathOf()));
    EXPECT_TRUE(QFileInfo(PathOf()).isDir());
}

} // namespace
