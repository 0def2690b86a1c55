#include "controls/gdi_draw.h"

#include "platform/dialog.h"

#include <QPainter>
#include <algorithm>
#include <cstdlib>

using platform::COLORREF;

namespace controls {
namespace {

QColor Colour(COLORREF c)
{
    return platform::ToQColor(c);
}

// One border ring: top-left colour on the top and left sides, bottom-right on
// the others.
void EdgeRing(QPainter& painter, const QRect& r, unsigned sides, int topLeftIndex, int bottomRightIndex)
{
    const COLORREF tl = platform::GetSysColor(topLeftIndex);
    const COLORREF br = platform::GetSysColor(bottomRightIndex);
    if (sides & BF_TOP)
        FillSolidRect(painter, QRect(r.left(), r.top(), r.width(), 1), tl);
    if (sides & BF_LEFT)
        FillSolidRect(painter, QRect(r.left(), r.top(), 1, r.height()), tl);
    if (sides & BF_BOTTOM)
        FillSolidRect(painter, QRect(r.left(), r.bottom(), r.width(), 1), br);
    if (sides & BF_RIGHT)
        FillSolidRect(painter, QRect(r.right(), r.top(), 1, r.height()), br);
}

} // namespace

void FillSolidRect(QPainter& painter, const QRect& rect, COLORREF colour)
{
    if (rect.width() > 0 && rect.height() > 0)
        painter.fillRect(rect, Colour(colour));
}

void FrameRect(QPainter& painter, const QRect& rect, COLORREF colour)
{
    Draw3dRect(painter, rect, colour, colour);
}

void Draw3dRect(QPainter& painter, const QRect& rect, COLORREF topLeft, COLORREF bottomRight)
{
    const int x = rect.left();
    const int y = rect.top();
    const int cx = rect.width();
    const int cy = rect.height();
    FillSolidRect(painter, QRect(x, y, cx - 1, 1), topLeft);
    FillSolidRect(painter, QRect(x, y, 1, cy - 1), topLeft);
    FillSolidRect(painter, QRect(x + cx - 1, y, 1, cy), bottomRight);
    FillSolidRect(painter, QRect(x, y + cy - 1, cx, 1), bottomRight);
}

void DrawEdge(QPainter& painter, const QRect& rect, unsigned edge, unsigned sides)
{
    using namespace platform;
    QRect r = rect;
    if (edge & BDR_RAISEDOUTER)
        EdgeRing(painter, r, sides, COLOR_3DLIGHT, COLOR_3DDKSHADOW);
    else if (edge & BDR_SUNKENOUTER)
        EdgeRing(painter, r, sides, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT);
    if (edge & (BDR_RAISEDOUTER | BDR_SUNKENOUTER))
        r.adjust(sides & BF_LEFT ? 1 : 0, sides & BF_TOP ? 1 : 0, sides & BF_RIGHT ? -1 : 0,
                 sides & BF_BOTTOM ? -1 : 0);
    if (edge & BDR_RAISEDINNER)
        EdgeRing(painter, r, sides, COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW);
    else if (edge & BDR_SUNKENINNER)
        EdgeRing(painter, r, sides, COLOR_3DDKSHADOW, COLOR_3DLIGHT);
}

QRect DrawPushButtonFrame(QPainter& painter, const QRect& rect, bool pushed)
{
    FillSolidRect(painter, rect, platform::GetSysColor(platform::COLOR_BTNFACE));
    DrawEdge(painter, rect, pushed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    return rect.adjusted(2, 2, -2, -2);
}

void Polyline(QPainter& painter, std::initializer_list<QPoint> points, COLORREF colour)
{
    if (points.size() < 2)
        return;
    const QPoint* p = points.begin();
    for (const QPoint* q = p + 1; q != points.end(); p = q, ++q) {
        // The pixels from *p up to, not including, *q.
        const int dx = q->x() > p->x() ? 1 : q->x() < p->x() ? -1 : 0;
        const int dy = q->y() > p->y() ? 1 : q->y() < p->y() ? -1 : 0;
        const int n = std::max(std::abs(q->x() - p->x()), std::abs(q->y() - p->y()));
        if (n == 0)
            continue;
        const QPoint last = *p + QPoint(dx, dy) * (n - 1);
        FillSolidRect(painter,
                      QRect(QPoint(std::min(p->x(), last.x()), std::min(p->y(), last.y())),
                            QPoint(std::max(p->x(), last.x()), std::max(p->y(), last.y()))),
                      colour);
    }
}

void DrawFocusRect(QPainter& painter, const QRect& rect, COLORREF colour)
{
    if (rect.width() <= 0 || rect.height() <= 0)
        return;
    const QColor c = Colour(colour);
    // Walk the outline clockwise, setting every other pixel.
    int step = 0;
    const auto dot = [&](int x, int y) {
        if ((step++ & 1) == 0)
            painter.fillRect(x, y, 1, 1, c);
    };
    for (int x = rect.left(); x < rect.right(); ++x)
        dot(x, rect.top());
    for (int y = rect.top(); y < rect.bottom(); ++y)
        dot(rect.right(), y);
    for (int x = rect.right(); x > rect.left(); --x)
        dot(x, rect.bottom());
    for (int y = rect.bottom(); y > rect.top(); --y)
        dot(rect.left(), y);
    if (rect.width() == 1 && rect.height() == 1)
        dot(rect.left(), rect.top());
}

} // namespace controls
