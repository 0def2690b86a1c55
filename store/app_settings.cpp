#include "store/app_settings.h"

#include "platform/crt.h"
#include "platform/desktop.h"
#include "platform/paths.h"
#include "store/settings_keys.h"

#include <algorithm>
#include <cstdint>

using namespace keys;
using platform::COLORREF;
using platform::IniFile;

namespace {

int HexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

// "%x" scanning: blanks, optional sign, optional 0x, hex digits; wraps modulo 2^32.
std::uint32_t ScanHex(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    if (i + 2 < text.size() && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X') &&
        HexDigit(text[i + 2]) >= 0)
        i += 2;
    std::uint32_t value = 0;
    for (; i < text.size(); ++i) {
        const int digit = HexDigit(text[i]);
        if (digit < 0)
            break;
        value = value * 16u + static_cast<std::uint32_t>(digit);
    }
    return negative ? 0u - value : value;
}

bool ReadFlag(const IniFile& ini, QStringView section, QStringView key, bool defaultValue)
{
    return ini.GetProfileInt(section, key, defaultValue ? 1 : 0) != 0;
}

COLORREF ReadColor(const IniFile& ini, QStringView section, QStringView key, COLORREF defaultColor)
{
    return ParseColor(ini.GetProfileString(section, key), defaultColor);
}

void WriteFlag(IniFile& ini, QStringView section, QStringView key, bool value)
{
    ini.WriteProfileInt(section, key, value ? 1 : 0);
}

void WriteColor(IniFile& ini, QStringView section, QStringView key, COLORREF value)
{
    ini.WriteProfileString(section, key, FormatColor(value));
}

void LoadImageFolder(AppSettings& s, const IniFile& ini)
{
    const QString stored = ini.GetProfileString(SEC_EFFECT, KEY_ImageFolderPath);
    s.StoredImageFolderPath.clear();
    s.ImageFolderStandIn.clear();
    if (platform::paths::Exists(stored)) {
        s.ImageFolderPath = stored;
        return;
    }
    s.ImageFolderPath = platform::PicturesFolder();
    if (!stored.isEmpty()) {
        s.StoredImageFolderPath = stored;
        s.ImageFolderStandIn = s.ImageFolderPath;
    }
}

QString ImageFolderToSave(const AppSettings& s)
{
    const bool standInUntouched =
        !s.StoredImageFolderPath.isEmpty() && s.ImageFolderPath == s.ImageFolderStandIn;
    return standInUntouched ? s.StoredImageFolderPath : s.ImageFolderPath;
}

} // namespace

COLORREF ParseColor(QStringView text, COLORREF defaultColor)
{
    if (text.isEmpty() || text.front() != u'#')
        return defaultColor;
    QString padded = text.toString();
    while (padded.size() < 7)
        padded += u'0';
    const std::uint32_t n = ScanHex(QStringView(padded).mid(1));
    const std::uint32_t red = (n >> 16) & 0xFFu;
    const std::uint32_t green = (n >> 8) & 0xFFu;
    const std::uint32_t blue = n & 0xFFu;
    return red | (green << 8) | (blue << 16);
}

QString FormatColor(COLORREF color)
{
    return QString::asprintf("#%02x%02x%02x", color & 0xFFu, (color >> 8) & 0xFFu, (color >> 16) & 0xFFu);
}

IntPair SplitIntPair(QStringView text, QChar separator)
{
    IntPair pair;
    const qsizetype first = text.indexOf(separator);
    if (first < 0) {
        pair.first = crt::atoi(text);
        return pair;
    }
    pair.first = crt::atoi(text.left(first));
    const QStringView rest = text.mid(first + 1);
    const qsizetype second = rest.indexOf(separator);
    pair.second = crt::atoi(second < 0 ? rest : rest.left(second));
    return pair;
}

QString FormatMonthDay(int month, int day)
{
    return QString::asprintf("%02d/%02d", month, day);
}

QString FormatHourMin(int hour, int minute)
{
    return QString::asprintf("%02d:%02d", hour, minute);
}

COLORREF AlarmTextColor(COLORREF background, int darkThreshold)
{
    const int largest = std::max(
        {platform::GetRValue(background), platform::GetGValue(background), platform::GetBValue(background)});
    return largest < darkThreshold ? 0xFFFFFF : 0x000000;
}

QString AlarmKey(QStringView stem, int number)
{
    return stem.toString() + QString::number(number);
}

QString ChooseIniPath(const QString& exeDir)
{
    const QString test = platform::paths::Combine(exeDir, QStringLiteral("LMD_test.ini"));
    return platform::paths::Exists(test) ? test : platform::paths::Combine(exeDir, QStringLiteral("LMD.ini"));
}

