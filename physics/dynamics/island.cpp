#include "physics/dynamics/island.h"

#include "physics/common/stack_allocator.h"
#include "physics/common/timer.h"
#include "physics/dynamics/body.h"
#include "physics/dynamics/callbacks.h"
#include "physics/dynamics/contact.h"
#include "physics/dynamics/joint.h"
#include "physics/dynamics/world.h"

#include <algorithm>
#include <cmath>

namespace {
template <typename T> T* AllocateArray(phStackAllocator* allocator, int32_t count)
{
    return static_cast<T*>(allocator->Allocate(static_cast<int32_t>(sizeof(T)) * count));
}
} // namespace

phIsland::phIsland(int32_t bodyCapacity, int32_t contactCapacity, int32_t jointCapacity,
                   phStackAllocator* allocator, phContactListener* listener)
    : m_allocator(allocator), m_listener(listener), m_bodies(AllocateArray<phBody*>(allocator, bodyCapacity)),
      m_contacts(AllocateArray<phContact*>(allocator, contactCapacity)),
      m_joints(AllocateArray<phJoint*>(allocator, jointCapacity)),
      m_positions(AllocateArray<phSolverPosition>(allocator, bodyCapacity)),
      m_velocities(AllocateArray<phSolverVelocity>(allocator, bodyCapacity)), m_bodyCapacity(bodyCapacity),
      m_contactCapacity(contactCapacity), m_jointCapacity(jointCapacity)
{
}

phIsland::~phIsland()
{
    m_allocator->Free(m_velocities);
    m_allocator->Free(m_positions);
    m_allocator->Free(m_joints);
    m_allocator->Free(m_contacts);
    m_allocator->Free(m_bodies);
}

void phIsland::Add(phBody* body)
{
    body->m_islandIndex = m_bodyCount;
    m_bodies[m_bodyCount++] = body;
}

phContactSolverDesc phIsland::SolverDesc(const phTimeStep& step) const
{
    phContactSolverDesc desc;
    desc.step = step;
    desc.contacts = m_contacts;
    desc.count = m_contactCount;
    desc.positions = m_positions;
    desc.velocities = m_velocities;
    desc.allocator = m_allocator;
    return desc;
}

void phIsland::StoreBodies()
{
    for (int32_t i = 0; i < m_bodyCount; ++i) {
        phBody* const body = m_bodies[i];
        body->m_motion.c = m_positions[i].c;
        body->m_motion.a = m_positions[i].a;
        body->m_linearVelocity = m_velocities[i].v;
        body->m_angularVelocity = m_velocities[i].w;
        body->SynchronizeTransform();
    }
}

void phIsland::IntegratePositions(float h)
{
    for (int32_t i = 0; i < m_bodyCount; ++i) {
        phVector c = m_positions[i].c;
        float a = m_positions[i].a;
        phVector v = m_velocities[i].v;
        float w = m_velocities[i].w;

        // Limit the motion of one step so that nothing runs away numerically.
        const phVector translation = h * v;
        if (phDot(translation, translation) > phMaxTranslationSquared) {
            v *= phMaxTranslation / translation.Length();
        }
        const float rotation = h * w;
        if (rotation * rotation > phMaxRotationSquared) {
            w *= phMaxRotation / std::fabs(rotation);
        }

        c += h * v;
        a += h * w;
        m_positions[i] = {c, a};
        m_velocities[i] = {v, w};
    }
}

