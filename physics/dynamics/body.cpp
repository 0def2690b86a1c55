#include "physics/dynamics/body.h"

#include "physics/common/block_allocator.h"
#include "physics/dynamics/contact.h"
#include "physics/dynamics/joint.h"
#include "physics/dynamics/world.h"

#include <new>

phBody::phBody(const phBodyDesc& desc, phWorld* world)
    : m_type(desc.type), m_linearVelocity(desc.linearVelocity), m_angularVelocity(desc.angularVelocity),
      m_world(world), m_mass(desc.type == phDynamicBody ? 1.0f : 0.0f),
      m_invMass(desc.type == phDynamicBody ? 1.0f : 0.0f), m_linearDamping(desc.linearDamping),
      m_angularDamping(desc.angularDamping), m_gravityScale(desc.gravityScale), m_userData(desc.userData)
{
    if (desc.bullet) {
        m_flags |= bulletFlag;
    }
    if (desc.fixedRotation) {
        m_flags |= fixedRotationFlag;
    }
    if (desc.allowSleep) {
        m_flags |= autoSleepFlag;
    }
    if (desc.awake) {
        m_flags |= awakeFlag;
    }
    if (desc.active) {
        m_flags |= activeFlag;
    }
    m_xf.Set(desc.position, desc.angle);
    m_xf0 = m_xf;
    m_motion.localCenter.SetZero();
    m_motion.c0 = m_xf.p;
    m_motion.c = m_xf.p;
    m_motion.a0 = desc.angle;
    m_motion.a = desc.angle;
    m_motion.alpha0 = 0.0f;
}

phFixture* phBody::CreateFixture(const phFixtureDesc& desc)
{
    if (m_world->IsLocked() || desc.shape == nullptr) {
        return nullptr;
    }
    phBlockAllocator* const allocator = &m_world->m_blockAllocator;
    auto* const fixture = new (allocator->Allocate(static_cast<int32_t>(sizeof(phFixture)))) phFixture();
    fixture->Create(allocator, this, desc);
    if ((m_flags & activeFlag) != 0) {
        fixture->AddProxies(&m_world->m_contactManager.m_broadPhase, m_xf);
    }
    fixture->m_next = m_fixtureList;
    m_fixtureList = fixture;
    ++m_fixtureCount;
    if (fixture->m_density > 0.0f) {
        RecomputeMassData();
    }
    m_world->m_flags |= phWorld::newFixtureFlag;
    return fixture;
}

void phBody::RecomputeMassData()
{
    m_mass = 0.0f;
    m_invMass = 0.0f;
    m_I = 0.0f;
    m_invI = 0.0f;
    m_motion.localCenter.SetZero();

    if (m_type != phDynamicBody) {
        m_motion.c0 = m_xf.p;
        m_motion.c = m_xf.p;
        m_motion.a0 = m_motion.a;
        return;
    }

    phVector localCenter;
    for (const phFixture* f = m_fixtureList; f != nullptr; f = f->m_next) {
        if (f->m_density == 0.0f) {
            continue;
        }
        phMassProperties mass;
        f->m_shape->ComputeMass(&mass, f->m_density);
        m_mass += mass.mass;
        localCenter += mass.mass * mass.center;
        m_I += mass.I;
    }

    if (m_mass > 0.0f) {
        m_invMass = 1.0f / m_mass;
        localCenter *= m_invMass;
    } else {
        // A dynamic body always has mass.
        m_mass = 1.0f;
        m_invMass = 1.0f;
    }

    if (m_I > 0.0f && (m_flags & fixedRotationFlag) == 0) {
        m_I -= m_mass * phDot(localCenter, localCenter);
        m_invI = 1.0f / m_I;
    } else {
        m_I = 0.0f;
        m_invI = 0.0f;
    }

    const phVector oldCenter = m_motion.c;
    m_motion.localCenter = localCenter;
    m_motion.c0 = m_motion.c = phMul(m_xf, m_motion.localCenter);
    // Keep the velocity of the body origin.
    m_linearVelocity += phCross(m_angularVelocity, m_motion.c - oldCenter);
}

void phBody::SetTransform(const phVector& position, float angle)
{
    if (m_world->IsLocked()) {
        return;
    }
    m_xf.q.Set(angle);
    m_xf.p = position;
    m_xf0 = m_xf;
    m_motion.c = phMul(m_xf, m_motion.localCenter);
    m_motion.a = angle;
    m_motion.c0 = m_motion.c;
    m_motion.a0 = angle;
    phBroadPhase* const broadPhase = &m_world->m_contactManager.m_broadPhase;
    for (phFixture* f = m_fixtureList; f != nullptr; f = f->m_next) {
        f->UpdateProxies(broadPhase, m_xf, m_xf);
    }
}

void phBody::SyncFixtureBounds()
{
    phTransform xf1;
    xf1.q.Set(m_motion.a0);
    xf1.p = m_motion.c0 - phMul(xf1.q, m_motion.localCenter);
    phBroadPhase* const broadPhase = &m_world->m_contactManager.m_broadPhase;
    for (phFixture* f = m_fixtureList; f != nullptr; f = f->m_next) {
        f->UpdateProxies(broadPhase, xf1, m_xf);
    }
}

void phBody::ApplyForce(const phVector& force, const phVector& point)
{
    if (m_type != phDynamicBody) {
        return;
    }
    SetAwake(true);
    m_force += force;
    m_torque += phCross(point - m_motion.c, force);
}

void phBody::ApplyLinearImpulse(const phVector& impulse, const phVector& point)
{
    if (m_type != phDynamicBody) {
        return;
    }
    SetAwake(true);
    m_linearVelocity += m_invMass * impulse;
    m_angularVelocity += m_invI * phCross(point - m_motion.c, impulse);
}

void phBody::SetAwake(bool awake)
{
    if (awake) {
        if ((m_flags & awakeFlag) == 0) {
            m_flags |= awakeFlag;
            m_sleepTime = 0.0f;
        }
    } else {
        PutToSleep();
    }
}

void phBody::PutToSleep()
{
    m_flags &= ~awakeFlag;
    m_sleepTime = 0.0f;
    m_linearVelocity.SetZero();
    m_angularVelocity = 0.0f;
    m_force.SetZero();
    m_torque = 0.0f;
}

void phBody::SetLinearVelocity(const phVector& v)
{
    if (m_type == phStaticBody) {
        return;
    }
    if (phDot(v, v) > 0.0f) {
        SetAwake(true);
    }
    m_linearVelocity = v;
}

void phBody::SetAngularVelocity(float w)
{
    if (m_type == phStaticBody) {
        return;
    }
    if (w * w > 0.0f) {
        SetAwake(true);
    }
    m_angularVelocity = w;
}

void phBody::SetFixedRotation(bool flag)
{
    if (flag == IsFixedRotation()) {
        return;
    }
    if (flag) {
        m_flags |= fixedRotationFlag;
    } else {
        m_flags &= ~fixedRotationFlag;
    }
    m_angularVelocity = 0.0f;
    RecomputeMassData();
}

bool phBody::ShouldCollide(const phBody* other) const
{
    if (m_type != phDynamicBody && other->m_type != phDynamicBody) {
        return false;
    }
    for (const phJointLink* link = m_jointList; link != nullptr; link = link->next) {
        if (link->other == other && !link->joint->GetCollideConnected()) {
            return false;
        }
    }
    return true;
}
