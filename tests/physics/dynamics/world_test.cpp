#include "physics/common/allocation.h"
#include "physics/dynamics/callbacks.h"
#include "physics/dynamics/contact.h"
#include "physics/dynamics/world.h"
#include "tests/physics/scenes.h"

#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

using namespace phtest;

TEST(WorldTest, FreshWorldAndVersion)
{
    auto world = MakeWorld({0.0f, -9.8f});
    EXPECT_EQ(world->GetBodyCount(), 0);
    EXPECT_EQ(world->GetContactCount(), 0);
    EXPECT_EQ(world->GetBodyList(), nullptr);
    EXPECT_EQ(world->GetParticleSystemList(), nullptr);
    EXPECT_EQ(world->GetGravity(), phVector(0.0f, -9.8f));
    EXPECT_TRUE(world->GetAllowSleeping());
    EXPECT_EQ(world->GetVersion()->major, 1);
    EXPECT_EQ(world->GetVersion()->minor, 1);
    EXPECT_EQ(world->GetVersion()->revision, 0);
    EXPECT_STREQ(world->GetVersionString(), "Particle physics 1.1.0");
    EXPECT_EQ(world->EstimateParticleIterations(1.0f / 60.0f), 1);
    EXPECT_EQ(world->EstimateParticleIterations(10.0f), 1);
}

TEST(WorldTest, BodiesAndFixturesFromDescriptions)
{
    auto world = MakeWorld();
    phBodyDesc desc;
    desc.type = phDynamicBody;
    desc.position = {1.0f, 2.0f};
    desc.angle = 0.5f;
    desc.bullet = true;
    desc.gravityScale = 0.5f;
    phBody* const body = world->CreateBody(desc);
    ASSERT_NE(body, nullptr);
    EXPECT_EQ(body->GetType(), phDynamicBody);
    EXPECT_EQ(body->GetPosition(), phVector(1.0f, 2.0f));
    EXPECT_FLOAT_EQ(body->GetAngle(), 0.5f);
    EXPECT_TRUE(body->IsBullet());
    EXPECT_TRUE(body->IsAwake());
    EXPECT_EQ(body->GetMass(), 1.0f);
    EXPECT_EQ(world->GetBodyList(), body);

    // Density 0 on a dynamic body: unit mass, no rotational inertia.
    AddShape(body, MakeBox(1.0f, 1.0f), 0.0f);
    EXPECT_EQ(body->GetMass(), 1.0f);
    EXPECT_EQ(body->GetInverseMass(), 1.0f);
    EXPECT_EQ(body->GetInertia(), 0.0f);

    // An off-centre circle moves the centre of mass.
    AddShape(body, MakeCircle(1.0f, {2.0f, 0.0f}), 1.0f);
    EXPECT_FLOAT_EQ(body->GetMass(), phPi);
    EXPECT_NEAR(body->GetLocalCenter().x, 2.0f, 1e-6f);
    EXPECT_NEAR(body->GetInertia(), 0.5f * phPi, 1e-5f);
    const phVector center = phMul(body->GetTransform(), phVector(2.0f, 0.0f));
    EXPECT_NEAR(body->GetWorldCenter().x, center.x, 1e-6f);
    EXPECT_EQ(body->GetFixtureCount(), 2);
    EXPECT_EQ(world->GetProxyCount(), 2);

    // Polygon vertices are readable through the fixture list.
    const phFixture* f = body->GetFixtureList();
    int polygons = 0;
    for (; f != nullptr; f = f->GetNext()) {
        if (f->GetKind() == phShape::polygon) {
            ++polygons;
            EXPECT_EQ(static_cast<const phPolygonShape*>(f->GetShape())->m_vertices[2], phVector(1.0f, 1.0f));
        }
    }
    EXPECT_EQ(polygons, 1);
}

