#pragma once
// The clock's view of the windows around it: which windows lie under it (the
// overlap check, which re-captures the desktop when they change) and the
// diagnostic list of the windows below it.
#include "platform/window_list.h"

#include <QRect>
#include <QString>
#include <vector>

// One window that overlaps the clock, as the overlap check compares it.
struct WindowInfo
{
    QRect rect;
    QString title;
    QString className;

    // True when class name, title or rectangle differ.
    bool Differs(const WindowInfo& other) const;
};

inline constexpr int kMaxWindowsBelow = 400; // windows walked by the diagnostic list

// The visible, not minimised windows whose rectangle intersects clockRect, in
// the order given (topmost first). With dropAbove, the windows above the first
// one of class clockClass (the clock itself) are left out.
std::vector<WindowInfo> OverlappingWindows(const std::vector<platform::TopLevelWindow>& windows,
                                           const QRect& clockRect, const QString& clockClass, bool dropAbove);

// How many re-captures a change between two overlap lists asks for: with
// oneForAnyChange (the timed check), 1 when the lists differ in length or in
// any position; otherwise (the manual check) 1 for a change of length, else one
// for each position that differs.
int RecapturesFor(const std::vector<WindowInfo>& previous, const std::vector<WindowInfo>& current,
                  bool oneForAnyChange);

// The diagnostic list: of the windows below `clock` in the stack (at most
// kMaxWindowsBelow of them walked), those that are visible, not minimised,
// without owner, titled, not the desktop ("Progman") and intersecting
// clockRect.
std::vector<platform::TopLevelWindow> WindowsBelow(const std::vector<platform::TopLevelWindow>& windows,
                                                   platform::WindowId clock, const QRect& clockRect);
