// The spatial side of the particle solver: grid tags over the particle
// positions, particle contacts, contacts with fixtures found through the world's
// box query, continuous collision with fixtures and the barrier test.
#include "physics/collision/shape.h"
#include "physics/dynamics/body.h"
#include "physics/dynamics/callbacks.h"
#include "physics/dynamics/world.h"
#include "physics/particles/particle_system.h"

#include <algorithm>
#include <cmath>
#include <compare>
#include <cstdint>
#include <optional>

namespace {

// Row 0..4095 and column 0..2^20-1 of a tag; the conversion is clamped first so
// that far-away or non-finite coordinates stay defined.
uint32_t ClampToUnsigned(float value, float high)
{
    if (!(value >= 0.0f)) {
        return 0;
    }
    return value >= high ? static_cast<uint32_t>(high) : static_cast<uint32_t>(value);
}

constexpr uint64_t rightTagOffset = 256;            // one cell to the right
constexpr uint64_t bottomLeftTagOffset = 0xFFF00;   // one row down, one cell left
constexpr uint64_t bottomRightTagOffset = 0x100100; // one row down, one cell right
constexpr uint32_t columnMask = 0xFFFFF;

bool LessByTag(const auto& a, const auto& b)
{
    return a.tag < b.tag;
}

// The listened contacts of the previous update, so that the listener hears of
// the contacts that began and of those that ended. Scratch memory of the step.
template <typename Key> class RememberedContacts
{
public:
    RememberedContacts(phStackAllocator* stack, int32_t capacity)
        : m_stack(stack),
          m_entries(static_cast<Entry*>(stack->Allocate(phByteSize<Entry>(std::max(1, capacity)))))
    {
    }
    RememberedContacts(const RememberedContacts&) = delete;
    RememberedContacts& operator=(const RememberedContacts&) = delete;
    ~RememberedContacts() { m_stack->Free(m_entries); }

    void Add(const Key& key) { m_entries[m_count++] = {key, true}; }
    // Call once every previous contact is added.
    void Sort() { std::sort(m_entries, m_entries + m_count, Less); }
    // Whether the contact existed before; it is then no longer ending.
    bool Match(const Key& key)
    {
        Entry* const found = std::lower_bound(m_entries, m_entries + m_count, Entry{key, false}, Less);
        if (found == m_entries + m_count || found->key != key) {
            return false;
        }
        found->ending = false;
        return true;
    }
    template <typename Visitor> void ForEachEnded(Visitor&& visit) const
    {
        for (int32_t i = 0; i < m_count; ++i) {
            if (m_entries[i].ending) {
                visit(m_entries[i].key);
            }
        }
    }

private:
    struct Entry
    {
        Key key;
        bool ending;
    };
    static bool Less(const Entry& a, const Entry& b) { return a.key < b.key; }

    phStackAllocator* m_stack;
    Entry* m_entries;
    int32_t m_count = 0;
};

// A particle pair in either order.
struct ParticlePairKey
{
    int32_t first;
    int32_t second;

    explicit ParticlePairKey(const phParticleContact& contact)
        : first(std::min(contact.indexA, contact.indexB)), second(std::max(contact.indexA, contact.indexB))
    {
    }
    auto operator<=>(const ParticlePairKey&) const = default;
};

struct FixtureParticleKey
{
    uintptr_t fixture; // an address, for a total order
    int32_t index;

    explicit FixtureParticleKey(const phParticleBodyContact& contact)
        : fixture(reinterpret_cast<uintptr_t>(contact.fixture)), index(contact.index)
    {
    }
    auto operator<=>(const FixtureParticleKey&) const = default;
};

} // namespace

