#include "physics/dynamics/callbacks.h"
#include "physics/dynamics/contact.h"
#include "physics/dynamics/world.h"
#include "tests/physics/scenes.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace phtest;

namespace {

struct FixtureSpec
{
    phBodyType type;
    int shape; // 0 circle, 1 edge, 2 box
    phFilter filter;
    bool sensor = false;
};

phFilter Filter(uint16_t category, uint16_t mask, int16_t group)
{
    phFilter f;
    f.categoryBits = category;
    f.maskBits = mask;
    f.groupIndex = group;
    return f;
}

const phCircleShape kCircle = MakeCircle(0.5f);
const phEdgeShape kEdge = MakeEdge({-1.0f, 0.0f}, {1.0f, 0.0f});
const phPolygonShape kBox = MakeBox(0.5f, 0.5f);

phFixture* Add(phWorld& world, const FixtureSpec& spec, phVector position)
{
    phBody* const body = AddBody(world, spec.type, position);
    phFixtureDesc desc;
    desc.shape = spec.shape == 0   ? static_cast<const phShape*>(&kCircle)
                 : spec.shape == 1 ? static_cast<const phShape*>(&kEdge)
                                   : &kBox;
    desc.density = 1.0f;
    desc.filter = spec.filter;
    desc.isSensor = spec.sensor;
    return body->CreateFixture(desc);
}

} // namespace

TEST(ContactTest, CreationTable)
{
    const phFilter plain;
    const struct
    {
        std::string name;
        FixtureSpec a;
        FixtureSpec b;
        bool contact;
        phShape::Kind kindA; // fixture A's shape kind in the contact
    } cases[] = {
        {"circle circle", {phDynamicBody, 0, plain}, {phDynamicBody, 0, plain}, true, phShape::circle},
        {"circle box: box first",
         {phDynamicBody, 0, plain},
         {phDynamicBody, 2, plain},
         true,
         phShape::polygon},
        {"box circle", {phDynamicBody, 2, plain}, {phDynamicBody, 0, plain}, true, phShape::polygon},
        {"box box", {phDynamicBody, 2, plain}, {phStaticBody, 2, plain}, true, phShape::polygon},
        {"circle edge: edge first", {phDynamicBody, 0, plain}, {phStaticBody, 1, plain}, true, phShape::edge},
        {"box edge", {phDynamicBody, 2, plain}, {phStaticBody, 1, plain}, true, phShape::edge},
        {"edge edge", {phDynamicBody, 1, plain}, {phDynamicBody, 1, plain}, false, {}},
        {"static static", {phStaticBody, 2, plain}, {phStaticBody, 0, plain}, false, {}},
        {"static kinematic", {phStaticBody, 2, plain}, {phKinematicBody, 0, plain}, false, {}},
        {"kinematic dynamic", {phKinematicBody, 2, plain}, {phDynamicBody, 0, plain}, true, phShape::polygon},
        {"same positive group",
         {phDynamicBody, 0, Filter(1, 0, 3)},
         {phDynamicBody, 0, Filter(1, 0, 3)},
         true,
         phShape::circle},
        {"same negative group",
         {phDynamicBody, 0, Filter(1, 0xFFFF, -3)},
         {phDynamicBody, 0, Filter(1, 0xFFFF, -3)},
         false,
         {}},
        {"mask rejects category",
         {phDynamicBody, 0, Filter(2, 0xFFFF, 0)},
         {phDynamicBody, 0, Filter(1, 1, 0)},
         false,
         {}},
        {"masks accept each other",
         {phDynamicBody, 0, Filter(2, 1, 0)},
         {phDynamicBody, 0, Filter(1, 2, 0)},
         true,
         phShape::circle},
        {"different groups use masks",
         {phDynamicBody, 0, Filter(1, 0xFFFF, -1)},
         {phDynamicBody, 0, Filter(1, 0xFFFF, -2)},
         true,
         phShape::circle},
        {"sensor", {phDynamicBody, 0, plain, true}, {phStaticBody, 2, plain}, true, phShape::polygon},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto world = MakeWorld({0.0f, 0.0f});
        Add(*world, c.a, {0.0f, 0.0f});
        Add(*world, c.b, {0.3f, 0.2f});
        world->Step(kStep, 8, 3);
        ASSERT_EQ(world->GetContactCount(), c.contact ? 1 : 0);
        if (c.contact) {
            EXPECT_EQ(world->GetContactList()->GetFixtureA()->GetKind(), c.kindA);
        }
    }
}

