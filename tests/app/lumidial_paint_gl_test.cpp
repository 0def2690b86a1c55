// The clock's picture with the dial, date and frame shaders (the default
// settings), read back from the screen of the test display.
#include "platform/screen_capture.h"
#include "tests/app/clock_screen_fixture.h"
#include "tests/support/screens.h"

#include <QFile>
#include <QTest>
#include <cmath>

namespace {

using lmd::test::Colour;
using lmd::test::DialPixel;
using lmd::test::kDesktop;

// The shader files lie beside the test executable, as beside the clock: the
// executable's folder is the real one here (the fixture points it at a
// temporary folder).
class ShaderClockPaintTest : public lmd::test::ClockScreenTest
{
protected:
    void SetUp() override
    {
        ClockScreenTest::SetUp();
        platform::paths::SetExeDirOverride(QString());
        ASSERT_TRUE(QFile::exists(platform::paths::InExeDir("shaders/LM_Clock.frag")));
    }

    void Keep(const QString& name) const
    {
        lmd::test::SaveScreen(platform::CaptureScreen(clock->geometry().adjusted(-12, -12, 12, 12)).Image(),
                              name);
    }
};

TEST_F(ShaderClockPaintTest, DefaultSettingsShowTheShaderDialUnderTheFrame)
{
    CLumidial& window = ShowClock(10, 9, 36);
    ASSERT_TRUE(WaitForFramePainted(1));
    // The dial shader draws its face over the desktop: the picture inside the
    // ring is no longer the plain desktop.
    EXPECT_TRUE(QTest::qWaitFor([&] {
        const QImage screen = Screen();
        int drawn = 0;
        for (int y = 30; y < 100; ++y)
            for (int x = 30; x < 100; ++x)
                drawn += Colour(screen, x, y) != kDesktop;
        return drawn > 500;
    }));
    Keep("clock_shader_default");
    const QImage screen = Screen();
    EXPECT_EQ(Colour(screen, 27, 27), Colour(window.FrameBitmap(1), 27, 27));
    EXPECT_EQ(Colour(screen, 2, 2), kDesktop);
}

// How strongly a pixel near p shows a hand colour made of full channels: the
// weakest of its channels (mask bits 0 red, 1 green, 2 blue) above the
// strongest of the others, at best within one pixel. Shaded hands keep it high;
// the blue desktop and the grey faces keep it low.
int Strength(const QImage& screen, QPoint p, int channels)
{
    int best = -255;
    for (int y = p.y() - 1; y <= p.y() + 1; ++y)
        for (int x = p.x() - 1; x <= p.x() + 1; ++x) {
            const QRgb c = Colour(screen, x, y);
            const int v[3] = {qRed(c), qGreen(c), qBlue(c)};
            int on = 255;
            int off = 0;
            for (int i = 0; i < 3; ++i) {
                if (channels & (1 << i))
                    on = std::min(on, v[i]);
                else
                    off = std::max(off, v[i]);
            }
            best = std::max(best, on - off);
        }
    return best;
}

struct Face
{
    int clockFace;
    const char* name;
    // Dial units from the centre where each hand can be seen.
    std::vector<double> hourRadii, minuteRadii, secondRadii;
};

TEST_F(ShaderClockPaintTest, HandsPointAtTheTimeOnEveryDialAndZoom)
{
    // The user's hand colours: red hour, green minute, magenta second hand (none
    // of them shares the blue desktop's leading channel).
    AppSettings& settings = Settings();
    settings.HandsColorKind = 2;
    settings.HourColor = platform::Rgb(255, 0, 0);
    settings.MinColor = platform::Rgb(0, 255, 0);
    settings.SecondColor = platform::Rgb(255, 0, 255);
    const Face faces[] = {
        {0, "LM_Clock", {12, 18, 23}, {22, 30, 37}, {30, 37, 43}},
        {1, "SwissRailwayClock", {15, 20, 25}, {22, 32, 40}, {20, 26, 31}},
        {2, "7segmentDisplay", {10, 15, 20}, {18, 25, 31}, {20, 26, 30}},
    };
    for (const int zoom : {100, 300}) {
        for (const Face& face : faces) {
            SCOPED_TRACE(testing::Message() << face.name << " at zoom " << zoom);
            settings.ClockFace = face.clockFace;
            settings.Zoom = zoom;
            CLumidial& window = ShowClock(16, 40, 0);
            const int size = window.ClockWidth();
            ASSERT_TRUE(WaitForFramePainted(1));
            // At 16:40:00 the hour hand stands at 140 degrees, the minute hand at
            // 240 and the second hand straight up.
            const struct
            {
                const char* hand;
                double degrees;
                int channels;
                const std::vector<double>& radii;
            } hands[] = {{"hour", 140, 0b001, face.hourRadii},
                         {"minute", 240, 0b010, face.minuteRadii},
                         {"second", 0, 0b101, face.secondRadii}};
            const auto handsShow = [&] {
                const QImage screen = Screen();
                for (const auto& hand : hands)
                    for (const double radius : hand.radii)
                        if (Strength(screen, DialPixel(size, hand.degrees, radius), hand.channels) <= 45)
                            return false;
                return true;
            };
            [[maybe_unused]] const bool shown =
                QTest::qWaitFor(handsShow); // the checks below say what is missing
            const QImage screen = Screen();
            for (const auto& hand : hands)
                for (const double radius : hand.radii) {
                    EXPECT_GT(Strength(screen, DialPixel(size, hand.degrees, radius), hand.channels), 45)
                        << hand.hand << " at radius " << radius;
                    // Near the centre a hand may have a counterweight behind it.
                    if (radius >= 12) {
                        EXPECT_LT(
                            Strength(screen, DialPixel(size, hand.degrees + 180, radius), hand.channels), 25)
                            << hand.hand << " reversed at radius " << radius;
                    }
                    if (hand.degrees != 0) {
                        EXPECT_LT(Strength(screen, DialPixel(size, -hand.degrees, radius), hand.channels), 25)
                            << hand.hand << " mirrored at radius " << radius;
                    }
                }
            Keep(QString("clock_shader_face%1_zoom%2").arg(face.clockFace).arg(zoom));
            clock.reset();
        }
    }
}

TEST_F(ShaderClockPaintTest, DateWindowWithTheDayNumber)
{
    Settings().Date = true;
    Settings().ClockHands = false;
    Settings().Frame = false;
    ShowClock(16, 40, 0); // the 17th
    // The date window to the right of the centre, the day's black digits in it
    // with their top-left corner at dial point (29, 7) = pixel (94, 58).
    const QRect digits(94, 58, 16, 16);
    EXPECT_TRUE(QTest::qWaitFor([&] {
        const QImage screen = Screen();
        int black = 0;
        for (int y = digits.top(); y <= digits.bottom(); ++y)
            for (int x = digits.left(); x <= digits.right(); ++x)
                black += Colour(screen, x, y) == 0;
        return black > 12;
    }));
    Keep("clock_shader_date");
}

} // namespace

