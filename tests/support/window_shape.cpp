#include "tests/support/window_shape.h"

#include "platform/x11_window.h"

#include <QGuiApplication>
#include <QWidget>

// Xlib last: its macros clash with Qt names.
#include <X11/Xlib.h>
#include <X11/extensions/shape.h>

namespace lmd::test {

namespace {

Display* XDisplay()
{
    return qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->display();
}

} // namespace

QRegion ShapeRegion(const QWidget& window, XShape kind)
{
    int count = 0;
    int ordering = 0;
    XRectangle* rects =
        XShapeGetRectangles(XDisplay(), platform::CurrentXWindow(window),
                            kind == XShape::Bounding ? ShapeBounding : ShapeInput, &count, &ordering);
    QRegion region;
    for (int i = 0; i < count; ++i)
        region += QRect(rects[i].x, rects[i].y, rects[i].width, rects[i].height);
    if (rects)
        XFree(rects);
    return region;
}

QRect ShapeExtents(const QWidget& window)
{
    Bool bounding = False;
    Bool clip = False;
    int x = 0, y = 0, cx = 0, cy = 0;
    unsigned w = 0, h = 0, cw = 0, ch = 0;
    XShapeQueryExtents(XDisplay(), platform::CurrentXWindow(window), &bounding, &x, &y, &w, &h, &clip, &cx,
                       &cy, &cw, &ch);
    return bounding ? QRect(x, y, static_cast<int>(w), static_cast<int>(h)) : QRect();
}

} // namespace lmd::test
