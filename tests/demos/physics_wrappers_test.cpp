// The physics wrappers in pixel units against closed-form motion: free fall,
// a ball resting on the ground edge, repulsion within its reach, attraction
// toward a point, collision filtering, set-up from the descriptions, and the
// circle's picture on the canvas.
#include "demos/physics_wrappers.h"
#include "physics/dynamics/callbacks.h"
#include "tests/demos/canvas_fixture.h"

#include <cmath>
#include <numbers>

namespace {

using lmd::test::CanvasTest;

constexpr float kFps = 60.0f;
constexpr float kDt = 1.0f / kFps;
constexpr float kPpm = 30.0f;

class PhysicsWrappersTest : public CanvasTest
{
protected:
    void Steps(int count)
    {
        for (int n = 0; n < count; ++n)
            physics.update();
    }

    gaxPhysics physics; // before the shapes, which go first
};

TEST_F(PhysicsWrappersTest, InitMakesAWorldAtThirtyPixelsPerMeter)
{
    pixelsPerMeter = 12.0f;
    physics.setGravity(0, 5); // no world yet: nothing
    EXPECT_EQ(physics.getWorld(), nullptr);
    physics.init(kFps, 0, 10);
    EXPECT_EQ(pixelsPerMeter, kPpm);
    ASSERT_NE(physics.getWorld(), nullptr);
    EXPECT_EQ(physics.getWorld()->GetGravity(), phVector(0, 10));
    EXPECT_TRUE(physics.getWorld()->GetAllowSleeping());
    EXPECT_EQ(physics.velocityIterations, 8);
    EXPECT_EQ(physics.positionIterations, 3);
    EXPECT_EQ(physics.particleIterations, 1);
    physics.setGravity(0, 1);
    EXPECT_EQ(physics.getWorld()->GetGravity(), phVector(0, 1));
    EXPECT_EQ(physics.gravityY, 10.0f); // the fields keep init's values
}

TEST_F(PhysicsWrappersTest, CircleFallsHalfGTSquaredInPixels)
{
    physics.init(kFps, 0, 10);
    gaxPhysicsCircle ball;
    ball.setMaterial(1, 0, 0);
    ball.setup(physics.getWorld(), 240, 30, 6);
    ASSERT_EQ(ball.getBody()->GetType(), phDynamicBody);
    for (int n = 1; n <= 90; ++n) {
        physics.update();
        // The integrator's own closed form (velocity first, then position) and
        // the continuous one it approaches.
        const double stepped = 10.0 * kDt * kDt * n * (n + 1) / 2 * kPpm;
        const double t = n * kDt;
        ASSERT_NEAR(ball.getPosition().y - 30, stepped, 1e-3 * stepped + 1e-3) << "after " << n << " steps";
        ASSERT_NEAR(ball.getPosition().y - 30, 0.5 * 10.0 * t * t * kPpm, 10.0 * t * kDt * kPpm / 2 + 1e-3);
        ASSERT_FLOAT_EQ(ball.getPosition().x, 240);
    }
}

TEST_F(PhysicsWrappersTest, StillBodies)
{
    const struct
    {
        const char* name;
        float density;
        float fps;
    } cases[] = {{"density 0 makes a static body", 0, kFps}, {"fps 0 steps by nothing", 1, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        physics.init(c.fps, 0, 10);
        gaxPhysicsCircle ball;
        ball.setMaterial(c.density, 0.5f, 0.1f);
        ball.setVelocity(0, 2);
        ball.setup(physics.getWorld(), 100, 100, 8);
        Steps(30);
        EXPECT_FLOAT_EQ(ball.getPosition().x, 100);
        EXPECT_FLOAT_EQ(ball.getPosition().y, 100);
    }
}

TEST_F(PhysicsWrappersTest, BallComesToRestOnTheGroundEdgeAndSleeps)
{
    physics.init(kFps, 0, 10);
    physics.createGround(0, 480, 480, 480);
    gaxPhysicsCircle ball;
    ball.setMaterial(1, 0.5f, 0.1f);
    ball.setup(physics.getWorld(), 240, 400, 10);
    Steps(300);
    // Resting where its radius meets the edge's skin (0.01 m), within the
    // engine's slop (0.005 m).
    const float rest = 480 - 10 - 0.01f * kPpm;
    EXPECT_NEAR(ball.getPosition().y, rest, 0.005f * kPpm + 0.05f);
    EXPECT_NEAR(ball.getPosition().x, 240, 0.05f);
    EXPECT_FALSE(ball.getBody()->IsAwake());

    // Drawn: a red disc, a black radius line, veiled in white while asleep.
    gaSetColor(0xFFFF0000);
    ball.draw();
    EndFrame();
    const QPoint c(240, static_cast<int>(ball.getPosition().y)); // the row the 1-pixel line covers
    const QRgb line = canvas.pixel(c + QPoint(5, 0));
    EXPECT_NEAR(qRed(line), 100, 2) << "the black radius line under the veil";
    EXPECT_EQ(qRed(line), qGreen(line));
    const QRgb disc = canvas.pixel(c + QPoint(-5, 4));
    EXPECT_EQ(qRed(disc), 255);
    EXPECT_NEAR(qGreen(disc), 100, 2) << "the veil of a sleeping body";
    EXPECT_EQ(canvas.pixel(c + QPoint(0, -12)), 0xFF000000u) << "outside the disc";
}

TEST_F(PhysicsWrappersTest, UnderTheSnowsGravityAStillBallSleepsAndARollingOneDoesNot)
{
    // The falling snow's world: gravity 1 m/s^2 (30 px/s^2), snowball material.
    physics.init(kFps, 0, 10);
    physics.setGravity(0, 1);
    physics.createGround(0, 480, 480, 480);
    gaxPhysicsCircle still;
    still.setMaterial(1, 0.5f, 0.1f);
    still.setup(physics.getWorld(), 100, 480 - 8 - 2, 8);
    gaxPhysicsCircle rolling;
    rolling.setMaterial(1, 0.5f, 0.1f);
    rolling.setup(physics.getWorld(), 200, 480 - 8 - 2, 8);
    rolling.setVelocity(0.3f, 0); // 9 px/s: a slow snowball's sideways drift
    int sleptAt = -1;
    for (int n = 1; n <= 600; ++n) {
        physics.update();
        if (sleptAt < 0 && !still.getBody()->IsAwake())
            sleptAt = n;
    }
    ASSERT_GT(sleptAt, 0) << "a still ball on the ground sleeps, alone in its island";
    EXPECT_LE(sleptAt, 120);
    // Friction turns the drift into rolling, and nothing brakes a rolling ball:
    // it stays awake however long it rolls.
    EXPECT_TRUE(rolling.getBody()->IsAwake());
    const phVector v = rolling.getBody()->GetLinearVelocity();
    EXPECT_GT(v.x, 0.1f);
    EXPECT_NEAR(rolling.getBody()->GetAngularVelocity() * 8 / kPpm, v.x, 0.01f) << "rolling without slipping";
}

TEST_F(PhysicsWrappersTest, CircleDrawnAwakeWithoutVeil)
{
    physics.init(kFps, 0, 0);
    gaxPhysicsCircle ball;
    ball.setMaterial(1, 0, 0);
    ball.setup(physics.getWorld(), 100, 100, 10);
    gaSetColor(0xFFFFFFFF);
    ball.draw();
    EndFrame();
    EXPECT_EQ(lmd::test::InkBox(canvas), QRect(90, 90, 20, 20));
    EXPECT_EQ(canvas.pixel(95, 104), 0xFFFFFFFFu);
    EXPECT_EQ(canvas.pixel(105, 100), 0xFF000000u);
    EXPECT_EQ(currentCore->drawColor, 0xFF000000u); // left changed
}

TEST_F(PhysicsWrappersTest, RepulsionActsOnlyWithinTheSquaredRadius)
{
    const struct
    {
        float distance; // pixels from the body to the point
        float radius;   // compared with the squared distance in metres
        bool acts;
    } cases[] = {{27, 1, true}, {-27, 1, true},    {33, 1, false},
                 {0, 1, true},  {27, 0.85f, true}, {27, 0.8f, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.distance << " px, radius " << c.radius);
        physics.init(kFps, 0, 0);
        gaxPhysicsCircle ball;
        ball.setMaterial(1, 0, 0);
        ball.setup(physics.getWorld(), 100, 100, 5);
        ball.addRepulsionForce({100 + c.distance, 100}, c.radius, 2);
        physics.update();
        // Force -d × amount with d in metres, unnormalised: a = F / m over one step.
        const float mass = std::numbers::pi_v<float> * (5 / kPpm) * (5 / kPpm);
        const float expected = c.acts ? -(c.distance / kPpm) * 2 / mass * kDt : 0;
        EXPECT_NEAR(ball.getBody()->GetLinearVelocity().x, expected, 1e-4f * std::fabs(expected) + 1e-7f);
        EXPECT_EQ(ball.getBody()->GetLinearVelocity().y, 0);
        EXPECT_EQ(ball.getBody()->GetAngularVelocity(), 0);
    }
}

TEST_F(PhysicsWrappersTest, AttractionPullsEveryCornerTowardThePoint)
{
    physics.init(kFps, 0, 0);
    gaxPhysicsRect box;
    box.setMaterial(1, 0, 0);
    box.setup(physics.getWorld(), 100, 100, 30, 30, 0); // 1 m square: 1 kg
    box.addAttractionPoint({160, 100}, 0.5f);
    physics.update();
    // Four corners, each (point - corner) × 0.5: in sum 4 × 0.5 × 2 m = 4 N toward
    // the point, and no torque about the centre.
    EXPECT_NEAR(box.getBody()->GetLinearVelocity().x, 4 * kDt, 1e-5f);
    EXPECT_NEAR(box.getBody()->GetLinearVelocity().y, 0, 1e-6f);
    EXPECT_NEAR(box.getBody()->GetAngularVelocity(), 0, 1e-5f);
}

TEST_F(PhysicsWrappersTest, BoxAngleInDegreesAndItsSize)
{
    physics.init(kFps, 0, 10);
    gaxPhysicsRect box;
    box.setup(physics.getWorld(), 60, 90, 40, 20, 90);
    EXPECT_FLOAT_EQ(box.getBody()->GetAngle(), std::numbers::pi_v<float> / 2);
    EXPECT_EQ(box.getBody()->GetType(), phStaticBody);
    EXPECT_FLOAT_EQ(box.getHalfWidth(), 20);
    EXPECT_FLOAT_EQ(box.getHalfHeight(), 10);
    EXPECT_FLOAT_EQ(box.getPosition().x, 60);
    EXPECT_FLOAT_EQ(box.getPosition().y, 90);
}

TEST_F(PhysicsWrappersTest, NegativeGroupSetBeforeSetupKeepsBoxesApart)
{
    for (const std::int16_t group : {std::int16_t(0), std::int16_t(-1)}) {
        SCOPED_TRACE(testing::Message() << "group " << group);
        physics.init(kFps, 0, 10);
        gaxPhysicsRect shelf;
        shelf.fixture.filter.groupIndex = group;
        shelf.setup(physics.getWorld(), 240, 300, 200, 20, 0);
        gaxPhysicsRect box;
        box.setMaterial(1, 0, 0.5f);
        box.fixture.filter.groupIndex = group;
        box.setup(physics.getWorld(), 240, 250, 10, 10, 0);
        EXPECT_EQ(box.getBody()->GetFixtureList()->GetFilterData().groupIndex, group);
        Steps(90);
        if (group < 0) {
            EXPECT_GT(box.getPosition().y, 320) << "falls through the shelf";
        } else {
            EXPECT_NEAR(box.getPosition().y, 300 - 10 - 5, 1.0f) << "rests on the shelf";
        }
    }
}

TEST_F(PhysicsWrappersTest, DescriptionsFilledBeforeSetup)
{
    physics.init(kFps, 0, 10);
    gaxPhysicsCircle ball;
    ball.setMaterial(2, 0.25f, 0.75f);
    ball.setVelocity(3, 0);
    ball.enableGravity(false);
    ball.setup(physics.getWorld(), 50, 50, 6);
    const phFixture& fixture = *ball.getBody()->GetFixtureList();
    EXPECT_EQ(fixture.GetDensity(), 2);
    EXPECT_EQ(fixture.GetRestitution(), 0.25f);
    EXPECT_EQ(fixture.GetFriction(), 0.75f);
    EXPECT_EQ(ball.getBody()->GetLinearVelocity(), phVector(3, 0));
    EXPECT_EQ(ball.getBody()->GetGravityScale(), 0);

    // A box starts from a fresh body description.
    gaxPhysicsRect box;
    box.setMaterial(1, 0, 0);
    box.setVelocity(3, 0);
    box.enableGravity(false);
    box.setup(physics.getWorld(), 200, 50, 10, 10, 0);
    EXPECT_EQ(box.getBody()->GetLinearVelocity(), phVector(0, 0));
    EXPECT_EQ(box.getBody()->GetGravityScale(), 1);
}

TEST_F(PhysicsWrappersTest, RefusedSetupLeavesAShapeWithoutBody)
{
    gaxPhysicsCircle ball;
    ball.setup(nullptr, 10, 10, 5);
    EXPECT_EQ(ball.getBody(), nullptr);
    EXPECT_FALSE(ball.isAlive());
    ball.setPosition(5, 5);
    ball.addForce({1, 0}, 2);
    ball.addRepulsionForce({10, 10}, 1, 1);
    ball.destroy();
    ball.draw();
    EndFrame();
    EXPECT_TRUE(lmd::test::InkBox(canvas).isEmpty());
}

TEST_F(PhysicsWrappersTest, DestroyingTwiceDestroysOnce)
{
    physics.init(kFps, 0, 10);
    physics.createGround(0, 480, 480, 480);
    physics.createGround(0, 470, 480, 470); // replaces the first
    EXPECT_EQ(physics.getWorld()->GetBodyCount(), 1);
    gaxPhysicsCircle ball;
    ball.setMaterial(1, 0, 0);
    ball.setup(physics.getWorld(), 50, 50, 6);
    EXPECT_TRUE(ball.isAlive());
    EXPECT_EQ(physics.getWorld()->GetBodyCount(), 2);
    ball.destroy();
    EXPECT_FALSE(ball.isAlive());
    EXPECT_EQ(ball.getBody(), nullptr);
    ball.destroy();
    EXPECT_EQ(physics.getWorld()->GetBodyCount(), 1);
}

TEST_F(PhysicsWrappersTest, SetPositionMovesAndWakes)
{
    physics.init(kFps, 0, 10);
    gaxPhysicsRect box;
    box.setMaterial(1, 0, 0);
    box.setup(physics.getWorld(), 10, 10, 10, 10, 45);
    box.setPosition(120, 60);
    EXPECT_FLOAT_EQ(box.getPosition().x, 120);
    EXPECT_FLOAT_EQ(box.getPosition().y, 60);
    EXPECT_FLOAT_EQ(box.getBody()->GetAngle(), std::numbers::pi_v<float> / 4);
    EXPECT_TRUE(box.getBody()->IsAwake());
}

} // namespace

namespace {

// Destroys a shape from inside the world's step, as a careless demo might.
class DestroyOnContact : public phContactListener
{
public:
    explicit DestroyOnContact(gaxPhysicsBaseShape& shape) : m_shape(shape) {}
    void BeginContact(phContact*) override
    {
        m_shape.destroy();
        ++calls;
    }
    int calls = 0;

private:
    gaxPhysicsBaseShape& m_shape;
};

TEST_F(PhysicsWrappersTest, DestroyRefusedInsideAStepKeepsTheBody)
{
    physics.init(kFps, 0, 10);
    physics.createGround(0, 480, 480, 480);
    gaxPhysicsCircle ball;
    ball.setMaterial(1, 0, 0);
    ball.setup(physics.getWorld(), 240, 465, 10);
    DestroyOnContact listener(ball);
    physics.getWorld()->SetContactListener(&listener);
    Steps(30);
    ASSERT_GT(listener.calls, 0);
    EXPECT_TRUE(ball.isAlive()) << "the world was stepping: the body stays the shape's";
    ASSERT_NE(ball.getBody(), nullptr);
    EXPECT_EQ(physics.getWorld()->GetBodyCount(), 2);
    physics.getWorld()->SetContactListener(phGetDefaultContactListener());
    ball.destroy();
    EXPECT_FALSE(ball.isAlive());
    EXPECT_EQ(physics.getWorld()->GetBodyCount(), 1);
}

} // namespace
