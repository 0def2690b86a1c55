// Life cycle, memory and setters of the particle system, and group statistics.
#include "physics/particles/particle_system.h"

#include "physics/collision/shape.h"
#include "physics/dynamics/callbacks.h"
#include "physics/dynamics/world.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <new>

namespace {

constexpr int32_t minBufferCapacity = 256;
constexpr int32_t handlesPerSlab = 256;

} // namespace

float phParticleGroup::GetMass() const
{
    UpdateStatistics();
    return m_mass;
}

float phParticleGroup::GetInertia() const
{
    UpdateStatistics();
    return m_inertia;
}

phVector phParticleGroup::GetCenter() const
{
    UpdateStatistics();
    return m_center;
}

phVector phParticleGroup::GetLinearVelocity() const
{
    UpdateStatistics();
    return m_linearVelocity;
}

float phParticleGroup::GetAngularVelocity() const
{
    UpdateStatistics();
    return m_angularVelocity;
}

void phParticleGroup::UpdateStatistics() const
{
    if (m_timestamp == m_system->m_timestamp) {
        return;
    }
    const float particleMass = m_system->GetParticleMass();
    const phVector* const positions = m_system->m_positionBuffer.data;
    const phVector* const velocities = m_system->m_velocityBuffer.data;
    m_mass = particleMass * static_cast<float>(GetParticleCount());
    m_center.SetZero();
    m_linearVelocity.SetZero();
    for (int32_t i = m_firstIndex; i < m_lastIndex; ++i) {
        m_center += particleMass * positions[i];
        m_linearVelocity += particleMass * velocities[i];
    }
    if (m_mass > 0.0f) {
        const float invMass = 1.0f / m_mass;
        m_center *= invMass;
        m_linearVelocity *= invMass;
    }
    m_inertia = 0.0f;
    m_angularVelocity = 0.0f;
    for (int32_t i = m_firstIndex; i < m_lastIndex; ++i) {
        const phVector p = positions[i] - m_center;
        const phVector v = velocities[i] - m_linearVelocity;
        m_inertia += particleMass * phDot(p, p);
        m_angularVelocity += particleMass * phCross(p, v);
    }
    if (m_inertia > 0.0f) {
        m_angularVelocity *= 1.0f / m_inertia;
    }
    m_timestamp = m_system->m_timestamp;
}

phParticleSystem::phParticleSystem(const phParticleSystemDef& def, phWorld* world)
    : m_allocator(&world->m_blockAllocator), m_inverseDensity(1.0f / def.density),
      m_particleDiameter(2.0f * def.radius), m_inverseDiameter(1.0f / m_particleDiameter),
      m_squaredDiameter(m_particleDiameter * m_particleDiameter), m_stuckParticles(m_allocator),
      m_proxies(m_allocator), m_contacts(m_allocator), m_bodyContacts(m_allocator), m_pairs(m_allocator),
      m_triads(m_allocator), m_def(def), m_world(world)
{
}

phParticleSystem::~phParticleSystem()
{
    while (m_groupList != nullptr) {
        DestroyParticleGroup(m_groupList);
    }
    ForEachBuffer([this](auto& buffer) { FreeBuffer(buffer); });
}

template <typename T> T* phParticleSystem::AllocateBuffer(int32_t capacity)
{
    return static_cast<T*>(m_allocator->Allocate(phByteSize<T>(capacity)));
}

template <typename T> void phParticleSystem::FreeBuffer(T* buffer, int32_t capacity)
{
    m_allocator->Free(buffer, phByteSize<T>(capacity));
}

template <typename T> void phParticleSystem::FreeBuffer(phParticleBuffer<T>& buffer)
{
    if (!buffer.IsUserSupplied()) {
        FreeBuffer(buffer.data, m_internalAllocatedCapacity);
    }
    buffer.data = nullptr;
}

