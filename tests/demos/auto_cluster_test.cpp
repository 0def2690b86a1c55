// The auto cluster: the pair forces in scenes with plain answers, and its
// restarts every 240 frames and on clicks.
#include "demos/apps/auto_cluster.h"
#include "tests/demos/app_frames.h"

#include <cmath>
#include <gtest/gtest.h>
#include <vector>

namespace {

using lmd::test::AppFrames;

class AutoClusterForceTest : public ::testing::Test
{
protected:
    // Particles at the given places, every other one of the seven far away,
    // where a member of another group pulls with less than 1e-5 (a member of
    // the same group pulls with 12 / 220 at any distance beyond 220).
    void Place(const std::vector<std::pair<std::size_t, gaVec2f>>& placed)
    {
        auto& previous = demo.app->previousPositions();
        previous.assign(7, {});
        for (std::size_t i = 0; i < previous.size(); ++i)
            previous[i] = {1e6f * static_cast<float>(i + 1), -1e6f * static_cast<float>(i + 1)};
        for (const auto& [index, at] : placed)
            previous[index] = at;
        demo.app->positions() = previous;
    }
    gaVec2f Moved(std::size_t i) { return demo.app->positions()[i] - demo.app->previousPositions()[i]; }

    AppFrames<gaAutoCluster> demo;
};

TEST_F(AutoClusterForceTest, PairForcesFollowGroupsAndDistance)
{
    struct Case
    {
        const char* name;
        std::size_t other; // particle 0's partner; same group when other % 6 == 0
        float distance;    // along x, partner on the right
        float expected;    // particle 0's move along x
    };
    // f = 12 / (D + 1)^2 times the offset (-D, 0); same group: times (220 - (D + 1)) / 220.
    const auto f = [](float d) { return 12.0f / ((d + 1) * (d + 1)); };
    const Case cases[] = {
        {"other group near: pushed away", 1, 9, -9 * f(9)},
        {"other group far: pulled in", 1, 299, 299 * f(299)},
        {"same group near: pushed away", 6, 9, -9 * f(9) * (220 - 10) / 220.0f},
        {"same group far: pulled in", 6, 299, -299 * f(299) * (220 - 300) / 220.0f},
        {"same group at the preferred distance: no force", 6, 219, 0},
        {"two in one place: no force", 1, 0, 0},
        {"same group, one place: no force", 6, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::size_t unused = c.other == 1 ? 6 : 1; // where it exerts no force on particle 0
        Place({{0, {5, 7}}, {c.other, {5 + c.distance, 7}}, {unused, {5, 7}}});
        demo.app->interact();
        EXPECT_NEAR(Moved(0).x, c.expected, 1e-4);
        EXPECT_NEAR(Moved(0).y, 0, 1e-4);
    }
}

TEST_F(AutoClusterForceTest, EveryParticleFeelsEveryOther)
{
    // Fifty particles in a 600 wide square, against every ordered pair in turn.
    std::vector<gaVec2f> previous;
    for (int i = 0; i < 50; ++i)
        previous.push_back({gaRandom(-300, 300), gaRandom(-300, 300)});
    std::vector<gaVec2f> expected = previous;
    for (std::size_t k = 0; k < previous.size(); ++k)
        for (std::size_t l = 0; l < previous.size(); ++l) {
            const double dx = previous[k].x - previous[l].x;
            const double dy = previous[k].y - previous[l].y;
            const double dist = std::hypot(dx, dy) + 1;
            const double f = 12 / (dist * dist);
            const double factor = k % 6 == l % 6 ? (220 - dist) / 220 : dist > 220 ? -1 : 1;
            expected[k].x += static_cast<float>(dx * f * factor);
            expected[k].y += static_cast<float>(dy * f * factor);
        }
    demo.app->previousPositions() = previous;
    demo.app->positions() = previous;
    demo.app->interact();
    for (std::size_t k = 0; k < previous.size(); ++k) {
        EXPECT_NEAR(demo.app->positions()[k].x, expected[k].x, 1e-3) << k;
        EXPECT_NEAR(demo.app->positions()[k].y, expected[k].y, 1e-3) << k;
    }
}

TEST_F(AutoClusterForceTest, AFramesSumsKeepThePlainPairLoopsRounding)
{
    // All 1800 particles against the plain pair loop in float, each pair worked
    // out once and added to both in index order: the same bits, not merely close.
    std::vector<gaVec2f> previous;
    for (int i = 0; i < 1800; ++i)
        previous.push_back({gaRandom(-300, 300), gaRandom(-300, 300)});
    previous[7] = previous[3]; // two in one place
    std::vector<gaVec2f> expected = previous;
    for (std::size_t k = 0; k < previous.size(); ++k) {
        gaVec2f sum = expected[k];
        for (std::size_t l = k + 1; l < previous.size(); ++l) {
            const float dx = previous[k].x - previous[l].x;
            const float dy = previous[k].y - previous[l].y;
            const float dist = std::sqrt(dx * dx + dy * dy) + 1;
            const auto f = static_cast<float>(12.0 / (static_cast<double>(dist) * dist));
            const float scale = k % 6 == l % 6 ? (220.0f - dist) / 220.0f : dist > 220.0f ? -1.0f : 1.0f;
            sum.x += dx * f * scale;
            sum.y += dy * f * scale;
            expected[l].x -= dx * f * scale;
            expected[l].y -= dy * f * scale;
        }
        expected[k] = sum;
    }
    demo.app->previousPositions() = previous;
    demo.app->positions() = previous;
    demo.app->interact();
    for (std::size_t k = 0; k < previous.size(); ++k) {
        ASSERT_EQ(demo.app->positions()[k].x, expected[k].x) << k;
        ASSERT_EQ(demo.app->positions()[k].y, expected[k].y) << k;
    }
}

TEST(AutoClusterTest, RestartsEvery240FramesAndAtOnceOnAClick)
{
    AppFrames<gaAutoCluster> run;
    gaAutoCluster& demo = *run.app;
    EXPECT_EQ(demo.positions().size(), 1800u);
    EXPECT_FALSE(demo.core().autoBackground);
    for (const gaVec2f& p : demo.positions())
        ASSERT_LE(p.length(), 80.0f);
    EXPECT_GE(demo.baseHue(), 120.0f);
    EXPECT_LE(demo.baseHue(), 300.0f);

    demo.positions().resize(12); // a few particles are enough for the cycle
    demo.previousPositions().resize(12);
    run.BlindFrames(240);
    EXPECT_EQ(demo.frameCounter(), 240);
    bool spread = false;
    for (const gaVec2f& p : demo.positions())
        spread = spread || p.length() > 80.0f;
    EXPECT_TRUE(spread); // they moved out of the disc they started in
    const float hue = demo.baseHue();
    run.BlindFrames(1);
    EXPECT_EQ(demo.frameCounter(), 1); // restarted, then one frame ran
    EXPECT_NE(demo.baseHue(), hue);

    run.BlindFrames(20);
    demo.mousePressed(3, 4, GA_BUTTON_RIGHT);
    EXPECT_EQ(demo.frameCounter(), 0);
    for (const gaVec2f& p : demo.positions())
        EXPECT_LE(p.length(), 80.0f);
}

} // namespace
