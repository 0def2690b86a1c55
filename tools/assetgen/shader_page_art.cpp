// The pictures behind the about dialog's rain and glitch shaders, laid beside
// the executable: assets/DivoviDavovu.png (512 x 384), a harbour town at
// night with lit windows and the lights' reflections, and
// assets/DivoviDavovu2.png (512 x 384), a flower meadow under a summer sky.
// Both are busy with small bright details, which the shaders' water beads
// magnify and the glitches tear apart.
#include "tools/assetgen/art.h"
#include "tools/assetgen/assetgen.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>
#include <cstdint>

namespace {

constexpr int kWidth = 512;
constexpr int kHeight = 384;

// A small deterministic generator for the scattered details.
class Scatter
{
public:
    explicit Scatter(std::uint32_t seed) : m_state(seed) {}
    // Uniform in [0, 1).
    double Next()
    {
        m_state = m_state * 1664525u + 1013904223u;
        return (m_state >> 8) / 16777216.0;
    }
    double Between(double low, double high) { return low + (high - low) * Next(); }

private:
    std::uint32_t m_state;
};

// A sky from its colour at the top to the horizon's, down to row bottom.
void PaintSky(QPainter& p, int bottom, QColor top, QColor horizon)
{
    QLinearGradient sky(0, 0, 0, bottom);
    sky.setColorAt(0, top);
    sky.setColorAt(1, horizon);
    p.fillRect(QRect(0, 0, kWidth, bottom), sky);
}

void PaintHouses(QPainter& p, Scatter& rnd, int waterline)
{
    for (double x = -10; x < kWidth;) {
        const double w = rnd.Between(34, 70);
        const double h = rnd.Between(70, 170);
        const QRectF house(x, waterline - h, w, h);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor::fromHsv(static_cast<int>(rnd.Between(200, 260)), 90,
                                   static_cast<int>(rnd.Between(30, 60))));
        p.drawRect(house);
        // A pitched roof.
        QPainterPath roof;
        roof.moveTo(house.left() - 3, house.top());
        roof.lineTo(house.center().x(), house.top() - rnd.Between(12, 26));
        roof.lineTo(house.right() + 3, house.top());
        roof.closeSubpath();
        p.setBrush(QColor(24, 20, 34));
        p.drawPath(roof);
        // Windows: most lit warm, a few cold or dark.
        for (double wy = house.top() + 10; wy < waterline - 16; wy += 20)
            for (double wx = house.left() + 6; wx < house.right() - 10; wx += 14) {
                const double pick = rnd.Next();
                const QColor glow = pick < 0.55  ? QColor(255, 200, 110)
                                    : pick < 0.7 ? QColor(170, 210, 255)
                                                 : QColor(20, 18, 30);
                p.setBrush(glow);
                p.drawRect(QRectF(wx, wy, 7, 10));
            }
        x += w + rnd.Between(-4, 6);
    }
}

QImage HarbourAtNight()
{
    QImage picture = assetgen::NewPicture(kWidth, kHeight, Qt::black);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    PaintSky(p, 230, QColor(8, 10, 32), QColor(60, 40, 80));
    Scatter rnd(0x5EA1u);
    p.setPen(Qt::NoPen);
    for (int star = 0; star < 60; ++star) {
        p.setBrush(QColor(255, 255, 240, static_cast<int>(rnd.Between(90, 255))));
        p.drawEllipse(QPointF(rnd.Between(0, kWidth), rnd.Between(0, 150)), 1.0, 1.0);
    }
    QRadialGradient moon(QPointF(400, 60), 60);
    moon.setColorAt(0, QColor(255, 250, 220, 255));
    moon.setColorAt(0.3, QColor(255, 250, 220, 255));
    moon.setColorAt(0.34, QColor(200, 190, 220, 70));
    moon.setColorAt(1, QColor(200, 190, 220, 0));
    p.setBrush(moon);
    p.drawEllipse(QPointF(400, 60), 60, 60);

    constexpr int kWaterline = 250;
    PaintHouses(p, rnd, kWaterline);
    // The harbour: dark water with the lights stretched into wavering streaks.
    const QImage town = picture.copy(0, kWaterline - 120, kWidth, 120);
    QLinearGradient water(0, kWaterline, 0, kHeight);
    water.setColorAt(0, QColor(30, 26, 50));
    water.setColorAt(1, QColor(4, 6, 16));
    p.fillRect(QRect(0, kWaterline, kWidth, kHeight - kWaterline), water);
    p.setOpacity(0.45);
    for (int row = 0; row < kHeight - kWaterline; row += 3) {
        const int source = 119 - std::min(119, row);
        const double wobble = 6 * std::sin(row * 0.7) + 3 * std::sin(row * 1.9);
        p.drawImage(QPointF(wobble, kWaterline + row), town, QRectF(0, source, kWidth, 2));
    }
    p.setOpacity(1);
    // Lamps along the quay.
    for (int x = 20; x < kWidth; x += 64) {
        p.setBrush(QColor(40, 36, 40));
        p.drawRect(QRectF(x, kWaterline - 40, 3, 40));
        QRadialGradient lamp(QPointF(x + 1.5, kWaterline - 42), 16);
        lamp.setColorAt(0, QColor(255, 236, 180, 255));
        lamp.setColorAt(1, QColor(255, 180, 90, 0));
        p.setBrush(lamp);
        p.drawEllipse(QPointF(x + 1.5, kWaterline - 42), 16, 16);
    }
    return picture.convertToFormat(QImage::Format_RGB32);
}

