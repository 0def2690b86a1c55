#include "app/lumidial.h"

#include "app/lmd_app.h"
#include "effects/effect_codes.h"
#include "platform/desktop.h"
#include "platform/paths.h"
#include "platform/resources.h"
#include "platform/screen_capture.h"
#include "platform/window_region.h"
#include "platform/x11_window.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QSessionManager>
#include <QStyleHints>
#include <QSystemTrayIcon>
#include <algorithm>

namespace {

constexpr int kDefaultFrameType = 1;
constexpr int kBaseSize = 130; // the clock's side at zoom 100

} // namespace

AppSettings& CLumidial::Settings()
{
    return theApp.AppSettings;
}

int ZoomForScreenWidth(int screenWidth)
{
    if (screenWidth < 1920)
        return 100;
    const int tenths = static_cast<int>(screenWidth / 1920.0 * 120);
    return std::min(tenths / 10 * 10, kMaxZoom);
}

int ClampZoom(int zoom)
{
    return std::clamp(zoom, kMinZoom, kMaxZoom);
}

namespace {

// The gap between two spans [a0, a1] and [b0, b1] of one axis (0 when they meet).
qint64 Gap(int a0, int a1, int b0, int b1)
{
    return a1 < b0 ? qint64{b0} - a1 : b1 < a0 ? qint64{a0} - b1 : 0;
}

// The start of a span of `length` within [low, high], moved as little as possible
// (at low when it does not fit).
int Within(int start, int length, int low, int high)
{
    return std::max(low, std::min(start, high - length + 1));
}

} // namespace

QPoint PlaceOnScreens(QPoint start, QSize size, std::span<const QRect> screens)
{
    const QRect clock(std::clamp(start.x(), -kMaxPosition, kMaxPosition),
                      std::clamp(start.y(), -kMaxPosition, kMaxPosition), size.width(), size.height());
    const auto distance = [&clock](const QRect& screen) {
        const qint64 dx = Gap(clock.left(), clock.right(), screen.left(), screen.right());
        const qint64 dy = Gap(clock.top(), clock.bottom(), screen.top(), screen.bottom());
        return dx * dx + dy * dy;
    };
    if (screens.empty() ||
        std::any_of(screens.begin(), screens.end(), [&clock](const QRect& s) { return s.intersects(clock); }))
        return clock.topLeft();
    const QRect& nearest =
        *std::min_element(screens.begin(), screens.end(),
                          [&](const QRect& a, const QRect& b) { return distance(a) < distance(b); });
    return {Within(clock.x(), clock.width(), nearest.left(), nearest.right()),
            Within(clock.y(), clock.height(), nearest.top(), nearest.bottom())};
}

QString GetEffectName(int code)
{
    const EffectInfo* info = code >= 0 && code < kMenuEffectCount ? FindEffect(code) : nullptr;
    return info ? QString::fromUtf8(info->menuText.data(), static_cast<qsizetype>(info->menuText.size()))
                : QStringLiteral("検証用");
}

CLumidial::CLumidial(std::optional<QSize> screenSize)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint |
                           (Settings().TopMost ? Qt::WindowStaysOnTopHint : Qt::WindowFlags())),
      m_screenSizeOverride(screenSize), m_compositor(Settings()),
      m_timers(this, [this](int id) { OnTimer(id); })
{
    setObjectName(theApp.m_strClassName);
    setWindowTitle(theApp.m_strTitle);
    // Every pixel comes from the final surface: no background fill before painting.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true); // moves without a button reach the layers and the stealth hole
    setWindowOpacity((Settings().Alpha & 0xFF) / 255.0);
}

CLumidial::~CLumidial()
{
    if (platform::MainWindow() == this)
        platform::RegisterMainWindow(nullptr);
}

