#pragma once
// Actors: pooled physics bodies with an age and a lifetime, drawn by a shared
// displayer and given behaviour by shared actions, both borrowed from the
// builder that stamped the actor out of the pool.
//
// An actor's life: free in its pool -> built (ActorBuilder::build) and added to
// an actor list as pending -> listed at the list's next commit (in the list and
// in its world's bodies; moved, drawn, acting and ageing every frame) -> pending
// removal once its age exceeds its lifetime -> free again at the next commit.
// So an actor is drawn and acts for lifetime + 1 frames, at ages 0 to lifetime.
#include "demos/core/image.h"
#include "demos/fireworks/physics_world.h"

#include <memory>
#include <vector>

class Action;
class ActorDisplayer;
class ActorList;

class Actor : public PhysicsBody
{
public:
    // Free again: no component, displayer, actions or list, all numbers 0, scale 1.
    void reset() override;
    // 0 for a lifetime below 1, else age / lifetime up to 1.
    float progress() const;

    ActorDisplayer* displayer = nullptr; // not owned
    std::vector<Action*> actions;        // not owned, applied in this order
    int lifetime = 0;                    // frames
    int age = 0;                         // frames
    ActorList* list = nullptr;           // the list that holds it
    float scale = 1.0f;
};

// Behaviour of the actors that carry it, applied once per frame to each.
class Action
{
public:
    virtual ~Action() = default;
    virtual void apply(Actor& actor) = 0;
};

// Draws actors with its picture, centred on them when the core's centre mode is on.
class ActorDisplayer
{
public:
    explicit ActorDisplayer(gaImage_<unsigned char> image) : m_image(std::move(image)) {}
    virtual ~ActorDisplayer() = default;
    // The picture at the actor's position.
    virtual void draw(const Actor& actor);
    const gaImage_<unsigned char>& image() const { return m_image; }

protected:
    gaImage_<unsigned char> m_image; // shares the picture it was given
};

// The actors of a scene, mirrored in the body list of a physics world. Adds and
// removals wait until the next commit, so a frame's pass over the list sees a
// list that does not change under it.
class ActorList
{
public:
    explicit ActorList(PhysicsWorld* world = nullptr);
    ActorList(const ActorList&) = delete;
    ActorList& operator=(const ActorList&) = delete;

    // A pending add; the actor's list becomes this one.
    void add(Actor& actor);
    void pendingRemove(Actor& actor);
    // Pending removals leave the list and the world's bodies (the first
    // occurrence of each, where present; the order of the rest kept) and go back
    // to their pool when in use; then pending adds are appended to both.
    void commit();
    // One frame, after the world's step: commit, then every listed actor is
    // drawn, acted on by each of its actions, aged by one and, once its age
    // exceeds its lifetime, marked for removal from its own list.
    void update();

    const std::vector<Actor*>& actors() const { return m_actors; }
    PhysicsWorld* world = nullptr;

private:
    // Removes the first occurrences of each pending removal from the list.
    template <typename Body> void eraseRemoved(std::vector<Body*>& list);

    std::vector<Actor*> m_actors;
    std::vector<Actor*> m_pendingAdds;
    std::vector<Actor*> m_pendingRemoves;
};

// A template of actors: every actor it builds takes its displayer, actions,
// body component and lifetime. The owner fills the fields.
class ActorBuilder
{
public:
    virtual ~ActorBuilder() = default;

    // An actor from the pool at (x, y) moving at (vx, vy), still to be added to
    // a list. When the pool has no free actor: null, after a line on standard
    // output.
    Actor* build(float x, float y, float vx, float vy) const;

    std::shared_ptr<ActorDisplayer> displayer;
    std::vector<std::shared_ptr<Action>> actions;
    std::shared_ptr<PhysicsBodyComponent> bodyComponent;
    int lifetime = 0;
    float defaultX = 0.0f;
    float defaultY = 0.0f;
    float defaultVx = 0.0f;
    float defaultVy = 0.0f;
    ObjectPool* pool = nullptr; // not owned
};
