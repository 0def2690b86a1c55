// Pairs and triads: the connections that springs, barriers and elastic groups
// keep between particles, made from the contacts and a Voronoi diagram.
#include "physics/dynamics/world.h"
#include "physics/particles/particle_system.h"
#include "physics/particles/voronoi_diagram.h"

#include <algorithm>

// Turns the diagram's nodes into triads.
class phParticleSystem::UpdateTriadsCallback final : public phVoronoiDiagram::NodeCallback
{
public:
    UpdateTriadsCallback(phParticleSystem* system, const ConnectionFilter& filter)
        : m_system(system), m_filter(filter)
    {
    }
    void operator()(int32_t a, int32_t b, int32_t c) override { m_system->AddTriad(a, b, c, m_filter); }

private:
    phParticleSystem* m_system;
    const ConnectionFilter& m_filter;
};

bool phParticleSystem::CanConnect(int32_t index) const
{
    return (m_flagsBuffer[index] & (phWallParticle | phSpringParticle | phElasticParticle)) != 0 ||
           IsRigidGroup(m_groupBuffer[index]);
}

void phParticleSystem::UpdatePairsAndTriads(int32_t firstIndex, int32_t lastIndex,
                                            const ConnectionFilter& filter)
{
    uint32_t flags = 0;
    for (int32_t i = firstIndex; i < lastIndex; ++i) {
        flags |= m_flagsBuffer[i];
    }
    if ((flags & (phSpringParticle | phBarrierParticle)) != 0) {
        UpdatePairs(firstIndex, lastIndex, filter);
    }
    if ((flags & phElasticParticle) != 0) {
        UpdateTriads(firstIndex, lastIndex, filter);
    }
}

namespace {

// Every side of a triad is at most two diameters long.
constexpr float maxTriadDistanceSquared = 4.0f;

float StrengthOf(const phParticleGroup* group)
{
    return group != nullptr ? group->GetStrength() : 1.0f;
}

} // namespace

void phParticleSystem::UpdatePairs(int32_t firstIndex, int32_t lastIndex, const ConnectionFilter& filter)
{
    for (const phParticleContact& contact : m_contacts) {
        const int32_t a = contact.indexA;
        const int32_t b = contact.indexB;
        if (a < firstIndex || a >= lastIndex || b < firstIndex || b >= lastIndex) {
            continue;
        }
        const uint32_t flags = m_flagsBuffer[a] | m_flagsBuffer[b];
        if ((flags & phZombieParticle) != 0 || (flags & (phSpringParticle | phBarrierParticle)) == 0 ||
            !(filter.IsNecessary(a) || filter.IsNecessary(b)) || !CanConnect(a) || !CanConnect(b) ||
            !filter.ShouldCreatePair(a, b)) {
            continue;
        }
        phParticlePair& pair = m_pairs.Append();
        pair.indexA = a;
        pair.indexB = b;
        pair.flags = contact.flags;
        pair.strength = std::min(StrengthOf(m_groupBuffer[a]), StrengthOf(m_groupBuffer[b]));
        pair.distance = phDistance(m_positionBuffer[a], m_positionBuffer[b]);
    }
    m_pairs.SortUnique(
        [](const phParticlePair& p, const phParticlePair& q) {
            return p.indexA != q.indexA ? p.indexA < q.indexA : p.indexB < q.indexB;
        },
        [](const phParticlePair& p, const phParticlePair& q) {
            return p.indexA == q.indexA && p.indexB == q.indexB;
        });
}

void phParticleSystem::UpdateTriads(int32_t firstIndex, int32_t lastIndex, const ConnectionFilter& filter)
{
    {
        phVoronoiDiagram diagram(&m_world->m_stackAllocator, lastIndex - firstIndex);
        for (int32_t i = firstIndex; i < lastIndex; ++i) {
            if ((m_flagsBuffer[i] & phZombieParticle) == 0 && CanConnect(i)) {
                diagram.AddGenerator(m_positionBuffer[i], i, filter.IsNecessary(i));
            }
        }
        const float stride = GetParticleStride();
        diagram.Generate(0.5f * stride, 2.0f * stride);
        UpdateTriadsCallback callback(this, filter);
        diagram.GetNodes(callback);
    }
    m_triads.SortUnique(
        [](const phParticleTriad& p, const phParticleTriad& q) {
            if (p.indexA != q.indexA) {
                return p.indexA < q.indexA;
            }
            return p.indexB != q.indexB ? p.indexB < q.indexB : p.indexC < q.indexC;
        },
        [](const phParticleTriad& p, const phParticleTriad& q) {
            return p.indexA == q.indexA && p.indexB == q.indexB && p.indexC == q.indexC;
        });
}

void phParticleSystem::AddTriad(int32_t a, int32_t b, int32_t c, const ConnectionFilter& filter)
{
    const uint32_t flags = m_flagsBuffer[a] | m_flagsBuffer[b] | m_flagsBuffer[c];
    if ((flags & phElasticParticle) == 0 || !filter.ShouldCreateTriad(a, b, c)) {
        return;
    }
    const phVector pa = m_positionBuffer[a];
    const phVector pb = m_positionBuffer[b];
    const phVector pc = m_positionBuffer[c];
    const phVector dab = pa - pb;
    const phVector dbc = pb - pc;
    const phVector dca = pc - pa;
    const float maxDistanceSquared = maxTriadDistanceSquared * m_squaredDiameter;
    if (phDot(dab, dab) > maxDistanceSquared || phDot(dbc, dbc) > maxDistanceSquared ||
        phDot(dca, dca) > maxDistanceSquared) {
        return;
    }
    const phVector mid = (1.0f / 3.0f) * (pa + pb + pc);
    phParticleTriad& triad = m_triads.Append();
    triad.indexA = a;
    triad.indexB = b;
    triad.indexC = c;
    triad.flags = flags;
    triad.strength =
        std::min({StrengthOf(m_groupBuffer[a]), StrengthOf(m_groupBuffer[b]), StrengthOf(m_groupBuffer[c])});
    triad.pa = pa - mid;
    triad.pb = pb - mid;
    triad.pc = pc - mid;
    triad.ka = -phDot(dca, dab);
    triad.kb = -phDot(dab, dbc);
    triad.kc = -phDot(dbc, dca);
    triad.s = phCross(pa, pb) + phCross(pb, pc) + phCross(pc, pa);
}