namespace {

// Records the rectangles of the paint events a widget receives.
class PaintRecorder : public QObject
{
public:
    explicit PaintRecorder(QWidget& widget) { widget.installEventFilter(this); }
    std::vector<QRect> rects;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            rects.push_back(static_cast<QPaintEvent*>(event)->rect());
        return false;
    }
};

// Over a still desktop the clock paints only what its frames change: nothing
// while the time stands, and no more than the hands' places while they move.
TEST_F(ShaderClockPaintTest, StillDesktopRepaintsOnlyWhereTheHandsMove)
{
    CLumidial& window = ShowClock(10, 9, 36);
    ASSERT_TRUE(WaitForFramePainted(1));
    QTest::qWait(300); // the first frames, with the desktop taken in
    PaintRecorder recorder(window);
    QTest::qWait(500); // ten frames at a standing time
    EXPECT_TRUE(recorder.rects.empty()) << recorder.rects.size() << " paints while nothing changed";

    int tick = 0;
    window.SetTimeSource([&tick] { return LocalDateTime{2024, 5, 17, 10, 9, 36, 50 * (++tick % 20)}; });
    const QImage before = Screen();
    EXPECT_TRUE(QTest::qWaitFor([&] { return recorder.rects.size() >= 5; }));
    const QRect whole = window.rect();
    for (const QRect& rect : recorder.rects) {
        EXPECT_TRUE(whole.contains(rect));
        EXPECT_LT(rect.width() * rect.height(), whole.width() * whole.height() / 2)
            << "a paint of the whole window";
    }
    // The ring of the frame and the dial's edge never need painting again.
    const QImage after = Screen();
    EXPECT_EQ(Colour(after, 27, 27), Colour(before, 27, 27));
    EXPECT_EQ(Colour(after, 2, 2), kDesktop);
}

} // namespace

