// Benchmarks of the clock's picture: one frame as the 50 ms timer paints it
// (three pass-through layers over the snapshot, the GDI dial and hands, the
// dot-matrix readout with seconds, the frame keyed on top, the copy out of the
// part that changed), made by a compositor alone, with and without the skipping
// of unchanged work, over a still desktop and right after the desktop changed,
// and by the round clock window on the display; and the
// external frame builder the frame settings page runs.
#include "app/clock_compositor.h"
#include "bench/support/effect_bench.h"
#include "app/lmd_app.h"
#include "app/lumidial.h"
#include "platform/resources.h"
#include "platform/window_region.h"

#include <QCoreApplication>
#include <QPainter>
#include <QTemporaryDir>
#include <QWidget>
#include <QWindow>
#include <array>
#include <benchmark/benchmark.h>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// The clock at 16:40:12 plus a number of 50 ms frames.
LocalDateTime FrameTime(long frame)
{
    const long ms = ((16 * 60 + 40) * 60 + 12) * 1000L + frame * 50;
    return {2024,
            5,
            17,
            static_cast<int>(ms / 3'600'000 % 24),
            static_cast<int>(ms / 60'000 % 60),
            static_cast<int>(ms / 1000 % 60),
            static_cast<int>(ms % 1000)};
}

// Frames of a compositor with the given settings at the benchmark's zoom (range
// 0) over a still plain desktop, the changed part copied out as a paint does;
// the time goes on by 50 ms a frame when `moving`, else it stands. Range 1, when
// given, switches the skipping of unchanged work (default on). The first frame,
// which sets the layers' effects up and draws everything, is not timed.
void TimeFrames(benchmark::State& state, const AppSettings& settings, bool moving)
{
    const int side = 130 * static_cast<int>(state.range(0)) / 100;
    ClockCompositor compositor(settings);
    compositor.SetSkipUnchanged(state.range(1) != 0);
    compositor.Resize({side, side});
    platform::Surface desktop(side, side);
    desktop.Fill(0xA06030);
    compositor.SetSnapshot(desktop);
    compositor.SelectFrame(settings.FrameType);
    compositor.RebuildLayers();
    compositor.SetDotColors();
    QImage target(side, side, QImage::Format_RGB32);
    long frame = 0;
    const auto paint = [&] {
        const platform::Surface& picture = compositor.Compose(FrameTime(moving ? frame++ : 0));
        const QRect changed = compositor.ChangedRect();
        QPainter(&target).drawImage(changed.topLeft(), picture.Image(), changed);
    };
    paint();
    for (auto _ : state) {
        paint();
        benchmark::DoNotOptimize(target.constBits());
    }
    state.SetLabel(std::to_string(side) + " px square");
}

// BM_ClockFrame/<zoom>/<skip>: one frame of the clock with the drawn dial and the
// readout with seconds, at a fixed time: with skipping on, the frame of a clock
// over a still desktop while the time stands, which finds nothing to draw.
void BM_ClockFrame(benchmark::State& state)
{
    AppSettings settings;
    settings.UseShaderMojiban = false;
    settings.DigitalWatch = true;
    settings.DigiSec = true;
    settings.FrameType = 1;
    TimeFrames(state, settings, false);
}
BENCHMARK(BM_ClockFrame)
    ->ArgsProduct({{100, 300, 600}, {0, 1}})
    ->ArgNames({"zoom", "skip"})
    ->Unit(benchmark::kMicrosecond);

// BM_DefaultClockFrame/<zoom>/<skip>: one frame of the clock at default settings
// (the dial shader, three pass-through layers, the frame) over a still desktop,
// the time going on by 50 ms a frame as the timer paints it: the steady state.
void BM_DefaultClockFrame(benchmark::State& state)
{
    TimeFrames(state, AppSettings{}, true);
}
BENCHMARK(BM_DefaultClockFrame)
    ->ArgsProduct({{100, 300, 600}, {0, 1}})
    ->ArgNames({"zoom", "skip"})
    ->Unit(benchmark::kMicrosecond);

// BM_ChangedDesktopFrame/<zoom>/<shader>: one frame of the clock right after the
// desktop behind it changed (two desktops in turn, each taken in and handed to
// the back layer as a recapture does), at default settings (shader 1: the dial
// shader reads the composition) or with the drawn dial (shader 0). The three
// pass-through layers hand the new snapshot on to the composition. The first
// frame is not timed, and the second, over the other desktop, must change the
// picture.
void BM_ChangedDesktopFrame(benchmark::State& state)
{
    const int side = 130 * static_cast<int>(state.range(0)) / 100;
    AppSettings settings;
    settings.UseShaderMojiban = state.range(1) != 0;
    ClockCompositor compositor(settings);
    compositor.Resize({side, side});
    std::array<platform::Surface, 2> desktops{platform::Surface(side, side), platform::Surface(side, side)};
    desktops[0].Fill(0xA06030);
    desktops[1].Fill(0x3060A0);
    compositor.SetSnapshot(desktops[0]);
    compositor.SelectFrame(settings.FrameType);
    compositor.RebuildLayers();
    QImage target(side, side, QImage::Format_RGB32);
    long frame = 0;
    const auto paint = [&] {
        compositor.SetSnapshot(desktops[static_cast<std::size_t>(frame % 2)]);
        compositor.SnapshotChanged();
        const platform::Surface& picture = compositor.Compose(FrameTime(frame++));
        const QRect changed = compositor.ChangedRect();
        QPainter(&target).drawImage(changed.topLeft(), picture.Image(), changed);
    };
    paint();
    if (!lmd::bench::ChangesPixels(state, target, paint, "a frame over a changed desktop left the picture as it was"))
        return;
    for (auto _ : state) {
        paint();
        benchmark::DoNotOptimize(target.constBits());
    }
    state.SetLabel(std::to_string(side) + " px square");
}
BENCHMARK(BM_ChangedDesktopFrame)
    ->ArgsProduct({{100, 300, 600}, {0, 1}})
    ->ArgNames({"zoom", "shader"})
    ->Unit(benchmark::kMicrosecond);

// BM_ClockWindowPaint/<zoom>: one paint of the shown clock window at default
// settings, as an exposure asks for it: the finished frame (no frame is due, so
// none is composed) put whole on the round window. The repaint timer's frames
// are composed as in BM_DefaultClockFrame and send only their changed part.
void BM_ClockWindowPaint(benchmark::State& state)
{
    const QTemporaryDir folder; // an empty slideshow folder
    theApp.AppSettings = AppSettings{};
    theApp.AppSettings.Zoom = static_cast<int>(state.range(0));
    theApp.AppSettings.StartX = 100;
    theApp.AppSettings.StartY = 100;
    theApp.AppSettings.ImageFolderPath = folder.path();
    CLumidial window;
    window.Create();
    window.show();
    while (!window.windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    window.repaint(); // untimed first paint
    for (auto _ : state)
        window.repaint();
    state.SetLabel(std::to_string(window.width()) + " px square");
}
BENCHMARK(BM_ClockWindowPaint)->Arg(100)->Arg(300)->Unit(benchmark::kMicrosecond);

// A shown window of the clock's size and round region that paints a finished
// frame, as the clock's paint does once the frame is composed.
class RoundFrameWindow : public QWidget
{
public:
    explicit RoundFrameWindow(int side)
        : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint), frame_(side, side, QImage::Format_RGB32)
    {
        frame_.fill(0x306090);
        setAttribute(Qt::WA_OpaquePaintEvent);
        setGeometry(100, 100, side, side);
        platform::SetWindowRgn(*this, QRegion(0, 0, side - 1, side - 1, QRegion::Ellipse));
        show();
        while (!windowHandle()->isExposed())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).drawImage(0, 0, frame_); }

private:
    QImage frame_;
};

