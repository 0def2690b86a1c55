// The flow-field figures: particle counts over many frames, the flow at the
// coefficients and factors where it is plain, restarts and reseeding.
#include "demos/apps/ancient_machine.h"
#include "demos/apps/arithmetic_owl.h"
#include "platform/crt.h"
#include "tests/demos/app_frames.h"

#include <ctime>
#include <gtest/gtest.h>
#include <vector>

namespace {

using lmd::test::AppFrames;

// Each particle moved by (0, step) since the previous frame.
void ExpectMovedStraightDown(const std::vector<gaVec3f>& before, const std::vector<gaVec3f>& after,
                             float step)
{
    ASSERT_LE(before.size(), after.size());
    for (std::size_t i = 0; i < before.size(); ++i) {
        EXPECT_FLOAT_EQ(after[i].x, before[i].x) << i;
        EXPECT_NEAR(after[i].y, before[i].y + step, 1e-6) << i;
        EXPECT_EQ(after[i].z, before[i].z) << i;
    }
}

// The particle list grows by 20 a frame up to the limit, then stays within
// the range for as many frames again.
template <class App>
void ExpectParticleCounts(AppFrames<App>& run, int limit, std::size_t lowest, std::size_t highest)
{
    for (int frame = 1; frame <= limit / 20; ++frame) {
        run.BlindFrames(1);
        ASSERT_EQ(run.app->particles().size(), static_cast<std::size_t>(20 * frame));
    }
    for (int frame = 0; frame < limit / 20; ++frame) {
        run.BlindFrames(1);
        ASSERT_GE(run.app->particles().size(), lowest);
        ASSERT_LE(run.app->particles().size(), highest);
    }
}

TEST(ArithmeticOwlTest, ParticlesGrowByTwentyThenSettleBetween4000And4020)
{
    AppFrames<gaArithmeticOwl> run;
    ExpectParticleCounts(run, 4000, 4000, 4020);
    AppFrames<gaArithmeticOwl> fresh; // new particles, not yet moved, lie on the unit sphere
    fresh.BlindFrames(1);
    for (const gaVec3f& p : fresh.app->particles())
        EXPECT_NEAR(p.length(), 1.0f, 1e-5f);
}

TEST(ArithmeticOwlTest, CoefficientZeroMovesEveryParticleStraightByAHundredTwentieth)
{
    AppFrames<gaArithmeticOwl> run;
    gaArithmeticOwl& owl = *run.app;
    run.BlindFrames(3);
    for (int click = 0; click < 8; ++click)
        owl.mousePressed(5, 5, GA_BUTTON_RIGHT);
    EXPECT_EQ(owl.radCoef(), 0);
    EXPECT_TRUE(owl.particles().empty()); // every click restarts
    run.BlindFrames(2);
    const std::vector<gaVec3f> before = owl.particles();
    run.BlindFrames(1);
    ExpectMovedStraightDown(before, owl.particles(), 1.0f / 120);

    owl.mousePressed(5, 5, GA_BUTTON_LEFT);
    EXPECT_EQ(owl.radCoef(), 1);
    owl.keyPressed('r');
    EXPECT_EQ(owl.radCoef(), 8);
    owl.keyPressed('t');
    EXPECT_EQ(owl.fade(), 0);
    owl.keyPressed('q');
    EXPECT_EQ(owl.fade(), 0);
    EXPECT_TRUE(owl.particles().empty());
}

TEST(ArithmeticOwlTest, SetupReseedsTheSharedGeneratorFromTheClock)
{
    crt::srand(12345);
    const auto before = std::time(nullptr);
    AppFrames<gaArithmeticOwl> run;
    const int drawn = crt::rand();
    const auto after = std::time(nullptr);
    std::vector<int> expected;
    for (auto t = before; t <= after; ++t) {
        crt::srand(static_cast<unsigned>(t));
        expected.push_back(crt::rand());
    }
    EXPECT_NE(std::find(expected.begin(), expected.end(), drawn), expected.end());
}

TEST(AncientMachineTest, ParticlesStayBetween1980And2000)
{
    AppFrames<gaAncientMachine> run;
    const gaAncientMachine& machine = *run.app;
    EXPECT_EQ(machine.core().frameRate, 60);
    EXPECT_FALSE(machine.core().autoBackground);
    ExpectParticleCounts(run, 2000, 1980, 2000);
}

TEST(AncientMachineTest, FixedFactorZeroMovesEveryParticleStraightByANinetieth)
{
    AppFrames<gaAncientMachine> run;
    gaAncientMachine& machine = *run.app;
    run.BlindFrames(2);
    machine.keyPressed('t');
    EXPECT_TRUE(machine.targetRad());
    machine.mousePressed(0, 0, GA_BUTTON_LEFT);
    machine.mousePressed(0, 0, GA_BUTTON_RIGHT);
    EXPECT_EQ(machine.rad(), 0);
    EXPECT_EQ(machine.radCoef(), 8); // the clicks went to rad
    const std::vector<gaVec3f> before = machine.particles();
    run.BlindFrames(1);
    ExpectMovedStraightDown(before, machine.particles(), 1.0f / 90);

    machine.keyPressed('t');
    machine.mousePressed(0, 0, GA_BUTTON_LEFT);
    EXPECT_EQ(machine.radCoef(), 9);
    machine.keyPressed('r');
    EXPECT_EQ(machine.radCoef(), 8);
    EXPECT_FALSE(machine.targetRad());
    EXPECT_EQ(machine.particles().size(), 60u); // never restarted
}

} // namespace
