// The rain-rippled picture on the display: still water shows the picture as it
// is, drops fall by themselves on every thirtieth tick of the shared counter,
// and the mouse drops where it is (in field rows counted from the bottom).
#include "controls/static_ex.h"
#include "platform/timers.h"
#include "tests/support/screens.h"

#include <QApplication>
#include <QPainter>
#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace {

// A picture with something to bend: diagonal colour bands.
QImage BandedPicture(int width, int height)
{
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.setPixel(x, y, qRgb((x * 255) / width, ((x + y) / 8 % 2) * 200, (y * 255) / height));
    return picture;
}

QImage Grab(QWidget& widget)
{
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// Both height fields, to compare before and after an event.
struct Fields
{
    std::vector<int> one, two;
    bool operator==(const Fields&) const = default;
};

Fields FieldsOf(const CStaticEx& control)
{
    return {control.Water().m_pField1, control.Water().m_pField2};
}

// The points (x, field row) where the fields changed, with the change.
std::map<std::pair<int, int>, int> Changes(const Fields& before, const Fields& after, int width)
{
    std::map<std::pair<int, int>, int> changes;
    for (const auto& [was, now] : {std::pair{&before.one, &after.one}, std::pair{&before.two, &after.two}})
        for (std::size_t i = 0; i < was->size(); ++i)
            if ((*was)[i] != (*now)[i])
                changes[{static_cast<int>(i) % width, static_cast<int>(i) / width}] += (*now)[i] - (*was)[i];
    return changes;
}

void Tick(CStaticEx& control)
{
    platform::WindowTimerEvent tick(CStaticEx::kTimerId);
    QCoreApplication::sendEvent(&control, &tick);
}

class StaticExTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // Far from the next multiple of 30, so no random drop comes unasked.
        CStaticEx::s_nTickCount = 1;
        window.setGeometry(60, 60, 200, 240);
    }

    QWidget window;
};

TEST_F(StaticExTest, StillWaterShowsThePictureAtItsOwnSize)
{
    const QImage picture = BandedPicture(130, 100);
    CStaticEx control(picture, &window);
    control.move(10, 10);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(control.size(), QSize(130, 100));
    EXPECT_EQ(Grab(control), picture);
}

TEST_F(StaticExTest, RandomDropsFallOnlyWhereTheSharedCounterReachesMultiplesOfThirty)
{
    // Two hidden controls: nothing paints, so the fields change only by drops.
    // The second is taller than wide: its drops' rows come from the width's range.
    CStaticEx a(BandedPicture(130, 130));
    CStaticEx b(BandedPicture(130, 200));
    const int w = 130;
    const int band = static_cast<int>(w * 0.3); // 39
    int drops = 0;
    for (int i = 0; i < 1200; ++i) {
        CStaticEx& ticked = i % 7 < 4 ? b : a; // a pattern that shares the drops out
        CStaticEx& other = &ticked == &a ? b : a;
        const Fields before = FieldsOf(ticked);
        const Fields otherBefore = FieldsOf(other);
        Tick(ticked);
        EXPECT_EQ(FieldsOf(other), otherBefore);
        const auto changes = Changes(before, FieldsOf(ticked), w);
        if (CStaticEx::s_nTickCount % 30 != 0) {
            ASSERT_TRUE(changes.empty()) << "tick " << CStaticEx::s_nTickCount;
            continue;
        }
        ++drops;
        ASSERT_FALSE(changes.empty()) << "tick " << CStaticEx::s_nTickCount;
        // One disc of one height, of radius 23 to 39, centred in 0..130 both ways.
        QRect box;
        for (const auto& [point, change] : changes) {
            EXPECT_GE(change, band);
            EXPECT_LE(change, w / 2);
            EXPECT_EQ(change, changes.begin()->second);
            box |= QRect(point.first, point.second, 1, 1);
        }
        EXPECT_LE(box.width(), 2 * band - 1);
        EXPECT_LE(box.height(), 2 * band - 1);
        EXPECT_LT(box.bottom(), w + band) << "a drop beyond the width's range of rows";
        EXPECT_GT(box.top(), -band);
    }
    EXPECT_EQ(drops, 40);
}

