#include "physics/common/stack_allocator.h"
#include "physics/particles/voronoi_diagram.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <gtest/gtest.h>
#include <memory>
#include <set>
#include <vector>

namespace {

using Triple = std::array<int32_t, 3>;

class Collector final : public phVoronoiDiagram::NodeCallback
{
public:
    void operator()(int32_t a, int32_t b, int32_t c) override
    {
        Triple t = {a, b, c};
        std::sort(t.begin(), t.end());
        nodes.push_back(t);
    }
    std::vector<Triple> nodes;
};

struct Generator
{
    phVector p;
    bool necessary = true;
};

std::vector<Triple> Nodes(const std::vector<Generator>& generators, float radius, float margin)
{
    auto stack = std::make_unique<phStackAllocator>();
    Collector collector;
    {
        phVoronoiDiagram diagram(stack.get(), static_cast<int32_t>(generators.size()));
        for (size_t i = 0; i < generators.size(); ++i) {
            diagram.AddGenerator(generators[i].p, static_cast<int32_t>(i), generators[i].necessary);
        }
        diagram.Generate(radius, margin);
        diagram.GetNodes(collector);
    }
    EXPECT_EQ(stack->GetEntryCount(), 0); // every scratch block went back
    return collector.nodes;
}

std::set<Triple> Distinct(const std::vector<Triple>& nodes)
{
    return {nodes.begin(), nodes.end()};
}

} // namespace

TEST(VoronoiDiagramTest, SmallPointSets)
{
    const float h = std::sqrt(3.0f) / 2.0f;
    struct Case
    {
        const char* name;
        std::vector<Generator> generators;
        std::set<Triple> nodes;
    };
    const Case cases[] = {
        {"no generator", {}, {}},
        {"one generator", {{{0.0f, 0.0f}}}, {}},
        {"two generators", {{{0.0f, 0.0f}}, {{1.0f, 0.0f}}}, {}},
        {"collinear", {{{0.0f, 0.0f}}, {{1.0f, 0.0f}}, {{2.0f, 0.0f}}, {{3.0f, 0.0f}}}, {}},
        {"triangle", {{{0.0f, 0.0f}}, {{1.0f, 0.0f}}, {{0.5f, h}}}, {{0, 1, 2}}},
        // The short diagonal (2, 3) is the shared edge of the two triangles.
        {"rhombus",
         {{{0.0f, 0.0f}}, {{2.0f, 0.0f}}, {{1.0f, 0.5f}}, {{1.0f, -0.5f}}},
         {{0, 2, 3}, {1, 2, 3}}},
        {"triangle of unnecessary generators",
         {{{0.0f, 0.0f}, false}, {{1.0f, 0.0f}, false}, {{0.5f, h}, false}},
         {}},
        {"one necessary generator is enough",
         {{{0.0f, 0.0f}, true}, {{1.0f, 0.0f}, false}, {{0.5f, h}, false}},
         {{0, 1, 2}}},
    };
    // Of two triangles, only the one with a necessary corner is a node.
    const std::vector<Generator> two = {
        {{0.0f, 0.0f}, true}, {{1.0f, 0.0f}, false}, {{2.0f, 0.0f}, false}, {{1.5f, h}, false}};
    EXPECT_EQ(Distinct(Nodes(two, 0.05f, 2.0f)), (std::set<Triple>{{0, 1, 3}}));
    // Only generators within the margin of a necessary one take part.
    const std::vector<Generator> far = {{{0.0f, 0.0f}, true}, {{1.0f, 0.0f}, false}, {{0.5f, h}, false}};
    EXPECT_TRUE(Nodes(far, 0.05f, 0.5f).empty());
    for (const Case& c : cases) {
        EXPECT_EQ(Distinct(Nodes(c.generators, 0.05f, 2.0f)), c.nodes) << c.name;
    }
}

// A triangular lattice of n rows of m points, odd rows shifted by half a
// spacing: 2 (n - 1)(m - 1) unit triangles, plus one triangle with a side of
// sqrt(3) spacings in each of the n - 2 notches of the zigzag sides.
TEST(VoronoiDiagramTest, TriangularLattice)
{
    const int n = 7;
    const int m = 9;
    const float spacing = 1.0f;
    std::vector<Generator> generators;
    for (int row = 0; row < n; ++row) {
        for (int column = 0; column < m; ++column) {
            const float shift = static_cast<float>(row % 2) * 0.5f * spacing;
            generators.push_back({{shift + spacing * static_cast<float>(column),
                                   spacing * std::sqrt(3.0f) / 2.0f * static_cast<float>(row)}});
        }
    }
    const std::set<Triple> triangles = Distinct(Nodes(generators, 0.5f * spacing, 2.0f * spacing));
    EXPECT_EQ(triangles.size(), static_cast<size_t>(2 * (n - 1) * (m - 1) + (n - 2)));
    int notches = 0;
    for (const Triple& t : triangles) {
        int longSides = 0;
        for (int k = 0; k < 3; ++k) {
            const float d = phDistance(generators[t[k]].p, generators[t[(k + 1) % 3]].p);
            if (std::fabs(d - std::sqrt(3.0f) * spacing) < 1e-4f) {
                ++longSides;
            } else {
                EXPECT_NEAR(d, spacing, 1e-4f) << t[0] << " " << t[1] << " " << t[2];
            }
        }
        EXPECT_LE(longSides, 1);
        notches += longSides;
    }
    EXPECT_EQ(notches, n - 2);
}
