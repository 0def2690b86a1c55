// A window's region on the test display: the X bounding and input shapes, the
// pixels and clicks outside it, no clipping by Qt, and the region and class kept
// on each X window Qt makes for the widget.
#include "platform/window_region.h"
#include "platform/x11_window.h"
#include "tests/support/screens.h"
#include "tests/support/window_shape.h"
#include "tests/support/xdotool.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTest>
#include <QWidget>
#include <QWindow>
#include <functional>
#include <gtest/gtest.h>

// Xlib last: its macros clash with Qt names.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

using lmd::test::ShapeExtents;
using lmd::test::ShapeRegion;
using lmd::test::Xdotool;
using lmd::test::XShape;

// A window of one colour that counts the presses reaching it.
class Plain : public QWidget
{
public:
    Plain(const QRect& rect, QColor colour)
        : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint), colour_(colour)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setGeometry(rect);
    }
    int presses = 0;

protected:
    void mousePressEvent(QMouseEvent*) override { ++presses; }
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), colour_); }

private:
    QColor colour_;
};

Display* XDisplay()
{
    return qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->display();
}

// The WM_CLASS instance name of the widget's current X window.
QString XClass(const QWidget& window)
{
    XClassHint hint{};
    if (!XGetClassHint(XDisplay(), platform::CurrentXWindow(window), &hint))
        return {};
    const QString name = QString::fromLatin1(hint.res_name);
    XFree(hint.res_name);
    XFree(hint.res_class);
    return name;
}

QRgb ScreenPixel(QPoint at)
{
    return QGuiApplication::primaryScreen()->grabWindow(0, at.x(), at.y(), 1, 1).toImage().pixel(0, 0) &
           0xFFFFFF;
}

// Clicks the left button at a screen point.
bool ClickAt(QPoint at)
{
    return Xdotool({"mousemove", "--sync", QString::number(at.x()), QString::number(at.y()), "click", "1"});
}

const QColor kBehind(0, 90, 160);
const QColor kFront(230, 40, 120);

// A shaped window over a window of another colour. The region: an ellipse with
// a square hole left of its centre.
class WindowRegionTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        behind.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&behind));
        front.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&front));
    }

    // The screen point of a point of the front window.
    QPoint OnScreen(QPoint at) const { return front.geometry().topLeft() + at; }

    Plain behind{QRect(40, 40, 400, 300), kBehind};
    Plain front{QRect(100, 80, 200, 160), kFront};
    const QRegion region = QRegion(0, 0, 200, 160, QRegion::Ellipse).subtracted(QRegion(40, 60, 40, 40));
};

TEST_F(WindowRegionTest, OutsideTheRegionTheWindowHasNeitherPixelsNorClicks)
{
    platform::SetWindowRgn(front, region);
    EXPECT_EQ(ShapeRegion(front, XShape::Bounding), region);
    EXPECT_EQ(ShapeRegion(front, XShape::Input), region);
    // Qt does not clip the window's paints: the X server drops what lies outside.
    EXPECT_TRUE(front.mask().isEmpty());

    // Pixels: the corner and the hole show the window behind, the rest the front.
    const QPoint corner(2, 2), hole(60, 80), inside(150, 80);
    EXPECT_TRUE(QTest::qWaitFor([&] {
        return ScreenPixel(OnScreen(corner)) == (kBehind.rgb() & 0xFFFFFF) &&
               ScreenPixel(OnScreen(hole)) == (kBehind.rgb() & 0xFFFFFF) &&
               ScreenPixel(OnScreen(inside)) == (kFront.rgb() & 0xFFFFFF);
    }));
    lmd::test::SaveScreen(QGuiApplication::primaryScreen()->grabWindow(0, 30, 30, 420, 320).toImage(),
                          "window_region");

    // Clicks: inside the region they reach the window, in the hole and in the
    // corner the window behind (last, as a click may raise that one).
    ASSERT_TRUE(ClickAt(OnScreen(inside)));
    EXPECT_TRUE(QTest::qWaitFor([&] { return front.presses == 1; }));
    for (const QPoint at : {hole, corner}) {
        const int before = behind.presses;
        ASSERT_TRUE(ClickAt(OnScreen(at)));
        EXPECT_TRUE(QTest::qWaitFor([&] { return behind.presses == before + 1; })) << at.x() << "," << at.y();
    }
    EXPECT_EQ(front.presses, 1);
}

TEST_F(WindowRegionTest, ANewRegionReplacesTheOldAndAnEmptyOneRemovesIt)
{
    platform::SetWindowRgn(front, region);
    const QRegion ellipse(0, 0, 200, 160, QRegion::Ellipse);
    platform::SetWindowRgn(front, ellipse);
    EXPECT_EQ(ShapeRegion(front, XShape::Bounding), ellipse);
    EXPECT_EQ(ShapeRegion(front, XShape::Input), ellipse);

    platform::SetWindowRgn(front, QRegion());
    EXPECT_EQ(ShapeExtents(front), QRect()); // no bounding shape left
    EXPECT_EQ(ShapeRegion(front, XShape::Input), QRegion(front.rect()));
    EXPECT_TRUE(QTest::qWaitFor([&] { return ScreenPixel(OnScreen({2, 2})) == (kFront.rgb() & 0xFFFFFF); }));
}

// Ways by which Qt gives a widget a new X window.
struct Remake
{
    const char* name;
    std::function<void(QWidget&)> act;
};

TEST_F(WindowRegionTest, RegionAndClassAreKeptOnEachNewXWindow)
{
    platform::SetWindowRgn(front, region);
    platform::SetWindowClass(front, QStringLiteral("LMDShapeTest"));
    const Remake remakes[] = {
        {"stays-on-top set, then shown",
         [](QWidget& w) {
             w.setWindowFlag(Qt::WindowStaysOnTopHint, true);
             w.show();
         }},
        {"stays-on-top cleared, then shown",
         [](QWidget& w) {
             w.setWindowFlag(Qt::WindowStaysOnTopHint, false);
             w.show();
         }},
        {"platform window destroyed while hidden, then shown",
         [](QWidget& w) {
             w.hide();
             w.windowHandle()->destroy();
             w.show();
         }},
    };
    for (const Remake& remake : remakes) {
        SCOPED_TRACE(remake.name);
        const unsigned long before = platform::CurrentXWindow(front);
        remake.act(front);
        const unsigned long after = platform::CurrentXWindow(front);
        ASSERT_NE(after, 0u);
        ASSERT_NE(after, before); // the case does make a new X window
        // The new X window has them as soon as show() returns, before it is first seen.
        EXPECT_EQ(ShapeRegion(front, XShape::Bounding), region);
        EXPECT_EQ(ShapeRegion(front, XShape::Input), region);
        EXPECT_EQ(XClass(front), QStringLiteral("LMDShapeTest"));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&front));
        EXPECT_TRUE(QTest::qWaitFor([&] {
            return ScreenPixel(OnScreen({60, 80})) == (kBehind.rgb() & 0xFFFFFF) &&
                   ScreenPixel(OnScreen({150, 80})) == (kFront.rgb() & 0xFFFFFF);
        }));
        EXPECT_TRUE(front.mask().isEmpty());
    }
}

} // namespace
