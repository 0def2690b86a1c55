// The particle solver: one world step is several sub-iterations, each a fixed
// sequence of phases over the particles, their contacts, pairs and triads.
#include "physics/dynamics/body.h"
#include "physics/dynamics/world.h"
#include "physics/particles/particle_system.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

// The velocity of the body's material at a world point.
phVector VelocityAt(const phBody* body, const phVector& point)
{
    return body->GetLinearVelocity() + phCross(body->GetAngularVelocity(), point - body->GetWorldCenter());
}

float InverseOrZero(float value)
{
    return value > 0.0f ? 1.0f / value : 0.0f;
}

// The transform that applies b first, then a.
phTransform Compose(const phTransform& a, const phTransform& b)
{
    phRotation q;
    q.s = a.q.s * b.q.c + a.q.c * b.q.s;
    q.c = a.q.c * b.q.c - a.q.s * b.q.s;
    return {phMul(a.q, b.p) + a.p, q};
}

// Pairs and triads for the particles flagged reactive.
class ReactiveFilter final : public phParticleSystem::ConnectionFilter
{
public:
    explicit ReactiveFilter(const uint32_t* flags) : m_flags(flags) {}
    bool IsNecessary(int32_t index) const override { return (m_flags[index] & phReactiveParticle) != 0; }

private:
    const uint32_t* m_flags;
};

} // namespace

void phParticleSystem::Solve(const phTimeStep& step)
{
    if (m_count == 0) {
        return;
    }
    if (m_expirationTimeBuffer.data != nullptr) {
        SolveLifetimes(step);
    }
    if ((m_allParticleFlags & phZombieParticle) != 0) {
        SolveZombie();
    }
    if (m_needsUpdateAllParticleFlags) {
        UpdateAllParticleFlags();
    }
    if (m_needsUpdateAllGroupFlags) {
        UpdateAllGroupFlags();
    }
    if (m_paused || m_count == 0) {
        return;
    }
    for (m_iterationIndex = 0; m_iterationIndex < step.particleIterations; ++m_iterationIndex) {
        ++m_timestamp;
        phTimeStep subStep = step;
        subStep.dt /= static_cast<float>(step.particleIterations);
        subStep.inv_dt *= static_cast<float>(step.particleIterations);
        SolveIteration(subStep);
    }
}

void phParticleSystem::SolveIteration(const phTimeStep& step)
{
    UpdateContacts();
    UpdateBodyContacts();
    ComputeWeight();
    if ((m_allGroupFlags & phParticleGroupNeedsUpdateDepth) != 0) {
        ComputeDepth();
    }
    if ((m_allParticleFlags & phReactiveParticle) != 0) {
        UpdateReactivePairsAndTriads();
    }
    if (m_hasForce) {
        SolveForce(step);
    }
    if ((m_allParticleFlags & phViscousParticle) != 0) {
        SolveViscous();
    }
    if ((m_allParticleFlags & phRepulsiveParticle) != 0) {
        SolveRepulsive(step);
    }
    if ((m_allParticleFlags & phPowderParticle) != 0) {
        SolvePowder(step);
    }
    if ((m_allParticleFlags & phTensileParticle) != 0) {
        SolveTensile(step);
    }
    if ((m_allGroupFlags & phSolidParticleGroup) != 0) {
        SolveSolid(step);
    }
    if ((m_allParticleFlags & phColorMixingParticle) != 0) {
        SolveColorMixing();
    }
    SolveGravity(step);
    if ((m_allParticleFlags & phStaticPressureParticle) != 0) {
        SolveStaticPressure(step);
    }
    SolvePressure(step);
    SolveDamping(step);
    if ((m_allParticleFlags & phStaticPressureParticle) != 0) {
        SolveExtraDamping();
    }
    if ((m_allParticleFlags & phElasticParticle) != 0) {
        SolveElastic(step);
    }
    if ((m_allParticleFlags & phSpringParticle) != 0) {
        SolveSpring(step);
    }
    LimitVelocity(step);
    if ((m_allGroupFlags & phRigidParticleGroup) != 0) {
        SolveRigidDamping();
    }
    if ((m_allParticleFlags & phBarrierParticle) != 0) {
        SolveBarrier(step);
    }
    SolveCollision(step);
    if ((m_allGroupFlags & phRigidParticleGroup) != 0) {
        SolveRigid(step);
    }
    if ((m_allParticleFlags & phWallParticle) != 0) {
        SolveWall();
    }
    SolvePosition(step);
}

