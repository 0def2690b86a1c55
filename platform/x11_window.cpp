#include "platform/x11_window.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

// Xlib last: its macros clash with Qt names.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace platform {

unsigned long CurrentXWindow(const QWidget& window)
{
    const QWindow* handle = window.windowHandle();
    return handle && handle->handle() ? static_cast<unsigned long>(handle->winId()) : 0;
}

void SetWindowClass(QWidget& window, const QString& className)
{
    const ::Window id = CurrentXWindow(window);
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    Display* display = x11 ? x11->display() : nullptr;
    if (!id || !display)
        return;
    QByteArray name = className.toLatin1();
    XClassHint hint{name.data(), name.data()};
    XSetClassHint(display, id, &hint);
    XFlush(display);
}

} // namespace platform
