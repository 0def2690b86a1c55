// The clock window's main-window messages (the WM_APP range): what other parts of
// the program, the tray icon and the window itself ask of it.
#include "app/image_folder.h"
#include "app/lmd_app.h"
#include "app/lumidial.h"
#include "demos/gax_dlg.h"
#include "platform/desktop.h"
#include "platform/owned_windows.h"
#include "platform/x11_window.h"

#include <QApplication>
#include <algorithm>
#include <climits>

namespace {

// A message parameter as an int: values beyond the int range saturate.
int ToInt(std::intptr_t value)
{
    return static_cast<int>(std::clamp<std::intptr_t>(value, INT_MIN, INT_MAX));
}

int ToInt(platform::WPARAM value)
{
    return ToInt(static_cast<std::intptr_t>(value));
}

// The wait cursor for the life of the object.
class WaitCursor
{
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace

bool CLumidial::event(QEvent* event)
{
    if (event->type() == platform::AppMessageEvent::EventType()) {
        auto& message = static_cast<platform::AppMessageEvent&>(*event);
        message.result = OnAppMessage(message);
        return true;
    }
    return QWidget::event(event);
}

platform::LRESULT CLumidial::OnAppMessage(platform::AppMessageEvent& message)
{
    const platform::WPARAM wParam = message.wParam;
    const platform::LPARAM lParam = message.lParam;
    switch (message.message) {
    case platform::WM_RECAPTURE_BACKGROUND:
        RecaptureBackground();
        break;
    case platform::WM_TRAY_NOTIFY:
        OnTrayNotify(wParam, lParam);
        break;
    case platform::WM_SET_ZOOM:
        OnSetZoom(ToInt(wParam));
        break;
    case platform::WM_SET_FRAME_TYPE:
        OnSetFrameType(ToInt(wParam));
        break;
    case platform::WM_DOT_COLORS_CHANGED:
        OnDotColorsChanged();
        break;
    case platform::WM_SET_HANDS_COLOR:
        OnSetHandsColor(ToInt(wParam));
        break;
    case platform::WM_SET_CLOCK_FACE:
        OnSetClockFace(ToInt(wParam));
        break;
    case platform::WM_SET_FILTER:
        OnSetFilter(static_cast<platform::COLORREF>(wParam), ToInt(lParam));
        break;
    case platform::WM_SET_IMAGE_SOURCE:
        // A folder travels as the message's text; without one, lParam is the interval.
        if (message.text)
            OnSetImageFolder(QString::fromStdString(*message.text));
        else
            OnSetPlayInterval(lParam);
        break;
    case platform::WM_SHOW_ERROR:
        OnShowError(message.text);
        break;
    case platform::WM_ALARM_CLOSED:
        OnAlarmClosed(ToInt(wParam));
        break;
    case platform::WM_ALARM_SNOOZE:
        OnAlarmSnooze(ToInt(wParam), ToInt(lParam));
        break;
    case platform::WM_DEMO_CLOSED:
        OnDemoClosed();
        break;
    case platform::WM_OPEN_DEMO:
        OnOpenDemo();
        break;
    case platform::WM_SET_TOPMOST:
        SetTopMost(wParam != 0);
        break;
    case platform::WM_SET_ALPHA:
        SetAlpha(ToInt(wParam));
        break;
    case platform::WM_CREATE_EXT_FRAME:
        OnCreateExtFrame(message.text, wParam != 0);
        break;
    default:
        break;
    }
    return 0;
}

void CLumidial::OnSetZoom(int zoom)
{
    m_timers.KillTimer(TIMER_ZOOM_SETTLE);
    m_timers.KillTimer(TIMER_REPAINT);
    m_timers.KillTimer(TIMER_OVERLAP);

    // Whatever asks (wheel, keys, menus, settings), the size stays sensible.
    Settings().Zoom = ClampZoom(zoom);
    // Until the layers fit the new size, the window shows the last frame scaled.
    ApplyZoom(Settings().Zoom);
    setGeometry(x(), y(), ClockWidth(), ClockHeight());
    UpdateRegions();

    // The layers keep their size until the zoom has settled; a burst of changes
    // rebuilds them once.
    m_timers.SetTimer(TIMER_ZOOM_SETTLE, kZoomSettleMs);
    UpdateToolTip();
}

void CLumidial::OnSetFrameType(int type)
{
    if (type < 0 || type >= kFrameSlotCount)
        return; // no such slot
    Settings().FrameType = type;
    m_compositor.SelectFrame(type);
    RequestFrame();
}

void CLumidial::OnSetClockFace(int type)
{
    m_compositor.SetClockFace(type);
    OnSetHandsColor(Settings().HandsColorKind);
}

void CLumidial::OnSetHandsColor(int kind)
{
    m_compositor.SetHandsColor(kind);
}

void CLumidial::OnDotColorsChanged()
{
    m_compositor.SetDotColors();
}

void CLumidial::OnSetFilter(platform::COLORREF colour, int strength)
{
    m_compositor.SetFilter(colour, strength);
}

void CLumidial::OnSetPlayInterval(platform::LPARAM seconds)
{
    m_compositor.SetPlayInterval(ToInt(seconds));
}

void CLumidial::OnSetImageFolder(const QString& folder)
{
    std::vector<QString> paths;
    {
        const WaitCursor wait;
        ScanImageFolder(folder, paths, Settings().SearchSub);
    }
    m_compositor.SetImagePaths(std::move(paths));
}

void CLumidial::OnShowError(std::unique_ptr<std::string>& text)
{
    if (!text)
        return;
    platform::MessageBox(this, QString::fromStdString(*text), theApp.m_strTitle,
                         platform::MB_OK | platform::MB_ICONERROR);
    text.reset();
}

void CLumidial::OnCreateExtFrame(const std::unique_ptr<std::string>& path, bool gradation)
{
    CreateExtFrame(path ? QString::fromStdString(*path) : QString(), gradation);
}

void CLumidial::OnTrayNotify(platform::WPARAM id, platform::LPARAM mouseMessage)
{
    if (id != 1)
        return;
    if (mouseMessage == TRAY_LBUTTONDOWN || mouseMessage == TRAY_RBUTTONDOWN)
        ShowTrayMenu();
    else if (mouseMessage == TRAY_LBUTTONDBLCLK)
        platform::PostAppMessage(platform::WM_RECAPTURE_BACKGROUND);
}

void CLumidial::OnDemoClosed()
{
    // Only a dialog that has closed goes: one opened since is left alone.
    const auto* const dialog = static_cast<CGaxDlg*>(m_pDemoDlg.get());
    if (dialog && dialog->IsClosed())
        m_pDemoDlg.reset();
}

void CLumidial::OnOpenDemo()
{
    const auto* const dialog = static_cast<CGaxDlg*>(m_pDemoDlg.get());
    if (!dialog || dialog->IsClosed()) {
        auto created = std::make_unique<CGaxDlg>();
        platform::SetOwner(*created, *this);
        created->Create();
        m_pDemoDlg = std::move(created);
    }
    // A dialog hidden by Escape comes back.
    m_pDemoDlg->show();
    m_pDemoDlg->raise();
    m_pDemoDlg->activateWindow();
}
