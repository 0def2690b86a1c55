// Sequential-impulse solver of the contacts of one island: warm starting,
// friction, a two-point block solver and position correction.
#pragma once

#include "physics/collision/manifold.h"
#include "physics/common/math.h"

#include <cstdint>

class phContact;
class phStackAllocator;

struct phSolverPosition
{
    phVector c;
    float a;
};

struct phSolverVelocity
{
    phVector v;
    float w;
};

struct phVelocityPoint
{
    phVector rA;
    phVector rB;
    float normalImpulse;
    float tangentImpulse;
    float normalMass;
    float tangentMass;
    float velocityBias;
};

struct phContactVelocityBlock
{
    phVelocityPoint points[phMaxManifoldPoints];
    phVector normal;
    phMatrix22 normalMass;
    phMatrix22 K;
    int32_t indexA;
    int32_t indexB;
    float invMassA, invMassB;
    float invIA, invIB;
    float friction;
    float restitution;
    float tangentSpeed;
    int32_t pointCount;
    int32_t contactIndex;
};

struct phContactPositionBlock
{
    phVector localPoints[phMaxManifoldPoints];
    phVector localNormal;
    phVector localPoint;
    int32_t indexA;
    int32_t indexB;
    float invMassA, invMassB;
    phVector localCenterA, localCenterB;
    float invIA, invIB;
    phLocalManifold::Type type;
    float radiusA, radiusB;
    int32_t pointCount;
};

struct phContactSolverDesc
{
    phTimeStep step;
    phContact** contacts = nullptr;
    int32_t count = 0;
    phSolverPosition* positions = nullptr;
    phSolverVelocity* velocities = nullptr;
    phStackAllocator* allocator = nullptr;
};

class phContactSolver
{
public:
    explicit phContactSolver(const phContactSolverDesc& desc);
    phContactSolver(const phContactSolver&) = delete;
    phContactSolver& operator=(const phContactSolver&) = delete;
    ~phContactSolver();

    void InitializeVelocityConstraints();
    void WarmStart();
    void SolveVelocityConstraints();
    void StoreImpulses();
    // Returns whether every separation is within tolerance.
    bool SolvePositionConstraints();
    // The same for a time-of-impact sub-step: only bodies toiIndexA and toiIndexB move.
    bool SolveTOIPositionConstraints(int32_t toiIndexA, int32_t toiIndexB);

    const phContactVelocityBlock* GetVelocityBlocks() const { return m_velocityBlocks; }
    int32_t GetCount() const { return m_count; }

private:
    bool CorrectPositions(int32_t toiIndexA, int32_t toiIndexB, float baumgarte, float solvedSeparation);

    phTimeStep m_step;
    phSolverPosition* m_positions;
    phSolverVelocity* m_velocities;
    phStackAllocator* m_allocator;
    phContactPositionBlock* m_positionBlocks;
    phContactVelocityBlock* m_velocityBlocks;
    phContact** m_contacts;
    int32_t m_count;
};
