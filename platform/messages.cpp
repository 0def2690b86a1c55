#include "platform/messages.h"

#include <QCoreApplication>
#include <QMutex>
#include <QThread>

namespace platform {
namespace {

// The registered window, guarded so that worker threads can post while the GUI
// thread registers, unregisters or destroys it.
QMutex g_mutex;
QObject* g_window = nullptr;
QMetaObject::Connection g_destroyed;

} // namespace

QEvent::Type AppMessageEvent::EventType()
{
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

AppMessageEvent::AppMessageEvent(unsigned message, WPARAM wParam, LPARAM lParam,
                                 std::unique_ptr<std::string> text)
    : QEvent(EventType()), message(message), wParam(wParam), lParam(lParam), text(std::move(text))
{
}

void RegisterMainWindow(QObject* window)
{
    const QMutexLocker lock(&g_mutex);
    QObject::disconnect(g_destroyed);
    g_window = window;
    if (window) {
        // A window destroyed without unregistering stops receiving at once; the
        // events already queued for it are deleted with it (and their texts freed).
        g_destroyed = QObject::connect(window, &QObject::destroyed, [window] {
            const QMutexLocker inner(&g_mutex);
            if (g_window == window)
                g_window = nullptr;
        });
    }
}

QObject* MainWindow()
{
    const QMutexLocker lock(&g_mutex);
    return g_window;
}

bool PostAppMessage(unsigned message, WPARAM wParam, LPARAM lParam, std::unique_ptr<std::string> text)
{
    auto event = std::make_unique<AppMessageEvent>(message, wParam, lParam, std::move(text));
    const QMutexLocker lock(&g_mutex);
    if (!g_window)
        return false; // the event, and its text, are freed here
    // postEvent takes ownership; Qt deletes the event after delivery or when the
    // receiver is destroyed first.
    QCoreApplication::postEvent(g_window, event.release());
    return true;
}

LRESULT SendAppMessage(unsigned message, WPARAM wParam, LPARAM lParam, std::unique_ptr<std::string> text)
{
    AppMessageEvent event(message, wParam, lParam, std::move(text));
    QObject* const window = MainWindow();
    if (!window)
        return 0;
    if (window->thread() != QThread::currentThread()) {
        qWarning("SendAppMessage(0x%x) called off the main window's thread; not delivered", message);
        return 0;
    }
    QCoreApplication::sendEvent(window, &event);
    return event.result;
}

} // namespace platform
