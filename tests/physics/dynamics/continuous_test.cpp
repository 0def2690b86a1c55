// Continuous collision, determinism and allocation-free stepping.
#include "physics/common/allocation.h"
#include "physics/dynamics/callbacks.h"
#include "physics/dynamics/contact.h"
#include "physics/dynamics/world.h"
#include "tests/physics/scenes.h"
#include "tests/support/alloc_counter.h"

#include <gtest/gtest.h>
#include <map>
#include <random>

using namespace phtest;

namespace {

// Count of circles that ended below a thin static edge at y = 0 after being
// fired at it from above, fast enough to cross it within one step.
int TunnelledCircles(bool continuous)
{
    auto world = MakeWorld({0.0f, 0.0f});
    world->SetContinuousPhysics(continuous);
    AddGround(*world, 60.0f);
    std::mt19937 rng(23);
    std::uniform_real_distribution<float> u(0.0f, 1.0f);
    const phCircleShape circle = MakeCircle(0.03f);
    std::vector<phBody*> circles;
    for (int i = 0; i < 1000; ++i) {
        phBody* const body =
            AddBody(*world, phDynamicBody, {-50.0f + 0.1f * static_cast<float>(i), 0.5f + u(rng)});
        AddShape(body, circle);
        body->SetLinearVelocity({0.0f, -(100.0f + 19.0f * u(rng))});
        circles.push_back(body);
    }
    for (int n = 0; n < 10; ++n) {
        world->Step(kStep, 8, 3);
    }
    int below = 0;
    for (const phBody* body : circles) {
        below += body->GetPosition().y < 0.0f;
    }
    return below;
}

} // namespace

TEST(ContinuousTest, FastCirclesNeverTunnelThroughThinEdge)
{
    EXPECT_EQ(TunnelledCircles(true), 0);
    EXPECT_GT(TunnelledCircles(false), 500);
}

TEST(ContinuousTest, FastCircleStopsAtBoxFace)
{
    auto world = MakeWorld({0.0f, 0.0f});
    phBody* const wall = AddBody(*world, phStaticBody, {0.0f, 0.0f});
    AddShape(wall, MakeBox(0.05f, 2.0f), 0.0f);
    phBody* const ball = AddBody(*world, phDynamicBody, {-1.5f, 0.0f});
    AddShape(ball, MakeCircle(0.1f));
    ball->SetLinearVelocity({110.0f, 0.0f});
    world->Step(kStep, 8, 3);
    EXPECT_LT(ball->GetPosition().x, -0.05f);
    EXPECT_GT(ball->GetPosition().x, -0.05f - 0.1f - 2.0f * phPolygonRadius - phLinearSlop);
}

namespace {

phBody* AddBullet(phWorld& world, phVector position, phVector velocity)
{
    phBodyDesc desc;
    desc.type = phDynamicBody;
    desc.bullet = true;
    desc.position = position;
    desc.linearVelocity = velocity;
    return world.CreateBody(desc);
}

// Counts the post-solve reports of every contact, and can disable every
// contact before it is solved (a pass-through surface).
class CountingListener : public phContactListener
{
public:
    void PreSolve(phContact* contact, const phLocalManifold*) override
    {
        if (disable) {
            contact->SetEnabled(false);
        }
    }
    void PostSolve(phContact* contact, const phContactImpulse*) override { ++reports[contact]; }

    bool disable = false;
    std::map<const phContact*, int> reports;
};

} // namespace

// Equal circles, the second at rest, restitution 1, head on: the velocities
// are exchanged. The moving one is a bullet and fast enough to pass through
// the other within one step if it were not swept.
TEST(ContinuousTest, BulletHitsDynamicBodyAndExchangesVelocity)
{
    for (const bool bullet : {true, false}) {
        SCOPED_TRACE(bullet ? "bullet" : "plain");
        auto world = MakeWorld({0.0f, 0.0f});
        const phCircleShape circle = MakeCircle(0.05f);
        phBody* const shot = bullet ? AddBullet(*world, {-1.0f, 0.0f}, {110.0f, 0.0f})
                                    : AddBody(*world, phDynamicBody, {-1.0f, 0.0f});
        shot->SetLinearVelocity({110.0f, 0.0f});
        AddShape(shot, circle, 1.0f, 0.0f, 1.0f);
        phBody* const target = AddBody(*world, phDynamicBody, {0.0f, 0.0f});
        AddShape(target, circle, 1.0f, 0.0f, 1.0f);
        const float momentum = shot->GetMass() * 110.0f;
        for (int n = 0; n < 3; ++n) {
            world->Step(kStep, 8, 3);
        }
        const float total = shot->GetMass() * shot->GetLinearVelocity().x +
                            target->GetMass() * target->GetLinearVelocity().x;
        EXPECT_NEAR(total, momentum, 1e-4f * momentum);
        if (bullet) {
            EXPECT_LT(shot->GetPosition().x, target->GetPosition().x);
            EXPECT_NEAR(shot->GetLinearVelocity().x, 0.0f, 0.5f);
            EXPECT_NEAR(target->GetLinearVelocity().x, 110.0f, 0.5f);
        } else {
            EXPECT_GT(shot->GetPosition().x, target->GetPosition().x); // passed through
        }
    }
}