void PaintFlower(QPainter& p, QPointF centre, double radius, QColor petal)
{
    p.setBrush(petal);
    for (int i = 0; i < 6; ++i) {
        const double a = i * 3.14159265358979 / 3;
        p.drawEllipse(centre + QPointF(std::cos(a), std::sin(a)) * radius * 0.7, radius * 0.55,
                      radius * 0.55);
    }
    p.setBrush(QColor(250, 200, 40));
    p.drawEllipse(centre, radius * 0.4, radius * 0.4);
}

QImage SummerMeadow()
{
    QImage picture = assetgen::NewPicture(kWidth, kHeight, Qt::black);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    PaintSky(p, 200, QColor(60, 130, 215), QColor(190, 225, 245));
    Scatter rnd(0xF10Au);
    p.setPen(Qt::NoPen);
    // Clouds: clusters of soft white discs.
    for (int cloud = 0; cloud < 5; ++cloud) {
        const QPointF at(rnd.Between(30, kWidth - 30), rnd.Between(25, 100));
        for (int puff = 0; puff < 7; ++puff) {
            p.setBrush(QColor(255, 255, 255, 200));
            p.drawEllipse(at + QPointF(rnd.Between(-40, 40), rnd.Between(-8, 8)), rnd.Between(14, 26),
                          rnd.Between(10, 18));
        }
    }
    // Hills behind the meadow.
    QPainterPath hills;
    hills.moveTo(0, 190);
    for (int x = 0; x <= kWidth; x += 16)
        hills.lineTo(x, 160 + 18 * std::sin(x * 0.013) + 9 * std::sin(x * 0.041 + 1));
    hills.lineTo(kWidth, kHeight);
    hills.lineTo(0, kHeight);
    hills.closeSubpath();
    p.setBrush(QColor(90, 150, 70));
    p.drawPath(hills);
    QLinearGradient meadow(0, 185, 0, kHeight);
    meadow.setColorAt(0, QColor(110, 170, 60));
    meadow.setColorAt(1, QColor(40, 100, 30));
    p.fillRect(QRect(0, 185, kWidth, kHeight - 185), meadow);
    // Grass blades and flowers, smaller towards the hills.
    const QColor petals[] = {QColor(230, 60, 70), QColor(250, 250, 250), QColor(170, 90, 220),
                             QColor(250, 150, 40)};
    for (int i = 0; i < 420; ++i) {
        const double y = rnd.Between(188, kHeight + 10);
        const double depth = (y - 180) / (kHeight - 180);
        const double x = rnd.Between(-10, kWidth + 10);
        p.setPen(QPen(QColor(30, static_cast<int>(90 + 60 * rnd.Next()), 25), 1 + depth * 1.5));
        p.drawLine(QPointF(x, y), QPointF(x + rnd.Between(-5, 5) * depth, y - (6 + 22 * depth)));
        p.setPen(Qt::NoPen);
        if (rnd.Next() < 0.35)
            PaintFlower(p, QPointF(x, y - (6 + 22 * depth)), 2 + 5 * depth, petals[i % 4]);
    }
    return picture.convertToFormat(QImage::Format_RGB32);
}

} // namespace

LMD_ASSET_GENERATOR(shader_page_art)
{
    out.DataImage(QStringLiteral("assets/DivoviDavovu.png"), HarbourAtNight());
    out.DataImage(QStringLiteral("assets/DivoviDavovu2.png"), SummerMeadow());
}
