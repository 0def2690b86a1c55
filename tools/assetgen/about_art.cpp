// The about dialog's pictures, shown through rippling water: bitmap 153
// (336 x 225), a mountain lake at dusk with the clock's emblem on a jetty
// post; bitmap 154 (268 x 205), a chequered tile floor under a lantern; and
// page 5's second picture assets/moon_reeds_2.png (240 x 180), a night sky with
// a moon over reeds. All have plenty of edges for the water to bend.
#include "tools/assetgen/art.h"
#include "tools/assetgen/assetgen.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>

namespace {

QImage MountainLake()
{
    QImage picture = assetgen::NewPicture(336, 225, Qt::black);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 120);
    sky.setColorAt(0, QColor(38, 46, 110));
    sky.setColorAt(0.6, QColor(214, 120, 96));
    sky.setColorAt(1, QColor(250, 200, 120));
    p.fillRect(QRect(0, 0, 336, 120), sky);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 236, 170));
    p.drawEllipse(QPointF(250, 96), 20, 20);
    // Two ranges of peaks, the far one lighter.
    for (int range = 0; range < 2; ++range) {
        QPainterPath ridge;
        ridge.moveTo(0, 120);
        for (int x = 0; x <= 336; x += 24) {
            const double peak = 70 + range * 18 + 26 * std::sin(x * (0.045 + range * 0.02) + range);
            ridge.lineTo(x, peak);
        }
        ridge.lineTo(336, 120);
        ridge.closeSubpath();
        p.setBrush(range == 0 ? QColor(92, 80, 120) : QColor(48, 44, 70));
        p.drawPath(ridge);
    }
    // The lake mirrors the sky in darker bands.
    QLinearGradient lake(0, 120, 0, 225);
    lake.setColorAt(0, QColor(180, 110, 100));
    lake.setColorAt(1, QColor(20, 30, 70));
    p.fillRect(QRect(0, 120, 336, 105), lake);
    p.setBrush(QColor(255, 226, 150, 160));
    for (int band = 0; band < 6; ++band)
        p.drawRect(QRectF(236 - band * 3, 128 + band * 14, 28 + band * 6, 3));
    // A jetty from the right with the emblem on its last post.
    p.setBrush(QColor(70, 46, 30));
    p.drawRect(QRectF(150, 176, 186, 10));
    for (int x = 160; x < 336; x += 34)
        p.drawRect(QRectF(x, 176, 6, 40));
    assetgen::PaintRoundClock(p, QPointF(163, 160), 16, QTime(10, 8, 30));
    return picture.convertToFormat(QImage::Format_RGB32);
}

QImage TileFloor()
{
    QImage picture = assetgen::NewPicture(268, 205, Qt::black);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    constexpr int kTile = 22;
    for (int y = 0; y < 205; y += kTile) {
        for (int x = 0; x < 268; x += kTile) {
            const bool dark = ((x + y) / kTile) % 2 != 0;
            p.fillRect(QRect(x, y, kTile, kTile), dark ? QColor(40, 70, 110) : QColor(226, 220, 196));
        }
    }
    QRadialGradient light(QPointF(134, 90), 120);
    light.setColorAt(0, QColor(255, 210, 120, 150));
    light.setColorAt(1, QColor(0, 0, 0, 150));
    p.fillRect(QRect(0, 0, 268, 205), light);
    // The lantern: a red paper body on a cord.
    p.setPen(QPen(QColor(30, 30, 30), 2));
    p.drawLine(QPointF(134, 0), QPointF(134, 56));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 40, 30));
    p.drawEllipse(QPointF(134, 92), 30, 38);
    p.setBrush(QColor(250, 200, 90));
    p.drawEllipse(QPointF(134, 92), 12, 28);
    p.setBrush(QColor(30, 30, 30));
    p.drawRect(QRectF(118, 52, 32, 6));
    p.drawRect(QRectF(118, 126, 32, 6));
    return picture.convertToFormat(QImage::Format_RGB32);
}

QImage MoonOverReeds()
{
    QImage picture = assetgen::NewPicture(240, 180, Qt::black);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient night(0, 0, 0, 180);
    night.setColorAt(0, QColor(6, 10, 40));
    night.setColorAt(1, QColor(30, 60, 96));
    p.fillRect(QRect(0, 0, 240, 180), night);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(250, 246, 214));
    p.drawEllipse(QPointF(70, 56), 26, 26);
    p.setBrush(QColor(255, 255, 255));
    for (int star = 0; star < 24; ++star)
        p.drawEllipse(QPointF((star * 97) % 240, (star * 53) % 100), 1.2, 1.2);
    p.setPen(QPen(QColor(20, 36, 24), 3));
    for (int reed = 0; reed < 18; ++reed) {
        const double x = 8 + reed * 13.0;
        p.drawLine(QPointF(x, 180), QPointF(x + 6 * std::sin(reed), 110 + (reed * 37) % 40));
    }
    return picture.convertToFormat(QImage::Format_RGB32);
}

} // namespace

LMD_ASSET_GENERATOR(about_art)
{
    out.Bitmap(QStringLiteral("153"), MountainLake());
    out.Bitmap(QStringLiteral("154"), TileFloor());
    out.DataImage(QStringLiteral("assets/moon_reeds_2.png"), MoonOverReeds());
}