void phParticleSystem::SolveLifetimes(const phTimeStep& step)
{
    // Elapsed time in granules with 32 fractional bits; clamped before conversion.
    const double granules = static_cast<double>(step.dt) / static_cast<double>(m_def.lifetimeGranularity);
    const double fixed = granules * 4294967296.0;
    const int64_t elapsed = fixed > 0.0 ? static_cast<int64_t>(std::llround(std::min(fixed, 9.0e18))) : 0;
    m_timeElapsed = elapsed > INT64_MAX - m_timeElapsed ? INT64_MAX : m_timeElapsed + elapsed;

    const int32_t* const expirationTimes = m_expirationTimeBuffer.data;
    int32_t* const indices = m_indexByExpirationTimeBuffer.data;
    if (m_expirationTimeBufferRequiresSorting) {
        // Particles that never expire first, then the latest to expire; the
        // next to expire is last.
        std::sort(indices, indices + m_count, [expirationTimes](int32_t a, int32_t b) {
            const int32_t ta = expirationTimes[a];
            const int32_t tb = expirationTimes[b];
            const bool neverA = ta <= 0;
            const bool neverB = tb <= 0;
            return neverA == neverB ? ta > tb : neverA;
        });
        m_expirationTimeBufferRequiresSorting = false;
    }
    const int32_t now = GetQuantizedTimeElapsed();
    for (int32_t i = m_count - 1; i >= 0; --i) {
        const int32_t index = indices[i];
        const int32_t expiration = expirationTimes[index];
        if (expiration <= 0 || expiration > now) {
            break;
        }
        DestroyParticle(index);
    }
}

void phParticleSystem::UpdateAllParticleFlags()
{
    m_allParticleFlags = 0;
    for (int32_t i = 0; i < m_count; ++i) {
        m_allParticleFlags |= m_flagsBuffer[i];
    }
    m_needsUpdateAllParticleFlags = false;
}

void phParticleSystem::UpdateAllGroupFlags()
{
    m_allGroupFlags = 0;
    for (const phParticleGroup* group = m_groupList; group != nullptr; group = group->m_next) {
        m_allGroupFlags |= group->m_groupFlags;
    }
    m_needsUpdateAllGroupFlags = false;
}

void phParticleSystem::ComputeWeight()
{
    float* const weights = m_weightBuffer.data;
    std::fill_n(weights, m_count, 0.0f);
    for (const phParticleBodyContact& contact : m_bodyContacts) {
        weights[contact.index] += contact.weight;
    }
    for (const phParticleContact& contact : m_contacts) {
        weights[contact.indexA] += contact.weight;
        weights[contact.indexB] += contact.weight;
    }
}

