// A dynamic tree of fat boxes: leaves are proxies, inner nodes enclose their
// children. Insertion picks the sibling of least perimeter growth and rotations
// keep the tree balanced.
#pragma once

#include "physics/common/growable_stack.h"
#include "physics/common/math.h"

#include <cstdint>

inline constexpr int32_t phNullNode = -1;

struct phTreeNode
{
    phBounds box;
    void* userData = nullptr;
    int32_t parent = phNullNode; // the next free node while the node is free
    int32_t child1 = phNullNode;
    int32_t child2 = phNullNode;
    int32_t height = -1; // 0 for a leaf, -1 for a free node

    bool IsLeaf() const { return child1 == phNullNode; }
};

class phAabbTree
{
public:
    phAabbTree();
    phAabbTree(const phAabbTree&) = delete;
    phAabbTree& operator=(const phAabbTree&) = delete;
    ~phAabbTree();

    // A leaf for the box grown by the fat-box margin.
    int32_t CreateProxy(const phBounds& box, void* userData);
    void DestroyProxy(int32_t proxyId);
    // Re-inserts the leaf when the box left its fat box, with a fat box stretched
    // along the displacement; returns whether it did.
    bool MoveProxy(int32_t proxyId, const phBounds& box, const phVector& displacement);

    void* GetUserData(int32_t proxyId) const { return m_nodes[proxyId].userData; }
    const phBounds& GetFatBounds(int32_t proxyId) const { return m_nodes[proxyId].box; }

    // Calls callback(proxyId) for every leaf whose fat box overlaps the box until
    // it returns false.
    template <typename Callback> void Query(const phBounds& box, Callback&& callback) const;

    int32_t GetRoot() const { return m_root; }
    const phTreeNode& GetNode(int32_t id) const { return m_nodes[id]; }
    int32_t GetNodeCount() const { return m_nodeCount; }
    int32_t GetNodeCapacity() const { return m_nodeCapacity; }
    int32_t GetFreeList() const { return m_freeList; }
    int32_t GetHeight() const { return m_root == phNullNode ? 0 : m_nodes[m_root].height; }

private:
    int32_t AllocateNode();
    void FreeNode(int32_t id);
    void InsertLeaf(int32_t leaf);
    void RemoveLeaf(int32_t leaf);
    // Rotates the subtree at a when it is out of balance; returns the new subtree root.
    int32_t Balance(int32_t a);
    // Rebalances and refits every node from index up to the root.
    void Refit(int32_t index);
    int32_t ChooseSibling(const phBounds& leafBox) const;
    void ReplaceChild(int32_t parent, int32_t oldChild, int32_t newChild);

    int32_t m_root = phNullNode;
    phTreeNode* m_nodes;
    int32_t m_nodeCount = 0;
    int32_t m_nodeCapacity;
    int32_t m_freeList;
};

template <typename Callback> void phAabbTree::Query(const phBounds& box, Callback&& callback) const
{
    phGrowableStack<int32_t, 256> stack;
    stack.Push(m_root);
    while (stack.GetCount() > 0) {
        const int32_t id = stack.Pop();
        if (id == phNullNode) {
            continue;
        }
        const phTreeNode& node = m_nodes[id];
        if (!phTestOverlap(node.box, box)) {
            continue;
        }
        if (node.IsLeaf()) {
            if (!callback(id)) {
                return;
            }
        } else {
            stack.Push(node.child1);
            stack.Push(node.child2);
        }
    }
}
