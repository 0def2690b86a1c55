#pragma once
// What the effect benchmarks share: sizes, source pictures and the timed
// layer frames.
//
// A timed layer frame follows a change of the layer's source, told with
// RecaptureSource as the compositor tells a layer whose source changed: the
// capture (one copy of the pixels) is part of every frame, and an effect that
// keeps its output while its source stands (pass-through, the pixel filters)
// draws. An effect that draws on some frames only (slideshow, dot grid, metal
// lens, the drizzle's drop frames) runs frames until one draws: an iteration is
// one drawn frame, and the counter "frames" is the layer frames it took.
// Before timing, one untimed frame sets the effect up, and a check stops the
// benchmark with an error unless a frame over changed source pixels changes
// the output's pixels.
#include "effects/effect_layer.h"
#include "platform/surface.h"

#include <QImage>
#include <benchmark/benchmark.h>
#include <cstdint>

namespace lmd::bench {

// The side of the 130-pixel clock at a zoom percentage.
inline int SideForZoom(int zoom)
{
    return 130 * zoom / 100;
}

// A picture with something in every pixel: red grows to the right, green
// downwards, blue is fixed.
inline platform::Surface GradientPicture(int side, std::uint32_t blue)
{
    platform::Surface picture(side, side);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            picture.Row(y)[x] = 0xFF000000u | static_cast<std::uint32_t>(x * 255 / side) << 16 |
                                static_cast<std::uint32_t>(y * 255 / side) << 8 | blue;
    return picture;
}

// Runs change, which must change the picture's pixels: false, with the
// benchmark stopped by the error, when it left them as they were.
template <typename Change>
bool ChangesPixels(benchmark::State& state, const QImage& picture, Change change, const char* error)
{
    const QImage before = picture.copy();
    change();
    if (picture == before) {
        state.SkipWithError(error);
        return false;
    }
    return true;
}

// A bound on the frames an effect keeps its output between two drawn frames
// (the slideshow draws once a second, every 20th frame).
inline constexpr int kMostFramesToDraw = 100;

// One timed iteration: the source marked changed, then layer frames until one
// draws. Returns the number of frames.
inline int DrawnFrame(CEffectLayer& layer)
{
    layer.RecaptureSource();
    int frames = 0;
    do {
        layer.Render(nullptr);
        ++frames;
    } while (!layer.OutputChanged() && frames < kMostFramesToDraw);
    return frames;
}

// The untimed set-up frame, then the check: with the source's pixels inverted,
// an iteration must change the output's pixels. False, with the benchmark
// stopped by an error, when it did not.
inline bool WarmUpLayer(benchmark::State& state, CEffectLayer& layer, platform::Surface& source)
{
    DrawnFrame(layer);
    return ChangesPixels(
        state, layer.Output().Image(),
        [&] {
            source.PatBlt(0, 0, source.Width(), source.Height(), platform::PatOp::DstInvert);
            DrawnFrame(layer);
        },
        "a frame over a changed source changed no pixel: the frame was skipped");
}

// An untimed first frame of a renderer that draws into target, which must draw
// the picture.
template <typename Frame> bool FirstFrameDraws(benchmark::State& state, platform::Surface& target, Frame frame)
{
    target.Fill(platform::Rgb(1, 2, 3));
    return ChangesPixels(state, target.Image(), frame, "the first frame drew nothing");
}

// Drawn frames of a created layer (its effect set) over its source, after the
// warm-up and check.
inline void TimeDrawnFrames(benchmark::State& state, CEffectLayer& layer, platform::Surface& source)
{
    if (!WarmUpLayer(state, layer, source))
        return;
    std::int64_t frames = 0;
    for (auto _ : state) {
        frames += DrawnFrame(layer);
        benchmark::DoNotOptimize(layer.Output().Row(0));
    }
    state.counters["frames"] =
        benchmark::Counter(static_cast<double>(frames), benchmark::Counter::kAvgIterations);
}

// Drawn frames of a new layer with the effect over the source (upload, draw
// and read-back for the GL effects).
inline void TimeLayerFrames(benchmark::State& state, platform::Surface source, int code)
{
    CEffectLayer layer(source.Width(), source.Height());
    layer.Create(&source);
    layer.SetEffect(code);
    TimeDrawnFrames(state, layer, source);
}

} // namespace lmd::bench