// Hands every (fixture child, particle inside the child's box) pair of a box
// query to Derived::ReportFixtureAndParticle. Sensors are skipped and the
// particles of the world's systems are not reported themselves.
template <typename Derived> class phFixtureParticleQueryCallback : public phQueryCallback
{
public:
    explicit phFixtureParticleQueryCallback(phParticleSystem* system) : m_system(system) {}

    bool ShouldQueryParticleSystem(const phParticleSystem*) override { return false; }
    bool ReportFixture(phFixture* fixture) override
    {
        if (fixture->IsSensor()) {
            return true;
        }
        const phShape* const shape = fixture->GetShape();
        const phTransform& xf = fixture->GetBody()->GetTransform();
        for (int32_t child = 0; child < shape->GetChildCount(); ++child) {
            phBounds box;
            shape->ComputeBounds(&box, xf, child);
            m_system->ForEachInside(box, [&](int32_t index) {
                static_cast<Derived*>(this)->ReportFixtureAndParticle(fixture, child, index);
                return true;
            });
        }
        return true;
    }

protected:
    phParticleSystem* m_system;
};

class phUpdateBodyContactsCallback final : public phFixtureParticleQueryCallback<phUpdateBodyContactsCallback>
{
public:
    using phFixtureParticleQueryCallback::phFixtureParticleQueryCallback;
    void ReportFixtureAndParticle(phFixture* fixture, int32_t childIndex, int32_t index)
    {
        m_system->AddBodyContact(fixture, childIndex, index);
    }
};

class phSolveCollisionCallback final : public phFixtureParticleQueryCallback<phSolveCollisionCallback>
{
public:
    phSolveCollisionCallback(phParticleSystem* system, const phTimeStep& step)
        : phFixtureParticleQueryCallback(system), m_step(step)
    {
    }
    void ReportFixtureAndParticle(phFixture* fixture, int32_t childIndex, int32_t index)
    {
        m_system->CollideWithFixture(m_step, fixture, childIndex, index);
    }

private:
    const phTimeStep& m_step;
};

uint32_t phParticleSystem::ComputeTag(float x, float y)
{
    const uint32_t row = ClampToUnsigned(y + 2048.0f, 4095.0f);
    const uint32_t column = ClampToUnsigned(256.0f * x + 524288.0f, static_cast<float>(columnMask));
    return (row << 20) + column;
}

phParticleSystem::BoxRange phParticleSystem::GetInsideBoundsRange(const phBounds& box) const
{
    const uint32_t lowerTag =
        ComputeTag(m_inverseDiameter * box.lower.x - 1.0f, m_inverseDiameter * box.lower.y - 1.0f);
    const uint32_t upperTag =
        ComputeTag(m_inverseDiameter * box.upper.x + 1.0f, m_inverseDiameter * box.upper.y + 1.0f);
    const Proxy lower{0, lowerTag};
    const Proxy upper{0, upperTag};
    const Proxy* const first =
        std::lower_bound(m_proxies.begin(), m_proxies.end(), lower, LessByTag<Proxy, Proxy>);
    const Proxy* const last = std::upper_bound(first, m_proxies.end(), upper, LessByTag<Proxy, Proxy>);
    return {first, last, lowerTag & columnMask, upperTag & columnMask};
}

template <typename Callback>
void phParticleSystem::ForEachInside(const phBounds& box, Callback&& callback) const
{
    const BoxRange range = GetInsideBoundsRange(box);
    for (const Proxy* proxy = range.first; proxy < range.last; ++proxy) {
        const uint32_t column = proxy->tag & columnMask;
        if (range.xLower <= column && column <= range.xUpper && !callback(proxy->index)) {
            return;
        }
    }
}

void phParticleSystem::QueryAABB(phQueryCallback* callback, const phBounds& box) const
{
    ForEachInside(box, [&](int32_t index) {
        const phVector& p = m_positionBuffer[index];
        const bool inside =
            box.lower.x <= p.x && p.x <= box.upper.x && box.lower.y <= p.y && p.y <= box.upper.y;
        return !inside || callback->ReportParticle(this, index);
    });
}

