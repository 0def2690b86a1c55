// Benchmarks of the clock window: one whole frame as the 50 ms timer paints it
// (three pass-through layers over the snapshot, the GDI dial and hands, the
// dot-matrix readout with seconds, the frame keyed on top, the copy out), and
// the external frame builder the frame settings page runs.
#include "app/lmd_app.h"
#include "app/lumidial.h"
#include "platform/resources.h"

#include <benchmark/benchmark.h>

namespace {

// BM_ClockFrame/<zoom>: one paint of the clock at that zoom.
void BM_ClockFrame(benchmark::State& state)
{
    AppSettings& settings = theApp.AppSettings;
    settings = AppSettings{};
    settings.Zoom = static_cast<int>(state.range(0));
    settings.UseShaderMojiban = false;
    settings.DigitalWatch = true;
    settings.DigiSec = true;
    settings.FrameType = 1;
    CLumidial clock;
    clock.SetTimeSource([] { return LocalDateTime{2024, 5, 17, 16, 40, 12, 345}; });
    clock.Create();
    QImage target(clock.ClockWidth(), clock.ClockHeight(), QImage::Format_RGB32);
    for (auto _ : state) {
        clock.render(&target); // composes the frame and copies it out, as a paint does
        benchmark::DoNotOptimize(target.constBits());
    }
    state.SetLabel(std::to_string(clock.ClockWidth()) + " px square");
}
BENCHMARK(BM_ClockFrame)->Arg(100)->Arg(200)->Arg(600)->Unit(benchmark::kMillisecond);

// BM_BuildExtFrame/<gradation>: the external frame from the default texture.
void BM_BuildExtFrame(benchmark::State& state)
{
    const QImage shape = platform::LoadBitmap("FRM_LIME");
    const QImage texture = platform::LoadBitmap("FRM_DEFAULT_IMG");
    for (auto _ : state)
        benchmark::DoNotOptimize(BuildExtFrame(shape, texture, state.range(0) != 0));
}
BENCHMARK(BM_BuildExtFrame)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
