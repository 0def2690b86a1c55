#include "effects/fur_strokes.h"
#include "platform/crt.h"
#include "platform/surface.h"

#include <QRect>
#include <gtest/gtest.h>
#include <vector>

namespace {

std::vector<std::uint32_t> Uniform(int w, int h, std::uint32_t colour)
{
    return std::vector<std::uint32_t>(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), colour);
}

// Bounds of the pixels that are no longer black.
QRect Touched(const platform::Surface& s)
{
    QRect r;
    for (int y = 0; y < s.Height(); ++y) {
        for (int x = 0; x < s.Width(); ++x) {
            if ((s.Row(y)[x] & 0xFFFFFFu) != 0) {
                r |= QRect(x, y, 1, 1);
            }
        }
    }
    return r;
}

TEST(FurStrokesTest, StrokeCountFollowsTheArea)
{
    CFurStrokes fur;
    fur.SetSize(130, 130);
    EXPECT_EQ(fur.m_nStrokes, 84);
    fur.SetSize(10, 10);
    EXPECT_EQ(fur.m_nStrokes, 0);
}

TEST(FurStrokesTest, BrightnessTurnsTheStroke)
{
    // One stroke at a time on black: white gives a vertical stroke 40 long, mid
    // grey a horizontal one about 20 long, black nothing at all.
    struct Case
    {
        std::uint32_t colour;
        int minWidth, maxWidth, minHeight, maxHeight;
    };
    const int W = 200;
    for (const Case c : {Case{0x00FFFFFF, 1, 3, 41, 41}, Case{0x00808080, 19, 21, 1, 3}}) {
        for (unsigned seed = 1; seed <= 20; ++seed) {
            crt::srand(seed);
            CFurStrokes fur;
            fur.SetSize(W, W);
            fur.m_nStrokes = 1;
            platform::Surface out(W, W);
            const auto pixels = Uniform(W, W, c.colour);
            fur.Draw(out, pixels.data());
            const QRect r = Touched(out);
            if (r.top() == 0 || r.bottom() == W - 1) {
                continue; // cut at the edge
            }
            EXPECT_GE(r.width(), c.minWidth) << std::hex << c.colour;
            EXPECT_LE(r.width(), c.maxWidth) << std::hex << c.colour;
            EXPECT_GE(r.height(), c.minHeight) << std::hex << c.colour;
            EXPECT_LE(r.height(), c.maxHeight) << std::hex << c.colour;
        }
    }
    crt::srand(7);
    CFurStrokes fur;
    fur.SetSize(W, W);
    platform::Surface out(W, W);
    const auto black = Uniform(W, W, 0);
    fur.Draw(out, black.data());
    EXPECT_TRUE(Touched(out).isEmpty());
}

TEST(FurStrokesTest, StrokesAreTranslucentAndPileUp)
{
    crt::srand(3);
    const int W = 130;
    CFurStrokes fur;
    fur.SetSize(W, W);
    platform::Surface out(W, W);
    const auto white = Uniform(W, W, 0x00FFFFFF);
    fur.Draw(out, white.data());
    int brightest = 0;
    for (int y = 0; y < W; ++y) {
        for (int x = 0; x < W; ++x) {
            brightest = std::max(brightest, static_cast<int>(out.Row(y)[x] & 0xFF));
        }
    }
    EXPECT_GE(brightest, 20); // alpha 20 of white over black, more where strokes cross
    EXPECT_LT(brightest, 120);
    for (int frame = 0; frame < 200; ++frame) {
        fur.Draw(out, white.data());
    }
    EXPECT_GT(static_cast<int>(out.Row(W / 2)[W / 2] & 0xFF), 200);
}

TEST(FurStrokesTest, TakesColoursFromTheSourceUnderTheStroke)
{
    // Left half red, right half blue (device rows; the source is bottom-up).
    const int W = 130;
    std::vector<std::uint32_t> pixels(W * W);
    for (int i = 0; i < W * W; ++i) {
        pixels[static_cast<std::size_t>(i)] = i % W < W / 2 ? 0x00FF0000u : 0x000000FFu;
    }
    crt::srand(11);
    CFurStrokes fur;
    fur.SetSize(W, W);
    platform::Surface out(W, W);
    for (int frame = 0; frame < 50; ++frame) {
        fur.Draw(out, pixels.data());
    }
    const std::uint32_t left = out.Row(60)[20];
    const std::uint32_t right = out.Row(60)[110];
    EXPECT_GT((left >> 16) & 0xFF, 0u);
    EXPECT_EQ(left & 0xFF, 0u);
    EXPECT_GT(right & 0xFF, 0u);
    EXPECT_EQ((right >> 16) & 0xFF, 0u);
}

TEST(FurStrokesTest, TinyPicturesStayInBounds)
{
    for (const auto& [w, h] : {std::pair{1, 1}, std::pair{2, 1}, std::pair{1, 300}, std::pair{300, 2}}) {
        CFurStrokes fur;
        fur.SetSize(w, h);
        fur.m_nStrokes = 500;
        platform::Surface out(w, h);
        const auto white = Uniform(w, h, 0x00FFFFFF);
        fur.Draw(out, white.data()); // AddressSanitizer watches the reads
    }
}

} // namespace
