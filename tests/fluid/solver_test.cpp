#include "physics/fluid/solver.h"
#include "tests/support/alloc_counter.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <random>

namespace {

using nvq::fluid::Rgb;
using nvq::fluid::Solver;
using nvq::fluid::Vec2;

// A solver of the given size with every interior cell stirred at random.
void stir(Solver& solver, unsigned seed, float speed = 0.02f)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> velocity(-speed, speed);
    std::uniform_real_distribution<float> dye(0.0f, 1.0f);
    for (int j = 1; j <= solver.cellsY; ++j) {
        for (int i = 1; i <= solver.cellsX; ++i) {
            const int k = solver.cellIndex(i, j);
            solver.velocity[k] = {velocity(random), velocity(random)};
            solver.density[k] = dye(random);
            solver.color[k] = {dye(random), dye(random), dye(random)};
        }
    }
}

bool allZero(const float* values, int count)
{
    for (int k = 0; k < count; ++k) {
        if (values[k] != 0.0f) {
            return false;
        }
    }
    return true;
}

TEST(SolverLifecycleTest, SetupZeroesEveryArrayAndDestroyReleasesThem)
{
    Solver solver;
    EXPECT_FALSE(solver.valid);
    solver.setup(6, 4);
    ASSERT_TRUE(solver.valid);
    EXPECT_EQ(solver.numCells, 8 * 6);
    EXPECT_FLOAT_EQ(solver.width, 8.0f);
    EXPECT_FLOAT_EQ(solver.height, 6.0f);
    const int n = solver.numCells;
    for (int k = 0; k < n; ++k) {
        ASSERT_EQ(solver.density[k], 0.0f);
        ASSERT_EQ(solver.densitySource[k], 0.0f);
        ASSERT_EQ(solver.curl[k], 0.0f);
        for (const Rgb c : {solver.color[k], solver.colorSource[k]}) {
            ASSERT_EQ(c.r, 0.0f);
            ASSERT_EQ(c.g, 0.0f);
            ASSERT_EQ(c.b, 0.0f);
        }
        for (const Vec2 v : {solver.velocity[k], solver.velocitySource[k]}) {
            ASSERT_EQ(v.x, 0.0f);
            ASSERT_EQ(v.y, 0.0f);
        }
    }

    // reset clears a stirred fluid, ghosts included.
    stir(solver, 1);
    solver.update();
    solver.density[0] = 5.0f;
    solver.reset();
    EXPECT_TRUE(allZero(solver.density, n));
    EXPECT_EQ(solver.velocity[solver.cellIndex(3, 2)].x, 0.0f);

    solver.destroy();
    EXPECT_FALSE(solver.valid);
    EXPECT_EQ(solver.density, nullptr);
    EXPECT_EQ(solver.velocity, nullptr);
    EXPECT_EQ(solver.color, nullptr);
    solver.destroy(); // a second destroy does nothing
    EXPECT_FALSE(solver.valid);
    solver.update(); // nor does an update without arrays
    EXPECT_EQ(solver.cellIndexAt(0.5f, 0.5f), 0);
}

TEST(SolverLifecycleTest, NothingHappensBeforeSetupOrWithAnInvalidSize)
{
    Solver fresh;
    fresh.update();
    EXPECT_FALSE(fresh.valid);
    EXPECT_EQ(fresh.cellIndexAt(0.5f, 0.5f), 0);

    const struct
    {
        int x, y;
    } sizes[] = {{0, 10}, {10, 0}, {-3, 5}, {std::numeric_limits<int>::max(), 2}, {70000, 70000}};
    for (const auto size : sizes) {
        SCOPED_TRACE(testing::Message() << size.x << " x " << size.y);
        Solver solver;
        solver.setup(8, 8);
        solver.setup(size.x, size.y);
        EXPECT_FALSE(solver.valid);
        EXPECT_EQ(solver.density, nullptr);
        solver.update();
        EXPECT_EQ(solver.cellIndexAt(0.5f, 0.5f), 0);
    }
}

