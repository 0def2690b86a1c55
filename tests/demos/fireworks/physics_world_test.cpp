// The actors' world against closed forms: free fall under the gravity field
// (the step's known error included), drag that decays the speed as the drag law
// does step by step, and the order of a step.
#include "demos/fireworks/physics_world.h"
#include "tests/demos/fireworks/scene_fixture.h"

#include <cmath>

namespace {

using lmd::test::SceneTest;

constexpr double kG = 9.80665;

class WorldTest : public SceneTest
{
protected:
    PhysicsBody& Body(float x, float y, float vx, float vy, PhysicsBodyComponent* component)
    {
        bodies.push_back(std::make_unique<Actor>());
        PhysicsBody& body = *bodies.back();
        body.x = x;
        body.y = y;
        body.vx = vx;
        body.vy = vy;
        body.component = component;
        world.bodies.push_back(&body);
        return body;
    }

    std::vector<std::unique_ptr<PhysicsBody>> bodies;
};

TEST_F(WorldTest, FreeFallFollowsTheParabolaWithinTheStepsKnownError)
{
    for (const float rate : {30.0f, 60.0f}) {
        app.core().frameRate = rate;
        world.forceFields.clear();
        world.bodies.clear();
        world.addForceField(std::make_unique<GravityForceField>(world.bodies));
        ImmutablePhysicsBodyComponent component(70.0f, 0.03f);
        struct Case
        {
            float x0, y0, vx0, vy0;
        };
        const Case cases[] = {{0, 480, 0, -100 / 30.0f}, {-40, 100, 1.5f, 0}, {12, 0, -2, 6}};
        for (const Case& c : cases)
            Body(c.x0, c.y0, c.vx0, c.vy0, &component);

        const int steps = 150;
        for (int n = 0; n < steps; ++n)
            world.step();
        const double g = kG / (rate * rate); // pixels per frame squared
        for (std::size_t i = 0; i < std::size(cases); ++i) {
            const Case& c = cases[i];
            const PhysicsBody& body = *world.bodies[i];
            const double t = steps;
            const double parabola = c.y0 + c.vy0 * t + g * t * t / 2;
            // Velocity first, then position with it: every step lands g / 2
            // further than the parabola, g t / 2 after t steps.
            EXPECT_NEAR(body.y - parabola, g * t / 2, 5e-3) << "case " << i << " at " << rate;
            EXPECT_NEAR(body.vy, c.vy0 + g * t, 1e-4);
            EXPECT_NEAR(body.x, c.x0 + c.vx0 * t, 5e-3); // float sums
            EXPECT_EQ(body.vx, c.vx0);
            EXPECT_EQ(body.fy, 0.0f); // the accumulator is cleared by the step
        }
    }
}

TEST_F(WorldTest, DragSlowsTheSpeedAsTheDragLawGivesStepByStep)
{
    world.addForceField(std::make_unique<StableAtmosphereDragForceField>(world.bodies));
    struct Case
    {
        float mass, radius, vx0, vy0;
    };
    const Case cases[] = {
        {0.2f, 0.05f, 400 / 30.0f, 0},     // a spark of the first burst
        {0.005f, 0.02f, 3.0f, -4.0f},      // a light speck, diagonally
        {70.0f, 0.03f, 0, -100 / 30.0f},   // a rocket barely notices
    };
    std::vector<std::unique_ptr<ImmutablePhysicsBodyComponent>> components;
    for (const Case& c : cases) {
        components.push_back(std::make_unique<ImmutablePhysicsBodyComponent>(c.mass, c.radius));
        Body(0, 0, c.vx0, c.vy0, components.back().get());
    }
    const int steps = 60;
    for (int n = 0; n < steps; ++n)
        world.step();

    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        // The speed loses c r^2 |v|^2 pi / 2 / m each step, along the velocity.
        const double k = c.radius * c.radius * std::numbers::pi / 2 / c.mass;
        double speed = std::hypot(c.vx0, c.vy0);
        double distance = 0;
        for (int n = 0; n < steps; ++n) {
            speed -= k * speed * speed;
            distance += speed;
        }
        const PhysicsBody& body = *world.bodies[i];
        EXPECT_NEAR(std::hypot(body.vx, body.vy), speed, speed * 1e-4) << "case " << i;
        EXPECT_NEAR(std::hypot(body.x, body.y), distance, distance * 1e-4) << "case " << i;
        // The direction stays.
        EXPECT_NEAR(body.vx * c.vy0 - body.vy * c.vx0, 0.0, 1e-4) << "case " << i;
    }
    EXPECT_LT(std::hypot(world.bodies[0]->vx, world.bodies[0]->vy), 400 / 30.0f * 0.6f); // sparks lose most
}

TEST_F(WorldTest, BodiesAtRestInTheAirGetNoDrag)
{
    world.addForceField(std::make_unique<StableAtmosphereDragForceField>(world.bodies));
    ImmutablePhysicsBodyComponent component(0.005f, 0.02f);
    PhysicsBody& still = Body(5, 6, 0, 0, &component);
    PhysicsBody& creeping = Body(5, 6, 1e-30f, -1e-30f, &component); // its speed squared is 0 in floats
    PhysicsBody& bare = Body(5, 6, 1, 1, nullptr);                   // no component: no size, no drag
    world.step();
    EXPECT_EQ(still.vx, 0.0f);
    EXPECT_EQ(still.vy, 0.0f);
    EXPECT_EQ(creeping.vx, 1e-30f);
    EXPECT_EQ(creeping.vy, -1e-30f);
    EXPECT_EQ(bare.x, 6.0f);
    EXPECT_EQ(bare.vy, 1.0f);
}

TEST_F(WorldTest, AStepAppliesTheFieldsThenRunsEachHookBeforeItsBodyMoves)
{
    // Records what a body looks like when its hook runs.
    class Probe : public ImmutablePhysicsBodyComponent
    {
    public:
        Probe() : ImmutablePhysicsBodyComponent(1, 0) {}
        void update(PhysicsBody& body) override { seen.push_back({body.fy, body.vy, body.y}); }
        std::vector<std::vector<float>> seen;
    };
    world.addForceField(std::make_unique<GravityForceField>(world.bodies));
    world.addForceField(std::make_unique<GravityForceField>(world.bodies));
    Probe probe;
    Body(0, 10, 0, 2, &probe);
    world.step();
    const float g = static_cast<float>(kG / 900);
    ASSERT_EQ(probe.seen.size(), 1u);
    EXPECT_FLOAT_EQ(probe.seen[0][0], 2 * g); // both fields added, nothing integrated yet
    EXPECT_EQ(probe.seen[0][1], 2.0f);
    EXPECT_EQ(probe.seen[0][2], 10.0f);
    EXPECT_FLOAT_EQ(world.bodies[0]->y, 12 + 2 * g);
}

} // namespace
