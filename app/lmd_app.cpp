#include "app/lmd_app.h"

#include "app/lumidial.h"
#include "app/splash_wnd.h"
#include "platform/gl.h"
#include "platform/paths.h"
#include "platform/resources.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QThread>
#include <clocale>

CLMDApp theApp;

CLMDApp::CLMDApp()
    : m_strClassName("LMDClass"), m_strTitle("Lumidial"),
      m_strVersion(QString::asprintf("%d.%d", LMD_VERSION_MAJOR, LMD_VERSION_MINOR)), m_nDarkThreshold(150)
{
}

CLMDApp::~CLMDApp() = default;

std::unique_ptr<CLumidial> CLMDApp::InitInstance()
{
    m_bQuitting = false;
    // Day names and other C-library texts in Japanese, as the clock was made for.
    std::setlocale(LC_ALL, "ja_JP.UTF-8");
    QApplication::setWindowIcon(platform::LoadIcon("LMD_ICON_1"));
    // The program lives exactly as long as its main window (see Quit).
    QApplication::setQuitOnLastWindowClosed(false);
    m_bFinalSaveBegun = false;
    m_strIniPath = ChooseIniPath(platform::paths::ExeDir());
    LoadSettings();
    PublishSettings();
    m_publishing = QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock,
                                    [this] { PublishSettings(); });
    // The software renderer's thread count fits the clock's size; it must be set
    // before the first GL context (a stored 0 picks the size later: sized as 100).
    const long long side = 130LL * ClampZoom(AppSettings.Zoom == 0 ? 100 : AppSettings.Zoom) / 100;
    platform::FitRendererThreads(side * side);
    // (Qt needs no start-up for its painting, so there is nothing like a GDI+ session here.)
    if (AppSettings.Splash)
        ShowSplash();
    std::unique_ptr<CLumidial> mainWindow = CreateMainWindow();
    m_pMainWnd = mainWindow.get();
    m_bRunning = true;
    return mainWindow;
}

int CLMDApp::ExitInstance()
{
    QObject::disconnect(m_publishing);
    // Closed here when the run ends without Quit (its place is stored on close).
    if (m_pMainWnd)
        m_pMainWnd->close();
    m_bRunning = false;
    if (BeginFinalSave())
        SaveSettings();
    // A splash still fading when the program ends goes with it (it deletes
    // itself only when it closes on its own).
    delete m_pSplash.data();
    m_bQuitting = false; // the run is over
    return 0;
}

void CLMDApp::Quit()
{
    if (m_bQuitting)
        return;
    m_bQuitting = true;
    if (m_pMainWnd)
        m_pMainWnd->close();
    // exit(), not quit(): quit() asks every window to close first and gives up
    // when one refuses. Outside any event loop (before the main loop starts)
    // there is nothing to end; main does not start it then.
    if (QThread::currentThread()->loopLevel() > 0)
        QCoreApplication::exit(0);
}

bool CLMDApp::SaveOnAbruptEnd()
{
    if (!m_bRunning)
        return false;
    m_bRunning = false;
    if (!BeginFinalSave()) {
        // The signal's watch is saving (and then ends the process): wait until it has.
        const std::lock_guard saved(m_publishedMutex);
        return true;
    }
    if (m_pMainWnd)
        m_pMainWnd->OnEndSession(); // the place from the window's last known geometry, then the save
    else
        SaveSettings();
    return true;
}

void CLMDApp::PublishSettings()
{
    const std::lock_guard lock(m_publishedMutex);
    m_published = AppSettings;
    if (m_pMainWnd) {
        m_published.StartX = m_pMainWnd->x();
        m_published.StartY = m_pMainWnd->y();
    }
    m_publishedIniPath = m_strIniPath;
    m_bPublished = true;
}

CLMDApp::PublishedSave CLMDApp::SavePublishedSettings()
{
    // Held from the claim to the end of the save, so whoever waits on it finds the file written.
    const std::lock_guard lock(m_publishedMutex);
    if (!BeginFinalSave())
        return PublishedSave::FinalSaveBegun;
    if (!m_bPublished || !SaveAppSettings(m_published, m_publishedIniPath))
        return PublishedSave::NotSaved;
    return PublishedSave::Saved;
}

bool CLMDApp::BeginFinalSave()
{
    return !m_bFinalSaveBegun.exchange(true);
}

void CLMDApp::ShowSplash()
{
    auto* splash = new CSplashWnd(m_strVersion); // deletes itself when closed
    m_pSplash = splash;
    const QScreen* screen = QGuiApplication::primaryScreen();
    splash->Create(screen ? screen->availableGeometry() : QRect());
}

std::unique_ptr<CLumidial> CLMDApp::CreateMainWindow()
{
    auto window = std::make_unique<CLumidial>();
    window->setCursor(platform::LoadCursor("PAN_OPEN_CUR"));
    window->Create();

    // Constant alpha from the low 8 bits of Alpha (256 is fully transparent);
    // kept on top when TopMost is set (a flag Qt takes before the window shows);
    // then shown. The window may carry both already: setting them again changes
    // nothing.
    window->SetAlpha(AppSettings.Alpha);
    if (AppSettings.TopMost)
        window->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    window->show();
    return window;
}

void CLMDApp::LoadSettings()
{
    LoadAppSettings(AppSettings, m_strIniPath);
}

void CLMDApp::SaveSettings()
{
    if (!SaveAppSettings(AppSettings, m_strIniPath))
        qWarning("Lumidial: the settings could not be saved to %s", qPrintable(m_strIniPath));
}
