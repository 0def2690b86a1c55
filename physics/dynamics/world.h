// The rigid-body world: bodies, fixtures, contacts and the time step.
#pragma once

#include "physics/common/block_allocator.h"
#include "physics/common/math.h"
#include "physics/common/stack_allocator.h"
#include "physics/dynamics/body.h"
#include "physics/dynamics/contact_manager.h"
#include "physics/dynamics/joint.h"

#include <cstdint>

class phContact;
class phContactFilter;
class phContactListener;
class phDraw;
class phQueryCallback;
class phParticleSystem;
class phParticleGroup;
struct phParticleSystemDef;

// Milliseconds spent in the phases of the last step.
struct phStepProfile
{
    float step = 0.0f;
    float collide = 0.0f;
    float solve = 0.0f;
    float solveInit = 0.0f;
    float solveVelocity = 0.0f;
    float solvePosition = 0.0f;
    float broadphase = 0.0f;
    float solveTOI = 0.0f;
};

struct phVersion
{
    int32_t major;
    int32_t minor;
    int32_t revision;
};

inline constexpr phVersion phEngineVersion = {1, 1, 0};
inline constexpr const char* phEngineVersionText = "Particle physics 1.1.0";

class phWorld
{
public:
    // Told when the world destroys something implicitly.
    class DestroyObserver
    {
    public:
        virtual ~DestroyObserver() = default;
        virtual void ParticleRemoved(phParticleSystem*, int32_t) {}
        virtual void ParticleGroupDestroyed(phParticleGroup*) {}
        virtual void FixtureDestroyed(phFixture*) {}
        virtual void JointDestroyed(phJoint*) {}
    };

    explicit phWorld(const phVector& gravity);
    phWorld(const phWorld&) = delete;
    phWorld& operator=(const phWorld&) = delete;
    // Releases every body, fixture, contact and joint.
    ~phWorld();

    // Null while the world steps.
    phBody* CreateBody(const phBodyDesc& desc);
    // False (nothing destroyed) while the world is locked: inside a step, and
    // while another DestroyBody is ending its contacts and telling the
    // listener and the destruction observer.
    bool DestroyBody(phBody* body);
    // A joint that links two bodies (and keeps them from colliding unless asked).
    phJoint* CreateJoint(const phJointDesc& desc);
    void DestroyJoint(phJoint* joint);
    // Null while the world steps. The world destroys its systems with itself.
    phParticleSystem* CreateParticleSystem(const phParticleSystemDef& def);
    void DestroyParticleSystem(phParticleSystem* system);

    void Step(float dt, int32_t velocityIterations, int32_t positionIterations,
              int32_t particleIterations = 1);
    int32_t EstimateParticleIterations(float timeStep) const;
    void QueryAABB(phQueryCallback* callback, const phBounds& box) const;

    void SetContactFilter(phContactFilter* filter) { m_contactManager.m_contactFilter = filter; }
    void SetContactListener(phContactListener* listener) { m_contactManager.m_contactListener = listener; }
    void SetDestroyObserver(DestroyObserver* observer) { m_destroyObserver = observer; }
    void SetDebugDraw(phDraw* draw) { m_debugDraw = draw; }

    void SetAllowSleeping(bool flag);
    bool GetAllowSleeping() const { return m_allowSleep; }
    // Bodies are not woken here.
    void SetGravity(const phVector& gravity) { m_gravity = gravity; }
    const phVector& GetGravity() const { return m_gravity; }
    void SetWarmStarting(bool flag) { m_warmStarting = flag; }
    void SetContinuousPhysics(bool flag) { m_continuousPhysics = flag; }
    void SetSubStepping(bool flag) { m_subStepping = flag; }
    void SetAutoClearForces(bool flag);
    bool IsLocked() const { return (m_flags & lockedFlag) != 0; }

    phBody* GetBodyList() { return m_bodyList; }
    const phBody* GetBodyList() const { return m_bodyList; }
    phJoint* GetJointList() { return m_jointList; }
    phContact* GetContactList() { return m_contactManager.m_contactList; }
    phParticleSystem* GetParticleSystemList() { return m_particleSystemList; }
    int32_t GetBodyCount() const { return m_bodyCount; }
    int32_t GetJointCount() const { return m_jointCount; }
    int32_t GetContactCount() const { return m_contactManager.m_contactCount; }
    int32_t GetProxyCount() const { return m_contactManager.m_broadPhase.GetProxyCount(); }
    const phStepProfile& GetProfile() const { return m_profile; }
    const phVersion* GetVersion() const { return m_version; }
    const char* GetVersionString() const { return m_versionText; }

private:
    friend class phBody;
    friend class phFixture;
    friend class phParticleSystem;

    enum Flags : uint32_t
    {
        newFixtureFlag = 0x1,
        lockedFlag = 0x2,
        clearForcesFlag = 0x4
    };

    // The discrete phase: islands of touching awake bodies, solved one by one.
    void Solve(const phTimeStep& step);
    // The continuous phase: sub-steps to the earliest times of impact.
    void SolveContinuous(const phTimeStep& step);
    // The earliest time of impact among the candidates of the continuous
    // phase (held in reverse contact-list order), or null.
    phContact* FindEarliestImpact(phContact* const* candidates, int32_t count, float* alpha);
    void DestroyFixture(phBody* body, phFixture* fixture);
    // DestroyJoint without the lock test, for DestroyBody.
    void RemoveJoint(phJoint* joint);

    phBlockAllocator m_blockAllocator;
    phStackAllocator m_stackAllocator;
    uint32_t m_flags = clearForcesFlag;
    phContactManager m_contactManager;
    phBody* m_bodyList = nullptr;
    phJoint* m_jointList = nullptr;
    phParticleSystem* m_particleSystemList = nullptr;
    int32_t m_bodyCount = 0;
    int32_t m_jointCount = 0;
    phVector m_gravity;
    bool m_allowSleep = true;
    DestroyObserver* m_destroyObserver = nullptr;
    phDraw* m_debugDraw = nullptr;
    float m_inv_dt0 = 0.0f;
    bool m_warmStarting = true;
    bool m_continuousPhysics = true;
    bool m_subStepping = false;
    bool m_stepComplete = true;
    phStepProfile m_profile;
    const phVersion* m_version = &phEngineVersion;
    const char* m_versionText = phEngineVersionText;
};
