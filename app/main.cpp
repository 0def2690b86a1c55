// The lumidial program: the clock on the current X display.
#include "app/lmd_app.h"
#include "platform/gl.h"
#include "platform/loaded_modules.h"

#include <QApplication>
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

// SIGTERM and SIGINT end the clock the way its exit command does: the main
// window closes and the settings are saved on the way out. The handler only
// writes one byte into a pipe (all it may safely do); the event loop reads it
// and does the rest.
class TerminationSignals
{
public:
    TerminationSignals()
    {
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
        sigaction(SIGTERM, &action, nullptr);
        sigaction(SIGINT, &action, nullptr);
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

} // namespace

int main(int argc, char** argv)
{
    // The clock reads the desktop behind it and works in device pixels: X11,
    // no high-DPI scaling.
    qputenv("QT_QPA_PLATFORM", "xcb");
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    QApplication application(argc, argv);
    platform::InitGlut(&argc, argv);
    const TerminationSignals quitOnSignal;

    theApp.InitInstance();
    const int status = QApplication::exec();
    theApp.ExitInstance();
    platform::KeepLoadedModulesToExit(); // see loaded_modules.h
    return status;
}
