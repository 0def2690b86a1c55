// The solver against a naive stable-fluid step written here on its own: every field a
// set of planar float grids, every formula as plain as it can be put. Both must agree
// on every cell (ghosts too) of a small grid over several stirred updates, in every
// combination of dye kind, confinement and wrapping.
#include "physics/fluid/solver.h"

#include <cmath>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

using Plane = std::vector<float>;
using Field = std::vector<Plane>; // one plane per component

struct Settings
{
    bool rgb;
    bool vorticity;
    bool wrapX;
    bool wrapY;
};

class ReferenceFluid
{
public:
    ReferenceFluid(int nx, int ny, Settings settings)
        : nx(nx), ny(ny), set(settings), u(2, Plane(cells(), 0.0f)), u0(u),
          dye(set.rgb ? 3 : 1, Plane(cells(), 0.0f)), dye0(dye), curl(cells(), 0.0f)
    {
    }

    int nx, ny;
    Settings set;
    int iterations = 10;
    float dt = 0.1f;
    float viscosity = 0.002f;
    float diffusion = 0.001f;
    float fade = 0.01f;
    Field u, u0, dye, dye0;
    Plane curl;

    int cells() const { return (nx + 2) * (ny + 2); }
    int at(int i, int j) const { return i + (nx + 2) * j; }

    void update()
    {
        for (int c = 0; c < 2; ++c) {
            for (int k = 0; k < cells(); ++k) {
                u[c][k] += u0[c][k] * dt;
            }
        }
        if (set.vorticity) {
            confine();
            for (int c = 0; c < 2; ++c) {
                for (int k = 0; k < cells(); ++k) {
                    u[c][k] += u0[c][k] * dt;
                }
            }
        }
        std::swap(u, u0);
        relax(u, u0, viscosity * dt * nx * ny, true);
        project(0);
        std::swap(u, u0);
        advect(u, u0, u0);
        velocityBorder(u);
        project(1);

        for (std::size_t c = 0; c < dye.size(); ++c) {
            for (int k = 0; k < cells(); ++k) {
                dye[c][k] += dye0[c][k] * dt;
            }
        }
        std::swap(dye, dye0);
        if (diffusion != 0.0f && dt != 0.0f) {
            relax(dye, dye0, diffusion * dt * nx * ny, false);
            std::swap(dye, dye0);
        }
        advect(dye, dye0, u);
        for (Plane& p : dye) {
            border(p);
        }

        for (Plane& p : dye) {
            for (float& v : p) {
                v = tiny(std::min(v, 1.0f) * (1.0f - fade));
            }
        }
        for (Plane& p : dye0) {
            std::fill(p.begin(), p.end(), 0.0f);
        }
        for (int c = 0; c < 2; ++c) {
            std::fill(u0[c].begin(), u0[c].end(), 0.0f);
            for (float& v : u[c]) {
                v = tiny(v);
            }
        }
        if (set.vorticity) {
            for (float& v : curl) {
                v = tiny(v);
            }
        }
    }

private:
    static float tiny(float v) { return std::fabs(static_cast<double>(v)) < 1e-9 ? 0.0f : v; }

    // The cell whose value ghost (i, j) takes.
    std::pair<int, int> source(int i, int j) const
    {
        if (i == 0) {
            i = set.wrapX ? nx : 1;
        } else if (i == nx + 1) {
            i = set.wrapX ? 1 : nx;
        }
        if (j == 0) {
            j = set.wrapY ? ny : 1;
        } else if (j == ny + 1) {
            j = set.wrapY ? 1 : ny;
        }
        return {i, j};
    }

    void edges(Plane& p, float signLeftRight, float signTopBottom)
    {
        for (int j = 1; j <= ny; ++j) {
            for (const int i : {0, nx + 1}) {
                const auto [si, sj] = source(i, j);
                p[at(i, j)] = signLeftRight * p[at(si, sj)];
            }
        }
        for (int i = 1; i <= nx; ++i) {
            for (const int j : {0, ny + 1}) {
                const auto [si, sj] = source(i, j);
                p[at(i, j)] = signTopBottom * p[at(si, sj)];
            }
        }
        p[at(0, 0)] = (p[at(1, 0)] + p[at(0, 1)]) / 2;
        p[at(0, ny + 1)] = (p[at(0, ny)] + p[at(1, ny + 1)]) / 2;
        p[at(nx + 1, 0)] = (p[at(nx + 1, 1)] + p[at(nx, 0)]) / 2;
        p[at(nx + 1, ny + 1)] = (p[at(nx + 1, ny)] + p[at(nx, ny + 1)]) / 2;
    }

    void border(Plane& p) { edges(p, 1.0f, 1.0f); }

