#include "cpu_layer_fixture.h"

#include <cstdint>
#include <gtest/gtest.h>

namespace {

using lmd::test::CpuLayer;

constexpr std::uint32_t Rgb(int r, int g, int b)
{
    return static_cast<std::uint32_t>(r << 16 | g << 8 | b);
}
constexpr std::uint32_t Grey(int v)
{
    return Rgb(v, v, v);
}

TEST(PixelFilterTest, ColorFilterMixesTowardsTheFilterColour)
{
    struct Case
    {
        platform::COLORREF filter;
        int alpha;
        std::uint32_t source, expected;
    };
    const platform::COLORREF orange = platform::Rgb(255, 128, 0);
    for (const Case c : {Case{platform::Rgb(255, 255, 255), 128, Grey(0), Grey(128)},
                         Case{orange, 0, Rgb(10, 20, 30), Rgb(10, 20, 30)},
                         Case{orange, 255, Rgb(10, 20, 30), Rgb(255, 128, 0)},
                         Case{orange, 51, Rgb(0, 100, 255), Rgb(51, (51 * 128 + 100 * 204) / 255, 204)},
                         Case{orange, 300, Grey(7), Rgb(255, 128, 0)}, // out-of-range strength: full
                         Case{orange, -5, Grey(7), Grey(7)}}) {
        CpuLayer t(8, 8, c.source);
        t.layer->SetFilter(c.filter, c.alpha);
        t.Run(EFFECT_COLOR_FILTER);
        EXPECT_EQ(t.Out(3, 4), c.expected) << c.alpha;
    }
}

TEST(PixelFilterTest, ColorFilterStartsAsACopy)
{
    // Before the main window writes the filter, the strength is 0: the source shows.
    CpuLayer t(8, 8, Rgb(10, 200, 30));
    t.Run(EFFECT_COLOR_FILTER);
    EXPECT_EQ(t.Out(0, 0), Rgb(10, 200, 30));
}

TEST(PixelFilterTest, MonochromeAndSepiaUseTheLuma)
{
    struct Case
    {
        std::uint32_t source, mono, sepia;
    };
    for (const Case c : {Case{Grey(0), Grey(50), Grey(0)}, Case{Grey(255), Grey(255), Rgb(254, 225, 211)},
                         Case{Rgb(255, 0, 0), Grey(76), Rgb(75, 67, 62)}, // luma 76
                         Case{Rgb(0, 255, 0), Grey(149), Rgb(148, 131, 123)},
                         Case{Rgb(0, 0, 255), Grey(50), Rgb(28, 25, 24)}}) { // luma 29, floored at 50
        CpuLayer t(6, 6, c.source);
        t.Run(EFFECT_MONOCHROME);
        EXPECT_EQ(t.Out(2, 2), c.mono) << std::hex << c.source;
        t.Run(EFFECT_SEPIA);
        EXPECT_EQ(t.Out(2, 2), c.sepia) << std::hex << c.source;
    }
}

TEST(PixelFilterTest, FrostedGlassWeightsItsNeighbours)
{
    // Uniform grey 100: the weights add up to 98; border pixels miss neighbours.
    CpuLayer grey(12, 10, Grey(100));
    grey.Run(EFFECT_FROSTED_GLASS);
    EXPECT_EQ(grey.Out(5, 5), Grey(98));
    EXPECT_EQ(grey.Out(0, 0), Grey(40));  // 9 of 25 neighbours
    EXPECT_EQ(grey.Out(11, 9), Grey(40)); // the opposite corner
    EXPECT_EQ(grey.Out(0, 5), Grey(62));  // columns 0..2 present: 26 + 21 + 15
    EXPECT_EQ(grey.Out(1, 5), Grey(83));  // columns -1..2 present: 98 - 15

    // One white pixel spreads with the table's weights: 10 at the centre, 5 around, 3 outside.
    CpuLayer dot(12, 12, [](int x, int y) { return x == 5 && y == 6 ? Grey(255) : Grey(0); });
    dot.Run(EFFECT_FROSTED_GLASS);
    struct Case
    {
        int dx, dy, weight;
    };
    for (const Case c : {Case{0, 0, 10}, Case{1, 0, 5}, Case{-1, 1, 5}, Case{2, 0, 3}, Case{-2, -2, 3},
                         Case{1, -2, 3}, Case{3, 0, 0}, Case{0, 3, 0}}) {
        EXPECT_EQ(dot.Out(5 + c.dx, 6 + c.dy), Grey(255 * c.weight / 100)) << c.dx << "," << c.dy;
    }
}

TEST(PixelFilterTest, PortalRotatesRowsBySineOfRowAndFrame)
{
    const int W = 130;
    const auto colour = [](int x, int y) { return Rgb(x, y, 7); };
    // Frame 0, row 0: phase 0, shift 30. Frames 30, 60, 90: a quarter period each
    // (the shift reaches just short of 50, as pi is taken as 3.14159).
    struct Case
    {
        int frame, shift;
    };
    for (const Case c : {Case{0, 30}, Case{30, 49}, Case{60, 30}, Case{90, 10}, Case{120, 30}}) {
        CpuLayer t(W, W, colour);
        t.layer->SetEffect(EFFECT_NONE);
        for (int i = 0; i < c.frame; ++i) {
            t.layer->Render(nullptr);
        }
        t.Run(EFFECT_PORTAL);
        for (const int x : {0, 1, W - c.shift - 1, W - c.shift, W - 1}) {
            EXPECT_EQ(t.Out(x, 0), colour((x + c.shift) % W, 0)) << "frame " << c.frame << " x " << x;
        }
    }
    // Rows further down are further along the sine: 0.6 rows per step at W = 130.
    CpuLayer t(W, W, colour);
    t.Run(EFFECT_PORTAL);
    const int row = 18; // phase (int)(18 / 0.6006) = 29
    int shift = 0;
    while (shift < W && t.Out(0, row) != colour(shift, row)) {
        ++shift;
    }
    EXPECT_EQ(shift, 49);
}

TEST(PixelFilterTest, KernelFilterMasksFlatBrightAreasAndKeepsTheBorder)
{
    const int W = 10, H = 8;
    struct Case
    {
        std::uint32_t source, inside;
    };
    for (const Case c : {Case{Grey(255), Grey(255)}, Case{Grey(80), Grey(255)}, Case{Grey(79), Grey(0)},
                         Case{Rgb(255, 255, 79), Grey(0)}}) {
        CpuLayer t(W, H, Rgb(200, 0, 0)); // the output starts as this capture
        t.Paint([&](int, int) { return c.source; });
        t.Run(EFFECT_KERNEL_FILTER);
        EXPECT_EQ(t.Out(4, 4), c.inside) << std::hex << c.source;
        for (int x = 0; x < W; ++x) {
            EXPECT_EQ(t.Out(x, 0), Rgb(200, 0, 0));
            EXPECT_EQ(t.Out(x, H - 1), Rgb(200, 0, 0));
        }
        for (int y = 0; y < H; ++y) {
            EXPECT_EQ(t.Out(0, y), Rgb(200, 0, 0));
            EXPECT_EQ(t.Out(W - 1, y), Rgb(200, 0, 0));
        }
    }
    // An edge between white and a slightly darker white: black where the kernels see it.
    CpuLayer edge(10, 8, [](int x, int) { return x < 5 ? Grey(255) : Grey(200); });
    edge.Run(EFFECT_KERNEL_FILTER);
    EXPECT_EQ(edge.Out(2, 4), Grey(255));
    EXPECT_EQ(edge.Out(4, 4), Grey(0)); // sums of 2 x 55 = 110 > 100
    EXPECT_EQ(edge.Out(5, 4), Grey(0));
    EXPECT_EQ(edge.Out(7, 4), Grey(255));
}

TEST(PixelFilterTest, BlockMosaicAveragesBlocks)
{
    struct Case
    {
        int width, side;
    };
    // Block side (int)(W * 0.04), 1 below 2; partial blocks at the right and top.
    for (const Case c : {Case{130, 5}, Case{132, 5}, Case{40, 1}, Case{75, 3}}) {
        const int H = 11;
        CpuLayer t(c.width, H, [](int x, int y) { return Rgb(x % 256, (y * 20) % 256, (x * y) % 256); });
        t.Run(EFFECT_BLOCK_MOSAIC);
        for (int by = 0; by < H; by += c.side) {
            for (int bx = 0; bx < c.width; bx += c.side) {
                int r = 0, g = 0, b = 0, n = 0;
                for (int y = by; y < std::min(by + c.side, H); ++y) {
                    for (int x = bx; x < std::min(bx + c.side, c.width); ++x) {
                        const std::uint32_t p = t.Src(x, H - 1 - y); // blocks count buffer rows
                        r += static_cast<int>(p >> 16);
                        g += static_cast<int>((p >> 8) & 0xFF);
                        b += static_cast<int>(p & 0xFF);
                        ++n;
                    }
                }
                const std::uint32_t expected = Rgb(r / n, g / n, b / n);
                for (int y = by; y < std::min(by + c.side, H); ++y) {
                    for (int x = bx; x < std::min(bx + c.side, c.width); ++x) {
                        ASSERT_EQ(t.OutBuffer(x, y), expected) << c.width << ": " << x << "," << y;
                    }
                }
            }
        }
    }
}

TEST(PixelFilterTest, FisheyeKeepsTheCentreAndMagnifiesAroundIt)
{
    const auto colour = [](int x, int y) { return Rgb(x, y, 1); };
    for (const int size : {130, 131}) {
        CpuLayer t(size, size, Grey(0));
        t.Run(EFFECT_NONE);
        t.Paint(colour);
        t.Run(EFFECT_FISHEYE);
        const int hw = size / 2;
        // The centre pixel (offset 0, 0) shows itself.
        EXPECT_EQ(t.OutBuffer(hw, hw - 1), t.Src(hw, size - hw)) << size;
        // Near the centre the picture is hardly moved; towards the corners the
        // source is taken from farther out, clamped to the second column and row.
        EXPECT_EQ(t.OutBuffer(hw + 10, hw - 1), t.Src(hw + 10, size - hw)) << size;
        EXPECT_EQ(t.OutBuffer(hw + 30, hw - 1), t.Src(hw + 32, size - hw)) << size; // f = 0.91
        EXPECT_EQ(t.OutBuffer(0, 0), t.Src(1, size - 2)) << size;
        if (size % 2 == 1) {
            // The last column of an odd width is not written: it keeps the capture.
            EXPECT_EQ(t.OutBuffer(size - 1, 5), 0u);
        }
    }
}

} // namespace
