#pragma once
// A window's shapes as the X server holds them, for tests of shaped windows:
// what the server clips the window's pixels to and where the pointer reaches it.
#include <QRect>
#include <QRegion>

class QWidget;

namespace lmd::test {

enum class XShape
{
    Bounding, // where the window has pixels
    Input,    // where the pointer belongs to the window
};

// The shape of the widget's current X window, in window coordinates (an
// unshaped window reports its whole rectangle).
QRegion ShapeRegion(const QWidget& window, XShape kind);

// The extents of the bounding shape, or an empty rectangle while the window
// has no bounding shape.
QRect ShapeExtents(const QWidget& window);

} // namespace lmd::test
