#pragma once
// The X11 properties of a window that Qt does not set itself.
#include <QString>

class QWidget;

namespace platform {

// The X window a widget shows in now (0 while it has none). QWidget::winId
// may still name a native window that a change of window flags has replaced;
// the widget's QWindow knows the current one.
unsigned long CurrentXWindow(const QWidget& window);

// Names the window's X11 class (WM_CLASS, instance and class alike), by which
// other programs find it. Qt names every window's class after the application,
// once, at its first window: call this whenever the window's native window is
// (re)made. Does nothing before the native window exists or off X11.
void SetWindowClass(QWidget& window, const QString& className);

} // namespace platform
