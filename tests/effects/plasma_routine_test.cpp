#include "effects/plasma_routine.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <vector>

namespace {

using Pixels = std::vector<std::uint32_t>;

TEST(PlasmaRoutineTest, FirstFrameAndPhases)
{
    CPlasmaRoutine plasma;
    plasma.Create(130, 130);
    // All phases 0: four cosines of 0, 4 x 30.
    EXPECT_EQ(plasma.m_index[0], 120);
    EXPECT_EQ(plasma.m_cos[0], 30);
    EXPECT_EQ(plasma.m_cos[64], -29);
    // The set-up has stepped once: phases 1, -2, -1, +3 as bytes.
    EXPECT_EQ(plasma.m_startPhase[0], 1);
    EXPECT_EQ(plasma.m_startPhase[1], 254);
    EXPECT_EQ(plasma.m_startPhase[2], 255);
    EXPECT_EQ(plasma.m_startPhase[3], 3);
    EXPECT_EQ(plasma.m_nBlend, 30);
    EXPECT_EQ(plasma.m_nSourceShare, 25);
    // Negative sums wrap to the top of the palette.
    int wrapped = 0;
    for (const std::uint8_t i : plasma.m_index) {
        wrapped += i >= 136;
        EXPECT_TRUE(i <= 120 || i >= 136) << int{i};
    }
    EXPECT_GT(wrapped, 0);
}

TEST(PlasmaRoutineTest, PaletteSegments)
{
    CPlasmaRoutine plasma;
    plasma.Create(4, 4);
    struct Case
    {
        int index;
        std::uint32_t colour;
    };
    // Each segment stops 1/32 short of its end colour (MulDiv rounds to nearest).
    for (const Case c : {Case{0, 0x000000}, Case{31, 0x0000F7}, Case{32, 0x0000FF}, Case{48, 0x00807F},
                         Case{64, 0x00FF00}, Case{96, 0x00FFFF}, Case{159, 0x00FFFF}, Case{192, 0x00FF00},
                         Case{224, 0x0000FF}, Case{255, 0x000008}}) {
        EXPECT_EQ(plasma.m_palette[static_cast<std::size_t>(c.index)], c.colour) << c.index;
    }
}

TEST(PlasmaRoutineTest, BlendsIntoTheOutputAndMixesTheSource)
{
    CPlasmaRoutine plasma;
    plasma.Create(2, 1);
    plasma.m_index = {120, 0}; // cyan, black
    const Pixels source(2, 0x00FFFFFF);
    Pixels out(2, 0);
    plasma.Render(source.data(), out.data());
    // Cyan: g, b = 255 * 30 >> 8 = 29, then (29 * 75 + 255 * 25) / 100 = 85; red (0 + 6375) / 100 = 63.
    EXPECT_EQ(out[0], 0x003F5555u);
    EXPECT_EQ(out[1], 0x003F3F3Fu);
}

} // namespace
