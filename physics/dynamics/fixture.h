// A fixture attaches a shape to a body, with its material and collision filter.
#pragma once

#include "physics/collision/shape.h"

#include <cstdint>

class phBlockAllocator;
class phBody;
class phBroadPhase;
class phFixture;

struct phFilter
{
    uint16_t categoryBits = 0x0001;
    uint16_t maskBits = 0xFFFF;
    int16_t groupIndex = 0;
};

// One broad-phase entry per shape child.
struct phFixtureChildProxy
{
    phBounds box; // the tight box the fat box was made from
    phFixture* fixture = nullptr;
    int32_t childIndex = 0;
    int32_t proxyId = -1;
};

struct phFixtureDesc
{
    const phShape* shape = nullptr;
    void* userData = nullptr;
    float friction = 0.2f;
    float restitution = 0.0f;
    float density = 0.0f;
    bool isSensor = false;
    phFilter filter;
};

class phFixture
{
public:
    phShape::Kind GetKind() const { return m_shape->GetKind(); }
    phShape* GetShape() { return m_shape; }
    const phShape* GetShape() const { return m_shape; }
    phBody* GetBody() { return m_body; }
    const phBody* GetBody() const { return m_body; }
    phFixture* GetNext() { return m_next; }
    const phFixture* GetNext() const { return m_next; }
    bool IsSensor() const { return m_isSensor; }
    const phFilter& GetFilterData() const { return m_filter; }
    // Stores the filter and has the fixture's contacts and pairs checked again.
    void SetFilterData(const phFilter& filter);
    void* GetUserData() const { return m_userData; }
    void SetUserData(void* data) { m_userData = data; }
    float GetDensity() const { return m_density; }
    // The body's mass is not recomputed here.
    void SetDensity(float density) { m_density = density; }
    float GetFriction() const { return m_friction; }
    // Existing contacts keep the friction they were made with.
    void SetFriction(float friction) { m_friction = friction; }
    float GetRestitution() const { return m_restitution; }
    void SetRestitution(float restitution) { m_restitution = restitution; }
    int32_t GetProxyCount() const { return m_proxyCount; }
    const phFixtureChildProxy& GetProxy(int32_t index) const { return m_proxies[index]; }
    bool TestPoint(const phVector& point) const;

private:
    friend class phBody;
    friend class phWorld;
    friend class phContactManager;

    void Create(phBlockAllocator* allocator, phBody* body, const phFixtureDesc& desc);
    // Returns the proxy array and the shape clone to the allocator.
    void Destroy(phBlockAllocator* allocator);
    void AddProxies(phBroadPhase* broadPhase, const phTransform& xf);
    void RemoveProxies(phBroadPhase* broadPhase);
    // Moves every proxy over the motion from xf1 to xf2.
    void UpdateProxies(phBroadPhase* broadPhase, const phTransform& xf1, const phTransform& xf2);

    float m_density = 0.0f;
    phFixture* m_next = nullptr;
    phBody* m_body = nullptr;
    phShape* m_shape = nullptr;
    float m_friction = 0.0f;
    float m_restitution = 0.0f;
    phFixtureChildProxy* m_proxies = nullptr;
    int32_t m_proxyCount = 0;
    phFilter m_filter;
    bool m_isSensor = false;
    void* m_userData = nullptr;
};
