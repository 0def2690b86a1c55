// The clock under the mouse and the keyboard: the drag, with the desktop
// snapshot scrolled along instead of captured anew; the short click that looks
// at the desktop again; the pointer handed to the effect layers; the wheel and
// keys that zoom; and the watch over the windows under the clock, which renews
// the snapshot when they change.
#include "app/lmd_app.h"
#include "app/lumidial.h"
#include "platform/desktop.h"
#include "platform/resources.h"
#include "platform/screen_capture.h"
#include "platform/x11_window.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QWheelEvent>
#include <algorithm>
#include <cstdlib>

namespace {

constexpr unsigned long kShortClickMs = 200; // a shorter press re-captures the desktop
constexpr int kWheelStep = 10;
constexpr int kEndKeyZoom = 130;
constexpr int kHomeKeyZoom = 110;
constexpr int kFullZoom = 600;
constexpr int kTestWindowSide = 200;

// F11 switches between the full zoom and the zoom before it, for the whole run.
struct FullZoomToggle
{
    bool on = false;
    int previous = 0;
};

FullZoomToggle& FullZoom()
{
    static FullZoomToggle toggle;
    return toggle;
}

void PostRecapture()
{
    platform::PostAppMessage(platform::WM_RECAPTURE_BACKGROUND);
}

} // namespace

// --- mouse ---------------------------------------------------------------------------

void CLumidial::mousePressEvent(QMouseEvent* event)
{
    switch (event->button()) {
    case Qt::LeftButton:
        OnLButtonDown(*event);
        break;
    case Qt::RightButton:
        ShowPopupMenu(event->position().toPoint());
        break;
    case Qt::MiddleButton:
        OnOpenDemo();
        break;
    default:
        break;
    }
}

void CLumidial::mouseDoubleClickEvent(QMouseEvent*)
{
    // The second press of a double click starts nothing; its release still ends
    // the click that the first press began.
}

void CLumidial::mouseMoveEvent(QMouseEvent* event)
{
    if (m_bDragging) {
        OnDragMove(event->globalPosition().toPoint());
        return;
    }
    // Control held keeps the stealth hole where it is, so the clock can be reached.
    if (platform::IsKeyDown(platform::Key::Control))
        return;
    if (Settings().Stealth) {
        UpdateStealthHole();
        RequestLeaveTracking();
        return;
    }
    m_compositor.MouseMove(event->position().toPoint());
}

void CLumidial::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        OnLButtonUp(*event);
}

void CLumidial::OnLButtonDown(const QMouseEvent& event)
{
    m_bDragging = true;
    m_timers.KillTimer(TIMER_REPAINT);
    m_timers.KillTimer(TIMER_OVERLAP);
    m_nPressTime = event.timestamp();
    setCursor(platform::LoadCursor("PAN_GRAB_CUR", Qt::ClosedHandCursor));
    // The pointer stays with the window until the release (the press grabs it).
    m_ptGrab = event.position().toPoint();
    m_ptLastCursor = event.globalPosition().toPoint();
}

void CLumidial::OnDragMove(QPoint cursor)
{
    const QPoint topLeft = cursor - m_ptGrab;
    m_compositor.ScrollSnapshot(topLeft, cursor - m_ptLastCursor, platform::CaptureScreen);
    m_ptLastCursor = cursor;

    // The layers over the scrolled snapshot, without date, readout or dial; a
    // pending zoom leaves the last frame as it is.
    m_compositor.ComposeDragFrame();
    repaint();
    move(topLeft);
}

void CLumidial::OnLButtonUp(const QMouseEvent& event)
{
    // Timed by the events themselves: how long the button was held, whatever
    // kept the program busy meanwhile.
    if (event.timestamp() - m_nPressTime < kShortClickMs)
        PostRecapture();
    m_bDragging = false;
    StartFrameTimers();
    m_prevWindows.clear(); // the next overlap check only records
    setCursor(platform::LoadCursor("PAN_OPEN_CUR", Qt::OpenHandCursor));
    m_compositor.SnapshotChanged();
}

void CLumidial::wheelEvent(QWheelEvent* event)
{
    const int delta = event->angleDelta().y();
    if (delta == 0) { // a sideways wheel
        event->ignore();
        return;
    }
    OnSetZoom(delta > 0 ? m_nZoom + kWheelStep : std::max(m_nZoom - kWheelStep, kMinZoom));
}

// --- keys ----------------------------------------------------------------------------

void CLumidial::keyPressEvent(QKeyEvent* event)
{
    OnKeyDown(event->key());
}

void CLumidial::OnKeyDown(int key)
{
    switch (key) {
    case Qt::Key_Pause:
    case Qt::Key_Up:
        ShowTestWindow();
        break;
    case Qt::Key_PageUp:
        CheckOverlapManually();
        break;
    case Qt::Key_PageDown:
    case Qt::Key_Down:
        ListWindowsBelow();
        break;
    case Qt::Key_End:
        OnSetZoom(kEndKeyZoom);
        break;
    case Qt::Key_Home:
        OnSetZoom(kHomeKeyZoom);
        break;
    case Qt::Key_X:
        OnOpenDemo();
        break;
    case Qt::Key_F11: {
        FullZoomToggle& toggle = FullZoom();
        if (!toggle.on) {
            toggle.previous = m_nZoom;
            OnSetZoom(kFullZoom);
        } else {
            OnSetZoom(toggle.previous);
        }
        toggle.on = !toggle.on;
        break;
    }
    default:
        break;
    }
}

// --- the windows under the clock -----------------------------------------------------

void CLumidial::CheckOverlap()
{
    std::vector<WindowInfo> current =
        OverlappingWindows(platform::EnumTopLevelWindows(), geometry(), theApp.m_strClassName, true);
    if (!m_prevWindows.empty() && RecapturesFor(m_prevWindows, current, true) > 0)
        PostRecapture();
    m_prevWindows = std::move(current);
}

void CLumidial::CheckOverlapManually()
{
    std::vector<WindowInfo> current =
        OverlappingWindows(platform::EnumTopLevelWindows(), geometry(), theApp.m_strClassName, false);
    for (int n = RecapturesFor(m_prevWindows, current, false); n > 0; --n)
        PostRecapture();
    m_prevWindows = std::move(current);
}

void CLumidial::ListWindowsBelow()
{
    m_windowsBelow =
        WindowsBelow(platform::EnumTopLevelWindows(), platform::CurrentXWindow(*this), geometry());
}

void CLumidial::ShowTestWindow()
{
    if (!m_pTestWnd) {
        m_pTestWnd = std::make_unique<QLabel>(this, Qt::Window | Qt::WindowTitleHint |
                                                        Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
        m_pTestWnd->setWindowTitle(QStringLiteral("Test Window"));
        m_pTestWnd->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        m_pTestWnd->setGeometry(50, 50, kTestWindowSide, kTestWindowSide);
    }
    m_pTestWnd->show();
    QScreen* const screen = QGuiApplication::primaryScreen();
    if (!m_windowsBelow.empty() && screen)
        m_pTestWnd->setPixmap(
            screen->grabWindow(m_windowsBelow.front().id, 0, 0, kTestWindowSide, kTestWindowSide));
}

QWidget* CLumidial::TestWindow() const
{
    return m_pTestWnd.get();
}
