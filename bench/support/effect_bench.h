#pragma once
// What the effect benchmarks share: sizes, source pictures and the timed
// layer frame.
#include "effects/effect_layer.h"
#include "platform/surface.h"

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

// One layer frame of the effect per iteration (upload, draw, read-back) over
// the source, after the set-up and first frame.
inline void TimeLayerFrames(benchmark::State& state, const platform::Surface& source, int code)
{
    CEffectLayer layer(source.Width(), source.Height());
    layer.Create(&source);
    layer.SetEffect(code);
    layer.Render(nullptr); // set-up and first frame
    for (auto _ : state) {
        layer.Render(nullptr);
        benchmark::DoNotOptimize(layer.Output().Row(0));
    }
}

} // namespace lmd::bench
