// Benchmarks of the owner-drawn controls: one paint of the rippling picture
// (a step of the water over the picture, the buffer drawn out) at the version
// page's size and larger.
#include "controls/static_ex.h"

#include <QImage>
#include <benchmark/benchmark.h>

namespace {

// BM_StaticExFrame/<side>: one paint of a side x side picture.
void BM_StaticExFrame(benchmark::State& state)
{
    const int side = static_cast<int>(state.range(0));
    QImage picture(side, side, QImage::Format_RGB32);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            picture.setPixel(x, y, qRgb(x * 255 / side, (x ^ y) & 0xFF, y * 255 / side));
    CStaticEx control(picture);
    QImage target(side, side, QImage::Format_RGB32);
    CStaticEx::s_nTickCount = 0;
    control.render(&target); // untimed first paint
    for (auto _ : state) {
        control.render(&target); // one water step and the frame drawn, as a paint does
        benchmark::DoNotOptimize(target.constBits());
    }
    state.SetItemsProcessed(state.iterations() * side * side);
}
BENCHMARK(BM_StaticExFrame)->Arg(130)->Arg(512)->Unit(benchmark::kMicrosecond);

} // namespace