void phParticleSystem::ComputeDepth()
{
    phStackAllocator& stack = m_world->m_stackAllocator;
    auto* const groupContacts = static_cast<const phParticleContact**>(
        stack.Allocate(phByteSize<const phParticleContact*>(std::max(1, m_contacts.GetCount()))));
    int32_t groupContactCount = 0;
    for (const phParticleContact& contact : m_contacts) {
        const phParticleGroup* const groupA = m_groupBuffer[contact.indexA];
        if (groupA != nullptr && groupA == m_groupBuffer[contact.indexB] &&
            (groupA->m_groupFlags & phParticleGroupNeedsUpdateDepth) != 0) {
            groupContacts[groupContactCount++] = &contact;
        }
    }
    auto* const groups = static_cast<phParticleGroup**>(
        stack.Allocate(phByteSize<phParticleGroup*>(std::max(1, m_groupCount))));
    int32_t groupCount = 0;
    float* const accumulation = m_accumulationBuffer.data;
    for (phParticleGroup* group = m_groupList; group != nullptr; group = group->m_next) {
        if ((group->m_groupFlags & phParticleGroupNeedsUpdateDepth) != 0) {
            groups[groupCount++] = group;
            SetParticleGroupFlags(group, group->m_groupFlags & ~phParticleGroupNeedsUpdateDepth);
            std::fill(accumulation + group->m_firstIndex, accumulation + group->m_lastIndex, 0.0f);
        }
    }
    for (int32_t k = 0; k < groupContactCount; ++k) {
        accumulation[groupContacts[k]->indexA] += groupContacts[k]->weight;
        accumulation[groupContacts[k]->indexB] += groupContacts[k]->weight;
    }
    float* const depth = RequestBuffer(m_depthBuffer);
    for (int32_t g = 0; g < groupCount; ++g) {
        for (int32_t i = groups[g]->m_firstIndex; i < groups[g]->m_lastIndex; ++i) {
            depth[i] = accumulation[i] < 0.8f ? 0.0f : phMaxFloat;
        }
    }
    // Each pass lets depth flow one contact further from the surface.
    const auto passes = static_cast<int32_t>(std::sqrt(static_cast<float>(m_count)));
    for (int32_t pass = 0; pass < passes; ++pass) {
        bool updated = false;
        for (int32_t k = 0; k < groupContactCount; ++k) {
            const phParticleContact& contact = *groupContacts[k];
            const float r = 1.0f - contact.weight;
            const float depthA = depth[contact.indexA];
            const float depthB = depth[contact.indexB];
            if (depthA > depthB + r) {
                depth[contact.indexA] = depthB + r;
                updated = true;
            }
            if (depthB > depthA + r) {
                depth[contact.indexB] = depthA + r;
                updated = true;
            }
        }
        if (!updated) {
            break;
        }
    }
    for (int32_t g = 0; g < groupCount; ++g) {
        for (int32_t i = groups[g]->m_firstIndex; i < groups[g]->m_lastIndex; ++i) {
            depth[i] = depth[i] < phMaxFloat ? depth[i] * m_particleDiameter : 0.0f;
        }
    }
    stack.Free(groups);
    stack.Free(groupContacts);
}

void phParticleSystem::UpdateReactivePairsAndTriads()
{
    UpdatePairsAndTriads(0, m_count, ReactiveFilter(m_flagsBuffer.data));
    for (int32_t i = 0; i < m_count; ++i) {
        m_flagsBuffer[i] &= ~phReactiveParticle;
    }
    m_allParticleFlags &= ~phReactiveParticle;
}

void phParticleSystem::SolveForce(const phTimeStep& step)
{
    const float velocityPerForce = step.dt * GetParticleInvMass();
    for (int32_t i = 0; i < m_count; ++i) {
        m_velocityBuffer[i] += velocityPerForce * m_forceBuffer[i];
    }
    m_hasForce = false;
}

void phParticleSystem::SolveViscous()
{
    const float strength = m_def.viscousStrength;
    const float invMass = GetParticleInvMass();
    phVector* const velocities = m_velocityBuffer.data;
    for (const phParticleBodyContact& contact : m_bodyContacts) {
        const int32_t a = contact.index;
        if ((m_flagsBuffer[a] & phViscousParticle) == 0) {
            continue;
        }
        const phVector p = m_positionBuffer[a];
        const phVector f =
            (strength * contact.mass * contact.weight) * (VelocityAt(contact.body, p) - velocities[a]);
        velocities[a] += invMass * f;
        contact.body->ApplyLinearImpulse(-f, p);
    }
    for (const phParticleContact& contact : m_contacts) {
        if ((contact.flags & phViscousParticle) == 0) {
            continue;
        }
        const int32_t a = contact.indexA;
        const int32_t b = contact.indexB;
        const phVector f = (strength * contact.weight) * (velocities[b] - velocities[a]);
        velocities[a] += f;
        velocities[b] -= f;
    }
}

