// Time of one fluid step at the demo's settings.
// BM_FluidUpdate/<cells>/<iterations>/<vorticity on>: a square grid of <cells>², stirred
// every step the way a moving mouse stirs the fluid demo.
// BM_ClosedBoxDye/<cells>/<updates>: the demo's settings without fade or sources, a
// blob of dye in a swirl; dye_change_pct is how much dye the box gained (or lost)
// over the updates, which a closed box should not.
#include "physics/fluid/solver.h"

#include <benchmark/benchmark.h>
#include <algorithm>
#include <cmath>

namespace {

void stir(nvq::fluid::Solver& solver, int step)
{
    const float angle = 0.1f * static_cast<float>(step);
    const int index = solver.cellIndexAt(0.5f + 0.25f * std::cos(angle), 0.5f + 0.25f * std::sin(angle));
    solver.colorSource[index] = {200.0f, 100.0f, 50.0f};
    solver.velocity[index].x += 0.02f * -std::sin(angle);
    solver.velocity[index].y += 0.02f * std::cos(angle);
}

// The fluid demo's tuning: colour dye, no dye diffusion, the given fade.
void demoTuning(nvq::fluid::Solver& solver, float fadeSpeed, int iterations)
{
    solver.doRGB = true;
    solver.fadeSpeed = fadeSpeed;
    solver.dt = 0.5f;
    solver.viscosity = 0.00015f;
    solver.colorDiffusion = 0.0f;
    solver.solverIterations = iterations;
}

void BM_FluidUpdate(benchmark::State& state)
{
    nvq::fluid::Solver solver;
    demoTuning(solver, 0.002f, static_cast<int>(state.range(1)));
    solver.doVorticityConfinement = state.range(2) != 0;
    const int cells = static_cast<int>(state.range(0));
    solver.setup(cells, cells);
    // Let a flow develop before timing.
    int step = 0;
    for (; step < 20; ++step) {
        stir(solver, step);
        solver.update();
    }
    for (auto _ : state) {
        stir(solver, step++);
        solver.update();
    }
    benchmark::DoNotOptimize(solver.color[solver.cellIndexAt(0.5f, 0.5f)]);
}

double interiorDye(const nvq::fluid::Solver& solver)
{
    double sum = 0.0;
    for (int j = 1; j <= solver.cellsY; ++j)
        for (int i = 1; i <= solver.cellsX; ++i)
            sum += solver.color[solver.cellIndex(i, j)].r;
    return sum;
}

void BM_ClosedBoxDye(benchmark::State& state)
{
    const int cells = static_cast<int>(state.range(0));
    const int updates = static_cast<int>(state.range(1));
    double change = 0.0;
    for (auto _ : state) {
        nvq::fluid::Solver solver;
        demoTuning(solver, 0.0f, 10);
        solver.setup(cells, cells);
        const float centre = 0.5f * static_cast<float>(cells + 1);
        const float radius = 0.5f * static_cast<float>(cells);
        for (int j = 1; j <= cells; ++j) {
            for (int i = 1; i <= cells; ++i) {
                const float bx = (static_cast<float>(i) - 0.33f * cells) / (0.13f * cells);
                const float by = (static_cast<float>(j) - 0.6f * cells) / (0.13f * cells);
                const int k = solver.cellIndex(i, j);
                solver.color[k] = {std::exp(-(bx * bx + by * by)), 0.0f, 0.0f};
                // A swirl round the centre, still at the walls.
                const float dx = (static_cast<float>(i) - centre) / radius;
                const float dy = (static_cast<float>(j) - centre) / radius;
                const float fall = std::max(0.0f, 1.0f - (dx * dx + dy * dy));
                solver.velocity[k] = {-dy * fall * 0.05f, dx * fall * 0.05f};
            }
        }
        const double before = interiorDye(solver);
        for (int n = 0; n < updates; ++n)
            solver.update();
        change = 100.0 * (interiorDye(solver) / before - 1.0);
    }
    state.counters["dye_change_pct"] = change;
}
BENCHMARK(BM_ClosedBoxDye)->Args({150, 100})->Args({150, 1000})->Unit(benchmark::kMillisecond);

BENCHMARK(BM_FluidUpdate)->ArgsProduct({{150, 256, 512}, {10, 20}, {0, 1}})->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
