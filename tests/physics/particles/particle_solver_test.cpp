#include "physics/common/allocation.h"
#include "tests/physics/particles/particle_scenes.h"
#include "tests/support/alloc_counter.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <vector>

using namespace phtest;

namespace {

constexpr float g = 10.0f;

phVector TotalMomentum(const phParticleSystem& system)
{
    phVector sum;
    for (int32_t i = 0; i < system.GetParticleCount(); ++i) {
        sum += system.GetVelocityBuffer()[i];
    }
    return system.GetParticleMass() * sum;
}

// Mean over the particles of the distance to the nearest other particle.
float MeanNearestDistance(const phParticleSystem& system)
{
    const int32_t n = system.GetParticleCount();
    const phVector* const p = system.GetPositionBuffer();
    double sum = 0.0;
    for (int32_t i = 0; i < n; ++i) {
        float best = std::numeric_limits<float>::max();
        for (int32_t j = 0; j < n; ++j) {
            if (j != i) {
                best = std::min(best, phDistanceSquared(p[i], p[j]));
            }
        }
        sum += std::sqrt(best);
    }
    return static_cast<float>(sum / n);
}

} // namespace

// A free particle falls g t^2 / 2 (exactly g h^2 N (N + 1) / 2 after N sub-steps
// of h with velocity first, then position).
TEST(ParticleSolverTest, FreeFall)
{
    for (const int iterations : {1, 3, 8}) {
        for (const float gravityScale : {1.0f, 0.5f}) {
            auto world = MakeWorld({0.0f, -g});
            phParticleSystemDef def;
            def.radius = 0.5f; // critical velocity far above the 10 m/s reached
            def.gravityScale = gravityScale;
            phParticleSystem* const system = world->CreateParticleSystem(def);
            AddParticle(*system, {1.0f, 100.0f});
            AddParticle(*system, {5.0f, 100.0f});
            const int steps = 60;
            for (int i = 0; i < steps; ++i) {
                world->Step(kStep, 8, 3, iterations);
            }
            const float t = steps * kStep;
            const float h = kStep / static_cast<float>(iterations);
            const float n = static_cast<float>(steps * iterations);
            const float ge = g * gravityScale;
            const float drop = 100.0f - system->GetPositionBuffer()[0].y;
            EXPECT_NEAR(drop, ge * h * h * n * (n + 1.0f) / 2.0f, 1e-3f) << iterations;
            EXPECT_NEAR(drop, ge * t * t / 2.0f, ge * h * t / 2.0f + 1e-3f) << iterations;
            EXPECT_NEAR(system->GetVelocityBuffer()[0].y, -ge * t, 1e-3f);
            EXPECT_EQ(system->GetPositionBuffer()[0].x, 1.0f);
        }
    }
}

// A particle on a static edge rests where the edge's pressure, P w^2 d / h per
// sub-step, balances gravity, g h: at (1 - w) d with w = sqrt(g h^2 / (P d)).
TEST(ParticleSolverTest, RestsOnAnEdgeAtTheBalanceHeight)
{
    struct Case
    {
        int iterations;
        float radius;
        float pressure;
    };
    for (const Case c : {Case{1, 0.05f, 0.05f}, Case{2, 0.05f, 0.05f}, Case{1, 0.1f, 0.1f}}) {
        auto world = MakeWorld({0.0f, -g});
        AddGround(*world, 5.0f);
        phParticleSystemDef def;
        def.radius = c.radius;
        def.pressureStrength = c.pressure;
        phParticleSystem* const system = world->CreateParticleSystem(def);
        AddParticle(*system, {0.3f, 0.5f});
        for (int i = 0; i < 300; ++i) {
            world->Step(kStep, 8, 3, c.iterations);
        }
        const float d = 2.0f * c.radius;
        const float h = kStep / static_cast<float>(c.iterations);
        const float w = std::sqrt(g * h * h / (c.pressure * d));
        EXPECT_NEAR(system->GetPositionBuffer()[0].y, (1.0f - w) * d, 2e-3f * d) << c.iterations << " " << d;
        EXPECT_NEAR(system->GetVelocityBuffer()[0].y, 0.0f, 1e-3f);
        EXPECT_NEAR(system->GetPositionBuffer()[0].x, 0.3f, 1e-4f);
        ASSERT_EQ(system->GetBodyContacts().GetCount(), 1);
        EXPECT_NEAR(system->GetBodyContacts()[0].weight, w, 2e-3f);
    }
}

