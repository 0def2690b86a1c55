// Closed-form physics against the island solver.
#include "physics/dynamics/contact.h"
#include "physics/dynamics/world.h"
#include "tests/physics/scenes.h"

#include <cmath>
#include <gtest/gtest.h>
#include <vector>

using namespace phtest;

TEST(SolverTest, FreeFallMatchesSemiImplicitEuler)
{
    auto world = MakeWorld({0.0f, -9.8f});
    phBody* const body = AddBody(*world, phDynamicBody, {0.0f, 100.0f});
    AddShape(body, MakeCircle(0.5f));
    for (int n = 1; n <= 120; ++n) {
        world->Step(kStep, 8, 3);
        const float expected = -9.8f * kStep * static_cast<float>(n);
        ASSERT_NEAR(body->GetLinearVelocity().y, expected, 1e-5f * std::fabs(expected)) << "step " << n;
    }
    // Position: sum of the velocities times h.
    const float h = kStep;
    const float expectedY = 100.0f - 9.8f * h * h * 120.0f * 121.0f / 2.0f;
    EXPECT_NEAR(body->GetPosition().y, expectedY, 1e-3f);
}

TEST(SolverTest, DampingScalesVelocityEveryStep)
{
    auto world = MakeWorld({0.0f, 0.0f});
    phBody* const body = AddBody(*world, phDynamicBody, {0.0f, 0.0f});
    AddShape(body, MakeBox(0.5f, 0.5f));
    body->SetLinearVelocity({10.0f, 0.0f});
    body->SetAngularVelocity(4.0f);
    body->SetLinearDamping(0.5f);
    body->SetAngularDamping(2.0f);
    for (int n = 1; n <= 60; ++n) {
        world->Step(kStep, 8, 3);
        const float v = 10.0f * std::pow(1.0f / (1.0f + kStep * 0.5f), static_cast<float>(n));
        const float w = 4.0f * std::pow(1.0f / (1.0f + kStep * 2.0f), static_cast<float>(n));
        ASSERT_NEAR(body->GetLinearVelocity().x, v, 1e-4f * v);
        ASSERT_NEAR(body->GetAngularVelocity(), w, 1e-4f * w);
    }
}

TEST(SolverTest, RestitutionHalvesTheImpactSpeed)
{
    auto world = MakeWorld({0.0f, 0.0f});
    AddGround(*world, 10.0f);
    phBody* const ball = AddBody(*world, phDynamicBody, {0.0f, 1.0f});
    AddShape(ball, MakeCircle(0.25f), 1.0f, 0.0f, 0.5f);
    ball->SetLinearVelocity({0.0f, -5.0f});
    float rebound = 0.0f;
    for (int n = 0; n < 120; ++n) {
        world->Step(kStep, 8, 3);
        rebound = std::max(rebound, ball->GetLinearVelocity().y);
    }
    EXPECT_NEAR(rebound, 2.5f, 0.05f);
}

// A ball dropped from rest under gravity bounces back to e² of its drop height
// each time (restitution e), until the impact speed falls below the 1 m/s
// threshold, under which the contact no longer bounces.
TEST(SolverTest, BouncesUnderGravityReachRestitutionSquaredHeights)
{
    const float g = 10.0f;
    const float drop = 5.0f; // the ball's bottom above the ground
    const float radius = 0.1f;
    for (const float e : {0.3f, 0.5f, 0.8f}) {
        SCOPED_TRACE(testing::Message() << "restitution " << e);
        auto world = MakeWorld({0.0f, -g});
        AddGround(*world, 10.0f);
        phBody* const ball = AddBody(*world, phDynamicBody, {0.0f, drop + radius});
        AddShape(ball, MakeCircle(radius), 1.0f, 0.0f, e);
        // Apexes: the highest bottom height between two impacts.
        std::vector<float> apexes;
        float apex = 0.0f;
        float previousVy = 0.0f;
        for (int n = 0; n < 60 * 12; ++n) {
            world->Step(kStep, 8, 3);
            const float vy = ball->GetLinearVelocity().y;
            const float bottom = ball->GetPosition().y - radius;
            if (previousVy > 0.0f && vy <= 0.0f) {
                apexes.push_back(apex);
            }
            apex = vy > 0.0f ? std::max(apex, bottom) : 0.0f;
            previousVy = vy;
        }
        // Bounces whose impact speed sqrt(2 g h) is well above 1 m/s.
        float expected = drop;
        size_t checked = 0;
        for (const float measured : apexes) {
            expected *= e * e;
            if (std::sqrt(2.0f * g * expected / (e * e)) < 2.0f) {
                break;
            }
            // One step's travel of error at the impact, either way.
            const float slack = 2.0f * std::sqrt(2.0f * g * expected / (e * e)) * kStep * e;
            EXPECT_NEAR(measured, expected, slack) << "bounce " << checked + 1;
            ++checked;
        }
        EXPECT_GE(checked, e > 0.5f ? 5u : 2u);
        EXPECT_LT(ball->GetPosition().y - radius, 0.01f) << "it comes to rest";
    }
}

