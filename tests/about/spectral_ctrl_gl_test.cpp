// The refraction scene on the display: without a model file a torus stands
// before the room, a small cube file is drawn as read (a face that names a
// missing vertex dropped), an OpenGL older than 2.1 gets its message and an
// empty control, and the Control key's model reaches the control.
#include "about/about_dlg.h"
#include "about/spectral_ctrl.h"
#include "platform/desktop.h"
#include "tests/about/gl_ctrl_fixture.h"
#include "tests/about/gl_input.h"
#include "tests/support/screens.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTest>
#include <gtest/gtest.h>

namespace {

constexpr int kWidth = 288;
constexpr int kHeight = 240;
constexpr int kCentreX = kWidth / 2;
constexpr int kCentreY = kHeight / 2;
// Pixels per scene unit at the model's distance (200 units, 45 degree field).
constexpr double kPixelsPerUnit = kHeight / 2 / (200 * 0.41421356);

// Of n points on a circle of the given radius (in scene units) round the
// centre, those where the frame differs from the room alone. Where the glass
// bends little, a point may show the very room colour behind it, so the model
// shows as most, not all, points of a circle on it.
int ModelPointsOnCircle(const QImage& frame, const QImage& room, double radius, int n)
{
    int model = 0;
    for (int i = 0; i < n; ++i) {
        const double angle = 6.2831853 * (i + 0.5) / n;
        const int x = kCentreX + static_cast<int>(std::lround(radius * kPixelsPerUnit * std::cos(angle)));
        const int y = kCentreY + static_cast<int>(std::lround(radius * kPixelsPerUnit * std::sin(angle)));
        model += frame.pixel(x, y) != room.pixel(x, y);
    }
    return model;
}

// A cube of side 60 round the origin, its faces wound outwards, and one face
// naming a vertex that does not exist.
const QByteArray kCube = "v -30 -30 -30\nv 30 -30 -30\nv 30 30 -30\nv -30 30 -30\n"
                         "v -30 -30 30\nv 30 -30 30\nv 30 30 30\nv -30 30 30\n"
                         "f 1 3 2\nf 1 4 3\nf 5 6 7\nf 5 7 8\nf 1 2 6\nf 1 6 5\n"
                         "f 4 8 7\nf 4 7 3\nf 1 5 8\nf 1 8 4\nf 2 3 7\nf 2 7 6\n"
                         "f 2 3 99\n";
// A model too small to cover a pixel: the room alone.
const QByteArray kSpeck = "v 0 0 0\nv 0.001 0 0\nv 0 0.001 0\nf 1 2 3\n";

class SpectralCtrlTest : public ::testing::Test
{
protected:
    void Show() { ASSERT_TRUE(lmd::test::ShowControl(control, kWidth, kHeight)); }

    // The room alone, as a control of the same size shows it.
    QImage RoomAlone()
    {
        lmd::test::ScopedExeDir speck;
        speck.AddAsset(QStringLiteral("stanford_bunny.obj"), kSpeck);
        CSpectralCtrl room;
        EXPECT_TRUE(lmd::test::ShowControl(room, kWidth, kHeight));
        EXPECT_EQ(room.Model().FaceCount(), 1u);
        return room.grabFramebuffer();
    }

