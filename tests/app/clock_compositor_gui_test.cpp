// The clock's picture made by a compositor alone, with no window: the order of
// the composition, the hands, the readout and the frames over a plain desktop
// snapshot; a resize that arrives between frames; the snapshot scrolled by a drag.
// (A display is needed for fonts only; nothing is shown.)
#include "app/clock_compositor.h"
#include "effects/effect_codes.h"
#include "platform/resources.h"
#include "tests/app/clock_screen_fixture.h"

#include <cmath>
#include <gtest/gtest.h>
#include <vector>

namespace {

using lmd::test::Colour;
using lmd::test::ColourNear;
using lmd::test::DialPixel;
using lmd::test::kLowerReadout;
using lmd::test::kUpperReadout;
using lmd::test::LitPixels;
using lmd::test::ScreenColour;

constexpr platform::COLORREF kDesktopColour = 0x3060A0;
const QRgb kDesktop = ScreenColour(kDesktopColour);
const QRgb kTick = ScreenColour(0xD2D2D2);
const QRgb kHour = ScreenColour(0xC0C0C0); // the default dial's hand colours
const QRgb kMinute = ScreenColour(0xFFFFFF);
const QRgb kSecond = ScreenColour(0x5FBA68);

LocalDateTime At(int hour, int minute, int second, int millisecond = 0)
{
    return {2024, 5, 17, hour, minute, second, millisecond};
}

platform::Surface PlainDesktop(int side)
{
    platform::Surface desktop(side, side);
    desktop.Fill(kDesktopColour);
    return desktop;
}

class ClockCompositorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        settings.UseShaderMojiban = false; // the dial drawn here, not by the shader
        settings.FrameType = 1;
    }

    // A compositor of side by side pixels over the plain desktop, as the clock
    // window sets one up.
    ClockCompositor& Build(int side = 130)
    {
        compositor = std::make_unique<ClockCompositor>(settings);
        compositor->Resize({side, side});
        compositor->SetSnapshot(PlainDesktop(side));
        compositor->SelectFrame(settings.FrameType);
        compositor->RebuildLayers();
        compositor->SetDotColors();
        return *compositor;
    }

    QImage Compose(const LocalDateTime& now) { return compositor->Compose(now).Image().copy(); }

    AppSettings settings;
    std::unique_ptr<ClockCompositor> compositor;
};

TEST_F(ClockCompositorTest, LayersThenReadoutThenHandsThenFrame)
{
    const LocalDateTime time = At(16, 40, 0);
    const QImage frame = platform::LoadBitmap("FRM_BONDIEBLUE");
    // The ticks and hands alone over the desktop.
    settings.Frame = false;
    Build();
    const QImage hands = Compose(time);

    const struct
    {
        bool hands, readout, frame;
    } cases[] = {{false, false, false}, {true, false, false}, {false, true, false}, {false, false, true},
                 {true, true, false},   {true, false, true},  {false, true, true},  {true, true, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "hands " << c.hands << ", readout " << c.readout << ", frame " << c.frame);
        settings.ClockHands = c.hands;
        settings.DigitalWatch = c.readout;
        settings.Frame = c.frame;
        Build();
        const QImage picture = Compose(time);

        // Where nothing is drawn the desktop shows through the layers.
        EXPECT_EQ(Colour(picture, 65, 97), kDesktop);
        EXPECT_EQ(Colour(picture, 8, 64), c.frame ? Colour(frame, 8, 64) : kDesktop);
        EXPECT_EQ(ColourNear(picture, DialPixel(130, 90, 47.5), kTick), c.hands);
        // The frame lies over everything (its black is transparent), the hands
        // over the readout: none of their pixels is covered.
        int frameCovered = 0;
        int handsCovered = 0;
        for (int y = 0; y < 130; ++y)
            for (int x = 0; x < 130; ++x) {
                if (c.frame && Colour(frame, x, y) != 0)
                    frameCovered += Colour(picture, x, y) != Colour(frame, x, y);
                else if (c.hands && Colour(hands, x, y) != kDesktop)
                    handsCovered += Colour(picture, x, y) != Colour(hands, x, y);
            }
        EXPECT_EQ(frameCovered, 0);
        EXPECT_EQ(handsCovered, 0);
        // The readout over the layers: "16;40" where the hands leave it free.
        if (c.readout) {
            EXPECT_EQ(lmd::test::ReadoutMismatches(
                          picture, compositor->TimeDrawer(), "16;40", kUpperReadout.topLeft(), 16, 22,
                          [&](int x, int y) { return c.hands && Colour(hands, x, y) != kDesktop; }),
                      0);
        } else {
            EXPECT_EQ(LitPixels(picture, kUpperReadout), 0);
        }
    }
}

