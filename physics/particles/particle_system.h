// The particle extension of the world: small particles of one diameter that push
// each other and the world's fixtures, grouped optionally into particle groups and
// solved once per world step in several sub-iterations.
//
// A system is made and destroyed by its world (phWorld::CreateParticleSystem);
// particles and groups by the system. Indices of particles change when dead
// particles are removed at the start of a step; a handle follows its particle.
#pragma once

#include "physics/common/block_allocator.h"
#include "physics/common/math.h"
#include "physics/particles/particle.h"
#include "physics/particles/particle_buffers.h"

#include <cstdint>

class phWorld;
class phQueryCallback;
class phParticleSystem;

// Follows one particle across compaction; index -1 once the particle is gone.
struct phParticleHandle
{
    int32_t index = -1;
    phParticleHandle* nextFree = nullptr;
};

class phParticleGroup
{
public:
    phParticleSystem* GetParticleSystem() const { return m_system; }
    int32_t GetBufferIndex() const { return m_firstIndex; }
    int32_t GetParticleCount() const { return m_lastIndex - m_firstIndex; }
    bool ContainsParticle(int32_t index) const { return m_firstIndex <= index && index < m_lastIndex; }
    uint32_t GetGroupFlags() const { return m_groupFlags; }
    float GetStrength() const { return m_strength; }
    const phTransform& GetTransform() const { return m_transform; }
    phParticleGroup* GetNext() const { return m_next; }
    void* GetUserData() const { return m_userData; }

    // Statistics of the group's particles, computed at most once per sub-iteration.
    float GetMass() const;
    float GetInertia() const;
    phVector GetCenter() const;
    phVector GetLinearVelocity() const;
    float GetAngularVelocity() const;

private:
    friend class phParticleSystem;

    void UpdateStatistics() const;
    phVector GetLinearVelocityFromWorldPoint(const phVector& point) const
    {
        return m_linearVelocity + phCross(m_angularVelocity, point - m_center);
    }

    phParticleSystem* m_system = nullptr;
    int32_t m_firstIndex = 0;
    int32_t m_lastIndex = 0;
    uint32_t m_groupFlags = 0;
    float m_strength = 1.0f;
    phParticleGroup* m_prev = nullptr;
    phParticleGroup* m_next = nullptr;
    mutable int32_t m_timestamp = -1;
    mutable float m_mass = 0.0f;
    mutable float m_inertia = 0.0f;
    mutable phVector m_center;
    mutable phVector m_linearVelocity;
    mutable float m_angularVelocity = 0.0f;
    phTransform m_transform;
    void* m_userData = nullptr;
};

class phParticleSystem
{
public:
    // Decides which particles connect into pairs and triads.
    class ConnectionFilter
    {
    public:
        virtual ~ConnectionFilter() = default;
        // Whether a particle must take part in a new pair or triad.
        virtual bool IsNecessary(int32_t) const { return true; }
        virtual bool ShouldCreatePair(int32_t, int32_t) const { return true; }
        virtual bool ShouldCreateTriad(int32_t, int32_t, int32_t) const { return true; }
    };

    phParticleSystem(const phParticleSystem&) = delete;
    phParticleSystem& operator=(const phParticleSystem&) = delete;

    // The new particle's index, or -1 while the world steps or when the system
    // is full (its maximum count or a caller-supplied buffer's capacity).
    int32_t CreateParticle(const phParticleDef& def);
    // Marks the particle to be removed at the start of the next step.
    void DestroyParticle(int32_t index, bool callDestructionListener = false);
    // Null while the world steps. Makes the group's pairs and triads.
    phParticleGroup* CreateParticleGroup(const phParticleGroupDef& def);
    // A handle that follows the particle through compaction.
    const phParticleHandle* GetParticleHandleFromIndex(int32_t index);