TEST(SolverLifecycleTest, TuningStartsAtUsableDefaults)
{
    const Solver solver;
    EXPECT_FALSE(solver.doRGB);
    EXPECT_FALSE(solver.doVorticityConfinement);
    EXPECT_EQ(solver.solverIterations, 10);
    EXPECT_FLOAT_EQ(solver.colorDiffusion, 0.0f);
    EXPECT_FLOAT_EQ(solver.viscosity, 0.0001f);
    EXPECT_FLOAT_EQ(solver.fadeSpeed, 0.03f);
    EXPECT_FLOAT_EQ(solver.dt, 0.04f);
    EXPECT_FALSE(solver.wrapX);
    EXPECT_FALSE(solver.wrapY);
}

TEST(SolverLifecycleTest, ANewSetupReplacesTheGridAndClearsTheFluid)
{
    Solver solver;
    solver.setup(100, 100);
    stir(solver, 2);
    solver.update();
    solver.setup(150, 120);
    EXPECT_EQ(solver.cellsX, 150);
    EXPECT_EQ(solver.cellsY, 120);
    EXPECT_EQ(solver.numCells, 152 * 122);
    EXPECT_TRUE(allZero(&solver.velocity->x, 2 * solver.numCells));
    EXPECT_TRUE(allZero(solver.density, solver.numCells));
}

TEST(SolverCellIndexTest, MapsNormalisedPositionsToInteriorCells)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const struct
    {
        int cellsX, cellsY;
        float x, y;
        int i, j;
    } cases[] = {
        {100, 100, 0.0f, 0.0f, 1, 1},         // the ghost corner clamps to the first cell
        {100, 100, 1.0f, 1.0f, 100, 100},     // and the far one to the last
        {100, 100, 0.5f, 0.5f, 51, 51},       // floor(0.5 * 102)
        {150, 120, 0.25f, 0.75f, 38, 91},     // floor(0.25 * 152), floor(0.75 * 122)
        {10, 10, -4.0f, 7.0f, 1, 10},         // far outside
        {10, 10, nan, nan, 1, 1},             // not a number
        {10, 10, inf, -inf, 10, 1},           // infinities
        {10, 10, 11.0f / 12.0f, 0.5f, 10, 6}, // exactly on the last interior cell
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.cellsX << "x" << c.cellsY << " at " << c.x << ", " << c.y);
        Solver solver;
        solver.setup(c.cellsX, c.cellsY);
        EXPECT_EQ(solver.cellIndexAt(c.x, c.y), c.i + (c.cellsX + 2) * c.j);
    }
}

TEST(SolverFadeTest, DyeIsLimitedToOneThenFadedAndTinyValuesVanish)
{
    for (const bool rgb : {false, true}) {
        SCOPED_TRACE(rgb ? "colour" : "density");
        Solver solver;
        solver.doRGB = rgb;
        solver.fadeSpeed = 0.002f;
        solver.setup(10, 10);
        const int bright = solver.cellIndex(5, 5);
        const int negative = solver.cellIndex(2, 7);
        const int faint = solver.cellIndex(8, 3);
        if (rgb) {
            solver.color[bright] = {3.0f, 0.5f, 1.0f};
            solver.color[negative] = {-2.0f, 0.0f, 0.0f};
            solver.color[faint] = {1e-9f, 0.0f, 0.0f};
        } else {
            solver.density[bright] = 3.0f;
            solver.density[negative] = -2.0f;
            solver.density[faint] = 1e-9f;
        }
        solver.velocity[solver.cellIndex(3, 3)].x = 1e-10f;
        solver.update();
        const float keep = 1.0f - 0.002f;
        if (rgb) {
            EXPECT_FLOAT_EQ(solver.color[bright].r, 0.998f);
            EXPECT_FLOAT_EQ(solver.color[bright].g, 0.5f * keep);
            EXPECT_FLOAT_EQ(solver.color[bright].b, 0.998f);
            EXPECT_FLOAT_EQ(solver.color[negative].r, -2.0f * keep); // not limited below
            EXPECT_EQ(solver.color[faint].r, 0.0f);
        } else {
            EXPECT_FLOAT_EQ(solver.density[bright], 0.998f);
            EXPECT_FLOAT_EQ(solver.density[negative], -2.0f * keep);
            EXPECT_EQ(solver.density[faint], 0.0f);
        }
        // The 1e-10 velocity is diffused and projected away to nothing but exact zeros.
        EXPECT_TRUE(allZero(&solver.velocity->x, 2 * solver.numCells));
    }
}

