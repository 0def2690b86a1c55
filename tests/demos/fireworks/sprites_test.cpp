// Pictures of the fireworks, pixel by pixel: the glow sprites (alpha from the
// falloff law, colour bytes wrapped to 8 bits) and the backgrounds.
#include "demos/fireworks/backgrounds.h"
#include "demos/fireworks/fireworks.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <gtest/gtest.h>
#include <optional>

namespace {

// A transparent picture that takes whatever is drawn on it as it is (no
// blending), so it holds the drawn picture's own pixels.
class PictureTest : public ::testing::Test
{
protected:
    // Draws `draw` with its top-left corner at (0, 0) of a width by height picture.
    template <typename Draw> QImage Capture(int width, int height, Draw draw)
    {
        QImage picture(width, height, QImage::Format_ARGB32_Premultiplied);
        picture.fill(Qt::transparent);
        QPainter painter(&picture);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        {
            const gaFrameScope frame(app, painter);
            gaSetDrawFromCenter(0);
            draw();
        }
        painter.end();
        return picture;
    }

    static QRgb Raw(const QImage& picture, int x, int y)
    {
        return reinterpret_cast<const QRgb*>(picture.constScanLine(y))[x];
    }

    gaBaseApp app;
};

TEST_F(PictureTest, ParticleSpritesGlowFromTheirCoreToIntensityAtTheirEdge)
{
    struct Case
    {
        float red, green, blue, intensity, core;
        int size;
        QRgb rgb; // the colour bytes
    };
    const Case cases[] = {
        {1, 1, 0.9f, 1, 4, 20, qRgb(255, 255, 229)},  // the rocket
        {1, 1, 0.9f, 1, 1, 10, qRgb(255, 255, 229)},  // its trail
        {1, 0.5f, 6.0f, 1, 1, 20, qRgb(255, 127, 250)}, // 6 x 255 = 1530 wraps to 250
        {0.75f, 0.5f, 1, 1, 1, 20, qRgb(191, 127, 255)},
        {0.2f, 0.4f, 0.6f, 0.5f, 2, 16, qRgb(51, 102, 153)},
        {-1, 2, 0.5f, 1, 1.5f, 9, qRgb(1, 254, 127)}, // -255 and 510 keep their low bytes
    };
    for (const Case& c : cases) {
        const gaImage_<unsigned char> sprite =
            fireworks::makeParticleImage(c.red, c.green, c.blue, c.intensity, c.core, c.size);
        EXPECT_EQ(sprite.width, c.size);
        EXPECT_EQ(sprite.height, c.size);
        const QImage picture = Capture(c.size + 2, c.size + 2, [&] { sprite.draw(0, 0); });

        const double half = c.size / 2.0;
        const double falloff = std::log(255.0) / (std::log(half) - std::log(double(c.core)));
        int exact = 0;
        for (int y = 0; y < c.size; ++y)
            for (int x = 0; x < c.size; ++x) {
                const double d = std::hypot(half - x, half - y);
                const double alpha = std::min(c.intensity * 255 * std::pow(c.core / std::max(d, 1.0), falloff), 255.0);
                if (d <= c.core) {
                    EXPECT_GE(alpha, std::min(c.intensity * 255.0, 255.0)); // full inside the core
                }
                if (std::abs(alpha - std::round(alpha)) < 1e-3 && alpha < 255)
                    continue; // on a step of the truncation: single precision may fall either side
                const QRgb expected = qPremultiply((QRgb(alpha) << 24) | (c.rgb & 0xFFFFFF));
                EXPECT_EQ(Raw(picture, x, y), expected) << "size " << c.size << " at " << x << ", " << y;
                ++exact;
            }
        EXPECT_GE(exact, c.size * c.size * 8 / 10); // only a few on a step
        EXPECT_EQ(Raw(picture, c.size, c.size), 0u); // nothing beyond the sprite
        // At half the size from the middle the glow is down to the intensity.
        const double edge = c.intensity * 255 * std::pow(c.core / half, falloff);
        EXPECT_NEAR(edge, c.intensity, 1e-9);
    }
}

TEST_F(PictureTest, PreRenderedBackgroundIsOpaqueBlueFromTheCorner)
{
    PreRenderedBackground background(7, 5);
    const QImage picture = Capture(9, 8, [&] { background.draw(); });
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 9; ++x)
            EXPECT_EQ(Raw(picture, x, y), x < 7 && y < 5 ? 0xFF0000FFu : 0u) << x << ", " << y;
}

