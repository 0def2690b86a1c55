#pragma once
// CLumidial: the clock window, a frameless round tool window on the desktop. It
// owns the clock's picture (a ClockCompositor), the tray icon, the alarm popups
// and the DEMO dialog. The rest of the program talks to it through the
// main-window messages (platform/messages.h), its timers and its command ids.
//
// Every 50 ms (timer 1) the window has the compositor compose a frame from the
// snapshot of the desktop behind it and repaints the part that changed; a frame
// asked for otherwise (RequestFrame) is composed by the next paint. Any other
// paint draws the last frame again.
//
// Where each part lives:
//   lumidial.cpp           creation, geometry, tray icon, tooltip, timers, commands, close
//   lumidial_messages.cpp  the main-window messages (zoom, frame, colours, filter, images, ...)
//   lumidial_input.cpp     drag, short click, wheel, keys, the windows under the clock
//   lumidial_menus.cpp     popup and tray menus, stealth hole, feed-list editing
//   lumidial_alarms.cpp    alarm popup slots and snooze timers
//   lumidial_settings.cpp  the settings dialog, its revert, top-most and alpha
//   clock_compositor.*     the picture: surfaces, layers, frames, hands, readout, composition
//   clock_drawing.*        the dial's arithmetic: rotation, colours, spaces, external frame
//   platform/x11_window.*  the window's X11 class name, its real place for Qt
#include "app/alarms.h"
#include "app/clock_compositor.h"
#include "app/window_list.h"
#include "platform/messages.h"
#include "platform/surface.h"
#include "platform/timers.h"
#include "platform/window_painter.h"
#include "rss/rss_tickers.h"
#include "store/app_settings.h"

#include <QLabel>
#include <QRegion>
#include <QString>
#include <QWidget>
#include <array>
#include <memory>
#include <optional>
#include <span>
#include <vector>

class QMenu;
class QSystemTrayIcon;

// Timer ids of the clock window.
enum ClockTimer : int
{
    TIMER_REPAINT = 1,     // 50 ms: paint one frame
    TIMER_ALARM = 2,       // 3000 ms: alarm check
    TIMER_OVERLAP = 3,     // 1000 ms: watch the windows under the clock (TopMost only)
    TIMER_ZOOM_SETTLE = 4, // 500 ms once: rebuild the layers after a zoom change
    TIMER_LEAVE_REARM = 7, // 20 ms once: stealth hole follow-up
    TIMER_TRAY_CLICK = 8,  // the double-click time, once: a tray click no second click followed
    TIMER_SNOOZE = 10,     // 10 + alarm index: reopen that alarm's popup
};

// Timer intervals in milliseconds.
inline constexpr int kRepaintMs = 50;
inline constexpr int kAlarmMs = 3000;
inline constexpr int kOverlapMs = 1000;
inline constexpr int kZoomSettleMs = 500;

// Command ids of the popup and tray menus.
enum ClockCommand : int
{
    ID_EFFECT_BACK = 0,    // 0..29: back layer effect
    ID_EFFECT_MIDDLE = 40, // 40..69: middle layer effect id - 40
    ID_EFFECT_FRONT = 80,  // 80..109: front layer effect id - 80
    ID_QUIT = 40000,
    ID_SETTINGS = 40002,
    ID_LOCK = 40005,
    ID_STEALTH = 40006,
    ID_RSS = 40007,
    ID_RSS_EDIT = 40008,
    ID_ZOOM = 40100, // 40100..40112: zoom 80 % to 200 % in steps of 10
    ID_ZOOM_LAST = 40112,
};

// Mouse messages that WM_TRAY_NOTIFY carries in lParam (what the tray icon saw).
enum TrayMouseMessage : int
{
    TRAY_LBUTTONDOWN = 0x0201,
    TRAY_LBUTTONDBLCLK = 0x0203,
    TRAY_RBUTTONDOWN = 0x0204,
    TRAY_MBUTTONDOWN = 0x0207,
};

inline constexpr int kMinZoom = 20;
inline constexpr int kMaxZoom = 600;

// Zoom in percent derived from the screen width (for a stored Zoom of 0): 100
// below 1920 pixels, else the width's share of 1920 times 120, in whole tens
// (1920 gives 120, 2560 gives 160, 3840 gives 240); never beyond kMaxZoom.
int ZoomForScreenWidth(int screenWidth);

// The zoom actually used for a requested one: kept within kMinZoom..kMaxZoom.
int ClampZoom(int zoom);

// Where the clock stands for a stored top-left corner, given the screens'
// rectangles: each coordinate kept within ±kMaxPosition (so no rectangle of the
// clock can overflow), and a clock that would lie wholly off every screen moved
// onto the nearest one, as close to its stored place as that screen allows. A
// clock partly on a screen stays where it is.
inline constexpr int kMaxPosition = 1 << 20; // far beyond any desktop
QPoint PlaceOnScreens(QPoint start, QSize size, std::span<const QRect> screens);

