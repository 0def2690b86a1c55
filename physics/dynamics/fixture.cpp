#include "physics/dynamics/fixture.h"

#include "physics/collision/broad_phase.h"
#include "physics/common/block_allocator.h"
#include "physics/dynamics/body.h"
#include "physics/dynamics/contact.h"
#include "physics/dynamics/world.h"

#include <new>

void phFixture::Create(phBlockAllocator* allocator, phBody* body, const phFixtureDesc& desc)
{
    m_userData = desc.userData;
    m_friction = desc.friction;
    m_restitution = desc.restitution;
    m_body = body;
    m_next = nullptr;
    m_filter = desc.filter;
    m_isSensor = desc.isSensor;
    m_shape = desc.shape->Clone(allocator);

    const int32_t childCount = m_shape->GetChildCount();
    m_proxies = static_cast<phFixtureChildProxy*>(
        allocator->Allocate(static_cast<int32_t>(sizeof(phFixtureChildProxy)) * childCount));
    for (int32_t i = 0; i < childCount; ++i) {
        new (&m_proxies[i]) phFixtureChildProxy();
    }
    m_proxyCount = 0;
    m_density = desc.density;
}

void phFixture::Destroy(phBlockAllocator* allocator)
{
    const int32_t childCount = m_shape->GetChildCount();
    allocator->Free(m_proxies, static_cast<int32_t>(sizeof(phFixtureChildProxy)) * childCount);
    m_proxies = nullptr;
    phShape::DestroyClone(m_shape, allocator);
    m_shape = nullptr;
}

void phFixture::AddProxies(phBroadPhase* broadPhase, const phTransform& xf)
{
    m_proxyCount = m_shape->GetChildCount();
    for (int32_t i = 0; i < m_proxyCount; ++i) {
        phFixtureChildProxy& proxy = m_proxies[i];
        m_shape->ComputeBounds(&proxy.box, xf, i);
        proxy.proxyId = broadPhase->CreateProxy(proxy.box, &proxy);
        proxy.fixture = this;
        proxy.childIndex = i;
    }
}

void phFixture::RemoveProxies(phBroadPhase* broadPhase)
{
    for (int32_t i = 0; i < m_proxyCount; ++i) {
        broadPhase->DestroyProxy(m_proxies[i].proxyId);
        m_proxies[i].proxyId = -1;
    }
    m_proxyCount = 0;
}

void phFixture::UpdateProxies(phBroadPhase* broadPhase, const phTransform& xf1, const phTransform& xf2)
{
    for (int32_t i = 0; i < m_proxyCount; ++i) {
        phFixtureChildProxy& proxy = m_proxies[i];
        phBounds box1;
        phBounds box2;
        m_shape->ComputeBounds(&box1, xf1, proxy.childIndex);
        m_shape->ComputeBounds(&box2, xf2, proxy.childIndex);
        proxy.box = phUnion(box1, box2);
        broadPhase->MoveProxy(proxy.proxyId, proxy.box, xf2.p - xf1.p);
    }
}

void phFixture::SetFilterData(const phFilter& filter)
{
    m_filter = filter;
    if (m_body == nullptr) {
        return;
    }
    for (phContactLink* link = m_body->GetContactList(); link != nullptr; link = link->next) {
        phContact* const contact = link->contact;
        if (contact->GetFixtureA() == this || contact->GetFixtureB() == this) {
            contact->FlagForFiltering();
        }
    }
    phWorld* const world = m_body->GetWorld();
    if (world == nullptr) {
        return;
    }
    phBroadPhase* const broadPhase = &world->m_contactManager.m_broadPhase;
    for (int32_t i = 0; i < m_proxyCount; ++i) {
        broadPhase->AddToMoveBuffer(m_proxies[i].proxyId);
    }
}

bool phFixture::TestPoint(const phVector& point) const
{
    return m_shape->TestPoint(m_body->GetTransform(), point);
}
