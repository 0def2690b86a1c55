#pragma once
// The clock's settings record and its INI store.
//
// How the application uses it:
//   const QString iniPath = ChooseIniPath(platform::paths::ExeDir());
//   LoadAppSettings(AppSettings, iniPath);   // once, at start
//   SaveAppSettings(AppSettings, iniPath);   // settings OK, exit, session end
// Each call reads the file afresh, so keys, comments and lines written by hand
// (UseShaderMojiban among them) survive every save; a save writes the whole file
// once, atomically (platform/ini.h), and returns false when it could not.
#include "platform/ini.h"
#include "platform/surface.h"

#include <QString>
#include <vector>

// One of the nine alarms (index 0 to 8 = alarm number 1 to 9). A fresh record
// is all zero with an empty message; the load gives BackColor 0xFFFFFF when its
// key is missing.
struct AlarmSetting
{
    bool Enable = false;
    int NotifyTiming = 0; // 0 daily, 1 Mon-Sat, 2 Mon-Fri, 3-9 weekly Sun..Sat, 10 once, 11 on Month/Day
    int Month = 0;        // MonthDay, before the "/"
    int Day = 0;          // MonthDay, after it
    int Hour = 0;         // HourMin, before the ":"
    int Minute = 0;       // HourMin, after it
    platform::COLORREF BackColor = 0;
    QString AlarmMsg;
};

inline constexpr int kAlarmCount = 9;

// The text colour of an alarm's message on its background colour (the popup
// and the alarm page show it so): white when the largest of the background's
// red, green and blue is below the threshold, else black.
platform::COLORREF AlarmTextColor(platform::COLORREF background, int darkThreshold);

// All user settings. Copyable member by member (the settings dialog keeps a copy
// to revert a cancelled dialog).
//
// A fresh record holds StartX/StartY 0, empty texts and nine all-zero alarms; the
// other fields start at the defaults the load uses for a missing key, so a
// record that was never loaded still reads sensibly.
struct AppSettings
{
    // GENERAL
    int StartX = 0;
    int StartY = 0;
    bool Stealth = false;
    bool Splash = false;
    bool TopMost = true;
    int Zoom = 100; // 0: derive from the screen width at start
    int Alpha = 255;
    // FRAME
    bool Frame = true;
    int FrameType = 1;
    QString ExtFramePath;
    bool Gradation = true;
    QString ExtTexture;
    // MOJIBAN
    bool ClockHands = true;
    bool Date = false;
    bool DigitalWatch = false;
    bool DigiSec = false;
    int DotColorGroup = 1;
    platform::COLORREF DotMatrixOnColor = 0x32FF00;
    platform::COLORREF DotMatrixOffColor = 0x1E6700;
    int HandsColorKind = 0;
    platform::COLORREF HourColor = 0x0000FF;
    platform::COLORREF MinColor = 0x00FF00;
    platform::COLORREF SecondColor = 0xFF0000;
    bool UseShaderMojiban = true; // read at start, never written
    int ClockFace = 0;
    // EFFECT
    int EffectPtn0 = 0;
    int EffectPtn1 = 0;
    int EffectPtn2 = 0;
    platform::COLORREF FilterColor = 0xFFFFFF;
    int FilterAlpha = 127;
    // The folder the slideshow uses this run. When the file names a folder that
    // is missing at load (a drive not mounted, say), ImageFolderPath is the
    // pictures folder for this run, StoredImageFolderPath keeps the text the file
    // held and ImageFolderStandIn the pictures folder put in its place. As long
    // as ImageFolderPath still equals ImageFolderStandIn, a save writes the stored
    // text back unchanged, so the user's choice is not lost; a folder chosen since
    // is saved as usual (a page that sets the folder may clear
    // StoredImageFolderPath to make even a choice of the stand-in stick). Both
    // extra fields are empty when the stored folder was used as it stands or the
    // file held no folder.
    QString ImageFolderPath;
    QString StoredImageFolderPath;
    QString ImageFolderStandIn;
    int PlayInterval = 10;
    bool SearchSub = false;
    QString ExtShader;
    // ALARM
    std::vector<AlarmSetting> Alarms = std::vector<AlarmSetting>(kAlarmCount);
};

// The colour text "#rrggbb" read back. Empty text or text not starting with "#"
// gives defaultColor. Shorter texts are padded with "0" to 7 characters ("#f" is
// "#f00000"). The rest is read as a hexadecimal number the way "%x" scans it
// (leading blanks, an optional sign and "0x" prefix, then hex digits; no digit
// gives 0). More than eight digits wrap: the number is kept modulo 2^32, so its
// last six digits decide the colour. Bits 16-23 are red, 8-15 green, 0-7 blue.
platform::COLORREF ParseColor(QStringView text, platform::COLORREF defaultColor);

// "#rrggbb" in lower-case hexadecimal; the top byte of the colour is ignored.
QString FormatColor(platform::COLORREF color);

// "MonthDay" and "HourMin" texts: the parts before and after the separator
// (up to a second separator), each read with crt::atoi; a missing part is 0.
struct IntPair
{
    int first = 0;
    int second = 0;
};
IntPair SplitIntPair(QStringView text, QChar separator);
QString FormatMonthDay(int month, int day);  // "%02d/%02d"
QString FormatHourMin(int hour, int minute); // "%02d:%02d"

// "Enable" + 3 -> "Enable3".
QString AlarmKey(QStringView stem, int number);

// The INI file: exeDir/LMD_test.ini when that exists (any file-system object),
// else exeDir/LMD.ini.
QString ChooseIniPath(const QString& exeDir);

// Fills settings from the file, key by key in the clock's order; missing keys
// give their defaults and the fresh record's StartX/StartY/texts/alarms are
// overwritten too. The pictures folder comes from platform::PicturesFolder().
void LoadAppSettings(AppSettings& settings, const platform::IniFile& ini);
void LoadAppSettings(AppSettings& settings, const QString& iniPath);

// Writes every key but UseShaderMojiban in the clock's order (a key the file
// lacks is appended to its section in that order) and saves the file once.
// False when the file could not be saved; the old file is then intact.
bool SaveAppSettings(const AppSettings& settings, platform::IniFile& ini);
bool SaveAppSettings(const AppSettings& settings, const QString& iniPath);
