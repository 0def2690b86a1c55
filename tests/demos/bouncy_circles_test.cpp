// Bouncing circles: reflection at the four edges with the speed kept, a swarm
// that never leaves the canvas, attraction to the press point and the burst on
// release.
#include "demos/apps/bouncy_circles.h"
#include "platform/crt.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <set>

namespace {

constexpr float kFriction = 0.999f;
constexpr float kGravity = 0.1f;

class BouncyCirclesTest : public ::testing::Test
{
protected:
    BouncyCirclesTest()
    {
        canvasWidth = 480;
        canvasHeight = 480;
        crt::srand(11);
        app.setup();
    }

    gaBouncyCircles app;
};

TEST_F(BouncyCirclesTest, StartFromTheCentreWithVelocitiesSizesAndColoursInRange)
{
    EXPECT_FALSE(app.core().autoBackground);
    EXPECT_EQ(app.core().frameRate, 60.0f);
    const gaBouncyCircles::Circles& c = app.circles();
    for (int i = 0; i < gaBouncyCircles::kCount; ++i) {
        EXPECT_EQ(c.x[i], 240.0f);
        EXPECT_EQ(c.y[i], 240.0f);
        EXPECT_TRUE(c.vx[i] >= -10 && c.vx[i] < 10 && c.vy[i] >= -10 && c.vy[i] < 10) << i;
        EXPECT_TRUE(c.radius[i] >= 1 && c.radius[i] < 10) << i;
        for (const int channel : {c.red[i], c.green[i], c.blue[i]})
            EXPECT_TRUE(channel >= 0 && channel <= 254) << i;
    }
}

// A circle that crosses an edge is put back on it and flies back at the speed
// it had.
TEST_F(BouncyCirclesTest, EdgesReflectWithTheSpeedKept)
{
    struct Case
    {
        const char* edge;
        float x, y, vx, vy; // before the frame
        float endX, endY;   // after it: on the edge
        float endVx, endVy;
    };
    const float fast = 7 * kFriction; // 6.993 after friction
    const float fall = 7 * kFriction + kGravity;
    const float rise = -7 * kFriction + kGravity;
    const Case cases[] = {
        {"right, at x = 485", 478, 200, 7, 0, 480, 200 + kGravity, -fast, kGravity},
        {"left", 2, 200, -7, 0, 0, 200 + kGravity, fast, kGravity},
        {"bottom", 200, 478, 0, 7, 200, 480, 0, -fall},
        {"top", 200, 2, 0, -7, 200, 0, 0, -rise},
    };
    for (const Case& c : cases) {
        gaBouncyCircles::Circles& circles = app.circles();
        circles.x[0] = c.x;
        circles.y[0] = c.y;
        circles.vx[0] = c.vx;
        circles.vy[0] = c.vy;
        app.update();
        EXPECT_EQ(circles.x[0], c.endX) << c.edge;
        EXPECT_NEAR(circles.y[0], c.endY, 1e-4) << c.edge;
        EXPECT_NEAR(circles.vx[0], c.endVx, 1e-6) << c.edge;
        EXPECT_NEAR(circles.vy[0], c.endVy, 1e-6) << c.edge;
    }
}

TEST_F(BouncyCirclesTest, SwarmStaysOnTheCanvasAndKeepsItsEnergyBounded)
{
    const gaBouncyCircles::Circles& c = app.circles();
    for (int frame = 0; frame < 3000; ++frame)
        app.update();
    for (int i = 0; i < gaBouncyCircles::kCount; ++i) {
        EXPECT_TRUE(c.x[i] >= 0 && c.x[i] <= 480 && c.y[i] >= 0 && c.y[i] <= 480) << i;
        // Friction only takes energy away: never faster than the start (at most
        // 10 across and 10 down) plus the fall through the canvas.
        EXPECT_LT(std::hypot(c.vx[i], c.vy[i]), std::hypot(10.0, 10.0 + std::sqrt(2 * 0.1 * 480))) << i;
    }
}

TEST_F(BouncyCirclesTest, HeldButtonPullsEveryCircleToThePressPointAndReleaseScattersThem)
{
    app.mouseX = 100; // the canvas stores the press point, then calls mousePressed
    app.mouseY = 300;
    app.mousePressed(100, 300, 0);
    app.mouseDragged(400, 50, 0); // the pointer moves on, the target stays
    for (int frame = 0; frame < 100; ++frame)
        app.update();
    const gaBouncyCircles::Circles& c = app.circles();
    for (int i = 0; i < gaBouncyCircles::kCount; ++i) {
        EXPECT_NEAR(c.x[i], 100.0f, 0.01f) << i;
        // Gravity holds each circle a little below: 0.1 / (0.125 x 0.999).
        EXPECT_NEAR(c.y[i], 300.0f + kGravity / (0.125f * kFriction), 0.01f) << i;
    }

    app.mouseReleased(400, 50, 0);
    EXPECT_FALSE(app.attracting());
    std::set<float> speeds;
    for (int i = 0; i < gaBouncyCircles::kCount; ++i) {
        EXPECT_TRUE(c.vx[i] >= -10 && c.vx[i] < 10 && c.vy[i] >= -10 && c.vy[i] < 10) << i;
        speeds.insert(std::hypot(c.vx[i], c.vy[i]));
    }
    EXPECT_GT(speeds.size(), 900u); // every circle its own burst velocity
}

} // namespace