    // Velocity += dt * inverse mass * force at the next sub-iteration; ignored
    // for a zero force and for wall particles.
    void ParticleApplyForce(int32_t index, const phVector& force);
    void SetParticleFlags(int32_t index, uint32_t flags);
    uint32_t GetParticleFlags(int32_t index) const { return m_flagsBuffer[index]; }
    void SetParticleGroupFlags(phParticleGroup* group, uint32_t flags);
    // Seconds until the particle is removed; 0 or less for never.
    void SetParticleLifetime(int32_t index, float lifetime);
    // Particles in contact with bodies for more than this many sub-iterations
    // become stuck candidates; 0 turns the tracking off.
    void SetStuckThreshold(int32_t iterations);
    const int32_t* GetStuckCandidates() const { return m_stuckParticles.GetData(); }
    int32_t GetStuckCandidateCount() const { return m_stuckParticles.GetCount(); }

    // Caller-supplied storage for a buffer; its capacity limits the particle count.
    void SetFlagsBuffer(uint32_t* buffer, int32_t capacity);
    void SetPositionBuffer(phVector* buffer, int32_t capacity);
    void SetVelocityBuffer(phVector* buffer, int32_t capacity);
    void SetColorBuffer(phParticleColor* buffer, int32_t capacity);
    void SetUserDataBuffer(void** buffer, int32_t capacity);

    // Reports every particle whose position lies inside the box until the
    // callback returns false.
    void QueryAABB(phQueryCallback* callback, const phBounds& box) const;

    // Makes pairs (springs, barriers) from the current contacts and triads
    // (elastic) from a Voronoi diagram of the particles in [first, last).
    void UpdatePairsAndTriads(int32_t firstIndex, int32_t lastIndex, const ConnectionFilter& filter);

    // Tag of a position already scaled by the inverse diameter: row (upper 12
    // bits) then column in 1/256 cells (lower 20 bits). Out-of-range
    // coordinates clamp to the border rows and columns.
    static uint32_t ComputeTag(float x, float y);

    void SetPaused(bool paused) { m_paused = paused; }
    bool GetPaused() const { return m_paused; }
    int32_t GetParticleCount() const { return m_count; }
    int32_t GetInternalCapacity() const { return m_internalAllocatedCapacity; }
    const phParticleSystemDef& GetDef() const { return m_def; }
    float GetRadius() const { return 0.5f * m_particleDiameter; }
    float GetParticleStride() const { return 0.75f * m_particleDiameter; }
    float GetParticleMass() const;
    float GetParticleInvMass() const;
    uint32_t GetAllParticleFlags() const { return m_allParticleFlags; }
    uint32_t GetAllGroupFlags() const { return m_allGroupFlags; }
    int32_t GetTimestamp() const { return m_timestamp; }

    uint32_t* GetFlagsBuffer() const { return m_flagsBuffer.data; }
    phVector* GetPositionBuffer() const { return m_positionBuffer.data; }
    phVector* GetVelocityBuffer() const { return m_velocityBuffer.data; }
    const float* GetWeightBuffer() const { return m_weightBuffer.data; }
    // Null until a particle or group gets a colour or mixes colours.
    phParticleColor* GetColorBuffer() const { return m_colorBuffer.data; }
    void** GetUserDataBuffer() const { return m_userDataBuffer.data; }
    phParticleGroup* const* GetGroupBuffer() const { return m_groupBuffer.data; }
    const float* GetDepthBuffer() const { return m_depthBuffer.data; }
    const float* GetStaticPressureBuffer() const { return m_staticPressureBuffer.data; }

    const phParticleList<phParticleContact>& GetContacts() const { return m_contacts; }
    const phParticleList<phParticleBodyContact>& GetBodyContacts() const { return m_bodyContacts; }
    const phParticleList<phParticlePair>& GetPairs() const { return m_pairs; }
    const phParticleList<phParticleTriad>& GetTriads() const { return m_triads; }

    phParticleGroup* GetParticleGroupList() const { return m_groupList; }
    int32_t GetParticleGroupCount() const { return m_groupCount; }
    phWorld* GetWorld() const { return m_world; }
    phParticleSystem* GetNext() const { return m_next; }

private:
    friend class phWorld;
    friend class phParticleGroup;
    template <typename> friend class phFixtureParticleQueryCallback;
    friend class phUpdateBodyContactsCallback;
    friend class phSolveCollisionCallback;

    struct Proxy
    {
        int32_t index;
        uint32_t tag;
    };
    class UpdateTriadsCallback;

