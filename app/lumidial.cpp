#include "app/lumidial.h"

#include "app/lmd_app.h"
#include "effects/effect_codes.h"
#include "platform/desktop.h"
#include "platform/paths.h"
#include "platform/resources.h"
#include "platform/screen_capture.h"
#include "platform/window_region.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QSessionManager>
#include <QSystemTrayIcon>
#include <algorithm>

namespace {

constexpr int kDateEffect = EFFECT_CLOCK_DATE;
constexpr int kFrameEffect = EFFECT_FRAME_TORUS;
constexpr int kDefaultFrameType = 1;

// Built-in frame pictures, slots 0 to 15.
constexpr std::array<const char*, 16> kFrameResources = {
    "FRM_HYAKUSIKI",    "FRM_BONDIEBLUE",     "FRM_BLUEBERRY", "FRM_GRAPE",  "FRM_LIME", "FRM_STRAWBERRY",
    "FRM_TANGERINE",    "FRM_INDIGO",         "FRM_GRAPHITE",  "FRM_SNOW",   "FRM_SAGE", "FRM_RUBY",
    "FRM_FLOWER_POWER", "FRM_BLUE_DALMATIAN", "FRM_JAGUAR",    "FRM_PANTHER"};

// The mouse message a tray icon activation stands for.
TrayMouseMessage MouseMessageOf(QSystemTrayIcon::ActivationReason reason)
{
    switch (reason) {
    case QSystemTrayIcon::DoubleClick:
        return TRAY_LBUTTONDBLCLK;
    case QSystemTrayIcon::Context:
        return TRAY_RBUTTONDOWN;
    case QSystemTrayIcon::MiddleClick:
        return TRAY_MBUTTONDOWN;
    default:
        return TRAY_LBUTTONDOWN;
    }
}

} // namespace

int DialEffect(int clockFace)
{
    switch (clockFace) {
    case 1:
        return EFFECT_DIAL_SWISS_RAILWAY;
    case 2:
        return EFFECT_DIAL_SEVEN_SEGMENT;
    default:
        return EFFECT_DIAL_DEFAULT;
    }
}

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

QString GetEffectName(int code)
{
    const EffectInfo* info = code >= 0 && code < kMenuEffectCount ? FindEffect(code) : nullptr;
    return info ? QString::fromUtf8(info->menuText.data(), static_cast<qsizetype>(info->menuText.size()))
                : QStringLiteral("検証用");
}

CLumidial::CLumidial(std::optional<QSize> screenSize)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint |
                           (Settings().TopMost ? Qt::WindowStaysOnTopHint : Qt::WindowFlags())),
      m_screenSizeOverride(screenSize), m_timers(this, [this](int id) { OnTimer(id); })
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

    // 1. The native window exists from here on, with the class other programs look for.
    winId();
    ApplyWindowClass();
    platform::RegisterMainWindow(this);

    // 2-4. Screen size and zoom: a stored 0 means "derive from the screen width",
    // and the derived value is stored.
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize screenSize = m_screenSizeOverride.value_or(screen ? screen->geometry().size() : QSize());
    m_nScreenWidth = screenSize.width();
    m_nScreenHeight = screenSize.height();
    settings.Zoom = settings.Zoom == 0 ? ZoomForScreenWidth(m_nScreenWidth) : ClampZoom(settings.Zoom);
    ApplyZoom(settings.Zoom);

    // 5-6. Surfaces, and the desktop where the clock is about to stand (the
    // window is not shown yet, so it cannot cover it).
    CreateSurfaces();
    m_dcSnapshot.BitBlt(0, 0, m_nWidth, m_nHeight,
                        platform::CaptureScreen(QRect(settings.StartX, settings.StartY, m_nWidth, m_nHeight)),
                        0, 0);

    // 7-8. The lens model, then the six layers.
    LoadLensModel();
    CreateLayers();

    // 9. The slideshow: scan the image folder, then the interval.
    platform::SendAppMessage(platform::WM_SET_IMAGE_SOURCE, 1, 0,
                             std::make_unique<std::string>(settings.ImageFolderPath.toStdString()));
    platform::SendAppMessage(platform::WM_SET_IMAGE_SOURCE, 0, settings.PlayInterval);

    // 10-13. Frames: the built-in slots, the external frame, the selected frame
    // at the clock's size.
    LoadFrames();
    CreateExtFrame(settings.ExtFramePath, settings.Gradation);
    SetUpFrameSurface();

    // 14-15. Place the window and make it round.
    setGeometry(settings.StartX, settings.StartY, m_nWidth, m_nHeight);
    UpdateRegions();

    // 16. Tray icon.
    AddTrayIcon();

    // 17-20. Hands, day number and dot-matrix readout: the drawing resources,
    // coloured by the two colour messages.
    CreateDrawingResources();
    platform::SendAppMessage(platform::WM_SET_HANDS_COLOR,
                             static_cast<platform::WPARAM>(settings.HandsColorKind));
    platform::SendAppMessage(platform::WM_DOT_COLORS_CHANGED);

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
    m_nWidth = m_nBaseWidth * zoom / 100;
    m_nHeight = m_nBaseHeight * zoom / 100;
}

