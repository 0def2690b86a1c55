#include "platform/screen_capture.h"
#include "tests/support/screens.h"

#include <QPainter>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

// The pattern of the backdrop at screen pixel (x, y): different in every pixel of
// a small area, so a shifted or scaled picture does not match.
QRgb Pattern(int x, int y)
{
    return qRgb((x * 7) & 0xFF, (y * 5) & 0xFF, ((x + y) * 3) & 0xFF);
}

// A plain window at a fixed screen rectangle, painted with the backdrop pattern
// (in screen coordinates) or one flat colour.
class PaintedWindow : public QWidget
{
public:
    PaintedWindow(const QRect& rect, std::optional<QColor> flat)
        : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint), flat_(flat)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setGeometry(rect);
        if (!flat) {
            pattern_ = QImage(rect.size(), QImage::Format_RGB32);
            for (int y = 0; y < rect.height(); ++y)
                for (int x = 0; x < rect.width(); ++x)
                    pattern_.setPixel(x, y, Pattern(rect.x() + x, rect.y() + y));
        }
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        if (flat_)
            painter.fillRect(rect(), *flat_);
        else
            painter.drawImage(0, 0, pattern_);
    }

private:
    std::optional<QColor> flat_;
    QImage pattern_;
};

bool ShowsPattern(const QImage& picture, const QPoint& origin)
{
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if ((picture.pixel(x, y) & 0xFFFFFF) != (Pattern(origin.x() + x, origin.y() + y) & 0xFFFFFF))
                return false;
    return true;
}

bool ShowsOnScreen(const QRect& area, QRgb colour)
{
    const QImage picture = platform::CaptureScreen(area).Image();
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if ((picture.pixel(x, y) & 0xFFFFFF) != (colour & 0xFFFFFF))
                return false;
    return true;
}

class ScreenCaptureTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        backdrop.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&backdrop));
        cover.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&cover));
        ASSERT_TRUE(QTest::qWaitFor([&] { return ShowsOnScreen(coverRect, qRgb(255, 0, 255)); }));
    }

    const QRect backdropRect{100, 100, 400, 300};
    const QRect coverRect{200, 150, 130, 130};
    PaintedWindow backdrop{backdropRect, std::nullopt};
    PaintedWindow cover{coverRect, QColor(255, 0, 255)};
};

TEST_F(ScreenCaptureTest, BehindShowsTheWindowsBelowNeverTheWindowItself)
{
    const platform::Surface picture = platform::CaptureBehind(cover, coverRect);
    lmd::test::SaveScreen(picture.Image(), "screen_capture_behind");
    ASSERT_EQ(picture.Image().size(), coverRect.size());
    EXPECT_TRUE(ShowsPattern(picture.Image(), coverRect.topLeft()));

    // The window is back where it was.
    EXPECT_TRUE(cover.isVisible());
    EXPECT_EQ(cover.geometry(), coverRect);
    EXPECT_TRUE(QTest::qWaitFor([&] { return ShowsOnScreen(coverRect, qRgb(255, 0, 255)); }));
}

TEST_F(ScreenCaptureTest, ScreenShowsWhatIsOnTopAndBlackOffScreen)
{
    EXPECT_TRUE(ShowsOnScreen(coverRect, qRgb(255, 0, 255)));

    // This area starts left of the screen and ends inside the backdrop.
    const QRect area(-20, 120, 140, 10);
    const QImage picture = platform::CaptureScreen(area).Image();
    ASSERT_EQ(picture.size(), area.size());
    EXPECT_EQ(picture.pixel(0, 0) & 0xFFFFFF, 0u);
    EXPECT_EQ(picture.pixel(19, 9) & 0xFFFFFF, 0u);
    EXPECT_EQ(picture.pixel(130, 5) & 0xFFFFFF, Pattern(110, 125) & 0xFFFFFF);
    EXPECT_TRUE(platform::CaptureScreen(QRect()).IsNull());
}

TEST_F(ScreenCaptureTest, BehindAHiddenWindowIsAPlainCapture)
{
    cover.hide();
    const QRect area(150, 120, 60, 40);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return ShowsPattern(platform::CaptureScreen(area).Image(), area.topLeft()); }));
    EXPECT_TRUE(ShowsPattern(platform::CaptureBehind(cover, area).Image(), area.topLeft()));
    EXPECT_FALSE(cover.isVisible());
}

} // namespace