bool CLumidial::Create()
{
    AppSettings& settings = Settings();

    // 1. Qt's idea of where the clock and the windows it opens stand is the real
    // one, however the window manager frames them. The native window exists
    // from here on, with the class other programs look for (kept on each X
    // window Qt makes for the clock, as its shape is).
    platform::KeepRealWindowPositions();
    winId();
    platform::SetWindowClass(*this, theApp.m_strClassName);
    // Frames go straight to the X window, past Qt's backing store, where the
    // window's pixel format allows it.
    setAttribute(Qt::WA_PaintOnScreen, platform::WindowPainter::Supports(*this));
    platform::RegisterMainWindow(this);

    // 2-4. Screen size and zoom: a stored 0 means "derive from the screen width",
    // and the derived value is stored.
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize screenSize = m_screenSizeOverride.value_or(screen ? screen->geometry().size() : QSize());
    m_nScreenWidth = screenSize.width();
    m_nScreenHeight = screenSize.height();
    settings.Zoom = settings.Zoom == 0 ? ZoomForScreenWidth(m_nScreenWidth) : ClampZoom(settings.Zoom);
    ApplyZoom(settings.Zoom);

    // A stored place off every screen (a screen since removed, a hand-edited
    // file) brings the clock back onto the nearest screen.
    std::vector<QRect> screens;
    for (const QScreen* each : QGuiApplication::screens())
        screens.push_back(each->geometry());
    const QSize size(ClockWidth(), ClockHeight());
    const QPoint place = PlaceOnScreens({settings.StartX, settings.StartY}, size, screens);
    settings.StartX = place.x();
    settings.StartY = place.y();

    // 5-6. The desktop where the clock is about to stand (the window is not
    // shown yet, so it cannot cover it).
    m_compositor.SetSnapshot(platform::CaptureScreen(QRect(place, size)));

    // 10-13. Frames: the external frame, the selected frame at the clock's
    // size. A frame type outside the slots (a hand-edited INI file) falls back
    // to the default frame.
    m_compositor.CreateExtFrame(settings.ExtFramePath, settings.Gradation);
    if (settings.FrameType < 0 || settings.FrameType >= kFrameSlotCount)
        settings.FrameType = kDefaultFrameType;
    m_compositor.SelectFrame(settings.FrameType);

    // 7-8, 17-19. The six layers (the shader frame drawn, the hands coloured).
    m_compositor.RebuildLayers();

    // 9. The slideshow: scan the image folder, then the interval.
    OnSetImageFolder(settings.ImageFolderPath);
    OnSetPlayInterval(settings.PlayInterval);

    // 14-15. Place the window and make it round.
    setGeometry(QRect(place, size));
    UpdateRegions();

    // 16. Tray icon.
    AddTrayIcon();

    // 20. The dot-matrix readout's colours.
    OnDotColorsChanged();

    // 21. Timers.
    m_timers.SetTimer(TIMER_REPAINT, kRepaintMs);
    m_timers.SetTimer(TIMER_ALARM, kAlarmMs);
    m_timers.SetTimer(TIMER_OVERLAP, kOverlapMs);

    // 22. Tooltip.
    UpdateToolTip();

    // The desktop session's end saves as the program's own exit does.
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager&) { OnEndSession(); });
    return true;
}

void CLumidial::ApplyZoom(int zoom)
{
    m_nZoom = zoom;
    const int side = kBaseSize * zoom / 100;
    m_compositor.Resize({side, side});
}

void CLumidial::UpdateRegions()
{
    m_rgnHole = QRegion();
    const int right = static_cast<int>(ClockWidth() / 130.0 * 129);
    const int bottom = static_cast<int>(ClockHeight() / 130.0 * 129);
    m_rgnEllipse = QRegion(0, 0, right, bottom, QRegion::Ellipse);
    m_rgnWindow = m_rgnEllipse;
    platform::SetWindowRgn(*this, m_rgnWindow);
}

void CLumidial::AddTrayIcon()
{
    m_trayIcon = std::make_unique<QSystemTrayIcon>(platform::LoadIcon("LMD_ICON_1"));
    m_trayIcon->setToolTip(theApp.m_strTitle.left(127));
    connect(m_trayIcon.get(), &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) { OnTrayActivated(reason); });
    m_trayIcon->show();
}

void CLumidial::OnTrayActivated(int reason)
{
    // The icon reports a left press at once, and a second press within the
    // double-click time as a double click. A menu opened by the first press
    // would grab the pointer and take the second: the left press waits out
    // the double-click time and opens the menu only when no second one came.
    const auto notify = [](TrayMouseMessage mouse) {
        platform::PostAppMessage(platform::WM_TRAY_NOTIFY, 1, mouse);
    };
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        m_timers.SetTimer(TIMER_TRAY_CLICK, QGuiApplication::styleHints()->mouseDoubleClickInterval());
        break;
    case QSystemTrayIcon::DoubleClick:
        m_timers.KillTimer(TIMER_TRAY_CLICK);
        notify(TRAY_LBUTTONDBLCLK);
        break;
    case QSystemTrayIcon::Context:
        notify(TRAY_RBUTTONDOWN);
        break;
    case QSystemTrayIcon::MiddleClick:
        notify(TRAY_MBUTTONDOWN);
        break;
    default:
        break;
    }
}