TEST(WorldTest, SettersAndTheirLimits)
{
    auto world = MakeWorld();
    phBody* const ground = AddBody(*world, phStaticBody, {0.0f, 0.0f});
    phBody* const kinematic = AddBody(*world, phKinematicBody, {0.0f, 0.0f});
    phBody* const box = AddBody(*world, phDynamicBody, {0.0f, 5.0f});
    AddShape(box, MakeBox(0.5f, 0.5f));

    kinematic->SetAwake(false);
    ground->ApplyForce({10.0f, 0.0f}, {0.0f, 0.0f});
    kinematic->ApplyForce({10.0f, 0.0f}, {0.0f, 0.0f});
    EXPECT_FALSE(kinematic->IsAwake());
    ground->SetLinearVelocity({1.0f, 0.0f});
    EXPECT_EQ(ground->GetLinearVelocity(), phVector());

    // Fixed rotation with the current value changes nothing.
    box->SetAngularVelocity(3.0f);
    box->SetFixedRotation(false);
    EXPECT_EQ(box->GetAngularVelocity(), 3.0f);
    box->SetFixedRotation(true);
    EXPECT_EQ(box->GetAngularVelocity(), 0.0f);
    EXPECT_EQ(box->GetInertia(), 0.0f);

    // An impulse at the centre changes only the linear velocity.
    box->SetFixedRotation(false);
    box->ApplyLinearImpulse({2.0f, 0.0f}, box->GetWorldCenter());
    EXPECT_FLOAT_EQ(box->GetLinearVelocity().x, 2.0f / box->GetMass());
    EXPECT_EQ(box->GetAngularVelocity(), 0.0f);

    // A force off the centre adds torque; both are cleared after the step.
    box->ApplyForce({0.0f, 10.0f}, box->GetWorldCenter() + phVector(1.0f, 0.0f));
    world->Step(kStep, 8, 3);
    EXPECT_GT(box->GetAngularVelocity(), 0.0f);

    box->SetTransform({3.0f, 4.0f}, 1.0f);
    EXPECT_EQ(box->GetPosition(), phVector(3.0f, 4.0f));
    EXPECT_FLOAT_EQ(box->GetAngle(), 1.0f);

    box->SetAwake(false);
    world->SetAllowSleeping(false);
    EXPECT_TRUE(box->IsAwake());
}

TEST(WorldTest, ZeroStepMovesNothing)
{
    auto world = MakeWorld();
    phBody* const body = AddBody(*world, phDynamicBody, {0.0f, 5.0f});
    AddShape(body, MakeCircle(0.5f));
    body->SetLinearVelocity({1.0f, 2.0f});
    world->Step(0.0f, 8, 3);
    EXPECT_EQ(body->GetPosition(), phVector(0.0f, 5.0f));
    EXPECT_EQ(body->GetLinearVelocity(), phVector(1.0f, 2.0f));
    // The previous inverse step survives: the next warm start is unaffected.
    world->Step(kStep, 8, 3);
    world->Step(0.0f, 8, 3);
    world->Step(kStep, 8, 3);
    EXPECT_NEAR(body->GetLinearVelocity().y, 2.0f - 2.0f * 10.0f * kStep, 1e-5f);
}

TEST(WorldTest, LifecycleFuzzReleasesEverything)
{
    const int32_t before = phGetAllocationCount();
    {
        auto world = MakeWorld();
        AddGround(*world, 30.0f);
        std::mt19937 rng(17);
        std::uniform_real_distribution<float> u(-1.0f, 1.0f);
        std::vector<phBody*> bodies;
        const phCircleShape circle = MakeCircle(0.3f);
        const phPolygonShape box = MakeBox(0.4f, 0.2f);
        const phEdgeShape edge = MakeEdge({-1.0f, 0.0f}, {1.0f, 0.0f});
        for (int i = 0; i < 10000; ++i) {
            const int op = std::uniform_int_distribution<int>(0, 9)(rng);
            if (op < 3 || bodies.empty()) {
                const auto type = static_cast<phBodyType>(std::uniform_int_distribution<int>(0, 2)(rng));
                phBody* const b = AddBody(*world, type, {10.0f * u(rng), 5.0f + 5.0f * u(rng)}, u(rng));
                const int shapes = std::uniform_int_distribution<int>(1, 2)(rng);
                for (int s = 0; s < shapes; ++s) {
                    const int kind = std::uniform_int_distribution<int>(0, 2)(rng);
                    const phShape& shape = kind == 0   ? static_cast<const phShape&>(circle)
                                           : kind == 1 ? static_cast<const phShape&>(box)
                                                       : edge;
                    phFixture* const f = AddShape(b, shape, 1.0f);
                    if (u(rng) > 0.8f) {
                        phFilter filter;
                        filter.groupIndex = -1;
                        f->SetFilterData(filter);
                    }
                }
                bodies.push_back(b);
            } else if (op < 6 || bodies.size() > 200) {
                const size_t k = std::uniform_int_distribution<size_t>(0, bodies.size() - 1)(rng);
                world->DestroyBody(bodies[k]);
                bodies[k] = bodies.back();
                bodies.pop_back();
            } else if (op < 7) {
                phBody* const b = bodies[std::uniform_int_distribution<size_t>(0, bodies.size() - 1)(rng)];
                b->SetTransform({10.0f * u(rng), 5.0f + 5.0f * u(rng)}, u(rng));
            } else if (op < 8) {
                phBody* const b = bodies[std::uniform_int_distribution<size_t>(0, bodies.size() - 1)(rng)];
                b->ApplyLinearImpulse({u(rng), u(rng)}, b->GetWorldCenter());
            } else {
                world->Step(kStep, 8, 3);
            }
            ASSERT_EQ(world->GetBodyCount(), static_cast<int32_t>(bodies.size()) + 1);
        }
        // Contacts refer only to live bodies.
        for (phContact* c = world->GetContactList(); c != nullptr; c = c->GetNext()) {
            ASSERT_NE(std::find(bodies.begin(), bodies.end(), c->GetFixtureB()->GetBody()), bodies.end());
        }
    }
    EXPECT_EQ(phGetAllocationCount(), before);
}

