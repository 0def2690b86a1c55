// The clock's drag cursors: "PAN_OPEN_CUR", an open hand over the clock, and
// "PAN_GRAB_CUR", the hand closed while it drags. 32 by 32, hot spot in the palm.
#include "tools/assetgen/art.h"
#include "tools/assetgen/assetgen.h"

#include <QPainterPath>
#include <algorithm>

namespace {

constexpr int kSide = 32;
const QPoint kHotSpot(16, 16);

// A hand seen from its back; closed folds the fingers down to their knuckles.
QImage Hand(bool closed)
{
    QImage picture = assetgen::NewPicture(kSide, kSide);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);

    QPainterPath hand;
    hand.addRoundedRect(QRectF(9, 13, 15, 14), 5, 5); // palm
    const auto add = [&hand](const QPainterPath& part) { hand = hand.united(part); };
    const double fingerTop = closed ? 10.5 : 3.5;
    const double lengths[] = {0, 1.5, 0.5, 3};
    for (int i = 0; i < 4; ++i) {
        const double top = fingerTop + lengths[i];
        QPainterPath finger;
        finger.addRoundedRect(QRectF(9.3 + i * 3.6, top, 4.0, 18 - top), 1.9, 1.9);
        add(finger);
    }
    // The thumb, out to the side when open, tucked in when closed.
    QPainterPath thumb;
    thumb.addRoundedRect(QRectF(-1.8, -6, 3.6, 9), 1.8, 1.8);
    QTransform turn;
    turn.translate(closed ? 9.5 : 7.5, closed ? 18 : 19);
    turn.rotate(closed ? -60 : -40);
    add(turn.map(thumb));

    p.setPen(QPen(Qt::black, 1.2));
    p.setBrush(Qt::white);
    p.drawPath(hand);
    // The gaps between the fingers.
    p.setPen(QPen(QColor(90, 90, 90), 0.8));
    for (int i = 1; i < 4; ++i) {
        const double x = 9.5 + i * 3.6;
        p.drawLine(QPointF(x, fingerTop + std::max(lengths[i - 1], lengths[i]) + 2),
                   QPointF(x, closed ? 14 : 16));
    }
    p.end();
    return picture.convertToFormat(QImage::Format_ARGB32);
}

} // namespace

LMD_ASSET_GENERATOR(pan_cursors)
{
    out.Cursor("PAN_OPEN_CUR", Hand(false), kHotSpot);
    out.Cursor("PAN_GRAB_CUR", Hand(true), kHotSpot);
}
