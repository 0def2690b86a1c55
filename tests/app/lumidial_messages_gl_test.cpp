// Error boxes that the effects raise while the clock paints: shown once the
// paint has returned, with the clock drawing on behind them.
#include "platform/screen_capture.h"
#include "tests/app/clock_screen_fixture.h"
#include "tests/support/screens.h"
#include "tests/support/shown_windows.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMessageBox>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

constexpr int kCubeEffect = 110; // its cube map: _misc/Forest1.png to Forest6.png
constexpr const char* kBadFace = "Forest3.png";

// The clock's folder with the built shaders and data, one cube-map face
// replaced by bytes that are no picture.
class PaintErrorTest : public lmd::test::ClockScreenTest
{
protected:
    void SetUp() override
    {
        ClockScreenTest::SetUp();
        const QDir built(QCoreApplication::applicationDirPath());
        for (const QString data : {"shaders", "_misc"}) {
            ASSERT_TRUE(QDir(folder.path()).mkdir(data));
            const QDir source(built.filePath(data));
            for (const QString& name : source.entryList(QDir::Files)) {
                if (name != kBadFace) {
                    ASSERT_TRUE(QFile::link(source.filePath(name), folder.filePath(data + '/' + name)));
                }
            }
        }
        QFile face(folder.filePath(QStringLiteral("_misc/") + kBadFace));
        ASSERT_TRUE(face.open(QIODevice::WriteOnly));
        face.write("not a picture");
    }
};

TEST_F(PaintErrorTest, BadCubeMapFaceIsReportedWhileTheClockGoesOnDrawing)
{
    Settings().EffectPtn0 = kCubeEffect;
    Settings().UseShaderMojiban = false;

    // While the box is up: the frames the back layer draws meanwhile, and a
    // picture of the clock beside the box. Then the box's OK button is clicked.
    QPointer<QMessageBox> box;
    QString text;
    std::uint64_t framesAtBox = 0;
    std::uint64_t framesWhileUp = 0;
    bool answered = false;
    QElapsedTimer up; // since the box showed: a clock that stopped drawing is given up on
    QTimer probe;
    probe.callOnTimeout([&] {
        auto* shown = lmd::test::ShownWindow<QMessageBox>();
        if (!shown || !shown->isVisible() || !clock || answered)
            return;
        const std::uint64_t frames = clock->BackLayer()->FrameCount();
        if (box != shown) {
            box = shown;
            text = shown->text();
            framesAtBox = frames;
            up.start();
            return;
        }
        framesWhileUp = frames - framesAtBox;
        if (framesWhileUp < 10 && up.elapsed() < 10000)
            return;
        const QRect area = clock->geometry().united(shown->frameGeometry()).adjusted(-10, -10, 10, 10);
        lmd::test::SaveScreen(platform::CaptureScreen(area).Image(), "clock_cube_face_error_box");
        answered = true;
        QTest::mouseClick(shown->button(QMessageBox::Ok), Qt::LeftButton);
    });
    probe.start(50);

    ShowClock(10, 9, 36);
    QTRY_VERIFY_WITH_TIMEOUT(answered, 30000);
    EXPECT_EQ(text, QStringLiteral("Failed to load image: %1").arg(kBadFace));
    EXPECT_GE(framesWhileUp, 10u);
    QTRY_VERIFY(box.isNull() || !box->isVisible());
    // The box is asked for once per set-up of the effect, not once per frame.
    const std::uint64_t frames = clock->BackLayer()->FrameCount();
    QTRY_VERIFY(clock->BackLayer()->FrameCount() > frames + 10);
    EXPECT_EQ(lmd::test::ShownWindow<QMessageBox>(), nullptr);
}

} // namespace
