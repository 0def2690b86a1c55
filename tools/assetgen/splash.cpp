// The start-up picture "SPLASH": the clock over a soft desktop. The splash
// window writes the version at (180, 140) and "by Tobelin" at (150, 160) of its
// client area (the picture sits one pixel in), so that corner stays light.
#include "tools/assetgen/art.h"
#include "tools/assetgen/assetgen.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

namespace {

constexpr int kWidth = 300;
constexpr int kHeight = 200;

void PaintDesktop(QPainter& p)
{
    QLinearGradient sky(0, 0, 0, kHeight);
    sky.setColorAt(0.0, QColor(188, 214, 240));
    sky.setColorAt(0.55, QColor(226, 228, 244));
    sky.setColorAt(1.0, QColor(244, 226, 234));
    p.fillRect(0, 0, kWidth, kHeight, sky);

    // Out-of-focus lights, as on a wallpaper.
    QImage bokeh = assetgen::NewPicture(kWidth, kHeight);
    {
        QPainter b(&bokeh);
        b.setRenderHint(QPainter::Antialiasing);
        b.setPen(Qt::NoPen);
        struct Light
        {
            qreal x, y, r;
            QColor colour;
        };
        const Light lights[] = {
            {40, 30, 26, QColor(255, 255, 255, 90)},   {150, 18, 18, QColor(255, 240, 250, 80)},
            {250, 40, 34, QColor(255, 255, 255, 70)},  {205, 105, 22, QColor(200, 225, 255, 90)},
            {20, 150, 30, QColor(255, 230, 240, 80)},  {285, 170, 26, QColor(255, 255, 255, 70)},
            {120, 185, 20, QColor(230, 215, 255, 80)},
        };
        for (const Light& light : lights) {
            b.setBrush(light.colour);
            b.drawEllipse(QPointF(light.x, light.y), light.r, light.r);
        }
    }
    p.drawImage(0, 0, assetgen::Blurred(bokeh, 6));

    // Gentle hills along the bottom.
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    QPainterPath far;
    far.moveTo(0, 150);
    far.cubicTo(70, 120, 140, 175, 210, 140);
    far.cubicTo(250, 122, 280, 132, 300, 128);
    far.lineTo(300, 200);
    far.lineTo(0, 200);
    p.setBrush(QColor(170, 196, 222, 120));
    p.drawPath(far);
    QPainterPath near;
    near.moveTo(0, 178);
    near.cubicTo(80, 160, 160, 196, 300, 168);
    near.lineTo(300, 200);
    near.lineTo(0, 200);
    p.setBrush(QColor(196, 176, 214, 110));
    p.drawPath(near);
}

void PaintTitle(QPainter& p)
{
    QFont title("Liberation Serif");
    title.setPixelSize(38);
    title.setItalic(true);
    title.setBold(true);
    p.setFont(title);
    p.setPen(QColor(255, 255, 255, 170));
    p.drawText(QPointF(149, 75), "Lumidial");
    p.setPen(QColor(40, 58, 92));
    p.drawText(QPointF(148, 73), "Lumidial");

    QFont line("Liberation Sans");
    line.setPixelSize(12);
    line.setLetterSpacing(QFont::AbsoluteSpacing, 1.5);
    p.setFont(line);
    p.setPen(QColor(84, 100, 132));
    p.drawText(QPointF(152, 96), "desktop clock");
}

void PaintTextPanel(QPainter& p)
{
    // Frosted glass under the version and author texts (near-black, 10 pt).
    p.setPen(QPen(QColor(255, 255, 255, 220), 1));
    p.setBrush(QColor(255, 255, 255, 165));
    p.drawRoundedRect(QRectF(140.5, 128.5, 150, 54), 9, 9);
}

} // namespace

LMD_ASSET_GENERATOR(splash)
{
    QImage picture = assetgen::NewPicture(kWidth, kHeight, Qt::white);
    QPainter p(&picture);
    PaintDesktop(p);
    const QPointF centre(78, 96);
    const qreal radius = 64;
    assetgen::PaintCircleShadow(p, centre, radius, QPointF(4, 7), 5, 120);
    assetgen::PaintRoundClock(p, centre, radius, QTime(10, 9, 36));
    PaintTitle(p);
    PaintTextPanel(p);
    p.end();
    out.Bitmap("SPLASH", picture.convertToFormat(QImage::Format_RGB32));
}
