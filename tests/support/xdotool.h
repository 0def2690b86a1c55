#pragma once
// Real input on the test display: xdotool moves the pointer, clicks and types
// through the X server, as a user would.
#include <QPoint>
#include <QStringList>

namespace lmd::test {

// Runs xdotool with the arguments (its own "sleep" steps included); true when it
// ended well.
bool Xdotool(const QStringList& arguments);

// A real click of the mouse button at the point of the screen. (The server
// takes the pointer's move before the click, so the click lands there without
// waiting for the move to be reported.)
bool Click(QPoint point, int button = 1);

} // namespace lmd::test
