#include "app/lmd_app.h"

#include "app/lumidial.h"
#include "app/splash_wnd.h"
#include "platform/paths.h"
#include "platform/resources.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <clocale>

CLMDApp theApp;

namespace {

// Ends the event loop once the main window has closed (the exit command, a
// close from the window manager), whatever other windows are still open.
class MainWindowWatch final : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Close) {
            // The window handles its close first; look once it has done so.
            QMetaObject::invokeMethod(
                this,
                [window = QPointer<QObject>(watched)] {
                    const auto* widget = qobject_cast<const QWidget*>(window.data());
                    if (!widget || !widget->isVisible())
                        QCoreApplication::quit();
                },
                Qt::QueuedConnection);
        }
        return false;
    }
};

} // namespace

CLMDApp::CLMDApp()
    : m_strClassName("LMDClass"), m_strTitle("Lumidial"),
      m_strVersion(QString::asprintf("%d.%d", LMD_VERSION_MAJOR, LMD_VERSION_MINOR)), m_nDarkThreshold(150)
{
}

CLMDApp::~CLMDApp() = default;

bool CLMDApp::InitInstance()
{
    // Day names and other C-library texts in Japanese, as the clock was made for.
    std::setlocale(LC_ALL, "ja_JP.UTF-8");
    QApplication::setWindowIcon(platform::LoadIcon("LMD_ICON_1"));
    // The program lives exactly as long as its main window (see MainWindowWatch).
    QApplication::setQuitOnLastWindowClosed(false);
    m_strIniPath = ChooseIniPath(platform::paths::ExeDir());
    LoadSettings();
    // (Qt needs no start-up for its painting, so there is nothing like a GDI+ session here.)
    if (AppSettings.Splash)
        ShowSplash();
    CreateMainWindow();
    return true;
}

int CLMDApp::ExitInstance()
{
    SaveSettings();
    m_mainWindowWatch.reset();
    m_pMainWnd.reset();
    // A splash still fading when the program ends goes with it (it deletes
    // itself only when it closes on its own).
    delete m_pSplash.data();
    return 0;
}

void CLMDApp::ShowSplash()
{
    auto* splash = new CSplashWnd(m_strVersion); // deletes itself when closed
    m_pSplash = splash;
    const QScreen* screen = QGuiApplication::primaryScreen();
    splash->Create(screen ? screen->availableGeometry() : QRect());
}

void CLMDApp::CreateMainWindow()
{
    m_pMainWnd = std::make_unique<CLumidial>();
    m_pMainWnd->setCursor(platform::LoadCursor("PAN_OPEN_CUR"));
    m_mainWindowWatch = std::make_unique<MainWindowWatch>();
    m_pMainWnd->installEventFilter(m_mainWindowWatch.get());
    m_pMainWnd->Create();

    // Constant alpha from the low 8 bits of Alpha (256 is fully transparent);
    // kept on top when TopMost is set (a flag Qt takes before the window shows);
    // then shown. The window may carry both already: setting them again changes
    // nothing.
    m_pMainWnd->setWindowOpacity((AppSettings.Alpha & 0xFF) / 255.0);
    if (AppSettings.TopMost)
        m_pMainWnd->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    m_pMainWnd->show();
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

void CLMDApp::Quit()
{
    if (m_pMainWnd)
        m_pMainWnd->close();
    QCoreApplication::quit();
}
