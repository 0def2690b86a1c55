#pragma once
// Pixel-exact drawing of the classic control shapes the owner-drawn controls
// are made of: solid fills, one-pixel frames, 3D rectangles, edges, the push
// button frame, polylines and the dotted focus rectangle. Rectangles follow the
// Windows convention: right and bottom are exclusive (QRect(left, top, width,
// height) covers left .. left + width - 1).
#include "platform/surface.h"

#include <QPoint>
#include <QRect>
#include <initializer_list>

class QPainter;

namespace controls {

// DrawEdge border kinds and sides, with the values Windows gives them.
enum EdgeStyle : unsigned
{
    BDR_RAISEDOUTER = 0x1,
    BDR_SUNKENOUTER = 0x2,
    BDR_RAISEDINNER = 0x4,
    BDR_SUNKENINNER = 0x8,
    EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER,
    EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER,
    EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER,
};
enum EdgeSide : unsigned
{
    BF_LEFT = 0x1,
    BF_TOP = 0x2,
    BF_RIGHT = 0x4,
    BF_BOTTOM = 0x8,
    BF_RECT = 0xF,
};

void FillSolidRect(QPainter& painter, const QRect& rect, platform::COLORREF colour);
// A one-pixel frame just inside the rectangle (FrameRect).
void FrameRect(QPainter& painter, const QRect& rect, platform::COLORREF colour);
// Top and left lines in topLeft, bottom and right lines in bottomRight; the
// bottom-right colour owns the two corners it shares (Draw3dRect).
void Draw3dRect(QPainter& painter, const QRect& rect, platform::COLORREF topLeft,
                platform::COLORREF bottomRight);
// The outer and inner borders of an edge style on the chosen sides, in the
// system's 3D colours (outer first, then the inner one a pixel further in).
void DrawEdge(QPainter& painter, const QRect& rect, unsigned edge, unsigned sides);
// A push-button frame filled with the button face: raised, or sunken when
// pushed. Returns the rectangle inside the frame.
QRect DrawPushButtonFrame(QPainter& painter, const QRect& rect, bool pushed);
// Horizontal and vertical segments through the points; each segment stops one
// pixel before its end point, as GDI lines do (so the last point is not drawn).
void Polyline(QPainter& painter, std::initializer_list<QPoint> points, platform::COLORREF colour);
// Every other pixel of the rectangle's outline (DrawFocusRect).
void DrawFocusRect(QPainter& painter, const QRect& rect, platform::COLORREF colour);

} // namespace controls