    void velocityBorder(Field& v)
    {
        edges(v[0], set.wrapX ? 1.0f : -1.0f, 1.0f);
        edges(v[1], 1.0f, set.wrapY ? 1.0f : -1.0f);
    }

    // Gauss-Seidel, last row and column first.
    void relax(Field& x, const Field& x0, float a, bool velocity)
    {
        for (int n = 0; n < iterations; ++n) {
            for (int j = ny; j >= 1; --j) {
                for (int i = nx; i >= 1; --i) {
                    for (std::size_t c = 0; c < x.size(); ++c) {
                        Plane& p = x[c];
                        p[at(i, j)] =
                            (a * (p[at(i - 1, j)] + p[at(i + 1, j)] + p[at(i, j - 1)] + p[at(i, j + 1)]) +
                             x0[c][at(i, j)]) /
                            (4 * a + 1);
                    }
                }
            }
            if (velocity) {
                velocityBorder(x);
            } else {
                for (Plane& p : x) {
                    border(p);
                }
            }
        }
    }

    float wrapOrClamp(float x, int n, bool wrap) const
    {
        if (std::isnan(x)) {
            return 0.5f;
        }
        if (wrap) {
            while (x < 0.5f) {
                x += n;
            }
            while (x >= n + 0.5f) {
                x -= n;
            }
        }
        return std::max(0.5f, std::min(x, n + 0.5f));
    }

    // Into the interior of q, from q0, along the velocity w.
    void advect(Field& q, const Field& q0, const Field& w)
    {
        for (int j = ny; j >= 1; --j) {
            for (int i = nx; i >= 1; --i) {
                const float x = wrapOrClamp(i - dt * nx * w[0][at(i, j)], nx, set.wrapX);
                const float y = wrapOrClamp(j - dt * ny * w[1][at(i, j)], ny, set.wrapY);
                const int i0 = static_cast<int>(std::floor(x));
                const int j0 = static_cast<int>(std::floor(y));
                const float s = x - i0;
                const float t = y - j0;
                for (std::size_t c = 0; c < q.size(); ++c) {
                    const Plane& p = q0[c];
                    q[c][at(i, j)] = (1 - s) * (1 - t) * p[at(i0, j0)] + (1 - s) * t * p[at(i0, j0 + 1)] +
                                     s * (1 - t) * p[at(i0 + 1, j0)] + s * t * p[at(i0 + 1, j0 + 1)];
                }
            }
        }
    }

    // Pressure P of each of the two projections of an update, kept for the same
    // projection of the next update as its first guess.
    Plane pressures[2] = {Plane(cells(), 0.0f), Plane(cells(), 0.0f)};

    // Gauss-Seidel on nx² d²P/di² + ny² d²P/dj² = div in the grid's own units, then
    // u -= grad P.
    void project(int which)
    {
        Plane& pressure = pressures[which];
        Plane divergence(cells(), 0.0f);
        const float nx2 = static_cast<float>(nx * nx);
        const float ny2 = static_cast<float>(ny * ny);
        for (int j = 1; j <= ny; ++j) {
            for (int i = 1; i <= nx; ++i) {
                const float dudx = nx * (u[0][at(i + 1, j)] - u[0][at(i - 1, j)]) / 2;
                const float dvdy = ny * (u[1][at(i, j + 1)] - u[1][at(i, j - 1)]) / 2;
                divergence[at(i, j)] = dudx + dvdy;
            }
        }
        border(pressure);
        for (int n = 0; n < iterations; ++n) {
            for (int j = ny; j >= 1; --j) {
                for (int i = nx; i >= 1; --i) {
                    pressure[at(i, j)] = (nx2 * (pressure[at(i - 1, j)] + pressure[at(i + 1, j)]) +
                                          ny2 * (pressure[at(i, j - 1)] + pressure[at(i, j + 1)]) -
                                          divergence[at(i, j)]) /
                                         (2 * (nx2 + ny2));
                }
            }
            border(pressure);
        }
        for (int j = 1; j <= ny; ++j) {
            for (int i = 1; i <= nx; ++i) {
                u[0][at(i, j)] -= nx * (pressure[at(i + 1, j)] - pressure[at(i - 1, j)]) / 2;
                u[1][at(i, j)] -= ny * (pressure[at(i, j + 1)] - pressure[at(i, j - 1)]) / 2;
            }
        }
        velocityBorder(u);
    }

    float signedCurl(int i, int j) const
    {
        return ((u[0][at(i, j + 1)] - u[0][at(i, j - 1)]) - (u[1][at(i + 1, j)] - u[1][at(i - 1, j)])) / 2;
    }

