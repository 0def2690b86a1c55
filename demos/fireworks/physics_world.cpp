#include "demos/fireworks/physics_world.h"

#include "demos/core/core.h"

#include <cmath>

namespace {

constexpr float kStandardGravity = 9.80665f; // m/s^2
constexpr std::size_t kReservedEntries = 1024;

float CoreFrameRate()
{
    return currentCore ? currentCore->frameRate : 0.0f;
}

void Integrate(PhysicsBody& body)
{
    body.vx += body.fx;
    body.fx = 0.0f;
    body.vy += body.fy;
    body.fy = 0.0f;
    body.x += body.vx;
    body.y += body.vy;
}

} // namespace

GravityForceField::GravityForceField(const PhysicsBodyList& bodies)
    : PhysicsForceField(bodies), m_g(kStandardGravity / (CoreFrameRate() * CoreFrameRate()))
{
}

void GravityForceField::apply()
{
    for (PhysicsBody* const body : m_bodies)
        body->fy += m_g;
}

void StableAtmosphereDragForceField::apply()
{
    for (PhysicsBody* const body : m_bodies) {
        if (!body->component)
            continue;
        const float dvx = getAirVelocityX() - body->vx;
        const float dvy = getAirVelocityY() - body->vy;
        const float s2 = dvx * dvx + dvy * dvy;
        const float speed = std::sqrt(s2);
        if (speed == 0.0f)
            continue; // at rest in the air, or too slow for the square to show
        const float r = body->component->getRadius();
        const float k = r * r * s2 * kDragFactor;
        body->fx += (dvx / speed) * k / body->component->getMass();
        body->fy += (dvy / speed) * k / body->component->getMass();
    }
}

PhysicsWorld::PhysicsWorld()
{
    bodies.reserve(kReservedEntries);
    forceFields.reserve(kReservedEntries);
}

void PhysicsWorld::addForceField(std::unique_ptr<PhysicsForceField> field)
{
    if (field)
        forceFields.push_back(std::move(field));
}

void PhysicsWorld::step()
{
    for (const auto& field : forceFields)
        field->apply();
    for (PhysicsBody* const body : bodies) {
        if (body->component)
            body->component->update(*body);
        Integrate(*body);
    }
}
