// Creates contacts from the broad phase's new pairs, updates them every step and
// destroys those whose boxes separated or that the filter rejects.
#pragma once

#include "physics/collision/broad_phase.h"

#include <cstdint>

class phBlockAllocator;
class phContact;
class phContactFilter;
class phContactListener;
struct phFixtureChildProxy;

class phContactManager
{
public:
    explicit phContactManager(phBlockAllocator* allocator);

    // Makes a contact for a new pair of proxies when the two may collide.
    void AddPair(phFixtureChildProxy* proxyA, phFixtureChildProxy* proxyB);
    // Turns the broad phase's new pairs into contacts.
    void FindNewContacts();
    void Destroy(phContact* contact);
    // The collide phase: filters, overlap tests and manifold updates.
    void Collide();

    phBroadPhase m_broadPhase;
    phContact* m_contactList = nullptr;
    int32_t m_contactCount = 0;
    phContactFilter* m_contactFilter;
    phContactListener* m_contactListener;
    phBlockAllocator* m_allocator;
};
