#include "platform/x11_window.h"

#include <QGuiApplication>
#include <QWidget>

// Xlib last: its macros clash with Qt names.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace platform {

void SetWindowClass(QWidget& window, const QString& className)
{
    if (!window.testAttribute(Qt::WA_WState_Created))
        return;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    Display* display = x11 ? x11->display() : nullptr;
    if (!display)
        return;
    QByteArray name = className.toLatin1();
    XClassHint hint{name.data(), name.data()};
    XSetClassHint(display, static_cast<::Window>(window.internalWinId()), &hint);
    XFlush(display);
}

} // namespace platform
