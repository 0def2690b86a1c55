// The CPU pixel routines against a plain copy of their pixels: one layer frame of
// each at zoom 300, with a memcpy of the same number of pixels timed in the same
// run. The counter "x_memcpy" is the frame's time over the copy's time.
#include "bench/support/effect_bench.h"
#include "effects/effect_codes.h"
#include "effects/effect_layer.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstring>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Seconds for one memcpy of the given bytes: the best of many warm copies.
double MemcpySeconds(std::size_t bytes)
{
    std::vector<unsigned char> from(bytes, 1), to(bytes);
    double best = 1e9;
    for (int round = 0; round < 50; ++round) {
        constexpr int kCopies = 20;
        const auto start = Clock::now();
        for (int k = 0; k < kCopies; ++k) {
            std::memcpy(to.data(), from.data(), bytes);
            benchmark::DoNotOptimize(to.data());
            benchmark::ClobberMemory();
        }
        best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count() / kCopies);
    }
    return best;
}

void BM_Routine(benchmark::State& state, int code)
{
    const int side = lmd::bench::SideForZoom(static_cast<int>(state.range(0)));
    const platform::Surface source = lmd::bench::GradientPicture(side, 0x60u);
    CEffectLayer layer(side, side);
    layer.Create(&source);
    layer.SetEffect(code);
    layer.Render(nullptr); // set-up and first frame
    const double copy = MemcpySeconds(static_cast<std::size_t>(side) * side * 4);
    double frames = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        layer.Render(nullptr);
        benchmark::DoNotOptimize(layer.Output().Row(0));
        frames += std::chrono::duration<double>(Clock::now() - start).count();
    }
    state.counters["x_memcpy"] = frames / static_cast<double>(state.iterations()) / copy;
    state.counters["memcpy_us"] = copy * 1e6;
}

const bool g_routinesRegistered = [] {
    for (const int code :
         {EFFECT_FIRE, EFFECT_PLASMA, EFFECT_CLOUDS, EFFECT_FROSTED_GLASS, EFFECT_DRIZZLE, EFFECT_FUR}) {
        const std::string name = "BM_Routine/" + std::string(FindEffect(code)->name);
        benchmark::RegisterBenchmark(name.c_str(), BM_Routine, code)->Arg(300)->Unit(benchmark::kMicrosecond);
    }
    return true;
}();

} // namespace
