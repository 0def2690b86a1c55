// The lumidial program: the clock on the current X display.
#include "app/lmd_app.h"
#include "app/lumidial.h"
#include "platform/gl.h"
#include "platform/loaded_modules.h"

#include <QApplication>
#include <QGuiApplication>
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>
#include <xcb/xcb.h>

namespace {

// SIGTERM, SIGINT, SIGHUP and SIGQUIT end the clock the way its exit command
// does (CLMDApp::Quit): the settings are saved on the way out. The handler only
// writes one byte into a pipe (all it may safely do); the event loop, or
// whichever nested loop runs, reads it and does the rest.
class TerminationSignals
{
public:
    TerminationSignals()
    {
        // A file-size limit fails the settings' save (which then says so) instead of ending the process.
        std::signal(SIGXFSZ, SIG_IGN);
        if (::pipe2(s_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
            return;
        m_notifier = std::make_unique<QSocketNotifier>(s_pipe[0], QSocketNotifier::Read);
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [] {
            char drained[16];
            while (::read(s_pipe[0], drained, sizeof drained) > 0) {
            }
            theApp.Quit();
        });
        struct sigaction action
        {
        };
        action.sa_handler = &Handler;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        for (const int signal : {SIGTERM, SIGINT, SIGHUP, SIGQUIT})
            sigaction(signal, &action, nullptr);
    }

private:
    static void Handler(int)
    {
        const int saved = errno;
        const char byte = 1;
        [[maybe_unused]] const ssize_t written = ::write(s_pipe[1], &byte, 1);
        errno = saved;
    }

    // Left open to the end of the process: a late signal still finds its pipe.
    static inline int s_pipe[2] = {-1, -1};
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
