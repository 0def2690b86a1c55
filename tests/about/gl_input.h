#pragma once
// Real input for the OpenGL control suites on the display: mouse drags through
// QTest, wheel steps through the X server, the about dialog opened on a page.
#include "about/about_dlg.h"
#include "platform/desktop.h"
#include "tests/about/about_dialog_fixture.h"

#include <QPoint>
#include <QProcess>
#include <QTabBar>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

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
    QProcess::execute(QStringLiteral("xdotool"),
                      {QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y()),
                       QStringLiteral("click"), up ? QStringLiteral("4") : QStringLiteral("5")});
}

// Shows a control as a window of its own at the given size and waits until the
// display shows it; false when it does not.
inline bool ShowControl(QWidget& control, int width, int height)
{
    control.resize(width, height);
    control.move(40, 40);
    control.show();
    return QTest::qWaitForWindowExposed(&control);
}

// A test on one page of the about dialog, with a recording desktop.
template <int Page> class AboutPageTest : public ::testing::Test
{
protected:
    // Opens a new dialog on the display (replacing an earlier one) and clicks
    // the page's tab; the page then shows.
    void Open()
    {
        OpenAboutDialog(dialog);
        QTabBar* const bar = dialog->TabCtrl()->TabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(Page).center());
        QWidget* const page = dialog->TabCtrl()->GetPage(Page);
        ASSERT_TRUE(page && page->isVisible());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(page));
    }

    platform::ScopedRecordingDesktop desktop;
    std::unique_ptr<CAboutDlg> dialog;
};

} // namespace lmd::test
