// Time of one fluid step at the demo's settings.
// BM_FluidUpdate/<cells>/<iterations>/<vorticity on>: a square grid of <cells>², stirred
// every step the way a moving mouse stirs the fluid demo.
#include "physics/fluid/solver.h"

#include <benchmark/benchmark.h>
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

void BM_FluidUpdate(benchmark::State& state)
{
    nvq::fluid::Solver solver;
    solver.doRGB = true;
    solver.fadeSpeed = 0.002f;
    solver.dt = 0.5f;
    solver.viscosity = 0.00015f;
    solver.colorDiffusion = 0.0f;
    solver.solverIterations = static_cast<int>(state.range(1));
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

BENCHMARK(BM_FluidUpdate)->ArgsProduct({{150, 256, 512}, {10, 20}, {0, 1}})->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
