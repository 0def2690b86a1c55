#include "physics/dynamics/contact_manager.h"

#include "physics/common/intrusive_list.h"
#include "physics/dynamics/body.h"
#include "physics/dynamics/callbacks.h"
#include "physics/dynamics/contact.h"

phContactManager::phContactManager(phBlockAllocator* allocator)
    : m_contactFilter(phGetDefaultContactFilter()), m_contactListener(phGetDefaultContactListener()),
      m_allocator(allocator)
{
}

void phContactManager::AddPair(phFixtureChildProxy* proxyA, phFixtureChildProxy* proxyB)
{
    phFixture* const fixtureA = proxyA->fixture;
    phFixture* const fixtureB = proxyB->fixture;
    const int32_t indexA = proxyA->childIndex;
    const int32_t indexB = proxyB->childIndex;
    phBody* const bodyA = fixtureA->GetBody();
    phBody* const bodyB = fixtureB->GetBody();
    if (bodyA == bodyB) {
        return;
    }

    // An existing contact of the same children, in either order.
    for (phContactLink* link = bodyB->GetContactList(); link != nullptr; link = link->next) {
        if (link->other != bodyA) {
            continue;
        }
        const phContact* const c = link->contact;
        const phFixture* const fA = c->GetFixtureA();
        const phFixture* const fB = c->GetFixtureB();
        const int32_t iA = c->GetChildIndexA();
        const int32_t iB = c->GetChildIndexB();
        if ((fA == fixtureA && fB == fixtureB && iA == indexA && iB == indexB) ||
            (fA == fixtureB && fB == fixtureA && iA == indexB && iB == indexA)) {
            return;
        }
    }

    if (!bodyB->ShouldCollide(bodyA)) {
        return;
    }
    if (m_contactFilter != nullptr && !m_contactFilter->ShouldCollide(fixtureA, fixtureB)) {
        return;
    }

    phContact* const c = phContact::Create(fixtureA, indexA, fixtureB, indexB, m_allocator);
    if (c == nullptr) {
        return;
    }
    // The kind may have exchanged the fixtures.
    phBody* const cBodyA = c->m_fixtureA->GetBody();
    phBody* const cBodyB = c->m_fixtureB->GetBody();

    c->m_prev = nullptr;
    c->m_next = m_contactList;
    if (m_contactList != nullptr) {
        m_contactList->m_prev = c;
    }
    m_contactList = c;

    c->m_nodeA.contact = c;
    c->m_nodeA.other = cBodyB;
    phListPushFront(&cBodyA->m_contactList, &c->m_nodeA);
    c->m_nodeB.contact = c;
    c->m_nodeB.other = cBodyA;
    phListPushFront(&cBodyB->m_contactList, &c->m_nodeB);

    if (!fixtureA->IsSensor() && !fixtureB->IsSensor()) {
        bodyA->SetAwake(true);
        bodyB->SetAwake(true);
    }
    ++m_contactCount;
}

void phContactManager::FindNewContacts()
{
    m_broadPhase.UpdatePairs([this](void* a, void* b) {
        AddPair(static_cast<phFixtureChildProxy*>(a), static_cast<phFixtureChildProxy*>(b));
    });
}

void phContactManager::Destroy(phContact* c)
{
    phFixture* const fixtureA = c->GetFixtureA();
    phFixture* const fixtureB = c->GetFixtureB();
    phBody* const bodyA = fixtureA->GetBody();
    phBody* const bodyB = fixtureB->GetBody();

    if (m_contactListener != nullptr && c->IsTouching()) {
        m_contactListener->EndContact(c);
    }

    if (c->m_prev != nullptr) {
        c->m_prev->m_next = c->m_next;
    }
    if (c->m_next != nullptr) {
        c->m_next->m_prev = c->m_prev;
    }
    if (c == m_contactList) {
        m_contactList = c->m_next;
    }
    phListUnlink(&bodyA->m_contactList, &c->m_nodeA);
    phListUnlink(&bodyB->m_contactList, &c->m_nodeB);

    if (c->m_manifold.pointCount > 0 && !fixtureA->IsSensor() && !fixtureB->IsSensor()) {
        bodyA->SetAwake(true);
        bodyB->SetAwake(true);
    }
    phContact::Destroy(c, m_allocator);
    --m_contactCount;
}

void phContactManager::Collide()
{
    phContact* c = m_contactList;
    while (c != nullptr) {
        phContact* const next = c->GetNext();
        phFixture* const fixtureA = c->GetFixtureA();
        phFixture* const fixtureB = c->GetFixtureB();
        phBody* const bodyA = fixtureA->GetBody();
        phBody* const bodyB = fixtureB->GetBody();

        if ((c->m_flags & phContact::filterFlag) != 0) {
            if (!bodyB->ShouldCollide(bodyA) ||
                (m_contactFilter != nullptr && !m_contactFilter->ShouldCollide(fixtureA, fixtureB))) {
                Destroy(c);
                c = next;
                continue;
            }
            c->m_flags &= ~phContact::filterFlag;
        }

        const bool activeA = bodyA->IsAwake() && bodyA->GetType() != phStaticBody;
        const bool activeB = bodyB->IsAwake() && bodyB->GetType() != phStaticBody;
        if (!activeA && !activeB) {
            c = next;
            continue;
        }

        const int32_t proxyIdA = fixtureA->GetProxy(c->GetChildIndexA()).proxyId;
        const int32_t proxyIdB = fixtureB->GetProxy(c->GetChildIndexB()).proxyId;
        if (!m_broadPhase.TestOverlap(proxyIdA, proxyIdB)) {
            Destroy(c);
            c = next;
            continue;
        }

        c->Update(m_contactListener);
        c = next;
    }
}