    platform::ScopedRecordingDesktop desktop;
    const QImage room = RoomAlone();
    lmd::test::ScopedExeDir exeDir; // empty assets, the room shaders
    CSpectralCtrl control;
};

TEST_F(SpectralCtrlTest, WithoutAModelFileATorusStandsBeforeTheRoom)
{
    Show();
    ASSERT_TRUE(control.IsReady());
    EXPECT_EQ(control.Model().FaceCount(), 0u);
    const QImage frame = control.grabFramebuffer();
    lmd::test::SaveScreen(frame, QStringLiteral("about-spectral-torus"));
    // The ring (radius 30 to 50 at zoom 1) shows the model; its hole and the
    // space well outside it show the room as it is.
    const double zoom = CSpectralCtrl::ZoomFactor();
    EXPECT_GE(ModelPointsOnCircle(frame, room, 40 * zoom, 16), 12);
    EXPECT_EQ(ModelPointsOnCircle(frame, room, 15 * zoom, 16), 0);
    EXPECT_EQ(ModelPointsOnCircle(frame, room, 65 * zoom, 16), 0);
    EXPECT_TRUE(desktop->messageBoxes.empty());
}

TEST_F(SpectralCtrlTest, ACubeFileIsDrawnAsRead)
{
    exeDir.AddAsset(QStringLiteral("stanford_bunny.obj"), kCube);
    Show();
    ASSERT_TRUE(control.IsReady());
    EXPECT_EQ(control.Model().VertexCount(), 8u);
    EXPECT_EQ(control.Model().FaceCount(), 12u) << "the face naming vertex 99 is dropped";
    const QImage frame = control.grabFramebuffer();
    lmd::test::SaveScreen(frame, QStringLiteral("about-spectral-cube"));
    // The cube's front (a square of half side 30) covers the centre; the room
    // shows beyond its corners.
    const double zoom = CSpectralCtrl::ZoomFactor();
    EXPECT_GE(ModelPointsOnCircle(frame, room, 15 * zoom, 16), 12);
    EXPECT_EQ(ModelPointsOnCircle(frame, room, 60 * zoom, 16), 0);
}

TEST_F(SpectralCtrlTest, ASceneSetUpAgainForgetsTheModelItCannotReadAnyMore)
{
    exeDir.AddAsset(QStringLiteral("stanford_bunny.obj"), kCube);
    Show();
    ASSERT_EQ(control.Model().FaceCount(), 12u);
    // A new window gives the control a new context: the scene is set up again,
    // and the file is gone by then.
    exeDir.RemoveAsset(QStringLiteral("stanford_bunny.obj"));
    QWidget window;
    control.setParent(&window);
    control.move(0, 0);
    window.resize(kWidth, kHeight);
    window.show();
    control.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QTRY_VERIFY(control.isValid());
    EXPECT_EQ(control.Model().FaceCount(), 0u) << "the torus, not the earlier cube";
    const QImage frame = control.grabFramebuffer();
    EXPECT_GE(ModelPointsOnCircle(frame, room, 40 * CSpectralCtrl::ZoomFactor(), 16), 12);
    EXPECT_EQ(ModelPointsOnCircle(frame, room, 15 * CSpectralCtrl::ZoomFactor(), 16), 0);
    control.setParent(nullptr); // the fixture owns it
}

TEST_F(SpectralCtrlTest, ALeftDragTurnsTheModelARightDragTheRoom)
{
    exeDir.AddAsset(QStringLiteral("stanford_bunny.obj"), kCube);
    Show();
    const QImage before = control.grabFramebuffer();
    const QRect corner(0, 0, 40, 40); // room only
    lmd::test::Drag(control, Qt::LeftButton, QPoint(100, 120), QPoint(140, 100));
    const QImage turned = control.grabFramebuffer();
    EXPECT_EQ(turned.copy(corner), before.copy(corner));
    EXPECT_NE(turned.copy(QRect(kCentreX - 30, kCentreY - 30, 60, 60)),
              before.copy(QRect(kCentreX - 30, kCentreY - 30, 60, 60)));
    lmd::test::Drag(control, Qt::RightButton, QPoint(100, 120), QPoint(140, 100));
    EXPECT_NE(control.grabFramebuffer().copy(corner), turned.copy(corner));
}

// Mesa reads its version override once, when the process first meets the
// display's GL (freeglut's start-up does): the test runs itself again in a
// process that starts with the override, and makes its checks there.
TEST(SpectralCtrlOldGlTest, AnOpenGLBelow21ShowsTheMessageAndDrawsNothing)
{
    if (qEnvironmentVariable("MESA_GL_VERSION_OVERRIDE") != QStringLiteral("2.0")) {
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("MESA_GL_VERSION_OVERRIDE"), QStringLiteral("2.0"));
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        const QString test =
            QString::fromLatin1(::testing::UnitTest::GetInstance()->current_test_suite()->name()) + u'.' +
            QString::fromLatin1(::testing::UnitTest::GetInstance()->current_test_info()->name());
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--gtest_filter=") + test});
        ASSERT_TRUE(child.waitForFinished(120000));
        EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(child.exitCode(), 0);
        return;
    }
    platform::ScopedRecordingDesktop desktop;
    lmd::test::ScopedExeDir exeDir;
    CSpectralCtrl control;
    ASSERT_TRUE(lmd::test::ShowControl(control, kWidth, kHeight));
    const QImage frame = control.grabFramebuffer();
    ASSERT_EQ(control.format().majorVersion(), 2);
    ASSERT_EQ(control.format().minorVersion(), 0);