// A fast kinematic plate meets a circle at rest. With restitution 0 the
// circle leaves with the plate's velocity, in front of the plate.
TEST(ContinuousTest, KinematicPlateSweepsRestingCircle)
{
    for (const bool continuous : {true, false}) {
        SCOPED_TRACE(continuous ? "continuous" : "discrete");
        auto world = MakeWorld({0.0f, 0.0f});
        world->SetContinuousPhysics(continuous);
        phBody* const plate = AddBody(*world, phKinematicBody, {-1.0f, 0.0f});
        AddShape(plate, MakeBox(0.02f, 1.0f), 0.0f, 0.0f);
        plate->SetLinearVelocity({90.0f, 0.0f});
        phBody* const ball = AddBody(*world, phDynamicBody, {0.0f, 0.0f});
        AddShape(ball, MakeCircle(0.1f), 1.0f, 0.0f);
        for (int n = 0; n < 3; ++n) {
            world->Step(kStep, 8, 3);
        }
        if (continuous) {
            EXPECT_GT(ball->GetPosition().x, plate->GetPosition().x + 0.1f);
            EXPECT_NEAR(ball->GetLinearVelocity().x, 90.0f, 0.5f);
        } else {
            EXPECT_LT(ball->GetPosition().x, plate->GetPosition().x); // left behind
        }
    }
}

// A circle racing between two close walls with restitution 1 would bounce
// some 25 times in one step; each wall contact takes at most 9 impacts
// (counts 0 to 8), after which it is ignored for the rest of the step.
TEST(ContinuousTest, ContactIsIgnoredAfterNineImpactsInOneStep)
{
    auto world = MakeWorld({0.0f, 0.0f});
    CountingListener listener;
    world->SetContactListener(&listener);
    phBody* const walls = AddBody(*world, phStaticBody, {0.0f, 0.0f});
    const phEdgeShape left = MakeEdge({-0.15f, -1.0f}, {-0.15f, 1.0f});
    const phEdgeShape right = MakeEdge({0.15f, -1.0f}, {0.15f, 1.0f});
    AddShape(walls, left, 0.0f, 0.0f, 1.0f);
    AddShape(walls, right, 0.0f, 0.0f, 1.0f);
    phBody* const ball = AddBody(*world, phDynamicBody, {0.0f, 0.0f});
    AddShape(ball, MakeCircle(0.1f), 1.0f, 0.0f, 1.0f);
    world->Step(0.0f, 8, 3); // contacts made, nothing touching yet
    ASSERT_EQ(world->GetContactCount(), 2);
    ball->SetLinearVelocity({110.0f, 0.0f});
    world->Step(kStep, 8, 3);
    ASSERT_EQ(listener.reports.size(), 2u);
    for (const auto& [contact, reports] : listener.reports) {
        EXPECT_EQ(reports, phMaxSubSteps + 1);
    }
    world->SetContactListener(nullptr);
}