void CLumidial::UpdateToolTip()
{
    setToolTip(
        QStringLiteral("表示倍率：%1% \r\n※ホイールで変更可 \r\n奥側：%2 \r\n中間：%3 \r\n手前：%4     ")
            .arg(m_nZoom)
            .arg(GetEffectName(BackLayer()->GetEffect()), GetEffectName(MiddleLayer()->GetEffect()),
                 GetEffectName(FrontLayer()->GetEffect())));
}

LocalDateTime CLumidial::Now() const
{
    return m_timeSource ? m_timeSource() : CurrentLocalTime();
}

void CLumidial::SetTimeSource(CShaderClock::TimeSource source)
{
    m_timeSource = std::move(source);
}

void CLumidial::RequestFrame()
{
    m_bFrameDue = true;
    update();
}

void CLumidial::ComposeFrame()
{
    // A hidden clock, one whose pixels a capture has taken away or a dragged
    // one cannot show the frame now, and a frame already asked for comes with
    // the next paint.
    if (m_bFrameDue || m_bDragging || m_bCapturing || !isVisible()) {
        RequestFrame();
        return;
    }
    const platform::PaintInProgress composing; // an error box waits, as in a paint
    m_compositor.Compose(Now());
    // Painted at once: a posted update would cost the event loop another turn.
    if (const QRect changed = m_compositor.ChangedRect(); !changed.isEmpty()) {
        m_bPaintingChanges = true;
        repaint(changed);
        m_bPaintingChanges = false;
    }
}

void CLumidial::paintEvent(QPaintEvent* event)
{
    // An error box raised by a layer (a cube map's face, GLEW) waits for the
    // paint to return: the clock goes on drawing behind it.
    const platform::PaintInProgress painting;
    // While dragging, the drag composes the frames itself (without the date, readout and dial).
    // While a resize waits for its layers, the frame stays due.
    if (m_bFrameDue && !m_bDragging && !m_compositor.ResizePending()) {
        m_bFrameDue = false;
        m_compositor.Compose(Now());
    }
    const QRect area = event->rect();
    const QImage& frame = m_compositor.FinalSurface().Image();
    // A grab or render() paints into its own device, redirected there.
    if (testAttribute(Qt::WA_PaintOnScreen) && !redirected(nullptr)) {
        // A frame's own repaint sends only what changed since the last one; any
        // other paint (an exposure) sends its whole area.
        m_windowPainter.Put(*this, frame, area,
                            m_bPaintingChanges ? platform::WindowPainter::Send::kChanges
                                               : platform::WindowPainter::Send::kWhole);
        return;
    }
    QPainter painter(this);
    painter.drawImage(area.topLeft(), frame, area);
}

QPaintEngine* CLumidial::paintEngine() const
{
    // Painted on screen, the clock has no engine: paintEvent puts the frame itself.
    return testAttribute(Qt::WA_PaintOnScreen) ? nullptr : QWidget::paintEngine();
}

void CLumidial::StartFrameTimers()
{
    // A pending zoom settle restarts them itself, once the layers fit the new size.
    if (m_compositor.ResizePending())
        return;
    m_timers.SetTimer(TIMER_REPAINT, kRepaintMs);
    m_timers.SetTimer(TIMER_OVERLAP, kOverlapMs);
}

