#pragma once
// The actions of the fireworks: each spawns new actors from a builder it owns,
// into the list of the actor it acts on. Spawned actors are pending adds and
// move from the next frame. When the pool has no free actor a spawn is skipped.
#include "demos/fireworks/actor.h"

#include <memory>
#include <vector>

// An action that spawns actors from its own builder.
class FireAction : public Action
{
public:
    explicit FireAction(std::unique_ptr<ActorBuilder> builder) : m_builder(std::move(builder)) {}
    const ActorBuilder& builder() const { return *m_builder; }

protected:
    // An actor of the builder at (x, y) moving at (vx, vy), added to the list of
    // `parent`; null when the pool has none free or the parent is in no list.
    Actor* spawn(const Actor& parent, float x, float y, float vx, float vy) const;

private:
    const std::unique_ptr<ActorBuilder> m_builder;
};

// A trail behind a rising rocket: while the rocket's progress is at most the
// threshold, one speck a frame, wobbling sideways three times a second and
// smaller as the progress nears the threshold.
class BurnFireAction : public FireAction
{
public:
    static constexpr float kDefaultThreshold = 0.6f;

    explicit BurnFireAction(std::unique_ptr<ActorBuilder> builder, float threshold = kDefaultThreshold);
    void apply(Actor& actor) override;

private:
    const float m_frameRate; // the core frame rate when made
    const float m_threshold;
};

// Two bursts of 15 x 15 sparks at the end of an actor's life: at age
// (int)(lifetime x 0.99) at 400 pixels a second and at age lifetime at 150. All
// sparks of a burst share one displayer, picked at random from the action's.
class ExplodeFireAction : public FireAction
{
public:
    static constexpr int kSparksPerAxis = 15;

    ExplodeFireAction(std::unique_ptr<ActorBuilder> builder, std::vector<std::unique_ptr<ActorDisplayer>> displayers);
    void apply(Actor& actor) override;
    const std::vector<std::unique_ptr<ActorDisplayer>>& displayers() const { return m_displayers; }

private:
    void burst(const Actor& actor, float speed) const;

    const float m_frameRate; // the core frame rate when made
    const std::vector<std::unique_ptr<ActorDisplayer>> m_displayers;
};

// Specks of gunpowder dropped at random, most often early in the actor's life,
// moving with it and drawn like it.
class LeaveGunpowderFireAction : public FireAction
{
public:
    using FireAction::FireAction;
    void apply(Actor& actor) override;
};
