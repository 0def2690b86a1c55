// The clock's picture on the test display with the GDI dial: frame, hands,
// readout and day number over a plain desktop, read back from the screen.
#include "platform/screen_capture.h"
#include "tests/app/clock_screen_fixture.h"
#include "tests/support/screens.h"

#include <cmath>

namespace {

using lmd::test::Colour;
using lmd::test::ColourNear;
using lmd::test::DialPixel;
using lmd::test::kDesktop;
using lmd::test::kLowerReadout;
using lmd::test::kUpperReadout;
using lmd::test::LitPixels;
using lmd::test::ScreenColour;

struct Hand
{
    const char* name;
    double degrees;
    QRgb colour;
    std::vector<double> radii; // dial units along the hand where its colour shows
};

// Each hand shows its colour along its direction, and not mirrored or reversed.
void ExpectHands(const QImage& screen, int size, const std::vector<Hand>& hands)
{
    for (const Hand& hand : hands) {
        for (const double radius : hand.radii) {
            EXPECT_TRUE(ColourNear(screen, DialPixel(size, hand.degrees, radius), hand.colour))
                << hand.name << " hand at radius " << radius << ", size " << size;
            EXPECT_FALSE(ColourNear(screen, DialPixel(size, hand.degrees + 180, radius), hand.colour))
                << hand.name << " hand reversed at radius " << radius << ", size " << size;
            if (std::abs(std::sin(hand.degrees * M_PI / 180)) > 0.3) {
                EXPECT_FALSE(ColourNear(screen, DialPixel(size, -hand.degrees, radius), hand.colour))
                    << hand.name << " hand mirrored at radius " << radius << ", size " << size;
            }
        }
    }
}

class ClockPaintTest : public lmd::test::ClockScreenTest
{
protected:
    void SetUp() override
    {
        ClockScreenTest::SetUp();
        AppSettings& settings = Settings();
        settings.UseShaderMojiban = false;
        settings.FrameType = 1;
        settings.DigitalWatch = true;
    }

