// The zoom slider's pictures, by number: 300 the channel and 301 the channel
// before the thumb, 200 x 17 and opaque on the dialog face; 302 the thumb and
// 303 the thumb while held, 23 x 11, pure red (their transparent colour) round
// a rounded metal handle. The groove runs through the middle of the thumb's
// rows (3 to 13), so the handle sits on it.
#include "tools/assetgen/art.h"
#include "tools/assetgen/assetgen.h"

#include <QLinearGradient>
#include <QPainterPath>

namespace {

constexpr int kChannelWidth = 200;
constexpr int kChannelHeight = 17;
constexpr int kThumbWidth = 23;
constexpr int kThumbHeight = 11;
const QColor kFace(240, 240, 240);
const QColor kKey(255, 0, 0);

// The channel: a sunken groove across the face with a tick every 20 pixels;
// filled tells the part before the thumb (a blue gradient) from the rest.
QImage Channel(bool filled)
{
    QImage picture(kChannelWidth, kChannelHeight, QImage::Format_RGB32);
    picture.fill(kFace);
    QPainter p(&picture);
    const QRect groove(2, 6, kChannelWidth - 4, 5);
    QLinearGradient fill(0, groove.top(), 0, groove.bottom());
    if (filled) {
        fill.setColorAt(0, QColor(120, 180, 240));
        fill.setColorAt(1, QColor(20, 90, 190));
    } else {
        fill.setColorAt(0, QColor(200, 200, 200));
        fill.setColorAt(1, QColor(228, 228, 228));
    }
    p.fillRect(groove, fill);
    p.setPen(QColor(160, 160, 160)); // shadow on top and left
    p.drawLine(groove.topLeft(), groove.topRight());
    p.drawLine(groove.topLeft(), groove.bottomLeft());
    p.setPen(Qt::white); // highlight below and right
    p.drawLine(groove.bottomLeft() + QPoint(0, 1), groove.bottomRight() + QPoint(1, 1));
    p.drawLine(groove.topRight() + QPoint(1, 0), groove.bottomRight() + QPoint(1, 1));
    p.setPen(QColor(150, 150, 150));
    for (int x = 12; x < kChannelWidth - 10; x += 20) {
        p.drawLine(x, 1, x, 3);
        p.drawLine(x, 14, x, 15);
    }
    return picture;
}

// The handle: a rounded bar of brushed metal with three grip lines; held is
// brighter and edged in blue. Painted on the key colour without smoothing at
// the outline, so no blend of the key colour survives round it.
QImage Thumb(bool held)
{
    QImage handle = assetgen::NewPicture(kThumbWidth, kThumbHeight);
    {
        QPainter p(&handle);
        p.setRenderHint(QPainter::Antialiasing);
        QPainterPath outline;
        outline.addRoundedRect(QRectF(0.5, 0.5, kThumbWidth - 1, kThumbHeight - 1), 4, 4);
        QLinearGradient metal(0, 0, 0, kThumbHeight);
        metal.setColorAt(0, held ? QColor(255, 255, 255) : QColor(246, 246, 246));
        metal.setColorAt(0.5, held ? QColor(214, 230, 250) : QColor(200, 200, 204));
        metal.setColorAt(1, held ? QColor(150, 180, 225) : QColor(140, 140, 146));
        p.setPen(QPen(held ? QColor(20, 90, 190) : QColor(90, 90, 96), 1));
        p.setBrush(metal);
        p.drawPath(outline);
        p.setPen(QColor(100, 100, 108));
        for (const int x : {8, 11, 14})
            p.drawLine(QPointF(x + 0.5, 3), QPointF(x + 0.5, kThumbHeight - 3));
    }
    QImage picture(kThumbWidth, kThumbHeight, QImage::Format_RGB32);
    for (int y = 0; y < kThumbHeight; ++y)
        for (int x = 0; x < kThumbWidth; ++x) {
            const QColor c = handle.pixelColor(x, y);
            if (c.alpha() < 128) {
                picture.setPixel(x, y, kKey.rgb());
                continue;
            }
            // Opaque over the face; never the key colour itself.
            const auto over = [&](int v, int face) { return (v * c.alpha() + face * (255 - c.alpha())) / 255; };
            const QRgb pixel = qRgb(over(c.red(), 240), over(c.green(), 240), over(c.blue(), 240));
            picture.setPixel(x, y, pixel == kKey.rgb() ? qRgb(254, 0, 0) : pixel);
        }
    return picture;
}

} // namespace

LMD_ASSET_GENERATOR(slider_art)
{
    out.Bitmap("300", Channel(false));
    out.Bitmap("301", Channel(true));
    out.Bitmap("302", Thumb(false));
    out.Bitmap("303", Thumb(true));
}
