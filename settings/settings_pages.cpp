#include "settings/settings_pages.h"

#include "settings/placeholder_page.h"
#include "settings/prop_page1.h"
#include "settings/prop_page8.h"
#include "settings/settings_dialog.h"

void AddSettingsPages(CSettingsDialog& dialog)
{
    dialog.AddPage<CPropPage1>(CPropPage1::IDD, QStringLiteral("文字盤1"));
    dialog.AddPage<CPropPage8>(CPropPage8::IDD, QStringLiteral("文字盤2"));
    dialog.AddPage<CPlaceholderPage>(203, QStringLiteral("フレーム"));
    dialog.AddPage<CPlaceholderPage>(208, QStringLiteral("エフェクト"));
    dialog.AddPage<CPlaceholderPage>(204, QStringLiteral("全般"));
    dialog.AddPage<CPlaceholderPage>(205, QStringLiteral("アラーム"));
    dialog.AddPage<CPlaceholderPage>(206, QStringLiteral("バージョン"));
}