TEST(ContactTest, SameBodyNeverCollidesAndMaterialsMix)
{
    auto world = MakeWorld({0.0f, 0.0f});
    phBody* const body = AddBody(*world, phDynamicBody, {0.0f, 0.0f});
    AddShape(body, kCircle, 1.0f, 0.4f, 0.1f);
    AddShape(body, kBox, 1.0f, 0.9f, 0.5f);
    world->Step(kStep, 8, 3);
    EXPECT_EQ(world->GetContactCount(), 0);

    phBody* const other = AddBody(*world, phDynamicBody, {0.6f, 0.0f});
    AddShape(other, kCircle, 1.0f, 0.9f, 0.5f);
    world->Step(kStep, 8, 3);
    ASSERT_EQ(world->GetContactCount(), 2);
    for (phContact* c = world->GetContactList(); c != nullptr; c = c->GetNext()) {
        if (c->GetFixtureA()->GetKind() == phShape::circle && c->GetFixtureA()->GetBody() == body) {
            EXPECT_FLOAT_EQ(c->GetFriction(), 0.6f);
            EXPECT_FLOAT_EQ(c->GetRestitution(), 0.5f);
        }
    }
}

namespace {

// Records every callback in order and tries to change the world inside them.
class RecordingListener : public phContactListener
{
public:
    explicit RecordingListener(phWorld* world) : m_world(world) {}

    void BeginContact(phContact* contact) override
    {
        events.push_back("begin");
        TryChanges(contact);
    }
    void EndContact(phContact*) override { events.push_back("end"); }
    void PreSolve(phContact*, const phLocalManifold*) override { Push("pre"); }
    void PostSolve(phContact*, const phContactImpulse* impulse) override
    {
        Push("post");
        maxImpulse = std::max(maxImpulse, impulse->normalImpulses[0]);
    }

    std::vector<std::string> events;
    float maxImpulse = 0.0f;
    bool refusedCreation = false;

private:
    // Collapse repeats so the sequence reads as phases.
    void Push(const char* event)
    {
        if (events.empty() || events.back() != event) {
            events.push_back(event);
        }
    }
    void TryChanges(phContact* contact)
    {
        EXPECT_TRUE(m_world->IsLocked());
        phBodyDesc desc;
        desc.type = phDynamicBody;
        refusedCreation = m_world->CreateBody(desc) == nullptr;
        phBody* const body = contact->GetFixtureB()->GetBody();
        phFixtureDesc fixture;
        fixture.shape = &kCircle;
        EXPECT_EQ(body->CreateFixture(fixture), nullptr);
        const phVector before = body->GetPosition();
        body->SetTransform({50.0f, 50.0f}, 0.0f);
        EXPECT_EQ(body->GetPosition(), before);
        const int32_t count = m_world->GetBodyCount();
        m_world->DestroyBody(body);
        EXPECT_EQ(m_world->GetBodyCount(), count);
    }

    phWorld* m_world;
};

} // namespace

TEST(ContactTest, ListenerSeesBeginSolveAndEndInOrder)
{
    auto world = MakeWorld();
    RecordingListener listener(world.get());
    world->SetContactListener(&listener);
    AddGround(*world, 10.0f);
    phBody* const ball = AddBody(*world, phDynamicBody, {0.0f, 1.0f});
    AddShape(ball, kCircle);
    for (int n = 0; n < 60; ++n) {
        world->Step(kStep, 8, 3);
    }
    ball->SetTransform({0.0f, 5.0f}, 0.0f); // lifted off: the contact ends
    ball->SetAwake(true);                   // (it may have fallen asleep on the ground)
    world->Step(kStep, 8, 3);
    // begin, then pre-solve and post-solve in every step it touched, then end.
    const std::vector<std::string>& events = listener.events;
    ASSERT_GE(events.size(), 4u);
    EXPECT_EQ(events.front(), "begin");
    EXPECT_EQ(events.back(), "end");
    for (size_t i = 1; i + 1 < events.size(); ++i) {
        EXPECT_EQ(events[i], i % 2 == 1 ? "pre" : "post") << "event " << i;
    }
    EXPECT_EQ(events.size() % 2, 0u);
    EXPECT_TRUE(listener.refusedCreation);
    EXPECT_GT(listener.maxImpulse, 0.0f);
    EXPECT_FALSE(world->IsLocked());
    world->SetContactListener(nullptr);
}

TEST(ContactTest, FilterChangeRemovesContactWithEndCall)
{
    auto world = MakeWorld();
    RecordingListener listener(world.get());
    AddGround(*world, 10.0f);
    phBody* const ball = AddBody(*world, phDynamicBody, {0.0f, 0.49f});
    phFixture* const fixture = AddShape(ball, kCircle);
    world->Step(kStep, 8, 3);
    ASSERT_EQ(world->GetContactCount(), 1);
    ASSERT_TRUE(world->GetContactList()->IsTouching());

    world->SetContactListener(&listener);
    fixture->SetFilterData(Filter(1, 0, 0));
    world->Step(kStep, 8, 3);
    EXPECT_EQ(world->GetContactCount(), 0);
    EXPECT_EQ(listener.events, (std::vector<std::string>{"end"}));
    world->SetContactListener(nullptr);
}