    // The picture of the clock with some desktop around it, for people to look at.
    void Keep(const QString& name) const
    {
        lmd::test::SaveScreen(platform::CaptureScreen(clock->geometry().adjusted(-12, -12, 12, 12)).Image(),
                              name);
    }
};

// The second hand's tail reaches 10 units past the centre, so it crosses the
// readout near the vertical; the ticks and the frame lie beyond radius 45.
bool UnderHandOrFrame(int x, int y)
{
    return std::abs(x - 65) <= 3 || std::hypot(x - 65.0, y - 65.0) >= 45;
}

TEST_F(ClockPaintTest, At1640FrameHandsAndReadoutOverTheDesktop)
{
    CLumidial& window = ShowClock(16, 40, 0);
    ASSERT_TRUE(WaitForFramePainted(1));
    const QImage screen = Screen();
    Keep("clock_gdi_1640");

    // The ring is the frame picture, one to one at zoom 100; inside and outside
    // it the desktop shows where nothing is drawn.
    const QImage& frame = window.FrameBitmap(1);
    for (int degrees = 0; degrees < 360; degrees += 15) {
        const QPoint p = DialPixel(130, degrees, 57);
        EXPECT_EQ(Colour(screen, p.x(), p.y()), Colour(frame, p.x(), p.y())) << degrees;
    }
    EXPECT_EQ(Colour(screen, 8, 64), Colour(frame, 8, 64));
    for (const QPoint inside : {QPoint(65, 97), QPoint(40, 65), QPoint(100, 80)})
        EXPECT_EQ(Colour(screen, inside.x(), inside.y()), kDesktop) << inside.x() << "," << inside.y();
    EXPECT_EQ(Colour(screen, 2, 2), kDesktop); // outside the window's ellipse
    const QImage around = platform::CaptureScreen(window.geometry().adjusted(-4, -4, 4, 4)).Image();
    EXPECT_EQ(Colour(around, 1, 69), kDesktop);
    EXPECT_EQ(Colour(around, 136, 69), kDesktop);

    // Hour hand at 140 degrees, minute hand at 240, second hand straight up; the
    // ticks at every hour.
    ExpectHands(screen, 130,
                {{"hour", 140, ScreenColour(0xC0C0C0), {5, 27}},
                 {"minute", 240, ScreenColour(0xFFFFFF), {10, 20, 28}},
                 {"second", 0, ScreenColour(0x5FBA68), {15, 25, 35}}});
    for (int degrees = 0; degrees < 360; degrees += 30)
        EXPECT_TRUE(ColourNear(screen, DialPixel(130, degrees, 47.5), ScreenColour(0xD2D2D2))) << degrees;

    // "16;40" in the upper position (the hour hand is in the lower half).
    EXPECT_EQ(window.TimeDrawer().Text(), "16;40");
    EXPECT_EQ(lmd::test::ReadoutMismatches(screen, window.TimeDrawer(), "16;40", kUpperReadout.topLeft(), 16,
                                           22, UnderHandOrFrame),
              0);
    EXPECT_EQ(LitPixels(screen, kLowerReadout), 0);
}

TEST_F(ClockPaintTest, At0905TheReadoutSitsLowWithALeadingBlankAndSecondsBelowIt)
{
    Settings().DigiSec = true;
    CLumidial& window = ShowClock(9, 5, 7);
    ASSERT_TRUE(WaitForFramePainted(1));
    const QImage screen = Screen();
    Keep("clock_gdi_0905");

    EXPECT_EQ(window.TimeDrawer().Text(), " 9;05");
    // The blank's cell shows its unlit dots.
    EXPECT_EQ(lmd::test::ReadoutMismatches(screen, window.TimeDrawer(), " 9;05", kLowerReadout.topLeft(), 16,
                                           22, UnderHandOrFrame),
              0);
    EXPECT_EQ(lmd::test::ReadoutMismatches(screen, window.SecondsDrawer(), "07", QPoint(53, 96), 11, 15,
                                           UnderHandOrFrame),
              0);
    EXPECT_EQ(LitPixels(screen, kUpperReadout), 0);
    ExpectHands(screen, 130,
                {{"hour", 272.5, ScreenColour(0xC0C0C0), {5, 27}},
                 {"minute", 30.7, ScreenColour(0xFFFFFF), {10, 20, 28}}});
}

TEST_F(ClockPaintTest, HandsKeepTheirAnglesWhenZoomed)
{
    Settings().Zoom = 300;
    Settings().DigitalWatch = false;
    CLumidial& window = ShowClock(16, 40, 0);
    ASSERT_EQ(window.ClockWidth(), 390);
    ASSERT_TRUE(WaitForFramePainted(1));
    const QImage screen = Screen();
    Keep("clock_gdi_1640_zoom300");
    ExpectHands(screen, 390,
                {{"hour", 140, ScreenColour(0xC0C0C0), {5, 27}},
                 {"minute", 240, ScreenColour(0xFFFFFF), {10, 20, 28}},
                 {"second", 0, ScreenColour(0x5FBA68), {15, 25, 35}}});
    // The minute hand's outline and the second hand grow with the clock: three
    // pixels of outline and six of second hand.
    const QPoint second = DialPixel(390, 0, 30);
    int wide = 0;
    for (int x = second.x() - 8; x <= second.x() + 8; ++x)
        wide += Colour(screen, x, second.y()) == ScreenColour(0x5FBA68);
    EXPECT_GE(wide, 5);
    EXPECT_LE(wide, 7);
}

TEST_F(ClockPaintTest, FrameColouredHandsFollowTheSelectedFrame)
{
    Settings().FrameType = 5;
    Settings().HandsColorKind = 1;
    Settings().DigitalWatch = false;
    CLumidial& window = ShowClock(16, 40, 0);
    ASSERT_TRUE(WaitForFramePainted(5));

    const auto framePixel = [&](int slot) {
        return platform::FromPixel(window.FrameBitmap(slot).pixel(27, 27));
    };
    EXPECT_EQ(window.CurrentHandColors(), HandColorsFor(1, 0, framePixel(5), {}));
    EXPECT_EQ(window.CurrentHandColors().second, framePixel(5));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return ColourNear(Screen(), DialPixel(130, 0, 30), ScreenColour(framePixel(5))); }));

    // A new frame changes the hands only when the colours are asked for again.
    platform::SendAppMessage(platform::WM_SET_FRAME_TYPE, 11);
    EXPECT_EQ(window.CurrentHandColors().second, framePixel(5));
    platform::SendAppMessage(platform::WM_SET_HANDS_COLOR, 1);
    EXPECT_EQ(window.CurrentHandColors(), HandColorsFor(1, 0, framePixel(11), {}));
    ASSERT_TRUE(WaitForFramePainted(11));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return ColourNear(Screen(), DialPixel(130, 0, 30), ScreenColour(framePixel(11))); }));
}

