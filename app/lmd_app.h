#pragma once
// The application object: the one global theApp holds the live settings, the
// version text, the main window's class name and title, and a pointer to the
// main clock window; InitInstance starts the program, ExitInstance ends it.
//
// Ending the program: Quit() is the one way out, from whatever state the
// program is in (alarm popups open, the stealth hint or an error box up, a menu
// open, the splash fading, any modal dialog or modeless window). It stores the
// clock's place, stops the clock's timers and ends every event loop at once,
// the nested loops of modal dialogs and message boxes included; no window is
// asked whether it agrees to close, so none can keep the program alive. main
// then calls ExitInstance, which saves the settings, once, and the windows go
// with their owners. The exit command, a close of the main window by anyone,
// and SIGTERM, SIGINT, SIGHUP and SIGQUIT all end up in Quit().
//
// How a window takes part: it needs nothing of its own, only an owner that ends
// with the run.
// - A modeless window (alarm popup, DEMO dialog, ticker) belongs to the clock
//   window, as a member or a QObject child, and is destroyed with it.
// - A modal dialog or message box lives in the stack frame that runs it:
//   exec() returns (with the result Rejected) when the program ends, and the
//   frame unwinds. The code after exec() runs once more then; it must treat a
//   result other than Accepted as a cancel and start nothing new (a new modal
//   loop would return at once anyway). IsQuitting() tells it the program ends.
// - Timers belong to their window (the clock's TimerSet, a dialog's own), so
//   none fires once its window is gone; the clock's stop at Quit().
//
// When the GUI thread does not turn (stuck in a call, the display frozen), a
// signal cannot reach Quit(). main then saves from another thread what the GUI
// thread last published (SavePublishedSettings) and ends the process. The
// settings record itself is only ever touched by the GUI thread: it publishes
// a copy, with the clock's place, each time its event loop is about to wait.
// The run's final save is made once, by whichever comes first: ExitInstance
// (or SaveOnAbruptEnd) on the GUI thread, or that other thread.
#include "store/app_settings.h"

#include <QMetaObject>
#include <QPointer>
#include <QString>
#include <atomic>
#include <memory>
#include <mutex>

class CLumidial;
class CSplashWnd;

class CLMDApp
{
public:
    CLMDApp();
    ~CLMDApp();
    CLMDApp(const CLMDApp&) = delete;
    CLMDApp& operator=(const CLMDApp&) = delete;

    // Start-up, in this order: locale, INI file choice, settings, splash (when
    // Splash is set), main window with its alpha, shown, top-most (when TopMost
    // is set). Needs a QApplication. Returns the main window, which the caller
    // owns and keeps until after ExitInstance: main keeps it in its own frame,
    // so nothing that needs the display or OpenGL outlives main, however the
    // process ends (a static owner would destroy it after the display and GL
    // are gone).
    std::unique_ptr<CLumidial> InitInstance();
    // Ends a run: the main window closed (its place stored), the settings
    // saved, the splash gone. The caller then destroys the main window.
    // Returns 0.
    int ExitInstance();

    // The settings record from and to the chosen INI file.
    void LoadSettings();
    void SaveSettings();

    // Ends the program from any state (see above). Safe to call more than once
    // and from inside any nested event loop.
    void Quit();
    // Whether Quit() has been called in this run (until ExitInstance).
    bool IsQuitting() const { return m_bQuitting; }

    // The process is ending through exit() while the program runs (Qt and Xlib
    // end it so when the connection to the display breaks): the clock's place
    // and the settings are saved, for they need no display. True when a run was
    // under way and the settings were written.
    bool SaveOnAbruptEnd();

    // The INI file chosen by InitInstance (beside the executable).
    const QString& IniPath() const { return m_strIniPath; }

    // GUI thread: publishes a copy of the settings with the clock's current
    // place (see above). InitInstance publishes once the settings are loaded
    // and then whenever the event loop is about to wait, until ExitInstance.
    void PublishSettings();
    enum class PublishedSave
    {
        Saved,
        NotSaved,       // the save failed, or nothing was published yet
        FinalSaveBegun, // the GUI thread has begun the run's final save itself
    };
    // Any thread: makes the run's final save from the copy last published,
    // unless it has begun already.
    PublishedSave SavePublishedSettings();

    QString m_strClassName;
    QString m_strTitle;
    QString m_strVersion;
    ::AppSettings AppSettings;
    QPointer<CSplashWnd> m_pSplash; // null once the splash has closed (it deletes itself)
    int m_nDarkThreshold;
    QPointer<CLumidial> m_pMainWnd; // the main window of the run; owned by InitInstance's caller

private:
    void ShowSplash();
    std::unique_ptr<CLumidial> CreateMainWindow();
    // True for the first caller in a run: that one makes the final save.
    bool BeginFinalSave();

    QString m_strIniPath;
    bool m_bRunning = false; // from InitInstance to ExitInstance
    bool m_bQuitting = false;

    std::atomic<bool> m_bFinalSaveBegun{false};
    QMetaObject::Connection m_publishing; // the event loop's wait publishes
    std::mutex m_publishedMutex;          // guards the three below, and the save made from them
    ::AppSettings m_published;
    QString m_publishedIniPath;
    bool m_bPublished = false;
};

extern CLMDApp theApp;
