// Frames of the fireworks demo on the 480 by 480 canvas with its pool of 4096
// actors saturated: BM_FireworksSaturatedFrame is one whole frame (the gradient
// over the last frame, the world's step, the actor list's commit, the draws of
// every actor with its scaled or flashing sprite, their actions, a launch). A
// rocket goes up every frame to keep the pool full; the pool's complaints about
// spawns it cannot serve go to a stream that drops them.
#include "demos/core/base_app.h"
#include "demos/fireworks/fireworks.h"
#include "platform/crt.h"

#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <iostream>
#include <optional>
#include <sstream>

namespace {

constexpr int kCanvas = 480;
constexpr int kLaunchCounter = 30; // a counter that launches a rocket

// Standard output silenced for the life of the object.
class SilencedOutput
{
public:
    SilencedOutput() : m_saved(std::cout.rdbuf(nullptr)) {}
    ~SilencedOutput() { std::cout.rdbuf(m_saved); }

private:
    std::streambuf* const m_saved;
};

void DrawFrame(fireworks& demo, QPainter& painter)
{
    const gaFrameScope frame(demo, painter);
    demo.core().frameNum = kLaunchCounter;
    demo.update();
    demo.draw();
}

void BM_FireworksSaturatedFrame(benchmark::State& state)
{
    canvasWidth = kCanvas;
    canvasHeight = kCanvas;
    crt::srand(1);
    QImage canvas(kCanvas, kCanvas, QImage::Format_RGB32);
    canvas.fill(Qt::black);
    QPainter painter(&canvas);
    const SilencedOutput silenced;
    fireworks demo;
    demo.setup();
    for (int warmUp = 0; warmUp < 1000 && demo.particleCount() < 4096; ++warmUp)
        DrawFrame(demo, painter);
    if (demo.particleCount() < 4096) {
        state.SkipWithError("the pool did not fill up");
        return;
    }
    double particles = 0;
    for (auto _ : state) {
        DrawFrame(demo, painter);
        particles += demo.particleCount();
    }
    state.counters["particles"] = benchmark::Counter(particles, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_FireworksSaturatedFrame)->Unit(benchmark::kMillisecond);

} // namespace