    // Every proxy whose column lies within a box, from the tag-sorted proxies.
    struct BoxRange
    {
        const Proxy* first;
        const Proxy* last;
        uint32_t xLower;
        uint32_t xUpper;
    };

    phParticleSystem(const phParticleSystemDef& def, phWorld* world);
    ~phParticleSystem();

    // Memory.
    template <typename T> T* AllocateBuffer(int32_t capacity);
    template <typename T> void FreeBuffer(T* buffer, int32_t capacity);
    template <typename T> void FreeBuffer(phParticleBuffer<T>& buffer);
    template <typename T> T* RequestBuffer(phParticleBuffer<T>& buffer);
    template <typename T> void SetUserBuffer(phParticleBuffer<T>& buffer, T* data, int32_t capacity);
    template <typename T>
    void ReallocateBuffer(phParticleBuffer<T>& buffer, int32_t newCapacity, bool always);
    // Every per-particle buffer; the first seven always exist.
    template <typename Visitor> void ForEachParticleBuffer(Visitor&& visit);
    // Those and the list of indices by expiration time.
    template <typename Visitor> void ForEachBuffer(Visitor&& visit);
    int32_t LimitCapacity(int32_t capacity) const;
    void GrowBuffers();

    // The world step: lifetimes, compaction, then the sub-iterations.
    void Solve(const phTimeStep& step);
    void SolveLifetimes(const phTimeStep& step);
    void SolveIteration(const phTimeStep& step);
    void UpdateAllParticleFlags();
    void UpdateAllGroupFlags();
    void ComputeWeight();
    void ComputeDepth();
    void UpdateReactivePairsAndTriads();
    void SolveForce(const phTimeStep& step);
    void SolveViscous();
    void SolveRepulsive(const phTimeStep& step);
    void SolvePowder(const phTimeStep& step);
    void SolveTensile(const phTimeStep& step);
    void SolveSolid(const phTimeStep& step);
    void SolveColorMixing();
    void SolveGravity(const phTimeStep& step);
    void SolveStaticPressure(const phTimeStep& step);
    void SolvePressure(const phTimeStep& step);
    void SolveDamping(const phTimeStep& step);
    void SolveExtraDamping();
    void SolveElastic(const phTimeStep& step);
    void SolveSpring(const phTimeStep& step);
    void LimitVelocity(const phTimeStep& step);
    void SolveRigidDamping();
    void SolveBarrier(const phTimeStep& step);
    void SolveCollision(const phTimeStep& step);
    void SolveRigid(const phTimeStep& step);
    void SolveWall();
    void SolvePosition(const phTimeStep& step);
    // Removes zombie particles and remaps every record that names particles.
    void SolveZombie();

    // Neighbourhood.
    void UpdateContacts();
    void FindContacts();
    void AddContact(int32_t a, int32_t b);
    void FilterContacts();
    void UpdateBodyContacts();
    void FilterBodyContactsStrictly();
    phBounds ComputeParticleBounds(bool withMotion, float dt) const;
    BoxRange GetInsideBoundsRange(const phBounds& box) const;
    template <typename Callback> void ForEachInside(const phBounds& box, Callback&& callback) const;
    void AddBodyContact(phFixture* fixture, int32_t childIndex, int32_t index);
    void CollideWithFixture(const phTimeStep& step, phFixture* fixture, int32_t childIndex, int32_t index);
    void UpdatePairs(int32_t firstIndex, int32_t lastIndex, const ConnectionFilter& filter);
    void UpdateTriads(int32_t firstIndex, int32_t lastIndex, const ConnectionFilter& filter);
    void AddTriad(int32_t a, int32_t b, int32_t c, const ConnectionFilter& filter);