struct Hand
{
    QRgb colour;
    double degrees;
    std::vector<double> radii; // dial units along the hand where its colour shows
};

TEST_F(ClockCompositorTest, HandsPointAtTheTime)
{
    settings.Frame = false;
    const struct
    {
        LocalDateTime time;
        std::vector<Hand> hands; // the hands not hidden under another
    } cases[] = {
        {At(12, 0, 0), {{kMinute, 0, {10, 20, 35}}, {kSecond, 0, {15, 25, 35}}}},
        {At(3, 0, 0), {{kHour, 90, {5, 27}}, {kMinute, 0, {10, 20, 35}}, {kSecond, 0, {15, 25, 35}}}},
        {At(16, 40, 0), {{kHour, 140, {5, 27}}, {kMinute, 240, {10, 20, 28}}, {kSecond, 0, {15, 25, 35}}}},
        {At(9, 5, 7, 500),
         {{kHour, 272.5, {5, 27}}, {kMinute, 30.7, {10, 20, 28}}, {kSecond, 45, {15, 25, 35}}}},
    };
    Build();
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.time.hour << ":" << c.time.minute << ":" << c.time.second);
        const QImage picture = Compose(c.time);
        for (const Hand& hand : c.hands) {
            for (const double radius : hand.radii) {
                EXPECT_TRUE(ColourNear(picture, DialPixel(130, hand.degrees, radius), hand.colour))
                    << hand.degrees << " degrees, radius " << radius;
                EXPECT_FALSE(ColourNear(picture, DialPixel(130, hand.degrees + 180, radius), hand.colour))
                    << "reversed: " << hand.degrees << " degrees, radius " << radius;
            }
        }
    }
    // At three the hour hand's tip is at dial point (29, 0): pixel 94 of the
    // hands, which are keyed on one pixel up and to the left.
    const QImage three = Compose(At(3, 0, 0));
    EXPECT_TRUE(ColourNear(three, DialPixel(130, 90, 27), kHour));
    int beyondTip = 0;
    for (int y = 60; y <= 70; ++y)
        for (int x = 94; x <= 100; ++x)
            beyondTip += Colour(three, x, y) == kHour;
    EXPECT_EQ(beyondTip, 0);
}

TEST_F(ClockCompositorTest, ReadoutTextAndPlaceFollowTheHour)
{
    settings.ClockHands = false;
    settings.Frame = false;
    settings.DigitalWatch = true;
    settings.DigiSec = true;
    const struct
    {
        LocalDateTime time;
        const char* text;
        QRect at;    // where the readout stands
        QRect other; // the position it leaves empty
        const char* seconds;
        QPoint secondsAt;
    } cases[] = {
        {At(16, 40, 0), "16;40", kUpperReadout, kLowerReadout, "00", {53, 18}},
        {At(9, 5, 7), " 9;05", kLowerReadout, kUpperReadout, "07", {53, 96}},
        {At(2, 59, 59), " 2;59", kLowerReadout, kUpperReadout, "59", {53, 96}},
        {At(20, 0, 30), "20;00", kUpperReadout, kLowerReadout, "30", {53, 18}},
    };
    Build();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const QImage picture = Compose(c.time);
        const auto none = [](int, int) { return false; };
        EXPECT_EQ(compositor->TimeDrawer().Text(), c.text);
        EXPECT_EQ(lmd::test::ReadoutMismatches(picture, compositor->TimeDrawer(), c.text, c.at.topLeft(), 16,
                                               22, none),
                  0);
        EXPECT_EQ(lmd::test::ReadoutMismatches(picture, compositor->SecondsDrawer(), c.seconds, c.secondsAt,
                                               11, 15, none),
                  0);
        EXPECT_EQ(LitPixels(picture, c.other), 0);
    }
}

TEST_F(ClockCompositorTest, EveryFrameSlotStretchedToTheClocksSize)
{
    settings.ClockHands = false;
    settings.Frame = true;
    for (const int side : {130, 260}) {
        Build(side);
        compositor->CreateExtFrame(QStringLiteral("no such picture.png"), false);
        const QImage external =
            BuildExtFrame(compositor->FrameBitmap(4), platform::LoadBitmap("FRM_DEFAULT_IMG"), false);
        EXPECT_EQ(compositor->FrameBitmap(kExternalFrameSlot), external);
        for (const int slot : {0, 3, 4, 9, 15, kExternalFrameSlot, kFrameSlotCount, -1}) {
            SCOPED_TRACE(testing::Message() << "slot " << slot << ", side " << side);
            compositor->SelectFrame(slot);
            const QImage picture = Compose(At(10, 0, 0));
            // A slot that does not exist leaves the last one selected.
            const QImage& frame =
                compositor->FrameBitmap(slot >= 0 && slot < kFrameSlotCount ? slot : kExternalFrameSlot);
            const int scale = side / 130;
            for (int degrees = 0; degrees < 360; degrees += 20) {
                const QPoint p = DialPixel(130, degrees, 57);
                EXPECT_EQ(Colour(picture, p.x() * scale, p.y() * scale), Colour(frame, p.x(), p.y()))
                    << degrees;
            }
            EXPECT_EQ(Colour(picture, 65 * scale, 97 * scale), kDesktop);
        }
    }
}