TEST(ContactTest, SensorTouchesWithoutPointsOrIslands)
{
    auto world = MakeWorld({0.0f, 0.0f});
    RecordingListener listener(world.get());
    phBody* const sleeper = AddBody(*world, phDynamicBody, {0.0f, 0.0f});
    AddShape(sleeper, kBox);
    sleeper->SetAwake(false);
    phBodyDesc desc;
    desc.type = phDynamicBody;
    desc.position = {3.0f, 0.0f};
    phBody* const probe = world->CreateBody(desc);
    phFixtureDesc sensor;
    sensor.shape = &kCircle;
    sensor.isSensor = true;
    sensor.density = 1.0f;
    probe->CreateFixture(sensor);
    probe->SetLinearVelocity({-3.0f, 0.0f});
    world->SetContactListener(&listener);
    for (int n = 0; n < 50; ++n) {
        world->Step(kStep, 8, 3);
    }
    ASSERT_EQ(world->GetContactCount(), 1);
    const phContact* const contact = world->GetContactList();
    EXPECT_TRUE(contact->IsTouching());
    EXPECT_EQ(contact->GetManifold()->pointCount, 0);
    EXPECT_EQ(listener.events, std::vector<std::string>{"begin"});
    // The sensor passed through without pushing or waking the sleeping box.
    EXPECT_FALSE(sleeper->IsAwake());
    EXPECT_EQ(sleeper->GetPosition(), phVector(0.0f, 0.0f));
    EXPECT_FLOAT_EQ(probe->GetLinearVelocity().x, -3.0f);
    world->SetContactListener(nullptr);
}

namespace {

// Destroys the other body of every contact that ends, as a game would remove
// a pickup when it is let go; records whether each destroy went through.
class DestroyingListener : public phContactListener
{
public:
    explicit DestroyingListener(phWorld* world) : m_world(world) {}
    void EndContact(phContact* contact) override
    {
        ++ends;
        locked.push_back(m_world->IsLocked());
        accepted.push_back(m_world->DestroyBody(contact->GetFixtureA()->GetBody()));
        accepted.push_back(m_world->DestroyBody(contact->GetFixtureB()->GetBody()));
    }

    int ends = 0;
    std::vector<bool> locked;
    std::vector<bool> accepted;

private:
    phWorld* m_world;
};

} // namespace

TEST(ContactTest, DestroyFromEndContactOutsideStepIsRefused)
{
    auto world = MakeWorld({0.0f, 0.0f});
    DestroyingListener listener(world.get());
    // A hub touching three balls: destroying it ends three touching contacts.
    phBody* const hub = AddBody(*world, phDynamicBody, {0.0f, 0.0f});
    AddShape(hub, kCircle);
    for (const phVector at : {phVector(0.95f, 0.0f), phVector(-0.475f, 0.823f), phVector(-0.475f, -0.823f)}) {
        AddShape(AddBody(*world, phDynamicBody, at), kCircle);
    }
    world->Step(kStep, 8, 3);
    ASSERT_EQ(world->GetContactCount(), 3);

    world->SetContactListener(&listener);
    EXPECT_TRUE(world->DestroyBody(hub));
    EXPECT_EQ(listener.ends, 3);
    EXPECT_EQ(listener.locked, std::vector<bool>(3, true));
    EXPECT_EQ(listener.accepted, std::vector<bool>(6, false));
    EXPECT_EQ(world->GetBodyCount(), 3);
    EXPECT_EQ(world->GetContactCount(), 0);
    EXPECT_FALSE(world->IsLocked());

    // Unlocked again: the survivors can be destroyed, and bodies made.
    EXPECT_TRUE(world->DestroyBody(world->GetBodyList()));
    EXPECT_EQ(world->GetBodyCount(), 2);
    EXPECT_NE(AddBody(*world, phDynamicBody, {5.0f, 5.0f}), nullptr);
    world->SetContactListener(nullptr);
}

TEST(ContactTest, FixtureWithoutShapeIsRefused)
{
    auto world = MakeWorld();
    phBody* const body = AddBody(*world, phDynamicBody, {0.0f, 0.0f});
    phFixtureDesc desc;
    desc.density = 1.0f;
    EXPECT_EQ(body->CreateFixture(desc), nullptr);
    EXPECT_EQ(body->GetFixtureCount(), 0);
    EXPECT_EQ(body->GetMass(), 1.0f);
    world->Step(kStep, 8, 3);
}