TEST(ParticleSolverTest, VelocityLimitAndForces)
{
    auto world = MakeWorld({0.0f, 0.0f});
    phParticleSystem* const system = AddParticleSystem(*world, 0.05f, 2.0f);
    const float critical = 0.1f / kStep; // one diameter per step
    AddParticle(*system, {0.0f, 0.0f}, {2.0f * critical * 0.6f, 2.0f * critical * 0.8f});
    AddParticle(*system, {5.0f, 0.0f});
    AddParticle(*system, {10.0f, 0.0f});
    AddParticle(*system, {15.0f, 0.0f}, {}, phWallParticle);
    const phVector force(3.0f, -1.0f);
    system->ParticleApplyForce(1, force);
    system->ParticleApplyForce(3, force); // walls ignore forces
    world->Step(kStep, 8, 3);

    // Twice the critical velocity is halved; the particle moves one diameter.
    EXPECT_NEAR(system->GetVelocityBuffer()[0].x, critical * 0.6f, 1e-3f);
    EXPECT_NEAR(system->GetVelocityBuffer()[0].y, critical * 0.8f, 1e-3f);
    EXPECT_NEAR(phDistance(system->GetPositionBuffer()[0], {0.0f, 0.0f}), 0.1f, 1e-5f);
    // v = F dt / m with m = density * (0.75 d)^2.
    const float mass = 2.0f * 0.075f * 0.075f;
    EXPECT_NEAR(system->GetVelocityBuffer()[1].x, force.x * kStep / mass, 1e-4f);
    EXPECT_NEAR(system->GetVelocityBuffer()[1].y, force.y * kStep / mass, 1e-4f);
    EXPECT_EQ(system->GetVelocityBuffer()[3], phVector());
    EXPECT_EQ(system->GetPositionBuffer()[3], phVector(15.0f, 0.0f));

    // A zero force neither applies nor brings back the last step's forces.
    system->ParticleApplyForce(2, {0.0f, 0.0f});
    const phVector before = system->GetVelocityBuffer()[1];
    world->Step(kStep, 8, 3);
    EXPECT_EQ(system->GetVelocityBuffer()[1], before);
    EXPECT_EQ(system->GetVelocityBuffer()[2], phVector());
}