TEST_F(StaticExTest, MouseDropsLandAtTheFieldRowHeightMinusY)
{
    CStaticEx control(BandedPicture(130, 130), &window);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    using Points = std::map<std::pair<int, int>, int>;
    // A click drops a large drop (radius 20, height 200) at (x, 130 - y).
    Fields before = FieldsOf(control);
    QTest::mousePress(&control, Qt::LeftButton, {}, QPoint(60, 40));
    const Points click = Changes(before, FieldsOf(control), 130);
    ASSERT_FALSE(click.empty());
    QRect box;
    for (const auto& [point, change] : click) {
        EXPECT_EQ(change, 200);
        box |= QRect(point.first, point.second, 1, 1);
    }
    EXPECT_EQ(box, QRect(41, 71, 39, 39)); // columns 60 +- 19, rows 90 +- 19

    // Moves (the button still held, so they arrive at once) drop small drops
    // (radius 2, height 10).
    struct Case
    {
        QPoint at;
        Points expected;
    };
    const Case cases[] = {
        // Row 130 is the field's edge: the whole disc is clipped away.
        {{5, 0}, {}},
        // Row 129: only the row below the centre is inside.
        {{5, 1}, {{{4, 128}, 10}, {{5, 128}, 10}, {{6, 128}, 10}}},
        {{100, 100},
         {{{99, 29}, 10},
          {{100, 29}, 10},
          {{101, 29}, 10},
          {{99, 30}, 10},
          {{100, 30}, 10},
          {{101, 30}, 10},
          {{99, 31}, 10},
          {{100, 31}, 10},
          {{101, 31}, 10}}},
        // Off the picture: no drop (not a random one either).
        {{-1, 50}, {}},
        {{50, -1}, {}},
        {{130, 50}, {}},
    };
    for (const Case& c : cases) {
        before = FieldsOf(control);
        QTest::mouseMove(&control, c.at);
        EXPECT_EQ(Changes(before, FieldsOf(control), 130), c.expected) << c.at.x() << "," << c.at.y();
    }
    QTest::mouseRelease(&control, Qt::LeftButton, {}, QPoint(60, 40));
}

TEST_F(StaticExTest, HoveringMovesReachTheControl)
{
    // Without a button held the moves still come (a drop trails the cursor).
    struct Probe : CStaticEx
    {
        using CStaticEx::CStaticEx;
        int hoverMoves = 0;
        void mouseMoveEvent(QMouseEvent* event) override
        {
            hoverMoves += event->buttons() == Qt::NoButton;
            CStaticEx::mouseMoveEvent(event);
        }
    } control(BandedPicture(130, 130), &window);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QCursor::setPos(window.mapToGlobal(QPoint(-20, -20)));
    QCursor::setPos(control.mapToGlobal(QPoint(40, 40)));
    ASSERT_TRUE(QTest::qWaitFor([&] { return control.hoverMoves > 0; }));
    // Moves within the control, not only the one that enters it.
    const int entered = control.hoverMoves;
    QCursor::setPos(control.mapToGlobal(QPoint(70, 60)));
    ASSERT_TRUE(QTest::qWaitFor([&] { return control.hoverMoves > entered; }));
}

TEST_F(StaticExTest, RipplesMoveByThemselves)
{
    const QImage picture = BandedPicture(130, 130);
    CStaticEx control(picture, &window);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    // Read back from the display: grabbing the widget would paint it, and each
    // paint steps the water.
    const auto onScreen = [&] {
        return lmd::test::GrabScreen().copy(QRect(control.mapToGlobal(QPoint(0, 0)), control.size()));
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return onScreen() == picture; }));
    CStaticEx::s_nTickCount = 20; // the next random drop is ten ticks away
    // A random drop bends the picture, and the rings move on from grab to grab.
    ASSERT_TRUE(QTest::qWaitFor([&] { return onScreen() != picture; }));
    const QImage first = onScreen();
    ASSERT_TRUE(QTest::qWaitFor([&] { return onScreen() != first; }));
    lmd::test::SaveScreen(first, "static_ex_ripples_1");
    lmd::test::SaveScreen(onScreen(), "static_ex_ripples_2");
}

} // namespace
