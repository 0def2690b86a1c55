#include "settings/page_settings.h"

#include "controls/color_button.h"
#include "controls/colour_popup.h"

void InitColourButton(CColorButton& button, platform::COLORREF colour, platform::COLORREF fieldDefault)
{
    button.SetColor(colour);
    button.SetDefaultColor(fieldDefault);
    button.SetDefaultText(QStringLiteral("自動"));
    button.SetCustomText(QStringLiteral("その他..."));
}
