// Closed-form physics against the island solver.
#include "physics/dynamics/contact.h"
#include "physics/dynamics/world.h"
#include "tests/physics/scenes.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <map>
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

// Steps until every dynamic body sleeps; false when that takes more than the given steps.
bool StepUntilAsleep(phWorld& world, int maxSteps)
{
    for (int n = 0; n < maxSteps; ++n) {
        world.Step(kStep, 8, 3);
        if (AllAsleep(world)) {
            return true;
        }
    }
    return false;
}

// The impulse that a contact's points gave its body B in the last step, from
// the stored normal and tangent impulses.
phVector ImpulseOnB(const phContact& contact)
{
    phGlobalManifold manifold;
    contact.GetWorldManifold(&manifold);
    const phVector tangent(manifold.normal.y, -manifold.normal.x);
    phVector impulse;
    for (int32_t i = 0; i < contact.GetManifold()->pointCount; ++i) {
        const phManifoldPoint& point = contact.GetManifold()->points[i];
        impulse += point.normalImpulse * manifold.normal + point.tangentImpulse * tangent;
    }
    return impulse;
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

// A column of circles, each on the one below. At rest the contact under circle
// k (0 at the bottom) carries the weight of the circles from k up over one
// step, (count - k) m g h, as the resting circles' momentum demands: warm
// starting carries the impulses over until they balance gravity. No contact
// sinks deeper than the position phase accepts, so the top stands within that
// of the height of touching circles.
TEST(SolverTest, CircleColumnCarriesTheWeightAboveEachContact)
{
    const float g = 10.0f;
    const float r = 0.1f;
    for (const int count : {1, 4, 12, 20}) {
        SCOPED_TRACE(testing::Message() << count << " circles");
        auto world = MakeWorld({0.0f, -g});
        AddGround(*world, 5.0f);
        const phCircleShape circle = MakeCircle(r);
        std::vector<phBody*> column;
        for (int k = 0; k < count; ++k) {
            column.push_back(AddBody(*world, phDynamicBody,
                                     {0.0f, phPolygonRadius + r + 2.0f * r * static_cast<float>(k)}));
            AddShape(column.back(), circle, 1.0f, 0.4f);
        }
        ASSERT_TRUE(StepUntilAsleep(*world, 600));

        const float weight = column[0]->GetMass() * g * kStep;
        int touching = 0;
        for (phContact* c = world->GetContactList(); c != nullptr; c = c->GetNext()) {
            if (!c->IsTouching()) {
                continue;
            }
            ++touching;
            const phBody* const a = c->GetFixtureA()->GetBody();
            const phBody* const b = c->GetFixtureB()->GetBody();
            const phBody* const upper = a->GetPosition().y > b->GetPosition().y ? a : b;
            const auto k = std::find(column.begin(), column.end(), upper) - column.begin();
            const float carried = static_cast<float>(count - k) * weight;
            ASSERT_EQ(c->GetManifold()->pointCount, 1);
            EXPECT_NEAR(c->GetManifold()->points[0].normalImpulse, carried, 0.01f * carried)
                << "under circle " << k;
        }
        EXPECT_EQ(touching, count);
        EXPECT_LE(DeepestPenetration(*world), -phPositionSolvedSeparation);
        const float top = column.back()->GetPosition().y + r;
        const float touchingTop = phPolygonRadius + 2.0f * r * static_cast<float>(count);
        EXPECT_LE(top, touchingTop + 1e-4f);
        EXPECT_GE(top, touchingTop + static_cast<float>(count) * phPositionSolvedSeparation);
        EXPECT_EQ(column.back()->GetPosition().x, 0.0f);
    }
}

// The benchmarks' pile, circles laid touching in hexagonal packing, comes to
// rest in its packing: no contact deeper than the linear slop the position
// phase leaves and a half (7.5 % of the radius); each row no lower than circles
// resting in the dips of the row below with that overlap; no circle off its
// place by a quarter radius; two to six touching neighbours, as many as a
// packing allows; and the ground and walls carry the pile's weight.
TEST(SolverTest, CirclePileRestsInItsPacking)
{
    const float g = 10.0f;
    const float r = kPileRadius;
    auto world = MakeWorld({0.0f, -g});
    AddCirclePile(*world, 500);
    std::map<const phBody*, phVector> laid;
    float mass = 0.0f;
    for (const phBody* b = world->GetBodyList(); b != nullptr; b = b->GetNext()) {
        if (b->GetType() == phDynamicBody) {
            laid[b] = b->GetPosition();
            mass += b->GetMass();
        }
    }
    ASSERT_EQ(laid.size(), 500u);
    ASSERT_TRUE(StepUntilAsleep(*world, 300));

    const float overlap = 1.5f * phLinearSlop;
    EXPECT_LE(DeepestPenetration(*world), overlap);
    // Resting on two circles 2 r apart with that overlap puts a row this much
    // lower than touching circles would be.
    const float rowPitch = std::sqrt(3.0f) * r;
    const float rowSink = rowPitch - std::sqrt((2.0f * r - overlap) * (2.0f * r - overlap) - r * r);
    std::map<const phBody*, int> touching;
    phVector fromStatics;
    for (phContact* c = world->GetContactList(); c != nullptr; c = c->GetNext()) {
        if (!c->IsTouching()) {
            continue;
        }
        const phBody* const a = c->GetFixtureA()->GetBody();
        const phBody* const b = c->GetFixtureB()->GetBody();
        ++touching[a];
        ++touching[b];
        if (a->GetType() == phStaticBody) {
            fromStatics += ImpulseOnB(*c);
        } else if (b->GetType() == phStaticBody) {
            fromStatics -= ImpulseOnB(*c);
        }
    }
    for (const auto& [body, start] : laid) {
        const float row = std::round((start.y - r - phPolygonRadius) / rowPitch);
        const phVector p = body->GetPosition();
        EXPECT_GE(p.y, start.y - overlap - row * rowSink) << "row " << row;
        EXPECT_LE(p.y, start.y + 1e-4f) << "row " << row;
        EXPECT_NEAR(p.x, start.x, 0.25f * r) << "row " << row;
        EXPECT_GE(touching[body], 2) << "row " << row;
        EXPECT_LE(touching[body], 6) << "row " << row;
    }
    const float weight = mass * g * kStep;
    EXPECT_NEAR(fromStatics.y, weight, 0.01f * weight);
    EXPECT_NEAR(fromStatics.x, 0.0f, 0.01f * weight);
}

// Two dynamic circles get no time of impact and a contact has no points
// until its circles overlap, so a circle closing in on another lands inside
// it by what its last step carried it past touching. In one step the solve
// shares their momentum (no restitution) and the position phase then pushes
// them apart to the slop; a circle whose step carries its centre past the
// other's passes through, keeping its speed.
TEST(SolverTest, FastCircleLandsInsideAnotherByItsLastStep)
{
    const float r = 0.1f;
    const float gap = 0.02f;
    for (const float speed : {5.0f, 10.0f, 20.0f}) {
        SCOPED_TRACE(testing::Message() << speed << " m/s");
        auto world = MakeWorld({0.0f, 0.0f});
        const phCircleShape circle = MakeCircle(r);
        phBody* const still = AddBody(*world, phDynamicBody, {0.0f, 0.0f});
        AddShape(still, circle, 1.0f, 0.0f);
        phBody* const falling = AddBody(*world, phDynamicBody, {0.0f, 2.0f * r + gap});
        AddShape(falling, circle, 1.0f, 0.0f);
        falling->SetLinearVelocity({0.0f, -speed});

        world->Step(kStep, 8, 3);
        const float travel = speed * kStep;
        EXPECT_NEAR(falling->GetPosition().y, 2.0f * r + gap - travel, 1e-5f);
        const bool passesCentre = travel > 2.0f * r + gap;
        for (int n = 0; n < 30; ++n) {
            world->Step(kStep, 8, 3);
        }
        if (passesCentre) {
            EXPECT_EQ(falling->GetLinearVelocity().y, -speed);
            EXPECT_EQ(still->GetLinearVelocity().y, 0.0f);
            EXPECT_LT(falling->GetPosition().y, still->GetPosition().y - 2.0f * r);
        } else {
            EXPECT_NEAR(falling->GetLinearVelocity().y, -0.5f * speed, 1e-4f * speed);
            EXPECT_NEAR(still->GetLinearVelocity().y, -0.5f * speed, 1e-4f * speed);
            const float separation = falling->GetPosition().y - still->GetPosition().y - 2.0f * r;
            EXPECT_GE(separation, -1.5f * phLinearSlop);
            EXPECT_LE(separation, 0.0f);
        }
    }
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
