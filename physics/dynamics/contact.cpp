#include "physics/dynamics/contact.h"

#include "physics/collision/distance.h"
#include "physics/common/block_allocator.h"
#include "physics/dynamics/callbacks.h"

#include <cmath>
#include <new>

float phMixFriction(float friction1, float friction2)
{
    return std::sqrt(friction1 * friction2);
}

float phMixRestitution(float restitution1, float restitution2)
{
    return restitution1 > restitution2 ? restitution1 : restitution2;
}

phContact::phContact(phFixture* fixtureA, int32_t indexA, phFixture* fixtureB, int32_t indexB)
    : m_fixtureA(fixtureA), m_fixtureB(fixtureB), m_indexA(indexA), m_indexB(indexB),
      m_friction(phMixFriction(fixtureA->GetFriction(), fixtureB->GetFriction())),
      m_restitution(phMixRestitution(fixtureA->GetRestitution(), fixtureB->GetRestitution()))
{
}

const phShape* phContact::ShapeA() const
{
    return m_fixtureA->GetShape();
}
const phShape* phContact::ShapeB() const
{
    return m_fixtureB->GetShape();
}

namespace {

class phCircleContact final : public phContact
{
public:
    using phContact::phContact;
    void Evaluate(phLocalManifold* manifold, const phTransform& xfA, const phTransform& xfB) override
    {
        phCollideCircles(manifold, static_cast<const phCircleShape*>(ShapeA()), xfA,
                         static_cast<const phCircleShape*>(ShapeB()), xfB);
    }
};

class phPolygonAndCircleContact final : public phContact
{
public:
    using phContact::phContact;
    void Evaluate(phLocalManifold* manifold, const phTransform& xfA, const phTransform& xfB) override
    {
        phCollidePolygonAndCircle(manifold, static_cast<const phPolygonShape*>(ShapeA()), xfA,
                                  static_cast<const phCircleShape*>(ShapeB()), xfB);
    }
};

class phPolygonContact final : public phContact
{
public:
    using phContact::phContact;
    void Evaluate(phLocalManifold* manifold, const phTransform& xfA, const phTransform& xfB) override
    {
        phCollidePolygons(manifold, static_cast<const phPolygonShape*>(ShapeA()), xfA,
                          static_cast<const phPolygonShape*>(ShapeB()), xfB);
    }
};

class phEdgeAndCircleContact final : public phContact
{
public:
    using phContact::phContact;
    void Evaluate(phLocalManifold* manifold, const phTransform& xfA, const phTransform& xfB) override
    {
        phCollideEdgeAndCircle(manifold, static_cast<const phEdgeShape*>(ShapeA()), xfA,
                               static_cast<const phCircleShape*>(ShapeB()), xfB);
    }
};

class phEdgeAndPolygonContact final : public phContact
{
public:
    using phContact::phContact;
    void Evaluate(phLocalManifold* manifold, const phTransform& xfA, const phTransform& xfB) override
    {
        phCollideEdgeAndPolygon(manifold, static_cast<const phEdgeShape*>(ShapeA()), xfA,
                                static_cast<const phPolygonShape*>(ShapeB()), xfB);
    }
};

using CreateFunction = phContact* (*)(phFixture*, int32_t, phFixture*, int32_t, phBlockAllocator*);
using DestroyFunction = void (*)(phContact*, phBlockAllocator*);

struct phContactKindEntry
{
    CreateFunction create = nullptr;
    DestroyFunction destroy = nullptr;
    bool primary = false;
};

template <typename T>
phContact* CreateKind(phFixture* fixtureA, int32_t indexA, phFixture* fixtureB, int32_t indexB,
                      phBlockAllocator* allocator)
{
    void* const memory = allocator->Allocate(static_cast<int32_t>(sizeof(T)));
    return new (memory) T(fixtureA, indexA, fixtureB, indexB);
}

template <typename T> void DestroyKind(phContact* contact, phBlockAllocator* allocator)
{
    static_cast<T*>(contact)->~T();
    allocator->Free(contact, static_cast<int32_t>(sizeof(T)));
}

// Which contact kind serves each pair of shape kinds; the reverse pair of a
// primary entry uses the same kind with the fixtures exchanged. Pairs without an
// entry (edge against edge) never collide.
struct KindTable
{
    phContactKindEntry entries[phShape::kindCount][phShape::kindCount];