void phIsland::Solve(phStepProfile* profile, const phTimeStep& step, const phVector& gravity, bool allowSleep)
{
    phStepTimer timer;
    const float h = step.dt;

    for (int32_t i = 0; i < m_bodyCount; ++i) {
        phBody* const b = m_bodies[i];
        const phVector c = b->m_motion.c;
        const float a = b->m_motion.a;
        phVector v = b->m_linearVelocity;
        float w = b->m_angularVelocity;
        b->m_motion.c0 = b->m_motion.c;
        b->m_motion.a0 = b->m_motion.a;

        if (b->m_type == phDynamicBody) {
            v += h * (b->m_gravityScale * gravity + b->m_invMass * b->m_force);
            w += h * b->m_invI * b->m_torque;
            // Damping as a Pade approximation of exp(-c h), stable for any step.
            v *= 1.0f / (1.0f + h * b->m_linearDamping);
            w *= 1.0f / (1.0f + h * b->m_angularDamping);
        }
        m_positions[i] = {c, a};
        m_velocities[i] = {v, w};
    }

    const phSolverData solverData{step, m_positions, m_velocities};
    phContactSolver contactSolver(SolverDesc(step));
    contactSolver.InitializeVelocityConstraints();
    if (step.warmStarting) {
        contactSolver.WarmStart();
    }
    for (int32_t i = 0; i < m_jointCount; ++i) {
        m_joints[i]->InitVelocityConstraints(solverData);
    }
    profile->solveInit += timer.GetMilliseconds();

    timer.Reset();
    for (int32_t iteration = 0; iteration < step.velocityIterations; ++iteration) {
        for (int32_t j = 0; j < m_jointCount; ++j) {
            m_joints[j]->SolveVelocityConstraints(solverData);
        }
        contactSolver.SolveVelocityConstraints();
    }
    contactSolver.StoreImpulses();
    profile->solveVelocity += timer.GetMilliseconds();

    timer.Reset();
    IntegratePositions(h);
    bool positionSolved = false;
    for (int32_t iteration = 0; iteration < step.positionIterations; ++iteration) {
        const bool contactsOkay = contactSolver.SolvePositionConstraints();
        bool jointsOkay = true;
        for (int32_t j = 0; j < m_jointCount; ++j) {
            jointsOkay = m_joints[j]->SolvePositionConstraints(solverData) && jointsOkay;
        }
        if (contactsOkay && jointsOkay) {
            positionSolved = true;
            break;
        }
    }

    StoreBodies();
    profile->solvePosition += timer.GetMilliseconds();

    Report(contactSolver);

    if (!allowSleep) {
        return;
    }
    float minSleepTime = phMaxFloat;
    for (int32_t i = 0; i < m_bodyCount; ++i) {
        phBody* const b = m_bodies[i];
        if (b->m_type == phStaticBody) {
            continue;
        }
        if ((b->m_flags & phBody::autoSleepFlag) == 0 ||
            b->m_angularVelocity * b->m_angularVelocity > phAngularSleepToleranceSquared ||
            phDot(b->m_linearVelocity, b->m_linearVelocity) > phLinearSleepToleranceSquared) {
            b->m_sleepTime = 0.0f;
            minSleepTime = 0.0f;
        } else {
            b->m_sleepTime += h;
            minSleepTime = std::min(minSleepTime, b->m_sleepTime);
        }
    }
    if (minSleepTime >= phTimeToSleep && positionSolved) {
        for (int32_t i = 0; i < m_bodyCount; ++i) {
            m_bodies[i]->PutToSleep();
        }
    }
}

void phIsland::SolveTOI(const phTimeStep& subStep, int32_t toiIndexA, int32_t toiIndexB)
{
    for (int32_t i = 0; i < m_bodyCount; ++i) {
        const phBody* const b = m_bodies[i];
        m_positions[i] = {b->m_motion.c, b->m_motion.a};
        m_velocities[i] = {b->m_linearVelocity, b->m_angularVelocity};
    }

    phContactSolver contactSolver(SolverDesc(subStep));

    // Move the two bodies of the impact apart first.
    for (int32_t i = 0; i < subStep.positionIterations; ++i) {
        if (contactSolver.SolveTOIPositionConstraints(toiIndexA, toiIndexB)) {
            break;
        }
    }
    // The corrected positions are the new start of their motion.
    m_bodies[toiIndexA]->m_motion.c0 = m_positions[toiIndexA].c;
    m_bodies[toiIndexA]->m_motion.a0 = m_positions[toiIndexA].a;
    m_bodies[toiIndexB]->m_motion.c0 = m_positions[toiIndexB].c;
    m_bodies[toiIndexB]->m_motion.a0 = m_positions[toiIndexB].a;

    // No warm starting: the impulses belong to the full step.
    contactSolver.InitializeVelocityConstraints();
    for (int32_t i = 0; i < subStep.velocityIterations; ++i) {
        contactSolver.SolveVelocityConstraints();
    }

    IntegratePositions(subStep.dt);
    StoreBodies();

    Report(contactSolver);
}

void phIsland::Report(const phContactSolver& solver)
{
    if (m_listener == nullptr) {
        return;
    }
    const phContactVelocityBlock* const blocks = solver.GetVelocityBlocks();
    for (int32_t i = 0; i < m_contactCount; ++i) {
        const phContactVelocityBlock& vc = blocks[i];
        phContactImpulse impulse;
        impulse.count = vc.pointCount;
        for (int32_t j = 0; j < vc.pointCount; ++j) {
            impulse.normalImpulses[j] = vc.points[j].normalImpulse;
            impulse.tangentImpulses[j] = vc.points[j].tangentImpulse;
        }
        m_listener->PostSolve(m_contacts[i], &impulse);
    }
}
