// The actor framework's pool, list and lifetimes: 4096 actors handed out once,
// exhaustion reported per request, commits that mirror the list in the world,
// and actors that live lifetime + 1 frames.
#include "demos/fireworks/actor.h"
#include "tests/demos/fireworks/scene_fixture.h"

#include <set>
#include <string>

namespace {

using lmd::test::RecordingAction;
using lmd::test::RecordingDisplayer;
using lmd::test::SceneTest;

const std::string kPoolMessage = "Object pool allocation failed. Too many objects created!\n";

class FullPoolTest : public SceneTest
{
protected:
    FullPoolTest() : SceneTest(ObjectPool::kCapacity) {}
};

TEST_F(FullPoolTest, HandsOutEveryActorOnceThenReportsEachFailedRequest)
{
    std::set<Actor*> handedOut;
    for (int i = 0; i < ObjectPool::kCapacity; ++i)
        handedOut.insert(&Add(builder, static_cast<float>(i)));
    EXPECT_EQ(handedOut.size(), 4096u);
    EXPECT_EQ(pool.inUseCount(), 4096);

    testing::internal::CaptureStdout();
    EXPECT_EQ(builder.build(0, 0, 0, 0), nullptr);
    EXPECT_EQ(builder.build(0, 0, 0, 0), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), kPoolMessage + kPoolMessage);
    EXPECT_EQ(pool.inUseCount(), 4096);

    list.commit();
    Actor* const released = list.actors()[100];
    list.pendingRemove(*released);
    list.commit();
    EXPECT_EQ(pool.inUseCount(), 4095);
    EXPECT_EQ(list.actors().size(), 4095u);
    EXPECT_EQ(world.bodies.size(), 4095u);

    testing::internal::CaptureStdout();
    Actor* const again = builder.build(7, 8, 9, 10);
    Actor* const beyond = builder.build(0, 0, 0, 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), kPoolMessage);
    EXPECT_EQ(again, released); // the one freed is the one handed out again
    EXPECT_EQ(beyond, nullptr);
    EXPECT_EQ(pool.inUseCount(), 4096);
}

TEST_F(SceneTest, BuildStampsTheBuildersFieldsOnAFreshActor)
{
    RecordingDisplayer displayer;
    auto first = std::make_shared<RecordingAction>();
    auto second = std::make_shared<RecordingAction>();
    builder.displayer = std::shared_ptr<ActorDisplayer>(&displayer, [](ActorDisplayer*) {});
    builder.actions = {first, second};
    builder.lifetime = 12;

    Actor& actor = Add(builder, 1, 2, 3, 4);
    EXPECT_TRUE(actor.inUse);
    EXPECT_EQ(actor.displayer, &displayer);
    EXPECT_EQ(actor.actions, (std::vector<Action*>{first.get(), second.get()}));
    EXPECT_EQ(actor.component, builder.bodyComponent.get());
    EXPECT_EQ((std::vector<float>{actor.x, actor.y, actor.vx, actor.vy}), (std::vector<float>{1, 2, 3, 4}));
    EXPECT_EQ(actor.lifetime, 12);
    EXPECT_EQ(actor.age, 0);
    EXPECT_EQ(actor.scale, 1.0f);
    EXPECT_EQ(actor.list, &list);

    // Back in the pool everything is cleared, so the next life starts fresh.
    actor.age = 5;
    actor.scale = 0.25f;
    actor.fx = 1;
    list.pendingRemove(actor);
    list.commit();
    EXPECT_FALSE(actor.inUse);
    EXPECT_EQ(actor.displayer, nullptr);
    EXPECT_TRUE(actor.actions.empty());
    EXPECT_EQ(actor.component, nullptr);
    EXPECT_EQ((std::vector<float>{actor.x, actor.y, actor.vx, actor.vy, actor.fx, actor.fy}),
              std::vector<float>(6, 0.0f));
    EXPECT_EQ(actor.lifetime, 0);
    EXPECT_EQ(actor.age, 0);
    EXPECT_EQ(actor.scale, 1.0f);
    EXPECT_EQ(actor.list, nullptr);
}