// Name of an effect code as the menus and the tooltip show it: the menu text for
// codes 0 to 29, "検証用" for any other code.
QString GetEffectName(int code);

class CAlarmDlg;

class CLumidial : public QWidget, private AlarmWindow
{
public:
    // screenSize stands in for the real screen's size (tests); by default the
    // primary screen's size is read at creation.
    explicit CLumidial(std::optional<QSize> screenSize = std::nullopt);
    ~CLumidial() override;

    // Sizes and places the window, builds its surfaces and layers, adds the tray
    // icon and starts the timers. The window is shown by the caller.
    bool Create();

    // A menu command (ids above); unknown ids do nothing.
    void OnCommand(int id);

    // The desktop session ends: the position is stored and the settings saved.
    void OnEndSession();

    // --- State, for the parts that plug in here and for tests ---
    int Zoom() const { return m_nZoom; }
    int ClockWidth() const { return m_compositor.Width(); }
    int ClockHeight() const { return m_compositor.Height(); }
    const QRegion& EllipseRegion() const { return m_rgnEllipse; }
    const ClockCompositor& Compositor() const { return m_compositor; }
    const platform::Surface& Snapshot() const { return m_compositor.Snapshot(); }
    const platform::Surface& FinalSurface() const { return m_compositor.FinalSurface(); }
    CEffectLayer* BackLayer() const { return m_compositor.EffectLayer(ClockCompositor::kBack); }
    CEffectLayer* MiddleLayer() const { return m_compositor.EffectLayer(ClockCompositor::kMiddle); }
    CEffectLayer* FrontLayer() const { return m_compositor.EffectLayer(ClockCompositor::kFront); }
    const CImagePathList& ImageList() const { return m_compositor.ImageList(); }
    QSystemTrayIcon* TrayIcon() const { return m_trayIcon.get(); }
    bool IsTimerRunning(int id) const { return m_timers.IsRunning(id); }

    // The window kept above others (true) or not, at once.
    void SetTopMost(bool topMost);
    // The window's constant alpha from the low 8 bits of alpha (256 is fully
    // transparent, 255 opaque), at once.
    void SetAlpha(int alpha);

    // --- Clock drawing and frames ---
    // Rebuilds the external frame (slot 17) from an image file (relative names
    // are read from the executable's folder), relit by the built-in ring's
    // shading when gradation is set. Does not select it.
    void CreateExtFrame(const QString& imagePath, bool gradation)
    {
        m_compositor.CreateExtFrame(imagePath, gradation);
    }
    // The clock's time for hands, day number, readout and dial shader (tests
    // fix it); an empty source restores the local time.
    void SetTimeSource(CShaderClock::TimeSource source);
    // A frame slot's 130 by 130 picture (null for an empty slot).
    const QImage& FrameBitmap(int slot) const { return m_compositor.FrameBitmap(slot); }
    const HandColors& CurrentHandColors() const { return m_compositor.CurrentHandColors(); }
    const CDotMatrixText& TimeDrawer() const { return m_compositor.TimeDrawer(); }
    const CDotMatrixText& SecondsDrawer() const { return m_compositor.SecondsDrawer(); }

    // --- Input, menus and stealth ---
    // The region handed to the window (the ellipse, less the stealth hole).
    const QRegion& WindowRegion() const { return m_rgnWindow; }
    const QRegion& HoleRegion() const { return m_rgnHole; }
    bool IsDragging() const { return m_bDragging; }
    // Counts the builds of the six layers (creation is the first).
    int LayerGeneration() const { return m_compositor.LayerGeneration(); }
    // The windows the diagnostic list (Page Down) found below the clock.
    const std::vector<platform::TopLevelWindow>& WindowsBelowList() const { return m_windowsBelow; }
    QWidget* TestWindow() const;

protected:
    bool event(QEvent* event) override;
    // Input (lumidial_input.cpp, lumidial_menus.cpp).
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    QPaintEngine* paintEngine() const override;
    void closeEvent(QCloseEvent* event) override;

private:
    // The live settings (theApp's).
    static AppSettings& Settings();

    // Creation steps.
    void ApplyZoom(int zoom);
    // The round window region (the ellipse, no stealth hole yet).
    void UpdateRegions();
    void AddTrayIcon();
    void OnTrayActivated(int reason);
    void UpdateToolTip();

    // The clock's time: the time source's, else the local time.
    LocalDateTime Now() const;

    // Timers 1 and 3 run again, unless a zoom change still waits for its rebuild.
    void StartFrameTimers();
    void OnTimer(int id);
    // A new frame: the next paint composes it (the timer's, and after a change
    // the picture shows: effect, frame, ...).
    void RequestFrame();
    // The repaint timer's frame: composed at once, and only the part of the
    // window it changed is painted again.
    void ComposeFrame();

