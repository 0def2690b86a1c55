// The teapot on the display, driven with real mouse input: with no room
// pictures the room shows its six checkerboards, a right-drag turns the room
// (and what the teapot mirrors of it) while a left-drag turns only the teapot,
// and the wheel's zoom outlives the dialog while the rotation does not.
#include "about/about_dlg.h"
#include "about/opengl_ctrl.h"
#include "platform/desktop.h"
#include "tests/about/gl_ctrl_fixture.h"
#include "tests/about/gl_input.h"
#include "tests/support/screens.h"

#include <QTest>
#include <array>
#include <gtest/gtest.h>
#include <set>

namespace {

using lmd::test::CountNear;
using lmd::test::Drag;

constexpr int kWidth = 288; // a quarter of it dragged turns by 90 degrees
constexpr int kHeight = 240;
const QRect kTopBand(0, 0, kWidth, 24); // room only: the teapot stays below it
// The checkerboards' colours: brown floor, green, blue, magenta and cyan walls,
// dark grey ceiling.
const std::array<QRgb, 6> kBoards{qRgb(108, 63, 50), qRgb(0, 255, 0),   qRgb(0, 0, 255),
                                  qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(50, 46, 43)};

class OpenGLCtrlTest : public ::testing::Test
{
protected:
    void Show() { ASSERT_TRUE(lmd::test::ShowControl(control, kWidth, kHeight)); }
    QImage Frame() { return control.grabFramebuffer(); }

    // The face colours (and white) that fill at least a tenth of the top band.
    std::set<QRgb> RoomColours()
    {
        const QImage frame = Frame();
        std::set<QRgb> seen;
        for (const QRgb colour : kBoards)
            if (CountNear(frame, kTopBand, colour) * 10 >= kTopBand.width() * kTopBand.height())
                seen.insert(colour);
        if (CountNear(frame, kTopBand, qRgb(255, 255, 255)) * 10 >= kTopBand.width() * kTopBand.height())
            seen.insert(qRgb(255, 255, 255));
        return seen;
    }

