#pragma once
// The application object: the one global theApp owns the live settings, the
// version text, the main window's class name and title, and the main clock
// window; InitInstance starts the program, ExitInstance ends it.
#include "app/app_settings.h"

#include <QPointer>
#include <QString>
#include <memory>

class CLumidial;
class CSplashWnd;
class QObject;

class CLMDApp
{
public:
    CLMDApp();
    ~CLMDApp();
    CLMDApp(const CLMDApp&) = delete;
    CLMDApp& operator=(const CLMDApp&) = delete;

    // Start-up, in this order: locale, INI file choice, settings, splash (when
    // Splash is set), main window with its alpha, shown, top-most (when TopMost
    // is set). Needs a QApplication. Returns true.
    bool InitInstance();
    // Saves the settings and deletes the main window (and a splash still up). Returns 0.
    int ExitInstance();

    // The settings record from and to the chosen INI file.
    void LoadSettings();
    void SaveSettings();

    // Ends the program as the exit command does: the main window closes, the
    // event loop ends, and ExitInstance saves. Used for SIGTERM and SIGINT.
    void Quit();

    // The INI file chosen by InitInstance (beside the executable).
    const QString& IniPath() const { return m_strIniPath; }

    QString m_strClassName;
    QString m_strTitle;
    QString m_strVersion;
    ::AppSettings AppSettings;
    QPointer<CSplashWnd> m_pSplash; // null once the splash has closed (it deletes itself)
    int m_nDarkThreshold;
    std::unique_ptr<CLumidial> m_pMainWnd;

private:
    void ShowSplash();
    void CreateMainWindow();

    QString m_strIniPath;
    std::unique_ptr<QObject> m_mainWindowWatch; // ends the event loop when the main window closes
};

extern CLMDApp theApp;
