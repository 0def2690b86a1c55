#include "physics/dynamics/world.h"

#include "physics/common/intrusive_list.h"
#include "physics/common/timer.h"
#include "physics/dynamics/callbacks.h"
#include "physics/dynamics/contact.h"
#include "physics/particles/particle_system.h"

#include <algorithm>
#include <cmath>
#include <new>

phWorld::phWorld(const phVector& gravity) : m_contactManager(&m_blockAllocator), m_gravity(gravity)
{
}

phWorld::~phWorld()
{
    while (m_particleSystemList != nullptr) {
        DestroyParticleSystem(m_particleSystemList);
    }
    // Contacts and joints first (they refer to fixtures and bodies), then the
    // fixtures; the allocators release the memory of everything at the end.
    while (phContact* const contact = m_contactManager.m_contactList) {
        m_contactManager.m_contactList = contact->m_next;
        phContact::Destroy(contact, &m_blockAllocator);
    }
    while (phJoint* const joint = m_jointList) {
        m_jointList = joint->m_next;
        joint->~phJoint();
        m_blockAllocator.Free(joint, static_cast<int32_t>(sizeof(phJoint)));
    }
    while (phBody* const body = m_bodyList) {
        m_bodyList = body->m_next;
        while (phFixture* const fixture = body->m_fixtureList) {
            body->m_fixtureList = fixture->m_next;
            fixture->m_proxyCount = 0;
            fixture->Destroy(&m_blockAllocator);
            fixture->~phFixture();
            m_blockAllocator.Free(fixture, static_cast<int32_t>(sizeof(phFixture)));
        }
        body->~phBody();
        m_blockAllocator.Free(body, static_cast<int32_t>(sizeof(phBody)));
    }
}

phBody* phWorld::CreateBody(const phBodyDesc& desc)
{
    if (IsLocked()) {
        return nullptr;
    }
    auto* const body =
        new (m_blockAllocator.Allocate(static_cast<int32_t>(sizeof(phBody)))) phBody(desc, this);
    body->m_prev = nullptr;
    body->m_next = m_bodyList;
    if (m_bodyList != nullptr) {
        m_bodyList->m_prev = body;
    }
    m_bodyList = body;
    ++m_bodyCount;
    return body;
}

void phWorld::DestroyFixture(phBody* body, phFixture* fixture)
{
    if (m_destroyObserver != nullptr) {
        m_destroyObserver->FixtureDestroyed(fixture);
    }
    fixture->RemoveProxies(&m_contactManager.m_broadPhase);
    fixture->Destroy(&m_blockAllocator);
    fixture->~phFixture();
    m_blockAllocator.Free(fixture, static_cast<int32_t>(sizeof(phFixture)));
    --body->m_fixtureCount;
}

bool phWorld::DestroyBody(phBody* body)
{
    if (IsLocked()) {
        return false;
    }
    // The listener's end-contact hooks and the observer run while the body's
    // contacts and fixtures are half gone; locked, a destroy from there is
    // refused instead of freeing what this one is still walking.
    m_flags |= lockedFlag;
    while (phJointLink* const link = body->m_jointList) {
        if (m_destroyObserver != nullptr) {
            m_destroyObserver->JointDestroyed(link->joint);
        }
        RemoveJoint(link->joint);
    }
    while (phContactLink* const link = body->m_contactList) {
        m_contactManager.Destroy(link->contact);
    }
    while (phFixture* const fixture = body->m_fixtureList) {
        body->m_fixtureList = fixture->m_next;
        DestroyFixture(body, fixture);
    }

    if (body->m_prev != nullptr) {
        body->m_prev->m_next = body->m_next;
    }
    if (body->m_next != nullptr) {
        body->m_next->m_prev = body->m_prev;
    }
    if (body == m_bodyList) {
        m_bodyList = body->m_next;
    }
    --m_bodyCount;
    body->~phBody();
    m_blockAllocator.Free(body, static_cast<int32_t>(sizeof(phBody)));
    m_flags &= ~lockedFlag;
    return true;
}

namespace {

// Has every contact between the two bodies checked by the filter again.
void FlagContactsBetween(phBody* bodyA, phBody* bodyB)
{
    for (phContactLink* link = bodyB->GetContactList(); link != nullptr; link = link->next) {
        if (link->other == bodyA) {
            link->contact->FlagForFiltering();
        }
    }
}

} // namespace

phJoint* phWorld::CreateJoint(const phJointDesc& desc)
{
    if (IsLocked() || desc.bodyA == nullptr || desc.bodyB == nullptr) {
        return nullptr;
    }
    auto* const joint = new (m_blockAllocator.Allocate(static_cast<int32_t>(sizeof(phJoint)))) phJoint(desc);
    joint->m_prev = nullptr;
    joint->m_next = m_jointList;
    if (m_jointList != nullptr) {
        m_jointList->m_prev = joint;
    }
    m_jointList = joint;
    ++m_jointCount;

    joint->m_edgeA.joint = joint;
    joint->m_edgeA.other = joint->m_bodyB;
    phListPushFront(&joint->m_bodyA->m_jointList, &joint->m_edgeA);
    joint->m_edgeB.joint = joint;
    joint->m_edgeB.other = joint->m_bodyA;
    phListPushFront(&joint->m_bodyB->m_jointList, &joint->m_edgeB);

    if (!joint->m_collideConnected) {
        FlagContactsBetween(joint->m_bodyA, joint->m_bodyB);
    }
    return joint;
}

void phWorld::DestroyJoint(phJoint* joint)
{
    if (!IsLocked()) {
        RemoveJoint(joint);
    }
}

