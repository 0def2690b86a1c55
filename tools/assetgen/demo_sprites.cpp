// The pictures of the physics demos, laid in assets/ beside the executable, all
// with alpha on a transparent ground:
//   - snow.png (128 x 128): a six-armed snowflake with a soft halo, drawn
//     stretched to ten times a snowball's radius (50 to 200 pixels);
//   - emitter.png (64 x 64): a small glowing orb of cool light, drawn 20 to 60
//     pixels wide for each box of the gravity garden;
//   - particle.png (128 x 128): a wide soft glow with a bright core, the pulsing
//     light at the garden's centre (80 pixels and more).
#include "tools/assetgen/art.h"
#include "tools/assetgen/assetgen.h"

#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>
#include <utility>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;

// A radial glow filling the picture: colour stops from the centre outward.
QImage Glow(int size, const std::vector<std::pair<double, QColor>>& stops)
{
    QImage picture = assetgen::NewPicture(size, size);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF centre(size / 2.0, size / 2.0);
    QRadialGradient gradient(centre, size / 2.0);
    for (const auto& [at, colour] : stops)
        gradient.setColorAt(at, colour);
    painter.setPen(Qt::NoPen);
    painter.setBrush(gradient);
    painter.drawEllipse(centre, size / 2.0, size / 2.0);
    return picture;
}

// One arm of the snowflake along +x from the centre, with two pairs of side
// branches, as a stroked path.
QPainterPath SnowArm(double length)
{
    QPainterPath arm;
    arm.moveTo(0, 0);
    arm.lineTo(length, 0);
    for (const double at : {0.45, 0.7}) {
        const double branch = length * (at < 0.5 ? 0.32 : 0.22);
        const double x = length * at;
        const double dx = branch * std::cos(kPi / 3);
        const double dy = branch * std::sin(kPi / 3);
        arm.moveTo(x, 0);
        arm.lineTo(x + dx, -dy);
        arm.moveTo(x, 0);
        arm.lineTo(x + dx, dy);
    }
    return arm;
}

QImage Snowflake(int size)
{
    QImage picture = Glow(size, {{0.0, QColor(255, 255, 255, 90)},
                                 {0.35, QColor(220, 235, 255, 40)},
                                 {1.0, QColor(200, 220, 255, 0)}});
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(size / 2.0, size / 2.0);
    const QPainterPath arm = SnowArm(size * 0.42);
    const QPen halo(QColor(190, 215, 255, 110), size / 18.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    const QPen line(QColor(255, 255, 255), size / 40.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    for (const QPen& pen : {halo, line}) {
        painter.setPen(pen);
        for (int k = 0; k < 6; ++k) {
            painter.save();
            painter.rotate(60.0 * k);
            painter.drawPath(arm);
            painter.restore();
        }
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawEllipse(QPointF(0, 0), size / 22.0, size / 22.0);
    return picture;
}

} // namespace

LMD_ASSET_GENERATOR(demo_sprites)
{
    out.DataImage(QStringLiteral("assets/snow.png"), Snowflake(128));
    out.DataImage(QStringLiteral("assets/emitter.png"), Glow(64, {{0.0, QColor(255, 255, 255, 255)},
                                                                  {0.18, QColor(200, 240, 255, 230)},
                                                                  {0.45, QColor(90, 170, 255, 110)},
                                                                  {1.0, QColor(40, 80, 255, 0)}}));
    out.DataImage(QStringLiteral("assets/particle.png"), Glow(128, {{0.0, QColor(255, 255, 240, 255)},
                                                                    {0.1, QColor(255, 230, 170, 220)},
                                                                    {0.35, QColor(255, 150, 80, 90)},
                                                                    {1.0, QColor(255, 80, 40, 0)}}));
}