    lmd::test::ScopedExeDir exeDir; // empty assets
    COpenGLCtrl control;
};

bool SameIn(const QImage& a, const QImage& b, const QRect& area)
{
    return a.copy(area) == b.copy(area);
}

TEST_F(OpenGLCtrlTest, EmptyAssetsShowTheSixCheckerboardsRoundTheRoom)
{
    Show();
    std::set<QRgb> seen = RoomColours();
    EXPECT_EQ(seen.count(kBoards[1]), 1u) << "the view starts on the -Z wall (green)";
    // The teapot's front mirrors what lies behind the viewer: the +Z wall's
    // magenta (lit head-on, so nearly at full strength).
    const QImage frame = Frame();
    int magenta = 0;
    for (int y = 105; y < 135; ++y)
        for (int x = 129; x < 159; ++x) {
            const QRgb p = frame.pixel(x, y);
            magenta += qRed(p) > 200 && qGreen(p) < 60 && qBlue(p) > 200;
        }
    EXPECT_GT(magenta, 50);
    // Four quarter turns about the vertical show the walls (and come back),
    // then quarter turns about the horizontal the floor and the ceiling.
    const QPoint sideways(kWidth / 4, 0);
    const QPoint upwards(0, kHeight / 4);
    for (const QPoint step : {sideways, sideways, sideways, sideways, upwards, upwards, upwards}) {
        Drag(control, Qt::RightButton, QPoint(100, 60), QPoint(100, 60) + step);
        const std::set<QRgb> now = RoomColours();
        seen.insert(now.begin(), now.end());
    }
    for (const QRgb colour : kBoards)
        EXPECT_EQ(seen.count(colour), 1u) << std::hex << colour;
    EXPECT_EQ(seen.count(qRgb(255, 255, 255)), 1u);
}

TEST_F(OpenGLCtrlTest, ARightDragTurnsTheRoomALeftDragOnlyTheTeapot)
{
    Show();
    const QRect teapot(114, 95, 60, 50);
    const gg::GgMatrix identity = gg::GgTrackball().GetMatrix();
    const QImage before = Frame();

    Drag(control, Qt::RightButton, QPoint(100, 120), QPoint(130, 110));
    const QImage turnedRoom = Frame();
    EXPECT_NE(control.RoomTrackball().GetMatrix(), identity);
    EXPECT_EQ(control.ObjectTrackball().GetMatrix(), identity);
    EXPECT_FALSE(SameIn(before, turnedRoom, kTopBand)) << "the room turns";
    EXPECT_FALSE(SameIn(before, turnedRoom, teapot)) << "the reflection turns with it";

    const gg::GgMatrix room = control.RoomTrackball().GetMatrix();
    Drag(control, Qt::LeftButton, QPoint(100, 120), QPoint(140, 100));
    const QImage turnedTeapot = Frame();
    EXPECT_NE(control.ObjectTrackball().GetMatrix(), identity);
    EXPECT_EQ(control.RoomTrackball().GetMatrix(), room);
    EXPECT_TRUE(SameIn(turnedRoom, turnedTeapot, kTopBand)) << "the room stays";
    EXPECT_FALSE(SameIn(turnedRoom, turnedTeapot, teapot)) << "the teapot turns";
}

// The dialog's teapot page.
using TeapotPageTest = lmd::test::AboutPageTest<6>;

TEST_F(TeapotPageTest, TheZoomOutlivesTheDialogTheRotationDoesNot)
{
    Open();
    COpenGLCtrl* teapot = dialog->Teapot();
    const double start = COpenGLCtrl::ZoomFactor();
    const QImage before = teapot->grabFramebuffer();
    lmd::test::WheelStep(*teapot, true);
    QTRY_COMPARE(COpenGLCtrl::ZoomFactor(), start * 1.2);
    EXPECT_NE(teapot->grabFramebuffer(), before) << "a larger teapot";
    lmd::test::WheelStep(*teapot, true);
    lmd::test::WheelStep(*teapot, false);
    lmd::test::WheelStep(*teapot, false);
    QTRY_COMPARE(COpenGLCtrl::ZoomFactor(), start * 1.2 * 1.2 * 0.833 * 0.833);
    EXPECT_NEAR(COpenGLCtrl::ZoomFactor() / start, 0.99920016, 1e-8);
    Drag(*teapot, Qt::LeftButton, QPoint(100, 100), QPoint(150, 120));
    Drag(*teapot, Qt::RightButton, QPoint(100, 100), QPoint(150, 120));
    ASSERT_NE(teapot->ObjectTrackball().GetMatrix(), gg::GgTrackball().GetMatrix());

    dialog->accept();
    dialog.reset();
    Open();
    teapot = dialog->Teapot();
    EXPECT_EQ(COpenGLCtrl::ZoomFactor(), start * 1.2 * 1.2 * 0.833 * 0.833);
    EXPECT_EQ(teapot->ObjectTrackball().GetMatrix(), gg::GgTrackball().GetMatrix());
    EXPECT_EQ(teapot->RoomTrackball().GetMatrix(), gg::GgTrackball().GetMatrix());
}

TEST_F(TeapotPageTest, ThePageAsTheScreenShowsIt)
{
    Open();
    COpenGLCtrl& teapot = *dialog->Teapot();
    Drag(teapot, Qt::RightButton, QPoint(100, 100), QPoint(130, 110));
    Drag(teapot, Qt::LeftButton, QPoint(100, 100), QPoint(120, 80));
    // The screen comes to show the control's frame as it is (its clear squares
    // too), where the page lets it be seen.
    const QRect visible = teapot.visibleRegion().boundingRect();
    ASSERT_GT(visible.height(), 200);
    const QImage drawn = teapot.grabFramebuffer().convertToFormat(QImage::Format_RGB32).copy(visible);
    const QRect inside(teapot.mapTo(dialog.get(), visible.topLeft()), visible.size());
    const auto screen = [&] {
        return lmd::test::GrabScreen().copy(QRect(dialog->mapToGlobal(QPoint(0, 0)), dialog->size()));
    };
    const auto differing = [&] {
        const QImage shown = screen().copy(inside).convertToFormat(QImage::Format_RGB32);
        int n = 0;
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x)
                n += !lmd::test::Near(shown.pixel(x, y), drawn.pixel(x, y), 1);
        return n;
    };
    QTRY_COMPARE(differing(), 0);
    lmd::test::SaveScreen(screen(), QStringLiteral("about-teapot"));
}

} // namespace
