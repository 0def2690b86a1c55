// The fireworks demo run frame by frame as the DEMO dialog runs it: its set-up,
// the first frame's gradient, and seeded runs whose launches, trails and bursts
// come at the frames the rocket's lifetime gives.
#include "demos/fireworks/fireworks.h"
#include "platform/crt.h"
#include "tests/demos/canvas_fixture.h"

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

constexpr int kCanvas = lmd::test::kCanvasSize;

class FireworksTest : public ::testing::Test
{
protected:
    FireworksTest()
    {
        canvasWidth = kCanvas;
        canvasHeight = kCanvas;
    }

    // One frame as the dialog runs it, drawn into the canvas.
    void Frame(QImage& canvas)
    {
        {
            QPainter painter(&canvas);
            const gaFrameScope frame(app, painter);
            app.update();
            app.draw();
        }
        ++app.core().frameNum;
    }

    fireworks app;
};

// The particle count after each of `frames` frames of a demo, run without a
// canvas (nothing is drawn, everything else happens).
std::vector<int> RunCounts(fireworks& demo, int frames)
{
    std::vector<int> counts;
    for (int i = 0; i < frames; ++i) {
        demo.MakeCurrent();
        demo.update();
        demo.draw();
        ++demo.core().frameNum;
        counts.push_back(demo.particleCount());
    }
    return counts;
}

// The expected particle count after each frame of a run whose one rocket (of
// the given lifetime, listed at counter 31) bursts in the given frames: the
// rocket, 225 sparks a burst for 137 frames (ages 0 to 135 and the frame that
// frees them), and the gunpowder specks each spark drops with probability
// p / 2 (p below a fifth) or (1 - p) / 10 at age a (p = a / 135), each counted
// for 77 frames from the frame it is dropped in. The trail is left out: it is
// gone long before the bursts.
std::vector<double> ExpectedCounts(const std::vector<int>& bursts, int lifetime, std::size_t frames)
{
    constexpr int kSparkLifetime = 135;
    constexpr int kSpeckFrames = 77;
    std::vector<double> expected(frames, 0.0);
    for (std::size_t n = 30; n < frames && n <= std::size_t(31 + lifetime + 1); ++n)
        expected[n] += 1; // the rocket
    for (const int burst : bursts)
        for (int age = 0; age <= kSparkLifetime; ++age) {
            const int frame = burst + 1 + age; // the sparks act from the next frame
            const double p = age / double(kSparkLifetime);
            const double drop = p < 0.2 ? p * 0.5 : (1 - p) * 0.1;
            for (int n = frame; n < frame + kSpeckFrames && n < int(frames); ++n)
                expected[std::size_t(n)] += 225 * drop;
            if (age == 0)
                for (int n = burst; n <= burst + kSparkLifetime + 1 && n < int(frames); ++n)
                    expected[std::size_t(n)] += 225;
        }
    return expected;
}

TEST_F(FireworksTest, SetupAsksForThirtyFramesAndKeepsEachFrameOverTheLast)
{
    EXPECT_EQ(app.particleCount(), 0);
    app.setup();
    EXPECT_EQ(app.core().frameRate, 30.0f);
    EXPECT_FALSE(app.core().autoBackground);
    EXPECT_EQ(app.core().backgroundColor, 0xFF000000u);
    EXPECT_EQ(app.particleCount(), 0);

    // The first frame lays the gradient over the black canvas: blue only,
    // brightness (26 + 76 t) t^2 at alpha 77 (t = y / 480), in every column.
    QImage canvas(kCanvas, kCanvas, QImage::Format_RGB32);
    canvas.fill(Qt::black);
    Frame(canvas);
    for (int y = 0; y < kCanvas; y += 7) {
        const double t = y / double(kCanvas);
        const int v = static_cast<int>((26 + 76 * t) * t * t);
        const QRgb expected = 0xFF000000u | qBlue(qPremultiply(qRgba(0, 0, v, 77)));
        EXPECT_EQ(canvas.pixel(0, y), expected) << "row " << y;
        EXPECT_EQ(canvas.pixel(kCanvas - 1, y), expected) << "row " << y;
    }
    // The next frames fade what was there towards the gradient, never past it.
    const QRgb bottom = canvas.pixel(5, kCanvas - 1);
    Frame(canvas);
    EXPECT_GT(qBlue(canvas.pixel(5, kCanvas - 1)), qBlue(bottom));
}

