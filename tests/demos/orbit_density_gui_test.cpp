// The orbit-density fractals' pictures: the Buddhabrot's first repaint and its
// empty histogram, the Nebulabrot's turned channels and its status when its
// workers cannot start.
#include "demos/apps/buddhabrot.h"
#include "demos/apps/nebulabrot.h"
#include "tests/demos/app_frames.h"
#include "tests/demos/canvas_fixture.h"

#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>
#include <system_error>
#include <thread>
#include <vector>

namespace {

using lmd::test::AppFrames;
using lmd::test::InkBox;

TEST(BuddhabrotPictureTest, FirstPictureOnFrame30AndAnEmptyHistogramIsBlack)
{
    AppFrames<gaBuddhabrot> run;
    constexpr int kSize = AppFrames<gaBuddhabrot>::kSize;
    run.picture.fill(Qt::red);
    // An all-zero histogram repainted: every cell black, no 0 / 0.
    {
        QPainter painter(&run.picture);
        const gaFrameScope scope(*run.app, painter);
        run.app->repaint();
    }
    for (int y = 20; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x)
            ASSERT_EQ(run.picture.pixel(x, y), 0xFF000000u) << x << ", " << y;

    run.picture.fill(Qt::red);
    for (int frame = 1; frame < gaBuddhabrot::kRepaintEvery; ++frame)
        run.Frame();
    EXPECT_EQ(run.picture.pixel(240, 240), 0xFFFF0000u); // nothing drawn between repaints
    run.Frame();
    EXPECT_NE(run.picture.pixel(240, 240), 0xFFFF0000u);
    int white = 0;
    for (int y = 20; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x)
            white += run.picture.pixel(x, y) == 0xFFFFFFFFu;
    EXPECT_GT(white, 0); // the densest cells
}

class NebulabrotPictureTest : public ::testing::Test
{
protected:
    static constexpr int kColumns = 90;
    static constexpr int kRows = 70;
    static constexpr int kSize = 48;
};

TEST_F(NebulabrotPictureTest, RepaintTurnsThePictureAndScalesEachChannelToItsMaximum)
{
    AppFrames<gaNebulabrot, kSize> run(kColumns, kRows); // the image is the canvas
    ASSERT_TRUE(QTest::qWaitFor([&] { return run.app->finished(); }, 60000));
    run.Frame();
    for (const auto* histogram : {&run.app->red(), &run.app->green(), &run.app->blue()}) {
        std::vector<int> counts;
        for (const std::atomic<int>& cell : *histogram)
            counts.push_back(cell.load());
        const auto peak = static_cast<int>(std::max_element(counts.begin(), counts.end()) - counts.begin());
        const int channel = histogram == &run.app->red() ? 16 : histogram == &run.app->green() ? 8 : 0;
        // A quarter turn: row i (imaginary) goes to x = size - 1 - i, column j (real) to y = j.
        EXPECT_EQ(run.picture.pixel(kSize - 1 - peak / kSize, peak % kSize) >> channel & 0xFF, 255u);
        for (int cell = 0; cell < kSize * kSize; ++cell) {
            const QRgb pixel = run.picture.pixel(kSize - 1 - cell / kSize, cell % kSize);
            if (counts[static_cast<std::size_t>(cell)] == 0 && cell % kSize > 14) // below the status line
                ASSERT_EQ(pixel >> channel & 0xFF, 0u) << cell;
        }
    }
}

// A demo whose third worker cannot be started; the first two only count that
// they ran (the picture stays empty).
class ThirdWorkerFails : public gaNebulabrot
{
public:
    using gaNebulabrot::gaNebulabrot;
    int started = 0;
    std::atomic<int> ran{0};

protected:
    std::thread startWorker(int k) override
    {
        if (k == 2)
            throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
        ++started;
        return std::thread([this] { ran.fetch_add(1); });
    }
};

TEST_F(NebulabrotPictureTest, AWorkerThatCannotStartStopsTheOthersAndSaysSo)
{
    AppFrames<ThirdWorkerFails> run(kColumns, kRows); // a 480 canvas: room for the status
    EXPECT_EQ(run.app->started, 2);
    EXPECT_EQ(run.app->workersRunning(), 0); // the two started ones were joined
    EXPECT_EQ(run.app->ran.load(), 2);
    EXPECT_FALSE(run.app->finished());
    run.Frame(); // a line at the top left tells, instead of a progress that never ends
    EXPECT_EQ(InkBox(run.picture.copy(400, 0, 80, 20)), QRect());
    const QRect line = InkBox(run.picture);
    EXPECT_LT(line.top(), 4);
    EXPECT_LT(line.left(), 4);
    EXPECT_GT(line.right(), 150);
    EXPECT_LT(line.bottom(), 20);
}

} // namespace
