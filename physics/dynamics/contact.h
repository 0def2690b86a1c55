// A contact between two fixture children whose fat boxes overlap: its manifold,
// mixed material and the links into both bodies' contact lists.
#pragma once

#include "physics/collision/manifold.h"
#include "physics/dynamics/body.h"

#include <cstdint>

class phBlockAllocator;
class phContactListener;

class phContact
{
public:
    enum Flags : uint32_t
    {
        islandFlag = 0x01,
        touchingFlag = 0x02,
        enabledFlag = 0x04,
        filterFlag = 0x08,
        toiFlag = 0x20,
    };

    virtual ~phContact() = default;
    // Computes the manifold of the two children under the given transforms.
    virtual void Evaluate(phLocalManifold* manifold, const phTransform& xfA, const phTransform& xfB) = 0;

    phLocalManifold* GetManifold() { return &m_manifold; }
    const phLocalManifold* GetManifold() const { return &m_manifold; }
    void GetWorldManifold(phGlobalManifold* world) const;
    bool IsTouching() const { return (m_flags & touchingFlag) != 0; }
    bool IsEnabled() const { return (m_flags & enabledFlag) != 0; }
    // Disables the contact for the current step (from a pre-solve callback).
    void SetEnabled(bool flag) { m_flags = flag ? (m_flags | enabledFlag) : (m_flags & ~enabledFlag); }
    phContact* GetNext() { return m_next; }
    phFixture* GetFixtureA() { return m_fixtureA; }
    const phFixture* GetFixtureA() const { return m_fixtureA; }
    phFixture* GetFixtureB() { return m_fixtureB; }
    const phFixture* GetFixtureB() const { return m_fixtureB; }
    int32_t GetChildIndexA() const { return m_indexA; }
    int32_t GetChildIndexB() const { return m_indexB; }
    float GetFriction() const { return m_friction; }
    float GetRestitution() const { return m_restitution; }
    float GetTangentSpeed() const { return m_tangentSpeed; }
    void SetTangentSpeed(float speed) { m_tangentSpeed = speed; }
    // Has the filter checked again at the next contact update.
    void FlagForFiltering() { m_flags |= filterFlag; }

    // A contact of the right kind for the two shapes (the kind may take the
    // fixtures in the other order), or null when the kinds never collide.
    static phContact* Create(phFixture* fixtureA, int32_t indexA, phFixture* fixtureB, int32_t indexB,
                             phBlockAllocator* allocator);
    static void Destroy(phContact* contact, phBlockAllocator* allocator);

    // The shared construction of every kind: enabled, no points, mixed material.
    phContact(phFixture* fixtureA, int32_t indexA, phFixture* fixtureB, int32_t indexB);

protected:
    const phShape* ShapeA() const;
    const phShape* ShapeB() const;

private:
    friend class phWorld;
    friend class phContactManager;
    friend class phIsland;
    friend class phContactSolver;

    // Re-evaluates the manifold, carries impulses over by feature key and tells
    // the listener about touching changes.
    void Update(phContactListener* listener);

    uint32_t m_flags = enabledFlag;
    phContact* m_prev = nullptr;
    phContact* m_next = nullptr;
    phContactLink m_nodeA;
    phContactLink m_nodeB;
    phFixture* m_fixtureA;
    phFixture* m_fixtureB;
    int32_t m_indexA;
    int32_t m_indexB;
    phLocalManifold m_manifold;
    int32_t m_toiCount = 0;
    float m_toi = 1.0f;
    float m_friction;
    float m_restitution;
    float m_tangentSpeed = 0.0f;
};

// Friction and restitution of a contact from its two fixtures.
float phMixFriction(float friction1, float friction2);
float phMixRestitution(float restitution1, float restitution2);