void CLumidial::CreateSurfaces()
{
    for (platform::Surface* surface : {&m_dcSnapshot, &m_dcHands, &m_dcComposition, &m_dcFrameSource,
                                       &m_dcFinal, &m_dcHStrip, &m_dcVStrip, &m_dcFrame})
        surface->Create(m_nWidth, m_nHeight);
}

void CLumidial::LoadLensModel()
{
    // The lens model of the metal-lens effect; a missing file leaves the mesh empty.
    LoadObjModel(platform::paths::InExeDir(QStringLiteral("assets/lens.obj")).toLocal8Bit().toStdString(),
                 m_lensMesh);
}

void CLumidial::CreateLayers()
{
    const AppSettings& settings = Settings();
    // The old layers go first: each later layer reads an earlier one's output.
    for (auto* layer :
         {&m_pFrameLayer, &m_pDialLayer, &m_pDateLayer, &m_pFrontLayer, &m_pMiddleLayer, &m_pBackLayer})
        layer->reset();

    ++m_nLayerGeneration;
    const auto make = [this](const platform::Surface& source, int code) {
        auto layer = std::make_unique<CEffectLayer>(m_nWidth, m_nHeight);
        layer->SetSettings(this);
        layer->Create(&source);
        layer->SetEffect(code);
        return layer;
    };
    m_pBackLayer = make(m_dcSnapshot, settings.EffectPtn0);
    m_pMiddleLayer = make(m_pBackLayer->Output(), settings.EffectPtn1);
    m_pFrontLayer = make(m_pMiddleLayer->Output(), settings.EffectPtn2);
    for (CEffectLayer* layer : EffectLayers()) {
        layer->SetFilter(settings.FilterColor, settings.FilterAlpha);
        layer->SetImageList(&m_imageList);
        layer->SetLensMesh(&m_lensMesh);
    }
    m_pDateLayer = make(m_dcComposition, kDateEffect);
    m_pDialLayer = make(m_dcComposition, DialEffect(settings.ClockFace));
    m_pDialLayer->SetClockTimeSource(m_timeSource);
    m_pFrameLayer = make(m_dcFrameSource, kFrameEffect);
}

std::array<CEffectLayer*, 3> CLumidial::EffectLayers() const
{
    return {m_pBackLayer.get(), m_pMiddleLayer.get(), m_pFrontLayer.get()};
}

void CLumidial::LoadFrames()
{
    m_frameBitmaps.clear();
    for (const char* name : kFrameResources)
        m_frameBitmaps.push_back(platform::LoadBitmap(name));
    m_frameBitmaps.resize(kFrameSlotCount); // slots 16 and 17 start empty
    m_bmpDefaultFrame = platform::LoadBitmap("FRM_DEFAULT_IMG");
}

void CLumidial::SetUpFrameSurface()
{
    // A frame type outside the slots (a hand-edited INI file) falls back to the default frame.
    int& type = Settings().FrameType;
    if (type < 0 || type >= kFrameSlotCount)
        type = kDefaultFrameType;
    m_dcFrameSelect.Create(m_nBaseWidth, m_nBaseHeight);
    OnSetFrameType(type);
}

void CLumidial::UpdateRegions()
{
    m_rgnHole = QRegion();
    const int right = static_cast<int>(m_nWidth / 130.0 * 129);
    const int bottom = static_cast<int>(m_nHeight / 130.0 * 129);
    m_rgnEllipse = QRegion(0, 0, right, bottom, QRegion::Ellipse);
    m_rgnWindow = m_rgnEllipse;
    platform::SetWindowRgn(*this, m_rgnWindow);
}

void CLumidial::AddTrayIcon()
{
    m_trayIcon = std::make_unique<QSystemTrayIcon>(platform::LoadIcon("LMD_ICON_1"));
    m_trayIcon->setToolTip(theApp.m_strTitle.left(127));
    connect(m_trayIcon.get(), &QSystemTrayIcon::activated, this,
            [](QSystemTrayIcon::ActivationReason reason) {
                platform::PostAppMessage(platform::WM_TRAY_NOTIFY, 1, MouseMessageOf(reason));
            });
    m_trayIcon->show();
}