void phParticleSystem::SolveRepulsive(const phTimeStep& step)
{
    const float strength = m_def.repulsiveStrength * GetCriticalVelocity(step);
    for (const phParticleContact& contact : m_contacts) {
        if ((contact.flags & phRepulsiveParticle) == 0 ||
            m_groupBuffer[contact.indexA] == m_groupBuffer[contact.indexB]) {
            continue;
        }
        const phVector f = (strength * contact.weight) * contact.normal;
        m_velocityBuffer[contact.indexA] -= f;
        m_velocityBuffer[contact.indexB] += f;
    }
}

void phParticleSystem::SolvePowder(const phTimeStep& step)
{
    const float strength = m_def.powderStrength * GetCriticalVelocity(step);
    constexpr float minWeight = 0.25f;
    for (const phParticleContact& contact : m_contacts) {
        if ((contact.flags & phPowderParticle) == 0 || contact.weight <= minWeight) {
            continue;
        }
        const phVector f = (strength * (contact.weight - minWeight)) * contact.normal;
        m_velocityBuffer[contact.indexA] -= f;
        m_velocityBuffer[contact.indexB] += f;
    }
}

void phParticleSystem::SolveTensile(const phTimeStep& step)
{
    phVector* const accumulation = m_accumulation2Buffer.data;
    std::fill_n(accumulation, m_count, phVector());
    for (const phParticleContact& contact : m_contacts) {
        if ((contact.flags & phTensileParticle) == 0) {
            continue;
        }
        const float w = contact.weight;
        const phVector weightedNormal = ((1.0f - w) * w) * contact.normal;
        accumulation[contact.indexA] -= weightedNormal;
        accumulation[contact.indexB] += weightedNormal;
    }
    const float criticalVelocity = GetCriticalVelocity(step);
    const float pressureStrength = m_def.surfaceTensionPressureStrength * criticalVelocity;
    const float normalStrength = m_def.surfaceTensionNormalStrength * criticalVelocity;
    const float maxVelocityVariation = 0.5f * criticalVelocity;
    for (const phParticleContact& contact : m_contacts) {
        if ((contact.flags & phTensileParticle) == 0) {
            continue;
        }
        const int32_t a = contact.indexA;
        const int32_t b = contact.indexB;
        const float h = m_weightBuffer[a] + m_weightBuffer[b];
        const phVector s = accumulation[b] - accumulation[a];
        const float fn = std::min(pressureStrength * (h - 2.0f) + normalStrength * phDot(s, contact.normal),
                                  maxVelocityVariation) *
                         contact.weight;
        const phVector f = fn * contact.normal;
        m_velocityBuffer[a] -= f;
        m_velocityBuffer[b] += f;
    }
}

void phParticleSystem::SolveSolid(const phTimeStep& step)
{
    const float ejectionStrength = step.inv_dt * m_def.ejectionStrength;
    const float* const depth = RequestBuffer(m_depthBuffer);
    for (const phParticleContact& contact : m_contacts) {
        const int32_t a = contact.indexA;
        const int32_t b = contact.indexB;
        if (m_groupBuffer[a] == m_groupBuffer[b]) {
            continue;
        }
        const phVector f = (ejectionStrength * (depth[a] + depth[b]) * contact.weight) * contact.normal;
        m_velocityBuffer[a] -= f;
        m_velocityBuffer[b] += f;
    }
}

void phParticleSystem::SolveColorMixing()
{
    const float strength = m_def.colorMixingStrength;
    const int32_t k = strength > 0.0f ? static_cast<int32_t>(std::min(strength, 2.0f) * 128.0f) : 0;
    phParticleColor* const colors = RequestBuffer(m_colorBuffer);
    auto mix = [k](uint8_t& own, uint8_t& other) {
        const int32_t d = (k * (static_cast<int32_t>(other) - static_cast<int32_t>(own))) >> 8;
        own = static_cast<uint8_t>(own + d);
        other = static_cast<uint8_t>(other - d);
    };
    for (const phParticleContact& contact : m_contacts) {
        const int32_t a = contact.indexA;
        const int32_t b = contact.indexB;
        if ((m_flagsBuffer[a] & m_flagsBuffer[b] & phColorMixingParticle) == 0) {
            continue;
        }
        mix(colors[a].r, colors[b].r);
        mix(colors[a].g, colors[b].g);
        mix(colors[a].b, colors[b].b);
        mix(colors[a].a, colors[b].a);
    }
}

