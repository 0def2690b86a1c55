#include "settings/page_settings.h"

#include "controls/color_button.h"
#include "controls/colour_popup.h"
#include "controls/shade_button_vq.h"
#include "platform/resources.h"

#include <utility>

namespace {

PageSettings& Current()
{
    static AppSettings own;
    static PageSettings current{&own, QString()};
    return current;
}

} // namespace

const PageSettings& CurrentPageSettings()
{
    return Current();
}

ScopedPageSettings::ScopedPageSettings(AppSettings& live, const QString& version, int darkThreshold)
    : m_previous(std::exchange(Current(), PageSettings{&live, version, darkThreshold}))
{
}

ScopedPageSettings::~ScopedPageSettings()
{
    Current() = std::move(m_previous);
}

void InitColourButton(CColorButton& button, ColourField field)
{
    button.SetColor(LiveSettings().*field);
    button.SetDefaultColor(DefaultSettings().*field);
    button.SetDefaultText(QStringLiteral("自動"));
    button.SetCustomText(QStringLiteral("その他..."));
}

bool StoreChosenColour(unsigned message, platform::COLORREF colour, ColourField field)
{
    if (message != WM_COLOR_SELECTED)
        return false;
    LiveSettings().*field = ColourOrDefault(colour, DefaultSettings().*field);
    return true;
}

void ShadePictureButton(CShadeButtonVq& button, const char* picture)
{
    button.SetButtonBitmap(platform::LoadBitmap(picture));
    button.SetShade(CShadeButtonVq::SHS_SOFTBUMP, 8, 10, 0, 0);
    button.SetFlat(false);
}