void phParticleSystem::UpdateContacts()
{
    for (Proxy& proxy : m_proxies) {
        const phVector& p = m_positionBuffer[proxy.index];
        proxy.tag = ComputeTag(m_inverseDiameter * p.x, m_inverseDiameter * p.y);
    }
    std::sort(m_proxies.begin(), m_proxies.end(), LessByTag<Proxy, Proxy>);

    phContactListener* const listener = m_world->m_contactManager.m_contactListener;
    std::optional<RememberedContacts<ParticlePairKey>> remembered;
    if ((m_allParticleFlags & phParticleContactListenerParticle) != 0 && listener != nullptr) {
        remembered.emplace(&m_world->m_stackAllocator, m_contacts.GetCount());
        for (const phParticleContact& contact : m_contacts) {
            if ((contact.flags & phParticleContactListenerParticle) != 0) {
                remembered->Add(ParticlePairKey(contact));
            }
        }
        remembered->Sort();
    }

    FindContacts();
    FilterContacts();

    if (remembered) {
        for (phParticleContact& contact : m_contacts) {
            if ((contact.flags & phParticleContactListenerParticle) != 0 &&
                !remembered->Match(ParticlePairKey(contact))) {
                listener->BeginContact(this, &contact);
            }
        }
        remembered->ForEachEnded(
            [&](const ParticlePairKey& key) { listener->EndContact(this, key.first, key.second); });
    }
}

void phParticleSystem::FindContacts()
{
    m_contacts.Clear();
    const Proxy* const begin = m_proxies.begin();
    const Proxy* const end = m_proxies.end();
    const Proxy* nextRow = begin; // moves only forward
    for (const Proxy* a = begin; a < end; ++a) {
        const uint64_t tag = a->tag;
        for (const Proxy* b = a + 1; b < end && b->tag <= tag + rightTagOffset; ++b) {
            AddContact(a->index, b->index);
        }
        while (nextRow < end && nextRow->tag < tag + bottomLeftTagOffset) {
            ++nextRow;
        }
        for (const Proxy* b = nextRow; b < end && b->tag <= tag + bottomRightTagOffset; ++b) {
            AddContact(a->index, b->index);
        }
    }
}

void phParticleSystem::AddContact(int32_t a, int32_t b)
{
    const phVector d = m_positionBuffer[b] - m_positionBuffer[a];
    const float distanceSquared = phDot(d, d);
    if (!(distanceSquared < m_squaredDiameter)) {
        return;
    }
    // Coincident particles get weight 1 and a zero normal.
    const float invDistance = phInvSqrt(distanceSquared);
    phParticleContact& contact = m_contacts.Append();
    contact.indexA = a;
    contact.indexB = b;
    contact.flags = m_flagsBuffer[a] | m_flagsBuffer[b];
    contact.weight = 1.0f - distanceSquared * invDistance * m_inverseDiameter;
    contact.normal = invDistance * d;
}

void phParticleSystem::FilterContacts()
{
    phContactFilter* const filter = m_world->m_contactManager.m_contactFilter;
    if ((m_allParticleFlags & phParticleContactFilterParticle) == 0 || filter == nullptr) {
        return;
    }
    m_contacts.RemoveIf([&](const phParticleContact& contact) {
        return (contact.flags & phParticleContactFilterParticle) != 0 &&
               !filter->ShouldCollide(this, contact.indexA, contact.indexB);
    });
}

phBounds phParticleSystem::ComputeParticleBounds(bool withMotion, float dt) const
{
    phBounds box;
    box.lower = {phMaxFloat, phMaxFloat};
    box.upper = {-phMaxFloat, -phMaxFloat};
    for (int32_t i = 0; i < m_count; ++i) {
        const phVector& p = m_positionBuffer[i];
        box.lower = phMin(box.lower, p);
        box.upper = phMax(box.upper, p);
        if (withMotion) {
            const phVector p2 = p + dt * m_velocityBuffer[i];
            box.lower = phMin(box.lower, p2);
            box.upper = phMax(box.upper, p2);
        }
    }
    return box;
}