// Two blocks collide without gravity: every particle-particle interaction is a
// pair of opposite changes, so momentum is kept, and so is the mass.
TEST(ParticleSolverTest, CollidingBlocksKeepMomentum)
{
    struct Case
    {
        const char* name;
        uint32_t flags;
        uint32_t groupFlags;
    };
    const Case cases[] = {
        {"water", phWaterParticle, 0},
        {"viscous", phViscousParticle, 0},
        {"powder", phPowderParticle, 0},
        {"tensile", phTensileParticle, 0},
        {"repulsive", phRepulsiveParticle, 0},
        {"spring", phSpringParticle, 0},
        {"elastic", phElasticParticle, 0},
        {"static pressure", phStaticPressureParticle, 0},
        {"colour mixing", phColorMixingParticle, 0},
        {"solid", phWaterParticle, phSolidParticleGroup},
        {"rigid", phWaterParticle, phRigidParticleGroup},
    };
    for (const Case& c : cases) {
        auto world = MakeWorld({0.0f, 0.0f});
        phParticleSystem* const system = AddParticleSystem(*world, 0.05f);
        const float s = system->GetParticleStride();
        phParticleGroup* const left =
            AddParticleBlock(*system, 10, 10, s, {-1.0f, 0.0f}, c.flags, c.groupFlags);
        phParticleGroup* const right =
            AddParticleBlock(*system, 8, 12, s, {0.1f, -0.1f}, c.flags, c.groupFlags);
        for (int32_t i = 0; i < system->GetParticleCount(); ++i) {
            system->GetVelocityBuffer()[i] = {left->ContainsParticle(i) ? 1.5f : -1.0f,
                                              right->ContainsParticle(i) ? 0.2f : 0.0f};
        }
        const int32_t count = system->GetParticleCount();
        const phVector p0 = TotalMomentum(*system);
        // Rounding of positions near 1 m, amplified by 1 / dt, is all that may differ.
        float scale = 0.0f;
        for (int32_t i = 0; i < count; ++i) {
            scale += system->GetParticleMass() * system->GetVelocityBuffer()[i].Length();
        }
        int contactSteps = 0;
        for (int i = 0; i < 90; ++i) {
            world->Step(kStep, 8, 3, 2);
            contactSteps += system->GetContacts().GetCount() > 0 ? 1 : 0;
        }
        const phVector p1 = TotalMomentum(*system);
        EXPECT_GT(contactSteps, 30) << c.name;
        EXPECT_EQ(system->GetParticleCount(), count) << c.name;
        EXPECT_NEAR(p1.x, p0.x, 1e-3f * scale) << c.name;
        EXPECT_NEAR(p1.y, p0.y, 1e-3f * scale) << c.name;
    }
}

TEST(ParticleSolverTest, ColourMixingKeepsTheSumOfEachChannel)
{
    auto world = MakeWorld({0.0f, 0.0f});
    phParticleSystem* const system = AddParticleSystem(*world, 0.05f);
    phParticleGroupDef red;
    const phVector left[2] = {{0.0f, 0.0f}, {0.075f, 0.0f}};
    red.flags = phColorMixingParticle;
    red.color = {200, 0, 10, 255};
    red.positionData = left;
    red.particleCount = 2;
    system->CreateParticleGroup(red);
    phParticleGroupDef blue = red;
    const phVector right[2] = {{0.15f, 0.0f}, {0.225f, 0.0f}};
    blue.color = {0, 50, 250, 0};
    blue.positionData = right;
    system->CreateParticleGroup(blue);
    for (int i = 0; i < 20; ++i) {
        world->Step(kStep, 8, 3);
    }
    const phParticleColor* const colors = system->GetColorBuffer();
    ASSERT_NE(colors, nullptr);
    int r = 0, gr = 0, b = 0, a = 0;
    for (int32_t i = 0; i < 4; ++i) {
        r += colors[i].r;
        gr += colors[i].g;
        b += colors[i].b;
        a += colors[i].a;
    }
    EXPECT_EQ(r, 400);
    EXPECT_EQ(gr, 100);
    EXPECT_EQ(b, 520);
    EXPECT_EQ(a, 510);
    EXPECT_LT(colors[1].r, 200); // the neighbours did mix
    EXPECT_GT(colors[2].r, 0);
}

// The dam break: 2,000 water particles released in a box of four static edges.
TEST(ParticleSolverTest, DamBreakStaysInTheBox)
{
    auto world = MakeWorld({0.0f, -g});
    phParticleSystem* const system = AddDamBreak(*world, 2000);
    ASSERT_EQ(system->GetParticleCount(), 2000);
    const int32_t iterations = world->EstimateParticleIterations(kStep);
    EXPECT_EQ(iterations, 4);
    for (int i = 0; i < 600; ++i) {
        world->Step(kStep, 8, 3, iterations);
    }
    ASSERT_EQ(system->GetParticleCount(), 2000);
    const phVector* const p = system->GetPositionBuffer();
    for (int32_t i = 0; i < system->GetParticleCount(); ++i) {
        ASSERT_TRUE(p[i].IsValid() && system->GetVelocityBuffer()[i].IsValid()) << i;
        ASSERT_TRUE(0.0f < p[i].x && p[i].x < 4.0f && 0.0f < p[i].y && p[i].y < 3.0f) << i;
    }
    const float d = 2.0f * system->GetRadius();
    const float spacing = MeanNearestDistance(*system) / d;
    EXPECT_GT(spacing, 0.6f);
    EXPECT_LT(spacing, 1.0f);
}

