#include "effects/fire_routine.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <vector>

namespace {

using Pixels = std::vector<std::uint32_t>;

int R(std::uint32_t p)
{
    return static_cast<int>((p >> 16) & 0xFF);
}
int G(std::uint32_t p)
{
    return static_cast<int>((p >> 8) & 0xFF);
}
int B(std::uint32_t p)
{
    return static_cast<int>(p & 0xFF);
}

TEST(FireRoutineTest, PaletteRunsFromBlackThroughRedAndYellowToWhite)
{
    CFireRoutine fire;
    fire.Create(130, 130);
    const auto& p = fire.m_palette;
    EXPECT_EQ(p[0], 0u);
    EXPECT_EQ(p[34], 0u);
    EXPECT_EQ(p[255], 0u);
    EXPECT_GE(R(p[254]), 250);
    EXPECT_GE(G(p[254]), 250);
    EXPECT_GE(B(p[254]), 250);
    // 35..69: the squeezed black-to-red ramp; then the first gradient again.
    for (int i = 35; i <= 69; ++i) {
        EXPECT_EQ(G(p[i]) | B(p[i]), 0) << i;
        if (i > 35) {
            EXPECT_GT(R(p[i]), R(p[i - 1])) << i;
        }
    }
    EXPECT_LE(R(p[35]), 10);
    EXPECT_GE(R(p[69]), 240);
    EXPECT_EQ(p[70], 212u << 16); // 83 % red
    // Three steps share each entry and the last one stays: red, then yellow, each 2/255 on.
    EXPECT_EQ(p[85], 0xFF0200u);
    EXPECT_EQ(p[170], 0xFFFF02u);
    for (int i = 86; i < 170; ++i) {
        EXPECT_EQ(R(p[i]), 255) << i;
        EXPECT_GT(G(p[i]), G(p[i - 1])) << i;
    }
}

TEST(FireRoutineTest, UpperHalfFadesIntoTheSource)
{
    // With no seeding the fire stays cold (black) and an all-black output only
    // shows the source through the fade: row i gets (65 + i - 129) * 100 / 68 percent.
    const int W = 20, H = 130;
    CFireRoutine fire;
    fire.Create(W, H);
    fire.m_nSeedChance = 0;
    const Pixels source(W * H, 0x00FFFFFF);
    Pixels out(W * H, 0);
    fire.Render(source.data(), out.data());
    struct Case
    {
        int row, percent;
    };
    for (const Case c : {Case{0, 0}, Case{63, 0}, Case{64, 0}, Case{65, 1}, Case{100, 52}, Case{129, 95}}) {
        const std::uint32_t v = static_cast<std::uint32_t>(255 * c.percent / 100);
        EXPECT_EQ(out[static_cast<std::size_t>(c.row * W + 7)], v << 16 | v << 8 | v) << c.row;
    }
}

TEST(FireRoutineTest, ColourBlendsThirtyOf256TowardsThePalette)
{
    const int W = 8, H = 4; // every row fades: test a low-fade row only
    CFireRoutine fire;
    fire.Create(W, H);
    fire.m_nSeedChance = 0;
    const Pixels source(W * H, 0);
    Pixels out(W * H, 0x00C86432);
    fire.Render(source.data(), out.data());
    // Cold fire: palette black; c * 226 >> 8, then row 1 of 4: pct = (2 + 1 - 4 + 1) * 100 / 5 = 0.
    const auto c = [](int v) { return static_cast<std::uint32_t>(v * 226 >> 8); };
    EXPECT_EQ(out[1 * W + 3], c(0xC8) << 16 | c(0x64) << 8 | c(0x32));
}

TEST(FireRoutineTest, FlamesRiseFromTheBottom)
{
    const int W = 130, H = 130;
    CFireRoutine fire;
    fire.Create(W, H);
    const Pixels source(W * H, 0x000000FF); // blue picture
    Pixels out(W * H, 0);
    for (int frame = 0; frame < 80; ++frame) {
        fire.Render(source.data(), out.data());
    }
    const auto rowRed = [&](int row) {
        int sum = 0;
        for (int x = 0; x < W; ++x) {
            sum += R(out[static_cast<std::size_t>(row * W + x)]);
        }
        return sum / W;
    };
    EXPECT_GT(rowRed(0), 150);  // bottom row: hot
    EXPECT_LT(rowRed(129), 20); // top row: source shows through
    EXPECT_GE(B(out[129 * W + 5]), 240);
    for (int x = 0; x < W; ++x) {
        EXPECT_LE(fire.m_fire[static_cast<std::size_t>(x)], 254);
    }
}

} // namespace
