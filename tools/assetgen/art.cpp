#include "tools/assetgen/art.h"

#include <QConicalGradient>
#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <array>
#include <vector>

namespace assetgen {
namespace {

// One horizontal or vertical box pass over premultiplied ARGB pixels.
void BoxPass(QImage& image, int radius, bool horizontal)
{
    const int width = image.width();
    const int height = image.height();
    const int lines = horizontal ? height : width;
    const int length = horizontal ? width : height;
    std::vector<std::array<int, 4>> line(length);
    const int window = 2 * radius + 1;
    for (int l = 0; l < lines; ++l) {
        for (int i = 0; i < length; ++i) {
            const QRgb px = horizontal ? reinterpret_cast<const QRgb*>(image.constScanLine(l))[i]
                                       : reinterpret_cast<const QRgb*>(image.constScanLine(i))[l];
            line[i] = {qAlpha(px), qRed(px), qGreen(px), qBlue(px)};
        }
        std::array<int, 4> sum{};
        for (int k = -radius; k <= radius; ++k)
            for (int c = 0; c < 4; ++c)
                sum[c] += line[std::clamp(k, 0, length - 1)][c];
        for (int i = 0; i < length; ++i) {
            const QRgb px = qRgba(sum[1] / window, sum[2] / window, sum[3] / window, sum[0] / window);
            if (horizontal)
                reinterpret_cast<QRgb*>(image.scanLine(l))[i] = px;
            else
                reinterpret_cast<QRgb*>(image.scanLine(i))[l] = px;
            const auto& leaving = line[std::clamp(i - radius, 0, length - 1)];
            const auto& entering = line[std::clamp(i + radius + 1, 0, length - 1)];
            for (int c = 0; c < 4; ++c)
                sum[c] += entering[c] - leaving[c];
        }
    }
}

// Hand outlines in the unit space of a face of radius 100, pointing to 12.
const QPointF kHourHand[] = {{-4.5, 10}, {4.5, 10}, {3, -46}, {0, -54}, {-3, -46}};
const QPointF kMinuteHand[] = {{-3.5, 12}, {3.5, 12}, {2, -74}, {0, -82}, {-2, -74}};

// A button picture: what was painted with at least half coverage, made opaque
// over white; the rest exactly white, so the button's transparent colour cuts
// it out without a pale fringe.
QImage OnWhite(const QImage& painted)
{
    QImage out(painted.size(), QImage::Format_RGB32);
    for (int y = 0; y < painted.height(); ++y) {
        for (int x = 0; x < painted.width(); ++x) {
            const QColor c = QColor::fromRgba(painted.pixel(x, y));
            if (c.alpha() < 128) {
                out.setPixel(x, y, qRgb(255, 255, 255));
                continue;
            }
            // Opaque over white, and never white itself.
            const auto over = [&](int v) {
                return std::min(250, (v * c.alpha() + 255 * (255 - c.alpha())) / 255);
            };
            out.setPixel(x, y, qRgb(over(c.red()), over(c.green()), over(c.blue())));
        }
    }
    return out;
}

} // namespace

QImage NewPicture(int width, int height, QColor fill)
{
    QImage picture(width, height, QImage::Format_ARGB32_Premultiplied);
    picture.fill(fill);
    return picture;
}

QImage Blurred(const QImage& picture, int radius)
{
    QImage image = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (radius <= 0 || image.isNull())
        return image;
    for (int pass = 0; pass < 3; ++pass) {
        BoxPass(image, radius, true);
        BoxPass(image, radius, false);
    }
    return image;
}

void PaintCircleShadow(QPainter& painter, QPointF centre, qreal radius, QPointF offset, int blur, int alpha)
{
    const QRect target =
        painter.device() ? QRect(0, 0, painter.device()->width(), painter.device()->height()) : QRect();
    QImage shadow = NewPicture(target.width(), target.height());
    {
        QPainter p(&shadow);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(20, 30, 50, alpha));
        p.drawEllipse(centre + offset, radius, radius);
    }
    painter.drawImage(0, 0, Blurred(shadow, blur));
}

