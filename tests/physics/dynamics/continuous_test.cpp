// Continuous collision, determinism and allocation-free stepping.
#include "physics/common/allocation.h"
#include "physics/dynamics/world.h"
#include "tests/physics/scenes.h"
#include "tests/support/alloc_counter.h"

#include <gtest/gtest.h>
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
