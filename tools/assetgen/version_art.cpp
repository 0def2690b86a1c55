// The version page's picture "AUTHOR", 130 x 130: a garden pond seen from
// above, with pebbles on its bed, two koi, lily pads with a flower and the
// clock's emblem lying on a stone, so the water the page ripples over it has
// plenty of edges and colours to bend.
#include "tools/assetgen/art.h"
#include "tools/assetgen/assetgen.h"

#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>
#include <array>
#include <cmath>
#include <tuple>

namespace {

constexpr int kSize = 130;

// Deep green-blue water, lighter where the sky shows at the top left.
void PaintWater(QPainter& p)
{
    QRadialGradient water(QPointF(36, 30), 150);
    water.setColorAt(0, QColor(96, 168, 170));
    water.setColorAt(0.5, QColor(40, 110, 120));
    water.setColorAt(1, QColor(14, 52, 66));
    p.fillRect(QRect(0, 0, kSize, kSize), water);
}

// Rounded pebbles on the pond's bed, in a fixed scatter of earthy colours.
void PaintPebbles(QPainter& p)
{
    struct Pebble
    {
        qreal x, y, rx, ry, angle;
        QColor colour;
    };
    static const std::array<Pebble, 12> kPebbles{{
        {12, 112, 9, 6, 20, QColor(120, 112, 96)},
        {30, 122, 7, 5, -15, QColor(150, 138, 116)},
        {48, 116, 6, 4, 40, QColor(98, 94, 88)},
        {118, 20, 8, 6, 10, QColor(132, 120, 100)},
        {104, 8, 6, 4, -30, QColor(110, 104, 98)},
        {122, 44, 5, 4, 60, QColor(146, 130, 104)},
        {8, 10, 7, 5, 35, QColor(104, 100, 92)},
        {70, 124, 8, 5, 5, QColor(126, 116, 100)},
        {124, 96, 6, 5, -40, QColor(100, 96, 90)},
        {6, 64, 5, 7, 0, QColor(136, 124, 106)},
        {90, 126, 5, 3, 15, QColor(92, 88, 84)},
        {60, 6, 6, 4, -10, QColor(140, 132, 112)},
    }};
    for (const Pebble& pebble : kPebbles) {
        p.save();
        p.translate(pebble.x, pebble.y);
        p.rotate(pebble.angle);
        QRadialGradient stone(QPointF(-pebble.rx * 0.4, -pebble.ry * 0.4), pebble.rx * 1.4);
        stone.setColorAt(0, pebble.colour.lighter(135));
        stone.setColorAt(1, pebble.colour.darker(140));
        p.setPen(Qt::NoPen);
        p.setBrush(stone);
        p.drawEllipse(QPointF(0, 0), pebble.rx, pebble.ry);
        p.restore();
    }
}

// A koi seen from above, nose along +x, length 40: body, tail fin, side fins
// and red-orange patches on white.
void PaintKoi(QPainter& p, QPointF at, qreal angle, QColor patch)
{
    p.save();
    p.translate(at);
    p.rotate(angle);
    p.setPen(Qt::NoPen);

    QPainterPath tail;
    tail.moveTo(-14, 0);
    tail.cubicTo(-20, -2, -24, -8, -27, -9);
    tail.cubicTo(-25, -3, -25, 3, -27, 9);
    tail.cubicTo(-24, 8, -20, 2, -14, 0);
    p.setBrush(QColor(250, 236, 220, 220));
    p.drawPath(tail);
    for (const int side : {-1, 1}) {
        QPainterPath fin;
        fin.moveTo(6, side * 4);
        fin.cubicTo(4, side * 9, 0, side * 11, -2, side * 10);
        fin.cubicTo(0, side * 7, 2, side * 5, 6, side * 4);
        p.drawPath(fin);
    }

    QPainterPath body;
    body.moveTo(16, 0);
    body.cubicTo(15, -5, 6, -6.5, -2, -5.5);
    body.cubicTo(-9, -4.5, -13, -2, -15, 0);
    body.cubicTo(-13, 2, -9, 4.5, -2, 5.5);
    body.cubicTo(6, 6.5, 15, 5, 16, 0);
    p.setBrush(QColor(252, 248, 240));
    p.drawPath(body);
    p.save();
    p.setClipPath(body);
    p.setBrush(patch);
    p.drawEllipse(QPointF(10, -2), 6, 5);
    p.drawEllipse(QPointF(-3, 2), 7, 4.5);
    p.drawEllipse(QPointF(-11, -2), 3, 2.5);
    p.restore();
    p.setBrush(QColor(20, 20, 24));
    p.drawEllipse(QPointF(12, -2.6), 0.9, 0.9);
    p.drawEllipse(QPointF(12, 2.6), 0.9, 0.9);
    p.restore();
}

// A round lily pad with its notch, veins and a darker rim.
void PaintLilyPad(QPainter& p, QPointF centre, qreal radius, qreal notchAngle)
{
    QPainterPath pad;
    pad.moveTo(centre);
    pad.arcTo(QRectF(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius), notchAngle + 12, 336);
    pad.closeSubpath();
    QRadialGradient leaf(centre, radius);
    leaf.setColorAt(0, QColor(130, 186, 80));
    leaf.setColorAt(0.85, QColor(70, 140, 52));
    leaf.setColorAt(1, QColor(40, 96, 38));
    p.setPen(QPen(QColor(36, 80, 30), 0.8));
    p.setBrush(leaf);
    p.drawPath(pad);
    p.setPen(QPen(QColor(160, 206, 110, 150), 0.6));
    for (int i = 1; i < 8; ++i) {
        const qreal a = qDegreesToRadians(notchAngle + 12 + i * 42.0);
        p.drawLine(centre, centre + QPointF(std::cos(a), -std::sin(a)) * radius * 0.85);
    }
}

// A pink water lily: two rings of pointed petals around a yellow heart.
void PaintLily(QPainter& p, QPointF centre)
{
    p.save();
    p.translate(centre);
    p.setPen(QPen(QColor(190, 90, 130), 0.6));
    for (const auto& [count, length, colour, offset] :
         {std::tuple{8, 9.0, QColor(248, 196, 216), 0.0}, std::tuple{6, 6.0, QColor(255, 226, 236), 30.0}}) {
        for (int i = 0; i < count; ++i) {
            p.save();
            p.rotate(offset + i * 360.0 / count);
            QPainterPath petal;
            petal.moveTo(0, 0);
            petal.cubicTo(length * 0.3, -length * 0.35, length * 0.8, -length * 0.2, length, 0);
            petal.cubicTo(length * 0.8, length * 0.2, length * 0.3, length * 0.35, 0, 0);
            p.setBrush(colour);
            p.drawPath(petal);
            p.restore();
        }
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(250, 210, 60));
    p.drawEllipse(QPointF(0, 0), 2.2, 2.2);
    p.restore();
}

} // namespace

LMD_ASSET_GENERATOR(version_art)
{
    QImage picture = assetgen::NewPicture(kSize, kSize, Qt::black);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    PaintWater(p);
    PaintPebbles(p);
    // The clock's emblem on a flat stone under the water.
    assetgen::PaintCircleShadow(p, QPointF(84, 78), 17, QPointF(2, 3), 3, 110);
    assetgen::PaintRoundClock(p, QPointF(84, 78), 17, QTime(3, 50));
    PaintKoi(p, QPointF(42, 44), 25, QColor(232, 84, 36));
    PaintKoi(p, QPointF(62, 104), -160, QColor(214, 40, 30));
    PaintLilyPad(p, QPointF(104, 36), 15, 200);
    PaintLilyPad(p, QPointF(22, 88), 11, 30);
    PaintLilyPad(p, QPointF(114, 116), 9, 120);
    PaintLily(p, QPointF(100, 32));
    p.end();
    out.Bitmap("AUTHOR", picture.convertToFormat(QImage::Format_RGB32));
}
