#pragma once
// The X11 properties of a window that Qt does not set itself, kept on every X
// window Qt makes for the widget.
//
// Qt may replace a widget's X window while the widget lives on: a change of the
// stays-on-top flag makes a new one inside the next show() (after the widget's
// Show event, before its ShowToParent), and a re-created platform window has a
// new one too. Properties set on the old X window (class, shapes) go with it.
// KeepOnEachXWindow applies a property to the X window the widget has now and
// again to each later one, as soon as the widget or its QWindow hears of it
// (ShowToParent, WinIdChange, PlatformSurface, Expose), so callers set a
// property once and need not follow Qt's re-creations.
#include <QString>
#include <functional>

class QWidget;
struct _XDisplay; // Xlib's Display

namespace platform {

// The application's X display (Xlib's side of Qt's connection); null off X11.
_XDisplay* XDisplay();

// The X window a widget shows in now (0 while it has none). QWidget::winId
// may still name a native window that a change of window flags has replaced;
// the widget's QWindow knows the current one.
unsigned long CurrentXWindow(const QWidget& window);

// Applies `apply` to the widget's X window now (when it has one) and to every
// X window Qt makes for the widget later, once each. The widget keeps one such
// property per `name`, until the widget ends: a later call with the same name
// replaces the property and applies the new one at once.
void KeepOnEachXWindow(QWidget& window, const QString& name, std::function<void(unsigned long)> apply);

// Names the window's X11 class (WM_CLASS, instance and class alike), by which
// other programs find it, on each X window the widget has (Qt names every
// window's class after the application). Off X11 it does nothing.
void SetWindowClass(QWidget& window, const QString& className);

} // namespace platform
