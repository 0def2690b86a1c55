// Frames of the plant and physics demos on the 480 by 480 canvas, as the DEMO
// dialog runs them (update, background, draw): BM_Frame<demo> for the cloth
// (576 nodes, 1104 springs), the bouncing circles (1000 translucent circles),
// the fern (about 8,400 branches) and the mandala; BM_GravityFrame (1000
// particles pulling one another, two black holes) and BM_LsystemTreeFrame (one
// tree of a set of three, tens of thousands of symbols). One iteration is one
// frame, after an untimed first one.
#include "bench/support/demo_frames_bench.h"
#include "demos/apps/barnsley_fern.h"
#include "demos/apps/bouncy_circles.h"
#include "demos/apps/cloth.h"
#include "demos/apps/flowers_mandalas.h"
#include "demos/apps/gravity_attraction.h"
#include "demos/apps/lsystem_tree.h"

#include <benchmark/benchmark.h>

namespace {

using lmd::bench::BM_Frame;
using lmd::bench::SetUp;

BENCHMARK_TEMPLATE(BM_Frame, gaCloth)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_Frame, gaBouncyCircles)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_Frame, gaBarnsleyFern2)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_Frame, gaFlowersMandalas)->Unit(benchmark::kMillisecond);

void BM_GravityFrame(benchmark::State& state)
{
    const auto run = SetUp<gaGravityAttraction>();
    run->app->mouseReleased(160, 240, 0); // with two black holes
    run->app->mouseReleased(330, 200, 0);
    run->Frame(); // untimed first frame
    for (auto _ : state)
        run->Frame();
}
BENCHMARK(BM_GravityFrame)->Unit(benchmark::kMillisecond);

void BM_LsystemTreeFrame(benchmark::State& state)
{
    const auto run = SetUp<gaLsystemTree>();
    run->Frame(); // untimed first frame
    for (auto _ : state) {
        if (run->app->nextTree() == 3) { // after the third tree a click starts the set again
            state.PauseTiming();
            run->app->mousePressed(0, 0, 0);
            state.ResumeTiming();
        }
        run->Frame();
    }
}
BENCHMARK(BM_LsystemTreeFrame)->Unit(benchmark::kMillisecond);

} // namespace
