#pragma once
// What the settings pages edit: the live settings of the application, and the
// fresh record whose values stand for a field's default (what "自動" in a colour
// popup means for that field).
#include "app/app_settings.h"
#include "app/lmd_app.h"

class CColorButton;

inline AppSettings& LiveSettings()
{
    return theApp.AppSettings;
}

inline const AppSettings& DefaultSettings()
{
    static const AppSettings defaults;
    return defaults;
}

// A page's colour button for a colour setting: its colour, the popup's texts
// "自動" and "その他...", and the field's default as the colour "自動" shows.
void InitColourButton(CColorButton& button, platform::COLORREF colour, platform::COLORREF fieldDefault);