void CLumidial::UpdateToolTip()
{
    setToolTip(QStringLiteral("表示倍率：%1% \r\n※ホイールで変更可 \r\n奥側：%2 \r\n中間：%3 \r\n手前：%4     ")
                   .arg(m_nZoom)
                   .arg(GetEffectName(m_pBackLayer->GetEffect()), GetEffectName(m_pMiddleLayer->GetEffect()),
                        GetEffectName(m_pFrontLayer->GetEffect())));
}

QString CLumidial::ExtShader() const
{
    return Settings().ExtShader;
}

QString CLumidial::ExtTexture() const
{
    return Settings().ExtTexture;
}

int CLumidial::ClockFace() const
{
    return Settings().ClockFace;
}

void CLumidial::paintEvent(QPaintEvent*)
{
    // While dragging, the drag composes the frames itself (without the date, readout and dial).
    if (!m_bDragging)
        ComposeFrame();
    QPainter painter(this);
    painter.drawImage(0, 0, m_dcFinal.Image());
}

void CLumidial::StartFrameTimers()
{
    // A pending zoom settle restarts them itself, once the layers fit the new size.
    if (m_timers.IsRunning(TIMER_ZOOM_SETTLE))
        return;
    m_timers.SetTimer(TIMER_REPAINT, kRepaintMs);
    m_timers.SetTimer(TIMER_OVERLAP, kOverlapMs);
}

void CLumidial::OnTimer(int id)
{
    switch (id) {
    case TIMER_REPAINT:
        update();
        break;
    case TIMER_ALARM:
        m_alarmMonitor.Check(Settings().Alarms);
        break;
    case TIMER_OVERLAP:
        if (Settings().TopMost)
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
    m_dcSnapshot.BitBlt(0, 0, m_nWidth, m_nHeight, behind, 0, 0);
}

void CLumidial::RecaptureBackground()
{
    CaptureBackground();
    if (m_pBackLayer)
        m_pBackLayer->RecaptureSource();
}

void CLumidial::RebuildLayers()
{
    CaptureBackground();
    CreateLayers();
    if (Settings().FrameType == kShaderFrameSlot)
        RenderShaderFrame();
    platform::SendAppMessage(platform::WM_SET_IMAGE_SOURCE, 0, Settings().PlayInterval);
    platform::SendAppMessage(platform::WM_SET_HANDS_COLOR,
                             static_cast<platform::WPARAM>(Settings().HandsColorKind));
}

void CLumidial::RenderShaderFrame()
{
    m_dcFrame.PatBlt(0, 0, m_nWidth, m_nHeight, platform::PatOp::Blackness);
    if (m_pFrameLayer)
        m_pFrameLayer->Render(&m_dcFrame);
}

void CLumidial::SetLayerEffect(CEffectLayer& layer, int& setting, int code)
{
    setting = code;
    layer.SetEffect(code);
    update();
    UpdateToolTip();
}

void CLumidial::OnCommand(int id)
{
    AppSettings& settings = Settings();
    if (id >= ID_EFFECT_BACK && id < ID_EFFECT_BACK + kMenuEffectCount) {
        SetLayerEffect(*m_pBackLayer, settings.EffectPtn0, id - ID_EFFECT_BACK);
    } else if (id >= ID_EFFECT_MIDDLE && id < ID_EFFECT_MIDDLE + kMenuEffectCount) {
        SetLayerEffect(*m_pMiddleLayer, settings.EffectPtn1, id - ID_EFFECT_MIDDLE);
    } else if (id >= ID_EFFECT_FRONT && id < ID_EFFECT_FRONT + kMenuEffectCount) {
        SetLayerEffect(*m_pFrontLayer, settings.EffectPtn2, id - ID_EFFECT_FRONT);
    } else if (id >= ID_ZOOM && id <= ID_ZOOM_LAST) {
        platform::SendAppMessage(platform::WM_SET_ZOOM, static_cast<platform::WPARAM>(id * 10 - 400920));
    } else if (id == ID_QUIT) {
        close();
    } else if (id == ID_LOCK) {
        platform::LockWorkstation();
    } else if (id == ID_STEALTH) {
        OnStealth();
    } else if (id == ID_RSS_EDIT) {
        EditRssList();
    } else if (id == ID_RSS) {
        m_rssTickers.Open();
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
}

void CLumidial::OnEndSession()
{
    StorePosition();
    theApp.SaveSettings();
}