TEST(SolverBorderTest, GhostsFollowTheBorderKindAfterAnUpdate)
{
    for (const bool wrapX : {false, true}) {
        for (const bool wrapY : {false, true}) {
            SCOPED_TRACE(testing::Message() << "wrapX " << wrapX << " wrapY " << wrapY);
            Solver solver;
            solver.wrapX = wrapX;
            solver.wrapY = wrapY;
            solver.doVorticityConfinement = true;
            solver.setup(9, 7);
            stir(solver, 3);
            solver.update();
            const int nx = solver.cellsX;
            const int ny = solver.cellsY;
            const auto at = [&](int i, int j) { return solver.cellIndex(i, j); };
            // Closed walls reflect the normal component and copy the tangential one.
            const float normalX = wrapX ? 1.0f : -1.0f;
            const float normalY = wrapY ? 1.0f : -1.0f;
            for (int j = 1; j <= ny; ++j) {
                const int left = wrapX ? nx : 1;
                const int right = wrapX ? 1 : nx;
                EXPECT_EQ(solver.density[at(0, j)], solver.density[at(left, j)]);
                EXPECT_EQ(solver.density[at(nx + 1, j)], solver.density[at(right, j)]);
                EXPECT_EQ(solver.velocity[at(0, j)].x, normalX * solver.velocity[at(left, j)].x);
                EXPECT_EQ(solver.velocity[at(0, j)].y, solver.velocity[at(left, j)].y);
                EXPECT_EQ(solver.velocity[at(nx + 1, j)].x, normalX * solver.velocity[at(right, j)].x);
                EXPECT_EQ(solver.velocity[at(nx + 1, j)].y, solver.velocity[at(right, j)].y);
            }
            for (int i = 1; i <= nx; ++i) {
                const int top = wrapY ? ny : 1;
                const int bottom = wrapY ? 1 : ny;
                EXPECT_EQ(solver.density[at(i, 0)], solver.density[at(i, top)]);
                EXPECT_EQ(solver.density[at(i, ny + 1)], solver.density[at(i, bottom)]);
                EXPECT_EQ(solver.velocity[at(i, 0)].y, normalY * solver.velocity[at(i, top)].y);
                EXPECT_EQ(solver.velocity[at(i, 0)].x, solver.velocity[at(i, top)].x);
                EXPECT_EQ(solver.velocity[at(i, ny + 1)].y, normalY * solver.velocity[at(i, bottom)].y);
                EXPECT_EQ(solver.velocity[at(i, ny + 1)].x, solver.velocity[at(i, bottom)].x);
            }
            // Corners average their two neighbouring ghosts.
            EXPECT_FLOAT_EQ(solver.density[at(0, 0)],
                            0.5f * (solver.density[at(1, 0)] + solver.density[at(0, 1)]));
            EXPECT_FLOAT_EQ(solver.velocity[at(nx + 1, ny + 1)].x,
                            0.5f * (solver.velocity[at(nx, ny + 1)].x + solver.velocity[at(nx + 1, ny)].x));
            EXPECT_FLOAT_EQ(solver.velocity[at(nx + 1, ny + 1)].y,
                            0.5f * (solver.velocity[at(nx, ny + 1)].y + solver.velocity[at(nx + 1, ny)].y));
        }
    }
}

TEST(SolverBorderTest, ColourCornersAverageTheirGhosts)
{
    Solver solver;
    solver.doRGB = true;
    solver.setup(5, 4);
    stir(solver, 4);
    solver.update();
    const auto at = [&](int i, int j) { return solver.color[solver.cellIndex(i, j)]; };
    const Rgb corner = at(6, 0);
    EXPECT_FLOAT_EQ(corner.g, 0.5f * (at(5, 0).g + at(6, 1).g));
    EXPECT_GT(corner.g, 0.0f);
}

TEST(SolverVorticityTest, CurlStaysZeroWhileConfinementIsOff)
{
    Solver solver;
    solver.setup(12, 12);
    for (int n = 0; n < 3; ++n) {
        stir(solver, 10 + n);
        solver.update();
    }
    EXPECT_TRUE(allZero(solver.curl, solver.numCells));

    solver.doVorticityConfinement = true;
    stir(solver, 20);
    solver.update();
    EXPECT_FALSE(allZero(solver.curl, solver.numCells));
}