    EXPECT_FALSE(control.IsReady());
    // The box waits for the set-up (inside a paint) to return.
    QTRY_COMPARE(desktop->messageBoxes.size(), std::size_t{1});
    EXPECT_EQ(desktop->messageBoxes[0].text,
              QStringLiteral("OpenGL Version 2.1 以降に対応したビデオカードが必要です"));
    EXPECT_EQ(desktop->messageBoxes[0].caption, QStringLiteral("ggInit"));
    EXPECT_EQ(desktop->messageBoxes[0].style, platform::MB_OK);
    // Nothing but the page's ground, also after a drag.
    lmd::test::Drag(control, Qt::LeftButton, QPoint(100, 120), QPoint(140, 100));
    const QRgb ground = control.palette().color(QPalette::Window).rgb();
    for (const QImage& shown : {frame, control.grabFramebuffer()})
        EXPECT_EQ(lmd::test::CountNear(shown, shown.rect(), ground), kWidth * kHeight);
    EXPECT_EQ(desktop->messageBoxes.size(), 1u);
}

TEST(SupportsGl21Test, ReadsTheLeadingNumberOfTheVersion)
{
    struct Case
    {
        const char* version;
        bool supported;
    };
    const Case cases[] = {
        {"4.5 (Compatibility Profile) Mesa 22.3.6", true},
        {"2.1 Mesa 7.0", true},
        {"2.1.2 NVIDIA 1.0", true},
        {"3.0", true},
        {"2.0 Mesa 22.3.6", false},
        {"1.5", false},
        {"", false},
        {"Mesa", false},
        {nullptr, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(about::SupportsGl21(c.version), c.supported) << (c.version ? c.version : "(null)");
}

// The dialog's refraction page.
using SpecterPageTest = lmd::test::AboutPageTest<7>;

TEST_F(SpecterPageTest, ThePageAsTheScreenShowsIt)
{
    Open();
    CSpectralCtrl& spectral = *dialog->Spectral();
    EXPECT_EQ(spectral.ModelName(), QByteArray("stanford_bunny.obj"));
    EXPECT_TRUE(spectral.IsReady());
    EXPECT_GT(spectral.Model().FaceCount(), 1000u) << "the bunny beside the program";
    QTest::qWait(0);
    const QRect frame(dialog->mapToGlobal(QPoint(0, 0)), dialog->size());
    lmd::test::SaveScreen(lmd::test::GrabScreen().copy(frame), QStringLiteral("about-spectral"));
}

TEST_F(SpecterPageTest, TheWheelScalesTheModelNotTheTeapot)
{
    Open();
    CSpectralCtrl& spectral = *dialog->Spectral();
    const double model = CSpectralCtrl::ZoomFactor();
    const double teapot = COpenGLCtrl::ZoomFactor();
    lmd::test::WheelStep(spectral, true);
    QTRY_COMPARE(CSpectralCtrl::ZoomFactor(), model * 1.2);
    lmd::test::WheelStep(spectral, false);
    QTRY_COMPARE(CSpectralCtrl::ZoomFactor(), model * 1.2 * 0.833);
    EXPECT_EQ(COpenGLCtrl::ZoomFactor(), teapot);
}

TEST_F(SpecterPageTest, WithControlHeldTheSecondModelIsLoaded)
{
    desktop->controlDown = true;
    Open();
    CSpectralCtrl& spectral = *dialog->Spectral();
    EXPECT_EQ(spectral.ModelName(), QByteArray("LexusLFA.obj"));
    EXPECT_GT(spectral.Model().FaceCount(), 1000u) << "the second model beside the program";
    lmd::test::SaveScreen(spectral.grabFramebuffer(), QStringLiteral("about-spectral-second-model"));
}

} // namespace