void LoadAppSettings(AppSettings& s, const IniFile& ini)
{
    s.StartX = ini.GetProfileInt(SEC_GENERAL, KEY_StartX, 0);
    s.StartY = ini.GetProfileInt(SEC_GENERAL, KEY_StartY, 0);
    s.Stealth = ReadFlag(ini, SEC_GENERAL, KEY_Stealth, false);
    s.Splash = ReadFlag(ini, SEC_GENERAL, KEY_Splash, false);
    s.TopMost = ReadFlag(ini, SEC_GENERAL, KEY_TopMost, true);
    s.Zoom = ini.GetProfileInt(SEC_GENERAL, KEY_Zoom, 100);
    s.Alpha = ini.GetProfileInt(SEC_GENERAL, KEY_Alpha, 255);

    s.Frame = ReadFlag(ini, SEC_FRAME, KEY_Frame, true);
    s.FrameType = ini.GetProfileInt(SEC_FRAME, KEY_FrameType, 1);
    s.ExtFramePath = ini.GetProfileString(SEC_FRAME, KEY_ExtFramePath);
    s.Gradation = ReadFlag(ini, SEC_FRAME, KEY_Gradation, true);
    s.ExtTexture = ini.GetProfileString(SEC_FRAME, KEY_ExtTexture);

    s.ClockFace = ini.GetProfileInt(SEC_MOJIBAN, KEY_ClockFace, 0);
    s.ClockHands = ReadFlag(ini, SEC_MOJIBAN, KEY_ClockHands, true);
    s.Date = ReadFlag(ini, SEC_MOJIBAN, KEY_Date, false);
    s.DigitalWatch = ReadFlag(ini, SEC_MOJIBAN, KEY_DigitalWatch, false);
    s.DigiSec = ReadFlag(ini, SEC_MOJIBAN, KEY_DigiSec, false);
    s.DotColorGroup = ini.GetProfileInt(SEC_MOJIBAN, KEY_DotColorGroup, 1);
    s.DotMatrixOnColor = ReadColor(ini, SEC_MOJIBAN, KEY_DotMatrixOnColor, 0x32FF00);
    s.DotMatrixOffColor = ReadColor(ini, SEC_MOJIBAN, KEY_DotMatrixOffColor, 0x1E6700);
    s.HandsColorKind = ini.GetProfileInt(SEC_MOJIBAN, KEY_HandsColorKind, 0);
    s.HourColor = ReadColor(ini, SEC_MOJIBAN, KEY_HourColor, 0x0000FF);
    s.MinColor = ReadColor(ini, SEC_MOJIBAN, KEY_MinColor, 0x00FF00);
    s.SecondColor = ReadColor(ini, SEC_MOJIBAN, KEY_SecondColor, 0xFF0000);
    s.UseShaderMojiban = ReadFlag(ini, SEC_MOJIBAN, KEY_UseShaderMojiban, true);

    s.EffectPtn0 = ini.GetProfileInt(SEC_EFFECT, KEY_EffectPtn0, 0);
    s.EffectPtn1 = ini.GetProfileInt(SEC_EFFECT, KEY_EffectPtn1, 0);
    s.EffectPtn2 = ini.GetProfileInt(SEC_EFFECT, KEY_EffectPtn2, 0);
    s.FilterColor = ReadColor(ini, SEC_EFFECT, KEY_FilterColor, 0xFFFFFF);
    s.FilterAlpha = ini.GetProfileInt(SEC_EFFECT, KEY_FilterAlpha, 127);
    LoadImageFolder(s, ini);
    s.PlayInterval = ini.GetProfileInt(SEC_EFFECT, KEY_PlayInterval, 10);
    s.SearchSub = ReadFlag(ini, SEC_EFFECT, KEY_SearchSub, false);
    s.ExtShader = ini.GetProfileString(SEC_EFFECT, KEY_ExtShader);

    s.Alarms.resize(kAlarmCount);
    for (int n = 1; n <= kAlarmCount; ++n) {
        AlarmSetting& a = s.Alarms[n - 1];
        a.Enable = ReadFlag(ini, SEC_ALARM, AlarmKey(KEY_Enable, n), false);
        a.NotifyTiming = ini.GetProfileInt(SEC_ALARM, AlarmKey(KEY_NotifyTiming, n), 0);
        const IntPair monthDay =
            SplitIntPair(ini.GetProfileString(SEC_ALARM, AlarmKey(KEY_MonthDay, n)), u'/');
        a.Month = monthDay.first;
        a.Day = monthDay.second;
        const IntPair hourMin = SplitIntPair(ini.GetProfileString(SEC_ALARM, AlarmKey(KEY_HourMin, n)), u':');
        a.Hour = hourMin.first;
        a.Minute = hourMin.second;
        a.BackColor = ReadColor(ini, SEC_ALARM, AlarmKey(KEY_BackColor, n), 0xFFFFFF);
        a.AlarmMsg = ini.GetProfileString(SEC_ALARM, AlarmKey(KEY_AlarmMsg, n));
    }
}

void LoadAppSettings(AppSettings& settings, const QString& iniPath)
{
    LoadAppSettings(settings, IniFile(iniPath));
}

