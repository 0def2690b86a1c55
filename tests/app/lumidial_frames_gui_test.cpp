// The built-in frames and the external frame built from an image file.
#include "platform/resources.h"
#include "tests/app/clock_screen_fixture.h"

#include <QDir>
#include <cmath>

namespace {

using lmd::test::Colour;

const char* const kFrameNames[] = {"FRM_HYAKUSIKI",    "FRM_BONDIEBLUE",     "FRM_BLUEBERRY", "FRM_GRAPE",
                                   "FRM_LIME",         "FRM_STRAWBERRY",     "FRM_TANGERINE", "FRM_INDIGO",
                                   "FRM_GRAPHITE",     "FRM_SNOW",           "FRM_SAGE",      "FRM_RUBY",
                                   "FRM_FLOWER_POWER", "FRM_BLUE_DALMATIAN", "FRM_JAGUAR",    "FRM_PANTHER"};

TEST(FrameArtTest, RingsOnBlackCoveringThePointsTheClockReads)
{
    for (const char* name : kFrameNames) {
        SCOPED_TRACE(name);
        const QImage frame = platform::LoadBitmap(name);
        ASSERT_EQ(frame.size(), QSize(130, 130));
        // Transparent (black) inside the ring, where the dial and its ticks are,
        // and in the corners.
        for (const QPoint p :
             {QPoint(65, 65), QPoint(65, 17), QPoint(0, 0), QPoint(129, 129), QPoint(129, 0)})
            EXPECT_EQ(Colour(frame, p.x(), p.y()), 0u) << p.x() << "," << p.y();
        // The ring itself has no transparent pixel, and carries a hue at the
        // two points read by the external frame and the frame-coloured hands.
        for (int y = 0; y < 130; ++y)
            for (int x = 0; x < 130; ++x) {
                const double r = std::hypot(x + 0.5 - 65, y + 0.5 - 65);
                if (r >= 52 && r <= 62) {
                    ASSERT_NE(Colour(frame, x, y), 0u) << x << "," << y;
                }
                if (r <= 49.5) {
                    ASSERT_EQ(Colour(frame, x, y), 0u) << x << "," << y;
                }
            }
        for (const QPoint p : {QPoint(8, 64), QPoint(27, 27)})
            EXPECT_NE(RgbToHsl(platform::FromPixel(frame.pixel(p))), kGreyHsl) << p.x() << "," << p.y();
    }
    EXPECT_EQ(platform::LoadBitmap("FRM_DEFAULT_IMG").size(), QSize(64, 64));
}

class ExternalFrameTest : public lmd::test::ClockScreenTest
{
protected:
    void SetUp() override
    {
        ClockScreenTest::SetUp();
        Settings().UseShaderMojiban = false;
        Settings().ClockHands = false;
    }

    // A picture file in the clock's folder.
    QString WritePicture(const QString& name, QColor colour)
    {
        const QString path = folder.filePath(name);
        QDir().mkpath(QFileInfo(path).path());
        QImage picture(40, 30, QImage::Format_RGB32);
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 40; ++x)
                picture.setPixel(x, y, colour.darker(100 + x + y).rgb());
        EXPECT_TRUE(picture.save(path));
        return path;
    }

    QImage Expected(const QImage& texture, bool gradation) const
    {
        return BuildExtFrame(clock->FrameBitmap(4), texture, gradation);
    }
};

TEST_F(ExternalFrameTest, BuiltAtStartFromARelativePathInTheProgramFolder)
{
    const QString path = WritePicture("frames/wood.png", QColor(150, 90, 40));
    Settings().ExtFramePath = "frames\\wood.png";
    Settings().Gradation = true;
    Settings().FrameType = 17;
    CLumidial& window = ShowClock(16, 40, 0);
    EXPECT_EQ(window.FrameBitmap(17), Expected(QImage(path), true));
    EXPECT_NE(window.FrameBitmap(17), Expected(platform::LoadBitmap("FRM_DEFAULT_IMG"), true));
    ASSERT_TRUE(WaitForFramePainted(17));
    const QImage screen = Screen();
    EXPECT_EQ(Colour(screen, 27, 27), Colour(window.FrameBitmap(17), 27, 27));
}

TEST_F(ExternalFrameTest, RebuiltFromTheSettingsGivenAndFallingBackToTheDefaultTexture)
{
    CLumidial& window = ShowClock(16, 40, 0);
    const QImage fallback = platform::LoadBitmap("FRM_DEFAULT_IMG");
    // No path at start: the default texture.
    EXPECT_EQ(window.FrameBitmap(17), Expected(fallback, true));

    const QString path = WritePicture("leaf.png", QColor(40, 160, 60));
    window.CreateExtFrame(path, false);
    EXPECT_EQ(window.FrameBitmap(17), Expected(QImage(path), false));
    // Building does not select the frame.
    EXPECT_EQ(Settings().FrameType, 1);

    for (const QString& missing : {folder.filePath("nothing.png"), QString("missing\\x.jpg"), QString()}) {
        window.CreateExtFrame(missing, true);
        EXPECT_EQ(window.FrameBitmap(17), Expected(fallback, true)) << missing.toStdString();
    }
    // A file that is no picture counts as missing.
    QFile junk(folder.filePath("junk.png"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not a picture");
    junk.close();
    window.CreateExtFrame(junk.fileName(), false);
    EXPECT_EQ(window.FrameBitmap(17), Expected(fallback, false));

    platform::SendAppMessage(platform::WM_SET_FRAME_TYPE, 17);
    ASSERT_TRUE(WaitForFramePainted(17));
}

} // namespace
