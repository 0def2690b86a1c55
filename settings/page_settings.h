#pragma once
// What the settings pages edit: the live settings of the application, and the
// fresh record whose values stand for a field's default (what "自動" in a colour
// popup means for that field).
#include "app/lmd_app.h"
#include "store/app_settings.h"

class CColorButton;
class CLumidial;
class CShadeButtonVq;

inline AppSettings& LiveSettings()
{
    return theApp.AppSettings;
}

// The clock window the pages change directly (frames, top-most state,
// opacity); null while there is none (the pages' own tests).
CLumidial* ClockWindow();

inline const AppSettings& DefaultSettings()
{
    static const AppSettings defaults;
    return defaults;
}

// A colour setting of the settings record.
using ColourField = platform::COLORREF AppSettings::*;

// A page's colour button for a colour setting: the live colour, the popup's
// texts "自動" and "その他...", and the field's default as the colour "自動" shows.
void InitColourButton(CColorButton& button, ColourField field);

// A colour choice of such a button into the live setting: for
// WM_COLOR_SELECTED the colour is stored ("自動", the marker CLR_DEFAULT, as
// the field's default) and the result is true; any other notification, a
// cancelled choice among them, stores nothing and gives false.
bool StoreChosenColour(unsigned message, platform::COLORREF colour, ColourField field);

// A page's picture button once it stands in its control's place: the 16 x 16
// bitmap (white transparent) on a soft-bump shade, raised.
void ShadePictureButton(CShadeButtonVq& button, const char* picture);