void phParticleSystem::SolveGravity(const phTimeStep& step)
{
    const phVector gravity = (step.dt * m_def.gravityScale) * m_world->GetGravity();
    for (int32_t i = 0; i < m_count; ++i) {
        m_velocityBuffer[i] += gravity;
    }
}

void phParticleSystem::SolveStaticPressure(const phTimeStep& step)
{
    float* const staticPressure = RequestBuffer(m_staticPressureBuffer);
    float* const accumulation = m_accumulationBuffer.data;
    const float criticalPressure = GetCriticalPressure(step);
    const float pressurePerWeight = m_def.staticPressureStrength * criticalPressure;
    const float maxPressure = 0.25f * criticalPressure;
    const float relaxation = m_def.staticPressureRelaxation;
    for (int32_t t = 0; t < m_def.staticPressureIterations; ++t) {
        std::fill_n(accumulation, m_count, 0.0f);
        for (const phParticleContact& contact : m_contacts) {
            if ((contact.flags & phStaticPressureParticle) != 0) {
                accumulation[contact.indexA] += contact.weight * staticPressure[contact.indexB];
                accumulation[contact.indexB] += contact.weight * staticPressure[contact.indexA];
            }
        }
        for (int32_t i = 0; i < m_count; ++i) {
            const float w = m_weightBuffer[i];
            if ((m_flagsBuffer[i] & phStaticPressureParticle) != 0) {
                const float h = (accumulation[i] + pressurePerWeight * (w - 1.0f)) / (w + relaxation);
                staticPressure[i] = phClamp(h, 0.0f, maxPressure);
            } else {
                staticPressure[i] = 0.0f;
            }
        }
    }
}

void phParticleSystem::SolvePressure(const phTimeStep& step)
{
    const float criticalPressure = GetCriticalPressure(step);
    const float pressurePerWeight = m_def.pressureStrength * criticalPressure;
    const float maxPressure = 0.25f * criticalPressure;
    float* const accumulation = m_accumulationBuffer.data;
    for (int32_t i = 0; i < m_count; ++i) {
        const float w = m_weightBuffer[i];
        accumulation[i] = std::min(pressurePerWeight * std::max(0.0f, w - 1.0f), maxPressure);
    }
    constexpr uint32_t noPressureFlags = phPowderParticle | phTensileParticle;
    if ((m_allParticleFlags & noPressureFlags) != 0) {
        for (int32_t i = 0; i < m_count; ++i) {
            if ((m_flagsBuffer[i] & noPressureFlags) != 0) {
                accumulation[i] = 0.0f;
            }
        }
    }
    if (m_staticPressureBuffer.data != nullptr && (m_allParticleFlags & phStaticPressureParticle) != 0) {
        for (int32_t i = 0; i < m_count; ++i) {
            if ((m_flagsBuffer[i] & phStaticPressureParticle) != 0) {
                accumulation[i] += m_staticPressureBuffer[i];
            }
        }
    }
    const float velocityPerPressure = step.dt / (m_def.density * m_particleDiameter);
    const float invMass = GetParticleInvMass();
    for (const phParticleBodyContact& contact : m_bodyContacts) {
        const int32_t a = contact.index;
        const phVector p = m_positionBuffer[a];
        const float h = accumulation[a] + pressurePerWeight * contact.weight;
        const phVector f = (velocityPerPressure * contact.weight * contact.mass * h) * contact.normal;
        m_velocityBuffer[a] -= invMass * f;
        contact.body->ApplyLinearImpulse(f, p);
    }
    for (const phParticleContact& contact : m_contacts) {
        const int32_t a = contact.indexA;
        const int32_t b = contact.indexB;
        const float h = accumulation[a] + accumulation[b];
        const phVector f = (velocityPerPressure * contact.weight * h) * contact.normal;
        m_velocityBuffer[a] -= f;
        m_velocityBuffer[b] += f;
    }
}

