#pragma once
// Window regions: the shape of a window, outside which it has neither pixels
// nor input, and the GDI-style region shapes the clock combines into it.
#include <QRect>
#include <QRegion>

class QWidget;

namespace platform {

// A rounded rectangle like the one GDI builds (CreateRoundRectRgn): the pixels of rect,
// with each corner cut along a quarter of an ellipse cornerWidth by
// cornerHeight. A corner size above the rectangle's is reduced to it.
QRegion RoundRectRegion(const QRect& rect, int cornerWidth, int cornerHeight);

// Sets the window's region (SetWindowRgn): what lies outside shows the windows
// below and lets the pointer reach them, clicks included. The region becomes the
// X bounding and input shapes of the window's X window, and of every X window Qt
// makes for it later (see KeepOnEachXWindow). No QWidget mask is set: the window
// paints its whole rectangle unclipped and the X server drops what lies outside.
// An empty region removes the shape.
void SetWindowRgn(QWidget& window, const QRegion& region);

} // namespace platform
