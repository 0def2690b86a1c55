// The settings dialog's artwork: the tree's image strip "TREE_ITEM_IMAGE" (8
// images of 16 x 16 side by side, 128 x 16, on black, the mask colour) and the
// dialog's icon "LMD_ICON_GEAR", a gear at 16, 32 and 48 pixels.
//
// Strip images, by tree order: dial, digital readout, frame, effects, general,
// alarm, version, and a spare (a gear).
#include "tools/assetgen/art.h"
#include "tools/assetgen/assetgen.h"

#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>

namespace {

constexpr int kImage = 16;
constexpr int kImageCount = 8;

// What was painted with at least half coverage, made opaque over white and
// never pure black; the rest exactly black, the mask colour, so the tree cuts
// it out without a dark fringe.
QImage OnBlackMask(const QImage& painted)
{
    QImage out(painted.size(), QImage::Format_RGB32);
    for (int y = 0; y < painted.height(); ++y) {
        for (int x = 0; x < painted.width(); ++x) {
            const QColor c = QColor::fromRgba(painted.pixel(x, y));
            if (c.alpha() < 128) {
                out.setPixel(x, y, qRgb(0, 0, 0));
                continue;
            }
            const auto over = [&](int v) { return std::max(8, (v * c.alpha() + 255 * (255 - c.alpha())) / 255); };
            out.setPixel(x, y, qRgb(over(c.red()), over(c.green()), over(c.blue())));
        }
    }
    return out;
}

// A gear of n teeth around centre, outer radius r, with a hole.
void PaintGear(QPainter& p, QPointF centre, qreal r, QColor metal)
{
    constexpr int kTeeth = 8;
    QPainterPath gear;
    for (int i = 0; i < kTeeth * 4; ++i) {
        const qreal angle = (i - 0.5) * M_PI / (kTeeth * 2);
        const qreal radius = (i % 4 < 2) ? r : r * 0.72;
        const QPointF point = centre + QPointF(radius * qCos(angle), radius * qSin(angle));
        i == 0 ? gear.moveTo(point) : gear.lineTo(point);
    }
    gear.closeSubpath();
    QPainterPath hole;
    hole.addEllipse(centre, r * 0.28, r * 0.28);
    QRadialGradient shade(centre - QPointF(r * 0.3, r * 0.3), r * 1.4);
    shade.setColorAt(0, metal.lighter(150));
    shade.setColorAt(1, metal.darker(160));
    p.setPen(QPen(metal.darker(220), std::max<qreal>(0.8, r / 12)));
    p.setBrush(shade);
    p.drawPath(gear.subtracted(hole));
}

void PaintDial(QPainter& p)
{
    assetgen::PaintRoundClock(p, QPointF(8, 8), 7.5, QTime(10, 9));
}

void PaintDigital(QPainter& p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 44, 52));
    p.drawRoundedRect(QRectF(0.5, 3.5, 15, 9), 2, 2);
    p.setBrush(QColor(90, 255, 60));
    for (const int x : {3, 6, 10, 13})
        for (const int y : {6, 10})
            p.drawRect(QRectF(x - 1, y - 1, 1.6, 1.6));
    p.drawRect(QRectF(7.7, 6.2, 1, 1));
    p.drawRect(QRectF(7.7, 9.2, 1, 1));
}

void PaintFrame(QPainter& p)
{
    QRadialGradient ring(QPointF(6, 5), 10);
    ring.setColorAt(0, QColor(120, 200, 255));
    ring.setColorAt(1, QColor(20, 80, 170));
    QPainterPath path;
    path.addEllipse(QPointF(8, 8), 7.3, 7.3);
    QPainterPath inner;
    inner.addEllipse(QPointF(8, 8), 4.2, 4.2);
    p.setPen(Qt::NoPen);
    p.setBrush(ring);
    p.drawPath(path.subtracted(inner));
}