TEST_F(ClockCompositorTest, ResizeBetweenFramesKeepsTheLastPictureUntilTheLayersAreRebuilt)
{
    settings.Frame = false;
    Build(130);
    const QImage before = Compose(At(16, 40, 0));
    const CEffectLayer* back = compositor->EffectLayer(ClockCompositor::kBack);
    const std::uint64_t frames = back->FrameCount();
    const int generation = compositor->LayerGeneration();

    // A burst of two size changes: the surfaces follow at once, the layers do not.
    for (const int side : {260, 390}) {
        compositor->Resize({side, side});
        EXPECT_TRUE(compositor->ResizePending());
        EXPECT_EQ(compositor->Width(), side);
        for (const QImage& kept : {Compose(At(3, 0, 0)), compositor->ComposeDragFrame().Image().copy()}) {
            ASSERT_EQ(kept.size(), QSize(side, side));
            const int scale = side / 130;
            // The last picture, stretched; no layer has run.
            for (int y = 0; y < 130; y += 7)
                for (int x = 0; x < 130; x += 7)
                    ASSERT_EQ(Colour(kept, x * scale, y * scale), Colour(before, x, y)) << x << "," << y;
        }
        EXPECT_EQ(back->FrameCount(), frames);
    }

    compositor->SetSnapshot(PlainDesktop(390));
    compositor->RebuildLayers();
    EXPECT_FALSE(compositor->ResizePending());
    EXPECT_EQ(compositor->LayerGeneration(), generation + 1);
    const QImage after = Compose(At(3, 0, 0));
    ASSERT_EQ(after.size(), QSize(390, 390));
    EXPECT_EQ(compositor->EffectLayer(ClockCompositor::kBack)->Width(), 390);
    EXPECT_TRUE(ColourNear(after, DialPixel(390, 90, 20), kHour, 0, 2));
    EXPECT_TRUE(ColourNear(after, DialPixel(390, 0, 30), kSecond, 0, 2));
    EXPECT_EQ(Colour(after, 195, 291), kDesktop);
}

// The screen of the scroll test: every pixel tells where it is.
platform::COLORREF ScreenPixel(int x, int y)
{
    return platform::Rgb(x % 251, y % 241, (x + y) % 239);
}

platform::Surface Grab(const QRect& area)
{
    platform::Surface pixels(area.width(), area.height());
    for (int y = 0; y < area.height(); ++y)
        for (int x = 0; x < area.width(); ++x)
            pixels.SetPixel(x, y, ScreenPixel(area.x() + x, area.y() + y));
    return pixels;
}

TEST_F(ClockCompositorTest, ScrolledSnapshotIsTheScreenAtTheNewPlace)
{
    const QPoint start(400, 300);
    const QPoint steps[] = {{10, 0}, {-7, 0}, {0, 5}, {0, -3}, {4, -6}, {-9, 11}, {200, 0}, {-3, -150}};
    for (const QPoint step : steps) {
        SCOPED_TRACE(testing::Message() << step.x() << "," << step.y());
        Build(130);
        compositor->SetSnapshot(Grab(QRect(start, QSize(130, 130))));
        std::vector<QRect> grabbed;
        const QPoint place = start + step;
        compositor->ScrollSnapshot(place, step, [&grabbed](const QRect& area) {
            grabbed.push_back(area);
            return Grab(area);
        });
        // Never a pixel of the clock's old place is read from the screen.
        for (const QRect& area : grabbed)
            EXPECT_FALSE(area.intersects(QRect(start, QSize(130, 130))));
        int wrong = 0;
        for (int y = 0; y < 130; ++y)
            for (int x = 0; x < 130; ++x)
                wrong += compositor->Snapshot().GetPixel(x, y) != ScreenPixel(place.x() + x, place.y() + y);
        EXPECT_EQ(wrong, 0);
    }
}

} // namespace