TEST(WorldTest, JointsOfAnyKindAreReleased)
{
    const int32_t before = phGetAllocationCount();
    {
        auto world = MakeWorld();
        phBody* const a = AddBody(*world, phDynamicBody, {0.0f, 0.0f});
        phBody* const b = AddBody(*world, phDynamicBody, {0.5f, 0.0f});
        AddShape(a, MakeCircle(0.5f));
        AddShape(b, MakeCircle(0.5f));
        world->Step(kStep, 8, 3);
        ASSERT_EQ(world->GetContactCount(), 1);

        // A joint without collide-connected removes the contact at the next step.
        phJointDesc desc;
        desc.bodyA = a;
        desc.bodyB = b;
        desc.kind = 42; // kinds outside the known table are freed all the same
        phJoint* const joint = world->CreateJoint(desc);
        ASSERT_NE(joint, nullptr);
        EXPECT_EQ(world->GetJointCount(), 1);
        world->Step(kStep, 8, 3);
        EXPECT_EQ(world->GetContactCount(), 0);

        world->DestroyJoint(joint);
        EXPECT_EQ(world->GetJointCount(), 0);
        EXPECT_EQ(a->GetJointList(), nullptr);

        desc.kind = 3;
        world->CreateJoint(desc);
        desc.kind = -7;
        world->CreateJoint(desc);
        world->DestroyBody(a); // takes its joints along
        EXPECT_EQ(world->GetJointCount(), 0);
        desc.bodyA = b;
        desc.bodyB = AddBody(*world, phStaticBody, {0.0f, 0.0f});
        world->CreateJoint(desc); // left for the world's destructor
    }
    EXPECT_EQ(phGetAllocationCount(), before);
}

namespace {
class CollectingQuery : public phQueryCallback
{
public:
    bool ReportFixture(phFixture* fixture) override
    {
        found.push_back(fixture);
        return static_cast<int>(found.size()) < limit;
    }
    std::vector<phFixture*> found;
    int limit = 1000;
};
} // namespace

TEST(WorldTest, BoxQueryReportsOverlappingFixtures)
{
    auto world = MakeWorld();
    phFixture* const near = AddShape(AddBody(*world, phStaticBody, {0.0f, 0.0f}), MakeCircle(0.5f));
    phFixture* const alsoNear = AddShape(AddBody(*world, phDynamicBody, {1.2f, 0.0f}), MakeBox(0.5f, 0.5f));
    AddShape(AddBody(*world, phDynamicBody, {10.0f, 0.0f}), MakeCircle(0.5f));
    CollectingQuery query;
    world->QueryAABB(&query, {{-0.2f, -0.2f}, {1.0f, 0.2f}});
    std::sort(query.found.begin(), query.found.end());
    std::vector<phFixture*> expected{near, alsoNear};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(query.found, expected);

    CollectingQuery first;
    first.limit = 1;
    world->QueryAABB(&first, {{-0.2f, -0.2f}, {1.0f, 0.2f}});
    EXPECT_EQ(first.found.size(), 1u);
}
