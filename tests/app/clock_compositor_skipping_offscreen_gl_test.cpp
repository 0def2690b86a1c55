// The compositor's skipping of work that cannot change a pixel: for every effect
// code, in the back layer and in the middle layer over an animated back layer,
// and for the drawn dial, readout and date, a scripted ten-second run of the clock (a
// moving pointer, a desktop that changes now and then and is captured again
// unchanged in between, a drag, a day that ends, a filter and a frame switched
// meanwhile) gives exactly the same frames with the skipping on as with it off.
// Both runs see the same clock, the same shader time and the same random draws.
#include "app/clock_compositor.h"
#include "effects/effect_codes.h"
#include "effects/shader_renderer.h"
#include "platform/crt.h"
#include "platform/paths.h"

#include <QFile>
#include <cstdint>
#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <vector>

namespace {

constexpr int kSide = 130;
// Ten seconds of 50 ms frames (frame 0 at 0 s, frame 200 at 10 s) and one drag
// frame: the text rain counts its frames process-wide and draws its rain on even
// ones, so a run renders an even number of layer frames for the second run to
// start in step with the first.
constexpr int kFrames = 201;
constexpr int kDragFrames = 1;
constexpr int kFrameMs = 50;
static_assert((kFrames + kDragFrames) % 2 == 0);
static_assert((kFrames - 1) * kFrameMs >= 10'000);
// The script's events, spread over the run (besides them the pointer moves every
// fifth frame and the desktop is captured every tenth, see Run).
constexpr int kDragFrame = 77;
// The day ends; a new desktop is taken in then (the frames 10, 30, 50 ... do)
// but not handed over.
constexpr int kMidnightFrame = 110;
static_assert(kMidnightFrame % 20 == 10);
constexpr int kFilterFrame = 140;
constexpr int kFrameSwitchFrame = 160;
constexpr std::int64_t kFirstTick = 1'000'000;
constexpr unsigned kSeed = 20240517;
constexpr int kAnimatedBack = EFFECT_PLASMA; // a CPU effect that changes every frame

// The scripted clock: 17 May 2024, 50 ms on with each frame, the day ending at
// kMidnightFrame (at frame 0 it is 23:59:54.5).
LocalDateTime ClockAt(int frame)
{
    const std::int64_t ms = 86'400'000LL + std::int64_t{frame - kMidnightFrame} * kFrameMs;
    return {2024,
            5,
            17 + static_cast<int>(ms / 86'400'000),
            static_cast<int>(ms / 3'600'000 % 24),
            static_cast<int>(ms / 60'000 % 60),
            static_cast<int>(ms / 1000 % 60),
            static_cast<int>(ms % 1000)};
}

// A desktop picture that differs with each version: the pixel at screen point
// (x, y) of that version.
platform::COLORREF DesktopPixel(int x, int y, int version)
{
    const auto channel = [](int v) { return static_cast<platform::COLORREF>(v & 0xFF); };
    return channel(x * 3 + version * 40) | channel(y * 2 + version * 15) << 8 |
           channel((x ^ y) + version * 70) << 16;
}

platform::Surface Desktop(QRect area, int version)
{
    platform::Surface surface(area.width(), area.height());
    for (int y = 0; y < area.height(); ++y)
        for (int x = 0; x < area.width(); ++x)
            surface.SetPixel(x, y, DesktopPixel(area.x() + x, area.y() + y, version));
    return surface;
}

struct Scenario
{
    std::string name;
    std::array<int, 3> codes{}; // back, middle, front
    bool dialShader = true;
    bool readout = false;
    bool date = false;
};

// One run of the script; every final frame, in order.
std::vector<QImage> Run(const Scenario& scenario, bool skip)
{
    // Every run starts from the same clock, shader time and random draws.
    std::int64_t tick = kFirstTick;
    CShaderRenderer::SetTickSource([&tick] { return tick; });
    crt::SetSeedSource([] { return kSeed; });
    crt::srand(1);

    AppSettings settings;
    settings.UseShaderMojiban = scenario.dialShader;
    settings.DigitalWatch = scenario.readout;
    settings.DigiSec = scenario.readout;
    settings.Date = scenario.date;
    settings.EffectPtn0 = scenario.codes[0];
    settings.EffectPtn1 = scenario.codes[1];
    settings.EffectPtn2 = scenario.codes[2];
    settings.FilterColor = 0x2080C0;
    settings.FilterAlpha = 90;

    int frame = 0;
    ClockCompositor compositor(settings);
    compositor.SetSkipUnchanged(skip);
    QPoint place(200, 150);
    compositor.Resize({kSide, kSide});
    int version = 0;
    compositor.SetSnapshot(Desktop({place, QSize(kSide, kSide)}, version));
    compositor.SelectFrame(settings.FrameType);
    compositor.RebuildLayers();
    compositor.SetDotColors();
    compositor.SetImagePaths({platform::paths::InExeDir(QStringLiteral("assets/st_wood.jpg")),
                              platform::paths::InExeDir(QStringLiteral("assets/st_Pebbles.png"))});
    for (const ClockCompositor::Layer layer :
         {ClockCompositor::kBack, ClockCompositor::kMiddle, ClockCompositor::kFront})
        compositor.EffectLayer(layer)->SetClockTimeSource([&frame] { return ClockAt(frame); });

    std::vector<QImage> frames;
    for (; frame < kFrames; ++frame) {
        tick = kFirstTick + std::int64_t{frame} * kFrameMs;
        if (frame % 5 == 2) // the pointer circles over the clock
            compositor.MouseMove({65 + (frame * 7) % 50 - 25, 65 + (frame * 11) % 40 - 20});
        if (frame % 20 == 10) {
            // A new desktop, taken in and handed to the back layer as a recapture does.
            compositor.SetSnapshot(Desktop({place, QSize(kSide, kSide)}, ++version));
            if (frame != kMidnightFrame) // once taken in only, as a capture before a rebuild is
                compositor.SnapshotChanged();
        } else if (frame % 20 == 0) {
            // The same desktop again: a capture of a still desktop, once without the hand-over.
            compositor.SetSnapshot(Desktop({place, QSize(kSide, kSide)}, version));
            if (frame % 40 == 0)
                compositor.SnapshotChanged();
        }
        if (frame == kDragFrame) { // a drag step, then the button goes up
            const QPoint step(9, -5);
            place += step;
            compositor.ScrollSnapshot(place, step,
                                      [version](const QRect& area) { return Desktop(area, version); });
            frames.push_back(compositor.ComposeDragFrame().Image().copy());
            compositor.SnapshotChanged();
        }
        if (frame == kFilterFrame)
            compositor.SetFilter(0x40E020, 160);
        if (frame == kFrameSwitchFrame)
            settings.Frame = !settings.Frame; // as the settings dialog switches it
        frames.push_back(compositor.Compose(ClockAt(frame)).Image().copy());
    }
    CShaderRenderer::SetTickSource({});
    crt::SetSeedSource({});
    return frames;
}

void ExpectSameFrames(const Scenario& scenario)
{
    ASSERT_TRUE(QFile::exists(platform::paths::InExeDir(QStringLiteral("shaders/LM_Clock.frag"))));
    const std::vector<QImage> full = Run(scenario, false);
    const std::vector<QImage> skipped = Run(scenario, true);
    ASSERT_EQ(skipped.size(), full.size());
    for (std::size_t i = 0; i < full.size(); ++i) {
        if (skipped[i] != full[i]) {
            ADD_FAILURE() << scenario.name << ": frame " << i << " differs with the skipping on";
            return;
        }
    }
}

std::string CodeName(int code)
{
    return std::string(FindEffect(code)->name);
}

std::vector<int> EveryCode()
{
    return EffectCodes([](const EffectInfo&) { return true; });
}

std::string ParamName(const ::testing::TestParamInfo<int>& info)
{
    return CodeName(info.param);
}

void PrintTo(const Scenario& scenario, std::ostream* out)
{
    *out << scenario.name;
}

class BackLayerSkippingTest : public ::testing::TestWithParam<int>
{
};

TEST_P(BackLayerSkippingTest, FramesAsWithoutSkipping)
{
    ExpectSameFrames({"back " + CodeName(GetParam()), {GetParam(), 0, 0}});
}

INSTANTIATE_TEST_SUITE_P(EveryCode, BackLayerSkippingTest, ::testing::ValuesIn(EveryCode()), ParamName);

class MiddleLayerSkippingTest : public ::testing::TestWithParam<int>
{
};

TEST_P(MiddleLayerSkippingTest, FramesAsWithoutSkippingOverAnAnimatedBack)
{
    ExpectSameFrames({"middle " + CodeName(GetParam()), {kAnimatedBack, GetParam(), 0}});
}

INSTANTIATE_TEST_SUITE_P(EveryCode, MiddleLayerSkippingTest, ::testing::ValuesIn(EveryCode()), ParamName);

// The drawn dial with the readout and the date, over still and animated layers.
class DrawnDialSkippingTest : public ::testing::TestWithParam<Scenario>
{
};

TEST_P(DrawnDialSkippingTest, FramesAsWithoutSkipping)
{
    ExpectSameFrames(GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DrawnDialSkippingTest,
    ::testing::Values(
        Scenario{"PassThrough", {0, 0, 0}, false, true, true},
        Scenario{"PassThroughHandsOnly", {0, 0, 0}, false, false, false},
        Scenario{
            "FiltersStacked", {EFFECT_COLOR_FILTER, EFFECT_FROSTED_GLASS, EFFECT_SEPIA}, false, true, true},
        Scenario{"SlideShowUnderFilter", {EFFECT_IMAGE_SLIDESHOW, EFFECT_MONOCHROME, 0}, false, true, false},
        Scenario{"DotGridFront", {0, 0, EFFECT_DOT_GRID}, false, false, true},
        Scenario{"ShaderDialWithReadoutAndDate", {EFFECT_BLOCK_MOSAIC, 0, 0}, true, true, true}),
    [](const ::testing::TestParamInfo<Scenario>& info) { return info.param.name; });

} // namespace
