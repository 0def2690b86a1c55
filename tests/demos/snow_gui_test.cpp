// The falling snow demo run for seeded frames: snowballs pile up on the ground
// line, those past the ground's ends are removed, and the
// right button switches the look.
#include "demos/apps/snow.h"
#include "platform/crt.h"
#include "tests/support/screens.h"
#include "tests/demos/app_runner.h"
#include "tests/demos/canvas_fixture.h"

namespace {

using lmd::test::AppRunner;
using lmd::test::InkBox;

TEST(SnowTest, SnowPilesUpOnTheGroundLine)
{
    crt::srand(1);
    AppRunner<gaAppSnow> snow;
    const int removalDepth = static_cast<int>(480 * 1.04f);
    for (int n = 0; n < 900; ++n) {
        snow.Frame();
        for (const auto& ball : snow.app->getSnowballs())
            ASSERT_LT(ball->getPosition().y, removalDepth + 20) << "a snowball fell on and on";
    }
    lmd::test::SaveScreen(snow.canvas, QStringLiteral("demos_snow_pile"));
    const auto& balls = snow.app->getSnowballs();
    int resting = 0;
    for (const auto& ball : balls) {
        const gaVec2f c = ball->getPosition();
        if (c.x >= 0 && c.x <= 480) { // above the ground: never below it
            EXPECT_LE(c.y, 480 - ball->getRadius() + 0.5f);
        }
        if (std::abs(c.y - (480 - ball->getRadius())) < 1.0f)
            ++resting;
    }
    EXPECT_GT(balls.size(), 50u);
    EXPECT_GE(resting, 20);
    // Spawned beside the canvas, some fell past the ground's ends and were removed.
    EXPECT_LT(balls.size(), 900u * 4 / 10);
    EXPECT_EQ(snow.app->getPhysics().getWorld()->GetBodyCount(), static_cast<int>(balls.size()) + 1);
}

TEST(SnowTest, RightButtonSwitchesBetweenFlakesAndDiscs)
{
    crt::srand(3);
    AppRunner<gaAppSnow> snow;
    snow.app->mouseDragged(240, 240, 0); // one big snowball in the middle
    EXPECT_EQ(snow.app->getSnowballs().size(), 1u);
    const auto inkNear = [&snow] {
        snow.Frame();
        const QImage middle = snow.canvas.copy(140, 140, 200, 200);
        QImage flat = middle;
        flat.fill(QColor(0x50, 0x50, 0x78));
        QRect box;
        for (int y = 0; y < middle.height(); ++y)
            for (int x = 0; x < middle.width(); ++x)
                if (middle.pixel(x, y) != flat.pixel(x, y))
                    box |= QRect(x, y, 1, 1);
        return box;
    };
    const QRect flake = inkNear();
    EXPECT_GT(flake.width(), 60) << "a flake ten times the radius";
    snow.app->mousePressed(0, 0, 2);
    EXPECT_FALSE(snow.app->usesImage());
    const QRect disc = inkNear();
    EXPECT_LE(disc.width(), 13) << "a disc of radius 6";
    EXPECT_GE(disc.width(), 11);
    snow.app->mousePressed(0, 0, 0); // the left button does not switch
    snow.app->mousePressed(0, 0, 2);
    EXPECT_TRUE(snow.app->usesImage());
}

} // namespace
