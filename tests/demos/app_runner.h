#pragma once
// A demo app run frame by frame on a 480 by 480 canvas picture, the way the
// DEMO dialog's frame loop runs it: update, the background when the app asks
// for it, draw, and the frame number counted on.
// Also used by the benchmarks, so it needs nothing of the test framework.
#include "demos/core/base_app.h"

#include <QImage>
#include <QPainter>
#include <cstdint>
#include <memory>

namespace lmd::test {

template <typename App> class AppRunner
{
public:
    static constexpr int kCanvasSize = 480;

    AppRunner()
    {
        canvasWidth = kCanvasSize;
        canvasHeight = kCanvasSize;
        canvas.fill(Qt::black);
        app = std::make_unique<App>();
        app->MakeCurrent();
        app->setup();
    }

    void Frame()
    {
        gaxCore& core = app->core();
        {
            QPainter painter(&canvas);
            const gaFrameScope frame(*app, painter);
            app->update();
            if (core.autoBackground)
                painter.fillRect(QRect(0, 0, canvasWidth, canvasHeight),
                                 QColor::fromRgba(core.backgroundColor));
            app->draw();
        }
        core.frameNum = ++frames;
    }

    void Frames(int count)
    {
        for (int n = 0; n < count; ++n)
            Frame();
    }

    QImage canvas{kCanvasSize, kCanvasSize, QImage::Format_RGB32};
    std::unique_ptr<App> app;
    std::int64_t frames = 0;
};

} // namespace lmd::test