void CLumidial::OnTimer(int id)
{
    switch (id) {
    case TIMER_REPAINT:
        ComposeFrame();
        break;
    case TIMER_ALARM:
        m_alarmMonitor.Check(Settings().Alarms);
        break;
    case TIMER_OVERLAP:
        // Not while a capture runs (it processes events): the capture a check
        // asked for would come while this one still runs.
        if (Settings().TopMost && !m_bCapturing)
            CheckOverlap();
        break;
    case TIMER_ZOOM_SETTLE:
        m_timers.KillTimer(TIMER_ZOOM_SETTLE);
        if (m_bCapturing) {
            // A capture is still running (it processes events): rebuild after it.
            m_timers.SetTimer(TIMER_ZOOM_SETTLE, kZoomSettleMs);
            break;
        }
        RebuildLayers();
        StartFrameTimers();
        m_prevWindows.clear();
        break;
    case TIMER_TRAY_CLICK:
        m_timers.KillTimer(TIMER_TRAY_CLICK);
        platform::PostAppMessage(platform::WM_TRAY_NOTIFY, 1, TRAY_LBUTTONDOWN);
        break;
    case TIMER_LEAVE_REARM:
        m_timers.KillTimer(TIMER_LEAVE_REARM);
        RequestLeaveTracking();
        break;
    default:
        if (id >= TIMER_SNOOZE && id < TIMER_SNOOZE + kAlarmCount)
            m_alarmMonitor.OnSnoozeTimer(id - TIMER_SNOOZE, Settings().Alarms);
        break;
    }
}

void CLumidial::CaptureBackground()
{
    if (m_bCapturing)
        return;
    m_bCapturing = true;
    const platform::Surface behind = platform::CaptureBehind(*this, geometry());
    m_bCapturing = false;
    // The capture processes events: the window may have been closed meanwhile.
    if (m_bClosed)
        hide();
    m_compositor.SetSnapshot(behind);
}

void CLumidial::RecaptureBackground()
{
    CaptureBackground();
    m_compositor.SnapshotChanged();
    // The window shows again with the frame it had: the new desktop comes with
    // the next paint, not a frame period later.
    RequestFrame();
}

void CLumidial::RebuildLayers()
{
    // The layers, the shader frame, the slideshow interval and the hand colours
    // of the settings, over the desktop as it is now.
    CaptureBackground();
    m_compositor.RebuildLayers();
    RequestFrame();
}

void CLumidial::SetLayerEffect(ClockCompositor::Layer layer, int& setting, int code)
{
    setting = code;
    m_compositor.SetLayerEffect(layer, code);
    RequestFrame();
    UpdateToolTip();
}

void CLumidial::OnCommand(int id)
{
    AppSettings& settings = Settings();
    if (id >= ID_EFFECT_BACK && id < ID_EFFECT_BACK + kMenuEffectCount) {
        SetLayerEffect(ClockCompositor::kBack, settings.EffectPtn0, id - ID_EFFECT_BACK);
    } else if (id >= ID_EFFECT_MIDDLE && id < ID_EFFECT_MIDDLE + kMenuEffectCount) {
        SetLayerEffect(ClockCompositor::kMiddle, settings.EffectPtn1, id - ID_EFFECT_MIDDLE);
    } else if (id >= ID_EFFECT_FRONT && id < ID_EFFECT_FRONT + kMenuEffectCount) {
        SetLayerEffect(ClockCompositor::kFront, settings.EffectPtn2, id - ID_EFFECT_FRONT);
    } else if (id >= ID_ZOOM && id <= ID_ZOOM_LAST) {
        OnSetZoom((id - ID_ZOOM) * 10 + 80); // 80 % to 200 %
    } else if (id == ID_QUIT) {
        close();
    } else if (id == ID_LOCK) {
        platform::LockWorkstation();
    } else if (id == ID_STEALTH) {
        OnStealth();
    } else if (id == ID_RSS_EDIT) {
        EditRssList();
    } else if (id == ID_RSS) {
        m_rssTickers.Open(*this);
    } else if (id == ID_SETTINGS) {
        OpenSettings();
    }
}

void CLumidial::StorePosition()
{
    Settings().StartX = x();
    Settings().StartY = y();
}

void CLumidial::closeEvent(QCloseEvent* event)
{
    m_bClosed = true;
    // The DEMO dialog goes with the clock, shown or hidden: its destruction stops
    // its frames and deletes its demo.
    m_pDemoDlg.reset();
    // No timer outlives the window's close, a pending zoom settle or snooze included.
    m_timers.KillAll();
    m_trayIcon.reset();
    StorePosition();
    event->accept();
    // The main window's close, whoever asks for it, ends the program.
    if (theApp.m_pMainWnd == this)
        theApp.Quit();
}

void CLumidial::OnEndSession()
{
    StorePosition();
    theApp.SaveSettings();
}