TEST_F(ClockPaintTest, HandColourKindsAndDialType)
{
    Settings().DigitalWatch = false;
    CLumidial& window = ShowClock(16, 40, 0);
    struct Case
    {
        int kind;
        int clockFace;
        HandColors colours;
    };
    const Case cases[] = {
        {0, 0, {0xC0C0C0, 0xFFFFFF, 0x5FBA68}},
        {0, 1, {0x000000, 0x000000, 0x120AB4}},
        {2, 0, {0x0000FF, 0x00FF00, 0xFF0000}}, // the settings' own colours (defaults)
        {5, 0, {0x000000, 0x000000, 0x000000}},
    };
    for (const Case& c : cases) {
        Settings().HandsColorKind = c.kind;
        Settings().ClockFace = c.clockFace;
        // The dial type message asks for the hand colours again itself.
        platform::SendAppMessage(platform::WM_SET_CLOCK_FACE, static_cast<platform::WPARAM>(c.clockFace));
        EXPECT_EQ(window.CurrentHandColors(), c.colours) << c.kind << "/" << c.clockFace;
        EXPECT_TRUE(QTest::qWaitFor([&] {
            return ColourNear(Screen(), DialPixel(130, 0, 30), ScreenColour(c.colours.second)) &&
                   ColourNear(Screen(), DialPixel(130, 240, 20), ScreenColour(c.colours.minute));
        })) << c.kind
            << "/" << c.clockFace;
    }
}

TEST_F(ClockPaintTest, DotColourGroupsAndATransparentUnlitColour)
{
    Settings().DotColorGroup = 0;
    CLumidial& window = ShowClock(16, 40, 0);
    ASSERT_TRUE(WaitForFramePainted(1));
    // Green: the strip's lit dots turn 0x32FF00.
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return ColourNear(Screen(), QPoint(33, 45), ScreenColour(0x32FF00), 0, 8); }));
    EXPECT_EQ(LitPixels(Screen(), kUpperReadout), 0);

    // Own colours, with the unlit dots in the key colour: they vanish.
    Settings().DotColorGroup = 3;
    Settings().DotMatrixOnColor = 0x2040E0;
    Settings().DotMatrixOffColor = CDotMatrixText::kTransparent;
    platform::SendAppMessage(platform::WM_DOT_COLORS_CHANGED);
    const platform::Surface& strip = window.TimeDrawer().Strip();
    int lit = 0;
    for (int y = 0; y < strip.Height(); ++y)
        for (int x = 0; x < strip.Width(); ++x) {
            const platform::COLORREF c = strip.GetPixel(x, y);
            ASSERT_TRUE(c == 0x2040E0 || c == CDotMatrixText::kTransparent) << x << "," << y;
            lit += c == 0x2040E0;
        }
    EXPECT_GT(lit, 0);
    // Between the lit dots of "16;40" the desktop shows.
    EXPECT_TRUE(QTest::qWaitFor([&] {
        const QImage screen = Screen();
        int own = 0;
        for (int y = kUpperReadout.top(); y <= kUpperReadout.bottom(); ++y)
            for (int x = kUpperReadout.left(); x <= kUpperReadout.right(); ++x) {
                const QRgb c = Colour(screen, x, y);
                if (UnderHandOrFrame(x, y))
                    continue;
                if (c != kDesktop && c != ScreenColour(0x2040E0))
                    return false;
                own += c == ScreenColour(0x2040E0);
            }
        return own > 100;
    }));
    Keep("clock_gdi_transparent_unlit_dots");
}

TEST_F(ClockPaintTest, WithoutHandsOrFrameOnlyTheDesktopShows)
{
    Settings().ClockHands = false;
    Settings().Frame = false;
    Settings().DigitalWatch = false;
    ShowClock(16, 40, 0);
    EXPECT_TRUE(QTest::qWaitFor([&] {
        const QImage screen = Screen();
        for (int y = 0; y < screen.height(); ++y)
            for (int x = 0; x < screen.width(); ++x)
                if (Colour(screen, x, y) != kDesktop)
                    return false;
        return true;
    }));
}

} // namespace