// A listener that disables every contact makes the box a ghost: the impact
// found for the fast circle does not hold, the circle goes back to the end of
// its discrete step and flies on as if nothing were there.
TEST(ContinuousTest, ContactDisabledByUpdateRestoresBodies)
{
    auto world = MakeWorld({0.0f, 0.0f});
    CountingListener listener;
    listener.disable = true;
    world->SetContactListener(&listener);
    phBody* const wall = AddBody(*world, phStaticBody, {0.0f, 0.0f});
    AddShape(wall, MakeBox(0.05f, 2.0f), 0.0f);
    phBody* const ball = AddBody(*world, phDynamicBody, {-1.0f, 0.0f});
    AddShape(ball, MakeCircle(0.1f));
    ball->SetLinearVelocity({90.0f, 0.0f});
    for (int n = 1; n <= 3; ++n) {
        world->Step(kStep, 8, 3);
        EXPECT_NEAR(ball->GetPosition().x, -1.0f + 90.0f * kStep * static_cast<float>(n), 1e-4f) << n;
    }
    EXPECT_FLOAT_EQ(ball->GetLinearVelocity().x, 90.0f);
    EXPECT_TRUE(listener.reports.empty());
    world->SetContactListener(nullptr);
}

// A fast circle bounces off a wall and, later in the same step, meets a
// ledge that was out of its reach when the step began (no contact with it
// existed): the contact made after the first impact is swept too.
TEST(ContinuousTest, ContactMadeByAnImpactIsSweptInTheSameStep)
{
    for (const bool continuous : {true, false}) {
        SCOPED_TRACE(continuous ? "continuous" : "discrete");
        auto world = MakeWorld({0.0f, 0.0f});
        world->SetContinuousPhysics(continuous);
        phBody* const walls = AddBody(*world, phStaticBody, {0.0f, 0.0f});
        const phEdgeShape wall = MakeEdge({0.5f, -1.0f}, {0.5f, 2.0f});
        const phEdgeShape ledge = MakeEdge({-2.0f, 0.8f}, {-0.35f, 0.8f});
        AddShape(walls, wall, 0.0f, 0.0f, 1.0f);
        AddShape(walls, ledge, 0.0f, 0.0f, 1.0f);
        phBody* const ball = AddBody(*world, phDynamicBody, {0.0f, 0.0f});
        AddShape(ball, MakeCircle(0.1f), 1.0f, 0.0f, 1.0f);
        ball->SetLinearVelocity({100.0f, 60.0f});
        world->Step(kStep, 8, 3);
        if (continuous) {
            EXPECT_LT(ball->GetPosition().y, 0.8f);
            EXPECT_NEAR(ball->GetLinearVelocity().x, -100.0f, 0.5f);
            EXPECT_NEAR(ball->GetLinearVelocity().y, -60.0f, 0.5f);
        } else {
            EXPECT_GT(ball->GetPosition().x, 0.5f); // through the wall
        }
    }
}

TEST(ContinuousTest, SceneIsBitIdenticalAcrossRuns)
{
    auto run = [] {
        auto world = MakeWorld();
        world->SetAllowSleeping(false);
        AddPyramid(*world, 5);
        const phCircleShape circle = MakeCircle(0.2f);
        for (int i = 0; i < 40; ++i) {
            phBody* const body = AddBody(*world, phDynamicBody,
                                         {-4.0f + 0.23f * static_cast<float>(i), 8.0f + 0.5f * (i % 5)});
            AddShape(body, circle, 1.0f, 0.3f, 0.3f);
        }
        for (int n = 0; n < 10000; ++n) {
            if (n % 1000 == 500) {
                // Stir the scene so that it never settles.
                for (phBody* b = world->GetBodyList(); b != nullptr; b = b->GetNext()) {
                    b->ApplyLinearImpulse({0.0f, 3.0f * b->GetMass()}, b->GetWorldCenter());
                }
            }
            world->Step(kStep, 8, 3);
        }
        return HashWorld(*world);
    };
    const uint64_t first = run();
    EXPECT_EQ(run(), first);
}

TEST(ContinuousTest, SteadyStepsDoNotAllocate)
{
    auto world = MakeWorld();
    world->SetAllowSleeping(false);
    AddCirclePile(*world, 300);
    AddPyramid(*world, 10);
    for (int n = 0; n < 240; ++n) {
        world->Step(kStep, 8, 3);
    }
    const int64_t engineBefore = phGetAllocationTotal();
    const auto newBefore = lmd::test::AllocationCount();
    for (int n = 0; n < 60; ++n) {
        world->Step(kStep, 8, 3);
    }
    EXPECT_EQ(phGetAllocationTotal(), engineBefore);
    EXPECT_EQ(lmd::test::AllocationCount() - newBefore, 0);
    EXPECT_GT(world->GetContactCount(), 1000); // solver scratch well beyond the 100 KB arena
}
