#include "app/clock_drawing.h"

#include <QImage>
#include <algorithm>
#include <array>
#include <gtest/gtest.h>
#include <random>

namespace {

using platform::Rgb;

// --- Packed HSL ---

TEST(HslTest, GreysAllGiveTheFixedValue)
{
    for (const COLORREF grey : {0x000000u, 0xFFFFFFu, 0x808080u, 0x010101u, 0xFEFEFEu})
        EXPECT_EQ(RgbToHsl(grey), 0x780078u) << std::hex << grey;
}

TEST(HslTest, ColoursToHslByHand)
{
    struct Case
    {
        COLORREF colour;
        HslValue hsl;
    };
    // Worked out from the channel fractions: L = trunc((max + min) / 2 * 255);
    // S over (max + min), or over (2 - max - min) above 128; hue from the
    // largest channel, in 256ths of a turn. (Windows colour values: red low.)
    const Case cases[] = {
        {Rgb(255, 0, 0), MakeHsl(0, 255, 127)},    // red
        {Rgb(0, 255, 0), MakeHsl(85, 255, 127)},   // green: 120 degrees
        {Rgb(0, 0, 255), MakeHsl(170, 255, 127)},  // blue: 240 degrees
        {Rgb(255, 128, 0), MakeHsl(21, 255, 127)}, // orange: 30.1 degrees
        // (127, 214, 121): L 167 > 128, so S = 93 / 175; hue 2 - 6/93 sixths.
        {Rgb(127, 214, 121), MakeHsl(82, 135, 167)},
        {Rgb(195, 106, 189), MakeHsl(215, 108, 150)},
        {Rgb(37, 183, 242), MakeHsl(139, 226, 139)},
        {Rgb(152, 29, 77), MakeHsl(238, 173, 90)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RgbToHsl(c.colour), c.hsl) << std::hex << c.colour;
}

TEST(HslTest, HslToColoursByHand)
{
    struct Case
    {
        HslValue hsl;
        COLORREF colour;
    };
    const Case cases[] = {
        {MakeHsl(0, 0, 255), Rgb(255, 255, 255)}, // full lightness is white whatever the hue
        {MakeHsl(77, 255, 255), Rgb(255, 255, 255)},
        {MakeHsl(200, 255, 0), Rgb(0, 0, 0)},
        // Hue 272.5 degrees, S 63/255, L 154/255: m2 = L + S - LS, m1 = 2L - m2.
        {MakeHsl(193, 63, 154), Rgb(156, 129, 178)},
        {MakeHsl(197, 224, 15), Rgb(18, 1, 28)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HslToRgb(c.hsl), c.colour) << std::hex << c.hsl;
    // Hue and m1, m2 straight: the plateau, both ramps and the floor.
    EXPECT_EQ(HueToRgb(90, 0.2, 0.8), static_cast<int>(0.8 * 255));
    EXPECT_EQ(HueToRgb(30, 0.0, 1.0), 127);   // half-way up the first ramp
    EXPECT_EQ(HueToRgb(390, 0.0, 1.0), 127);  // taken modulo 360
    EXPECT_EQ(HueToRgb(-150, 0.0, 1.0), 127); // 210: half-way down
    EXPECT_EQ(HueToRgb(300, 0.2, 0.8), 51);
}

TEST(HslTest, RoundTripStaysWithinTheHueStep)
{
    // The hue is kept in 256 steps: one step (1.41 degrees) moves a channel on
    // a hue ramp by up to chroma * 1.41 / 60. Beyond that a round trip may lose
    // at most 3 per channel to the truncations.
    std::mt19937 random(20240517);
    int checked = 0;
    int worstExcess = -255;
    while (checked < 1000) {
        const COLORREF colour = random() & 0xFFFFFF;
        const std::array<int, 3> in = {platform::GetRValue(colour), platform::GetGValue(colour),
                                       platform::GetBValue(colour)};
        if (in[0] == in[1] && in[1] == in[2])
            continue; // greys do not come back (they all map to one value)
        ++checked;
        const COLORREF back = HslToRgb(RgbToHsl(colour));
        const std::array<int, 3> out = {platform::GetRValue(back), platform::GetGValue(back),
                                        platform::GetBValue(back)};
        const double chroma =
            *std::max_element(in.begin(), in.end()) - *std::min_element(in.begin(), in.end());
        const double hueStep = chroma * (360.0 / 255) / 60;
        for (int c = 0; c < 3; ++c) {
            const double excess = std::abs(out[c] - in[c]) - hueStep;
            worstExcess = std::max(worstExcess, static_cast<int>(std::ceil(excess)));
            ASSERT_LE(excess, 3.0) << std::hex << colour << " came back as " << back;
        }
    }
    EXPECT_GE(worstExcess, 1); // the tolerance is not slack
}

// --- Hand geometry ---

TEST(RotatePointsTest, TurnsClockwiseAndTruncatesTowardZero)
{
    struct Case
    {
        QPoint from;
        double degrees;
        QPoint to;
    };
    // The angle constant is single precision, a hair short of 2 pi: right and
    // straight angles fall just short, and the truncation shows it.
    const Case cases[] = {
        {{0, 49}, 0, {0, 49}},     {{0, 49}, 90, {48, 0}},     {{0, 49}, 180, {0, -48}},
        {{0, 49}, 270, {-48, 0}},  {{0, 30}, 90, {29, 0}},     {{5, 25}, 30, {16, 19}},
        {{-5, 25}, 180, {5, -24}}, {{0, 40}, 200, {-13, -37}}, {{4, 0}, 135, {-2, -2}},
    };
    for (const Case& c : cases) {
        std::array<QPoint, 1> point = {c.from};
        RotatePoints(point, c.degrees);
        EXPECT_EQ(point[0], c.to) << c.from.x() << "," << c.from.y() << " by " << c.degrees;
    }
    // Every point of the list turns.
    std::array<QPoint, 3> points = {QPoint(0, 49), QPoint(0, 30), QPoint(0, 0)};
    RotatePoints(points, 90);
    EXPECT_EQ(points, (std::array<QPoint, 3>{QPoint(48, 0), QPoint(29, 0), QPoint(0, 0)}));
}

TEST(LogicalSpaceTest, DialAndBaseSpaces)
{
    const LogicalSpace dial = DialSpace(130, 130);
    EXPECT_EQ(dial.ToDevice({0, 0}), QPoint(65, 65));
    EXPECT_EQ(dial.ToDevice({0, 49}), QPoint(65, 16)); // y grows upward
    EXPECT_EQ(dial.ToDevice({65, -65}), QPoint(130, 130));
    const LogicalSpace big = DialSpace(390, 390);
    EXPECT_EQ(big.ToDevice({10, 10}), QPoint(225, 165));
    EXPECT_EQ(big.Transform().map(QPointF(10, 10)), QPointF(225, 165));
    const LogicalSpace base = BaseSpace(260, 260);
    EXPECT_EQ(base.ToDevice({25, 35}), QPoint(50, 70));
    EXPECT_EQ(BaseSpace(169, 169).ToDevice({25, 35}), QPoint(33, 46)); // 32.5 and 45.5 rounded
}

// --- Hand colours ---

TEST(HandColorsTest, ByKind)
{
    const HandColors custom{0x0000FF, 0x00FF00, 0xFF0000};
    const HandColors fixedDial{0xC0C0C0, 0xFFFFFF, 0x5FBA68};
    EXPECT_EQ(HandColorsFor(0, 0, 0, custom), fixedDial);
    EXPECT_EQ(HandColorsFor(0, 1, 0, custom), (HandColors{0x000000, 0x000000, 0x120AB4}));
    EXPECT_EQ(HandColorsFor(0, 2, 0, custom), fixedDial);
    EXPECT_EQ(HandColorsFor(0, 7, 0, custom), fixedDial);
    EXPECT_EQ(HandColorsFor(2, 1, 0, custom), custom);
    for (const int other : {-1, 3, 5})
        EXPECT_EQ(HandColorsFor(other, 0, 0x123456, custom), HandColors{}) << other;
}

TEST(HandColorsTest, FromTheFrameLighterOrDarkerByTheFramesLightness)
{
    struct Case
    {
        COLORREF frame;
        int hourLightness;
        int minuteLightness;
    };
    // Dark frames get lighter hands, light frames darker ones; the limits are
    // 170 for the hour hand and 190 for the minute hand.
    const Case cases[] = {
        {Rgb(21, 100, 40), 60 + 50, 60 + 30},     // L 60
        {Rgb(255, 106, 180), 180 - 50, 180 + 30}, // L 180: hour darker, minute lighter
        {Rgb(251, 240, 150), 200 - 50, 200 - 30}, // L 200
    };
    for (const Case& c : cases) {
        const HslValue hsl = RgbToHsl(c.frame);
        const auto relit = [&](int lightness) {
            return HslToRgb(MakeHsl(HslHue(hsl), HslSaturation(hsl), lightness));
        };
        const HandColors colors = HandColorsFor(1, 0, c.frame, {});
        EXPECT_EQ(colors.hour, relit(c.hourLightness)) << std::hex << c.frame;
        EXPECT_EQ(colors.minute, relit(c.minuteLightness)) << std::hex << c.frame;
        EXPECT_EQ(colors.second, c.frame);
    }
}

// --- Readout and day number ---

TEST(DigitalReadoutTest, TextsAndPlacesFollowTheHourHand)
{
    const DigitalReadout afternoon = DigitalReadoutFor(16, 40, 0);
    EXPECT_EQ(afternoon.time, "16;40");
    EXPECT_EQ(afternoon.seconds, "00");
    EXPECT_EQ(afternoon.timeAt, QPoint(25, 35));
    EXPECT_EQ(afternoon.secondsAt, QPoint(53, 18));

    const DigitalReadout morning = DigitalReadoutFor(9, 5, 7);
    EXPECT_EQ(morning.time, " 9;05");
    EXPECT_EQ(morning.seconds, "07");
    EXPECT_EQ(morning.timeAt, QPoint(25, 72));
    EXPECT_EQ(morning.secondsAt, QPoint(53, 96));

    for (int hour = 0; hour < 24; ++hour) {
        const bool upper = (hour >= 3 && hour <= 8) || (hour >= 15 && hour <= 20);
        EXPECT_EQ(DigitalReadoutFor(hour, 0, 0).timeAt.y(), upper ? 35 : 72) << hour;
    }
}

TEST(DayNumberTest, PlaceByDialTypeAndDigits)
{
    EXPECT_EQ(DayNumberPosition(0, 17), QPoint(29, 7));
    EXPECT_EQ(DayNumberPosition(0, 9), QPoint(34, 7));
    EXPECT_EQ(DayNumberPosition(1, 10), QPoint(20, 7));
    EXPECT_EQ(DayNumberPosition(1, 1), QPoint(25, 7));
    EXPECT_EQ(DayNumberPosition(2, 31), QPoint(-7, -29));
    EXPECT_EQ(DayNumberPosition(2, 5), QPoint(-2, -29));
    EXPECT_FALSE(DayNumberPosition(3, 5).has_value());
    EXPECT_FALSE(DayNumberPosition(-1, 5).has_value());
}

// --- External frame ---

// A picture read the way the frame builder reads it: row 0 is the bottom row.
COLORREF BufferPixel(const QImage& picture, int x, int row)
{
    return platform::FromPixel(picture.pixel(x, picture.height() - 1 - row));
}

// A 130 by 130 template: black, with a coloured band whose lightness grows
// from left to right (the reference point (8, 64) lies in it).
QImage BandTemplate()
{
    QImage shape(kFrameSize, kFrameSize, QImage::Format_RGB32);
    shape.fill(Qt::black);
    for (int y = 40; y < 90; ++y)
        for (int x = 0; x < kFrameSize; ++x)
            shape.setPixel(x, y, qRgb(40 + x, 80 + x, 20 + x));
    return shape;
}

QImage Solid(int width, int height, QColor colour)
{
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(colour);
    return picture;
}

TEST(ExtFrameTest, TemplateBlackStaysBlackAndBlackTexelsStayVisible)
{
    const QImage shape = BandTemplate();
    for (const bool gradation : {false, true}) {
        const QImage frame = BuildExtFrame(shape, Solid(64, 64, Qt::black), gradation);
        ASSERT_EQ(frame.size(), QSize(130, 130));
        for (int y = 0; y < kFrameSize; ++y)
            for (int x = 0; x < kFrameSize; ++x) {
                const bool ring = (shape.pixel(x, y) & 0xFFFFFF) != 0;
                const COLORREF got = platform::FromPixel(frame.pixel(x, y));
                if (!ring)
                    ASSERT_EQ(got, 0x000000u) << x << "," << y;
                else if (!gradation)
                    ASSERT_EQ(got, 0x000100u) << x << "," << y; // green 1: never keyed out
                else
                    ASSERT_NE(got, 0x000000u) << x << "," << y;
            }
    }
}

TEST(ExtFrameTest, TextureTilesFromTheBottomLeftCorner)
{
    // Every texel different, none black.
    QImage texture(64, 64, QImage::Format_RGB32);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            texture.setPixel(x, y, qRgb(x * 4 + 1, y * 4 + 2, 128));
    QImage shape = Solid(kFrameSize, kFrameSize, QColor(90, 160, 60));
    const QImage frame = BuildExtFrame(shape, texture, false);
    for (int y = 0; y < kFrameSize; ++y)
        for (int x = 0; x < kFrameSize; ++x)
            ASSERT_EQ(BufferPixel(frame, x, y), BufferPixel(texture, x % 64, y % 64)) << x << "," << y;

    // A texture of 130 pixels and more is not tiled.
    QImage wide(200, 150, QImage::Format_RGB32);
    for (int y = 0; y < 150; ++y)
        for (int x = 0; x < 200; ++x)
            wide.setPixel(x, y, qRgb(x, y, 77));
    const QImage untiled = BuildExtFrame(shape, wide, false);
    EXPECT_EQ(BufferPixel(untiled, 129, 129), BufferPixel(wide, 129, 129));
    EXPECT_EQ(BufferPixel(untiled, 0, 0), BufferPixel(wide, 0, 0));
}

TEST(ExtFrameTest, GradationRelightsByTheTemplateAndCapsTheLightness)
{
    const QImage shape = BandTemplate();
    const COLORREF texel = Rgb(60, 120, 200);
    const QImage frame = BuildExtFrame(shape, Solid(16, 16, QColor(60, 120, 200)), true);
    const int reference = HslLightness(RgbToHsl(BufferPixel(shape, 8, 65)));
    const HslValue own = RgbToHsl(texel);
    int capped = 0;
    for (int y = 0; y < kFrameSize; ++y)
        for (int x = 0; x < kFrameSize; ++x) {
            const COLORREF t = BufferPixel(shape, x, y);
            if (t == 0)
                continue;
            const int expected =
                std::clamp(HslLightness(RgbToHsl(t)) + HslLightness(own) - reference, 0, 220);
            capped += expected == 220;
            ASSERT_EQ(BufferPixel(frame, x, y), HslToRgb(MakeHsl(HslHue(own), HslSaturation(own), expected)))
                << x << "," << y;
            // No channel pair may average above the cap (with a step of truncation).
            const COLORREF out = BufferPixel(frame, x, y);
            const int r = platform::GetRValue(out), g = platform::GetGValue(out),
                      b = platform::GetBValue(out);
            ASSERT_LE((std::max({r, g, b}) + std::min({r, g, b})) / 2, 221) << x << "," << y;
        }
    EXPECT_GT(capped, 0); // the band's bright end does reach the cap
    // At the reference point itself the texel keeps its own lightness.
    EXPECT_EQ(BufferPixel(frame, 8, 65), HslToRgb(own));
}

TEST(ExtFrameTest, WithoutATextureTheRingIsSolidAndWithoutATemplateThereIsNoRing)
{
    const QImage shape = BandTemplate();
    for (const bool gradation : {false, true}) {
        const QImage frame = BuildExtFrame(shape, QImage(), gradation);
        EXPECT_NE(BufferPixel(frame, 8, 65), 0u);
        EXPECT_EQ(BufferPixel(frame, 8, 10), 0u);
    }
    EXPECT_EQ(BuildExtFrame(shape, QImage(), false).pixel(8, 64), qRgb(128, 128, 128));

    const QImage none = BuildExtFrame(QImage(), Solid(4, 4, Qt::red), true);
    ASSERT_EQ(none.size(), QSize(130, 130));
    EXPECT_EQ(none.pixel(8, 64) & 0xFFFFFF, 0u);
}

} // namespace
