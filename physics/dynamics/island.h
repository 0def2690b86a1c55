// A group of touching awake bodies with their contacts and joints, solved
// together; its arrays live in the world's stack allocator.
#pragma once

#include "physics/common/math.h"
#include "physics/dynamics/contact_solver.h"

#include <cstdint>

class phBody;
class phContact;
class phContactListener;
class phJoint;
class phStackAllocator;
struct phStepProfile;

class phIsland
{
public:
    phIsland(int32_t bodyCapacity, int32_t contactCapacity, int32_t jointCapacity,
             phStackAllocator* allocator, phContactListener* listener);
    phIsland(const phIsland&) = delete;
    phIsland& operator=(const phIsland&) = delete;
    ~phIsland();

    void Clear()
    {
        m_bodyCount = 0;
        m_contactCount = 0;
        m_jointCount = 0;
    }
    void Add(phBody* body);
    void Add(phContact* contact) { m_contacts[m_contactCount++] = contact; }
    void Add(phJoint* joint) { m_joints[m_jointCount++] = joint; }

    // Integrates, solves the contacts and puts the island to sleep when it rested long enough.
    void Solve(phStepProfile* profile, const phTimeStep& step, const phVector& gravity, bool allowSleep);
    // The rest of a step after a time of impact of bodies toiIndexA and toiIndexB.
    void SolveTOI(const phTimeStep& subStep, int32_t toiIndexA, int32_t toiIndexB);

    phBody* GetBody(int32_t index) { return m_bodies[index]; }
    int32_t GetBodyCount() const { return m_bodyCount; }
    int32_t GetContactCount() const { return m_contactCount; }
    int32_t GetBodyCapacity() const { return m_bodyCapacity; }
    int32_t GetContactCapacity() const { return m_contactCapacity; }

private:
    // Integrates positions with the step's translation and rotation limits.
    void IntegratePositions(float h);
    void Report(const phContactSolver& solver);
    phContactSolverDesc SolverDesc(const phTimeStep& step) const;
    // Writes the solved positions and velocities back into the bodies.
    void StoreBodies();

    phStackAllocator* m_allocator;
    phContactListener* m_listener;
    phBody** m_bodies;
    phContact** m_contacts;
    phJoint** m_joints;
    phSolverPosition* m_positions;
    phSolverVelocity* m_velocities;
    int32_t m_bodyCount = 0;
    int32_t m_jointCount = 0;
    int32_t m_contactCount = 0;
    int32_t m_bodyCapacity;
    int32_t m_contactCapacity;
    int32_t m_jointCapacity;
};