void phParticleSystem::UpdateBodyContacts()
{
    if (m_stuckThreshold > 0) {
        for (int32_t i = 0; i < m_count; ++i) {
            m_bodyContactCountBuffer[i] = 0;
            if (m_timestamp > m_lastBodyContactStepBuffer[i] + 1) {
                m_consecutiveContactStepsBuffer[i] = 0;
            }
        }
    }
    phContactListener* const listener = m_world->m_contactManager.m_contactListener;
    std::optional<RememberedContacts<FixtureParticleKey>> remembered;
    if ((m_allParticleFlags & phFixtureContactListenerParticle) != 0 && listener != nullptr) {
        remembered.emplace(&m_world->m_stackAllocator, m_bodyContacts.GetCount());
        for (const phParticleBodyContact& contact : m_bodyContacts) {
            if ((m_flagsBuffer[contact.index] & phFixtureContactListenerParticle) != 0) {
                remembered->Add(FixtureParticleKey(contact));
            }
        }
        remembered->Sort();
    }
    m_bodyContacts.Clear();
    m_stuckParticles.Clear();

    phBounds box = ComputeParticleBounds(false, 0.0f);
    const phVector margin(m_particleDiameter, m_particleDiameter);
    box.lower -= margin;
    box.upper += margin;
    phUpdateBodyContactsCallback callback(this);
    m_world->QueryAABB(&callback, box);

    if (m_def.strictContactCheck) {
        FilterBodyContactsStrictly();
    }
    if (remembered) {
        for (phParticleBodyContact& contact : m_bodyContacts) {
            if ((m_flagsBuffer[contact.index] & phFixtureContactListenerParticle) != 0 &&
                !remembered->Match(FixtureParticleKey(contact))) {
                listener->BeginContact(this, &contact);
            }
        }
        remembered->ForEachEnded([&](const FixtureParticleKey& key) {
            listener->EndContact(reinterpret_cast<phFixture*>(key.fixture), this, key.index);
        });
    }
}

void phParticleSystem::AddBodyContact(phFixture* fixture, int32_t childIndex, int32_t index)
{
    phBody* const body = fixture->GetBody();
    const phVector p = m_positionBuffer[index];
    float distance = 0.0f;
    phVector normal;
    fixture->GetShape()->ComputeDistance(body->GetTransform(), p, &distance, &normal, childIndex);
    if (!(distance < m_particleDiameter)) {
        return;
    }
    phContactFilter* const filter = m_world->m_contactManager.m_contactFilter;
    if ((m_flagsBuffer[index] & phFixtureContactFilterParticle) != 0 && filter != nullptr &&
        !filter->ShouldCollide(fixture, this, index)) {
        return;
    }
    const float invParticleMass = (m_flagsBuffer[index] & phWallParticle) != 0 ? 0.0f : GetParticleInvMass();
    const float invBodyMass = body->GetMass() > 0.0f ? 1.0f / body->GetMass() : 0.0f;
    const float invBodyInertia = body->GetInertia() > 0.0f ? 1.0f / body->GetInertia() : 0.0f;
    const float rpn = phCross(p - body->GetWorldCenter(), normal);
    const float invMass = invParticleMass + invBodyMass + invBodyInertia * rpn * rpn;

    phParticleBodyContact& contact = m_bodyContacts.Append();
    contact.index = index;
    contact.body = body;
    contact.fixture = fixture;
    contact.weight = 1.0f - distance * m_inverseDiameter;
    contact.normal = -normal;
    contact.mass = invMass > 0.0f ? 1.0f / invMass : 0.0f;

    if (m_stuckThreshold > 0) {
        if (++m_bodyContactCountBuffer[index] == 2) {
            ++m_consecutiveContactStepsBuffer[index];
            if (m_consecutiveContactStepsBuffer[index] > m_stuckThreshold) {
                m_stuckParticles.Append() = index;
            }
        }
        m_lastBodyContactStepBuffer[index] = m_timestamp;
    }
}