TEST(SolverVorticityTest, AnOwnersForceIsAddedOnceOnEveryCell)
{
    // A uniform force on a wrapping grid gives a uniform velocity without curl, so the
    // confinement adds nothing: every cell, the edge ring included, moves by dt * force.
    for (const bool confinement : {false, true}) {
        SCOPED_TRACE(confinement ? "confinement on" : "confinement off");
        Solver solver;
        solver.wrapX = solver.wrapY = true;
        solver.viscosity = 0.0f;
        solver.dt = 0.5f;
        solver.doVorticityConfinement = confinement;
        solver.setup(8, 6);
        for (int k = 0; k < solver.numCells; ++k) {
            solver.velocitySource[k] = {0.25f, -0.125f};
        }
        solver.update();
        for (int j = 0; j <= 7; ++j) {
            for (int i = 0; i <= 9; ++i) {
                const Vec2 v = solver.velocity[solver.cellIndex(i, j)];
                EXPECT_FLOAT_EQ(v.x, 0.125f) << i << ", " << j;
                EXPECT_FLOAT_EQ(v.y, -0.0625f) << i << ", " << j;
            }
        }
    }
}

TEST(SolverUpdateTest, FewerThanOneIterationCountsAsOne)
{
    const auto run = [](int iterations) {
        Solver solver;
        solver.solverIterations = iterations;
        solver.colorDiffusion = 0.001f;
        solver.setup(10, 8);
        stir(solver, 5);
        solver.update();
        return std::vector<float>(&solver.velocity->x, &solver.velocity->x + 2 * solver.numCells);
    };
    const std::vector<float> once = run(1);
    EXPECT_EQ(run(0), once);
    EXPECT_EQ(run(-7), once);
    EXPECT_NE(run(2), once);
}

TEST(SolverUpdateTest, WildVelocitiesNeverSampleOutsideTheGrid)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    for (const float wild : {nan, inf, -inf, 1e30f, -1e30f}) {
        for (const bool wrap : {false, true}) {
            SCOPED_TRACE(testing::Message() << wild << (wrap ? " wrapping" : " closed"));
            Solver solver;
            solver.wrapX = solver.wrapY = wrap;
            solver.doRGB = true;
            solver.setup(6, 5);
            stir(solver, 6);
            solver.velocity[solver.cellIndex(3, 3)] = {wild, -wild};
            solver.update();
            // Every sample is a blend of finite dye, whatever the velocity became.
            for (int k = 0; k < solver.numCells; ++k) {
                ASSERT_TRUE(std::isfinite(solver.color[k].r)) << k;
            }
        }
    }
}

TEST(SolverUpdateTest, PairsAlternateByPointerOnly)
{
    for (const float diffusion : {0.0f, 0.001f}) {
        for (const bool rgb : {false, true}) {
            SCOPED_TRACE(testing::Message() << "diffusion " << diffusion << (rgb ? " colour" : " density"));
            Solver solver;
            solver.doRGB = rgb;
            solver.colorDiffusion = diffusion;
            solver.setup(7, 5);
            const Vec2* velocity = solver.velocity;
            const Vec2* velocitySource = solver.velocitySource;
            const Rgb* color = solver.color;
            const Rgb* colorSource = solver.colorSource;
            const float* density = solver.density;
            const float* densitySource = solver.densitySource;
            solver.update();
            // Velocity swaps twice per update; the dye once, or twice when it diffuses.
            EXPECT_EQ(solver.velocity, velocity);
            EXPECT_EQ(solver.velocitySource, velocitySource);
            const bool dyeSwapped = diffusion == 0.0f;
            EXPECT_EQ(solver.color, rgb && dyeSwapped ? colorSource : color);
            EXPECT_EQ(solver.colorSource, rgb && dyeSwapped ? color : colorSource);
            EXPECT_EQ(solver.density, !rgb && dyeSwapped ? densitySource : density);
            EXPECT_EQ(solver.densitySource, !rgb && dyeSwapped ? density : densitySource);
        }
    }
}

TEST(SolverUpdateTest, AnUpdateAllocatesNothing)
{
    for (const bool rgb : {false, true}) {
        Solver solver;
        solver.doRGB = rgb;
        solver.doVorticityConfinement = true;
        solver.colorDiffusion = 0.0005f;
        solver.wrapX = rgb;
        solver.setup(40, 30);
        stir(solver, 7);
        const auto before = lmd::test::AllocationCount();
        for (int n = 0; n < 3; ++n) {
            solver.update();
        }
        EXPECT_EQ(lmd::test::AllocationCount() - before, 0);
    }
}

} // namespace
