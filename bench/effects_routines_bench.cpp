// The CPU pixel routines against a plain copy of their pixels: one drawn layer
// frame of each after its source changed (see effect_bench.h) at zoom 100 and
// 300, with a memcpy of the same number of pixels timed in the same run. The
// counter "x_memcpy" is the frame's time over the copy's time.
#include "bench/support/effect_bench.h"
#include "effects/effect_codes.h"
#include "effects/effect_layer.h"

#include <QPen>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>
#include <cstring>
#include <random>
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
    platform::Surface source = lmd::bench::GradientPicture(side, 0x60u);
    CEffectLayer layer(side, side);
    layer.Create(&source);
    layer.SetEffect(code);
    if (!lmd::bench::WarmUpLayer(state, layer, source))
        return;
    const double copy = MemcpySeconds(static_cast<std::size_t>(side) * side * 4);
    double frames = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        lmd::bench::DrawnFrame(layer);
        benchmark::DoNotOptimize(layer.Output().Row(0));
        frames += std::chrono::duration<double>(Clock::now() - start).count();
    }
    state.counters["x_memcpy"] = frames / static_cast<double>(state.iterations()) / copy;
    state.counters["memcpy_us"] = copy * 1e6;
}

// The keyed copy onto the face, as each frame does it: a picture of the key
// colour with three hands drawn from the centre (range(1) = 0), or a busy
// picture where every pixel is the key or not at random (range(1) = 1).
void BM_KeyedCopy(benchmark::State& state)
{
    const int side = lmd::bench::SideForZoom(static_cast<int>(state.range(0)));
    const platform::COLORREF key = platform::Rgb(255, 0, 255);
    platform::Surface hands(side, side);
    hands.Fill(key);
    if (state.range(1) == 1) {
        std::mt19937 random(3);
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x)
                if (random() % 2 == 0)
                    hands.Row(y)[x] = 0xFF202020u;
    } else {
        platform::SurfacePainter painter(hands);
        const QPointF centre(side / 2.0, side / 2.0);
        for (const auto& [angle, width] : {std::pair{0.7, 6.0}, std::pair{2.9, 4.0}, std::pair{4.4, 1.0}}) {
            painter.setPen(QPen(QColor(20, 20, 20), width * side / 130));
            painter.drawLine(centre, centre + QPointF(std::sin(angle), -std::cos(angle)) * (side * 0.4));
        }
    }
    platform::Surface face = lmd::bench::GradientPicture(side, 0x60u);
    const auto keyedCopy = [&] { face.TransparentBlt(0, 0, side, side, hands, 0, 0, side, side, key); };
    keyedCopy(); // untimed first copy
    const double copy = MemcpySeconds(static_cast<std::size_t>(side) * side * 4);
    double frames = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        keyedCopy();
        benchmark::DoNotOptimize(face.Row(0));
        frames += std::chrono::duration<double>(Clock::now() - start).count();
    }
    state.counters["x_memcpy"] = frames / static_cast<double>(state.iterations()) / copy;
    state.counters["memcpy_us"] = copy * 1e6;
}
BENCHMARK(BM_KeyedCopy)->Args({100, 0})->Args({300, 0})->Args({300, 1})->Unit(benchmark::kMicrosecond);

const bool g_routinesRegistered = [] {
    for (const int code :
         {EFFECT_FIRE, EFFECT_PLASMA, EFFECT_CLOUDS, EFFECT_FROSTED_GLASS, EFFECT_DRIZZLE, EFFECT_FUR}) {
        const std::string name = "BM_Routine/" + std::string(FindEffect(code)->name);
        benchmark::RegisterBenchmark(name.c_str(), BM_Routine, code)
            ->Arg(100)
            ->Arg(300)
            ->Unit(benchmark::kMicrosecond);
    }
    return true;
}();

} // namespace
