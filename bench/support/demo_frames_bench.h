#pragma once
// Demo frames for the benchmarks: a demo set up on the 480 by 480 canvas from
// the same random numbers every time, run frame by frame as the DEMO dialog
// runs it, with the one GUI application its texts need.
#include "platform/crt.h"
#include "tests/demos/app_frames.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <memory>
#include <utility>

namespace lmd::bench {

// Text needs the display's fonts: one application for the program.
inline void EnsureApplication()
{
    static int argc = 1;
    static char name[] = "lmd_demos_bench";
    static char* argv[] = {name, nullptr};
    static const std::unique_ptr<QGuiApplication> app =
        QGuiApplication::instance() ? nullptr : std::make_unique<QGuiApplication>(argc, argv);
}

// A demo set up on the canvas, from the same random numbers every time.
template <class App, class... Args> std::unique_ptr<lmd::test::AppFrames<App>> SetUp(Args&&... args)
{
    EnsureApplication();
    crt::srand(1);
    return std::make_unique<lmd::test::AppFrames<App>>(std::forward<Args>(args)...);
}

// One frame of the demo per iteration, after the first frame and WarmFrames
// more untimed.
template <class App, int WarmFrames = 0> void BM_Frame(benchmark::State& state)
{
    const auto canvas = SetUp<App>();
    for (int i = 0; i <= WarmFrames; ++i)
        canvas->Frame();
    for (auto _ : state)
        canvas->Frame();
}

} // namespace lmd::bench
