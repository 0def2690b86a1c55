#pragma once
// The clock window on the test display over a solid desktop, at a fixed time,
// and the pixel probes its picture tests use: where a point of the dial lands on
// the screen, whether a colour shows near it, and what the dot-matrix readout
// must look like. Header only: the gui and gl suites include it, the unit suite
// (no display, no QtTest) does not.
#include "app/lmd_app.h"
#include "app/lumidial.h"
#include "platform/paths.h"
#include "platform/screen_capture.h"

#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <cmath>
#include <gtest/gtest.h>
#include <memory>
#include <numbers>

namespace lmd::test {

// The desktop behind the clock.
inline constexpr QRgb kDesktop = 0x3060a0;

// A plain window of the desktop colour, behind the clock.
class SolidBackdrop : public QWidget
{
public:
    explicit SolidBackdrop(const QRect& rect);

protected:
    void paintEvent(QPaintEvent*) override;
};

// Pixels of a picture as 0xRRGGBB (no alpha).
inline QRgb Colour(const QImage& picture, int x, int y)
{
    return picture.pixel(x, y) & 0xFFFFFF;
}

// Screen picture of a colour value (Windows colour value, red in the low byte).
inline QRgb ScreenColour(platform::COLORREF colour)
{
    return platform::ToPixel(colour) & 0xFFFFFF;
}

// The pixel of a size by size clock under the dial point at `radius` dial units
// from the centre in the direction `degrees` (clockwise from twelve).
QPoint DialPixel(int size, double degrees, double radius);

// Whether a pixel within `reach` pixels of p lies within `tolerance` (largest
// channel difference) of colour.
bool ColourNear(const QImage& picture, QPoint p, QRgb colour, int tolerance = 0, int reach = 1);

// The pixels where the readout's cells differ from what the drawer's strip
// says for text at base-space point `at` of a size by size picture (only lit
// and unlit dots are compared: the key colour is transparent). Pixels that
// `skip` returns true for (hands, frame) are not compared.
template <typename Skip>
int ReadoutMismatches(const QImage& picture, const CDotMatrixText& drawer, const QString& text, QPoint at,
                      int cellWidth, int cellHeight, Skip skip);

// Where the dot-matrix readout stands at zoom 100: above the centre when the
// hour hand is in the lower half, below it otherwise.
inline const QRect kUpperReadout(25, 35, 80, 22);
inline const QRect kLowerReadout(25, 72, 80, 22);

// Pixels of the readout's lit colour in a rectangle.
inline int LitPixels(const QImage& picture, const QRect& area)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += Colour(picture, x, y) == ScreenColour(CDotMatrixText::kStripLit);
    return count;
}

// Starts the clock over the backdrop with the settings the test has put into
// theApp.AppSettings, at a fixed time.
class ClockScreenTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Settings that leave the desktop as it is (no effect), with the clock at
    // (210, 170); the test changes them before ShowClock.
    AppSettings& Settings();

    // Creates, shows and exposes the clock at the given time.
    CLumidial& ShowClock(int hour, int minute, int second);
    // The screen under the clock (its window rectangle).
    QImage Screen() const;
    // Waits until the clock shows its frame at (8, 64), so a whole frame has
    // been painted; false on time-out.
    bool WaitForFramePainted(int slot);

    QTemporaryDir folder;
    std::unique_ptr<SolidBackdrop> backdrop;
    std::unique_ptr<CLumidial> clock;
};

template <typename Skip>
int ReadoutMismatches(const QImage& picture, const CDotMatrixText& drawer, const QString& text, QPoint at,
                      int cellWidth, int cellHeight, Skip skip)
{
    const platform::Surface& strip = drawer.Strip();
    int mismatches = 0;
    for (int i = 0; i < text.size(); ++i) {
        const int code = text[i].unicode() - 32;
        for (int y = 0; y < cellHeight; ++y)
            for (int x = 0; x < cellWidth; ++x) {
                const platform::COLORREF dot =
                    strip.GetPixel(code % 32 * cellWidth + x, code / 32 * cellHeight + y);
                const int px = at.x() + i * cellWidth + x;
                const int py = at.y() + y;
                if (dot == CDotMatrixText::kTransparent || skip(px, py))
                    continue;
                mismatches += Colour(picture, px, py) != ScreenColour(dot);
            }
    }
    return mismatches;
}

inline SolidBackdrop::SolidBackdrop(const QRect& rect) : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setGeometry(rect);
}

inline void SolidBackdrop::paintEvent(QPaintEvent*)
{
    QPainter(this).fillRect(rect(), QColor(kDesktop));
}

inline QPoint DialPixel(int size, double degrees, double radius)
{
    const double unit = (size / 2) / 65.0; // pixels per dial unit
    const double a = degrees * std::numbers::pi / 180;
    return {static_cast<int>(std::floor(size / 2 + radius * std::sin(a) * unit)),
            static_cast<int>(std::floor(size / 2 - radius * std::cos(a) * unit))};
}

inline bool ColourNear(const QImage& picture, QPoint p, QRgb colour, int tolerance, int reach)
{
    for (int y = p.y() - reach; y <= p.y() + reach; ++y)
        for (int x = p.x() - reach; x <= p.x() + reach; ++x) {
            if (!picture.rect().contains(x, y))
                continue;
            const QRgb c = Colour(picture, x, y);
            if (std::abs(qRed(c) - qRed(colour)) <= tolerance &&
                std::abs(qGreen(c) - qGreen(colour)) <= tolerance &&
                std::abs(qBlue(c) - qBlue(colour)) <= tolerance)
                return true;
        }
    return false;
}

inline void ClockScreenTest::SetUp()
{
    ASSERT_TRUE(folder.isValid());
    platform::paths::SetExeDirOverride(folder.path());
    AppSettings& settings = theApp.AppSettings;
    settings = AppSettings{};
    settings.StartX = 210;
    settings.StartY = 170;
    settings.TopMost = true;
    settings.ImageFolderPath = folder.path();

    backdrop = std::make_unique<SolidBackdrop>(QRect(0, 0, 1000, 800));
    backdrop->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(backdrop.get()));
    ASSERT_TRUE(QTest::qWaitFor(
        [] { return Colour(platform::CaptureScreen(QRect(600, 500, 4, 4)).Image(), 1, 1) == kDesktop; }));
}

inline void ClockScreenTest::TearDown()
{
    clock.reset();
    backdrop.reset();
    platform::paths::SetExeDirOverride(QString());
}

inline AppSettings& ClockScreenTest::Settings()
{
    return theApp.AppSettings;
}

inline CLumidial& ClockScreenTest::ShowClock(int hour, int minute, int second)
{
    clock = std::make_unique<CLumidial>();
    clock->SetTimeSource([=] { return LocalDateTime{2024, 5, 17, hour, minute, second, 0}; });
    EXPECT_TRUE(clock->Create());
    clock->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(clock.get()));
    return *clock;
}

inline QImage ClockScreenTest::Screen() const
{
    return platform::CaptureScreen(clock->geometry()).Image();
}

inline bool ClockScreenTest::WaitForFramePainted(int slot)
{
    const int size = clock->ClockWidth();
    const QImage& frame = clock->FrameBitmap(slot);
    // Frame pixel (8, 64) at the clock's size, stretched as the clock does.
    const int x = 8 * size / 130 + size / 260;
    const int y = 64 * size / 130 + size / 260;
    return QTest::qWaitFor([&] { return Colour(Screen(), x, y) == Colour(frame, 8, 64); });
}

} // namespace lmd::test