void phParticleSystem::SolveDamping(const phTimeStep& step)
{
    const float linearDamping = m_def.dampingStrength;
    const float quadraticDamping = 1.0f / GetCriticalVelocity(step);
    const float invMass = GetParticleInvMass();
    auto dampingOf = [&](float weight, float vn) {
        return std::max(linearDamping * weight, std::min(-quadraticDamping * vn, 0.5f));
    };
    for (const phParticleBodyContact& contact : m_bodyContacts) {
        const int32_t a = contact.index;
        const phVector p = m_positionBuffer[a];
        const float vn = phDot(VelocityAt(contact.body, p) - m_velocityBuffer[a], contact.normal);
        if (vn < 0.0f) {
            const phVector f = (dampingOf(contact.weight, vn) * contact.mass * vn) * contact.normal;
            m_velocityBuffer[a] += invMass * f;
            contact.body->ApplyLinearImpulse(-f, p);
        }
    }
    for (const phParticleContact& contact : m_contacts) {
        const int32_t a = contact.indexA;
        const int32_t b = contact.indexB;
        // Only approaching pairs are damped; a separating pair gets a zero
        // change, without a branch that about half the contacts would mispredict.
        const float vn = std::min(phDot(m_velocityBuffer[b] - m_velocityBuffer[a], contact.normal), 0.0f);
        const phVector f = (dampingOf(contact.weight, vn) * vn) * contact.normal;
        m_velocityBuffer[a] += f;
        m_velocityBuffer[b] -= f;
    }
}

void phParticleSystem::SolveExtraDamping()
{
    const float invMass = GetParticleInvMass();
    for (const phParticleBodyContact& contact : m_bodyContacts) {
        const int32_t a = contact.index;
        if ((m_flagsBuffer[a] & phStaticPressureParticle) == 0) {
            continue;
        }
        const phVector p = m_positionBuffer[a];
        const float vn = phDot(VelocityAt(contact.body, p) - m_velocityBuffer[a], contact.normal);
        if (vn < 0.0f) {
            const phVector f = (0.5f * contact.mass * vn) * contact.normal;
            m_velocityBuffer[a] += invMass * f;
            contact.body->ApplyLinearImpulse(-f, p);
        }
    }
}

void phParticleSystem::SolveElastic(const phTimeStep& step)
{
    const float elasticStrength = step.inv_dt * m_def.elasticStrength;
    for (const phParticleTriad& triad : m_triads) {
        if ((triad.flags & phElasticParticle) == 0) {
            continue;
        }
        const int32_t a = triad.indexA;
        const int32_t b = triad.indexB;
        const int32_t c = triad.indexC;
        phVector pa = m_positionBuffer[a] + step.dt * m_velocityBuffer[a];
        phVector pb = m_positionBuffer[b] + step.dt * m_velocityBuffer[b];
        phVector pc = m_positionBuffer[c] + step.dt * m_velocityBuffer[c];
        const phVector mid = (1.0f / 3.0f) * (pa + pb + pc);
        pa -= mid;
        pb -= mid;
        pc -= mid;
        phRotation r;
        r.s = phCross(triad.pa, pa) + phCross(triad.pb, pb) + phCross(triad.pc, pc);
        r.c = phDot(triad.pa, pa) + phDot(triad.pb, pb) + phDot(triad.pc, pc);
        const float invR = phInvSqrt(r.s * r.s + r.c * r.c);
        r.s *= invR;
        r.c *= invR;
        const float strength = elasticStrength * triad.strength;
        m_velocityBuffer[a] += strength * (phMul(r, triad.pa) - pa);
        m_velocityBuffer[b] += strength * (phMul(r, triad.pb) - pb);
        m_velocityBuffer[c] += strength * (phMul(r, triad.pc) - pc);
    }
}

