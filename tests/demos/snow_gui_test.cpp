// The falling snow demo run for seeded frames: snowballs pile up on the ground
// line, those past the ground's ends are removed, and the
// right button switches the look.
#include "demos/apps/snow.h"
#include "physics/common/settings.h"
#include "physics/dynamics/body.h"
#include "platform/crt.h"
#include "tests/demos/app_runner.h"
#include "tests/demos/canvas_fixture.h"
#include "tests/support/screens.h"

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
    int restingRolling = 0;
    int asleep = 0;
    for (const auto& ball : balls) {
        const gaVec2f c = ball->getPosition();
        if (c.x >= 0 && c.x <= 480) { // above the ground: never below it
            EXPECT_LE(c.y, 480 - ball->getRadius() + 0.5f);
        }
        const phBody* const body = ball->getBody();
        asleep += !body->IsAwake();
        if (std::abs(c.y - (480 - ball->getRadius())) < 1.0f) {
            ++resting;
            const phVector v = body->GetLinearVelocity();
            restingRolling += phDot(v, v) > phLinearSleepToleranceSquared;
        }
    }
    EXPECT_GT(balls.size(), 50u);
    EXPECT_GE(resting, 20);
    // No snowball sleeps yet, and none could: under this scene's gravity
    // (1 m/s^2, 30 px/s^2) a ball falls for about 6 s before it lands and
    // bounces for seconds after; on the ground friction turns its sideways
    // drift into rolling, which nothing brakes, and the pile is struck by a new
    // ball every few frames. The balls on the ground line still roll faster
    // than a body may move and sleep.
    EXPECT_EQ(asleep, 0);
    EXPECT_GE(restingRolling, resting * 3 / 4) << restingRolling << " of " << resting;
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