template <typename T> T* phParticleSystem::RequestBuffer(phParticleBuffer<T>& buffer)
{
    if (buffer.data == nullptr) {
        if (m_internalAllocatedCapacity == 0) {
            GrowBuffers();
        }
        buffer.data = AllocateBuffer<T>(m_internalAllocatedCapacity);
        std::fill_n(buffer.data, m_internalAllocatedCapacity, T{});
    }
    return buffer.data;
}

// The solver asks for these on demand.
template float* phParticleSystem::RequestBuffer(phParticleBuffer<float>& buffer);
template phParticleColor* phParticleSystem::RequestBuffer(phParticleBuffer<phParticleColor>& buffer);

template <typename T>
void phParticleSystem::SetUserBuffer(phParticleBuffer<T>& buffer, T* data, int32_t capacity)
{
    // The caller's buffer takes over the particles' current values.
    if (data == nullptr || capacity < m_count) {
        return;
    }
    if (buffer.data != nullptr && m_count > 0) {
        std::copy_n(buffer.data, m_count, data);
    }
    FreeBuffer(buffer);
    buffer.data = data;
    buffer.userCapacity = capacity;
}

template <typename T>
void phParticleSystem::ReallocateBuffer(phParticleBuffer<T>& buffer, int32_t newCapacity, bool always)
{
    if (buffer.IsUserSupplied() || (buffer.data == nullptr && !always)) {
        return;
    }
    T* const data = AllocateBuffer<T>(newCapacity);
    std::fill_n(data, newCapacity, T{});
    if (buffer.data != nullptr) {
        std::copy_n(buffer.data, m_count, data);
        FreeBuffer(buffer.data, m_internalAllocatedCapacity);
    }
    buffer.data = data;
}

template <typename Visitor> void phParticleSystem::ForEachParticleBuffer(Visitor&& visit)
{
    visit(m_flagsBuffer);
    visit(m_positionBuffer);
    visit(m_velocityBuffer);
    visit(m_forceBuffer);
    visit(m_weightBuffer);
    visit(m_accumulationBuffer);
    visit(m_groupBuffer);
    visit(m_handleIndexBuffer);
    visit(m_staticPressureBuffer);
    visit(m_accumulation2Buffer);
    visit(m_depthBuffer);
    visit(m_colorBuffer);
    visit(m_userDataBuffer);
    visit(m_lastBodyContactStepBuffer);
    visit(m_bodyContactCountBuffer);
    visit(m_consecutiveContactStepsBuffer);
    visit(m_expirationTimeBuffer);
}

template <typename Visitor> void phParticleSystem::ForEachBuffer(Visitor&& visit)
{
    ForEachParticleBuffer(visit);
    visit(m_indexByExpirationTimeBuffer);
}

int32_t phParticleSystem::LimitCapacity(int32_t capacity) const
{
    if (m_def.maxCount > 0) {
        capacity = std::min(capacity, m_def.maxCount);
    }
    auto limit = [&capacity](const auto& buffer) {
        if (buffer.IsUserSupplied()) {
            capacity = std::min(capacity, buffer.userCapacity);
        }
    };
    limit(m_flagsBuffer);
    limit(m_positionBuffer);
    limit(m_velocityBuffer);
    limit(m_colorBuffer);
    limit(m_userDataBuffer);
    return capacity;
}

void phParticleSystem::GrowBuffers()
{
    // Doubling, so that filling a system costs amortised constant time per particle.
    const int32_t capacity = LimitCapacity(std::max(
        minBufferCapacity, m_internalAllocatedCapacity > (1 << 29) ? m_internalAllocatedCapacity
                                                                   : 2 * m_internalAllocatedCapacity));
    if (capacity <= m_internalAllocatedCapacity) {
        return;
    }
    int32_t index = 0;
    ForEachBuffer([&](auto& buffer) { ReallocateBuffer(buffer, capacity, index++ < 7); });
    m_internalAllocatedCapacity = capacity;
}

float phParticleSystem::GetParticleMass() const
{
    const float stride = GetParticleStride();
    return m_def.density * stride * stride;
}

float phParticleSystem::GetParticleInvMass() const
{
    // 1.3333334 = 1 / 0.75: the inverse of the stride squared.
    const float invStride = 1.3333334f * m_inverseDiameter;
    return m_inverseDensity * invStride * invStride;
}

