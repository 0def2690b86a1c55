// The dragon curve's first picture: the Heighway dragon from (0, 0) to (1, 0)
// lies in the box x -1/3 .. 7/6, y -1/3 .. 2/3 of the curve's own units (the
// box of the dragon over its unit segment), drawn from (150, 300) at 240
// pixels a unit with y upwards.
#include "demos/apps/dragon_curve.h"
#include "tests/demos/app_frames.h"
#include "tests/support/screens.h"

#include <gtest/gtest.h>

namespace {

using lmd::test::AppFrames;

TEST(DragonCurvePictureTest, FirstFrameDrawsTheHeighwayDragonInItsBox)
{
    AppFrames<gaDragonCurve> run;
    run.Frame();
    ASSERT_NEAR(run.app->a(), 1.0, 1e-9);
    QRect ink; // the black points, below the two text lines
    for (int y = 30; y < run.picture.height(); ++y)
        for (int x = 0; x < run.picture.width(); ++x)
            if (run.picture.pixel(x, y) == 0xFF000000u)
                ink |= QRect(x, y, 1, 1);
    lmd::test::SaveScreen(run.picture, QStringLiteral("demos_dragon_heighway"));
    const double unit = 240;
    EXPECT_NEAR(ink.left(), 150 - unit / 3, 4);
    EXPECT_NEAR(ink.right(), 150 + unit * 7 / 6, 4);
    // y upwards on the screen: the curve's y = 2/3 at the top, -1/3 at the bottom.
    EXPECT_NEAR(ink.top(), 300 - unit * 2 / 3, 4);
    EXPECT_NEAR(ink.bottom(), 300 + unit / 3, 4);
    EXPECT_EQ(run.picture.pixel(479, 479), 0xFFF0F0F0u); // light grey paper
}

} // namespace
