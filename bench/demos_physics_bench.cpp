// Frames of the physics and fluid demos on the 480 by 480 canvas.
// BM_SnowPileStep/18750: one physics step of the falling snow after 18750
// frames of pile-up (10 minutes of the dialog's 32 ms frames); BM_SnowPileFrame/
// 18750: the whole frame there (update and drawing). Both share one pile and
// count its snowballs (and the step, those asleep). BM_FluidFrame/50000: the fluid demo's whole
// frame (solver step, fluid picture, 50,000 particle segments, help text) with
// every particle slot alive. One iteration is one frame.
#include "demos/apps/fluid.h"
#include "demos/apps/snow.h"
#include "demos/core/base_app.h"
#include "platform/crt.h"
#include "tests/demos/app_runner.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

using lmd::test::AppRunner;

// Text and pictures need a GUI application: one for the whole program, on the
// display when there is one.
void EnsureGuiApplication()
{
    if (QGuiApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "lmd_demos_bench";
    static char* argv[] = {name, nullptr};
    static QGuiApplication application(argc, argv);
}

constexpr int kTenMinutes = 18750;

// The snow after ten minutes of pile-up (updates only: drawing does not change
// the pile).
struct PiledSnow
{
    PiledSnow()
    {
        crt::srand(1);
        for (int n = 0; n < kTenMinutes; ++n)
            snow.app->update();
    }
    AppRunner<gaAppSnow> snow;
};

// One pile for the program, made at first use.
AppRunner<gaAppSnow>& SnowPile()
{
    EnsureGuiApplication();
    static PiledSnow piled;
    piled.snow.app->MakeCurrent();
    return piled.snow;
}

void BM_SnowPileStep(benchmark::State& state)
{
    AppRunner<gaAppSnow>& snow = SnowPile();
    gaxPhysics& physics = snow.app->getPhysics();
    for (auto _ : state)
        physics.update();
    int asleep = 0;
    for (const auto& snowball : snow.app->getSnowballs())
        asleep += !snowball->getBody()->IsAwake();
    state.counters["snowballs"] = static_cast<double>(snow.app->getSnowballs().size());
    state.counters["asleep"] = asleep;
}
BENCHMARK(BM_SnowPileStep)->Arg(kTenMinutes)->Unit(benchmark::kMillisecond);

void BM_SnowPileFrame(benchmark::State& state)
{
    AppRunner<gaAppSnow>& snow = SnowPile();
    snow.Frame(); // untimed first frame: the pictures are loaded and drawn once
    for (auto _ : state)
        snow.Frame();
    state.counters["snowballs"] = static_cast<double>(snow.app->getSnowballs().size());
}
BENCHMARK(BM_SnowPileFrame)->Arg(kTenMinutes)->Unit(benchmark::kMillisecond);

void BM_FluidFrame(benchmark::State& state)
{
    EnsureGuiApplication();
    AppRunner<gaAppFluid> fluid;
    crt::srand(1);
    fluid.Frame(); // the 150-cell grid
    // Every slot filled by moves round the canvas, stirring the fluid.
    for (int n = 0; n < FluidParticles::kMaxParticles / FluidParticles::kPerCall; ++n)
        fluid.app->mouseMoved(240 + (n % 200) - 100, 240 + ((n / 200) % 20) * 5 - 50);
    int live = 0;
    for (auto _ : state) {
        fluid.Frame();
        state.PauseTiming();
        live = 0;
        for (const FluidParticle& p : fluid.app->getParticles().particles)
            live += p.alpha > 0;
        state.ResumeTiming();
    }
    state.counters["live_particles"] = live;
}
BENCHMARK(BM_FluidFrame)->Arg(FluidParticles::kMaxParticles)->Unit(benchmark::kMillisecond);

} // namespace