    // The desktop behind the window into the snapshot (the window hides meanwhile).
    void CaptureBackground();
    // The same, handed on to the back layer.
    void RecaptureBackground();
    // New layers at the current size, after a zoom change has settled.
    void RebuildLayers();
    void StorePosition();

    // Main-window messages (lumidial_messages.cpp). Each returns 0.
    platform::LRESULT OnAppMessage(platform::AppMessageEvent& message);
    void OnSetZoom(int zoom);
    void OnSetFrameType(int type);
    void OnDotColorsChanged();
    void OnSetHandsColor(int kind);
    void OnSetClockFace(int type);
    void OnSetFilter(platform::COLORREF colour, int strength);
    void OnSetPlayInterval(platform::LPARAM seconds);
    void OnSetImageFolder(const QString& folder);
    void OnShowError(std::unique_ptr<std::string>& text);
    void OnCreateExtFrame(const std::unique_ptr<std::string>& path, bool gradation);
    void OnTrayNotify(platform::WPARAM id, platform::LPARAM mouseMessage);
    void OnAlarmClosed(int index);
    void OnAlarmSnooze(int index, int delayMs);

    // Alarms (lumidial_alarms.cpp): the popup of a ringing alarm, and the slots
    // and snooze timers the alarm logic works on.
    std::unique_ptr<CAlarmDlg> ShowAlarmPopup(int index, const AlarmSetting& alarm);
    bool HasAlarmPopup(int index) const override;
    void OpenAlarmPopup(int index) override;
    void CloseAlarmPopup(int index) override;
    void StartSnoozeTimer(int index, int delayMs) override;
    void StopSnoozeTimer(int index) override;

    void OnDemoClosed();
    void OnOpenDemo();

    // The settings dialog, run modally on the live settings; OK saves them,
    // any other end puts back the copy taken before (lumidial_settings.cpp).
    void OpenSettings();
    void RevertSettings(const AppSettings& saved, const CImagePathList& savedImages);

    // Drag, short click, zoom keys and the windows under the clock (lumidial_input.cpp).
    void OnLButtonDown(const QMouseEvent& event);
    void OnDragMove(QPoint cursor);
    void OnLButtonUp(const QMouseEvent& event);
    void OnKeyDown(int key);
    void CheckOverlap();
    void CheckOverlapManually();
    void ListWindowsBelow();
    void ShowTestWindow();

    // Menus, tray and stealth (lumidial_menus.cpp).
    void ShowPopupMenu(QPoint clientPoint);
    void ShowTrayMenu();
    void TrackMenu(QMenu& menu, QPoint screenPoint);
    void OnStealth();
    void UpdateStealthHole();
    void RestoreWholeClock();
    void RequestLeaveTracking();
    void OnMouseLeave();
    void EditRssList();

    void SetLayerEffect(ClockCompositor::Layer layer, int& setting, int code);

    // Geometry: the size is the compositor's.
    int m_nZoom = 100;
    int m_nScreenWidth = 0;
    int m_nScreenHeight = 0;
    std::optional<QSize> m_screenSizeOverride;

    QRegion m_rgnHole;
    QRegion m_rgnWindow;
    QRegion m_rgnEllipse;

    ClockCompositor m_compositor;
    // Puts the frame's changed part on the X window (when it can: see Create).
    platform::WindowPainter m_windowPainter;
    bool m_bPaintingChanges = false; // the repaint of a composed frame's changed part runs
    CShaderClock::TimeSource m_timeSource;

    // Alarm popups (open or null) and the DEMO dialog: owned, so whatever is
    // still open goes with the window. The alarm check keeps the fired latches.
    struct AlarmSlot
    {
        std::unique_ptr<QWidget> popup;
    };
    std::array<AlarmSlot, kAlarmCount> m_alarms;
    CAlarmMonitor m_alarmMonitor{*this};
    std::unique_ptr<QWidget> m_pDemoDlg;
    RssTickers m_rssTickers; // the RSS command's tickers, open or still to be deleted

    std::unique_ptr<QSystemTrayIcon> m_trayIcon;

    // Drag: the press point in the window, the cursor at the previous step, and
    // the press's time (the event's, in milliseconds).
    bool m_bDragging = false;
    QPoint m_ptGrab;
    QPoint m_ptLastCursor;
    unsigned long m_nPressTime = 0;
    bool m_bTrackLeave = false;            // a mouse-leave is awaited (stealth hole)
    std::vector<WindowInfo> m_prevWindows; // the overlap check's last list
    std::vector<platform::TopLevelWindow> m_windowsBelow;
    std::unique_ptr<QLabel> m_pTestWnd;
    platform::TimerSet m_timers;
    bool m_bCapturing = false; // a desktop capture runs (it processes events meanwhile)
    bool m_bClosed = false;
    bool m_bFrameDue = true; // the next paint composes a frame first (RequestFrame)
};