// A post narrower than its skin stands on the ground: its two contact points
// nearly coincide, so the two-point block would be all but singular and the
// solver falls back to one point at a time. The post settles at the height of
// the skins and stays at rest, carrying its weight (m g per second).
TEST(SolverTest, PostWithNearlyCoincidentPointsRestsOnOnePointSolving)
{
    auto world = MakeWorld({0.0f, -10.0f});
    AddGround(*world, 5.0f);
    const float halfWidth = 0.0004f;
    const float halfHeight = 0.05f;
    phBody* const post = AddBody(*world, phDynamicBody, {0.0f, halfHeight + 2.0f * phPolygonRadius});
    post->SetFixedRotation(true); // it would topple otherwise, which is not the point here
    AddShape(post, MakeBox(halfWidth, halfHeight), 1.0f);
    for (int n = 0; n < 120; ++n) {
        world->Step(kStep, 8, 3);
    }
    ASSERT_EQ(world->GetContactCount(), 1);
    const phContact* const contact = world->GetContactList();
    ASSERT_EQ(contact->GetManifold()->pointCount, 2);
    const float impulse =
        contact->GetManifold()->points[0].normalImpulse + contact->GetManifold()->points[1].normalImpulse;
    EXPECT_NEAR(impulse, post->GetMass() * 10.0f * kStep, 0.05f * post->GetMass() * 10.0f * kStep);
    EXPECT_NEAR(post->GetLinearVelocity().y, 0.0f, 1e-3f);
    EXPECT_NEAR(post->GetPosition().y, halfHeight + phPolygonRadius, 2.0f * phLinearSlop);
}

TEST(SolverTest, SlidingDiscEndsRollingAtTwoThirdsSpeed)
{
    auto world = MakeWorld({0.0f, -10.0f});
    AddGround(*world, 200.0f, 0.0f, 0.5f);
    phBody* const disc = AddBody(*world, phDynamicBody, {0.0f, 0.5f - phPolygonRadius});
    AddShape(disc, MakeCircle(0.5f), 1.0f, 0.5f);
    // Let it settle, then launch it sliding without spin.
    for (int n = 0; n < 30; ++n) {
        world->Step(kStep, 8, 3);
    }
    const float v0 = 6.0f;
    disc->SetLinearVelocity({v0, 0.0f});
    disc->SetAngularVelocity(0.0f);
    for (int n = 0; n < 180; ++n) {
        world->Step(kStep, 8, 3);
    }
    const float r = 0.5f;
    EXPECT_NEAR(disc->GetLinearVelocity().x, 2.0f / 3.0f * v0, 0.01f * 2.0f / 3.0f * v0);
    // Rolling without slipping.
    EXPECT_NEAR(-disc->GetAngularVelocity() * r, disc->GetLinearVelocity().x,
                0.01f * disc->GetLinearVelocity().x);
}

TEST(SolverTest, SlidingBoxStopsAfterFrictionDistance)
{
    const float mu = 0.5f;
    const float g = 10.0f;
    auto world = MakeWorld({0.0f, -g});
    AddGround(*world, 100.0f, 0.0f, mu);
    phBody* const box = AddBody(*world, phDynamicBody, {0.0f, 0.5f});
    AddShape(box, MakeBox(0.5f, 0.5f), 1.0f, mu);
    for (int n = 0; n < 60; ++n) {
        world->Step(kStep, 8, 3);
    }
    const float x0 = box->GetPosition().x;
    const float v0 = 5.0f;
    box->SetLinearVelocity({v0, 0.0f});
    for (int n = 0; n < 240; ++n) {
        world->Step(kStep, 8, 3);
    }
    EXPECT_NEAR(box->GetLinearVelocity().x, 0.0f, 1e-3f);
    const float expected = v0 * v0 / (2.0f * mu * g);
    EXPECT_NEAR(box->GetPosition().x - x0, expected, 0.03f * expected);
    EXPECT_NEAR(box->GetAngle(), 0.0f, 1e-3f);
}

namespace {
float DeepestPenetration(phWorld& world)
{
    float deepest = 0.0f;
    for (phContact* c = world.GetContactList(); c != nullptr; c = c->GetNext()) {
        if (!c->IsTouching()) {
            continue;
        }
        phGlobalManifold manifold;
        c->GetWorldManifold(&manifold);
        for (int32_t i = 0; i < c->GetManifold()->pointCount; ++i) {
            deepest = std::max(deepest, -manifold.separations[i]);
        }
    }
    return deepest;
}

bool AllAsleep(phWorld& world)
{
    for (phBody* b = world.GetBodyList(); b != nullptr; b = b->GetNext()) {
        if (b->GetType() == phDynamicBody && b->IsAwake()) {
            return false;
        }
    }
    return true;
}
} // namespace