// BM_RoundWindowPaint/<zoom>: one paint of that window (the copy onto the
// round window and its flush to the display), without composing a frame.
void BM_RoundWindowPaint(benchmark::State& state)
{
    RoundFrameWindow window(130 * static_cast<int>(state.range(0)) / 100);
    window.repaint(); // untimed first paint
    for (auto _ : state)
        window.repaint();
    state.SetLabel(std::to_string(window.width()) + " px square");
}
BENCHMARK(BM_RoundWindowPaint)->Arg(100)->Arg(300)->Unit(benchmark::kMicrosecond);

// BM_FrameMemcpy/<zoom>: a plain copy of the same pixels, the yardstick of the frames above.
void BM_FrameMemcpy(benchmark::State& state)
{
    const int side = 130 * static_cast<int>(state.range(0)) / 100;
    const std::vector<std::uint32_t> from(static_cast<std::size_t>(side) * side, 0xFF306090u);
    std::vector<std::uint32_t> to(from.size()); // written once here: its pages exist before timing
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), from.size() * sizeof(std::uint32_t));
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetLabel(std::to_string(side) + " px square");
}
BENCHMARK(BM_FrameMemcpy)->Arg(100)->Arg(300)->Arg(600)->Unit(benchmark::kMicrosecond);

// BM_BuildExtFrame/<gradation>: the external frame from the default texture.
void BM_BuildExtFrame(benchmark::State& state)
{
    const QImage shape = platform::LoadBitmap("FRM_LIME");
    const QImage texture = platform::LoadBitmap("FRM_DEFAULT_IMG");
    benchmark::DoNotOptimize(BuildExtFrame(shape, texture, state.range(0) != 0)); // untimed first build
    for (auto _ : state)
        benchmark::DoNotOptimize(BuildExtFrame(shape, texture, state.range(0) != 0));
}
BENCHMARK(BM_BuildExtFrame)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