    // Groups.
    void DestroyParticleGroup(phParticleGroup* group);
    bool IsRigidGroup(const phParticleGroup* group) const
    {
        return group != nullptr && (group->m_groupFlags & phRigidParticleGroup) != 0;
    }
    bool CanConnect(int32_t index) const;
    phVector GetLinearVelocity(const phParticleGroup* group, int32_t index, const phVector& point) const;
    // Rigid damping: inverse mass, inverse inertia and tangent distance of a contact side.
    void InitDampingParameter(float* invMass, float* invInertia, float* tangentDistance, bool isRigidGroup,
                              const phParticleGroup* group, const phVector& point,
                              const phVector& normal) const;
    void InitDampingParameterWithRigidGroupOrParticle(float* invMass, float* invInertia,
                                                      float* tangentDistance, bool isRigidGroup,
                                                      const phParticleGroup* group, int32_t index,
                                                      const phVector& point, const phVector& normal) const;
    float ComputeDampingImpulse(float invMassA, float invInertiaA, float tangentDistanceA, float invMassB,
                                float invInertiaB, float tangentDistanceB, float normalVelocity) const;
    void ApplyDamping(float invMass, float invInertia, float tangentDistance, bool isRigidGroup,
                      phParticleGroup* group, int32_t index, float impulse, const phVector& normal);

    float GetCriticalVelocity(const phTimeStep& step) const { return m_particleDiameter * step.inv_dt; }
    float GetCriticalVelocitySquared(const phTimeStep& step) const
    {
        const float velocity = GetCriticalVelocity(step);
        return velocity * velocity;
    }
    float GetCriticalPressure(const phTimeStep& step) const
    {
        return m_def.density * GetCriticalVelocitySquared(step);
    }
    int32_t GetQuantizedTimeElapsed() const { return static_cast<int32_t>(m_timeElapsed >> 32); }

    phBlockAllocator* m_allocator;

    bool m_paused = false;
    int32_t m_timestamp = 0;
    uint32_t m_allParticleFlags = 0;
    bool m_needsUpdateAllParticleFlags = false;
    uint32_t m_allGroupFlags = 0;
    bool m_needsUpdateAllGroupFlags = false;
    bool m_hasForce = false;
    int32_t m_iterationIndex = 0;

    float m_inverseDensity;
    float m_particleDiameter;
    float m_inverseDiameter;
    float m_squaredDiameter;
    int32_t m_count = 0;
    int32_t m_internalAllocatedCapacity = 0;

    // Handles come from slabs on a ring of their own (freed with the ring);
    // free ones are chained.
    phBlockRing m_handleSlabs;
    phParticleHandle* m_freeHandles = nullptr;
    phParticleBuffer<phParticleHandle*> m_handleIndexBuffer;

    phParticleBuffer<uint32_t> m_flagsBuffer;
    phParticleBuffer<phVector> m_positionBuffer;
    phParticleBuffer<phVector> m_velocityBuffer;
    phParticleBuffer<phVector> m_forceBuffer;
    phParticleBuffer<float> m_weightBuffer;
    phParticleBuffer<float> m_staticPressureBuffer;
    phParticleBuffer<float> m_accumulationBuffer;
    phParticleBuffer<phVector> m_accumulation2Buffer;
    phParticleBuffer<float> m_depthBuffer;
    phParticleBuffer<phParticleColor> m_colorBuffer;
    phParticleBuffer<phParticleGroup*> m_groupBuffer;
    phParticleBuffer<void*> m_userDataBuffer;

    int32_t m_stuckThreshold = 0;
    phParticleBuffer<int32_t> m_lastBodyContactStepBuffer;
    phParticleBuffer<int32_t> m_bodyContactCountBuffer;
    phParticleBuffer<int32_t> m_consecutiveContactStepsBuffer;
    phParticleList<int32_t> m_stuckParticles;

    phParticleList<Proxy> m_proxies;
    phParticleList<phParticleContact> m_contacts;
    phParticleList<phParticleBodyContact> m_bodyContacts;
    phParticleList<phParticlePair> m_pairs;
    phParticleList<phParticleTriad> m_triads;

    phParticleBuffer<int32_t> m_expirationTimeBuffer;
    phParticleBuffer<int32_t> m_indexByExpirationTimeBuffer;
    int64_t m_timeElapsed = 0;
    bool m_expirationTimeBufferRequiresSorting = false;

    int32_t m_groupCount = 0;
    phParticleGroup* m_groupList = nullptr;

    phParticleSystemDef m_def;

    phWorld* m_world;
    phParticleSystem* m_prev = nullptr;
    phParticleSystem* m_next = nullptr;
};
