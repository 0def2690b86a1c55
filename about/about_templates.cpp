#include "about/about_templates.h"

namespace about {

using platform::ControlKind;

namespace {

const platform::DialogTemplate& AboutTemplate()
{
    static const platform::DialogTemplate t{
        QStringLiteral("About"),
        {230, 200},
        {
            {IDOK, ControlKind::DefPushButton, {173, 179, 50, 14}, platform::WS_TABSTOP, QStringLiteral("OK")},
            {IDC_TAB, ControlKind::Custom, {7, 7, 216, 160}, platform::WS_TABSTOP, {}},
        },
        QStringLiteral("MS UI Gothic"),
        9};
    return t;
}

const platform::DialogTemplate& PageOneTemplate()
{
    static const platform::DialogTemplate t{
        {},
        {208, 166},
        {{IDC_PAGE_STATIC, ControlKind::Static, {7, 7, 194, 147}, platform::SS_SUNKEN, QStringLiteral("tab_ctrl")}},
        QStringLiteral("ＭＳ Ｐゴシック"),
        9};
    return t;
}

const platform::DialogTemplate& PageTwoTemplate()
{
    static const platform::DialogTemplate t{
        {},
        {165, 173},
        {
            {IDC_LED_NAME, ControlKind::Static, {10, 10, 111, 15}, platform::SS_SUNKEN, QStringLiteral("tab_ctrl1")},
            {IDC_LED_BLOCK, ControlKind::Static, {10, 53, 120, 103}, platform::SS_SUNKEN,
             QStringLiteral("tab_ctrl2")},
        },
        QStringLiteral("ＭＳ Ｐゴシック"),
        9};
    return t;
}

} // namespace

const platform::DialogTemplate* FindDialogTemplate(int id)
{
    switch (id) {
    case IDD_ABOUT:
        return &AboutTemplate();
    case IDD_PAGE_ONE:
        return &PageOneTemplate();
    case IDD_PAGE_TWO:
        return &PageTwoTemplate();
    default:
        return nullptr;
    }
}

} // namespace about
