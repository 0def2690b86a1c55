// The lumidial program: the clock on the current X display.
#include "app/lmd_app.h"
#include "app/lumidial.h"
#include "platform/gl.h"
#include "platform/loaded_modules.h"

#include <QApplication>
#include <QGuiApplication>
#include <QSocketNotifier>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <thread>
#include <unistd.h>
#include <xcb/xcb.h>

namespace {

// SIGTERM, SIGINT, SIGHUP and SIGQUIT end the clock the way its exit command
// does (CLMDApp::Quit): the settings are saved on the way out. The handler only
// writes one byte into each of two pipes (all it may safely do).
// - The event loop, or whichever nested loop runs, reads the first one and
//   calls Quit(); main then ends the run.
// - A watch thread reads the second one, for a GUI thread that does not turn
//   (stuck in a call, the display frozen) would never end the program. When
//   the GUI thread has not begun the run's final save kRespondTime after the
//   signal, the watch saves the settings the GUI thread last published and
//   ends the process itself. A process still there kEndTime after the signal,
//   stuck on its way out, is ended by the watch too: its final save, atomic,
//   has then been written or has left the old file as it was.
// The watch lives as long as the process, as the way out may hang after main
// too (the X connection's and the exit handlers' calls); once this object is
// gone, at the end of main, it leaves theApp alone.
class TerminationSignals
{
public:
    TerminationSignals()
    {
        // A file-size limit fails the settings' save (which then says so) instead of ending the process.
        std::signal(SIGXFSZ, SIG_IGN);
        if (::pipe2(s_quitPipe, O_CLOEXEC | O_NONBLOCK) != 0 || ::pipe2(s_watchPipe, O_CLOEXEC | O_NONBLOCK) != 0)
            return;
        m_notifier = std::make_unique<QSocketNotifier>(s_quitPipe[0], QSocketNotifier::Read);
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [] {
            char drained[16];
            while (::read(s_quitPipe[0], drained, sizeof drained) > 0) {
            }
            theApp.Quit();
        });
        std::thread(&TerminationSignals::Watch).detach();
        struct sigaction action
        {
        };
        action.sa_handler = &Handler;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        for (const int signal : {SIGTERM, SIGINT, SIGHUP, SIGQUIT})
            sigaction(signal, &action, nullptr);
    }

    ~TerminationSignals()
    {
        const std::lock_guard lock(s_appInUse);
        s_runOver = true;
    }

    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

private:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::seconds kRespondTime{3};
    static constexpr std::chrono::seconds kEndTime{10};

    static void Send(int fd)
    {
        const char byte = 1;
        [[maybe_unused]] const ssize_t written = ::write(fd, &byte, 1);
    }

    static void Handler(int)
    {
        const int saved = errno;
        Send(s_quitPipe[1]);
        Send(s_watchPipe[1]);
        errno = saved;
    }

    static void Watch()
    {
        pollfd signalled{s_watchPipe[0], POLLIN, 0};
        while (::poll(&signalled, 1, -1) <= 0) {
        }
        const Clock::time_point signalTime = Clock::now();
        std::this_thread::sleep_until(signalTime + kRespondTime);
        CLMDApp::PublishedSave save = CLMDApp::PublishedSave::FinalSaveBegun;
        {
            const std::lock_guard lock(s_appInUse);
            if (!s_runOver)
                save = theApp.SavePublishedSettings();
        }
        if (save == CLMDApp::PublishedSave::FinalSaveBegun)
            std::this_thread::sleep_until(signalTime + kEndTime);
        const char* const outcome = save == CLMDApp::PublishedSave::Saved      ? "the settings it held were saved"
                                    : save == CLMDApp::PublishedSave::NotSaved ? "its settings could not be saved"
                                                                               : "it had begun to save its settings";
        std::fprintf(stderr, "Lumidial: the program did not end on the signal in time; %s. It ends now.\n",
                     outcome);
        std::fflush(stderr);
        ::_exit(EXIT_FAILURE);
    }

    // Left open to the end of the process: a late signal still finds its pipes.
    static inline int s_quitPipe[2] = {-1, -1};
    static inline int s_watchPipe[2] = {-1, -1};
    // Held while the watch uses theApp, which main's end must not pass meanwhile.
    static inline std::mutex s_appInUse;
    static inline bool s_runOver = false;
    std::unique_ptr<QSocketNotifier> m_notifier;
};

// Whether the connection to the display has broken.
bool DisplayLost()
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 && x11->connection() && xcb_connection_has_error(x11->connection()) != 0;
}

// Qt and Xlib end the process with exit() when the connection to the display
// breaks (the X server dies or drops the clock). Only exit handlers run then,
// while main's frame, with the main window, stays as it is. This handler runs
// before those registered earlier (freeglut's, which talks to the dead display
// again): it saves the settings, which need no display, says what happened and
// ends the process at once, so that nothing touches the display or the GL
// contexts any more.
void EndWithoutDisplay()
{
    if (!theApp.SaveOnAbruptEnd())
        return; // an ordinary end: main has finished the run
    const char* cause =
        DisplayLost() ? "the connection to the display was lost" : "a library ended the program";
    std::fprintf(stderr, "Lumidial: %s; the settings were saved to %s.\n", cause,
                 qPrintable(theApp.IniPath()));
    std::fflush(stderr);
    ::_exit(EXIT_FAILURE);
}

} // namespace

int main(int argc, char** argv)
{
    // The clock reads the desktop behind it and works in device pixels: X11,
    // no high-DPI scaling.
    qputenv("QT_QPA_PLATFORM", "xcb");
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    QApplication application(argc, argv);
    platform::InitGlut(&argc, argv);
    std::atexit(&EndWithoutDisplay); // after glutInit, so it runs before freeglut's own handler
    const TerminationSignals quitOnSignal;

    // The main window lives in this frame: whatever ends the program, nothing
    // that needs the display or OpenGL outlives main.
    const std::unique_ptr<CLumidial> mainWindow = theApp.InitInstance();
    // A signal handled during start-up has ended the run already.
    const int status = theApp.IsQuitting() ? 0 : QApplication::exec();
    theApp.ExitInstance();
    platform::KeepLoadedModulesToExit(); // see loaded_modules.h
    return status;
}