namespace {

// A desktop where every pixel differs from its neighbours, one per version.
platform::Surface PatternDesktop(int side, int version)
{
    platform::Surface desktop(side, side);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            desktop.SetPixel(
                x, y,
                platform::Rgb((x * 3 + version * 50) % 256, (y * 5 + version * 20) % 256, (x ^ y) % 256));
    return desktop;
}

// A new desktop taken in and handed to the back layer, then a frame.
QImage NewDesktopFrame(ClockCompositor& compositor, int version)
{
    compositor.SetSnapshot(PatternDesktop(compositor.Width(), version));
    compositor.SnapshotChanged();
    return compositor.Compose(At(16, 40, version)).Image().copy();
}

// The picture of a layer that copied its source every frame and then switched
// to code: the layer's own result, drawn without any handing on.
QImage CopyingLayerPicture(const platform::Surface& source, int code, const AppSettings& settings)
{
    CEffectLayer layer(source.Width(), source.Height());
    layer.SetSkipUnchanged(false);
    layer.Create(&source);
    layer.SetFilter(settings.FilterColor, settings.FilterAlpha);
    layer.Render(nullptr);
    layer.SetEffect(code);
    layer.Render(nullptr);
    return layer.Output().Image().copy();
}

// Nothing drawn over the layers: the final frame is the front layer's output.
class PassThroughTest : public ClockCompositorTest
{
protected:
    void SetUp() override
    {
        ClockCompositorTest::SetUp();
        settings.ClockHands = false;
        settings.Frame = false;
        settings.FilterColor = 0x2080C0;
        settings.FilterAlpha = 90;
    }

    // Which surface a layer's output is.
    const platform::Surface* OutputOf(ClockCompositor::Layer layer) const
    {
        return &compositor->EffectLayer(layer)->Output();
    }
};

} // namespace

TEST_F(PassThroughTest, NewDesktopReachesTheFrameThroughLayersThatHandTheSnapshotOn)
{
    for (const bool skip : {true, false}) {
        SCOPED_TRACE(skip ? "skipping" : "not skipping");
        Build();
        compositor->SetSkipUnchanged(skip);
        for (int version = 1; version <= 3; ++version) {
            const QImage frame = NewDesktopFrame(*compositor, version);
            EXPECT_EQ(frame, PatternDesktop(130, version).Image()) << version;
            // Skipping, every layer's output is the snapshot itself; not
            // skipping, every layer copies into its own surface.
            for (const auto layer :
                 {ClockCompositor::kBack, ClockCompositor::kMiddle, ClockCompositor::kFront})
                EXPECT_EQ(OutputOf(layer) == &compositor->Snapshot(), skip) << layer;
        }
    }
}

TEST_F(PassThroughTest, LayerSwitchedAwayFromPassThroughAndBackShowsItAtOnce)
{
    const struct
    {
        ClockCompositor::Layer layer;
        int code;
    } cases[] = {
        {ClockCompositor::kBack, EFFECT_COLOR_FILTER},
        {ClockCompositor::kMiddle, EFFECT_SEPIA},
        {ClockCompositor::kFront, EFFECT_MONOCHROME},
        {ClockCompositor::kMiddle, EFFECT_FROSTED_GLASS},
        {ClockCompositor::kBack, EFFECT_BLOCK_MOSAIC},
        {ClockCompositor::kFront, EFFECT_COLOR_FILTER},
        {ClockCompositor::kMiddle, 42}, // a code outside the table keeps the picture shown
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "layer " << c.layer << ", code " << c.code);
        Build();
        NewDesktopFrame(*compositor, 1);
        // The desktop changes while every layer hands it on, then the layer
        // switches: its effect reads the new desktop.
        NewDesktopFrame(*compositor, 2);
        compositor->SetLayerEffect(c.layer, c.code);
        const QImage switched = compositor->Compose(At(16, 41, 0)).Image().copy();
        EXPECT_EQ(switched, CopyingLayerPicture(PatternDesktop(130, 2), c.code, settings));
        // The layer draws into its own surface; the layers above hand that on.
        const CEffectLayer& changed = *compositor->EffectLayer(c.layer);
        EXPECT_NE(&changed.Output(), &compositor->Snapshot());
        EXPECT_EQ(OutputOf(ClockCompositor::kFront), &changed.Output());

        compositor->SetLayerEffect(c.layer, EFFECT_NONE);
        EXPECT_EQ(compositor->Compose(At(16, 41, 1)).Image(), PatternDesktop(130, 2).Image());
        EXPECT_EQ(NewDesktopFrame(*compositor, 3), PatternDesktop(130, 3).Image());
        EXPECT_EQ(OutputOf(ClockCompositor::kFront), &compositor->Snapshot());
    }
}
