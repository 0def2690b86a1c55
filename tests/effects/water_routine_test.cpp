#include "effects/water_routine.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <set>
#include <utility>
#include <vector>

namespace {

using Pixels = std::vector<std::uint32_t>;

struct Water
{
    Water(int w, int h, int light = 1)
    {
        water.m_bLight = light;
        water.Create(w, h);
    }
    int& Height(int x, int y) { return water.m_pField1[static_cast<std::size_t>(y * water.m_nWidth + x)]; }
    CWaterRoutine water;
};

std::set<std::pair<int, int>> Touched(const std::vector<int>& field, int w)
{
    std::set<std::pair<int, int>> points;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] != 0) {
            points.emplace(static_cast<int>(i) % w, static_cast<int>(i) / w);
        }
    }
    return points;
}

TEST(WaterRoutineTest, StillWaterCopiesTheInteriorAndKeepsTheBorder)
{
    for (const int light : {0, 1}) {
        Water w(8, 6, light);
        Pixels source(48), destination(48, 0xDEADBEEF);
        for (std::size_t i = 0; i < source.size(); ++i) {
            source[i] = static_cast<std::uint32_t>(0x00102030 + i * 0x010101);
        }
        w.water.Render(source.data(), destination.data());
        for (int y = 0; y < 6; ++y) {
            for (int x = 0; x < 8; ++x) {
                const auto i = static_cast<std::size_t>(y * 8 + x);
                const bool interior = x >= 1 && x <= 6 && y >= 1 && y <= 4;
                EXPECT_EQ(destination[i], interior ? source[i] : 0xDEADBEEF) << light << " " << x << "," << y;
            }
        }
    }
}

TEST(WaterRoutineTest, SteepSlopesClampTheShading)
{
    struct Case
    {
        int x, y, height;
        std::uint32_t expected;
    };
    // A slope of 300 darkens any component to 0, -300 brightens it to 255; the
    // light pixel is then looked up 37 (or -38) rows and columns away.
    for (const Case c :
         {Case{10, 10, 300, 0x000000}, Case{60, 60, -300, 0xFFFFFF}, Case{30, 30, 8, 0x787878}}) {
        Water w(100, 100);
        w.Height(c.x, c.y) = c.height;
        const Pixels source(100 * 100, 0x00808080);
        Pixels destination(100 * 100, 0);
        w.water.Render(source.data(), destination.data());
        EXPECT_EQ(destination[static_cast<std::size_t>(c.y * 100 + c.x)], c.expected) << c.height;
    }
}

TEST(WaterRoutineTest, RefractionReadsTheDisplacedSourcePixel)
{
    Water w(50, 50, 0);
    w.Height(20, 20) = 16; // slope 16 to the right and up: offset (2, 2)
    Pixels source(50 * 50);
    for (std::size_t i = 0; i < source.size(); ++i) {
        source[i] = static_cast<std::uint32_t>(i);
    }
    Pixels destination(50 * 50, 0);
    w.water.Render(source.data(), destination.data());
    EXPECT_EQ(destination[20 * 50 + 20], source[22 * 50 + 22]);
}

TEST(WaterRoutineTest, DropFootprintIsTheOpenDiscInsideTheInterior)
{
    struct Case
    {
        int x, y, r;
        std::size_t count;
    };
    const int W = 40, H = 30;
    for (const Case c : {Case{10, 10, 1, 1}, Case{10, 10, 2, 9}, Case{0, 0, 3, 4}, Case{20, 15, 5, 69},
                         Case{39, 29, 4, 8}, Case{-50, 200, 3, 0}, Case{100, 10, 3, 0}}) {
        Water w(W, H);
        w.water.AddDrop(c.x, c.y, c.r, 7, 0);
        std::set<std::pair<int, int>> expected;
        for (int y = 1; y <= H - 2; ++y) {
            for (int x = 1; x <= W - 2; ++x) {
                if ((x - c.x) * (x - c.x) + (y - c.y) * (y - c.y) < c.r * c.r) {
                    expected.emplace(x, y);
                }
            }
        }
        if (c.x < 0 || c.y < 0) {
            continue; // negative coordinates pick a random centre: covered below
        }
        EXPECT_EQ(Touched(w.water.m_pField1, W), expected) << c.x << "," << c.y << " r" << c.r;
        EXPECT_EQ(expected.size(), c.count) << c.x << "," << c.y << " r" << c.r;
        EXPECT_EQ(Touched(w.water.m_pField2, W).size(), 0u);
        for (const int v : w.water.m_pField1) {
            EXPECT_TRUE(v == 0 || v == 7);
        }
    }
}

TEST(WaterRoutineTest, DropGoesToThePageItIsGiven)
{
    Water w(20, 20);
    w.water.AddDrop(10, 10, 2, 5, 1);
    EXPECT_TRUE(Touched(w.water.m_pField1, 20).empty());
    EXPECT_EQ(Touched(w.water.m_pField2, 20).size(), 9u);
}

TEST(WaterRoutineTest, RandomDropsStayInsideEvenWhenTheRadiusIsTooLarge)
{
    for (const int r : {2, 9, 10, 30}) {
        Water w(20, 20);
        for (int k = 0; k < 50; ++k) {
            w.water.AddDrop(-1, -1, r, 1, 0);
        }
        for (const auto& [x, y] : Touched(w.water.m_pField1, 20)) {
            EXPECT_TRUE(x >= 1 && x <= 18 && y >= 1 && y <= 18);
        }
    }
}

TEST(WaterRoutineTest, DampingKeepsAllButOneThirtySecond)
{
    // One interior point whose neighbours sum to 4t: the step stores t - (t >> 5).
    struct Case
    {
        int t, stored;
    };
    for (const Case c :
         {Case{64, 62}, Case{-64, -62}, Case{31, 31}, Case{-1, 0}, Case{0, 0}, Case{-33, -31}}) {
        Water w(3, 3);
        w.water.m_pField2[3] = 4 * c.t; // left neighbour of (1, 1) in the old field
        Pixels source(9, 0), destination(9, 0);
        w.water.Render(source.data(), destination.data());
        EXPECT_EQ(w.water.m_pField1[4], c.stored) << c.t;
        EXPECT_EQ(w.water.m_nPage, 1);
    }
}

TEST(WaterRoutineTest, StepsAlternatePagesAndSpreadSymmetrically)
{
    const int W = 41, H = 41;
    Water w(W, H);
    w.water.AddDrop(20, 20, 4, 200, 0);
    Pixels source(W * H, 0x00404040), destination(W * H, 0);
    for (int step = 0; step < 25; ++step) {
        EXPECT_EQ(w.water.m_nPage, step % 2);
        w.water.Render(source.data(), destination.data());
    }
    const std::vector<int>& f = w.water.m_pField1;
    int nonZero = 0;
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) {
            const auto at = [&](int px, int py) { return f[static_cast<std::size_t>(py * W + px)]; };
            EXPECT_EQ(at(x, y), at(W - 1 - x, y));
            EXPECT_EQ(at(x, y), at(x, H - 1 - y));
            EXPECT_EQ(at(x, y), at(y, x));
            nonZero += at(x, y) != 0;
            if (x == 0 || y == 0 || x == W - 1 || y == H - 1) {
                EXPECT_EQ(at(x, y), 0);
            }
        }
    }
    EXPECT_GT(nonZero, 200); // the ring has spread well beyond the drop
}

} // namespace