// Other behaviours in the same box: nothing escapes, nothing becomes invalid.
TEST(ParticleSolverTest, DamBreakWithEveryBehaviour)
{
    for (const uint32_t flags : std::initializer_list<uint32_t>{phViscousParticle, phPowderParticle,
                                                                phTensileParticle, phStaticPressureParticle,
                                                                phColorMixingParticle | phViscousParticle}) {
        auto world = MakeWorld({0.0f, -g});
        phParticleSystem* const system = AddDamBreak(*world, 500, flags);
        for (int i = 0; i < 180; ++i) {
            world->Step(kStep, 8, 3, world->EstimateParticleIterations(kStep));
        }
        ASSERT_EQ(system->GetParticleCount(), 500);
        for (int32_t i = 0; i < system->GetParticleCount(); ++i) {
            const phVector& p = system->GetPositionBuffer()[i];
            ASSERT_TRUE(p.IsValid() && system->GetVelocityBuffer()[i].IsValid()) << flags << " " << i;
            ASSERT_TRUE(0.0f < p.x && p.x < 4.0f && 0.0f < p.y && p.y < 3.0f) << flags << " " << i;
        }
    }
}

TEST(ParticleSolverTest, SteadyStepsAllocateNothing)
{
    auto world = MakeWorld({0.0f, -g});
    phParticleSystem* const system = AddDamBreak(*world, 1000, phViscousParticle);
    for (int i = 0; i < 120; ++i) {
        world->Step(kStep, 8, 3, 4);
    }
    const int64_t engineBefore = phGetAllocationTotal();
    const int64_t heapBefore = lmd::test::AllocationCount();
    for (int i = 0; i < 60; ++i) {
        world->Step(kStep, 8, 3, 4);
    }
    EXPECT_EQ(phGetAllocationTotal(), engineBefore);
    EXPECT_EQ(lmd::test::AllocationCount(), heapBefore);
    EXPECT_EQ(system->GetParticleCount(), 1000);
}

// Depth in a solid block: the surface particles start at 0 and each contact
// inwards adds one stride (1 - weight = 0.75 diameters).
TEST(ParticleSolverTest, SolidBlockDepth)
{
    auto world = MakeWorld({0.0f, 0.0f});
    phParticleSystem* const system = AddParticleSystem(*world, 0.05f);
    const float s = system->GetParticleStride();
    const int n = 9;
    AddParticleBlock(*system, n, n, s, {0.0f, 0.0f}, phWaterParticle, phSolidParticleGroup);
    world->Step(kStep, 8, 3);
    const float* const depth = system->GetDepthBuffer();
    ASSERT_NE(depth, nullptr);
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            const int steps = std::min({x, y, n - 1 - x, n - 1 - y});
            // The weights come from the fast inverse square root (0.2 %).
            EXPECT_NEAR(depth[y * n + x], s * static_cast<float>(steps),
                        2e-3f * s * static_cast<float>(steps))
                << x << " " << y;
        }
    }
}

