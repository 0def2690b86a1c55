#include "physics/collision/aabb_tree.h"

#include "physics/common/allocation.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {
constexpr int32_t initialNodeCapacity = 16;

// Links nodes [first, capacity) into a free list that ends with -1.
void ChainFree(phTreeNode* nodes, int32_t first, int32_t capacity)
{
    for (int32_t i = first; i < capacity; ++i) {
        new (&nodes[i]) phTreeNode();
        nodes[i].parent = i + 1 < capacity ? i + 1 : phNullNode;
        nodes[i].height = -1;
    }
}
} // namespace

phAabbTree::phAabbTree()
    : m_nodes(static_cast<phTreeNode*>(phAlloc(sizeof(phTreeNode) * initialNodeCapacity))),
      m_nodeCapacity(initialNodeCapacity), m_freeList(0)
{
    ChainFree(m_nodes, 0, m_nodeCapacity);
}

phAabbTree::~phAabbTree()
{
    phFree(m_nodes);
}

int32_t phAabbTree::AllocateNode()
{
    if (m_freeList == phNullNode) {
        phTreeNode* const old = m_nodes;
        const int32_t oldCapacity = m_nodeCapacity;
        m_nodeCapacity *= 2;
        m_nodes = static_cast<phTreeNode*>(phAlloc(sizeof(phTreeNode) * static_cast<size_t>(m_nodeCapacity)));
        std::memcpy(static_cast<void*>(m_nodes), old, sizeof(phTreeNode) * static_cast<size_t>(oldCapacity));
        phFree(old);
        ChainFree(m_nodes, m_nodeCount, m_nodeCapacity);
        m_freeList = m_nodeCount;
    }
    const int32_t id = m_freeList;
    phTreeNode& node = m_nodes[id];
    m_freeList = node.parent;
    node.parent = phNullNode;
    node.child1 = phNullNode;
    node.child2 = phNullNode;
    node.height = 0;
    node.userData = nullptr;
    ++m_nodeCount;
    return id;
}

void phAabbTree::FreeNode(int32_t id)
{
    m_nodes[id].parent = m_freeList;
    m_nodes[id].height = -1;
    m_freeList = id;
    --m_nodeCount;
}

int32_t phAabbTree::CreateProxy(const phBounds& box, void* userData)
{
    const int32_t id = AllocateNode();
    const phVector margin(phFatBoxMargin, phFatBoxMargin);
    m_nodes[id].box.lower = box.lower - margin;
    m_nodes[id].box.upper = box.upper + margin;
    m_nodes[id].userData = userData;
    m_nodes[id].height = 0;
    InsertLeaf(id);
    return id;
}

void phAabbTree::DestroyProxy(int32_t proxyId)
{
    RemoveLeaf(proxyId);
    FreeNode(proxyId);
}

bool phAabbTree::MoveProxy(int32_t proxyId, const phBounds& box, const phVector& displacement)
{
    if (m_nodes[proxyId].box.Contains(box)) {
        return false;
    }
    RemoveLeaf(proxyId);

    const phVector margin(phFatBoxMargin, phFatBoxMargin);
    phBounds fat{box.lower - margin, box.upper + margin};
    const phVector d = phFatBoxDisplacementMultiplier * displacement;
    if (d.x < 0.0f) {
        fat.lower.x += d.x;
    } else {
        fat.upper.x += d.x;
    }
    if (d.y < 0.0f) {
        fat.lower.y += d.y;
    } else {
        fat.upper.y += d.y;
    }
    m_nodes[proxyId].box = fat;
    InsertLeaf(proxyId);
    return true;
}

int32_t phAabbTree::ChooseSibling(const phBounds& leafBox) const
{
    int32_t index = m_root;
    while (!m_nodes[index].IsLeaf()) {
        const phTreeNode& node = m_nodes[index];
        const float area = node.box.GetPerimeter();
        const float combinedArea = phUnion(node.box, leafBox).GetPerimeter();
        // Cost of a new parent for this node and the leaf, and the growth every
        // ancestor below it inherits.
        const float cost = 2.0f * combinedArea;
        const float inheritance = 2.0f * (combinedArea - area);
        auto childCost = [&](int32_t child) {
            const phTreeNode& c = m_nodes[child];
            const float unionArea = phUnion(leafBox, c.box).GetPerimeter();
            return c.IsLeaf() ? unionArea + inheritance : unionArea - c.box.GetPerimeter() + inheritance;
        };
        const float cost1 = childCost(node.child1);
        const float cost2 = childCost(node.child2);
        if (cost < cost1 && cost < cost2) {
            break;
        }
        index = cost1 < cost2 ? node.child1 : node.child2;
    }
    return index;
}

