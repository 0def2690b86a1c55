#pragma once
// Pictures of the desktop: a screen rectangle as it shows now, or as it shows
// behind a window of our own (taken while that window does not cover it).
#include "platform/surface.h"

#include <QRect>

class QWidget;

namespace platform {

// The screen rectangle as it is on the display now, area.width() by
// area.height(); parts outside the screen are black. An empty area gives an
// empty surface.
Surface CaptureScreen(const QRect& area);

// The screen rectangle as it is behind `window`: a visible window gives up its
// pixels first but stays mapped (so it keeps its place among the windows, and
// the windows it owns stay above it), the X server is synchronised, the windows
// below get the chance to repaint (events are processed until two successive
// pictures agree, bounded to a short wait), the picture is taken and the window
// shows again. The picture never holds the window itself. A window that is not
// visible is not touched.
Surface CaptureBehind(QWidget& window, const QRect& area);

} // namespace platform
