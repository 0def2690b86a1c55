#include "platform/window_region.h"

#include "platform/x11_window.h"

#include <QWidget>
#include <algorithm>
#include <cmath>
#include <vector>

// Xlib last: its macros clash with Qt names.
#include <X11/Xlib.h>
#include <X11/extensions/shape.h>

namespace platform {

QRegion RoundRectRegion(const QRect& rect, int cornerWidth, int cornerHeight)
{
    if (rect.isEmpty())
        return {};
    const double rx = std::clamp(cornerWidth, 0, rect.width()) / 2.0;
    const double ry = std::clamp(cornerHeight, 0, rect.height()) / 2.0;
    if (rx <= 0 || ry <= 0)
        return QRegion(rect);
    // Row by row: a row inside a corner band is inset by where the corner's
    // ellipse crosses the row's centre line.
    QRegion region;
    for (int row = 0; row < rect.height(); ++row) {
        const double fromEdge = std::min(row, rect.height() - 1 - row) + 0.5;
        int inset = 0;
        if (fromEdge < ry) {
            const double dy = (ry - fromEdge) / ry;
            inset = static_cast<int>(std::lround(rx - rx * std::sqrt(1.0 - dy * dy)));
        }
        if (rect.width() > 2 * inset)
            region += QRect(rect.left() + inset, rect.top() + row, rect.width() - 2 * inset, 1);
    }
    return region;
}

namespace {

// Sets one shape (ShapeBounding or ShapeInput) of an X window to the region, or
// removes it for an empty region.
void SetShape(Display* display, ::Window id, int kind, const QRegion& region)
{
    if (region.isEmpty()) {
        XShapeCombineMask(display, id, kind, 0, 0, None, ShapeSet);
        return;
    }
    std::vector<XRectangle> rects;
    rects.reserve(static_cast<std::size_t>(region.rectCount()));
    for (const QRect& r : region)
        rects.push_back({static_cast<short>(r.x()), static_cast<short>(r.y()),
                         static_cast<unsigned short>(r.width()), static_cast<unsigned short>(r.height())});
    XShapeCombineRectangles(display, id, kind, 0, 0, rects.data(), static_cast<int>(rects.size()), ShapeSet,
                            Unsorted);
}

} // namespace

void SetWindowRgn(QWidget& window, const QRegion& region)
{
    KeepOnEachXWindow(window, QStringLiteral("lmd-x11-shape"), [region](unsigned long id) {
        Display* const display = XDisplay();
        if (!display)
            return;
        SetShape(display, id, ShapeBounding, region); // where the window has pixels
        SetShape(display, id, ShapeInput, region);    // where the pointer belongs to it
        XFlush(display);
    });
}

} // namespace platform