TEST(SolverTest, PyramidStandsAndSleeps)
{
    auto world = MakeWorld();
    AddPyramid(*world, 20);
    float deepest = 0.0f;
    int asleepAt = -1;
    for (int n = 1; n <= 600; ++n) {
        world->Step(kStep, 8, 3);
        deepest = std::max(deepest, DeepestPenetration(*world));
        if (asleepAt < 0 && AllAsleep(*world)) {
            asleepAt = n;
        }
    }
    EXPECT_LT(deepest, 0.02f);
    ASSERT_GT(asleepAt, 0);
    EXPECT_LE(asleepAt, 240) << "asleep after " << asleepAt * kStep << " s";
    // Still standing: the top box sank by no more than the slop of each layer.
    const float startTop = 0.5f + 2.0f * phPolygonRadius + 19.0f * (1.0f + 2.0f * phPolygonRadius);
    phVector top;
    for (phBody* b = world->GetBodyList(); b != nullptr; b = b->GetNext()) {
        if (b->GetPosition().y > top.y) {
            top = b->GetPosition();
        }
    }
    EXPECT_GT(top.y, startTop - 20.0f * phLinearSlop);
    EXPECT_NEAR(top.x, 0.0f, 0.05f);
}

TEST(SolverTest, BodiesMeetingOnlyThroughStaticGroundSleepApart)
{
    // Two balls on one ground edge, far apart: one at rest, one rolling on
    // (nothing brakes a rolling ball). The ground does not join them into one
    // island, so the resting one sleeps while the other rolls.
    auto world = MakeWorld();
    AddGround(*world, 20.0f);
    const phCircleShape circle = MakeCircle(0.25f);
    phBody* const still = AddBody(*world, phDynamicBody, {-5.0f, 0.25f});
    AddShape(still, circle);
    phBody* const rolling = AddBody(*world, phDynamicBody, {5.0f, 0.25f});
    AddShape(rolling, circle);
    rolling->SetLinearVelocity({1.0f, 0.0f});
    rolling->SetAngularVelocity(-1.0f / 0.25f);
    int sleptAt = -1;
    for (int n = 1; n <= 120; ++n) {
        world->Step(kStep, 8, 3);
        if (sleptAt < 0 && !still->IsAwake()) {
            sleptAt = n;
        }
    }
    ASSERT_GT(sleptAt, 0);
    EXPECT_LE(sleptAt * kStep, phTimeToSleep + 0.2f);
    EXPECT_TRUE(rolling->IsAwake());
    EXPECT_NEAR(rolling->GetLinearVelocity().x, 1.0f, 0.01f);
}

TEST(SolverTest, LaunchSpeedIsLimitedPerStep)
{
    auto world = MakeWorld({0.0f, 0.0f});
    phBody* const body = AddBody(*world, phDynamicBody, {0.0f, 0.0f});
    AddShape(body, MakeCircle(0.1f));
    body->SetLinearVelocity({200.0f, 0.0f});
    world->Step(kStep, 8, 3);
    EXPECT_NEAR(body->GetPosition().x, 2.0f, 1e-4f);
}

TEST(SolverTest, RestingBodySleepsAndAutoSleepOffKeepsIslandAwake)
{
    auto world = MakeWorld();
    AddGround(*world, 20.0f);
    phBody* const box = AddBody(*world, phDynamicBody, {0.0f, 0.5f});
    AddShape(box, MakeBox(0.5f, 0.5f));
    int sleptAt = -1;
    for (int n = 1; n <= 120 && sleptAt < 0; ++n) {
        world->Step(kStep, 8, 3);
        if (!box->IsAwake()) {
            sleptAt = n;
        }
    }
    ASSERT_GT(sleptAt, 0);
    EXPECT_GE(sleptAt * kStep, phTimeToSleep);
    EXPECT_EQ(box->GetLinearVelocity(), phVector());

    // A neighbour that may not sleep keeps its island awake.
    auto other = MakeWorld();
    AddGround(*other, 20.0f);
    phBodyDesc desc;
    desc.type = phDynamicBody;
    desc.position = {0.0f, 0.5f};
    desc.allowSleep = false;
    phBody* const restless = other->CreateBody(desc);
    AddShape(restless, MakeBox(0.5f, 0.5f));
    phBody* const onTop = AddBody(*other, phDynamicBody, {0.0f, 1.5f});
    AddShape(onTop, MakeBox(0.5f, 0.5f));
    for (int n = 0; n < 180; ++n) {
        other->Step(kStep, 8, 3);
    }
    EXPECT_TRUE(restless->IsAwake());
    EXPECT_TRUE(onTop->IsAwake());
}