// A rigid group moves its particles along the chords of the turn of each step,
// so its angular velocity, measured from those chord velocities, shrinks by
// sin(h w) / (h w) per step; positions stay rigid and the centre keeps its velocity.
TEST(ParticleSolverTest, RigidGroupMovesAsOneBody)
{
    auto world = MakeWorld({0.0f, 0.0f});
    phParticleSystem* const system = AddParticleSystem(*world, 0.05f);
    const phPolygonShape box = MakeBox(0.5f, 0.3f);
    phParticleGroupDef def;
    def.shape = &box;
    def.groupFlags = phRigidParticleGroup;
    def.linearVelocity = {1.0f, 0.5f};
    def.angularVelocity = 2.0f;
    phParticleGroup* const group = system->CreateParticleGroup(def);
    ASSERT_GT(group->GetParticleCount(), 100);
    const phVector* const p = system->GetPositionBuffer();
    auto meanPosition = [&] {
        phVector sum;
        for (int32_t i = 0; i < group->GetParticleCount(); ++i) {
            sum += p[i];
        }
        return (1.0f / static_cast<float>(group->GetParticleCount())) * sum;
    };
    const phVector c0 = meanPosition();
    const phVector v0 = group->GetLinearVelocity();
    EXPECT_NEAR(group->GetAngularVelocity(), 2.0f, 1e-4f);
    const int32_t last = group->GetParticleCount() - 1;
    const float span = phDistance(p[0], p[last]);
    const int steps = 60;
    float angle = 0.0f;
    float w = 2.0f;
    for (int i = 0; i < steps; ++i) {
        world->Step(kStep, 8, 3);
        angle += kStep * w;
        w = std::sin(kStep * w) / kStep;
    }
    const float t = steps * kStep;
    EXPECT_NEAR(meanPosition().x, c0.x + v0.x * t, 1e-3f);
    EXPECT_NEAR(meanPosition().y, c0.y + v0.y * t, 1e-3f);
    EXPECT_NEAR(group->GetTransform().q.GetAngle(), angle, 1e-3f);
    EXPECT_NEAR(phDistance(p[0], p[last]), span, 1e-3f);
}

TEST(ParticleSolverTest, GroupStatistics)
{
    auto world = MakeWorld({0.0f, 0.0f});
    phParticleSystem* const system = AddParticleSystem(*world, 0.5f);
    const phVector points[2] = {{1.0f, 0.0f}, {-1.0f, 0.0f}};
    phParticleGroupDef def;
    def.position = {3.0f, 4.0f};
    def.linearVelocity = {0.5f, -0.25f};
    def.angularVelocity = 1.5f;
    def.positionData = points;
    def.particleCount = 2;
    const phParticleGroup* const group = system->CreateParticleGroup(def);
    const float m = system->GetParticleMass();
    EXPECT_FLOAT_EQ(group->GetMass(), 2.0f * m);
    EXPECT_EQ(group->GetCenter(), phVector(3.0f, 4.0f));
    EXPECT_FLOAT_EQ(group->GetInertia(), 2.0f * m);
    EXPECT_FLOAT_EQ(group->GetLinearVelocity().x, 0.5f);
    EXPECT_FLOAT_EQ(group->GetLinearVelocity().y, -0.25f);
    EXPECT_FLOAT_EQ(group->GetAngularVelocity(), 1.5f);
}

// A spring pair stretched from its rest distance 0.75 d to 0.95 d pulls both
// ends together at k / dt (r0 - r1) in the first step.
TEST(ParticleSolverTest, SpringPullsBackToTheRestDistance)
{
    auto world = MakeWorld({0.0f, 0.0f});
    phParticleSystem* const system = AddParticleSystem(*world, 0.05f);
    const phVector points[2] = {{0.0f, 0.0f}, {0.075f, 0.0f}};
    phParticleGroupDef def;
    def.flags = phSpringParticle;
    def.positionData = points;
    def.particleCount = 2;
    system->CreateParticleGroup(def);
    ASSERT_EQ(system->GetPairs().GetCount(), 1);
    EXPECT_NEAR(system->GetPairs()[0].distance, 0.075f, 1e-6f);
    system->GetPositionBuffer()[1].x = 0.095f;
    world->Step(kStep, 8, 3);
    const float dv = system->GetDef().springStrength / kStep * (0.095f - 0.075f);
    EXPECT_NEAR(system->GetVelocityBuffer()[0].x, dv, 1e-4f);
    EXPECT_NEAR(system->GetVelocityBuffer()[1].x, -dv, 1e-4f);
}

