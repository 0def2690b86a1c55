#pragma once
// Real input for the OpenGL control suites on the display: mouse drags through
// QTest, wheel steps through the X server.
#include <QPoint>
#include <QProcess>
#include <QTest>
#include <QWidget>

namespace lmd::test {

// Drags with a mouse button held, from one point of the widget to another
// (press, move, release: real mouse events).
inline void Drag(QWidget& widget, Qt::MouseButton button, QPoint from, QPoint to)
{
    QTest::mousePress(&widget, button, {}, from);
    QTest::mouseMove(&widget, (from + to) / 2);
    QTest::mouseMove(&widget, to);
    QTest::mouseRelease(&widget, button, {}, to);
}

// One wheel step (up: positive) over the widget's centre, through the X server.
inline void WheelStep(QWidget& widget, bool up)
{
    const QPoint at = widget.mapToGlobal(widget.rect().center());
    QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QString::number(at.x()),
                                                  QString::number(at.y()), QStringLiteral("click"),
                                                  up ? QStringLiteral("4") : QStringLiteral("5")});
}

} // namespace lmd::test
