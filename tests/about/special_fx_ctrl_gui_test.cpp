// The rippling picture on the display: still water shows the picture as it is
// on a grey ground, the mouse drops ripples where the picture is (rows counted
// from the bottom), and a click switches to the second picture on calm water.
#include "about/special_fx_ctrl.h"
#include "tests/support/screens.h"

#include <QTest>
#include <gtest/gtest.h>
#include <numeric>

namespace {

// A picture whose colour tells its own coordinates apart.
QImage Pattern(int w, int h, int blue)
{
    QImage picture(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            picture.setPixel(x, y, qRgb(x * 255 / w, y * 255 / h, blue));
    return picture;
}

long long Sum(const std::vector<int>& field)
{
    return std::accumulate(field.begin(), field.end(), 0LL, [](long long a, int v) { return a + std::abs(v); });
}

int FieldAt(const CWaterRoutine& water, int x, int row)
{
    const std::size_t i = static_cast<std::size_t>(row * water.m_nWidth + x);
    return std::abs(water.m_pField1[i]) + std::abs(water.m_pField2[i]);
}

class SpecialFXCtrlTest : public ::testing::Test
{
protected:
    void Start(const QImage* second)
    {
        control.SetPictures(&first, second);
        control.setGeometry(50, 50, 160, 120);
        control.show();
        control.PreSubclassWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&control));
    }

    QImage first = Pattern(120, 90, 40);
    QImage secondPicture = Pattern(80, 100, 200);
    CSpecialFXCtrl control;
};

TEST_F(SpecialFXCtrlTest, StillWaterShowsThePictureOnAGreyGround)
{
    Start(nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return control.Frame().GetPixel(5, 5) != 0xF0F0F0; }));
    lmd::test::SaveScreen(control.grab().toImage(), "about-special-fx-still");
    // Interior pixels are the picture's own; beside and below it the ground.
    for (QPoint p : {QPoint(1, 1), QPoint(60, 45), QPoint(118, 88)})
        EXPECT_EQ(control.Frame().Image().pixel(p), first.pixel(p)) << p.x() << "," << p.y();
    EXPECT_EQ(control.Frame().GetPixel(130, 10), 0xF0F0F0u);
    EXPECT_EQ(control.Frame().GetPixel(10, 100), 0xF0F0F0u);
    const QImage screen = lmd::test::GrabScreen();
    const QPoint origin = control.mapToGlobal(QPoint(0, 0));
    EXPECT_EQ(screen.pixel(origin + QPoint(60, 45)), first.pixel(60, 45));
    EXPECT_EQ(screen.pixel(origin + QPoint(150, 110)), qRgb(0xF0, 0xF0, 0xF0));
}

TEST_F(SpecialFXCtrlTest, AMoveOnTheBottomRowDropsAtFieldRowZero)
{
    Start(nullptr);
    control.setUpdatesEnabled(false); // no paint steps the water between the checks
    // Row h - 1 of the picture is field row 0: the drop's disc (clipped to the
    // interior) reaches row 1 only, never row 2.
    QTest::mouseMove(&control, QPoint(60, 89));
    ASSERT_TRUE(QTest::qWaitFor([&] { return FieldAt(control.Water(), 60, 1) > 0; }));
    EXPECT_EQ(FieldAt(control.Water(), 60, 2), 0);
    // The grey margin drops nothing: after a move there and one back onto the
    // picture, the water holds exactly one more small drop (nine cells of 10).
    const long long before = Sum(control.Water().m_pField1) + Sum(control.Water().m_pField2);
    QTest::mouseMove(&control, QPoint(140, 60));
    QTest::mouseMove(&control, QPoint(30, 30));
    ASSERT_TRUE(QTest::qWaitFor([&] { return FieldAt(control.Water(), 30, 90 - 30 - 1) > 0; }));
    EXPECT_EQ(Sum(control.Water().m_pField1) + Sum(control.Water().m_pField2), before + 90);
}

TEST_F(SpecialFXCtrlTest, MovesRippleThePicture)
{
    Start(nullptr);
    for (int x = 20; x < 100; x += 4)
        QTest::mouseMove(&control, QPoint(x, 40));
    ASSERT_TRUE(QTest::qWaitFor([&] {
        for (int x = 10; x < 110; ++x)
            if (control.Frame().Image().pixel(x, 40) != first.pixel(x, 40))
                return true;
        return false;
    }));
    lmd::test::SaveScreen(control.grab().toImage(), "about-special-fx-ripples");
}

TEST_F(SpecialFXCtrlTest, AClickSwitchesPictureOnCalmWater)
{
    Start(&secondPicture);
    QTest::mouseMove(&control, QPoint(50, 50));
    QTest::mouseClick(&control, Qt::LeftButton, {}, QPoint(140, 110)); // on the margin: no drop
    EXPECT_EQ(control.CurrentPicture(), 1);
    EXPECT_EQ(control.Water().m_nWidth, 80);
    EXPECT_EQ(control.Water().m_nHeight, 100);
    EXPECT_EQ(Sum(control.Water().m_pField1) + Sum(control.Water().m_pField2), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return control.Frame().Image().pixel(40, 50) == secondPicture.pixel(40, 50); }));
    EXPECT_EQ(control.Frame().GetPixel(100, 50), 0xF0F0F0u); // beside the narrower picture

    // A click on the picture switches back and drops a large ripple there.
    QTest::mouseClick(&control, Qt::LeftButton, {}, QPoint(60, 45));
    EXPECT_EQ(control.CurrentPicture(), 0);
    EXPECT_GT(FieldAt(control.Water(), 60, 90 - 45 - 1), 100);
}

TEST_F(SpecialFXCtrlTest, WithoutASecondPictureAClickOnlyDrops)
{
    const QImage missing; // a file that could not be loaded
    Start(&missing);
    QTest::mouseClick(&control, Qt::LeftButton, {}, QPoint(60, 45));
    EXPECT_EQ(control.CurrentPicture(), 0);
    EXPECT_GT(FieldAt(control.Water(), 60, 44), 100);
}

} // namespace
