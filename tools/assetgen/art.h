#pragma once
// Drawing helpers shared by the generators.
#include <QColor>
#include <QImage>
#include <QPainter>
#include <QTime>

namespace assetgen {

// A blank picture in premultiplied ARGB, filled with a colour (transparent by default).
QImage NewPicture(int width, int height, QColor fill = Qt::transparent);

// A soft blur (three box passes, close to a Gaussian of the given radius) for
// shadows and glows. Works on a premultiplied copy; the edges are clamped.
QImage Blurred(const QImage& picture, int radius);

// The clock's own emblem: a round clock with a metal bezel, a white face, hour
// and minute ticks and hands showing the given time, centred on centre.
// Small sizes (radius under 12) drop the minute ticks and the second hand.
void PaintRoundClock(QPainter& painter, QPointF centre, qreal radius, QTime time);

// A soft drop shadow of a circle, painted below whatever comes next.
void PaintCircleShadow(QPainter& painter, QPointF centre, qreal radius, QPointF offset, int blur, int alpha);

// A 16 x 16 button picture on white, its transparent colour: paint draws at
// the given size; what it covers at least half is made opaque over white (and
// never white itself), the rest is exactly white, so no pale fringe remains.
inline constexpr int kButtonPicture = 16;
QImage ButtonPicture(void (*paint)(QPainter&, qreal));

} // namespace assetgen
