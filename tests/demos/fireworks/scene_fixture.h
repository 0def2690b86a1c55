#pragma once
// A small actor scene for the framework's tests: an app whose state sets the
// frame rate, a pool of actors, a world and a list wired as the demo wires
// them, and displayers and actions that record what they are given.
#include "demos/core/base_app.h"
#include "demos/fireworks/actor.h"
#include "platform/crt.h"

#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace lmd::test {

// Counts the draws of each actor and the age it had at each.
class RecordingDisplayer : public ActorDisplayer
{
public:
    RecordingDisplayer() : ActorDisplayer({}) {}
    void draw(const Actor& actor) override { ages.push_back(actor.age); }
    std::vector<int> ages;
};

class RecordingAction : public Action
{
public:
    void apply(Actor& actor) override { ages.push_back(actor.age); }
    std::vector<int> ages;
};

class SceneTest : public ::testing::Test
{
protected:
    explicit SceneTest(int actors = 64)
    {
        app.core().frameRate = 30.0f;
        for (int i = 0; i < actors; ++i)
            pool.add(std::make_unique<Actor>());
        builder.pool = &pool;
        builder.bodyComponent = std::make_shared<ImmutablePhysicsBodyComponent>(1.0f, 0.0f);
        crt::srand(1);
    }

    // An actor of `from` at (x, y) moving at (vx, vy), pending in the list.
    Actor& Add(const ActorBuilder& from, float x = 0, float y = 0, float vx = 0, float vy = 0)
    {
        Actor* const actor = from.build(x, y, vx, vy);
        EXPECT_NE(actor, nullptr);
        list.add(*actor);
        return *actor;
    }

    // One frame as the demo runs it: the world's step, then the list's update.
    void Frame()
    {
        world.step();
        list.update();
        ++app.core().frameNum;
    }

    gaBaseApp app; // its state is the current one: frame rate 30
    ObjectPool pool;
    PhysicsWorld world;
    ActorList list{&world};
    ActorBuilder builder;
};

} // namespace lmd::test
