#pragma once
// What the settings pages work on: the live settings record, which they edit
// in place, and two values of the application that they show. The program
// that runs the settings dialog hands them in for as long as the dialog runs
// (ScopedPageSettings). The pages change the clock only through the main
// window's messages (platform/messages.h), sent where the change must show at
// once, posted otherwise.
//
// Also here: the fresh record whose values stand for a field's default (what
// "自動" in a colour popup means for that field), and the helpers the pages
// share.
#include "store/app_settings.h"

#include <QString>

class CColorButton;
class CShadeButtonVq;

struct PageSettings
{
    AppSettings* live; // the record the pages edit; never null
    QString version;   // the product version the version page shows ("3.50")
    // An alarm message is written in white on a background whose largest
    // colour component is below this, in black otherwise.
    int darkThreshold = 150;
};

// What the pages use now. Until a program hands in its own, the pages edit a
// record of their own, with no version text.
const PageSettings& CurrentPageSettings();

inline AppSettings& LiveSettings()
{
    return *CurrentPageSettings().live;
}

// Hands the pages their settings for the life of the object; the ones before
// come back afterwards.
class ScopedPageSettings
{
public:
    ScopedPageSettings(AppSettings& live, const QString& version, int darkThreshold);
    ~ScopedPageSettings();
    ScopedPageSettings(const ScopedPageSettings&) = delete;
    ScopedPageSettings& operator=(const ScopedPageSettings&) = delete;

private:
    PageSettings m_previous;
};

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
