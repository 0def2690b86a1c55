// The broad phase: one tree proxy per fixture child, the proxies that moved since
// the last pair search, and the pairs of proxies whose fat boxes overlap.
#pragma once

#include "physics/collision/aabb_tree.h"

#include <algorithm>
#include <cstdint>

struct phProxyPair
{
    int32_t proxyIdA; // always the smaller id
    int32_t proxyIdB;
};

class phBroadPhase
{
public:
    phBroadPhase();
    phBroadPhase(const phBroadPhase&) = delete;
    phBroadPhase& operator=(const phBroadPhase&) = delete;
    ~phBroadPhase();

    int32_t CreateProxy(const phBounds& box, void* userData);
    void DestroyProxy(int32_t proxyId);
    void MoveProxy(int32_t proxyId, const phBounds& box, const phVector& displacement);
    // Searches the proxy's pairs again at the next pair search.
    void AddToMoveBuffer(int32_t proxyId);

    bool TestOverlap(int32_t proxyIdA, int32_t proxyIdB) const
    {
        return phTestOverlap(m_tree.GetFatBounds(proxyIdA), m_tree.GetFatBounds(proxyIdB));
    }
    void* GetUserData(int32_t proxyId) const { return m_tree.GetUserData(proxyId); }
    const phBounds& GetFatBounds(int32_t proxyId) const { return m_tree.GetFatBounds(proxyId); }
    int32_t GetProxyCount() const { return m_proxyCount; }
    int32_t GetMoveCount() const { return m_moveCount; }
    const phAabbTree& GetTree() const { return m_tree; }

    // Finds the pairs of moved proxies and hands each distinct pair once, in
    // ascending order, to receiver(userDataA, userDataB).
    template <typename Receiver> void UpdatePairs(Receiver&& receiver);

    template <typename Callback> void Query(const phBounds& box, Callback&& callback) const
    {
        m_tree.Query(box, callback);
    }

private:
    void AddPair(int32_t proxyIdA, int32_t proxyIdB);
    void FindPairs();

    phAabbTree m_tree;
    int32_t m_proxyCount = 0;
    int32_t* m_moveBuffer;
    int32_t m_moveCapacity;
    int32_t m_moveCount = 0;
    phProxyPair* m_pairBuffer;
    int32_t m_pairCapacity;
    int32_t m_pairCount = 0;
    int32_t m_queryProxyId = phNullNode;
};

template <typename Receiver> void phBroadPhase::UpdatePairs(Receiver&& receiver)
{
    FindPairs();
    for (int32_t i = 0; i < m_pairCount;) {
        const phProxyPair pair = m_pairBuffer[i];
        receiver(m_tree.GetUserData(pair.proxyIdA), m_tree.GetUserData(pair.proxyIdB));
        ++i;
        while (i < m_pairCount && m_pairBuffer[i].proxyIdA == pair.proxyIdA &&
               m_pairBuffer[i].proxyIdB == pair.proxyIdB) {
            ++i;
        }
    }
}