namespace {

// Pixels inside the clock's round shape where `shown` differs from the frame.
int DifferencesFromFrame(const CLumidial& window, const QImage& shown)
{
    const QImage& frame = window.FinalSurface().Image();
    int differences = 0;
    for (int y = 0; y < window.height(); ++y)
        for (int x = 0; x < window.width(); ++x)
            differences +=
                window.EllipseRegion().contains(QPoint(x, y)) && Colour(shown, x, y) != Colour(frame, x, y);
    return differences;
}

// The frames go to the window piece by piece, each piece where the hands moved:
// whatever the pieces, the screen shows exactly the last frame composed, at
// each zoom, and a grab of the window (which paints into its own picture) does too.
TEST_F(ShaderClockPaintTest, ScreenAndGrabShowTheLastFrameExactly)
{
    for (const int zoom : {100, 300}) {
        SCOPED_TRACE(zoom);
        Settings().Zoom = zoom;
        CLumidial& window = ShowClock(10, 9, 36);
        ASSERT_TRUE(WaitForFramePainted(1));
        int tick = 0;
        window.SetTimeSource([&tick] {
            ++tick; // the second hand sweeps, the minute hand crosses a minute
            return LocalDateTime{2024, 5, 17, 10, 9 + tick / 40, 36 + tick / 20 % 20, 50 * (tick % 20)};
        });
        ASSERT_TRUE(QTest::qWaitFor([&] { return tick >= 60; }));
        // No event is handled between the screen's picture and the frame's.
        EXPECT_EQ(DifferencesFromFrame(window, Screen()), 0);
        EXPECT_EQ(DifferencesFromFrame(window, window.grab().toImage().convertToFormat(QImage::Format_RGB32)),
                  0);
    }
}

} // namespace

namespace {

// A window over the clock and gone again: the clock, standing still meanwhile
// (no frame repaints it), shows its frame again in full.
TEST_F(ShaderClockPaintTest, UncoveredClockShowsItsFrameAgain)
{
    CLumidial& window = ShowClock(10, 9, 36);
    ASSERT_TRUE(WaitForFramePainted(1));
    QTest::qWait(200); // the first frames, with the desktop taken in
    ASSERT_EQ(DifferencesFromFrame(window, Screen()), 0);
    {
        QWidget cover(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
        cover.setAttribute(Qt::WA_ShowWithoutActivating);
        cover.setStyleSheet("background: #ff8000");
        cover.setGeometry(window.geometry().adjusted(20, 20, 20, 20));
        cover.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&cover));
        ASSERT_TRUE(QTest::qWaitFor([&] { return DifferencesFromFrame(window, Screen()) > 1000; }));
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return DifferencesFromFrame(window, Screen()) == 0; }))
        << DifferencesFromFrame(window, Screen()) << " pixels differ";
}

} // namespace
