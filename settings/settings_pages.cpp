#include "settings/settings_pages.h"

#include "settings/prop_page1.h"
#include "settings/prop_page2.h"
#include "settings/prop_page3.h"
#include "settings/prop_page4.h"
#include "settings/prop_page5.h"
#include "settings/prop_page7.h"
#include "settings/prop_page8.h"
#include "settings/settings_dialog.h"

void AddSettingsPages(CSettingsDialog& dialog)
{
    dialog.AddPage<CPropPage1>(CPropPage1::IDD, QStringLiteral("文字盤1"));
    dialog.AddPage<CPropPage8>(CPropPage8::IDD, QStringLiteral("文字盤2"));
    dialog.AddPage<CPropPage2>(CPropPage2::IDD, QStringLiteral("フレーム"));
    dialog.AddPage<CPropPage7>(CPropPage7::IDD, QStringLiteral("エフェクト"));
    dialog.AddPage<CPropPage3>(CPropPage3::IDD, QStringLiteral("全般"));
    dialog.AddPage<CPropPage4>(CPropPage4::IDD, QStringLiteral("アラーム"));
    dialog.AddPage<CPropPage5>(CPropPage5::IDD, QStringLiteral("バージョン"));
}