int32_t phParticleSystem::CreateParticle(const phParticleDef& def)
{
    if (m_world->IsLocked()) {
        return -1;
    }
    if (m_count >= LimitCapacity(m_internalAllocatedCapacity)) {
        GrowBuffers();
    }
    if (m_count >= LimitCapacity(m_internalAllocatedCapacity)) {
        return -1;
    }
    const int32_t index = m_count++;
    m_flagsBuffer[index] = 0;
    m_positionBuffer[index] = def.position;
    m_velocityBuffer[index] = def.velocity;
    m_forceBuffer[index].SetZero();
    m_weightBuffer[index] = 0.0f;
    m_accumulationBuffer[index] = 0.0f;
    m_groupBuffer[index] = nullptr;
    if (m_handleIndexBuffer.data != nullptr) {
        m_handleIndexBuffer[index] = nullptr;
    }
    if (m_staticPressureBuffer.data != nullptr) {
        m_staticPressureBuffer[index] = 0.0f;
    }
    if (m_accumulation2Buffer.data != nullptr) {
        m_accumulation2Buffer[index].SetZero();
    }
    if (m_depthBuffer.data != nullptr) {
        m_depthBuffer[index] = 0.0f;
    }
    if (m_colorBuffer.data != nullptr || !def.color.IsZero()) {
        RequestBuffer(m_colorBuffer)[index] = def.color;
    }
    if (m_userDataBuffer.data != nullptr || def.userData != nullptr) {
        RequestBuffer(m_userDataBuffer)[index] = def.userData;
    }
    if (m_stuckThreshold > 0) {
        m_lastBodyContactStepBuffer[index] = 0;
        m_bodyContactCountBuffer[index] = 0;
        m_consecutiveContactStepsBuffer[index] = 0;
    }
    if (m_expirationTimeBuffer.data != nullptr) {
        m_expirationTimeBuffer[index] = 0;
        m_indexByExpirationTimeBuffer[index] = index;
    }
    // The proxies stay sorted by tag, so that box queries find the new particle
    // before the next step.
    const Proxy proxy{index,
                      ComputeTag(m_inverseDiameter * def.position.x, m_inverseDiameter * def.position.y)};
    m_proxies.Append() = proxy;
    Proxy* const last = m_proxies.end() - 1;
    std::rotate(std::upper_bound(m_proxies.begin(), last, proxy,
                                 [](const Proxy& a, const Proxy& b) { return a.tag < b.tag; }),
                last, m_proxies.end());
    SetParticleFlags(index, def.flags);
    if (def.lifetime > 0.0f) {
        SetParticleLifetime(index, def.lifetime);
    }
    return index;
}

void phParticleSystem::DestroyParticle(int32_t index, bool callDestructionListener)
{
    uint32_t flags = phZombieParticle;
    if (callDestructionListener) {
        flags |= phDestructionListenerParticle;
    }
    SetParticleFlags(index, m_flagsBuffer[index] | flags);
}

