#pragma once
// CPlaceholderPage: an empty page that holds the place of a settings page still
// to be written, so the tree lists every page in its order. Each such page is
// replaced by its own class in AddSettingsPages.
#include "settings/property_page.h"

class CPlaceholderPage : public CPropertyPage
{
public:
    explicit CPlaceholderPage(QWidget* parent = nullptr) : CPropertyPage(Template(), parent) {}

    static const platform::DialogTemplate& Template()
    {
        static const platform::DialogTemplate page{QString(), {260, 150}, {}};
        return page;
    }
};
