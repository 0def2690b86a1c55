// Frames of the generative demos on the 480 by 480 canvas, as the DEMO dialog
// runs them (one iteration is one frame, text included): BM_Frame<demo> for
// the attractor and dragon curves (30000 points each), the owl (4000
// particles), the machine (2000), the auto cluster (1800, all pairs) and the
// Nebulabrot (its three histograms repainted while its workers fill them);
// BM_BuddhabrotSamples (a frame's 10000 samples) and BM_BuddhabrotRepaint (the
// 600 x 600 histogram as grey cells, every 30th frame). And
// BM_NebulabrotSweep/<rows>: one worker's band of grid rows swept on one
// thread, in samples per second (items) per thread.
#include "bench/support/demo_frames_bench.h"
#include "demos/apps/ancient_machine.h"
#include "demos/apps/arithmetic_owl.h"
#include "demos/apps/auto_cluster.h"
#include "demos/apps/buddhabrot.h"
#include "demos/apps/dragon_curve.h"
#include "demos/apps/gmoski_mira.h"
#include "demos/apps/nebulabrot.h"
#include "platform/crt.h"
#include "tests/demos/app_frames.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

using lmd::test::AppFrames;

using lmd::bench::BM_Frame;
using lmd::bench::EnsureApplication;
using lmd::bench::SetUp;

BENCHMARK_TEMPLATE(BM_Frame, gaGmoskiMira)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_Frame, gaDragonCurve)->Unit(benchmark::kMillisecond);
// The owl and the machine after their particle lists have filled up.
BENCHMARK_TEMPLATE(BM_Frame, gaArithmeticOwl, 200)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_Frame, gaAncientMachine, 100)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_Frame, gaAutoCluster)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_Frame, gaNebulabrot)->Unit(benchmark::kMillisecond);

void BM_BuddhabrotSamples(benchmark::State& state)
{
    const auto canvas = SetUp<gaBuddhabrot>();
    canvas->app->sample(); // untimed first samples
    for (auto _ : state)
        canvas->app->sample();
    state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_BuddhabrotSamples)->Unit(benchmark::kMillisecond);

void BM_BuddhabrotRepaint(benchmark::State& state)
{
    const auto canvas = SetUp<gaBuddhabrot>();
    for (int i = 0; i < 30; ++i)
        canvas->app->sample();
    const auto repaint = [&canvas] {
        QPainter painter(&canvas->picture);
        const gaFrameScope frame(*canvas->app, painter);
        canvas->app->repaint();
    };
    repaint(); // untimed first repaint
    for (auto _ : state)
        repaint();
}
BENCHMARK(BM_BuddhabrotRepaint)->Unit(benchmark::kMillisecond);

// The demo's workers are not started: the band runs on the benchmark's thread.
class UnstartedNebulabrot : public gaNebulabrot
{
public:
    using gaNebulabrot::gaNebulabrot;
    void setup() override {}
};

void BM_NebulabrotSweep(benchmark::State& state)
{
    EnsureApplication();
    canvasWidth = AppFrames<UnstartedNebulabrot>::kSize;
    canvasHeight = AppFrames<UnstartedNebulabrot>::kSize;
    const auto rows = static_cast<int>(state.range(0));
    UnstartedNebulabrot demo(gaNebulabrot::kSampleGrid, rows * gaNebulabrot::kWorkers);
    demo.renderWorker(1); // untimed first sweep
    for (auto _ : state)
        demo.renderWorker(1); // the band through the middle of the set
    state.SetItemsProcessed(state.iterations() * rows * gaNebulabrot::kSampleGrid);
}
BENCHMARK(BM_NebulabrotSweep)->Arg(16)->Unit(benchmark::kMillisecond);

} // namespace
