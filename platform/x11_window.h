#pragma once
// The X11 properties of a window that Qt does not set itself.
#include <QString>

class QWidget;

namespace platform {

// Names the window's X11 class (WM_CLASS, instance and class alike), by which
// other programs find it. Qt names every window's class after the application,
// once, at its first window: call this whenever the window's native window is
// (re)made. Does nothing before the native window exists or off X11.
void SetWindowClass(QWidget& window, const QString& className);

} // namespace platform