void PaintRoundClock(QPainter& painter, QPointF centre, qreal radius, QTime time)
{
    const bool small = radius < 12;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(centre);
    painter.scale(radius / 100.0, radius / 100.0);
    painter.setPen(Qt::NoPen);

    // Bezel: brushed metal, light from the upper left.
    QConicalGradient metal(0, 0, 135);
    metal.setColorAt(0.00, QColor(250, 251, 253));
    metal.setColorAt(0.25, QColor(150, 160, 175));
    metal.setColorAt(0.50, QColor(95, 105, 122));
    metal.setColorAt(0.75, QColor(170, 180, 194));
    metal.setColorAt(1.00, QColor(250, 251, 253));
    if (small)
        painter.setBrush(QColor(88, 98, 116)); // a flat rim reads better at a few pixels
    else
        painter.setBrush(metal);
    painter.drawEllipse(QPointF(0, 0), 100, 100);
    painter.setBrush(QColor(60, 68, 82));
    painter.drawEllipse(QPointF(0, 0), 88, 88);

    // Face: white, a little shaded toward the rim.
    QRadialGradient face(QPointF(-20, -25), 110);
    face.setColorAt(0.0, QColor(255, 255, 255));
    face.setColorAt(0.7, QColor(246, 248, 251));
    face.setColorAt(1.0, QColor(214, 222, 232));
    painter.setBrush(face);
    painter.drawEllipse(QPointF(0, 0), small ? 80 : 85, small ? 80 : 85);

    // Ticks.
    const QColor ink(38, 46, 58);
    for (int i = 0; i < 60; ++i) {
        const bool hour = i % 5 == 0;
        if (small && i % 15 != 0)
            continue;
        if (!small || hour) {
            painter.save();
            painter.rotate(i * 6.0);
            if (hour)
                painter.fillRect(QRectF(-3.2, -80, 6.4, small ? 22 : 15), ink);
            else
                painter.fillRect(QRectF(-0.9, -80, 1.8, 6), QColor(110, 120, 134));
            painter.restore();
        }
    }

    // Hands (twice as broad at small sizes, so they stay visible).
    const qreal minutes = time.minute() + time.second() / 60.0;
    const qreal breadth = small ? 2.2 : 1.0;
    painter.setBrush(ink);
    painter.save();
    painter.rotate(30.0 * (time.hour() % 12 + minutes / 60.0));
    painter.scale(breadth, 1.0);
    painter.drawConvexPolygon(kHourHand, std::size(kHourHand));
    painter.restore();
    painter.save();
    painter.rotate(6.0 * minutes);
    painter.scale(breadth, 1.0);
    painter.drawConvexPolygon(kMinuteHand, std::size(kMinuteHand));
    painter.restore();
    const QColor red(214, 52, 52);
    if (!small) {
        painter.save();
        painter.rotate(6.0 * time.second());
        painter.setPen(QPen(red, 2.2, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(0, 20), QPointF(0, -80));
        painter.setPen(Qt::NoPen);
        painter.setBrush(red);
        painter.drawEllipse(QPointF(0, 14), 4.5, 4.5);
        painter.restore();
    }
    painter.setBrush(small ? ink : red);
    painter.drawEllipse(QPointF(0, 0), small ? 8 : 6, small ? 8 : 6);

    // Glass: a soft highlight over the upper left of the face.
    if (!small) {
        QPainterPath glass;
        glass.addEllipse(QPointF(0, 0), 84, 84);
        QPainterPath cut;
        cut.addEllipse(QPointF(28, 40), 110, 110);
        QLinearGradient shine(QPointF(-60, -80), QPointF(10, 10));
        shine.setColorAt(0.0, QColor(255, 255, 255, 90));
        shine.setColorAt(1.0, QColor(255, 255, 255, 0));
        painter.setBrush(shine);
        painter.drawPath(glass.subtracted(cut));
    }
    painter.restore();
}

QImage ButtonPicture(void (*paint)(QPainter&, qreal))
{
    QImage picture = assetgen::NewPicture(kButtonPicture, kButtonPicture);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    paint(p, kButtonPicture);
    p.end();
    return OnWhite(picture);
}

} // namespace assetgen
