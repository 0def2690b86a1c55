// Flower mandalas drawn: the fresh canvas colour, a picture that stays while
// paused, and the rotation symmetry of an aligned mandala once its petals went
// round: with one spin ratio n the traces repeat after a turn of 2 pi / (n - 1).
#include "demos/apps/flowers_mandalas.h"
#include "platform/crt.h"
#include "tests/demos/app_frames.h"
#include "tests/support/screens.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numbers>
#include <vector>

namespace {

using Mandala = lmd::test::AppFrames<gaFlowersMandalas>;

constexpr QRgb kFresh = 0xFF190C03;

void RunFrames(Mandala& frames, int count)
{
    for (int i = 0; i < count; ++i)
        frames.Frame();
}

constexpr int kBlock = 8; // the comparison looks at the picture in 8 by 8 blocks

// The picture's brightness averaged over blocks: the traces are single lines a
// frame apart, so only their density, not each line, repeats under the turn.
std::vector<double> BlockBrightness(const QImage& picture)
{
    const int blocks = picture.width() / kBlock;
    std::vector<double> brightness(static_cast<std::size_t>(blocks * blocks));
    for (int y = 0; y < blocks * kBlock; ++y)
        for (int x = 0; x < blocks * kBlock; ++x)
            brightness[static_cast<std::size_t>(y / kBlock * blocks + x / kBlock)] +=
                qGray(picture.pixel(x, y)) / double(kBlock * kBlock);
    return brightness;
}

// The mean difference between the block brightness and that of the block at
// the same place turned by `angle` about the centre, over the blocks within
// `radius` of it.
double RotationDifference(const QImage& picture, double angle, double radius)
{
    const std::vector<double> brightness = BlockBrightness(picture);
    const int blocks = picture.width() / kBlock;
    const double centre = blocks / 2.0;
    double total = 0;
    int compared = 0;
    for (int y = 0; y < blocks; ++y)
        for (int x = 0; x < blocks; ++x) {
            const double dx = x + 0.5 - centre;
            const double dy = y + 0.5 - centre;
            if (std::hypot(dx, dy) * kBlock > radius)
                continue;
            const int tx = static_cast<int>(std::floor(centre + dx * std::cos(angle) - dy * std::sin(angle)));
            const int ty = static_cast<int>(std::floor(centre + dx * std::sin(angle) + dy * std::cos(angle)));
            total += std::abs(brightness[static_cast<std::size_t>(y * blocks + x)] -
                              brightness[static_cast<std::size_t>(ty * blocks + tx)]);
            ++compared;
        }
    return total / compared;
}

class AlignedMandalaTest : public ::testing::TestWithParam<unsigned>
{
};

TEST_P(AlignedMandalaTest, IsSymmetricUnderItsRotation)
{
    crt::srand(GetParam());
    Mandala frames;
    gaFlowersMandalas& app = *frames.app;
    app.keyPressed('t'); // one spin ratio for all
    const int n = app.petals().front().n;
    RunFrames(frames, 315); // a full turn at 0.02 a frame
    lmd::test::SaveScreen(frames.picture, QStringLiteral("demos_mandala_aligned_%1").arg(GetParam()));

    // Turned by 2 pi / (n - 1) the picture matches itself far better than turned
    // by the neighbouring symmetries' angles or by half its own.
    const double radius = 215; // inside the canvas and below the help text
    const auto differenceFor = [&](double fold) {
        return RotationDifference(frames.picture, 2 * std::numbers::pi / fold, radius);
    };
    const double symmetric = differenceFor(n - 1);
    std::printf(
        "n = %d: brightness differs by %.2f turned by 2 pi / %d; by %.2f, %.2f and %.2f for %d, %d and %d\n",
        n, symmetric, n - 1, differenceFor(n - 2), differenceFor(n), differenceFor(2 * (n - 1)), n - 2, n,
        2 * (n - 1));
    for (const int fold : {n - 2, n, 2 * (n - 1)})
        EXPECT_LT(1.25 * symmetric, differenceFor(fold)) << "turned by 2 pi / " << fold;
}

INSTANTIATE_TEST_SUITE_P(Seeds, AlignedMandalaTest, ::testing::Values(21u, 5u, 9u, 30u));

TEST(FlowersMandalasDrawnTest, NewMandalaClearsOnceAndPausedPictureStays)
{
    crt::srand(4);
    Mandala frames;
    gaFlowersMandalas& app = *frames.app;
    RunFrames(frames, 1);
    EXPECT_EQ(frames.picture.pixel(240, 240), kFresh); // the centre stays clear
    EXPECT_EQ(frames.picture.pixel(479, 479), kFresh);
    EXPECT_FALSE(app.core().autoBackground);
    RunFrames(frames, 60);
    EXPECT_EQ(app.core().lineWidth, 2.0f);

    app.mousePressed(0, 0, 0); // paused
    const QImage paused = frames.picture;
    RunFrames(frames, 10);
    EXPECT_EQ(frames.picture.copy(0, 20, 480, 460), paused.copy(0, 20, 480, 460)); // below the help text

    app.mousePressed(0, 0, 2); // a new mandala on a fresh canvas, still paused
    RunFrames(frames, 3);
    int marked = 0;
    for (int y = 20; y < 480; ++y) // below the help text
        for (int x = 0; x < 480; ++x)
            marked += frames.picture.pixel(x, y) != kFresh;
    EXPECT_EQ(marked, 0);
}

} // namespace