phParticleGroup* phParticleSystem::CreateParticleGroup(const phParticleGroupDef& def)
{
    if (m_world->IsLocked()) {
        return nullptr;
    }
    const phTransform xf(def.position, phRotation(def.angle));
    const int32_t firstIndex = m_count;
    auto add = [&](const phVector& p) {
        phParticleDef particle;
        particle.flags = def.flags;
        particle.position = p;
        particle.velocity = def.linearVelocity + phCross(def.angularVelocity, p - def.position);
        particle.color = def.color;
        particle.lifetime = def.lifetime;
        particle.userData = def.userData;
        CreateParticle(particle);
    };
    if (def.shape != nullptr && def.shape->GetKind() != phShape::edge &&
        def.shape->GetKind() != phShape::chain) {
        const float stride = def.stride > 0.0f ? def.stride : GetParticleStride();
        phBounds box;
        def.shape->ComputeBounds(&box, xf, 0);
        for (float y = std::floor(box.lower.y / stride) * stride; y < box.upper.y; y += stride) {
            for (float x = std::floor(box.lower.x / stride) * stride; x < box.upper.x; x += stride) {
                const phVector p(x, y);
                if (def.shape->TestPoint(xf, p)) {
                    add(p);
                }
            }
        }
    }
    for (int32_t i = 0; i < def.particleCount && def.positionData != nullptr; ++i) {
        add(phMul(xf, def.positionData[i]));
    }

    auto* const group =
        new (m_allocator->Allocate(static_cast<int32_t>(sizeof(phParticleGroup)))) phParticleGroup;
    group->m_system = this;
    group->m_firstIndex = firstIndex;
    group->m_lastIndex = m_count;
    group->m_strength = def.strength;
    group->m_userData = def.userData;
    group->m_transform = xf;
    group->m_next = m_groupList;
    if (m_groupList != nullptr) {
        m_groupList->m_prev = group;
    }
    m_groupList = group;
    ++m_groupCount;
    for (int32_t i = firstIndex; i < m_count; ++i) {
        m_groupBuffer[i] = group;
    }
    SetParticleGroupFlags(group, def.groupFlags);

    // The new particles' contacts give the group its pairs and triads.
    UpdateContacts();
    UpdatePairsAndTriads(firstIndex, m_count, ConnectionFilter());
    return group;
}

void phParticleSystem::DestroyParticleGroup(phParticleGroup* group)
{
    if (phWorld::DestroyObserver* const observer = m_world->m_destroyObserver) {
        observer->ParticleGroupDestroyed(group);
    }
    for (int32_t i = group->m_firstIndex; i < group->m_lastIndex; ++i) {
        m_groupBuffer[i] = nullptr;
    }
    if (group->m_prev != nullptr) {
        group->m_prev->m_next = group->m_next;
    }
    if (group->m_next != nullptr) {
        group->m_next->m_prev = group->m_prev;
    }
    if (group == m_groupList) {
        m_groupList = group->m_next;
    }
    --m_groupCount;
    group->~phParticleGroup();
    m_allocator->Free(group, static_cast<int32_t>(sizeof(phParticleGroup)));
}

const phParticleHandle* phParticleSystem::GetParticleHandleFromIndex(int32_t index)
{
    RequestBuffer(m_handleIndexBuffer);
    phParticleHandle*& handle = m_handleIndexBuffer[index];
    if (handle == nullptr) {
        if (m_freeHandles == nullptr) {
            auto* const slab = static_cast<phParticleHandle*>(
                m_handleSlabs.Allocate(sizeof(phParticleHandle) * handlesPerSlab));
            for (int32_t i = 0; i < handlesPerSlab; ++i) {
                slab[i].nextFree = i + 1 < handlesPerSlab ? &slab[i + 1] : nullptr;
            }
            m_freeHandles = slab;
        }
        handle = m_freeHandles;
        m_freeHandles = handle->nextFree;
        handle->nextFree = nullptr;
        handle->index = index;
    }
    return handle;
}

void phParticleSystem::ParticleApplyForce(int32_t index, const phVector& force)
{
    if ((force.x == 0.0f && force.y == 0.0f) || (m_flagsBuffer[index] & phWallParticle) != 0) {
        return;
    }
    if (!m_hasForce) {
        std::fill_n(m_forceBuffer.data, m_count, phVector());
        m_hasForce = true;
    }
    m_forceBuffer[index] += force;
}

void phParticleSystem::SetParticleFlags(int32_t index, uint32_t flags)
{
    const uint32_t oldFlags = m_flagsBuffer[index];
    if ((oldFlags & ~flags) != 0) {
        // A flag was removed: the union may shrink.
        m_needsUpdateAllParticleFlags = true;
    }
    if ((~m_allParticleFlags & flags) != 0) {
        if ((flags & phTensileParticle) != 0) {
            RequestBuffer(m_accumulation2Buffer);
        }
        if ((flags & phColorMixingParticle) != 0) {
            RequestBuffer(m_colorBuffer);
        }
        m_allParticleFlags |= flags;
    }
    m_flagsBuffer[index] = flags;
}

