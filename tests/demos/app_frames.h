#pragma once
// Frames of one demo app as the DEMO dialog runs them: setup once, then per
// frame update, the background (when the app asks for it), draw and the frame
// number.
// Painted frames draw into a Size by Size picture (the canvas); blind frames run the same
// steps with no picture to draw on (the drawing calls do nothing), for long runs.
#include "demos/core/base_app.h"

#include <QImage>
#include <QPainter>
#include <memory>
#include <utility>

namespace lmd::test {

template <class App, int Size = 480> class AppFrames
{
public:
    static constexpr int kSize = Size;

    template <class... Args> explicit AppFrames(Args&&... args)
    {
        canvasWidth = kSize;
        canvasHeight = kSize;
        picture.fill(Qt::black);
        app = std::make_unique<App>(std::forward<Args>(args)...);
        app->MakeCurrent();
        app->setup();
    }

    void Frame()
    {
        QPainter painter(&picture);
        {
            const gaFrameScope scope(*app, painter);
            app->update();
            if (app->core().autoBackground)
                painter.fillRect(QRect(0, 0, kSize, kSize), QColor::fromRgba(app->core().backgroundColor));
            app->draw();
        }
        Count();
    }

    void BlindFrames(int count)
    {
        for (int i = 0; i < count; ++i) {
            app->MakeCurrent();
            app->update();
            app->draw();
            Count();
        }
    }

    QImage picture{kSize, kSize, QImage::Format_RGB32};
    std::unique_ptr<App> app;
    int frames = 0;

private:
    void Count() { app->core().frameNum = ++frames; }
};

} // namespace lmd::test