void phParticleSystem::FilterBodyContactsStrictly()
{
    std::sort(m_bodyContacts.begin(), m_bodyContacts.end(),
              [](const phParticleBodyContact& a, const phParticleBodyContact& b) {
                  return a.index != b.index ? a.index < b.index : a.weight > b.weight;
              });
    // A contact stays when the point it claims on the fixture's surface really
    // lies on (or in) the fixture.
    auto isSignificant = [this](const phParticleBodyContact& contact) {
        const phVector p =
            m_positionBuffer[contact.index] + (m_particleDiameter * (1.0f - contact.weight)) * contact.normal;
        if (contact.fixture->TestPoint(p)) {
            return true;
        }
        const phShape* const shape = contact.fixture->GetShape();
        const phTransform& xf = contact.body->GetTransform();
        for (int32_t child = 0; child < shape->GetChildCount(); ++child) {
            float distance = 0.0f;
            phVector normal;
            shape->ComputeDistance(xf, p, &distance, &normal, child);
            if (distance < phLinearSlop) {
                return true;
            }
        }
        return false;
    };
    constexpr int32_t maxContactsPerParticle = 4;
    int32_t kept = 0;
    int32_t runIndex = -1;
    int32_t runLength = 0;
    for (const phParticleBodyContact& contact : m_bodyContacts) {
        runLength = contact.index == runIndex ? runLength + 1 : 1;
        runIndex = contact.index;
        if (runLength <= maxContactsPerParticle && isSignificant(contact)) {
            m_bodyContacts[kept++] = contact;
        }
    }
    m_bodyContacts.Truncate(kept);
}

void phParticleSystem::SolveCollision(const phTimeStep& step)
{
    const phBounds box = ComputeParticleBounds(true, step.dt);
    phSolveCollisionCallback callback(this, step);
    m_world->QueryAABB(&callback, box);
}

void phParticleSystem::CollideWithFixture(const phTimeStep& step, phFixture* fixture, int32_t childIndex,
                                          int32_t index)
{
    phContactFilter* const filter = m_world->m_contactManager.m_contactFilter;
    if ((m_flagsBuffer[index] & phFixtureContactFilterParticle) != 0 && filter != nullptr &&
        !filter->ShouldCollide(fixture, this, index)) {
        return;
    }
    const phBody* const body = fixture->GetBody();
    const phShape* const shape = fixture->GetShape();
    const phVector position = m_positionBuffer[index];
    const phVector velocity = m_velocityBuffer[index];
    phRayQuery ray;
    if (m_iterationIndex == 0) {
        // Where the particle would be had it moved with the body since the
        // body's previous transform: the ray then follows the relative motion.
        phVector local = phMulT(body->m_xf0, position);
        if (shape->GetKind() == phShape::circle) {
            const phVector& center = body->GetLocalCenter();
            local = phMulT(body->m_xf.q, phMul(body->m_xf0.q, local - center)) + center;
            ray.start = phMul(body->m_xf, local);
        } else {
            ray.start = phMul(body->m_xf, local);
        }
    } else {
        ray.start = position;
    }
    ray.end = position + step.dt * velocity;
    ray.maxFraction = 1.0f;
    phRayHit hit;
    if (!shape->RayCast(&hit, ray, body->m_xf, childIndex)) {
        return;
    }
    const phVector p = (1.0f - hit.fraction) * ray.start + hit.fraction * ray.end + phLinearSlop * hit.normal;
    const phVector v = step.inv_dt * (p - position);
    m_velocityBuffer[index] = v;
    ParticleApplyForce(index, (step.inv_dt * GetParticleMass()) * (velocity - v));
}

