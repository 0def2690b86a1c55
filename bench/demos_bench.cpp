// Frames of the demo core on the 480 by 480 canvas, at the sizes the demos draw:
// BM_Rectangles1x1/30000 (an attractor's iterates), BM_Lines/50000 (short
// segments of the line demos), BM_PixelWrites/230400 (a 1 x 1 rectangle with
// its own colour for every canvas pixel, as the orbit-density repaint does) and
// BM_TexturePixels/230400 (every pixel of a canvas-sized texture set, then the
// texture drawn over the canvas). One iteration is one frame, after an untimed
// first one.
#include "demos/core/base_app.h"
#include "demos/core/core.h"
#include "demos/core/image.h"
#include "platform/crt.h"

#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <optional>
#include <vector>

namespace {

constexpr int kCanvas = 480;

// An app in the middle of a frame on its canvas.
class Frame
{
public:
    Frame()
    {
        canvasWidth = kCanvas;
        canvasHeight = kCanvas;
        m_canvas.fill(Qt::black);
        m_scope.emplace(m_app, m_painter);
    }

private:
    gaBaseApp m_app;
    QImage m_canvas{kCanvas, kCanvas, QImage::Format_RGB32};
    QPainter m_painter{&m_canvas};
    std::optional<gaFrameScope> m_scope;
};

std::vector<float> RandomCoordinates(std::size_t count, float extent)
{
    crt::srand(1);
    std::vector<float> values(count);
    for (float& value : values)
        value = gaRandom(0, extent);
    return values;
}

void BM_Rectangles1x1(benchmark::State& state)
{
    const Frame frame;
    const auto count = static_cast<std::size_t>(state.range(0));
    const std::vector<float> xy = RandomCoordinates(2 * count, kCanvas);
    gaSetColor(0xFFFFFFFF);
    const auto draw = [&] {
        for (std::size_t i = 0; i < count; ++i)
            gaDrawRectangle(xy[2 * i], xy[2 * i + 1], 1, 1);
    };
    draw(); // untimed first frame
    for (auto _ : state)
        draw();
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_Rectangles1x1)->Arg(30000)->Unit(benchmark::kMillisecond);

void BM_Lines(benchmark::State& state)
{
    const Frame frame;
    const auto count = static_cast<std::size_t>(state.range(0));
    const std::vector<float> xy = RandomCoordinates(2 * count, kCanvas - 10);
    const std::vector<float> step = RandomCoordinates(2 * count, 10);
    gaSetColor(0xC0FFFFFF);
    const auto draw = [&] {
        for (std::size_t i = 0; i < count; ++i)
            gaDrawLine(xy[2 * i], xy[2 * i + 1], xy[2 * i] + step[2 * i], xy[2 * i + 1] + step[2 * i + 1]);
    };
    draw(); // untimed first frame
    for (auto _ : state)
        draw();
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_Lines)->Arg(50000)->Unit(benchmark::kMillisecond);

void BM_PixelWrites(benchmark::State& state)
{
    const Frame frame;
    const auto draw = [] {
        for (int y = 0; y < kCanvas; ++y)
            for (int x = 0; x < kCanvas; ++x) {
                gaSetColor(0xFF000000u | static_cast<std::uint32_t>(x * 0x010101 ^ y * 0x000301));
                gaDrawRectangle(static_cast<float>(x), static_cast<float>(y), 1, 1);
            }
    };
    draw(); // untimed first frame
    for (auto _ : state)
        draw();
    state.SetItemsProcessed(state.iterations() * kCanvas * kCanvas);
}
BENCHMARK(BM_PixelWrites)->Arg(kCanvas * kCanvas)->Unit(benchmark::kMillisecond);

void BM_TexturePixels(benchmark::State& state)
{
    const Frame frame;
    gaTexture texture;
    texture.allocate(kCanvas, kCanvas, 6407);
    const auto draw = [&texture] {
        for (int y = 0; y < kCanvas; ++y)
            for (int x = 0; x < kCanvas; ++x)
                texture.image().setColor(x, y, 0xFF000000u | static_cast<std::uint32_t>(x * 0x010101 ^ y));
        texture.draw(0, 0, kCanvas, kCanvas);
    };
    draw(); // untimed first frame
    for (auto _ : state)
        draw();
    state.SetItemsProcessed(state.iterations() * kCanvas * kCanvas);
}
BENCHMARK(BM_TexturePixels)->Arg(kCanvas * kCanvas)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
