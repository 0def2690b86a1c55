// A rigid body: its motion, mass and the fixtures that give it shape.
#pragma once

#include "physics/common/math.h"
#include "physics/dynamics/fixture.h"

#include <cstdint>

class phWorld;
class phContact;
class phJoint;
struct phJointLink;

enum phBodyType : int32_t
{
    phStaticBody = 0,
    phKinematicBody = 1,
    phDynamicBody = 2
};

// Links a body to one of its contacts; other is the contact's other body.
struct phContactLink
{
    phBody* other = nullptr;
    phContact* contact = nullptr;
    phContactLink* prev = nullptr;
    phContactLink* next = nullptr;
};

struct phBodyDesc
{
    phBodyType type = phStaticBody;
    phVector position;
    float angle = 0.0f;
    phVector linearVelocity;
    float angularVelocity = 0.0f;
    float linearDamping = 0.0f;
    float angularDamping = 0.0f;
    bool allowSleep = true;
    bool awake = true;
    bool fixedRotation = false;
    bool bullet = false;
    bool active = true;
    void* userData = nullptr;
    float gravityScale = 1.0f;
};

class phBody
{
public:
    enum Flags : uint16_t
    {
        islandFlag = 0x0001,
        awakeFlag = 0x0002,
        autoSleepFlag = 0x0004,
        bulletFlag = 0x0008,
        fixedRotationFlag = 0x0010,
        activeFlag = 0x0020,
    };

    // A fixture with a clone of the description's shape; null while the world
    // is locked and for a description without a shape.
    phFixture* CreateFixture(const phFixtureDesc& desc);
    // Mass, centre and inertia from the fixtures' densities.
    void RecomputeMassData();
    // Moves the body at once; ignored while the world steps. The body is not woken.
    void SetTransform(const phVector& position, float angle);

    void ApplyForce(const phVector& force, const phVector& point);
    void ApplyLinearImpulse(const phVector& impulse, const phVector& point);
    void SetAwake(bool awake);
    void SetLinearVelocity(const phVector& v);
    void SetAngularVelocity(float w);
    void SetFixedRotation(bool flag);
    void SetGravityScale(float scale) { m_gravityScale = scale; }
    void SetLinearDamping(float damping) { m_linearDamping = damping; }
    void SetAngularDamping(float damping) { m_angularDamping = damping; }

    phBodyType GetType() const { return m_type; }
    const phTransform& GetTransform() const { return m_xf; }
    const phVector& GetPosition() const { return m_xf.p; }
    float GetAngle() const { return m_motion.a; }
    const phVector& GetWorldCenter() const { return m_motion.c; }
    const phVector& GetLocalCenter() const { return m_motion.localCenter; }
    const phVector& GetLinearVelocity() const { return m_linearVelocity; }
    float GetAngularVelocity() const { return m_angularVelocity; }
    float GetMass() const { return m_mass; }
    float GetInverseMass() const { return m_invMass; }
    // Rotational inertia about the centre of mass.
    float GetInertia() const { return m_I; }
    float GetGravityScale() const { return m_gravityScale; }
    bool IsAwake() const { return (m_flags & awakeFlag) != 0; }
    bool IsActive() const { return (m_flags & activeFlag) != 0; }
    bool IsBullet() const { return (m_flags & bulletFlag) != 0; }
    bool IsFixedRotation() const { return (m_flags & fixedRotationFlag) != 0; }
    bool IsSleepingAllowed() const { return (m_flags & autoSleepFlag) != 0; }
    float GetSleepTime() const { return m_sleepTime; }
    phFixture* GetFixtureList() { return m_fixtureList; }
    const phFixture* GetFixtureList() const { return m_fixtureList; }
    int32_t GetFixtureCount() const { return m_fixtureCount; }
    phContactLink* GetContactList() { return m_contactList; }
    phJointLink* GetJointList() { return m_jointList; }
    phBody* GetNext() { return m_next; }
    const phBody* GetNext() const { return m_next; }
    phWorld* GetWorld() { return m_world; }
    void* GetUserData() const { return m_userData; }
    void SetUserData(void* data) { m_userData = data; }

private:
    friend class phWorld;
    friend class phIsland;
    friend class phContact;
    friend class phContactManager;
    friend class phContactSolver;
    friend class phFixture;
    friend class phParticleSystem;

    phBody(const phBodyDesc& desc, phWorld* world);

    // Whether a joint between the two bodies forbids their collision.
    bool ShouldCollide(const phBody* other) const;
    // Moves the fixtures' proxies over the step, from the motion's start to now.
    void SyncFixtureBounds();
    void SynchronizeTransform()
    {
        m_xf.q.Set(m_motion.a);
        m_xf.p = m_motion.c - phMul(m_xf.q, m_motion.localCenter);
    }
    // Moves the body back to the step fraction alpha of its motion.
    void Advance(float alpha)
    {
        m_motion.Advance(alpha);
        m_motion.c = m_motion.c0;
        m_motion.a = m_motion.a0;
        SynchronizeTransform();
    }
    void PutToSleep();

    phBodyType m_type;
    uint16_t m_flags = 0;
    int32_t m_islandIndex = 0;
    phTransform m_xf;
    phTransform m_xf0; // the transform at the start of the last solve
    phBodyMotion m_motion;
    phVector m_linearVelocity;
    float m_angularVelocity;
    phVector m_force;
    float m_torque = 0.0f;
    phWorld* m_world;
    phBody* m_prev = nullptr;
    phBody* m_next = nullptr;
    phFixture* m_fixtureList = nullptr;
    int32_t m_fixtureCount = 0;
    phJointLink* m_jointList = nullptr;
    phContactLink* m_contactList = nullptr;
    float m_mass;
    float m_invMass;
    float m_I = 0.0f;
    float m_invI = 0.0f;
    float m_linearDamping;
    float m_angularDamping;
    float m_gravityScale;
    float m_sleepTime = 0.0f;
    void* m_userData;
};