bool SaveAppSettings(const AppSettings& s, IniFile& ini)
{
    ini.WriteProfileInt(SEC_GENERAL, KEY_StartX, s.StartX);
    ini.WriteProfileInt(SEC_GENERAL, KEY_StartY, s.StartY);
    WriteFlag(ini, SEC_GENERAL, KEY_Stealth, s.Stealth);
    WriteFlag(ini, SEC_GENERAL, KEY_Splash, s.Splash);
    WriteFlag(ini, SEC_GENERAL, KEY_TopMost, s.TopMost);
    ini.WriteProfileInt(SEC_GENERAL, KEY_Zoom, s.Zoom);
    ini.WriteProfileInt(SEC_GENERAL, KEY_Alpha, s.Alpha);

    WriteFlag(ini, SEC_FRAME, KEY_Frame, s.Frame);
    ini.WriteProfileInt(SEC_FRAME, KEY_FrameType, s.FrameType);
    ini.WriteProfileString(SEC_FRAME, KEY_ExtFramePath, s.ExtFramePath);
    WriteFlag(ini, SEC_FRAME, KEY_Gradation, s.Gradation);
    ini.WriteProfileString(SEC_FRAME, KEY_ExtTexture, s.ExtTexture);

    ini.WriteProfileInt(SEC_MOJIBAN, KEY_ClockFace, s.ClockFace);
    WriteFlag(ini, SEC_MOJIBAN, KEY_ClockHands, s.ClockHands);
    WriteFlag(ini, SEC_MOJIBAN, KEY_Date, s.Date);
    WriteFlag(ini, SEC_MOJIBAN, KEY_DigitalWatch, s.DigitalWatch);
    WriteFlag(ini, SEC_MOJIBAN, KEY_DigiSec, s.DigiSec);
    ini.WriteProfileInt(SEC_MOJIBAN, KEY_DotColorGroup, s.DotColorGroup);
    WriteColor(ini, SEC_MOJIBAN, KEY_DotMatrixOnColor, s.DotMatrixOnColor);
    WriteColor(ini, SEC_MOJIBAN, KEY_DotMatrixOffColor, s.DotMatrixOffColor);
    ini.WriteProfileInt(SEC_MOJIBAN, KEY_HandsColorKind, s.HandsColorKind);
    WriteColor(ini, SEC_MOJIBAN, KEY_HourColor, s.HourColor);
    WriteColor(ini, SEC_MOJIBAN, KEY_MinColor, s.MinColor);
    WriteColor(ini, SEC_MOJIBAN, KEY_SecondColor, s.SecondColor);
    // UseShaderMojiban is never written: the file keeps what was put there by hand.

    ini.WriteProfileInt(SEC_EFFECT, KEY_EffectPtn0, s.EffectPtn0);
    ini.WriteProfileInt(SEC_EFFECT, KEY_EffectPtn1, s.EffectPtn1);
    ini.WriteProfileInt(SEC_EFFECT, KEY_EffectPtn2, s.EffectPtn2);
    WriteColor(ini, SEC_EFFECT, KEY_FilterColor, s.FilterColor);
    ini.WriteProfileInt(SEC_EFFECT, KEY_FilterAlpha, s.FilterAlpha);
    ini.WriteProfileString(SEC_EFFECT, KEY_ImageFolderPath, ImageFolderToSave(s));
    ini.WriteProfileInt(SEC_EFFECT, KEY_PlayInterval, s.PlayInterval);
    WriteFlag(ini, SEC_EFFECT, KEY_SearchSub, s.SearchSub);
    ini.WriteProfileString(SEC_EFFECT, KEY_ExtShader, s.ExtShader);

    for (int n = 1; n <= kAlarmCount; ++n) {
        static const AlarmSetting kNone{};
        const AlarmSetting& a = n <= std::ssize(s.Alarms) ? s.Alarms[n - 1] : kNone;
        WriteFlag(ini, SEC_ALARM, AlarmKey(KEY_Enable, n), a.Enable);
        ini.WriteProfileInt(SEC_ALARM, AlarmKey(KEY_NotifyTiming, n), a.NotifyTiming);
        ini.WriteProfileString(SEC_ALARM, AlarmKey(KEY_MonthDay, n), FormatMonthDay(a.Month, a.Day));
        ini.WriteProfileString(SEC_ALARM, AlarmKey(KEY_HourMin, n), FormatHourMin(a.Hour, a.Minute));
        WriteColor(ini, SEC_ALARM, AlarmKey(KEY_BackColor, n), a.BackColor);
        ini.WriteProfileString(SEC_ALARM, AlarmKey(KEY_AlarmMsg, n), a.AlarmMsg);
    }
    return ini.Save();
}

bool SaveAppSettings(const AppSettings& settings, const QString& iniPath)
{
    IniFile ini(iniPath);
    return SaveAppSettings(settings, ini);
}