    // Curl magnitude into curl; the confinement force into u0, zero where it is not
    // computed.
    void confine()
    {
        for (int j = 1; j <= ny; ++j) {
            for (int i = 1; i <= nx; ++i) {
                curl[at(i, j)] = std::fabs(signedCurl(i, j));
            }
        }
        for (Plane& p : u0) {
            std::fill(p.begin(), p.end(), 0.0f);
        }
        for (int j = 2; j < ny; ++j) {
            for (int i = 2; i < nx; ++i) {
                const float gx = curl[at(i + 1, j)] - curl[at(i - 1, j)];
                const float gy = curl[at(i, j + 1)] - curl[at(i, j - 1)];
                const float length = std::sqrt(gx * gx + gy * gy) + 1e-6f;
                const float w = signedCurl(i, j);
                u0[0][at(i, j)] = -2 * gy / length * w;
                u0[1][at(i, j)] = 2 * gx / length * w;
            }
        }
    }
};

class SolverReferenceTest : public testing::TestWithParam<std::tuple<bool, bool, bool, bool>>
{
};

TEST_P(SolverReferenceTest, MatchesANaiveStepOnEveryCell)
{
    const auto [rgb, vorticity, wrapX, wrapY] = GetParam();
    const int nx = 7;
    const int ny = 5;
    ReferenceFluid reference(nx, ny, {rgb, vorticity, wrapX, wrapY});
    nvq::fluid::Solver solver;
    solver.doRGB = rgb;
    solver.doVorticityConfinement = vorticity;
    solver.wrapX = wrapX;
    solver.wrapY = wrapY;
    solver.solverIterations = reference.iterations;
    solver.dt = reference.dt;
    solver.viscosity = reference.viscosity;
    solver.colorDiffusion = reference.diffusion;
    solver.fadeSpeed = reference.fade;
    solver.setup(nx, ny);

    std::mt19937 random(1234);
    std::uniform_real_distribution<float> speed(-5.0f, 5.0f);
    std::uniform_real_distribution<float> amount(0.0f, 2.0f);
    const int cells = reference.cells();
    for (int step = 0; step < 5; ++step) {
        // Stir as an owner does: forces and dye into the sources (ghosts too), a push
        // straight into the velocity.
        for (int k = 0; k < cells; ++k) {
            const nvq::fluid::Vec2 force{speed(random), speed(random)};
            solver.velocitySource[k] = force;
            reference.u0[0][k] = force.x;
            reference.u0[1][k] = force.y;
            const nvq::fluid::Rgb dye{amount(random), amount(random), amount(random)};
            if (rgb) {
                solver.colorSource[k] = dye;
                reference.dye0[0][k] = dye.r;
                reference.dye0[1][k] = dye.g;
                reference.dye0[2][k] = dye.b;
            } else {
                solver.densitySource[k] = dye.r;
                reference.dye0[0][k] = dye.r;
            }
        }
        const int pushed = solver.cellIndex(1 + step % nx, 1 + step % ny);
        solver.velocity[pushed].x += 0.5f;
        reference.u[0][pushed] += 0.5f;

        solver.update();
        reference.update();

        for (int k = 0; k < cells; ++k) {
            SCOPED_TRACE(testing::Message()
                         << "update " << step << ", cell " << k % (nx + 2) << ", " << k / (nx + 2));
            ASSERT_NEAR(solver.velocity[k].x, reference.u[0][k], 1e-5f);
            ASSERT_NEAR(solver.velocity[k].y, reference.u[1][k], 1e-5f);
            ASSERT_NEAR(solver.curl[k], reference.curl[k], 1e-5f);
            if (rgb) {
                ASSERT_NEAR(solver.color[k].r, reference.dye[0][k], 1e-5f);
                ASSERT_NEAR(solver.color[k].g, reference.dye[1][k], 1e-5f);
                ASSERT_NEAR(solver.color[k].b, reference.dye[2][k], 1e-5f);
                ASSERT_EQ(solver.colorSource[k].r, 0.0f);
            } else {
                ASSERT_NEAR(solver.density[k], reference.dye[0][k], 1e-5f);
                ASSERT_EQ(solver.densitySource[k], 0.0f);
            }
            ASSERT_EQ(solver.velocitySource[k].x, 0.0f);
        }
    }
}

std::string modeName(const testing::TestParamInfo<SolverReferenceTest::ParamType>& info)
{
    const auto [rgb, vorticity, wrapX, wrapY] = info.param;
    return std::string(rgb ? "Rgb" : "Density") + (vorticity ? "Vortex" : "") + (wrapX ? "WrapX" : "") +
           (wrapY ? "WrapY" : "");
}

INSTANTIATE_TEST_SUITE_P(EveryMode, SolverReferenceTest,
                         testing::Combine(testing::Bool(), testing::Bool(), testing::Bool(), testing::Bool()),
                         modeName);

} // namespace
