#pragma once
// A demo app drawing one frame into a 480 by 480 canvas picture, as the DEMO
// dialog's frame loop lets it, and the measures the pixel tests take of it.
#include "demos/core/base_app.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <ostream>

// Rectangles in failure messages.
inline std::ostream& operator<<(std::ostream& os, const QRect& rect)
{
    return os << "(" << rect.x() << ", " << rect.y() << ", " << rect.width() << " x " << rect.height() << ")";
}

inline void PrintTo(const QRect& rect, std::ostream* os)
{
    *os << rect;
}

namespace lmd::test {

inline constexpr int kCanvasSize = 480;

// The smallest rectangle holding every pixel that is not black; empty when
// all are black.
inline QRect InkBox(const QImage& picture)
{
    QRect box;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if ((picture.pixel(x, y) & 0xFFFFFF) != 0)
                box |= QRect(x, y, 1, 1);
    return box;
}

class CanvasTest : public ::testing::Test
{
protected:
    CanvasTest()
    {
        canvasWidth = kCanvasSize;
        canvasHeight = kCanvasSize;
        canvas.fill(Qt::black);
        frame.emplace(app, painter);
    }

    // The frame ends: nothing is drawn any more; the picture can be read.
    void EndFrame()
    {
        frame.reset();
        painter.end();
    }

    gaBaseApp app;
    QImage canvas{kCanvasSize, kCanvasSize, QImage::Format_RGB32};
    QPainter painter{&canvas};
    std::optional<gaFrameScope> frame;
};

} // namespace lmd::test
