// Effect engine benchmarks. Sizes are zoom percentages of the 130-pixel clock.
#include "bench/support/effect_bench.h"
#include "effects/effect_layer.h"
#include "effects/image_path_list.h"

#include <QImage>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

using lmd::bench::SideForZoom;

// One composed frame through three pass-through layers, as the clock runs them
// after the desktop changed: each layer hands on the picture below (the asked-for
// captures wait for an effect that reads them), and front copies the snapshot
// onto the composition surface: one copy of the frame's pixels in all. After an
// untimed first frame, a frame over an inverted snapshot must change the
// composition.
void BM_PassThroughLayers(benchmark::State& state)
{
    const int side = SideForZoom(static_cast<int>(state.range(0)));
    platform::Surface snapshot(side, side);
    snapshot.Fill(platform::Rgb(12, 34, 56));
    platform::Surface composition(side, side);
    CEffectLayer back(side, side), middle(side, side), front(side, side);
    back.Create(&snapshot);
    middle.Create(back);
    front.Create(middle);
    const auto frame = [&] {
        back.RecaptureSource();
        back.Render(nullptr);
        middle.RecaptureSource();
        middle.Render(nullptr);
        front.RecaptureSource();
        front.Render(&composition);
    };
    frame();
    const auto changedFrame = [&] {
        snapshot.PatBlt(0, 0, side, side, platform::PatOp::DstInvert);
        frame();
    };
    if (!lmd::bench::ChangesPixels(state, composition.Image(), changedFrame,
                                   "a frame over a changed snapshot left the composition as it was"))
        return;
    for (auto _ : state) {
        frame();
        benchmark::DoNotOptimize(composition.Row(0));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(side) * side * 4);
}
BENCHMARK(BM_PassThroughLayers)->Arg(100)->Arg(300)->Arg(600);

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
BENCHMARK(BM_Memcpy)->Arg(100)->Arg(300)->Arg(600);

// --- CPU effects: one drawn layer frame of each after its source changed (see
// effect_bench.h), over a picture of the zoom's size. The text rain needs
// fonts, which need a GUI application. ---

void BM_CpuEffect(benchmark::State& state, int code)
{
    const int side = SideForZoom(static_cast<int>(state.range(0)));
    platform::Surface source = lmd::bench::GradientPicture(side, 0x60u);
    // The slideshow decodes a 640 x 480 picture every second (20 frames); two
    // pictures in turn, so that each drawn frame shows another one.
    QTemporaryDir folder;
    std::vector<QString> paths;
    for (const QColor colour : {QColor(200, 120, 40), QColor(40, 120, 200)}) {
        QImage picture(640, 480, QImage::Format_RGB32);
        picture.fill(colour);
        paths.push_back(folder.filePath(QStringLiteral("picture%1.jpg").arg(paths.size())));
        picture.save(paths.back());
    }
    CImagePathList images;
    images.SetPaths(paths);
    CEffectLayer layer(side, side);
    layer.Create(&source);
    layer.SetFilter(platform::Rgb(255, 128, 0), 100);
    layer.SetImageList(&images);
    layer.SetEffect(code);
    lmd::bench::TimeDrawnFrames(state, layer, source);
    const auto pixels = static_cast<double>(side) * side;
    // Seconds per pixel (printed with its SI prefix, e.g. "1.2n" for 1.2 ns).
    state.counters["per_px"] = benchmark::Counter(pixels, benchmark::Counter::kIsIterationInvariantRate |
                                                              benchmark::Counter::kInvert);
}

const bool g_cpuEffectsRegistered = [] {
    // Every CPU routine but the plain copy (BM_PassThroughLayers).
    for (const int code : EffectCodes([](const EffectInfo& info) {
             return RunsOnCpu(info.family) && info.family != EffectFamily::Copy;
         })) {
        const std::string name = "BM_CpuEffect/" + std::string(FindEffect(code)->name);
        benchmark::RegisterBenchmark(name.c_str(), BM_CpuEffect, code)
            ->Arg(100)
            ->Arg(300)
            ->Arg(600)
            ->Unit(benchmark::kMicrosecond);
    }
    return true;
}();

// --- Single-pass shader effects of the menu: one drawn layer frame of each
// (upload, draw, read-back) after its source changed, over a picture of the
// zoom's size; needs a display ---

void BM_MenuShader(benchmark::State& state, int code)
{
    const int side = SideForZoom(static_cast<int>(state.range(0)));
    platform::Surface source(side, side);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            source.Row(y)[x] = 0xFF000000u | static_cast<std::uint32_t>((x ^ y) & 0xFF) << 16 |
                               static_cast<std::uint32_t>(y * 255 / side) << 8 | 0x80u;
    lmd::bench::TimeLayerFrames(state, std::move(source), code);
}

const bool g_menuShadersRegistered = [] {
    for (const int code : EffectCodes(IsLayerShader)) {
        const std::string name = "BM_MenuShader/" + std::string(FindEffect(code)->name);
        benchmark::RegisterBenchmark(name.c_str(), BM_MenuShader, code)
            ->Arg(100)
            ->Arg(300)
            ->Unit(benchmark::kMillisecond);
    }
    return true;
}();

} // namespace
