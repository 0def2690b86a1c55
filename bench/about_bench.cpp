// Benchmarks of the about dialog's animated controls: one frame of the rippling
// picture (a water step over the picture and the client area drawn) and of the
// cloud sky (three layers averaged through the palette, the text laid over) and
// of the text crawl (stars, the flat text, every row squeezed) at the dialog's
// page size and larger; one OpenGL frame of the teapot and of the refraction
// scene with each of its models, and one frame of each shader demo at the
// page's size, drawn and read back.
#include "about/about_dlg.h"
#include "about/clouds_ctrl.h"
#include "about/opengl_ctrl.h"
#include "about/special_fx_ctrl.h"
#include "about/spectral_ctrl.h"
#include "about/star_wars_ctrl.h"
#include "platform/timers.h"

#include <QCoreApplication>
#include <QImage>
#include <QMouseEvent>
#include <benchmark/benchmark.h>

namespace {

// BM_SpecialFXFrame/<width>/<height>: one paint of a width x height picture
// filling its control.
void BM_SpecialFXFrame(benchmark::State& state)
{
    const int w = static_cast<int>(state.range(0));
    const int h = static_cast<int>(state.range(1));
    QImage picture(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            picture.setPixel(x, y, qRgb(x * 255 / w, (x ^ y) & 0xFF, y * 255 / h));
    CSpecialFXCtrl control;
    control.SetPictures(&picture, nullptr);
    control.resize(w, h);
    control.PreSubclassWindow();
    QImage target(w, h, QImage::Format_RGB32);
    // The water's step and drawing cost the same whether it is still or not.
    for (auto _ : state) {
        control.render(&target);
        benchmark::DoNotOptimize(target.constBits());
    }
    state.SetItemsProcessed(state.iterations() * w * h);
}
BENCHMARK(BM_SpecialFXFrame)->Args({291, 239})->Args({640, 480})->Unit(benchmark::kMicrosecond);

// BM_CloudsFrame/<width>/<height>: one composed frame of the cloud sky.
void BM_CloudsFrame(benchmark::State& state)
{
    const int w = static_cast<int>(state.range(0));
    const int h = static_cast<int>(state.range(1));
    CCloudsCtrl control;
    control.m_strText = about::StaffText();
    control.resize(w, h);
    control.PreSubclassWindow();
    for (auto _ : state) {
        control.ComposeFrame();
        benchmark::DoNotOptimize(control.Frame().Bits());
    }
    state.SetItemsProcessed(state.iterations() * w * h);
}
BENCHMARK(BM_CloudsFrame)->Args({291, 239})->Args({640, 480})->Unit(benchmark::kMicrosecond);

// BM_CrawlFrame/<width>/<height>: one composed frame of the text crawl with the
// dialog's eleven lines in view.
void BM_CrawlFrame(benchmark::State& state)
{
    const int w = static_cast<int>(state.range(0));
    const int h = static_cast<int>(state.range(1));
    CStarWarsCtrl control;
    control.resize(w, h);
    control.PreSubclassWindow();
    for (const QString& line : about::CrawlLines())
        control.AddLine(line);
    control.m_nStarSpeed = 2;
    control.m_nScrollSpeed = 0; // the lines stay where they are
    for (auto _ : state) {
        control.ComposeFrame();
        benchmark::DoNotOptimize(control.Frame().Bits());
    }
    state.SetItemsProcessed(state.iterations() * w * h);
}
BENCHMARK(BM_CrawlFrame)->Args({291, 239})->Args({640, 480})->Unit(benchmark::kMicrosecond);

// page size and larger; one OpenGL frame of the teapot and of the refraction
// scene with each of its models, and one frame of each shader demo at the
// page's size, drawn and read back.

} // namespace