    template <typename T> void Add(phShape::Kind a, phShape::Kind b)
    {
        entries[a][b] = {&CreateKind<T>, &DestroyKind<T>, true};
        if (a != b) {
            entries[b][a] = {&CreateKind<T>, &DestroyKind<T>, false};
        }
    }

    KindTable()
    {
        Add<phCircleContact>(phShape::circle, phShape::circle);
        Add<phPolygonAndCircleContact>(phShape::polygon, phShape::circle);
        Add<phPolygonContact>(phShape::polygon, phShape::polygon);
        Add<phEdgeAndCircleContact>(phShape::edge, phShape::circle);
        Add<phEdgeAndPolygonContact>(phShape::edge, phShape::polygon);
    }
};

const KindTable& GetKindTable()
{
    static const KindTable table;
    return table;
}

} // namespace

phContact* phContact::Create(phFixture* fixtureA, int32_t indexA, phFixture* fixtureB, int32_t indexB,
                             phBlockAllocator* allocator)
{
    const phShape::Kind kindA = fixtureA->GetKind();
    const phShape::Kind kindB = fixtureB->GetKind();
    const phContactKindEntry& entry = GetKindTable().entries[kindA][kindB];
    if (entry.create == nullptr) {
        return nullptr;
    }
    if (entry.primary) {
        return entry.create(fixtureA, indexA, fixtureB, indexB, allocator);
    }
    return entry.create(fixtureB, indexB, fixtureA, indexA, allocator);
}

void phContact::Destroy(phContact* contact, phBlockAllocator* allocator)
{
    const phShape::Kind kindA = contact->m_fixtureA->GetKind();
    const phShape::Kind kindB = contact->m_fixtureB->GetKind();
    GetKindTable().entries[kindA][kindB].destroy(contact, allocator);
}

void phContact::GetWorldManifold(phGlobalManifold* world) const
{
    const phBody* const bodyA = m_fixtureA->GetBody();
    const phBody* const bodyB = m_fixtureB->GetBody();
    phComputeWorldManifold(world, m_manifold, bodyA->GetTransform(), ShapeA()->m_radius,
                           bodyB->GetTransform(), ShapeB()->m_radius);
}

void phContact::Update(phContactListener* listener)
{
    const phLocalManifold oldManifold = m_manifold;
    m_flags |= enabledFlag;
    const bool wasTouching = (m_flags & touchingFlag) != 0;
    const bool sensor = m_fixtureA->IsSensor() || m_fixtureB->IsSensor();
    phBody* const bodyA = m_fixtureA->GetBody();
    phBody* const bodyB = m_fixtureB->GetBody();
    const phTransform& xfA = bodyA->GetTransform();
    const phTransform& xfB = bodyB->GetTransform();

    bool touching = false;
    if (sensor) {
        phConvexProxy proxyA;
        phConvexProxy proxyB;
        phSetShapeProxy(&proxyA, ShapeA(), m_indexA);
        phSetShapeProxy(&proxyB, ShapeB(), m_indexB);
        const phDistanceQuery query{&proxyA, &proxyB, xfA, xfB, true};
        phSimplexMemo memo;
        phDistanceResult result;
        phComputeDistance(&result, &memo, query);
        touching = result.distance < phSensorTouchingDistance;
        m_manifold.pointCount = 0;
    } else {
        Evaluate(&m_manifold, xfA, xfB);
        touching = m_manifold.pointCount > 0;
        // Carry the impulses of points with the same features over, for warm starting.
        for (int32_t i = 0; i < m_manifold.pointCount; ++i) {
            phManifoldPoint& point = m_manifold.points[i];
            point.normalImpulse = 0.0f;
            point.tangentImpulse = 0.0f;
            const uint32_t key = point.key.GetKey();
            for (int32_t j = 0; j < oldManifold.pointCount; ++j) {
                if (oldManifold.points[j].key.GetKey() == key) {
                    point.normalImpulse = oldManifold.points[j].normalImpulse;
                    point.tangentImpulse = oldManifold.points[j].tangentImpulse;
                    break;
                }
            }
        }
        if (touching != wasTouching) {
            bodyA->SetAwake(true);
            bodyB->SetAwake(true);
        }
    }

    m_flags = touching ? (m_flags | touchingFlag) : (m_flags & ~touchingFlag);
    if (listener == nullptr) {
        return;
    }
    if (!wasTouching && touching) {
        listener->BeginContact(this);
    }
    if (wasTouching && !touching) {
        listener->EndContact(this);
    }
    if (!sensor && touching) {
        listener->PreSolve(this, &oldManifold);
    }
}
