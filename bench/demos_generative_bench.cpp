// Frames of the generative demos on the 480 by 480 canvas, as the DEMO dialog
// runs them (one iteration is one frame, text included): BM_BuddhabrotSamples
// (a frame's 10000 samples), BM_BuddhabrotRepaint (the 600 x 600 histogram as
// grey cells), BM_NebulabrotRepaint (the three histograms as colours),
// BM_GmoskiMiraFrame and BM_DragonCurveFrame (30000 points each),
// BM_ArithmeticOwlFrame (4000 particles), BM_AncientMachineFrame (2000
// particles) and BM_AutoClusterFrame (1800 particles, all pairs). And
// BM_NebulabrotSweep/<rows>: one worker's band of grid rows swept on one
// thread, in samples per second (items) per thread.
#include "demos/apps/ancient_machine.h"
#include "demos/apps/arithmetic_owl.h"
#include "demos/apps/auto_cluster.h"
#include "demos/apps/buddhabrot.h"
#include "demos/apps/dragon_curve.h"
#include "demos/apps/gmoski_mira.h"
#include "demos/apps/nebulabrot.h"
#include "platform/crt.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

constexpr int kCanvas = 480;

// Text needs the display's fonts: one application for the program.
void EnsureApplication()
{
    static int argc = 1;
    static char name[] = "lmd_demos_bench";
    static char* argv[] = {name, nullptr};
    static const std::unique_ptr<QGuiApplication> app =
        QGuiApplication::instance() ? nullptr : std::make_unique<QGuiApplication>(argc, argv);
}

// A demo set up on its canvas; Frame() runs one frame as the dialog does.
template <class App>
class Canvas
{
public:
    template <class... Args>
    explicit Canvas(Args&&... args)
    {
        EnsureApplication();
        canvasWidth = kCanvas;
        canvasHeight = kCanvas;
        crt::srand(1);
        app = std::make_unique<App>(std::forward<Args>(args)...);
        app->MakeCurrent();
        app->setup();
        m_picture.fill(Qt::black);
    }

    void Frame()
    {
        QPainter painter(&m_picture);
        const gaFrameScope scope(*app, painter);
        if (app->core().autoBackground)
            painter.fillRect(QRect(0, 0, kCanvas, kCanvas), QColor::fromRgba(app->core().backgroundColor));
        app->draw();
        app->core().frameNum = ++m_frames;
    }

    // Runs the given painted function inside a frame.
    template <class Function>
    void InFrame(Function&& function)
    {
        QPainter painter(&m_picture);
        const gaFrameScope scope(*app, painter);
        function();
    }

    std::unique_ptr<App> app;

private:
    QImage m_picture{kCanvas, kCanvas, QImage::Format_RGB32};
    int m_frames = 0;
};

template <class App>
void BM_Frame(benchmark::State& state, int warmFrames)
{
    Canvas<App> canvas;
    for (int i = 0; i < warmFrames; ++i)
        canvas.Frame();
    for (auto _ : state)
        canvas.Frame();
}

void BM_BuddhabrotSamples(benchmark::State& state)
{
    Canvas<gaBuddhabrot> canvas;
    for (auto _ : state)
        canvas.app->sample();
    state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_BuddhabrotSamples)->Unit(benchmark::kMillisecond);

void BM_BuddhabrotRepaint(benchmark::State& state)
{
    Canvas<gaBuddhabrot> canvas;
    for (int i = 0; i < 30; ++i)
        canvas.app->sample();
    for (auto _ : state)
        canvas.InFrame([&] { canvas.app->repaint(); });
}
BENCHMARK(BM_BuddhabrotRepaint)->Unit(benchmark::kMillisecond);

void BM_NebulabrotRepaint(benchmark::State& state)
{
    Canvas<gaNebulabrot> canvas(256, 256); // the workers fill the histograms while it repaints
    for (auto _ : state)
        canvas.Frame();
}
BENCHMARK(BM_NebulabrotRepaint)->Unit(benchmark::kMillisecond);

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
    canvasWidth = kCanvas;
    canvasHeight = kCanvas;
    const auto rows = static_cast<int>(state.range(0));
    UnstartedNebulabrot demo(gaNebulabrot::kSampleGrid, rows * gaNebulabrot::kWorkers);
    for (auto _ : state)
        demo.renderWorker(1); // the band through the middle of the set
    state.SetItemsProcessed(state.iterations() * rows * gaNebulabrot::kSampleGrid);
}
BENCHMARK(BM_NebulabrotSweep)->Arg(16)->Unit(benchmark::kMillisecond);

void BM_GmoskiMiraFrame(benchmark::State& state)
{
    BM_Frame<gaGmoskiMira>(state, 0);
}
BENCHMARK(BM_GmoskiMiraFrame)->Unit(benchmark::kMillisecond);

void BM_DragonCurveFrame(benchmark::State& state)
{
    BM_Frame<gaDragonCurve>(state, 0);
}
BENCHMARK(BM_DragonCurveFrame)->Unit(benchmark::kMillisecond);

void BM_ArithmeticOwlFrame(benchmark::State& state)
{
    BM_Frame<gaArithmeticOwl>(state, 200); // the particle list full
}
BENCHMARK(BM_ArithmeticOwlFrame)->Unit(benchmark::kMillisecond);

void BM_AncientMachineFrame(benchmark::State& state)
{
    BM_Frame<gaAncientMachine>(state, 100);
}
BENCHMARK(BM_AncientMachineFrame)->Unit(benchmark::kMillisecond);

void BM_AutoClusterFrame(benchmark::State& state)
{
    BM_Frame<gaAutoCluster>(state, 0);
}
BENCHMARK(BM_AutoClusterFrame)->Unit(benchmark::kMillisecond);

} // namespace