TEST_F(SceneTest, CommitRemovesFirstOccurrencesKeepingTheOrderThenAppendsAdds)
{
    Actor& a = Add(builder);
    Actor& b = Add(builder);
    Actor& c = Add(builder);
    Actor& d = Add(builder);
    list.commit();
    ASSERT_EQ(list.actors(), (std::vector<Actor*>{&a, &b, &c, &d}));
    EXPECT_EQ(world.bodies, (PhysicsBodyList{&a, &b, &c, &d}));
    EXPECT_EQ(pool.inUseCount(), 4);

    Actor& e = Add(builder); // pending: in use, counted, not listed yet
    EXPECT_EQ(pool.inUseCount(), 5);
    EXPECT_EQ(list.actors().size(), 4u);
    list.pendingRemove(c);
    list.pendingRemove(a);
    list.pendingRemove(c); // twice: released once
    list.commit();
    EXPECT_EQ(list.actors(), (std::vector<Actor*>{&b, &d, &e}));
    EXPECT_EQ(world.bodies, (PhysicsBodyList{&b, &d, &e}));
    EXPECT_EQ(pool.inUseCount(), 3);

    // An actor listed twice loses its first place only (and goes back to its pool).
    list.add(b);
    list.commit();
    ASSERT_EQ(list.actors(), (std::vector<Actor*>{&b, &d, &e, &b}));
    list.pendingRemove(b);
    list.commit();
    EXPECT_EQ(list.actors(), (std::vector<Actor*>{&d, &e, &b}));
    EXPECT_EQ(world.bodies, (PhysicsBodyList{&d, &e, &b}));
    EXPECT_EQ(pool.inUseCount(), 2);
    list.pendingRemove(b);
    list.commit();
    EXPECT_EQ(list.actors(), (std::vector<Actor*>{&d, &e}));
    EXPECT_EQ(pool.inUseCount(), 2); // already free: nothing more to release

    // An actor in no list still goes back to its pool.
    Actor* const stray = builder.build(0, 0, 0, 0);
    ASSERT_NE(stray, nullptr);
    EXPECT_EQ(pool.inUseCount(), 3);
    list.pendingRemove(*stray);
    list.commit();
    EXPECT_EQ(pool.inUseCount(), 2);
    EXPECT_EQ(list.actors(), (std::vector<Actor*>{&d, &e}));
    EXPECT_EQ(world.bodies, (PhysicsBodyList{&d, &e}));
}

TEST_F(SceneTest, AnActorIsDrawnAndActsForLifetimePlusOneFrames)
{
    for (const int lifetime : {0, 1, 5, 30}) {
        RecordingDisplayer displayer;
        auto action = std::make_shared<RecordingAction>();
        builder.displayer = std::shared_ptr<ActorDisplayer>(&displayer, [](ActorDisplayer*) {});
        builder.actions = {action};
        builder.lifetime = lifetime;
        Add(builder);
        std::vector<int> inUse;
        for (int frame = 0; frame < lifetime + 3; ++frame) {
            Frame();
            inUse.push_back(pool.inUseCount());
        }
        std::vector<int> ages;
        for (int age = 0; age <= lifetime; ++age)
            ages.push_back(age);
        EXPECT_EQ(displayer.ages, ages) << "lifetime " << lifetime;
        EXPECT_EQ(action->ages, ages) << "lifetime " << lifetime;
        // In use up to the frame after its last one, whose commit frees it.
        std::vector<int> expected(static_cast<std::size_t>(lifetime + 1), 1);
        expected.insert(expected.end(), {0, 0});
        EXPECT_EQ(inUse, expected) << "lifetime " << lifetime;
        EXPECT_TRUE(list.actors().empty());
        EXPECT_TRUE(world.bodies.empty());
    }
}

TEST_F(SceneTest, ActorsSpawnedDuringAFrameMoveFromTheNext)
{
    // An action that spawns one actor into the list of the one it acts on.
    class Spawner : public Action
    {
    public:
        explicit Spawner(const ActorBuilder& from) : m_from(from) {}
        void apply(Actor& actor) override
        {
            if (Actor* const child = m_from.build(actor.x, 0, 1, 0))
                actor.list->add(*child);
        }

    private:
        const ActorBuilder& m_from;
    };
    ActorBuilder children = builder;
    children.lifetime = 10;
    builder.actions = {std::make_shared<Spawner>(children)};
    builder.lifetime = 0;
    Add(builder);

    Frame(); // the parent is listed, acts once and is marked
    ASSERT_EQ(list.actors().size(), 1u);
    EXPECT_EQ(pool.inUseCount(), 2);
    Frame(); // the parent goes, the child is listed (after this frame's step)
    ASSERT_EQ(list.actors().size(), 1u);
    EXPECT_EQ(list.actors().front()->x, 0.0f);
    EXPECT_EQ(list.actors().front()->age, 1);
    Frame();
    EXPECT_EQ(list.actors().front()->x, 1.0f); // moved by the step
}

TEST(ActorProgressTest, AgeOverLifetimeUpToOneAndZeroForLifetimesBelowOne)
{
    struct Case
    {
        int lifetime;
        int age;
        float progress;
    };
    const Case cases[] = {
        {4, 0, 0.0f}, {4, 1, 0.25f}, {4, 3, 0.75f}, {4, 4, 1.0f}, {4, 9, 1.0f},
        {0, 0, 0.0f}, {0, 7, 0.0f},  {-3, 2, 0.0f},
    };
    for (const Case& c : cases) {
        Actor actor;
        actor.lifetime = c.lifetime;
        actor.age = c.age;
        EXPECT_EQ(actor.progress(), c.progress) << c.age << " of " << c.lifetime;
    }
}

} // namespace
