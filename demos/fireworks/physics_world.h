#pragma once
// A frame-stepped point-mass world: bodies with a position, a velocity and a
// force accumulator, moved one frame per step under force fields (gravity, air
// drag). Distances are canvas pixels (one pixel per metre), time is frames.
//
// A step: every field adds to the bodies' accumulators, then every body in list
// order runs its component's hook and is integrated (velocity += accumulator,
// accumulator cleared, position += the new velocity). The accumulator holds an
// acceleration: it is added to the velocity without dividing by the mass.
#include "demos/fireworks/object_pool.h"

#include <memory>
#include <vector>

class PhysicsBody;

// Mass and size of a body, and a hook run once per step before integration.
class PhysicsBodyComponent
{
public:
    virtual ~PhysicsBodyComponent() = default;
    virtual void update(PhysicsBody& /*body*/) {}
    virtual float getMass() const = 0;
    virtual float getRadius() const = 0;
};

class ImmutablePhysicsBodyComponent : public PhysicsBodyComponent
{
public:
    ImmutablePhysicsBodyComponent(float mass, float radius) : m_mass(mass), m_radius(radius) {}
    float getMass() const override { return m_mass; }
    float getRadius() const override { return m_radius; }

private:
    const float m_mass;
    const float m_radius;
};

class PhysicsBody : public PoolableObject
{
public:
    PhysicsBodyComponent* component = nullptr; // not owned; a body without one has no hook and no drag
    float x = 0.0f;  // pixels
    float y = 0.0f;
    float vx = 0.0f; // pixels per frame
    float vy = 0.0f;
    float fx = 0.0f; // pixels per frame per frame, added to the velocity at the next step
    float fy = 0.0f;

private:
    friend class ActorList;
    int m_pendingRemovals = 0; // scratch count of ActorList::commit, 0 outside it
};

using PhysicsBodyList = std::vector<PhysicsBody*>;

class PhysicsForceField
{
public:
    explicit PhysicsForceField(const PhysicsBodyList& bodies) : m_bodies(bodies) {}
    virtual ~PhysicsForceField() = default;
    // Adds this field's acceleration to every body's accumulator.
    virtual void apply() = 0;

protected:
    const PhysicsBodyList& m_bodies; // the body list of the world the field acts in
};

// Downwards 9.80665 m/s^2 at one pixel per metre, per frame squared at the core
// frame rate when the field is made.
class GravityForceField : public PhysicsForceField
{
public:
    explicit GravityForceField(const PhysicsBodyList& bodies);
    void apply() override;
    float acceleration() const { return m_g; }

private:
    const float m_g;
};

class DragForceField : public PhysicsForceField
{
public:
    using PhysicsForceField::PhysicsForceField;
    virtual float getAirVelocityX() const = 0;
    virtual float getAirVelocityY() const = 0;
};

// Drag in still air against the velocity: k r^2 |v|^2 / m with k = pi / 2.
class StableAtmosphereDragForceField : public DragForceField
{
public:
    static constexpr float kDragFactor = 1.5707964f;

    using DragForceField::DragForceField;
    void apply() override;
    float getAirVelocityX() const override { return 0.0f; }
    float getAirVelocityY() const override { return 0.0f; }
};

class PhysicsWorld
{
public:
    PhysicsWorld();
    PhysicsWorld(const PhysicsWorld&) = delete;
    PhysicsWorld& operator=(const PhysicsWorld&) = delete;

    // One frame: the fields in the order they were added, then every body.
    void step();
    void addForceField(std::unique_ptr<PhysicsForceField> field);

    PhysicsBodyList bodies; // not owned
    std::vector<std::unique_ptr<PhysicsForceField>> forceFields;
};
