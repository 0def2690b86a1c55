// The next button on the test display: the frame it paints for each state.
#include "rss/hover_button.h"
#include "tests/rss/qt_test_helpers.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {

// A strip of three plain frames, red, green and blue, 18 x 18 each.
QPixmap Strip()
{
    QImage strip(54, 18, QImage::Format_RGB32);
    strip.fill(Qt::red);
    for (int y = 0; y < 18; ++y)
        for (int x = 18; x < 54; ++x)
            strip.setPixel(x, y, x < 36 ? qRgb(0, 255, 0) : qRgb(0, 0, 255));
    return QPixmap::fromImage(strip);
}

QColor Painted(CHoverButton& button)
{
    return button.grab().toImage().pixelColor(9, 9);
}

TEST(HoverButtonTest, NormalHoveredAndPressedFrames)
{
    QWidget window;
    window.resize(80, 60);
    auto* button = new CHoverButton(&window);
    button->setGeometry(20, 20, 18, 18);
    button->SetStrip(Strip(), 18, 18);
    button->SetToolTipText("Next RSS reloaded");
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QTest::mouseMove(&window, QPoint(2, 2));
    WAIT_UNTIL(!button->IsHovered());

    EXPECT_EQ(Painted(*button), QColor(Qt::red));
    QTest::mouseMove(button, QPoint(9, 9));
    WAIT_UNTIL(button->IsHovered());
    EXPECT_EQ(Painted(*button), QColor(0, 0, 255));
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(9, 9));
    EXPECT_EQ(Painted(*button), QColor(0, 255, 0));
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(9, 9));
    EXPECT_EQ(Painted(*button), QColor(0, 0, 255));
    QTest::mouseMove(&window, QPoint(2, 2));
    WAIT_UNTIL(!button->IsHovered());
    EXPECT_EQ(Painted(*button), QColor(Qt::red));
    EXPECT_EQ(button->toolTip(), "Next RSS reloaded");
}

} // namespace