// Elastic triads resist deformation but not rigid rotation.
TEST(ParticleSolverTest, ElasticTriadsIgnoreRotation)
{
    for (const bool deform : {false, true}) {
        auto world = MakeWorld({0.0f, 0.0f});
        phParticleSystem* const system = AddParticleSystem(*world, 0.05f);
        const float s = system->GetParticleStride();
        const phVector points[3] = {{0.0f, 0.0f}, {s, 0.0f}, {0.5f * s, 0.8660254f * s}};
        phParticleGroupDef def;
        def.flags = phElasticParticle;
        def.positionData = points;
        def.particleCount = 3;
        system->CreateParticleGroup(def);
        ASSERT_EQ(system->GetTriads().GetCount(), 1);
        phVector* const p = system->GetPositionBuffer();
        const phRotation quarter(0.5f * phPi);
        for (int i = 0; i < 3; ++i) {
            p[i] = phMul(quarter, p[i]); // a rigid turn of the whole triangle
        }
        if (deform) {
            p[2].x += 0.2f * s;
        }
        world->Step(kStep, 8, 3);
        phVector sum;
        float change = 0.0f;
        for (int i = 0; i < 3; ++i) {
            sum += system->GetVelocityBuffer()[i];
            change += system->GetVelocityBuffer()[i].Length();
        }
        EXPECT_NEAR(sum.Length(), 0.0f, 1e-5f);
        if (deform) {
            EXPECT_GT(change, 0.01f);
        } else {
            EXPECT_NEAR(change, 0.0f, 1e-3f);
        }
    }
}

// A row of wall barrier particles stops a particle that would cross it within
// one step; without the barrier flag it passes between two of them.
TEST(ParticleSolverTest, BarrierStopsACrossingParticle)
{
    for (const bool barrier : {true, false}) {
        auto world = MakeWorld({0.0f, 0.0f});
        phParticleSystem* const system = AddParticleSystem(*world, 0.05f);
        const float s = system->GetParticleStride();
        const float d = 0.1f;
        const uint32_t flags = phWallParticle | (barrier ? phBarrierParticle : phSpringParticle);
        AddParticleBlock(*system, 11, 1, s, {-5.0f * s, 0.0f}, flags);
        ASSERT_EQ(system->GetPairs().GetCount(), 10);
        const int32_t mover = AddParticle(*system, {0.5f * s, 0.98f * d}, {0.0f, -0.99f * d / kStep});
        for (int i = 0; i < 10; ++i) {
            world->Step(kStep, 8, 3);
        }
        const float y = system->GetPositionBuffer()[mover].y;
        if (barrier) {
            EXPECT_GT(y, 0.0f);
        } else {
            EXPECT_LT(y, 0.0f);
        }
    }
}

// Coincident particles have no direction between them: contacts, springs and
// collapsed triads must leave every velocity finite.
TEST(ParticleSolverTest, DegenerateConnectionsStayFinite)
{
    auto world = MakeWorld({0.0f, 0.0f});
    phParticleSystem* const system = AddParticleSystem(*world, 0.05f);
    const float s = system->GetParticleStride();
    const phVector points[3] = {{0.0f, 0.0f}, {s, 0.0f}, {0.5f * s, 0.8660254f * s}};
    phParticleGroupDef def;
    def.flags = phSpringParticle | phElasticParticle;
    def.positionData = points;
    def.particleCount = 3;
    system->CreateParticleGroup(def);
    ASSERT_EQ(system->GetTriads().GetCount(), 1);
    ASSERT_EQ(system->GetPairs().GetCount(), 3);
    for (int i = 0; i < 3; ++i) {
        system->GetPositionBuffer()[i] = {1.0f, 1.0f};
    }
    for (int i = 0; i < 5; ++i) {
        world->Step(kStep, 8, 3);
    }
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(system->GetVelocityBuffer()[i].IsValid()) << i;
        EXPECT_TRUE(system->GetPositionBuffer()[i].IsValid()) << i;
    }
}
