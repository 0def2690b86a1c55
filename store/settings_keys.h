#pragma once
// Section and key names of the clock's INI file. The six names after SEC_ALARM
// are stems: the real key is the stem followed by the alarm number 1 to 9
// ("Enable1" ... "AlarmMsg9"; see AlarmKey in store/app_settings.h).
#include <QStringView>

namespace keys {

inline constexpr QStringView SEC_GENERAL = u"GENERAL";
inline constexpr QStringView KEY_StartX = u"StartX";
inline constexpr QStringView KEY_StartY = u"StartY";
inline constexpr QStringView KEY_Stealth = u"Stealth";
inline constexpr QStringView KEY_Splash = u"Splash";
inline constexpr QStringView KEY_TopMost = u"TopMost";
inline constexpr QStringView KEY_Zoom = u"Zoom";
inline constexpr QStringView KEY_Alpha = u"Alpha";

inline constexpr QStringView SEC_FRAME = u"FRAME";
inline constexpr QStringView KEY_Frame = u"Frame";
inline constexpr QStringView KEY_FrameType = u"FrameType";
inline constexpr QStringView KEY_ExtFramePath = u"ExtFramePath";
inline constexpr QStringView KEY_Gradation = u"Gradation";
inline constexpr QStringView KEY_ExtTexture = u"ExtTexture";

inline constexpr QStringView SEC_MOJIBAN = u"MOJIBAN";
inline constexpr QStringView KEY_ClockHands = u"ClockHands";
inline constexpr QStringView KEY_Date = u"Date";
inline constexpr QStringView KEY_DigitalWatch = u"DigitalWatch";
inline constexpr QStringView KEY_DigiSec = u"DigiSec";
inline constexpr QStringView KEY_DotColorGroup = u"DotColorGroup";
inline constexpr QStringView KEY_DotMatrixOnColor = u"DotMatrixOnColor";
inline constexpr QStringView KEY_DotMatrixOffColor = u"DotMatrixOffColor";
inline constexpr QStringView KEY_HandsColorKind = u"HandsColorKind";
inline constexpr QStringView KEY_HourColor = u"HourColor";
inline constexpr QStringView KEY_MinColor = u"MinColor";
inline constexpr QStringView KEY_SecondColor = u"SecondColor";
inline constexpr QStringView KEY_UseShaderMojiban = u"UseShaderMojiban";
inline constexpr QStringView KEY_ClockFace = u"ClockFace";

inline constexpr QStringView SEC_EFFECT = u"EFFECT";
inline constexpr QStringView KEY_EffectPtn0 = u"EffectPtn0";
inline constexpr QStringView KEY_EffectPtn1 = u"EffectPtn1";
inline constexpr QStringView KEY_EffectPtn2 = u"EffectPtn2";
inline constexpr QStringView KEY_FilterColor = u"FilterColor";
inline constexpr QStringView KEY_FilterAlpha = u"FilterAlpha";
inline constexpr QStringView KEY_ImageFolderPath = u"ImageFolderPath";
inline constexpr QStringView KEY_PlayInterval = u"PlayInterval";
inline constexpr QStringView KEY_SearchSub = u"SearchSub";
inline constexpr QStringView KEY_ExtShader = u"ExtShader";

inline constexpr QStringView SEC_ALARM = u"ALARM";
inline constexpr QStringView KEY_Enable = u"Enable";
inline constexpr QStringView KEY_NotifyTiming = u"NotifyTiming";
inline constexpr QStringView KEY_MonthDay = u"MonthDay";
inline constexpr QStringView KEY_HourMin = u"HourMin";
inline constexpr QStringView KEY_BackColor = u"BackColor";
inline constexpr QStringView KEY_AlarmMsg = u"AlarmMsg";

} // namespace keys
