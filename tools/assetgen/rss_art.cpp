// The RSS ticker's artwork: its skin, bitmap 160 (423 x 68), and the strip of
// its "→" button, bitmap 161 (three 18 x 18 frames: normal, pressed, hovered).
//
// The skin: a tab at the top-left with the close and minimise boxes and a
// striped title strip, over a steel-blue panel that holds the feed's title and
// the white ticker. Everything outside the outline is magenta (255, 0, 255),
// the colour of the top-left pixel, which the ticker cuts out of its window;
// no pixel inside is magenta, and the edge has no pink fringe.
#include "tools/assetgen/art.h"
#include "tools/assetgen/assetgen.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

namespace {

constexpr int kSkinWidth = 423;
constexpr int kSkinHeight = 68;
constexpr int kFrame = 18;
const QRect kButtonPlace(6, 20, kFrame, kFrame); // where the ticker puts the button
const QRgb kOutside = qRgb(255, 0, 255);

// Painted pixels with at least half coverage made opaque; the rest magenta.
QImage OnMagenta(const QImage& painted)
{
    QImage out(painted.size(), QImage::Format_RGB32);
    for (int y = 0; y < painted.height(); ++y) {
        for (int x = 0; x < painted.width(); ++x) {
            const QColor c = QColor::fromRgba(painted.pixel(x, y));
            QRgb pixel = c.alpha() < 128 ? kOutside : qRgb(c.red(), c.green(), c.blue());
            if (c.alpha() >= 128 && pixel == kOutside)
                pixel = qRgb(254, 0, 255);
            out.setPixel(x, y, pixel);
        }
    }
    return out;
}

QPainterPath Outline()
{
    QPainterPath tab;
    tab.addRoundedRect(QRectF(1, 0, 208, 22), 5, 5);
    QPainterPath body;
    body.addRoundedRect(QRectF(0, 13, kSkinWidth, kSkinHeight - 13), 9, 9);
    return tab.united(body);
}

void PaintBox(QPainter& p, const QRect& box, QColor face, bool cross)
{
    p.setPen(QPen(QColor(30, 40, 60), 1));
    QLinearGradient shade(box.topLeft(), box.bottomLeft());
    shade.setColorAt(0, face.lighter(140));
    shade.setColorAt(1, face);
    p.setBrush(shade);
    p.drawRoundedRect(QRectF(box).adjusted(0.5, 0.5, -0.5, -0.5), 2, 2);
    p.setPen(QPen(QColor(250, 250, 250), 1.4, Qt::SolidLine, Qt::RoundCap));
    const QRectF in = QRectF(box).adjusted(3, 3, -3, -3);
    if (cross) {
        p.drawLine(in.topLeft(), in.bottomRight());
        p.drawLine(in.topRight(), in.bottomLeft());
    } else {
        p.drawLine(QPointF(in.left(), in.bottom()), in.bottomRight());
    }
}

QImage Skin()
{
    QImage picture = assetgen::NewPicture(kSkinWidth, kSkinHeight);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    const QPainterPath outline = Outline();

    QLinearGradient steel(0, 0, 0, kSkinHeight);
    steel.setColorAt(0, QColor(214, 224, 238));
    steel.setColorAt(0.5, QColor(186, 201, 222));
    steel.setColorAt(1, QColor(150, 168, 196));
    p.setPen(QPen(QColor(52, 66, 96), 1.2));
    p.setBrush(steel);
    p.drawPath(outline);

    // The tab's dark band behind the boxes and the striped title strip.
    p.save();
    p.setClipPath(outline);
    QLinearGradient band(0, 0, 0, 15);
    band.setColorAt(0, QColor(74, 104, 156));
    band.setColorAt(1, QColor(40, 62, 104));
    p.fillRect(QRect(0, 0, 210, 15), band);
    p.setPen(QPen(QColor(120, 150, 200, 150), 1.5));
    for (int x = 24; x < 210; x += 5)
        p.drawLine(QPointF(x, 14), QPointF(x + 10, 1));
    p.restore();
    p.setPen(QPen(QColor(240, 246, 255, 160), 1));
    p.drawLine(QPointF(30, 15.5), QPointF(205, 15.5));

    PaintBox(p, QRect(3, 2, 10, 10), QColor(190, 40, 36), true);
    PaintBox(p, QRect(15, 2, 10, 10), QColor(56, 96, 170), false);

    // The left column, a little darker, where the button sits.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 80, 120, 40));
    p.drawRoundedRect(QRectF(4, 17, 22, 46), 4, 4);
    // A frame around the ticker's place (the ticker draws its own border).
    p.setBrush(Qt::white);
    p.setPen(QPen(QColor(90, 108, 140), 1));
    p.drawRect(QRectF(25.5, 37.5, 391, 24));
    p.end();
    return OnMagenta(picture);
}

// One frame of the button over the skin under it: a disc with an arrow.
QImage ButtonFrame(const QImage& skin, QColor face, QPointF shift)
{
    QImage frame = skin.copy(kButtonPlace).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPainter p(&frame);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(shift);
    QRadialGradient disc(QPointF(7, 6), 10);
    disc.setColorAt(0, face.lighter(160));
    disc.setColorAt(1, face);
    p.setPen(QPen(face.darker(170), 1));
    p.setBrush(disc);
    p.drawEllipse(QRectF(1.5, 1.5, 15, 15));
    p.setPen(QPen(Qt::white, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(QPointF(5, 9), QPointF(13, 9));
    p.drawLine(QPointF(10, 6), QPointF(13, 9));
    p.drawLine(QPointF(10, 12), QPointF(13, 9));
    p.end();
    return frame;
}

QImage NextStrip(const QImage& skin)
{
    QImage strip(3 * kFrame, kFrame, QImage::Format_RGB32);
    QPainter p(&strip);
    p.drawImage(0, 0, ButtonFrame(skin, QColor(46, 92, 170), {0, 0}));
    p.drawImage(kFrame, 0, ButtonFrame(skin, QColor(28, 58, 120), {0.8, 0.8}));
    p.drawImage(2 * kFrame, 0, ButtonFrame(skin, QColor(230, 120, 30), {0, 0}));
    p.end();
    return strip;
}

} // namespace

LMD_ASSET_GENERATOR(rss_art)
{
    const QImage skin = Skin();
    out.Bitmap("160", skin);
    out.Bitmap("161", NextStrip(skin));
}
