#pragma once
// Real input on the test display: xdotool moves the pointer, clicks and types
// through the X server, as a user would.
#include <QStringList>

namespace lmd::test {

// Runs xdotool with the arguments (its own "sleep" steps included); true when it
// ended well.
bool Xdotool(const QStringList& arguments);

} // namespace lmd::test
