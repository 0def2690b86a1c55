// Benchmarks of the about dialog's animated controls: one frame of the rippling
// picture (a water step over the picture and the client area drawn) and of the
// cloud sky (three layers averaged through the palette, the text laid over) and
// of the text crawl (stars, the flat text, every row squeezed) at the dialog's
// page size and larger; one OpenGL frame of the teapot and of the refraction
// scene with each of its models, and one frame of each shader demo at the
// page's size, drawn and read back. And the shown dialog's CPU share while one
// of its pages is in front.
#include "about/about_dlg.h"
#include "about/clouds_ctrl.h"
#include "about/opengl_ctrl.h"
#include "about/special_fx_ctrl.h"
#include "about/spectral_ctrl.h"
#include "about/star_wars_ctrl.h"
#include "platform/timers.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QImage>
#include <QMouseEvent>
#include <QTabBar>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <ctime>

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
    control.render(&target); // untimed first paint
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
    control.ComposeFrame(); // untimed first frame
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
    control.ComposeFrame();     // untimed first frame
    for (auto _ : state) {
        control.ComposeFrame();
        benchmark::DoNotOptimize(control.Frame().Bits());
    }
    state.SetItemsProcessed(state.iterations() * w * h);
}
BENCHMARK(BM_CrawlFrame)->Args({291, 239})->Args({640, 480})->Unit(benchmark::kMicrosecond);

// One frame of a shown OpenGL control of width x height: its paint into the
// control's framebuffer and the read-back of the frame (a small part: 4 bytes
// a pixel, copied once). The first frame, which sets the scene up, is not timed.
// The drawing runs on the GL driver's threads: the times are wall-clock times.
void RunGLFrames(benchmark::State& state, CGLCtrl& control, int width, int height)
{
    control.resize(width, height);
    control.show();
    while (!control.isValid())
        QCoreApplication::processEvents();
    benchmark::DoNotOptimize(control.grabFramebuffer().constBits());
    for (auto _ : state)
        benchmark::DoNotOptimize(control.grabFramebuffer().constBits());
    state.SetItemsProcessed(state.iterations() * width * height);
}

// BM_TeapotFrame/<width>/<height>: the mirroring teapot in its room.
void BM_TeapotFrame(benchmark::State& state)
{
    COpenGLCtrl control;
    RunGLFrames(state, control, static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
}
BENCHMARK(BM_TeapotFrame)->Args({291, 239})->Args({640, 480})->Unit(benchmark::kMillisecond)->UseRealTime();

// BM_SpectralFrame/<model>/<width>/<height>: the refracting model in its room;
// model 0 is the rabbit, 1 the sports car, 2 the torus (no such file).
void BM_SpectralFrame(benchmark::State& state)
{
    static const char* const models[] = {"stanford_bunny.obj", "LexusLFA.obj", "no_such_model.obj"};
    CSpectralCtrl control;
    control.SetModelName(models[state.range(0)]);
    RunGLFrames(state, control, static_cast<int>(state.range(1)), static_cast<int>(state.range(2)));
}
BENCHMARK(BM_SpectralFrame)
    ->Args({0, 291, 239})
    ->Args({1, 291, 239})
    ->Args({2, 291, 239})
    ->Args({0, 640, 480})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// One frame of a shader demo at w x h after clicks left clicks (which choose its
// shader): a tick, the frame drawn and read back (glReadPixels waits for it).
// The drawing runs on the GL driver's threads: the times are wall-clock times.
void RunShaderFrames(benchmark::State& state, CShaderCtrl& control, int clicks)
{
    const int w = static_cast<int>(state.range(1));
    const int h = static_cast<int>(state.range(2));
    control.resize(w, h);
    control.show();
    while (control.Program() == 0 && control.isVisible())
        QCoreApplication::processEvents(); // set up on its first paint
    for (int i = 0; i < clicks; ++i) {
        const QPointF at(w / 2.0, h / 2.0);
        QMouseEvent press(QEvent::MouseButtonPress, at, control.mapToGlobal(at), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&control, &press);
    }
    state.SetLabel(control.CurrentSet().fragment);
    const auto frame = [&control] {
        platform::WindowTimerEvent tick(CShaderCtrl::kTimerId);
        QCoreApplication::sendEvent(&control, &tick);
        return control.grabFramebuffer();
    };
    frame(); // untimed: the first frame of the chosen shader
    for (auto _ : state)
        benchmark::DoNotOptimize(frame().constBits());
    state.SetItemsProcessed(state.iterations() * w * h);
}

// BM_ShaderOrbFrame/<shader index>/<width>/<height>
void BM_ShaderOrbFrame(benchmark::State& state)
{
    CShaderOrbCtrl control;
    RunShaderFrames(state, control, static_cast<int>(state.range(0)));
}
BENCHMARK(BM_ShaderOrbFrame)
    ->ArgsProduct({{0, 1, 2}, {291}, {239}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// BM_ShaderProtoplasmFrame/<mode>/<width>/<height>
void BM_ShaderProtoplasmFrame(benchmark::State& state)
{
    CShaderProtoplasm control;
    RunShaderFrames(state, control, static_cast<int>(state.range(0)));
}
BENCHMARK(BM_ShaderProtoplasmFrame)
    ->ArgsProduct({{0, 1, 2, 3}, {291}, {239}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// BM_ShaderRootSanctumFrame/0/<width>/<height>
void BM_ShaderRootSanctumFrame(benchmark::State& state)
{
    CShaderRootSanctum control;
    RunShaderFrames(state, control, 0);
}
BENCHMARK(BM_ShaderRootSanctumFrame)->Args({0, 291, 239})->Unit(benchmark::kMillisecond)->UseRealTime();

// Runs the event loop for ms milliseconds.
void RunEvents(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// BM_AboutDialogCpu/<page>: one second of the shown about dialog with that page
// in front (every control animates from its own timers, those on hidden pages
// too). The CPU column is the process's CPU time in that second; cpu_pct is the
// share of one core. Timing starts once the matrix reveal runs its first group
// (5 s after the dialog opened), so that its reveal and hold timers run.
void BM_AboutDialogCpu(benchmark::State& state)
{
    const int page = static_cast<int>(state.range(0));
    CAboutDlg dialog;
    dialog.OnInitDialog();
    dialog.show();
    dialog.TabCtrl()->TabBar()->setCurrentIndex(page);
    QElapsedTimer opened;
    opened.start();
    const JMatrixCtrl* const reveal = dialog.Reveal();
    while (reveal != nullptr && reveal->m_nCurrentLine < 0 && opened.elapsed() < 20000)
        RunEvents(100);
    if (reveal == nullptr || reveal->m_nCurrentLine < 0) {
        state.SkipWithError("the matrix reveal did not start its first group");
        return;
    }
    double cpu = 0;
    double wall = 0;
    for (auto _ : state) {
        const std::clock_t cpuStart = std::clock();
        QElapsedTimer second;
        second.start();
        RunEvents(1000);
        cpu += static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
        wall += static_cast<double>(second.nsecsElapsed()) * 1e-9;
    }
    state.counters["cpu_pct"] = 100.0 * cpu / wall;
    state.SetLabel(dialog.TabCtrl()->GetItemText(page).toStdString());
}
BENCHMARK(BM_AboutDialogCpu)->Arg(0)->Arg(3)->MeasureProcessCPUTime()->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace
