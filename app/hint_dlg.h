#pragma once
// CHintDlg: the hint shown when stealth mode is switched on, telling how to
// switch it off again (from the tray icon's menu, or with Control held over the
// clock). Its check box asks not to show the hint again in this run.
#include "platform/dialog.h"

#include <QDialog>

class CHintDlg : public QDialog
{
public:
    static constexpr int IDD = 214;
    static constexpr int IDC_STATIC_ICON = 1122;
    static constexpr int IDC_CHECK_HIDE = 1123;

    explicit CHintDlg(QWidget* parent = nullptr);

    // The dialog as data (template 214).
    static const platform::DialogTemplate& Template();

    // Whether the hint is not to be shown again; kept for the run only.
    static bool Suppressed();
    static void SetSuppressed(bool suppressed);

    const platform::DialogControls& Controls() const { return m_controls; }

    bool m_bCheck = false; // "次回から表示しない"

private:
    void DoDataExchange(platform::DataExchange& dx);
    bool UpdateData(bool saveAndValidate);
    void OnInitDialog();
    void SetPictures();
    void WidenTexts();

    platform::DialogControls m_controls;
};
