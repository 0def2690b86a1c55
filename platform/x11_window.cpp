#include "platform/x11_window.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QWidget>
#include <QWindow>
#include <utility>

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