void phWorld::RemoveJoint(phJoint* joint)
{
    const bool collideConnected = joint->m_collideConnected;
    if (joint->m_prev != nullptr) {
        joint->m_prev->m_next = joint->m_next;
    }
    if (joint->m_next != nullptr) {
        joint->m_next->m_prev = joint->m_prev;
    }
    if (joint == m_jointList) {
        m_jointList = joint->m_next;
    }

    phBody* const bodyA = joint->m_bodyA;
    phBody* const bodyB = joint->m_bodyB;
    bodyA->SetAwake(true);
    bodyB->SetAwake(true);
    phListUnlink(&bodyA->m_jointList, &joint->m_edgeA);
    phListUnlink(&bodyB->m_jointList, &joint->m_edgeB);

    // Every joint record has one size here, whatever its kind.
    joint->~phJoint();
    m_blockAllocator.Free(joint, static_cast<int32_t>(sizeof(phJoint)));
    --m_jointCount;

    if (!collideConnected) {
        FlagContactsBetween(bodyA, bodyB);
    }
}

void phWorld::SetAllowSleeping(bool flag)
{
    if (flag == m_allowSleep) {
        return;
    }
    m_allowSleep = flag;
    if (!m_allowSleep) {
        for (phBody* b = m_bodyList; b != nullptr; b = b->m_next) {
            b->SetAwake(true);
        }
    }
}

void phWorld::SetAutoClearForces(bool flag)
{
    m_flags = flag ? (m_flags | clearForcesFlag) : (m_flags & ~clearForcesFlag);
}

phParticleSystem* phWorld::CreateParticleSystem(const phParticleSystemDef& def)
{
    if (IsLocked()) {
        return nullptr;
    }
    auto* const system = new (m_blockAllocator.Allocate(static_cast<int32_t>(sizeof(phParticleSystem))))
        phParticleSystem(def, this);
    system->m_next = m_particleSystemList;
    if (m_particleSystemList != nullptr) {
        m_particleSystemList->m_prev = system;
    }
    m_particleSystemList = system;
    return system;
}

void phWorld::DestroyParticleSystem(phParticleSystem* system)
{
    if (IsLocked()) {
        return;
    }
    if (system->m_prev != nullptr) {
        system->m_prev->m_next = system->m_next;
    }
    if (system->m_next != nullptr) {
        system->m_next->m_prev = system->m_prev;
    }
    if (system == m_particleSystemList) {
        m_particleSystemList = system->m_next;
    }
    system->~phParticleSystem();
    m_blockAllocator.Free(system, static_cast<int32_t>(sizeof(phParticleSystem)));
}

int32_t phWorld::EstimateParticleIterations(float timeStep) const
{
    if (m_particleSystemList == nullptr) {
        return 1;
    }
    // Enough iterations that gravity moves the smallest particle by about a
    // hundredth of its radius per iteration.
    float radius = phMaxFloat;
    for (const phParticleSystem* p = m_particleSystemList; p != nullptr; p = p->GetNext()) {
        radius = std::min(radius, p->GetRadius());
    }
    const float iterations =
        std::ceil(std::sqrt(m_gravity.Length() / (phParticleStride * radius)) * timeStep);
    if (!(iterations > 1.0f)) {
        return 1;
    }
    return iterations < static_cast<float>(phMaxParticleIterations) ? static_cast<int32_t>(iterations)
                                                                    : phMaxParticleIterations;
}

void phWorld::QueryAABB(phQueryCallback* callback, const phBounds& box) const
{
    const phBroadPhase& broadPhase = m_contactManager.m_broadPhase;
    broadPhase.Query(box, [&](int32_t proxyId) {
        auto* const proxy = static_cast<phFixtureChildProxy*>(broadPhase.GetUserData(proxyId));
        return callback->ReportFixture(proxy->fixture);
    });
    for (const phParticleSystem* p = m_particleSystemList; p != nullptr; p = p->GetNext()) {
        if (callback->ShouldQueryParticleSystem(p)) {
            p->QueryAABB(callback, box);
        }
    }
}

void phWorld::Step(float dt, int32_t velocityIterations, int32_t positionIterations,
                   int32_t particleIterations)
{
    const phStepTimer stepTimer;

    // New fixtures: find their contacts before the collide phase.
    if ((m_flags & newFixtureFlag) != 0) {
        m_contactManager.FindNewContacts();
        m_flags &= ~newFixtureFlag;
    }
    m_flags |= lockedFlag;

    phTimeStep step;
    step.dt = dt;
    step.velocityIterations = velocityIterations;
    step.positionIterations = positionIterations;
    step.particleIterations = particleIterations;
    step.inv_dt = dt > 0.0f ? 1.0f / dt : 0.0f;
    step.dtRatio = m_inv_dt0 * dt;
    step.warmStarting = m_warmStarting;

    {
        const phStepTimer timer;
        m_contactManager.Collide();
        m_profile.collide = timer.GetMilliseconds();
    }

    if (m_stepComplete && step.dt > 0.0f) {
        const phStepTimer timer;
        for (phParticleSystem* p = m_particleSystemList; p != nullptr; p = p->GetNext()) {
            p->Solve(step);
        }
        Solve(step);
        m_profile.solve = timer.GetMilliseconds();
    }

    if (m_continuousPhysics && step.dt > 0.0f) {
        const phStepTimer timer;
        SolveContinuous(step);
        m_profile.solveTOI = timer.GetMilliseconds();
    }

    if (step.dt > 0.0f) {
        m_inv_dt0 = step.inv_dt;
    }

    if ((m_flags & clearForcesFlag) != 0) {
        for (phBody* body = m_bodyList; body != nullptr; body = body->m_next) {
            body->m_force.SetZero();
            body->m_torque = 0.0f;
        }
    }

    m_flags &= ~lockedFlag;
    m_profile.step = stepTimer.GetMilliseconds();
}