void phParticleSystem::SetParticleGroupFlags(phParticleGroup* group, uint32_t flags)
{
    const uint32_t oldFlags = group->m_groupFlags;
    if (((oldFlags ^ flags) & phSolidParticleGroup) != 0) {
        flags |= phParticleGroupNeedsUpdateDepth;
    }
    if ((oldFlags & ~flags) != 0) {
        m_needsUpdateAllGroupFlags = true;
    }
    if ((~m_allGroupFlags & flags) != 0) {
        if ((flags & phSolidParticleGroup) != 0) {
            RequestBuffer(m_depthBuffer);
        }
        m_allGroupFlags |= flags;
    }
    group->m_groupFlags = flags;
}

void phParticleSystem::SetParticleLifetime(int32_t index, float lifetime)
{
    const bool initialize = m_indexByExpirationTimeBuffer.data == nullptr;
    RequestBuffer(m_expirationTimeBuffer);
    RequestBuffer(m_indexByExpirationTimeBuffer);
    if (initialize) {
        for (int32_t i = 0; i < m_count; ++i) {
            m_indexByExpirationTimeBuffer[i] = i;
        }
    }
    // Whole granules, nearest (0.5 s is 30 sixtieths, not 29.99998); clamped
    // before conversion. A lifetime of 0 or less never expires.
    const float granules = lifetime / m_def.lifetimeGranularity;
    const int32_t quantized =
        granules > 0.0f ? static_cast<int32_t>(std::lround(std::min(granules, 1.0e9f))) : 0;
    const int64_t expiration =
        quantized > 0 ? std::min<int64_t>(int64_t{GetQuantizedTimeElapsed()} + quantized, INT32_MAX) : 0;
    if (expiration != m_expirationTimeBuffer[index]) {
        m_expirationTimeBuffer[index] = static_cast<int32_t>(expiration);
        m_expirationTimeBufferRequiresSorting = true;
    }
}

void phParticleSystem::SetStuckThreshold(int32_t iterations)
{
    m_stuckThreshold = iterations;
    if (iterations > 0) {
        RequestBuffer(m_lastBodyContactStepBuffer);
        RequestBuffer(m_bodyContactCountBuffer);
        RequestBuffer(m_consecutiveContactStepsBuffer);
    }
}

void phParticleSystem::SetFlagsBuffer(uint32_t* buffer, int32_t capacity)
{
    SetUserBuffer(m_flagsBuffer, buffer, capacity);
}

void phParticleSystem::SetPositionBuffer(phVector* buffer, int32_t capacity)
{
    SetUserBuffer(m_positionBuffer, buffer, capacity);
}

void phParticleSystem::SetVelocityBuffer(phVector* buffer, int32_t capacity)
{
    SetUserBuffer(m_velocityBuffer, buffer, capacity);
}

void phParticleSystem::SetColorBuffer(phParticleColor* buffer, int32_t capacity)
{
    SetUserBuffer(m_colorBuffer, buffer, capacity);
}

void phParticleSystem::SetUserDataBuffer(void** buffer, int32_t capacity)
{
    SetUserBuffer(m_userDataBuffer, buffer, capacity);
}

namespace {

// Renumbers the indices of a record list through newIndices and drops records
// that name a removed particle (new index -1).
template <typename T, typename Remap>
void RemapList(phParticleList<T>& list, const int32_t* newIndices, Remap&& remap)
{
    list.RemoveIf([&](T& record) { return !remap(record, newIndices); });
}

bool RemapIndex(int32_t& index, const int32_t* newIndices)
{
    index = newIndices[index];
    return index >= 0;
}

} // namespace

