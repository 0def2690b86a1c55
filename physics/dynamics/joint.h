// The joint record: the world keeps a list of joints and the bodies link to
// them. No constraint kind exists yet: a joint only links two bodies and
// decides whether they collide, and its solver hooks do nothing.
#pragma once

#include "physics/common/math.h"

#include <cstdint>

class phBody;
class phJoint;
struct phSolverPosition;
struct phSolverVelocity;

struct phJointLink
{
    phBody* other = nullptr;
    phJoint* joint = nullptr;
    phJointLink* prev = nullptr;
    phJointLink* next = nullptr;
};

// What the island hands to constraint solvers.
struct phSolverData
{
    phTimeStep step;
    phSolverPosition* positions = nullptr;
    phSolverVelocity* velocities = nullptr;
};

struct phJointDesc
{
    int32_t kind = 0;
    phBody* bodyA = nullptr;
    phBody* bodyB = nullptr;
    bool collideConnected = false;
    void* userData = nullptr;
};

class phJoint
{
public:
    virtual ~phJoint() = default;

    int32_t GetKind() const { return m_kind; }
    phBody* GetBodyA() { return m_bodyA; }
    phBody* GetBodyB() { return m_bodyB; }
    phJoint* GetNext() { return m_next; }
    bool GetCollideConnected() const { return m_collideConnected; }
    void* GetUserData() const { return m_userData; }

    virtual void InitVelocityConstraints(const phSolverData&) {}
    virtual void SolveVelocityConstraints(const phSolverData&) {}
    // Returns whether the position error is within tolerance.
    virtual bool SolvePositionConstraints(const phSolverData&) { return true; }

private:
    friend class phWorld;
    friend class phBody;

    explicit phJoint(const phJointDesc& desc)
        : m_kind(desc.kind), m_bodyA(desc.bodyA), m_bodyB(desc.bodyB),
          m_collideConnected(desc.collideConnected), m_userData(desc.userData)
    {
    }

    int32_t m_kind;
    phJoint* m_prev = nullptr;
    phJoint* m_next = nullptr;
    phJointLink m_edgeA;
    phJointLink m_edgeB;
    phBody* m_bodyA;
    phBody* m_bodyB;
    bool m_islandFlag = false;
    bool m_collideConnected;
    void* m_userData;
};
