#include "physics/collision/aabb_tree.h"
#include "physics/collision/broad_phase.h"
#include "physics/common/allocation.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <map>
#include <random>
#include <set>
#include <vector>

namespace {

// Checks every structural rule of the tree and returns the number of leaves.
int32_t CheckTree(const phAabbTree& tree)
{
    int32_t reached = 0;
    int32_t leaves = 0;
    std::vector<int32_t> stack;
    if (tree.GetRoot() != phNullNode) {
        EXPECT_EQ(tree.GetNode(tree.GetRoot()).parent, phNullNode);
        stack.push_back(tree.GetRoot());
    }
    while (!stack.empty()) {
        const int32_t id = stack.back();
        stack.pop_back();
        ++reached;
        const phTreeNode& node = tree.GetNode(id);
        if (node.IsLeaf()) {
            EXPECT_EQ(node.child2, phNullNode);
            EXPECT_EQ(node.height, 0);
            ++leaves;
            continue;
        }
        const phTreeNode& c1 = tree.GetNode(node.child1);
        const phTreeNode& c2 = tree.GetNode(node.child2);
        EXPECT_EQ(c1.parent, id);
        EXPECT_EQ(c2.parent, id);
        EXPECT_EQ(node.height, 1 + std::max(c1.height, c2.height));
        const phBounds u = phUnion(c1.box, c2.box);
        EXPECT_EQ(node.box.lower, u.lower);
        EXPECT_EQ(node.box.upper, u.upper);
        EXPECT_EQ(node.userData, nullptr);
        stack.push_back(node.child1);
        stack.push_back(node.child2);
    }
    EXPECT_EQ(reached, tree.GetNodeCount());
    int32_t freeCount = 0;
    for (int32_t id = tree.GetFreeList(); id != phNullNode; id = tree.GetNode(id).parent) {
        EXPECT_EQ(tree.GetNode(id).height, -1);
        ++freeCount;
        if (freeCount > tree.GetNodeCapacity()) {
            ADD_FAILURE() << "free list loops";
            break;
        }
    }
    EXPECT_EQ(freeCount + tree.GetNodeCount(), tree.GetNodeCapacity());
    return leaves;
}

phBounds RandomBox(std::mt19937& rng, float world = 100.0f)
{
    std::uniform_real_distribution<float> pos(-world, world);
    std::uniform_real_distribution<float> size(0.1f, 3.0f);
    const phVector lower(pos(rng), pos(rng));
    return {lower, lower + phVector(size(rng), size(rng))};
}

} // namespace

TEST(AabbTreeTest, RandomCreateMoveDestroyKeepsStructure)
{
    const int32_t before = phGetAllocationCount();
    {
        phAabbTree tree;
        std::mt19937 rng(1);
        std::vector<int32_t> live;
        std::map<int32_t, phBounds> tight;
        std::uniform_int_distribution<int> op(0, 9);
        std::uniform_real_distribution<float> step(-2.0f, 2.0f);
        for (int i = 0; i < 100000; ++i) {
            const int o = op(rng);
            if (o < 4 || live.size() < 2) {
                const phBounds box = RandomBox(rng);
                const int32_t id =
                    tree.CreateProxy(box, reinterpret_cast<void*>(static_cast<intptr_t>(i + 1)));
                live.push_back(id);
                tight[id] = box;
            } else if (o < 7) {
                const size_t k = std::uniform_int_distribution<size_t>(0, live.size() - 1)(rng);
                const int32_t id = live[k];
                const phVector d(step(rng), step(rng));
                const phBounds box{tight[id].lower + d, tight[id].upper + d};
                const phBounds oldFat = tree.GetFatBounds(id);
                EXPECT_EQ(tree.MoveProxy(id, box, d), !oldFat.Contains(box));
                // The fat box always encloses the tight one.
                EXPECT_TRUE(tree.GetFatBounds(id).Contains(box));
                tight[id] = box;
            } else {
                const size_t k = std::uniform_int_distribution<size_t>(0, live.size() - 1)(rng);
                tree.DestroyProxy(live[k]);
                tight.erase(live[k]);
                live[k] = live.back();
                live.pop_back();
            }
            if (i % 1000 == 0) {
                ASSERT_EQ(CheckTree(tree), static_cast<int32_t>(live.size())) << "step " << i;
                ASSERT_FALSE(::testing::Test::HasFailure()) << "step " << i;
            }
        }
        EXPECT_EQ(CheckTree(tree), static_cast<int32_t>(live.size()));
        // Balanced: far below a list.
        EXPECT_LT(tree.GetHeight(), 4 * std::log2(static_cast<float>(live.size())));
        for (const int32_t id : live) {
            tree.DestroyProxy(id);
        }
        EXPECT_EQ(tree.GetRoot(), phNullNode);
        EXPECT_EQ(tree.GetNodeCount(), 0);
        CheckTree(tree);
    }
    EXPECT_EQ(phGetAllocationCount(), before);
}

