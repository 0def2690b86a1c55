#include "demos/fireworks/actor.h"

#include <algorithm>
#include <iostream>

namespace {

constexpr std::size_t kReservedEntries = 16;

} // namespace

void Actor::reset()
{
    component = nullptr;
    x = y = vx = vy = fx = fy = 0.0f;
    displayer = nullptr;
    actions.clear(); // the storage stays for the next life
    lifetime = 0;
    age = 0;
    list = nullptr;
    scale = 1.0f;
}

float Actor::progress() const
{
    if (lifetime < 1)
        return 0.0f;
    return std::min(static_cast<float>(age) / static_cast<float>(lifetime), 1.0f);
}

void ActorDisplayer::draw(const Actor& actor)
{
    m_image.draw(actor.x, actor.y);
}

ActorList::ActorList(PhysicsWorld* world) : world(world)
{
    m_actors.reserve(kReservedEntries);
    m_pendingAdds.reserve(kReservedEntries);
    m_pendingRemoves.reserve(kReservedEntries);
}

void ActorList::add(Actor& actor)
{
    m_pendingAdds.push_back(&actor);
    actor.list = this;
}

void ActorList::pendingRemove(Actor& actor)
{
    m_pendingRemoves.push_back(&actor);
}

template <typename Body> void ActorList::eraseRemoved(std::vector<Body*>& list)
{
    // Erasing one actor at a time would cost the length of the list for each;
    // counting the removals of every actor and sweeping the list once, dropping
    // an entry while its actor still has removals to spend, gives the same list.
    for (Actor* const actor : m_pendingRemoves)
        ++actor->m_pendingRemovals;
    std::erase_if(list, [](PhysicsBody* body) {
        if (body->m_pendingRemovals == 0)
            return false;
        --body->m_pendingRemovals;
        return true;
    });
    for (Actor* const actor : m_pendingRemoves)
        actor->m_pendingRemovals = 0; // removals of actors that were not there
}

void ActorList::commit()
{
    eraseRemoved(m_actors);
    if (world)
        eraseRemoved(world->bodies);
    for (Actor* const actor : m_pendingRemoves)
        if (actor->pool)
            actor->pool->release(*actor);
    m_pendingRemoves.clear();

    for (Actor* const actor : m_pendingAdds) {
        m_actors.push_back(actor);
        if (world)
            world->bodies.push_back(actor);
    }
    m_pendingAdds.clear();
}

void ActorList::update()
{
    commit();
    for (Actor* const actor : m_actors) {
        if (actor->displayer)
            actor->displayer->draw(*actor);
        for (Action* const action : actor->actions)
            action->apply(*actor);
        ++actor->age;
        if (actor->age > actor->lifetime)
            (actor->list ? actor->list : this)->pendingRemove(*actor);
    }
}

Actor* ActorBuilder::build(float x, float y, float vx, float vy) const
{
    PoolableObject* const object = pool ? pool->acquire() : nullptr;
    auto* const actor = dynamic_cast<Actor*>(object);
    if (!actor) {
        if (object)
            pool->release(*object); // not an actor: it stays free
        std::cout << "Object pool allocation failed. Too many objects created!" << std::endl;
        return nullptr;
    }
    actor->displayer = displayer.get();
    for (const auto& action : actions)
        actor->actions.push_back(action.get());
    actor->component = bodyComponent.get();
    actor->x = x;
    actor->y = y;
    actor->vx = vx;
    actor->vy = vy;
    actor->lifetime = lifetime;
    return actor;
}
