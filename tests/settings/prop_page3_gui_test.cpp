// The general page "全般" on the test display, with a recording main window:
// the splash and top-most checks, the opacity trackbar and the zoom slider,
// dragged with the mouse and moved with the keys.
#include "controls/bitmap_slider.h"
#include "settings/prop_page3.h"
#include "tests/settings/settings_fixture.h"
#include "tests/support/screens.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QSlider>
#include <memory>

namespace {

using namespace lmd::test;
using platform::WM_SET_ZOOM;

class PropPage3Test : public SettingsPageTest
{
protected:
    CPropPage3& Open()
    {
        page = OpenPage<CPropPage3>(mainWindow);
        return *page;
    }

    CBitmapSlider& Slider() const { return page->ZoomSlider(); }
    QString ZoomShown() const { return page->Item<QLineEdit>(CPropPage3::IDC_ZOOM_VALUE)->text(); }

    // The zooms sent so far, once the slider's reports have arrived.
    std::vector<int> ZoomsSent()
    {
        QCoreApplication::processEvents();
        std::vector<int> zooms;
        for (const Posted& m : mainWindow.Messages()) {
            EXPECT_EQ(m.message, WM_SET_ZOOM);
            zooms.push_back(static_cast<int>(m.wParam));
        }
        return zooms;
    }

    std::unique_ptr<CPropPage3> page;
};

// A drag across the slider sends whole tens, each once, rising with the
// thumb; the first step sends even the zoom the clock already has; the box
// shows the last one. Release sends nothing more.
TEST_F(PropPage3Test, ZoomDragSendsWholeTensWithoutRepeats)
{
    Settings().Zoom = 100;
    Open();
    EXPECT_EQ(Slider().GetRangeMin(), 50);
    EXPECT_EQ(Slider().GetRangeMax(), 600);
    EXPECT_EQ(Slider().GetPos(), 100);
    EXPECT_EQ(Slider().size(), QSize(200, 17));
    EXPECT_EQ(ZoomShown(), "100");

    // On the thumb: nothing moves until the mouse does; the first step (to a
    // little above 100) sends 100, the zoom the clock already has.
    const int start = Slider().Pos2Pixel(100);
    QTest::mousePress(&Slider(), Qt::LeftButton, {}, QPoint(start, 8));
    EXPECT_TRUE(ZoomsSent().empty());
    QTest::mouseMove(&Slider(), QPoint(start + 1, 8));
    const std::vector<int> first = ZoomsSent();
    ASSERT_EQ(first, std::vector<int>{100});
    mainWindow.Clear();
    for (int x = start + 2; x <= start + 60; ++x)
        QTest::mouseMove(&Slider(), QPoint(x, 8));
    QTest::mouseRelease(&Slider(), Qt::LeftButton, {}, QPoint(start + 60, 8));
    const std::vector<int> zooms = ZoomsSent();
    ASSERT_GE(zooms.size(), 10u);
    for (std::size_t i = 0; i < zooms.size(); ++i) {
        EXPECT_EQ(zooms[i] % 10, 0) << zooms[i];
        EXPECT_GT(zooms[i], i == 0 ? first[0] : zooms[i - 1]);
    }
    EXPECT_EQ(zooms.back(), ZoomStep(Slider().GetPos()));
    EXPECT_EQ(ZoomShown(), QString::number(zooms.back()));
    SaveScreen(page->grab().toImage(), "prop_page3");
}

// Keys move the thumb and change the zoom like the mouse does: Home sends
// 50, End 600; a key that does not move it sends nothing.
TEST_F(PropPage3Test, ZoomKeysApplyTheZoom)
{
    Settings().Zoom = 200;
    Open();
    QTest::mouseClick(&Slider(), Qt::LeftButton, {}, QPoint(Slider().Pos2Pixel(200), 8)); // on the thumb
    EXPECT_TRUE(ZoomsSent().empty() || ZoomsSent() == std::vector<int>{200});
    mainWindow.Clear();
    QTest::keyClick(&Slider(), Qt::Key_Home);
    EXPECT_EQ(ZoomsSent(), std::vector<int>{50});
    EXPECT_EQ(ZoomShown(), "50");
    QTest::keyClick(&Slider(), Qt::Key_Left);
    QTest::keyClick(&Slider(), Qt::Key_End);
    QTest::keyClick(&Slider(), Qt::Key_Right);
    EXPECT_EQ(ZoomsSent(), (std::vector<int>{50, 600}));
    EXPECT_EQ(Slider().GetPos(), 600);
    EXPECT_EQ(ZoomShown(), "600");
}

// A stored zoom outside the slider's range puts the thumb at the nearest end;
// the box shows the stored value.
TEST_F(PropPage3Test, ZoomOutsideTheRange)
{
    for (const auto& [zoom, position] : {std::pair{700, 600}, std::pair{30, 50}}) {
        Settings().Zoom = zoom;
        Open();
        EXPECT_EQ(Slider().GetPos(), position);
        EXPECT_EQ(ZoomShown(), QString::number(zoom));
    }
}

TEST(ZoomStepTest, WholeTensRoundedDown)
{
    const std::pair<int, int> cases[] = {{57, 50}, {50, 50}, {59, 50}, {60, 60}, {599, 590}, {600, 600}};
    for (const auto& [position, zoom] : cases)
        EXPECT_EQ(ZoomStep(position), zoom) << position;
}

// The opacity trackbar stores the alpha, shows it and has the clock window
// take it at once; the top-most check likewise; the splash check only stores
// its state.
TEST_F(PropPage3Test, OpacityAndChecks)
{
    Settings().Alpha = 200;
    Settings().TopMost = true;
    Open();
    QSlider* alpha = page->Item<QSlider>(CPropPage3::IDC_ALPHA);
    EXPECT_EQ(alpha->minimum(), 15);
    EXPECT_EQ(alpha->maximum(), 255);
    EXPECT_EQ(alpha->value(), 200);
    alpha->setFocus();
    QTest::keyClick(alpha, Qt::Key_Home);
    EXPECT_EQ(Settings().Alpha, 15);
    EXPECT_EQ(page->Item<QLineEdit>(CPropPage3::IDC_ALPHA_VALUE)->text(), "15");
    EXPECT_EQ(mainWindow.Arrived(), (std::vector<Posted>{{platform::WM_SET_ALPHA, 15, 0}})); // at once
    QTest::keyClick(alpha, Qt::Key_PageUp);
    EXPECT_EQ(Settings().Alpha, alpha->value());

    Click(page->GetDlgItem(CPropPage3::IDC_CHECK_SPLASH));
    EXPECT_TRUE(Settings().Splash);
    Click(page->GetDlgItem(CPropPage3::IDC_CHECK_TOPMOST));
    EXPECT_FALSE(Settings().TopMost);
    ASSERT_FALSE(mainWindow.Arrived().empty());
    EXPECT_EQ(mainWindow.Arrived().back(), (Posted{platform::WM_SET_TOPMOST, 0, 0})); // at once
    Click(page->GetDlgItem(CPropPage3::IDC_CHECK_TOPMOST));
    EXPECT_TRUE(Settings().TopMost);
    EXPECT_EQ(mainWindow.Messages(),
              (std::vector<Posted>{{platform::WM_SET_ALPHA, 15, 0},
                                   {platform::WM_SET_ALPHA, platform::WPARAM(alpha->value()), 0},
                                   {platform::WM_SET_TOPMOST, 0, 0},
                                   {platform::WM_SET_TOPMOST, 1, 0}}));
}

} // namespace
