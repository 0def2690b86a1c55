#include "platform/screen_capture.h"
#include "platform/window_region.h"
#include "tests/support/screens.h"
#include "tests/support/shown_windows.h"

#include <QPainter>
#include <QTest>
#include <QTimer>
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

// The cover shows its colour inside the region (a point of coverRect) and the
// backdrop outside it.
bool ShowsShape(const QRect& coverRect, const QRegion& region)
{
    const QImage picture = platform::CaptureScreen(coverRect).Image();
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const QPoint at = coverRect.topLeft() + QPoint(x, y);
            const QRgb expected =
                region.contains(at - coverRect.topLeft()) ? qRgb(255, 0, 255) : Pattern(at.x(), at.y());
            if ((picture.pixel(x, y) & 0xFFFFFF) != (expected & 0xFFFFFF))
                return false;
        }
    return true;
}

// The window gives up its pixels for the picture but not its place: a window
// above it stays above it, and its shape comes back as it was, or as the
// program set it while the picture was taken.
TEST_F(ScreenCaptureTest, BehindKeepsTheWindowsPlaceAndShape)
{
    const QRegion whole(0, 0, coverRect.width(), coverRect.height());
    const QRegion round(whole.boundingRect(), QRegion::Ellipse);
    const QRegion half(0, 0, coverRect.width() / 2, coverRect.height());
    struct Case
    {
        const char* name;
        QRegion before;       // empty: no shape
        QRegion setMeanwhile; // empty: none
        QRegion after;
    };
    const Case cases[] = {
        {"no shape", {}, {}, whole},
        {"round", round, {}, round},
        {"round, then half while the picture is taken", round, half, half},
    };
    // A window standing over the cover's top-left corner.
    PaintedWindow above(QRect(coverRect.topLeft() - QPoint(20, 20), QSize(60, 60)), QColor(0, 255, 0));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        above.hide();
        platform::SetWindowRgn(cover, c.before);
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return ShowsShape(coverRect, c.before.isEmpty() ? whole : c.before); }));
        above.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&above));
        ASSERT_TRUE(lmd::test::StandsAbove(above, cover));

        if (!c.setMeanwhile.isEmpty())
            QTimer::singleShot(0, &cover, [&] { platform::SetWindowRgn(cover, c.setMeanwhile); });
        const QImage picture = platform::CaptureBehind(cover, coverRect).Image();
        if (c.setMeanwhile.isEmpty()) {
            // The backdrop and the window above, nothing of the cover.
            EXPECT_EQ(picture.pixel(0, 0) & 0xFFFFFF, qRgb(0, 255, 0) & 0xFFFFFF);
            const QPoint middle(coverRect.width() / 2, coverRect.height() / 2);
            EXPECT_EQ(picture.pixel(middle) & 0xFFFFFF,
                      Pattern(coverRect.x() + middle.x(), coverRect.y() + middle.y()) & 0xFFFFFF);
        }
        EXPECT_TRUE(cover.isVisible());
        EXPECT_TRUE(lmd::test::StandsAbove(above, cover)) << "the window came back above the one over it";
        above.hide();
        EXPECT_TRUE(QTest::qWaitFor([&] { return ShowsShape(coverRect, c.after); }));
    }
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
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return ShowsPattern(platform::CaptureScreen(area).Image(), area.topLeft()); }));
    EXPECT_TRUE(ShowsPattern(platform::CaptureBehind(cover, area).Image(), area.topLeft()));
    EXPECT_FALSE(cover.isVisible());
}

} // namespace
