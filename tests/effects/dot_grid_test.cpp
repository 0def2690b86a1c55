#include "cpu_layer_fixture.h"
#include "effects/dot_grid.h"

#include <gtest/gtest.h>

namespace {

using lmd::test::CpuLayer;

TEST(DotGridTest, DotsWithHalosOnASixPixelGrid)
{
    // 130 px: step 6, first centre 3, radii 3 (opaque) and 4 (alpha 64), 22 x 22 dots.
    CpuLayer t(130, 130, [](int x, int y) { return static_cast<std::uint32_t>(x << 16 | y << 8 | 0xC8); });
    t.Run(EFFECT_DOT_GRID);
    for (const int cx : {3, 9, 69, 123, 129}) {
        for (const int cy : {3, 15, 129}) {
            const std::uint32_t colour = t.Src(cx, cy);
            EXPECT_EQ(t.Out(cx, cy), colour) << cx << "," << cy;
            EXPECT_EQ(t.Out(cx - 2, cy - 2), colour) << cx << "," << cy; // 8 < 9: inside the dot
        }
    }
    EXPECT_EQ(t.Out(0, 0), 0u); // 18 > 16: between the halos
    EXPECT_EQ(t.Out(6, 6), 0u);

    // Between two dots of one colour the halos of both lie over each other:
    // (3, 0) from either centre is outside the dot (9 is not below 9), inside the halo.
    CpuLayer grey(130, 130, 0x00C8C8C8);
    grey.Run(EFFECT_DOT_GRID);
    const int once = (0xC8 * 64 + 127) / 255;
    const auto twice = static_cast<std::uint32_t>((0xC8 * 64 + once * 191 + 127) / 255);
    EXPECT_EQ(grey.Out(6, 3), twice << 16 | twice << 8 | twice);
    EXPECT_EQ(grey.Out(3, 6), twice << 16 | twice << 8 | twice);
}

TEST(DotGridTest, RedrawsEveryFourthFrame)
{
    CpuLayer t(64, 64, 0x00FF0000);
    t.layer->SetEffect(EFFECT_DOT_GRID);
    for (int frame = 0; frame <= 12; ++frame) {
        // A new source colour every frame; the grid shows the colour of the last
        // frame whose count is a multiple of 4.
        const std::uint32_t colour = 0x00100000u * static_cast<std::uint32_t>(frame + 1);
        t.Paint([colour](int, int) { return colour; });
        t.Run(EFFECT_DOT_GRID);
        const int drawn = frame / 4 * 4;
        EXPECT_EQ(t.Out(1, 1), 0x00100000u * static_cast<std::uint32_t>(drawn + 1)) << frame;
    }
}

TEST(DotGridTest, NarrowPicturesStillFinish)
{
    // Below 20 pixels the step would be 0: it is at least 1 (the dots are then empty).
    for (const int w : {1, 5, 19, 20, 39}) {
        CDotGrid grid;
        grid.m_nWidth = w;
        grid.m_nHeight = 7;
        platform::Surface out(w, 7);
        const std::vector<std::uint32_t> pixels(static_cast<std::size_t>(w) * 7, 0x00FFFFFF);
        grid.Draw(out, pixels.data());
        int lit = 0;
        for (int y = 0; y < 7; ++y) {
            for (int x = 0; x < w; ++x) {
                lit += (out.Row(y)[x] & 0xFFFFFFu) != 0;
            }
        }
        EXPECT_EQ(lit > 0, w >= 40) << w; // radii (int)(0.5 s) and (int)(0.8 s) are 0 below s = 2
    }
}

} // namespace