void phParticleSystem::SolveBarrier(const phTimeStep& step)
{
    for (int32_t i = 0; i < m_count; ++i) {
        if ((m_flagsBuffer[i] & (phWallParticle | phBarrierParticle)) ==
            (phWallParticle | phBarrierParticle)) {
            m_velocityBuffer[i].SetZero();
        }
    }
    const float tmax = 2.5f * step.dt; // a crossing is looked for this far ahead
    const float mass = GetParticleMass();
    for (const phParticlePair& pair : m_pairs) {
        if ((pair.flags & phBarrierParticle) == 0) {
            continue;
        }
        const int32_t a = pair.indexA;
        const int32_t b = pair.indexB;
        const phVector pa = m_positionBuffer[a];
        const phVector pb = m_positionBuffer[b];
        const phBounds box{phMin(pa, pb), phMax(pa, pb)};
        const phParticleGroup* const groupA = m_groupBuffer[a];
        const phParticleGroup* const groupB = m_groupBuffer[b];
        const phVector va = GetLinearVelocity(groupA, a, pa);
        const phVector vb = GetLinearVelocity(groupB, b, pb);
        const phVector pba = pb - pa;
        const phVector vba = vb - va;
        ForEachInside(box, [&](int32_t c) {
            phParticleGroup* const groupC = m_groupBuffer[c];
            if (groupC == groupA || groupC == groupB) {
                return true;
            }
            const phVector pc = m_positionBuffer[c];
            const phVector vc = GetLinearVelocity(groupC, c, pc);
            // (1 - s)(pa + t va) + s (pb + t vb) = pc + t vc: crossing the
            // segment's line gives e2 t^2 + e1 t + e0 = 0, then s along it.
            const phVector pca = pc - pa;
            const phVector vca = vc - va;
            const float e2 = phCross(vba, vca);
            const float e1 = phCross(pba, vca) - phCross(pca, vba);
            const float e0 = phCross(pba, pca);
            float s = 0.0f;
            auto valid = [&](float t) {
                if (!(0.0f <= t && t < tmax)) {
                    return false;
                }
                const phVector qba = pba + t * vba;
                const phVector qca = pca + t * vca;
                const float length2 = phDot(qba, qba);
                if (!(length2 > 0.0f)) {
                    return false;
                }
                s = phDot(qba, qca) / length2;
                return 0.0f <= s && s <= 1.0f;
            };
            bool crossing = false;
            if (e2 == 0.0f) {
                crossing = e1 != 0.0f && valid(-e0 / e1);
            } else {
                const float det = e1 * e1 - 4.0f * e0 * e2;
                if (det >= 0.0f) {
                    const float sqrtDet = std::sqrt(det);
                    float t1 = (-e1 - sqrtDet) / (2.0f * e2);
                    float t2 = (-e1 + sqrtDet) / (2.0f * e2);
                    if (t1 > t2) {
                        std::swap(t1, t2);
                    }
                    crossing = valid(t1) || valid(t2);
                }
            }
            if (!crossing) {
                return true;
            }
            const phVector dv = va + s * vba - vc;
            const phVector f = mass * dv;
            if (IsRigidGroup(groupC)) {
                // The group takes the impulse as a whole.
                const float invMass = groupC->m_mass > 0.0f ? 1.0f / groupC->m_mass : 0.0f;
                const float invInertia = groupC->m_inertia > 0.0f ? 1.0f / groupC->m_inertia : 0.0f;
                groupC->m_linearVelocity += invMass * f;
                groupC->m_angularVelocity += invInertia * phCross(pc - groupC->m_center, f);
            } else {
                m_velocityBuffer[c] += dv;
            }
            // The momentum comes back to c at the next sub-iteration, after it
            // has been held at the barrier.
            ParticleApplyForce(c, -step.inv_dt * f);
            return true;
        });
    }
}
