#pragma once
// The desktop's top-level windows as the clock asks about them: id, visibility,
// minimised state, title, class name, owner and rectangle, from the top of the
// stacking order down.
//
// Under a window manager the list is the manager's client list in stacking
// order (_NET_CLIENT_LIST_STACKING); without one it is the root window's
// children (XQueryTree). A window's rectangle is the one it covers on the
// screen, decorations included. Desktop-type windows (the desktop background
// a desktop environment draws) carry the class name "Progman", the name the
// clock's code knows them by.
#include <QRect>
#include <QString>
#include <vector>

namespace platform {

using WindowId = unsigned long;

struct TopLevelWindow
{
    WindowId id = 0;
    bool visible = false;
    bool minimized = false;
    QString title;
    QString className;
    // The window it is transient for, when that one is on the desktop itself
    // (shown or minimised); 0 for none, and for the hidden group leaders that
    // toolkits make their windows transient for.
    WindowId owner = 0;
    QRect rect; // screen pixels
};

// Every top-level window, topmost first. Empty without an X display.
std::vector<TopLevelWindow> EnumTopLevelWindows();

} // namespace platform
