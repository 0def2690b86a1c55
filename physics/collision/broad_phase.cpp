#include "physics/collision/broad_phase.h"

#include "physics/common/allocation.h"

#include <cstring>

namespace {
constexpr int32_t initialBufferCapacity = 16;

// Doubles a plain array of count used items.
template <typename T> void Grow(T*& buffer, int32_t& capacity, int32_t count)
{
    T* const old = buffer;
    capacity *= 2;
    buffer = static_cast<T*>(phAlloc(sizeof(T) * static_cast<size_t>(capacity)));
    std::memcpy(buffer, old, sizeof(T) * static_cast<size_t>(count));
    phFree(old);
}
} // namespace

phBroadPhase::phBroadPhase()
    : m_moveBuffer(static_cast<int32_t*>(phAlloc(sizeof(int32_t) * initialBufferCapacity))),
      m_moveCapacity(initialBufferCapacity),
      m_pairBuffer(static_cast<phProxyPair*>(phAlloc(sizeof(phProxyPair) * initialBufferCapacity))),
      m_pairCapacity(initialBufferCapacity)
{
}

phBroadPhase::~phBroadPhase()
{
    phFree(m_moveBuffer);
    phFree(m_pairBuffer);
}

int32_t phBroadPhase::CreateProxy(const phBounds& box, void* userData)
{
    const int32_t proxyId = m_tree.CreateProxy(box, userData);
    ++m_proxyCount;
    AddToMoveBuffer(proxyId);
    return proxyId;
}

void phBroadPhase::DestroyProxy(int32_t proxyId)
{
    for (int32_t i = 0; i < m_moveCount; ++i) {
        if (m_moveBuffer[i] == proxyId) {
            m_moveBuffer[i] = phNullNode;
        }
    }
    --m_proxyCount;
    m_tree.DestroyProxy(proxyId);
}

void phBroadPhase::MoveProxy(int32_t proxyId, const phBounds& box, const phVector& displacement)
{
    if (m_tree.MoveProxy(proxyId, box, displacement)) {
        AddToMoveBuffer(proxyId);
    }
}

void phBroadPhase::AddToMoveBuffer(int32_t proxyId)
{
    if (m_moveCount == m_moveCapacity) {
        Grow(m_moveBuffer, m_moveCapacity, m_moveCount);
    }
    m_moveBuffer[m_moveCount++] = proxyId;
}

void phBroadPhase::AddPair(int32_t proxyIdA, int32_t proxyIdB)
{
    if (m_pairCount == m_pairCapacity) {
        Grow(m_pairBuffer, m_pairCapacity, m_pairCount);
    }
    m_pairBuffer[m_pairCount++] = {std::min(proxyIdA, proxyIdB), std::max(proxyIdA, proxyIdB)};
}

void phBroadPhase::FindPairs()
{
    m_pairCount = 0;
    for (int32_t i = 0; i < m_moveCount; ++i) {
        m_queryProxyId = m_moveBuffer[i];
        if (m_queryProxyId == phNullNode) {
            continue;
        }
        m_tree.Query(m_tree.GetFatBounds(m_queryProxyId), [this](int32_t proxyId) {
            if (proxyId != m_queryProxyId) {
                AddPair(m_queryProxyId, proxyId);
            }
            return true;
        });
    }
    m_moveCount = 0;
    std::sort(m_pairBuffer, m_pairBuffer + m_pairCount, [](const phProxyPair& a, const phProxyPair& b) {
        return a.proxyIdA < b.proxyIdA || (a.proxyIdA == b.proxyIdA && a.proxyIdB < b.proxyIdB);
    });
}