TEST(AabbTreeTest, OrderedInsertsStayBalanced)
{
    phAabbTree tree;
    const int n = 4096;
    for (int i = 0; i < n; ++i) {
        const float x = static_cast<float>(i);
        tree.CreateProxy({{x, 0.0f}, {x + 0.5f, 0.5f}}, nullptr);
    }
    EXPECT_EQ(CheckTree(tree), n);
    EXPECT_LE(tree.GetHeight(), 2 * 12 + 2);
}

TEST(AabbTreeTest, ProxyWithinFatBoxDoesNotMove)
{
    phAabbTree tree;
    const phBounds box{{0.0f, 0.0f}, {1.0f, 1.0f}};
    const int32_t id = tree.CreateProxy(box, nullptr);
    EXPECT_EQ(tree.GetFatBounds(id).lower, phVector(-0.1f, -0.1f));
    EXPECT_FALSE(tree.MoveProxy(id, {{0.05f, 0.05f}, {1.05f, 1.05f}}, {0.05f, 0.05f}));
    // A move out of the fat box stretches the new one along the displacement.
    ASSERT_TRUE(tree.MoveProxy(id, {{1.0f, -1.0f}, {2.0f, 0.0f}}, {1.0f, -1.0f}));
    const phBounds& fat = tree.GetFatBounds(id);
    EXPECT_FLOAT_EQ(fat.lower.x, 0.9f);
    EXPECT_FLOAT_EQ(fat.upper.x, 2.1f + 2.0f);
    EXPECT_FLOAT_EQ(fat.lower.y, -1.1f - 2.0f);
    EXPECT_FLOAT_EQ(fat.upper.y, 0.1f);
}

TEST(AabbTreeTest, NodeArrayDoublesForTheNinthLeaf)
{
    phAabbTree tree;
    for (int i = 0; i < 8; ++i) {
        tree.CreateProxy({{static_cast<float>(i), 0.0f}, {static_cast<float>(i) + 1.0f, 1.0f}}, nullptr);
    }
    EXPECT_EQ(tree.GetNodeCount(), 15);
    EXPECT_EQ(tree.GetNodeCapacity(), 16);
    const int32_t ninth = tree.CreateProxy({{9.0f, 0.0f}, {10.0f, 1.0f}}, nullptr);
    EXPECT_EQ(ninth, 15);
    EXPECT_EQ(tree.GetNodeCapacity(), 32);
    EXPECT_EQ(tree.GetNodeCount(), 17);
    CheckTree(tree);
}

