// Benchmarks of the clock under the mouse: one drag step (the snapshot scrolled
// with two screen strips, the three layers, the frame keyed on, the window
// painted and moved), the stealth hole's region, and the window list the
// overlap check reads every second.
#include "app/lmd_app.h"
#include "app/lumidial.h"
#include "platform/window_list.h"
#include "platform/window_region.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <benchmark/benchmark.h>
#include <cmath>
#include <memory>
#include <vector>

namespace {

void SendMouse(QWidget& window, QEvent::Type type, QPoint local, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, QPointF(local), QPointF(window.mapToGlobal(local)), Qt::LeftButton, buttons,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &event);
}

// BM_DragStep/<zoom>: one step of a drag, one pixel right and down, then back.
void BM_DragStep(benchmark::State& state)
{
    AppSettings& settings = theApp.AppSettings;
    settings = AppSettings{};
    settings.Zoom = static_cast<int>(state.range(0));
    settings.StartX = 100;
    settings.StartY = 100;
    settings.UseShaderMojiban = false;
    CLumidial clock;
    clock.Create();
    clock.show();
    QCoreApplication::processEvents();
    const QPoint grab(clock.width() / 2, clock.height() / 2);
    SendMouse(clock, QEvent::MouseButtonPress, grab, Qt::LeftButton);
    int step = 1;
    const auto dragStep = [&] {
        // The grab point stays under the pointer: the window follows it.
        SendMouse(clock, QEvent::MouseMove, grab + QPoint(step, step), Qt::LeftButton);
        step = -step;
    };
    dragStep(); // untimed: the drag's first step
    for (auto _ : state)
        dragStep();
    SendMouse(clock, QEvent::MouseButtonRelease, grab, Qt::NoButton);
    state.SetLabel(std::to_string(clock.ClockWidth()) + " px square");
}
BENCHMARK(BM_DragStep)->Arg(100)->Arg(200)->Arg(600)->Unit(benchmark::kMillisecond);

// BM_StealthHoleRegion/<zoom>: the ellipse less the rounded hole, as the hole
// follows the pointer every 20 ms.
void BM_StealthHoleRegion(benchmark::State& state)
{
    const int width = 130 * static_cast<int>(state.range(0)) / 100;
    const QRegion ellipse(0, 0, width - 1, width - 1, QRegion::Ellipse);
    const int half = static_cast<int>(std::ceil(width * 0.4 * 0.5));
    const int corner = static_cast<int>(width * 0.1);
    int x = width / 3;
    for (auto _ : state) {
        const QRegion hole =
            platform::RoundRectRegion(QRect(x - half, x - half, 2 * half, 2 * half), corner, corner);
        benchmark::DoNotOptimize(ellipse.subtracted(hole));
        x = x == width / 3 ? width / 2 : width / 3;
    }
}
BENCHMARK(BM_StealthHoleRegion)->Arg(100)->Arg(200)->Arg(600)->Unit(benchmark::kMicrosecond);

// Plain windows spread over the screen, shown and, under a window manager,
// framed by it once the list holds them all.
std::vector<std::unique_ptr<QWidget>> ShowWindows(int count)
{
    const std::size_t before = platform::EnumTopLevelWindows().size();
    std::vector<std::unique_ptr<QWidget>> windows;
    for (int i = 0; i < count; ++i) {
        auto window = std::make_unique<QWidget>();
        window->setWindowTitle(QStringLiteral("window %1").arg(i));
        window->setGeometry(40 + 30 * (i % 10), 60 + 30 * (i / 10), 200, 150);
        window->show();
        windows.push_back(std::move(window));
    }
    QElapsedTimer waited;
    waited.start();
    while (platform::EnumTopLevelWindows().size() < before + windows.size() && waited.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return windows;
}

// BM_EnumTopLevelWindows/<windows>: the desktop's window list, as the overlap
// check reads it every second, with that many more windows on the desktop.
void BM_EnumTopLevelWindows(benchmark::State& state)
{
    const auto shown = ShowWindows(static_cast<int>(state.range(0)));
    benchmark::DoNotOptimize(platform::EnumTopLevelWindows().data()); // untimed first list
    std::size_t count = 0;
    for (auto _ : state) {
        const std::vector<platform::TopLevelWindow> windows = platform::EnumTopLevelWindows();
        count = windows.size();
        benchmark::DoNotOptimize(windows.data());
    }
    state.SetLabel(std::to_string(count) + " windows");
}
BENCHMARK(BM_EnumTopLevelWindows)->Arg(0)->Arg(30)->Unit(benchmark::kMicrosecond);

} // namespace