void phParticleSystem::SolveZombie()
{
    phStackAllocator& stack = m_world->m_stackAllocator;
    auto* const newIndices = static_cast<int32_t*>(stack.Allocate(phByteSize<int32_t>(m_count)));
    phWorld::DestroyObserver* const observer = m_world->m_destroyObserver;
    int32_t newCount = 0;
    uint32_t allFlags = 0;
    for (int32_t i = 0; i < m_count; ++i) {
        const uint32_t flags = m_flagsBuffer[i];
        phParticleHandle* const handle =
            m_handleIndexBuffer.data != nullptr ? m_handleIndexBuffer[i] : nullptr;
        if ((flags & phZombieParticle) != 0) {
            if ((flags & phDestructionListenerParticle) != 0 && observer != nullptr) {
                observer->ParticleRemoved(this, i);
            }
            if (handle != nullptr) {
                handle->index = -1;
                handle->nextFree = m_freeHandles;
                m_freeHandles = handle;
                m_handleIndexBuffer[i] = nullptr;
            }
            newIndices[i] = -1;
            continue;
        }
        newIndices[i] = newCount;
        if (i != newCount) {
            ForEachParticleBuffer([i, newCount](auto& buffer) {
                if (buffer.data != nullptr) {
                    buffer.data[newCount] = buffer.data[i];
                }
            });
            if (handle != nullptr) {
                handle->index = newCount;
            }
        }
        allFlags |= flags;
        ++newCount;
    }

    RemapList(m_proxies, newIndices, [](Proxy& p, const int32_t* map) { return RemapIndex(p.index, map); });
    RemapList(m_contacts, newIndices, [](phParticleContact& c, const int32_t* map) {
        return RemapIndex(c.indexA, map) && RemapIndex(c.indexB, map);
    });
    RemapList(m_bodyContacts, newIndices,
              [](phParticleBodyContact& c, const int32_t* map) { return RemapIndex(c.index, map); });
    RemapList(m_pairs, newIndices, [](phParticlePair& p, const int32_t* map) {
        return RemapIndex(p.indexA, map) && RemapIndex(p.indexB, map);
    });
    RemapList(m_triads, newIndices, [](phParticleTriad& t, const int32_t* map) {
        return RemapIndex(t.indexA, map) && RemapIndex(t.indexB, map) && RemapIndex(t.indexC, map);
    });
    RemapList(m_stuckParticles, newIndices,
              [](int32_t& index, const int32_t* map) { return RemapIndex(index, map); });
    if (m_indexByExpirationTimeBuffer.data != nullptr) {
        int32_t kept = 0;
        for (int32_t k = 0; k < m_count; ++k) {
            const int32_t index = newIndices[m_indexByExpirationTimeBuffer[k]];
            if (index >= 0) {
                m_indexByExpirationTimeBuffer[kept++] = index;
            }
        }
    }

    for (phParticleGroup* group = m_groupList; group != nullptr; group = group->m_next) {
        int32_t first = newCount;
        int32_t last = 0;
        bool lostParticles = false;
        for (int32_t i = group->m_firstIndex; i < group->m_lastIndex; ++i) {
            const int32_t j = newIndices[i];
            if (j >= 0) {
                first = std::min(first, j);
                last = std::max(last, j + 1);
            } else {
                lostParticles = true;
            }
        }
        if (first < last) {
            group->m_firstIndex = first;
            group->m_lastIndex = last;
            if (lostParticles && (group->m_groupFlags & phSolidParticleGroup) != 0) {
                SetParticleGroupFlags(group, group->m_groupFlags | phParticleGroupNeedsUpdateDepth);
            }
        } else {
            group->m_firstIndex = group->m_lastIndex = 0;
            if ((group->m_groupFlags & phParticleGroupCanBeEmpty) == 0) {
                SetParticleGroupFlags(group, group->m_groupFlags | phParticleGroupWillBeDestroyed);
            }
        }
    }

    m_count = newCount;
    m_allParticleFlags = allFlags;
    m_needsUpdateAllParticleFlags = false;
    stack.Free(newIndices);

    for (phParticleGroup* group = m_groupList; group != nullptr;) {
        phParticleGroup* const next = group->m_next;
        if ((group->m_groupFlags & phParticleGroupWillBeDestroyed) != 0) {
            DestroyParticleGroup(group);
        }
        group = next;
    }
}