void phParticleSystem::SolveSpring(const phTimeStep& step)
{
    const float springStrength = step.inv_dt * m_def.springStrength;
    for (const phParticlePair& pair : m_pairs) {
        if ((pair.flags & phSpringParticle) == 0) {
            continue;
        }
        const int32_t a = pair.indexA;
        const int32_t b = pair.indexB;
        const phVector pa = m_positionBuffer[a] + step.dt * m_velocityBuffer[a];
        const phVector pb = m_positionBuffer[b] + step.dt * m_velocityBuffer[b];
        const phVector d = pb - pa;
        const float r1 = d.Length();
        if (!(r1 > 0.0f)) {
            continue; // coincident particles: no direction to push along
        }
        const phVector f = (springStrength * pair.strength * (pair.distance - r1) / r1) * d;
        m_velocityBuffer[a] -= f;
        m_velocityBuffer[b] += f;
    }
}

void phParticleSystem::LimitVelocity(const phTimeStep& step)
{
    const float criticalVelocitySquared = GetCriticalVelocitySquared(step);
    for (int32_t i = 0; i < m_count; ++i) {
        phVector& v = m_velocityBuffer[i];
        const float v2 = phDot(v, v);
        if (v2 > criticalVelocitySquared) {
            v *= std::sqrt(criticalVelocitySquared / v2);
        }
    }
}

phVector phParticleSystem::GetLinearVelocity(const phParticleGroup* group, int32_t index,
                                             const phVector& point) const
{
    if (IsRigidGroup(group)) {
        group->UpdateStatistics();
        return group->GetLinearVelocityFromWorldPoint(point);
    }
    return m_velocityBuffer[index];
}

void phParticleSystem::InitDampingParameter(float* invMass, float* invInertia, float* tangentDistance,
                                            bool isRigidGroup, const phParticleGroup* group,
                                            const phVector& point, const phVector& normal) const
{
    // A free particle: its own inverse mass, no rotation.
    *invMass = GetParticleInvMass();
    *invInertia = 0.0f;
    *tangentDistance = 0.0f;
    if (isRigidGroup) {
        group->UpdateStatistics();
        *invMass = InverseOrZero(group->m_mass);
        *invInertia = InverseOrZero(group->m_inertia);
        *tangentDistance = phCross(point - group->m_center, normal);
    }
}

void phParticleSystem::InitDampingParameterWithRigidGroupOrParticle(float* invMass, float* invInertia,
                                                                    float* tangentDistance, bool isRigidGroup,
                                                                    const phParticleGroup* group,
                                                                    int32_t index, const phVector& point,
                                                                    const phVector& normal) const
{
    InitDampingParameter(invMass, invInertia, tangentDistance, isRigidGroup, group, point, normal);
    if (!isRigidGroup && (m_flagsBuffer[index] & phWallParticle) != 0) {
        *invMass = 0.0f;
    }
}

float phParticleSystem::ComputeDampingImpulse(float invMassA, float invInertiaA, float tangentDistanceA,
                                              float invMassB, float invInertiaB, float tangentDistanceB,
                                              float normalVelocity) const
{
    const float invMass = invMassA + invInertiaA * tangentDistanceA * tangentDistanceA + invMassB +
                          invInertiaB * tangentDistanceB * tangentDistanceB;
    return invMass > 0.0f ? normalVelocity / invMass : 0.0f;
}

void phParticleSystem::ApplyDamping(float invMass, float invInertia, float tangentDistance, bool isRigidGroup,
                                    phParticleGroup* group, int32_t index, float impulse,
                                    const phVector& normal)
{
    if (isRigidGroup) {
        group->m_linearVelocity += (impulse * invMass) * normal;
        group->m_angularVelocity += impulse * tangentDistance * invInertia;
    } else {
        m_velocityBuffer[index] += (impulse * invMass) * normal;
    }
}

