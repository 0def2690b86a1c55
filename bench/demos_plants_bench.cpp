// Frames of the costlier generative demos on the 480 by 480 canvas, in the
// DEMO dialog's order (update, background, draw): BM_ClothFrame (576 nodes,
// 1104 springs), BM_GravityFrame (1000 particles pulling one another),
// BM_CirclesFrame (1000 translucent circles), BM_FernFrame (about 8,400
// branches), BM_MandalaFrame and BM_LsystemTreeFrame (one tree of a set of
// three, tens of thousands of symbols). One iteration is one frame.
#include "demos/apps/barnsley_fern.h"
#include "demos/apps/bouncy_circles.h"
#include "demos/apps/cloth.h"
#include "demos/apps/flowers_mandalas.h"
#include "demos/apps/gravity_attraction.h"
#include "demos/apps/lsystem_tree.h"
#include "platform/crt.h"
#include "tests/demos/demo_frames.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>

namespace {

// The demos' texts need a GUI application: one for the program, made on first use.
void EnsureGuiApplication()
{
    if (QGuiApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "lmd_demos_bench";
    static char* argv[] = {name, nullptr};
    static const QGuiApplication application(argc, argv);
}

// A demo set up on its own canvas, one frame per call of Frame.
template <class App>
class DemoRun
{
public:
    DemoRun()
    {
        EnsureGuiApplication();
        crt::srand(1);
        m_app.setup();
    }

    void Frame() { m_frames.Run(m_app, 1); }
    App& app() { return m_app; }

private:
    lmd::test::DemoFrames m_frames; // sets the canvas size first
    App m_app;
};

template <class App>
void BM_Frame(benchmark::State& state)
{
    DemoRun<App> run;
    for (auto _ : state)
        run.Frame();
}

void BM_ClothFrame(benchmark::State& state)
{
    BM_Frame<gaCloth>(state);
}
BENCHMARK(BM_ClothFrame)->Unit(benchmark::kMillisecond);

void BM_GravityFrame(benchmark::State& state)
{
    DemoRun<gaGravityAttraction> run;
    run.app().mouseReleased(160, 240, 0); // with two black holes
    run.app().mouseReleased(330, 200, 0);
    for (auto _ : state)
        run.Frame();
}
BENCHMARK(BM_GravityFrame)->Unit(benchmark::kMillisecond);

void BM_CirclesFrame(benchmark::State& state)
{
    BM_Frame<gaBouncyCircles>(state);
}
BENCHMARK(BM_CirclesFrame)->Unit(benchmark::kMillisecond);

void BM_FernFrame(benchmark::State& state)
{
    BM_Frame<gaBarnsleyFern2>(state);
}
BENCHMARK(BM_FernFrame)->Unit(benchmark::kMillisecond);

void BM_MandalaFrame(benchmark::State& state)
{
    BM_Frame<gaFlowersMandalas>(state);
}
BENCHMARK(BM_MandalaFrame)->Unit(benchmark::kMillisecond);

void BM_LsystemTreeFrame(benchmark::State& state)
{
    DemoRun<gaLsystemTree> run;
    for (auto _ : state) {
        if (run.app().nextTree() == 3) { // after the third tree a click starts the set again
            state.PauseTiming();
            run.app().mousePressed(0, 0, 0);
            state.ResumeTiming();
        }
        run.Frame();
    }
}
BENCHMARK(BM_LsystemTreeFrame)->Unit(benchmark::kMillisecond);

} // namespace