TEST_F(PictureTest, FireworksGradientIsTranslucentBlueDarkenedTowardsTheTop)
{
    gaColor top;
    top.setHsb(170, 255, 26, 77);
    gaColor bottom;
    bottom.setHsb(170, 255, 102, 77);
    GradationBackground background(3, 480, top, bottom, 2.0f);
    const QImage picture = Capture(3, 480, [&] { background.draw(); });
    for (int y = 0; y < 480; ++y) {
        // Brightness 26 to 102 down the picture, times t^2 (t = y / 480).
        const double t = y / 480.0;
        const double v = (26 + t * 76) * t * t;
        if (std::abs(v - std::round(v)) < 1e-3 && y > 0)
            continue;
        const QRgb expected = qPremultiply(qRgba(0, 0, int(v), 77));
        for (int x = 0; x < 3; ++x)
            ASSERT_EQ(Raw(picture, x, y), expected) << x << ", " << y;
    }
    EXPECT_EQ(Raw(picture, 1, 0), qPremultiply(qRgba(0, 0, 0, 77))); // black at the very top
}

TEST_F(PictureTest, GradientTakesHueAndSaturationFromTheBottomColour)
{
    struct Case
    {
        gaColor top, bottom;
        float exponent;
    };
    const Case cases[] = {
        {{200, 100, 50, 255}, {255, 128, 0, 255}, 1.0f},  // orange, red the largest
        {{10, 20, 30, 200}, {40, 220, 90, 255}, 0.5f},    // green the largest
        {{0, 0, 90, 255}, {120, 60, 250, 255}, 2.0f},     // blue the largest
        {{90, 90, 90, 128}, {250, 20, 120, 255}, 1.5f},   // red, with a hue below zero
        {{0, 0, 0, 255}, {160, 160, 160, 255}, 1.0f},     // grey: no hue, no saturation
    };
    for (const Case& c : cases) {
        GradationBackground background(2, 64, c.top, c.bottom, c.exponent);
        const QImage picture = Capture(2, 64, [&] { background.draw(); });
        const QColor bottom(c.bottom.r, c.bottom.g, c.bottom.b);
        const double vTop = std::max({c.top.r, c.top.g, c.top.b});
        const double vBottom = bottom.value();
        for (int y = 0; y < 64; ++y) {
            const double t = y / 64.0;
            const double v = (vTop + t * (vBottom - vTop)) * std::pow(t, c.exponent);
            const QColor expected = QColor::fromHsvF(std::max(bottom.hsvHueF(), 0.0f), bottom.hsvSaturationF(),
                                                     static_cast<float>(v / 255));
            const QRgb pixel = qUnpremultiply(Raw(picture, 1, y));
            EXPECT_EQ(qAlpha(pixel), c.top.a);
            // Truncated bytes against rounded ones, and a premultiplied round trip.
            const int slack = c.top.a == 255 ? 1 : 3;
            EXPECT_NEAR(qRed(pixel), expected.red(), slack) << "row " << y;
            EXPECT_NEAR(qGreen(pixel), expected.green(), slack) << "row " << y;
            EXPECT_NEAR(qBlue(pixel), expected.blue(), slack) << "row " << y;
            EXPECT_EQ(Raw(picture, 0, y), Raw(picture, 1, y)); // the same in every column
        }
    }
}

} // namespace