void phAabbTree::ReplaceChild(int32_t parent, int32_t oldChild, int32_t newChild)
{
    if (parent == phNullNode) {
        m_root = newChild;
    } else if (m_nodes[parent].child1 == oldChild) {
        m_nodes[parent].child1 = newChild;
    } else {
        m_nodes[parent].child2 = newChild;
    }
}

void phAabbTree::InsertLeaf(int32_t leaf)
{
    if (m_root == phNullNode) {
        m_root = leaf;
        m_nodes[leaf].parent = phNullNode;
        return;
    }
    const phBounds leafBox = m_nodes[leaf].box;
    const int32_t sibling = ChooseSibling(leafBox);

    const int32_t oldParent = m_nodes[sibling].parent;
    const int32_t newParent = AllocateNode();
    phTreeNode& p = m_nodes[newParent];
    p.parent = oldParent;
    p.userData = nullptr;
    p.box = phUnion(leafBox, m_nodes[sibling].box);
    p.height = m_nodes[sibling].height + 1;
    p.child1 = sibling;
    p.child2 = leaf;
    m_nodes[sibling].parent = newParent;
    m_nodes[leaf].parent = newParent;
    ReplaceChild(oldParent, sibling, newParent);

    Refit(m_nodes[leaf].parent);
}

void phAabbTree::RemoveLeaf(int32_t leaf)
{
    if (leaf == m_root) {
        m_root = phNullNode;
        return;
    }
    const int32_t parent = m_nodes[leaf].parent;
    const int32_t grandParent = m_nodes[parent].parent;
    const int32_t sibling = m_nodes[parent].child1 == leaf ? m_nodes[parent].child2 : m_nodes[parent].child1;

    if (grandParent != phNullNode) {
        ReplaceChild(grandParent, parent, sibling);
        m_nodes[sibling].parent = grandParent;
        FreeNode(parent);
        Refit(grandParent);
    } else {
        m_root = sibling;
        m_nodes[sibling].parent = phNullNode;
        FreeNode(parent);
    }
}

void phAabbTree::Refit(int32_t index)
{
    while (index != phNullNode) {
        index = Balance(index);
        phTreeNode& node = m_nodes[index];
        const phTreeNode& c1 = m_nodes[node.child1];
        const phTreeNode& c2 = m_nodes[node.child2];
        node.height = 1 + std::max(c1.height, c2.height);
        node.box = phUnion(c1.box, c2.box);
        index = node.parent;
    }
}

int32_t phAabbTree::Balance(int32_t iA)
{
    phTreeNode* const A = &m_nodes[iA];
    if (A->IsLeaf() || A->height < 2) {
        return iA;
    }
    const int32_t iB = A->child1;
    const int32_t iC = A->child2;
    phTreeNode* const B = &m_nodes[iB];
    phTreeNode* const C = &m_nodes[iC];
    const int32_t balance = C->height - B->height;

    if (balance > 1) {
        // C rises; its taller child stays under it, the other moves under A.
        const int32_t iF = C->child1;
        const int32_t iG = C->child2;
        phTreeNode* const F = &m_nodes[iF];
        phTreeNode* const G = &m_nodes[iG];
        C->child1 = iA;
        C->parent = A->parent;
        A->parent = iC;
        ReplaceChild(C->parent, iA, iC);
        const bool keepF = F->height > G->height;
        const int32_t iKeep = keepF ? iF : iG;
        const int32_t iMove = keepF ? iG : iF;
        phTreeNode* const keep = &m_nodes[iKeep];
        phTreeNode* const move = &m_nodes[iMove];
        C->child2 = iKeep;
        A->child2 = iMove;
        move->parent = iA;
        A->box = phUnion(B->box, move->box);
        C->box = phUnion(A->box, keep->box);
        A->height = 1 + std::max(B->height, move->height);
        C->height = 1 + std::max(A->height, keep->height);
        return iC;
    }
    if (balance < -1) {
        // B rises, symmetrically.
        const int32_t iD = B->child1;
        const int32_t iE = B->child2;
        phTreeNode* const D = &m_nodes[iD];
        phTreeNode* const E = &m_nodes[iE];
        B->child1 = iA;
        B->parent = A->parent;
        A->parent = iB;
        ReplaceChild(B->parent, iA, iB);
        const bool keepD = D->height > E->height;
        const int32_t iKeep = keepD ? iD : iE;
        const int32_t iMove = keepD ? iE : iD;
        phTreeNode* const keep = &m_nodes[iKeep];
        phTreeNode* const move = &m_nodes[iMove];
        B->child2 = iKeep;
        A->child1 = iMove;
        move->parent = iA;
        A->box = phUnion(C->box, move->box);
        B->box = phUnion(A->box, keep->box);
        A->height = 1 + std::max(C->height, move->height);
        B->height = 1 + std::max(A->height, keep->height);
        return iB;
    }
    return iA;
}