void phParticleSystem::SolveRigidDamping()
{
    const float damping = m_def.dampingStrength;
    for (const phParticleBodyContact& contact : m_bodyContacts) {
        const int32_t a = contact.index;
        phParticleGroup* const group = m_groupBuffer[a];
        if (!IsRigidGroup(group)) {
            continue;
        }
        const phBody* const body = contact.body;
        const phVector p = m_positionBuffer[a];
        const phVector& n = contact.normal;
        const float vn = phDot(VelocityAt(body, p) - GetLinearVelocity(group, a, p), n);
        if (vn >= 0.0f) {
            continue;
        }
        float invMassA = 0.0f;
        float invInertiaA = 0.0f;
        float tangentDistanceA = 0.0f;
        InitDampingParameterWithRigidGroupOrParticle(&invMassA, &invInertiaA, &tangentDistanceA, true, group,
                                                     a, p, n);
        const float invMassB = body->GetInverseMass();
        const float invInertiaB = InverseOrZero(body->GetInertia());
        const float tangentDistanceB = phCross(p - body->GetWorldCenter(), n);
        const float f = damping * std::min(contact.weight, 1.0f) *
                        ComputeDampingImpulse(invMassA, invInertiaA, tangentDistanceA, invMassB, invInertiaB,
                                              tangentDistanceB, vn);
        ApplyDamping(invMassA, invInertiaA, tangentDistanceA, true, group, a, f, n);
        contact.body->ApplyLinearImpulse(-f * n, p);
    }
    for (const phParticleContact& contact : m_contacts) {
        const int32_t a = contact.indexA;
        const int32_t b = contact.indexB;
        phParticleGroup* const groupA = m_groupBuffer[a];
        phParticleGroup* const groupB = m_groupBuffer[b];
        const bool rigidA = IsRigidGroup(groupA);
        const bool rigidB = IsRigidGroup(groupB);
        if (groupA == groupB || !(rigidA || rigidB)) {
            continue;
        }
        const phVector p = 0.5f * (m_positionBuffer[a] + m_positionBuffer[b]);
        const phVector& n = contact.normal;
        const float vn = phDot(GetLinearVelocity(groupB, b, p) - GetLinearVelocity(groupA, a, p), n);
        if (vn >= 0.0f) {
            continue;
        }
        float invMassA = 0.0f;
        float invInertiaA = 0.0f;
        float tangentDistanceA = 0.0f;
        float invMassB = 0.0f;
        float invInertiaB = 0.0f;
        float tangentDistanceB = 0.0f;
        InitDampingParameterWithRigidGroupOrParticle(&invMassA, &invInertiaA, &tangentDistanceA, rigidA,
                                                     groupA, a, p, n);
        InitDampingParameterWithRigidGroupOrParticle(&invMassB, &invInertiaB, &tangentDistanceB, rigidB,
                                                     groupB, b, p, n);
        const float f = damping * contact.weight *
                        ComputeDampingImpulse(invMassA, invInertiaA, tangentDistanceA, invMassB, invInertiaB,
                                              tangentDistanceB, vn);
        ApplyDamping(invMassA, invInertiaA, tangentDistanceA, rigidA, groupA, a, f, n);
        ApplyDamping(invMassB, invInertiaB, tangentDistanceB, rigidB, groupB, b, -f, n);
    }
}

void phParticleSystem::SolveRigid(const phTimeStep& step)
{
    for (phParticleGroup* group = m_groupList; group != nullptr; group = group->m_next) {
        if ((group->m_groupFlags & phRigidParticleGroup) == 0) {
            continue;
        }
        group->UpdateStatistics();
        const phRotation rotation(step.dt * group->m_angularVelocity);
        const phTransform motion(
            step.dt * group->m_linearVelocity + group->m_center - phMul(rotation, group->m_center), rotation);
        group->m_transform = Compose(motion, group->m_transform);
        for (int32_t i = group->m_firstIndex; i < group->m_lastIndex; ++i) {
            m_velocityBuffer[i] = step.inv_dt * (phMul(motion, m_positionBuffer[i]) - m_positionBuffer[i]);
        }
    }
}

void phParticleSystem::SolveWall()
{
    for (int32_t i = 0; i < m_count; ++i) {
        if ((m_flagsBuffer[i] & phWallParticle) != 0) {
            m_velocityBuffer[i].SetZero();
        }
    }
}

void phParticleSystem::SolvePosition(const phTimeStep& step)
{
    for (int32_t i = 0; i < m_count; ++i) {
        m_positionBuffer[i] += step.dt * m_velocityBuffer[i];
    }
}
