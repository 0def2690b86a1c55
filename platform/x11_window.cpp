#include "platform/x11_window.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QWidget>
#include <QWindow>
#include <cstdlib>
#include <memory>
#include <utility>
#include <xcb/xcb.h>

// Xlib last: its macros clash with Qt names.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#undef Expose // Xlib's event name, which would hide QEvent::Expose

namespace platform {

namespace {

// One kept property of a widget's X windows: a child of the widget, named after
// the property, that watches the widget and its QWindow for a new X window.
class XWindowProperty final : public QObject
{
public:
    XWindowProperty(QWidget& window, const QString& name) : QObject(&window), window_(window)
    {
        setObjectName(name);
        window.installEventFilter(this);
    }

    void Set(std::function<void(unsigned long)> apply)
    {
        apply_ = std::move(apply);
        appliedTo_ = 0;
        Follow();
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::ShowToParent:    // after show() made a new X window
        case QEvent::WinIdChange:     // the widget's own native window changed
        case QEvent::PlatformSurface: // the QWindow made its platform window
        case QEvent::Expose:          // any X window about to be seen
            Follow();
            break;
        default:
            break;
        }
        return false;
    }

private:
    // Applies the property to the current X window unless it has it already,
    // and watches the widget's current QWindow (a re-created widget has a new one).
    void Follow()
    {
        QWindow* const handle = window_.windowHandle();
        if (handle && handle != watched_) {
            handle->installEventFilter(this);
            watched_ = handle;
        }
        const unsigned long id = CurrentXWindow(window_);
        if (id && id != appliedTo_) {
            apply_(id);
            appliedTo_ = id;
        }
    }

    QWidget& window_;
    QPointer<QWindow> watched_;
    std::function<void(unsigned long)> apply_;
    unsigned long appliedTo_ = 0;
};

xcb_connection_t* XConnection()
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

// Whether the X window and all its ancestors are mapped: only then does the
// server's answer to "where is it" name a settled place on the screen.
bool ShowsOnScreen(xcb_connection_t* connection, xcb_window_t id)
{
    const std::unique_ptr<xcb_get_window_attributes_reply_t, decltype(&std::free)> attributes(
        xcb_get_window_attributes_reply(connection, xcb_get_window_attributes(connection, id), nullptr),
        &std::free);
    return attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
}

// The program's top-level window that shows in the X window, or null.
QWindow* TopLevelWindowIn(xcb_window_t id)
{
    for (QWindow* window : QGuiApplication::topLevelWindows()) {
        if (window->handle() && window->winId() == id)
            return window;
    }
    return nullptr;
}

// Sees the X events before Qt handles them. A ConfigureNotify that the server
// generated for a top-level window of the program while that window is not
// viewable becomes one as a window manager sends (ICCCM 4.1.5: marked as sent,
// in root coordinates), at the place Qt already has for the window; Qt then
// takes the place from the event instead of asking the server for it.
class RealPositionKeeper final : public QObject, public QAbstractNativeEventFilter
{
public:
    static constexpr const char* kName = "lmd-x11-positions";

    explicit RealPositionKeeper(QCoreApplication& application) : QObject(&application)
    {
        setObjectName(QString::fromLatin1(kName));
        application.installNativeEventFilter(this);
    }

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override
    {
        if (type != "xcb_generic_event_t")
            return false;
        auto* const event = static_cast<xcb_generic_event_t*>(message);
        // The server's own ConfigureNotify only: one that a client sent has the top bit set.
        if (event->response_type != XCB_CONFIGURE_NOTIFY)
            return false;
        auto* const configure = reinterpret_cast<xcb_configure_notify_event_t*>(event);
        if (configure->event != configure->window)
            return false; // reported to the parent, which Qt does not ask for
        const QWindow* const window = TopLevelWindowIn(configure->window);
        xcb_connection_t* const connection = XConnection();
        if (!window || !connection || ShowsOnScreen(connection, configure->window))
            return false; // Qt's own question gets the settled place
        const QPoint asked = window->position();
        configure->response_type |= 0x80;
        configure->x = static_cast<int16_t>(asked.x());
        configure->y = static_cast<int16_t>(asked.y());
        return false; // Qt handles the event as it now stands
    }
};

} // namespace

Display* XDisplay()
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->display() : nullptr;
}

unsigned long CurrentXWindow(const QWidget& window)
{
    const QWindow* handle = window.windowHandle();
    return handle && handle->handle() ? static_cast<unsigned long>(handle->winId()) : 0;
}

void KeepOnEachXWindow(QWidget& window, const QString& name, std::function<void(unsigned long)> apply)
{
    for (QObject* child : window.children()) {
        if (auto* property = dynamic_cast<XWindowProperty*>(child);
            property && property->objectName() == name) {
            property->Set(std::move(apply));
            return;
        }
    }
    (new XWindowProperty(window, name))->Set(std::move(apply)); // owned by the window, as its child
}

void KeepRealWindowPositions()
{
    QCoreApplication* const application = QCoreApplication::instance();
    if (application && !application->findChild<QObject*>(QString::fromLatin1(RealPositionKeeper::kName),
                                                         Qt::FindDirectChildrenOnly))
        new RealPositionKeeper(*application); // owned by the application, as its child
}

void SetWindowClass(QWidget& window, const QString& className)
{
    KeepOnEachXWindow(window, QStringLiteral("lmd-x11-class"),
                      [name = className.toLatin1()](unsigned long id) {
                          Display* display = XDisplay();
                          if (!display)
                              return;
                          QByteArray text = name;
                          XClassHint hint{text.data(), text.data()};
                          XSetClassHint(display, id, &hint);
                          XFlush(display);
                      });
}

} // namespace platform
