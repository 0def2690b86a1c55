// The settings command: the settings dialog runs modally on the live settings.
// Its pages write each change into the settings at once and tell the clock
// window, so the clock shows it while the dialog is open (the clock's timers
// keep running in the dialog's event loop). OK saves the INI file; any other
// end (Cancel, the close box, the program ending meanwhile) puts back the
// settings of before and shows them again.
//
// The dialog is owned by the clock window and modal to it only: the clock
// takes no input while it is open (it keeps painting), but the alarm popups,
// the tickers and the tray icon's menu (its exit command among them) still work.
#include "about/about_dlg.h"
#include "app/lmd_app.h"
#include "app/lumidial.h"
#include "platform/owned_windows.h"
#include "settings/page_settings.h"
#include "settings/prop_page5.h"
#include "settings/settings_dialog.h"
#include "settings/settings_pages.h"

#include <QPointer>

namespace {

// The open settings dialog, if any: a second settings command raises it.
QPointer<CSettingsDialog>& OpenDialog()
{
    static QPointer<CSettingsDialog> dialog;
    return dialog;
}

// The page the dialog opens on: the page that was current when it last closed,
// for the rest of the run (never stored).
int& SettingsPageIndex()
{
    static int index = 0;
    return index;
}

} // namespace

void CLumidial::OpenSettings()
{
    // The version page's about button runs the about dialog, modal to the
    // settings dialog only (the tray menu's exit command still reaches the clock).
    SetAboutDialogRunner([](QWidget& owner) {
        CAboutDlg about;
        about.DoModal(&owner);
    });
    if (CSettingsDialog* open = OpenDialog()) {
        open->raise();
        open->activateWindow();
        return;
    }
    // The pages edit the live settings; the version page shows the version, the
    // alarm page colours its messages' text by the dark threshold.
    const ScopedPageSettings pageSettings(Settings(), theApp.m_strVersion, theApp.m_nDarkThreshold);
    CSettingsDialog dialog(this);
    OpenDialog() = &dialog;
    AddSettingsPages(dialog);
    dialog.SetTitle(QStringLiteral("LMD Settings"));
    dialog.SetLogoText(QStringLiteral("LMD"));
    dialog.SetTreeImageList(LoadImageList("TREE_ITEM_IMAGE", 16, 0x000000));

    const AppSettings saved = Settings();
    const CImagePathList savedImages = m_compositor.ImageList();

    dialog.SetInitialPage(SettingsPageIndex());
    const int result = platform::RunModal(dialog, this);
    SettingsPageIndex() = dialog.InitialPage();

    if (result == QDialog::Accepted)
        theApp.SaveSettings(); // the pages have applied everything already
    else
        RevertSettings(saved, savedImages);
}

void CLumidial::RevertSettings(const AppSettings& saved, const CImagePathList& savedImages)
{
    using namespace platform;
    const bool zoomChanged = saved.Zoom != Settings().Zoom;
    // The settings first, so that everything rebuilt or posted below (and read
    // when the posts arrive) sees the settings of before.
    Settings() = saved;

    if (saved.FrameType == kExternalFrameSlot)
        CreateExtFrame(saved.ExtFramePath, saved.Gradation);
    PostAppMessage(WM_SET_FRAME_TYPE, static_cast<WPARAM>(saved.FrameType));

    SetTopMost(saved.TopMost);
    SetAlpha(saved.Alpha);

    if (zoomChanged)
        PostAppMessage(WM_SET_ZOOM, static_cast<WPARAM>(saved.Zoom));
    PostAppMessage(WM_SET_FILTER, saved.FilterColor, saved.FilterAlpha);
    PostAppMessage(WM_SET_HANDS_COLOR, static_cast<WPARAM>(saved.HandsColorKind));

    m_compositor.SetImageList(savedImages);

    PostAppMessage(WM_SET_IMAGE_SOURCE, 0, saved.PlayInterval);
    PostAppMessage(WM_DOT_COLORS_CHANGED);
    PostAppMessage(WM_SET_CLOCK_FACE, static_cast<WPARAM>(saved.ClockFace));
}

void CLumidial::SetAlpha(int alpha)
{
    setWindowOpacity((alpha & 0xFF) / 255.0);
}

void CLumidial::SetTopMost(bool topMost)
{
    if (windowFlags().testFlag(Qt::WindowStaysOnTopHint) == topMost)
        return;
    setWindowFlag(Qt::WindowStaysOnTopHint, topMost);
    show(); // a new window flag hides the window
}
