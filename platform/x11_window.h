#pragma once
// The X11 properties of a window that Qt does not set itself, kept on every X
// window Qt makes for the widget, and Qt's idea of where the program's windows
// stand, kept true to the X server's.
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

// Keeps Qt's idea of where each top-level window of the program stands on
// the screen (pos(), geometry(), mapToGlobal, mapFromGlobal) the X server's,
// from the first event after each show, on every X window Qt makes, from this
// call to the application's end (later calls change nothing).
//
// For a ConfigureNotify that the X server generated, Qt does not take the
// position from the event: it asks the server where the window is at the
// moment it handles the event. A window manager that frames its windows
// (openbox) takes a window being mapped into a frame that it creates at
// (0, 0), and moves that frame to the window's place only afterwards, telling
// the window nothing when that place is the one asked for. An event handled
// in between (the one for the window's own placement before its show, still
// queued; one the window manager causes while framing) gets (0, 0) for an
// answer, and Qt keeps that until the window is next moved: its QWindow at
// once, the widget too when the event is taken for a move. While a window is
// not viewable its place on the screen is not settled (unmapped, or mapped
// into a frame not yet placed): such an event here tells Qt the window's size
// and the place Qt asked for, as the window manager's own events do. Off X11
// it does nothing.
void KeepRealWindowPositions();

// Names the window's X11 class (WM_CLASS, instance and class alike), by which
// other programs find it, on each X window the widget has (Qt names every
// window's class after the application). Off X11 it does nothing.
void SetWindowClass(QWidget& window, const QString& className);

} // namespace platform