TEST(AabbTreeTest, QueryFindsOverlapsAndStopsOnRequest)
{
    phAabbTree tree;
    std::mt19937 rng(3);
    std::vector<phBounds> fat;
    for (int i = 0; i < 500; ++i) {
        const int32_t id = tree.CreateProxy(RandomBox(rng, 30.0f), nullptr);
        fat.push_back(tree.GetFatBounds(id));
    }
    for (int q = 0; q < 50; ++q) {
        const phBounds query = RandomBox(rng, 30.0f);
        std::set<int32_t> found;
        tree.Query(query, [&](int32_t id) {
            found.insert(id);
            return true;
        });
        std::set<int32_t> expected;
        for (int32_t id = 0; id < tree.GetNodeCapacity(); ++id) {
            const phTreeNode& node = tree.GetNode(id);
            if (node.height == 0 && phTestOverlap(node.box, query)) {
                expected.insert(id);
            }
        }
        EXPECT_EQ(found, expected);
    }
    int visits = 0;
    tree.Query({{-100.0f, -100.0f}, {100.0f, 100.0f}}, [&](int32_t) {
        ++visits;
        return false;
    });
    EXPECT_EQ(visits, 1);
}

TEST(BroadPhaseTest, PairsMatchBruteForceOncePerPairInOrder)
{
    phBroadPhase broadPhase;
    std::mt19937 rng(5);
    std::vector<int32_t> ids;
    std::vector<int> payload(300);
    for (int i = 0; i < 300; ++i) {
        payload[static_cast<size_t>(i)] = i;
        ids.push_back(broadPhase.CreateProxy(RandomBox(rng, 20.0f), &payload[static_cast<size_t>(i)]));
    }
    // Several rounds: all proxies new, then a random subset moved.
    for (int round = 0; round < 5; ++round) {
        std::set<int32_t> moved;
        if (round == 0) {
            moved.insert(ids.begin(), ids.end());
        } else {
            std::uniform_real_distribution<float> d(-3.0f, 3.0f);
            for (int k = 0; k < 60; ++k) {
                const int32_t id = ids[std::uniform_int_distribution<size_t>(0, ids.size() - 1)(rng)];
                const phVector shift(d(rng), d(rng));
                const phBounds& fat = broadPhase.GetFatBounds(id);
                const phBounds box{fat.lower + phVector(0.1f, 0.1f) + shift,
                                   fat.upper - phVector(0.1f, 0.1f) + shift};
                const int before = broadPhase.GetMoveCount();
                broadPhase.MoveProxy(id, box, shift);
                if (broadPhase.GetMoveCount() > before) {
                    moved.insert(id);
                }
            }
        }
        std::vector<std::pair<int, int>> got;
        broadPhase.UpdatePairs(
            [&](void* a, void* b) { got.emplace_back(*static_cast<int*>(a), *static_cast<int*>(b)); });
        std::vector<std::pair<int, int>> expected;
        for (size_t i = 0; i < ids.size(); ++i) {
            for (size_t j = i + 1; j < ids.size(); ++j) {
                if ((moved.count(ids[i]) || moved.count(ids[j])) &&
                    phTestOverlap(broadPhase.GetFatBounds(ids[i]), broadPhase.GetFatBounds(ids[j]))) {
                    expected.emplace_back(payload[i], payload[j]);
                }
            }
        }
        // Proxy ids equal the payload order here, so pairs come sorted by id.
        EXPECT_EQ(got, expected) << "round " << round;
        EXPECT_EQ(broadPhase.GetMoveCount(), 0);
    }
}

TEST(BroadPhaseTest, DestroyedProxyLeavesAHoleInTheMoveBuffer)
{
    phBroadPhase broadPhase;
    int a = 1, b = 2, c = 3;
    broadPhase.CreateProxy({{0.0f, 0.0f}, {1.0f, 1.0f}}, &a);
    const int32_t idB = broadPhase.CreateProxy({{0.5f, 0.5f}, {1.5f, 1.5f}}, &b);
    broadPhase.CreateProxy({{1.0f, 1.0f}, {2.0f, 2.0f}}, &c);
    broadPhase.DestroyProxy(idB);
    EXPECT_EQ(broadPhase.GetProxyCount(), 2);
    std::vector<std::pair<int, int>> got;
    broadPhase.UpdatePairs(
        [&](void* x, void* y) { got.emplace_back(*static_cast<int*>(x), *static_cast<int*>(y)); });
    EXPECT_EQ(got, (std::vector<std::pair<int, int>>{{1, 3}}));
    EXPECT_TRUE(broadPhase.TestOverlap(0, 2));
}
