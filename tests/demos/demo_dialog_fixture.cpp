#include "tests/demos/demo_dialog_fixture.h"

#include <QGuiApplication>

// Xlib last: its macros clash with Qt names.
#include <X11/Xlib.h>

namespace lmd::test {

void SendCaptionClose(QWidget& window)
{
    Display* const display = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->display();
    XEvent message{};
    message.xclient.type = ClientMessage;
    message.xclient.window = window.winId();
    message.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    message.xclient.format = 32;
    message.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    message.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window.winId(), False, NoEventMask, &message);
    XFlush(display);
}

} // namespace lmd::test
