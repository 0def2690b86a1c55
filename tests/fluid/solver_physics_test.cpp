// The solver against closed-form behaviour of a fluid: fading, exact transport on a
// wrapping grid, uniform dye under any flow, conservation of dye in a closed box.
#include "physics/fluid/solver.h"

#include <cmath>
#include <gtest/gtest.h>
#include <random>
#include <vector>

namespace {

using nvq::fluid::Solver;

// Sum over the interior of one float per cell read by dye(k).
template <typename Dye> double interiorSum(const Solver& solver, Dye dye)
{
    double sum = 0.0;
    for (int j = 1; j <= solver.cellsY; ++j) {
        for (int i = 1; i <= solver.cellsX; ++i) {
            sum += dye(solver.cellIndex(i, j));
        }
    }
    return sum;
}

// A swirl around the grid's centre, strongest half-way out and still at the walls.
void swirl(Solver& solver, float strength)
{
    const float cx = 0.5f * static_cast<float>(solver.cellsX + 1);
    const float cy = 0.5f * static_cast<float>(solver.cellsY + 1);
    const float radius = 0.5f * static_cast<float>(std::min(solver.cellsX, solver.cellsY));
    for (int j = 1; j <= solver.cellsY; ++j) {
        for (int i = 1; i <= solver.cellsX; ++i) {
            const float dx = (static_cast<float>(i) - cx) / radius;
            const float dy = (static_cast<float>(j) - cy) / radius;
            const float fall = std::max(0.0f, 1.0f - (dx * dx + dy * dy));
            solver.velocity[solver.cellIndex(i, j)] = {-dy * fall * strength, dx * fall * strength};
        }
    }
}

// The fluid demo's dye settings without fade in a closed square box of n² cells,
// with a soft round blob of colour (red, half as much green) at (x, y).
void closedBoxWithBlob(Solver& solver, int n, float x, float y, float radius)
{
    solver.doRGB = true;
    solver.fadeSpeed = 0.0f;
    solver.dt = 0.5f;
    solver.viscosity = 0.00015f;
    solver.setup(n, n);
    for (int j = 1; j <= n; ++j) {
        for (int i = 1; i <= n; ++i) {
            const float dx = (static_cast<float>(i) - x) / radius;
            const float dy = (static_cast<float>(j) - y) / radius;
            const float blob = std::exp(-(dx * dx + dy * dy));
            solver.color[solver.cellIndex(i, j)] = {blob, 0.5f * blob, 0.0f};
        }
    }
}

TEST(SolverPhysicsTest, DyeFadesGeometrically)
{
    for (const bool rgb : {false, true}) {
        SCOPED_TRACE(rgb ? "colour" : "density");
        Solver solver;
        solver.doRGB = rgb;
        solver.fadeSpeed = 0.05f;
        solver.colorDiffusion = 0.001f; // diffusing a uniform field changes nothing
        solver.setup(10, 10);
        for (int k = 0; k < solver.numCells; ++k) {
            solver.density[k] = 0.8f;
            solver.color[k] = {0.8f, 0.4f, 0.2f};
        }
        for (int n = 1; n <= 20; ++n) {
            solver.update();
            const double expected = 0.8 * std::pow(0.95, n);
            const int k = solver.cellIndex(1 + n % 10, 1 + (3 * n) % 10);
            const float value = rgb ? solver.color[k].r : solver.density[k];
            ASSERT_NEAR(value, expected, 1e-5 * expected) << "after " << n << " updates";
        }
    }
}

TEST(SolverPhysicsTest, DyeMovesExactlyOneCellPerUpdateOnAWrappingGrid)
{
    // dt * cells * speed = 1: every update shifts the dye by one cell, across the seam.
    const struct
    {
        float u, v;
        int di, dj;
    } flows[] = {{1.0f, 0.0f, 1, 0}, {-1.0f, 0.0f, -1, 0}, {0.0f, 1.0f, 0, 1}, {0.0f, -1.0f, 0, -1}};
    for (const auto& flow : flows) {
        SCOPED_TRACE(testing::Message() << "velocity " << flow.u << ", " << flow.v);
        Solver solver;
        solver.wrapX = solver.wrapY = true;
        solver.viscosity = 0.0f;
        solver.fadeSpeed = 0.0f;
        solver.dt = 0.125f;
        const int n = 8;
        solver.setup(n, n);
        std::mt19937 random(7);
        std::uniform_real_distribution<float> dye(0.0f, 1.0f);
        std::vector<float> start(static_cast<std::size_t>(solver.numCells));
        for (int j = 1; j <= n; ++j) {
            for (int i = 1; i <= n; ++i) {
                start[solver.cellIndex(i, j)] = solver.density[solver.cellIndex(i, j)] = dye(random);
            }
        }
        for (int k = 0; k < solver.numCells; ++k) {
            solver.velocity[k] = {flow.u, flow.v};
        }
        const auto wrap = [n](int c) { return (c - 1 + 4 * n) % n + 1; };
        for (int step = 1; step <= n; ++step) {
            solver.update();
            for (int j = 1; j <= n; ++j) {
                for (int i = 1; i <= n; ++i) {
                    const int from = solver.cellIndex(wrap(i - step * flow.di), wrap(j - step * flow.dj));
                    ASSERT_EQ(solver.density[solver.cellIndex(i, j)], start[from])
                        << "cell " << i << ", " << j << " after " << step << " updates";
                }
            }
        }
    }
}

TEST(SolverPhysicsTest, UniformDyeStaysUniformInAnyFlow)
{
    for (const bool rgb : {false, true}) {
        for (const bool wrap : {false, true}) {
            SCOPED_TRACE(testing::Message()
                         << (rgb ? "colour" : "density") << (wrap ? " wrapping" : " closed"));
            Solver solver;
            solver.doRGB = rgb;
            solver.wrapX = solver.wrapY = wrap;
            solver.doVorticityConfinement = true;
            solver.fadeSpeed = 0.0f;
            solver.colorDiffusion = 0.0005f;
            solver.dt = 0.5f;
            solver.setup(24, 18);
            for (int k = 0; k < solver.numCells; ++k) {
                solver.density[k] = 0.6f;
                solver.color[k] = {0.6f, 0.6f, 0.6f};
            }
            swirl(solver, 0.05f);
            for (int n = 0; n < 10; ++n) {
                solver.update();
            }
            for (int k = 0; k < solver.numCells; ++k) {
                const float value = rgb ? solver.color[k].b : solver.density[k];
                ASSERT_NEAR(value, 0.6f, 1e-5f) << "cell " << k % 26 << ", " << k / 26;
            }
        }
    }
}

TEST(SolverPhysicsTest, ClosedBoxKeepsItsDyeWithoutFading)
{
    Solver solver;
    // A soft blob of dye off centre, in a swirl that carries it round the box.
    closedBoxWithBlob(solver, 48, 14.0f, 30.0f, 6.0f);
    swirl(solver, 0.01f);
    const auto red = [&solver](int k) { return solver.color[k].r; };
    const auto redX = [&solver](int k) {
        return solver.color[k].r * static_cast<float>(k % (solver.cellsX + 2));
    };
    const auto redY = [&solver](int k) {
        return solver.color[k].r * static_cast<float>(k / (solver.cellsX + 2));
    };
    const double before = interiorSum(solver, red);
    const double xBefore = interiorSum(solver, redX) / before;
    const double yBefore = interiorSum(solver, redY) / before;
    for (int n = 0; n < 30; ++n) {
        solver.update();
    }
    const double after = interiorSum(solver, red);
    EXPECT_NEAR(after, before, 0.01 * before);
    // The blob went some way round.
    const double moved =
        std::hypot(interiorSum(solver, redX) / after - xBefore, interiorSum(solver, redY) / after - yBefore);
    EXPECT_GT(moved, 1.5);
}

// The fluid demo's settings over a long run: a 150² closed box, ten sweeps per
// relaxation, no fade and no sources, dye stirred round by a swirl. The box
// neither gains nor loses dye, and the divergence the projections leave does not
// build up from update to update.
TEST(SolverPhysicsTest, ClosedBoxKeepsItsDyeOverAThousandUpdates)
{
    Solver solver;
    solver.solverIterations = 10;
    closedBoxWithBlob(solver, 150, 50.0f, 90.0f, 20.0f);
    swirl(solver, 0.05f);
    const auto red = [&solver](int k) { return solver.color[k].r; };
    const auto divergence = [&solver] {
        double sum = 0.0;
        const int s = solver.cellsX + 2;
        for (int j = 1; j <= solver.cellsY; ++j) {
            for (int i = 1; i <= solver.cellsX; ++i) {
                const int k = solver.cellIndex(i, j);
                const nvq::fluid::Vec2* v = solver.velocity;
                const double d = 0.5 * solver.cellsX * (v[k + 1].x - v[k - 1].x) +
                                 0.5 * solver.cellsY * (v[k + s].y - v[k - s].y);
                sum += d * d;
            }
        }
        return std::sqrt(sum / (solver.cellsX * solver.cellsY));
    };
    const double before = interiorSum(solver, red);
    solver.update();
    const double firstDivergence = divergence();
    for (int n = 1; n < 1000; ++n) {
        solver.update();
        if (n == 99) {
            EXPECT_NEAR(interiorSum(solver, red), before, 0.02 * before) << "after 100 updates";
        }
    }
    EXPECT_NEAR(interiorSum(solver, red), before, 0.02 * before) << "after 1000 updates";
    EXPECT_LE(divergence(), firstDivergence) << "first " << firstDivergence;
}

} // namespace
