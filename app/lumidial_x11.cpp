// The clock window's X11 class: other programs (and the clock's own overlap
// check) find the window by the class name "LMDClass". Qt names every window's
// class after the application once, at its first window, so the class is set
// on this window itself, whenever its native window is (re)made.
#include "app/lmd_app.h"
#include "app/lumidial.h"

#include <QGuiApplication>

// Xlib last: its macros clash with Qt names.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

void CLumidial::ApplyWindowClass()
{
    if (!testAttribute(Qt::WA_WState_Created))
        return;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    Display* display = x11 ? x11->display() : nullptr;
    if (!display)
        return;
    QByteArray name = theApp.m_strClassName.toLatin1();
    XClassHint hint{name.data(), name.data()};
    XSetClassHint(display, static_cast<Window>(internalWinId()), &hint);
    XFlush(display);
}
