// The caption bar's gradient: band widths and colours at the widths around the
// 256-pixel rule.
#include "settings/prefs_static.h"

#include <gtest/gtest.h>

namespace {

// The colour of channel c at distance d from the right edge, for width w.
int Channel(int c, long long d, int w)
{
    return static_cast<int>(c - d * d * c / (static_cast<long long>(w) * w));
}

TEST(CaptionGradientTest, BandsFromTheRightEdge)
{
    struct Case
    {
        int width;
        int band;
    };
    const Case cases[] = {{2, 1}, {100, 1}, {255, 1}, {256, 2}, {387, 3}, {640, 5}};
    const platform::COLORREF face = 0xF0E0D0; // R 0xD0, G 0xE0, B 0xF0
    for (const Case& c : cases) {
        const QImage g = CaptionGradient(c.width, 4, face);
        ASSERT_EQ(g.size(), QSize(c.width, 4));
        // Bands run right to left while more than one band's width is left; the
        // rest at the left end is black.
        int x = c.width;
        int k = 0;
        while (x > c.band) {
            x -= c.band;
            ++k;
            const long long d = static_cast<long long>(k) * c.band;
            const QRgb expected = qRgb(Channel(0xD0, d, c.width), Channel(0xE0, d, c.width), Channel(0xF0, d, c.width));
            for (int i = 0; i < c.band; ++i)
                ASSERT_EQ(g.pixel(x + i, 3) & 0xFFFFFF, expected & 0xFFFFFF) << c.width << " at " << x + i;
        }
        EXPECT_EQ(x, (c.width - 1) % c.band + 1) << c.width;
        for (int left = 0; left < x; ++left)
            EXPECT_EQ(g.pixel(left, 0) & 0xFFFFFF, 0u) << c.width;
    }
}

// Inside a band the colour stays; it steps only where a band ends (near the
// right edge neighbouring bands may still share a colour).
TEST(CaptionGradientTest, ColourStepsOnlyAtBandEdges)
{
    const int width = 387; // the dialog's caption bar: bands of 3
    const QImage g = CaptionGradient(width, 1, 0xF0F0F0);
    for (int x = 1; x < width; ++x) {
        const bool edge = (width - x) % 3 == 0;
        const bool steps = g.pixel(x, 0) != g.pixel(x - 1, 0);
        if (steps)
            EXPECT_TRUE(edge) << x;
    }
    EXPECT_EQ(g.pixel(width - 1, 0) & 0xFF, static_cast<unsigned>(Channel(0xF0, 3, width)));
}

} // namespace