TEST_F(FireworksTest, RocketsGoUpThirtyFramesPastEveryMultipleOf240)
{
    struct Case
    {
        std::int64_t start; // the dialog's frame counter when the demo starts
        int launch;         // the counter in the frame that launches
    };
    const Case cases[] = {{0, 30}, {29, 30}, {30, 30}, {31, 270}, {500, 510}};
    for (const Case& c : cases) {
        fireworks demo;
        demo.setup();
        demo.core().frameNum = c.start;
        const std::vector<int> counts = RunCounts(demo, 300);
        const auto launched = std::find(counts.begin(), counts.end(), 1);
        ASSERT_NE(launched, counts.end()) << "starting at " << c.start;
        EXPECT_EQ(c.start + (launched - counts.begin()), c.launch) << "starting at " << c.start;
        EXPECT_TRUE(std::all_of(counts.begin(), launched, [](int count) { return count == 0; }));
    }
}

TEST_F(FireworksTest, SeededRunTrailsThenBurstsTwiceAtTheRocketsLifetime)
{
    for (const unsigned seed : {1u, 7u, 2024u}) {
        // The launch draws the first two random numbers: x, then the lifetime.
        crt::srand(seed);
        gaRandom(-50, 50);
        const int lifetime = static_cast<int>((gaRandom(-0.5f, 0.5f) + 4) * 30);
        ASSERT_GE(lifetime, 105);
        ASSERT_LE(lifetime, 134);

        fireworks demo;
        demo.setup();
        crt::srand(seed);
        testing::internal::CaptureStdout();
        const std::vector<int> counts = RunCounts(demo, 270); // up to the next launch
        EXPECT_EQ(testing::internal::GetCapturedStdout(), ""); // the pool never ran dry

        // Counter 30: the rocket, pending. From counter 31 it is listed at age
        // counter - 31 and leaves a speck each frame up to six tenths of its
        // life; a speck lives 16 frames and is freed in the 17th.
        const int listed = 31;
        for (int n = 0; n < 30; ++n)
            ASSERT_EQ(counts[n], 0) << "seed " << seed << " counter " << n;
        EXPECT_EQ(counts[30], 1);
        const int lastSpeck = listed + static_cast<int>(lifetime * 0.6f);
        for (int n = listed; n <= lastSpeck; ++n)
            ASSERT_EQ(counts[n], 1 + std::min(n - 30, 17)) << "seed " << seed << " counter " << n;
        // Bursts of 225 at ages (int)(0.99 lifetime) and lifetime, two frames apart.
        const int first = listed + static_cast<int>(lifetime * 0.99);
        const int second = listed + lifetime;
        EXPECT_EQ(second - first, 2);
        EXPECT_EQ(counts[first - 1], 1) << "seed " << seed; // the trail is gone
        EXPECT_EQ(counts[first], 1 + 225) << "seed " << seed;
        EXPECT_EQ(counts[first + 1], 1 + 225) << "seed " << seed; // new sparks drop nothing yet
        EXPECT_GE(counts[second], 1 + 450) << "seed " << seed;
        EXPECT_LE(counts[second], 1 + 450 + 5) << "seed " << seed; // a speck now and then
        // Then the sparks drop gunpowder: the count peaks where the expected
        // number of sparks and live specks does.
        const std::vector<double> expected = ExpectedCounts({first, second}, lifetime, counts.size());
        const double expectedPeak = *std::max_element(expected.begin(), expected.end());
        const int peak = *std::max_element(counts.begin(), counts.end());
        EXPECT_NEAR(peak, expectedPeak, expectedPeak * 0.06) << "seed " << seed;
        const auto peakAt = std::max_element(counts.begin(), counts.end()) - counts.begin();
        const auto expectedPeakAt = std::max_element(expected.begin(), expected.end()) - expected.begin();
        EXPECT_NEAR(peakAt, expectedPeakAt, 25) << "seed " << seed;
    }
}

} // namespace
