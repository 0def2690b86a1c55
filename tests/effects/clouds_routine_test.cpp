#include "effects/clouds_routine.h"

#include <algorithm>
#include <cstdint>
#include <gtest/gtest.h>
#include <vector>

namespace {

using Pixels = std::vector<std::uint32_t>;

TEST(CloudsRoutineTest, CoverageGrowsInTenSteps)
{
    struct Case
    {
        int r, u;
    };
    for (const Case c : {Case{0, 0}, Case{28, 0}, Case{29, 30}, Case{56, 30}, Case{57, 47}, Case{85, 60},
                         Case{113, 60}, Case{114, 69}, Case{142, 77}, Case{170, 84}, Case{198, 84},
                         Case{199, 90}, Case{227, 95}, Case{254, 95}, Case{255, 100}}) {
        EXPECT_EQ(CCloudsRoutine::Coverage(c.r), c.u) << c.r;
    }
}

// A routine with hand-made maps: map 0 holds one bright point, maps 1 and 2 are
// empty unless given.
struct Clouds
{
    static constexpr int W = 16, H = 12;
    Clouds()
    {
        clouds.m_nWidth = W;
        clouds.m_nHeight = H;
        for (auto& map : clouds.m_map) {
            map.assign(W * H, 0);
        }
    }
    void Spot(int map, int x, int y, int value)
    {
        clouds.m_map[map][static_cast<std::size_t>(y * W + x)] = value;
    }
    Pixels Frame(std::uint32_t sourcePixel = 0)
    {
        const Pixels source(W * H, sourcePixel);
        Pixels out(W * H, 0x12345678);
        clouds.Render(out.data(), source.data());
        return out;
    }
    CCloudsRoutine clouds;
};

std::vector<std::size_t> Lit(const Pixels& p)
{
    std::vector<std::size_t> lit;
    for (std::size_t i = 0; i < p.size(); ++i) {
        if (p[i] != 0) {
            lit.push_back(i);
        }
    }
    return lit;
}

TEST(CloudsRoutineTest, BlendsByCoverage)
{
    Clouds c;
    c.clouds.m_drift[0] = c.clouds.m_drift[1] = 0;
    for (int m = 0; m < 3; ++m) {
        c.Spot(m, 3, 3, 255); // r = 255: pure cloud
        c.Spot(m, 5, 5, 20);  // r = 20: pure source
        c.Spot(m, 7, 7, 57);  // r = 57: 47 % cloud
    }
    const Pixels out = c.Frame(0x00C86400);
    EXPECT_EQ(out[3 * 16 + 3], 0x00FFFFFFu);
    EXPECT_EQ(out[5 * 16 + 5], 0x00C86400u);
    const auto mix = [](int s) { return static_cast<std::uint32_t>((57 * 47 + s * 53) / 100); };
    EXPECT_EQ(out[7 * 16 + 7], mix(0xC8) << 16 | mix(0x64) << 8 | mix(0));
    EXPECT_EQ(out[0], 0x00C86400u); // r = 0 elsewhere; the fourth byte is cleared
}

TEST(CloudsRoutineTest, DriftMovesEachMapAtItsOwnSpeed)
{
    // Per frame map k moves by drift / (k + 1): a drift of 1 moves only map 0.
    struct Case
    {
        int drift, map;
        int moves[3];
    };
    for (const Case t : {Case{1, 0, {1, 0, 0}}, Case{1, 1, {1, 0, 0}}, Case{2, 1, {2, 1, 0}},
                         Case{3, 2, {3, 1, 1}}, Case{-1, 0, {-1, 0, 0}}}) {
        Clouds c;
        c.clouds.m_drift[0] = c.clouds.m_drift[1] = t.drift;
        c.Spot(t.map, 8, 6, 255);
        for (int frame = 1; frame <= 2; ++frame) {
            const Pixels out = c.Frame();
            const int step = t.moves[t.map] * frame;
            const int x = (8 - step + 16) % 16, y = (6 - step + 12) % 12;
            EXPECT_EQ(Lit(out), std::vector<std::size_t>{static_cast<std::size_t>(y * 16 + x)})
                << "drift " << t.drift << " map " << t.map << " frame " << frame;
            for (int m = 0; m < 3; ++m) {
                EXPECT_EQ(c.clouds.m_offset[m][0], (t.moves[m] * frame + 16) % 16);
            }
        }
    }
}

TEST(CloudsRoutineTest, MouseMovesSetTheDrift)
{
    struct Case
    {
        int x, y, dx, dy;
    };
    CCloudsRoutine clouds;
    // The drift points against the mouse in x and with it in y; no move stops it.
    for (const Case c : {Case{10, 5, -1, 1}, Case{4, 5, 1, 0}, Case{4, 2, 0, -1}, Case{4, 2, 0, 0}}) {
        clouds.SetDrift(c.x, c.y);
        EXPECT_EQ(clouds.m_drift[0], c.dx) << c.x << "," << c.y;
        EXPECT_EQ(clouds.m_drift[1], c.dy) << c.x << "," << c.y;
    }
}

TEST(CloudsRoutineTest, SetUpMakesThreeDifferentCloudMaps)
{
    CCloudsRoutine clouds;
    clouds.Create(130, 100);
    for (const auto& map : clouds.m_map) {
        ASSERT_EQ(map.size(), 130u * 100u);
        const auto [lo, hi] = std::minmax_element(map.begin(), map.end());
        EXPECT_GE(*lo, 0);
        EXPECT_LE(*hi, 255);
        EXPECT_GT(*hi - *lo, 30); // a cloud, not a flat grey
    }
    EXPECT_NE(clouds.m_map[0], clouds.m_map[1]);
    EXPECT_NE(clouds.m_map[1], clouds.m_map[2]);
    // Neighbouring pixels are alike: the noise shrinks with the cell size.
    long long jumps = 0;
    for (std::size_t i = 1; i < clouds.m_map[0].size(); ++i) {
        jumps += std::abs(clouds.m_map[0][i] - clouds.m_map[0][i - 1]);
    }
    EXPECT_LT(jumps / static_cast<long long>(clouds.m_map[0].size()), 25);
}

} // namespace
