// Effect engine benchmarks. Sizes are zoom percentages of the 130-pixel clock.
#include "effects/effect_layer.h"

#include <benchmark/benchmark.h>
#include <cstring>
#include <vector>

namespace {

int SideForZoom(int zoom)
{
    return 130 * zoom / 100;
}

// One composed frame through three pass-through layers, as the clock runs them:
// back reads the snapshot, middle and front re-capture the layer below first,
// and front copies its output onto the composition surface.
void BM_PassThroughLayers(benchmark::State& state)
{
    const int side = SideForZoom(static_cast<int>(state.range(0)));
    platform::Surface snapshot(side, side);
    snapshot.Fill(platform::Rgb(12, 34, 56));
    platform::Surface composition(side, side);
    CEffectLayer back(side, side), middle(side, side), front(side, side);
    back.Create(&snapshot);
    middle.Create(&back.Output());
    front.Create(&middle.Output());
    for (auto _ : state) {
        back.Render(nullptr);
        middle.RecaptureSource();
        middle.Render(nullptr);
        front.RecaptureSource();
        front.Render(&composition);
        benchmark::DoNotOptimize(composition.Row(0));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(side) * side * 4);
}
BENCHMARK(BM_PassThroughLayers)->Arg(100)->Arg(200)->Arg(600);

// For comparison: one plain copy of a buffer of the same size.
void BM_Memcpy(benchmark::State& state)
{
    const int side = SideForZoom(static_cast<int>(state.range(0)));
    const std::size_t bytes = static_cast<std::size_t>(side) * side * 4;
    std::vector<unsigned char> from(bytes, 1), to(bytes);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes));
}
BENCHMARK(BM_Memcpy)->Arg(100)->Arg(200)->Arg(600);

} // namespace

BENCHMARK_MAIN();
