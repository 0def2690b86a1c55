#pragma once
// The about dialog's templates as data: the dialog itself (200) and its two
// kinds of page (212: one sunken static over the page; 213: two sunken statics
// for the LED displays).
#include "platform/dialog.h"

namespace about {

inline constexpr int IDD_ABOUT = 200;
inline constexpr int IDD_PAGE_ONE = 212;
inline constexpr int IDD_PAGE_TWO = 213;

inline constexpr int IDOK = 1;
inline constexpr int IDC_TAB = 1037;
inline constexpr int IDC_PAGE_STATIC = 1038; // template 212
inline constexpr int IDC_LED_NAME = 1039;    // template 213
inline constexpr int IDC_LED_BLOCK = 1040;   // template 213

// The template of that id, or null when there is none.
const platform::DialogTemplate* FindDialogTemplate(int id);

} // namespace about