void PaintEffect(QPainter& p)
{
    // A four-pointed sparkle with a small one beside it.
    const auto star = [&](QPointF c, qreal r, QColor colour) {
        QPainterPath path;
        for (int i = 0; i < 8; ++i) {
            const qreal angle = i * M_PI / 4;
            const qreal radius = i % 2 ? r * 0.3 : r;
            const QPointF point = c + QPointF(radius * qSin(angle), -radius * qCos(angle));
            i == 0 ? path.moveTo(point) : path.lineTo(point);
        }
        path.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(colour);
        p.drawPath(path);
    };
    star(QPointF(6.5, 9), 6.5, QColor(255, 196, 40));
    star(QPointF(12.5, 3.5), 3.2, QColor(255, 120, 200));
}

void PaintGeneral(QPainter& p)
{
    // Three slider rails with their knobs.
    p.setPen(QPen(QColor(90, 90, 100), 1.4));
    for (const int y : {3, 8, 13})
        p.drawLine(QPointF(1.5, y), QPointF(14.5, y));
    p.setPen(QPen(QColor(30, 60, 120), 0.8));
    p.setBrush(QColor(110, 160, 240));
    for (const auto& [x, y] : {std::pair{5.0, 3.0}, {11.0, 8.0}, {7.0, 13.0}})
        p.drawRect(QRectF(x - 1.8, y - 2.2, 3.6, 4.4));
}

void PaintAlarm(QPainter& p)
{
    QPainterPath bell;
    bell.moveTo(2, 12.5);
    bell.cubicTo(4, 11, 3.5, 7, 4.2, 5.5);
    bell.cubicTo(5, 3.2, 6.5, 3, 8, 3);
    bell.cubicTo(9.5, 3, 11, 3.2, 11.8, 5.5);
    bell.cubicTo(12.5, 7, 12, 11, 14, 12.5);
    bell.closeSubpath();
    p.setPen(QPen(QColor(150, 40, 20), 0.9));
    p.setBrush(QColor(236, 80, 50));
    p.drawPath(bell);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(150, 40, 20));
    p.drawEllipse(QPointF(8, 13.4), 1.6, 1.4);
}

void PaintVersion(QPainter& p)
{
    p.setPen(QPen(QColor(20, 90, 40), 0.9));
    p.setBrush(QColor(60, 170, 90));
    p.drawEllipse(QPointF(8, 8), 7, 7);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(250, 250, 250));
    p.drawEllipse(QPointF(8, 4.6), 1.3, 1.3);
    p.drawRect(QRectF(6.9, 6.8, 2.2, 5.8));
}

void PaintSpare(QPainter& p)
{
    PaintGear(p, QPointF(8, 8), 7.4, QColor(150, 150, 160));
}

QImage TreeImages()
{
    using Paint = void (*)(QPainter&);
    constexpr Paint kPaints[kImageCount] = {&PaintDial,    &PaintDigital, &PaintFrame,   &PaintEffect,
                                            &PaintGeneral, &PaintAlarm,   &PaintVersion, &PaintSpare};
    QImage strip(kImage * kImageCount, kImage, QImage::Format_RGB32);
    QPainter out(&strip);
    for (int i = 0; i < kImageCount; ++i) {
        QImage image = assetgen::NewPicture(kImage, kImage);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        kPaints[i](p);
        p.end();
        out.drawImage(i * kImage, 0, OnBlackMask(image));
    }
    return strip;
}

QImage GearIcon(int size)
{
    QImage icon = assetgen::NewPicture(size, size);
    QPainter p(&icon);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal half = size / 2.0;
    PaintGear(p, QPointF(half, half), half - 0.5, QColor(120, 130, 150));
    p.end();
    return icon.convertToFormat(QImage::Format_ARGB32);
}

} // namespace

LMD_ASSET_GENERATOR(settings_art)
{
    out.Bitmap("TREE_ITEM_IMAGE", TreeImages());
    out.Icon("LMD_ICON_GEAR", {GearIcon(16), GearIcon(32), GearIcon(48)});
}
