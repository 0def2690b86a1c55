#include "physics/fluid/steps.h"

#include <cmath>
#include <gtest/gtest.h>
#include <random>
#include <vector>

namespace {

using nvq::fluid::Vec2;
using nvq::fluid::steps::Grid;

int at(const Grid& g, int i, int j)
{
    return i + g.stride * j;
}

// Root mean square over the interior of the central-difference divergence, each
// derivative in the grid's own units (the domain is 1 across and 1 down).
double divergence(const Grid& g, const std::vector<Vec2>& v)
{
    double sum = 0.0;
    for (int j = 1; j <= g.ny; ++j) {
        for (int i = 1; i <= g.nx; ++i) {
            const double dudx = 0.5 * g.nx * (v[at(g, i + 1, j)].x - v[at(g, i - 1, j)].x);
            const double dvdy = 0.5 * g.ny * (v[at(g, i, j + 1)].y - v[at(g, i, j - 1)].y);
            sum += (dudx + dvdy) * (dudx + dvdy);
        }
    }
    return std::sqrt(sum / (g.nx * g.ny));
}

// A smooth random velocity field: white noise blurred with a Gaussian of sigma cells
// (periodic across the grid). In a closed box it tapers to rest at the walls, as a
// field in a box must, so that all its divergence can be taken out.
std::vector<Vec2> smoothRandomField(const Grid& g, float sigma, unsigned seed)
{
    std::mt19937 random(seed);
    std::normal_distribution<float> normal(0.0f, 1.0f);
    std::vector<Vec2> noise(static_cast<std::size_t>(g.nx * g.ny));
    for (Vec2& cell : noise) {
        cell = {normal(random), normal(random)};
    }
    const double pi = std::acos(-1.0);
    const int reach = static_cast<int>(3.0f * sigma);
    std::vector<Vec2> v(static_cast<std::size_t>(g.stride * (g.ny + 2)), Vec2{0.0f, 0.0f});
    for (int j = 1; j <= g.ny; ++j) {
        for (int i = 1; i <= g.nx; ++i) {
            double x = 0.0;
            double y = 0.0;
            for (int b = -reach; b <= reach; ++b) {
                for (int a = -reach; a <= reach; ++a) {
                    const double weight = std::exp(-(a * a + b * b) / (2.0 * sigma * sigma));
                    const Vec2 n = noise[((i - 1 + a + g.nx) % g.nx) + g.nx * ((j - 1 + b + g.ny) % g.ny)];
                    x += weight * n.x;
                    y += weight * n.y;
                }
            }
            const double taper = (g.wrapX ? 1.0 : std::sin(pi * (i - 0.5) / g.nx)) *
                                 (g.wrapY ? 1.0 : std::sin(pi * (j - 0.5) / g.ny));
            v[at(g, i, j)] = {static_cast<float>(x * taper), static_cast<float>(y * taper)};
        }
    }
    nvq::fluid::steps::setVelocityBorder(g, v.data());
    return v;
}

TEST(ProjectionTest, OneProjectionRemovesTheDivergenceOfARandomField)
{
    // Relaxed to convergence, one projection leaves less than a tenth of the divergence
    // (the central differences never see it vanish altogether), on square grids and on
    // grids twice as wide as tall or the other way round; the demo's ten sweeps take
    // out a good part of it.
    const struct
    {
        int nx;
        int ny;
        bool wrap;
        int iterations;
        double remaining;
    } cases[] = {{32, 32, false, 400, 0.1},  {32, 32, true, 400, 0.1},    {32, 32, false, 10, 0.7},
                 {32, 32, true, 10, 0.7},    {200, 100, false, 2000, 0.1}, {100, 200, false, 2000, 0.1},
                 {64, 32, true, 1000, 0.1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.nx << "x" << c.ny << (c.wrap ? ", wrapping, " : ", closed, ")
                                        << c.iterations << " sweeps");
        const Grid g{c.nx, c.ny, c.nx + 2, c.wrap, c.wrap};
        for (const unsigned seed : {1u, 2u, 3u}) {
            std::vector<Vec2> v = smoothRandomField(g, 3.0f, seed);
            std::vector<float> pressure(v.size());
            std::vector<float> scratch(v.size());
            const double before = divergence(g, v);
            nvq::fluid::steps::project(g, v.data(), pressure.data(), scratch.data(), c.iterations);
            const double after = divergence(g, v);
            EXPECT_LE(after, c.remaining * before) << "seed " << seed << ": " << before << " -> " << after;
        }
    }
}

// Started from the pressure of the previous projection, the ten sweeps of the demo
// keep taking the divergence of a slowly changing field down instead of leaving the
// same share each time.
TEST(ProjectionTest, WarmStartedPressureFollowsASlowlyChangingField)
{
    const Grid g{64, 64, 66, false, false};
    const std::vector<Vec2> base = smoothRandomField(g, 4.0f, 7);
    const std::vector<Vec2> change = smoothRandomField(g, 4.0f, 8);
    std::vector<float> pressure(base.size(), 0.0f);
    std::vector<float> scratch(base.size());
    double first = 0.0;
    double last = 0.0;
    for (int n = 0; n < 40; ++n) {
        std::vector<Vec2> v = base;
        for (std::size_t k = 0; k < v.size(); ++k) {
            v[k].x += 0.01f * static_cast<float>(n) * change[k].x;
            v[k].y += 0.01f * static_cast<float>(n) * change[k].y;
        }
        const double before = divergence(g, v);
        nvq::fluid::steps::project(g, v.data(), pressure.data(), scratch.data(), 10);
        (n == 0 ? first : last) = divergence(g, v) / before;
    }
    EXPECT_LT(last, 0.25 * first) << "first " << first << ", last " << last;
}

TEST(VorticityConfinementTest, ForceIsZeroWhereItIsNotComputed)
{
    const Grid g{6, 5, 8, false, false};
    const int count = 8 * 7;
    std::vector<Vec2> v(count);
    std::mt19937 random(3);
    std::uniform_real_distribution<float> component(-1.0f, 1.0f);
    for (Vec2& cell : v) {
        cell = {component(random), component(random)};
    }
    // The force array held an owner's force before; it must not survive anywhere.
    std::vector<Vec2> force(count, Vec2{9.0f, 9.0f});
    std::vector<float> curl(count, 0.0f);
    nvq::fluid::steps::vorticityConfinement(g, v.data(), curl.data(), force.data(), count);
    for (int j = 0; j <= g.ny + 1; ++j) {
        for (int i = 0; i <= g.nx + 1; ++i) {
            const Vec2 f = force[at(g, i, j)];
            const bool computed = i >= 2 && i <= g.nx - 1 && j >= 2 && j <= g.ny - 1;
            if (computed) {
                EXPECT_NE(f.x, 9.0f);
                // Unit-free check: the force's size is twice the curl there.
                EXPECT_NEAR(std::hypot(f.x, f.y), 2.0f * curl[at(g, i, j)], 1e-4f) << i << ", " << j;
            } else {
                EXPECT_EQ(f.x, 0.0f) << i << ", " << j;
                EXPECT_EQ(f.y, 0.0f) << i << ", " << j;
            }
        }
    }
}

} // namespace
