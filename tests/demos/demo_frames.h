#pragma once
// Frames of one demo app drawn into a 480 by 480 picture as fast as they come,
// in the DEMO dialog's order (update, background, draw, frame count), for the
// pixel checks that need hundreds of frames.
#include "demos/core/base_app.h"

#include <QImage>
#include <QPainter>

namespace lmd::test {

class DemoFrames
{
public:
    DemoFrames()
    {
        canvasWidth = 480;
        canvasHeight = 480;
        picture.fill(Qt::black);
    }

    // Runs `count` frame ticks; a demo whose running flag is clear skips them.
    void Run(gaBaseApp& app, int count)
    {
        for (int i = 0; i < count; ++i) {
            if (!app.core().running)
                continue;
            {
                QPainter painter(&picture);
                const gaFrameScope frame(app, painter);
                app.update();
                if (app.core().autoBackground)
                    painter.fillRect(picture.rect(), QColor::fromRgba(app.core().backgroundColor));
                app.draw();
            }
            app.core().frameNum = ++frames;
        }
    }

    QImage picture{480, 480, QImage::Format_RGB32};
    int frames = 0;
};

} // namespace lmd::test
