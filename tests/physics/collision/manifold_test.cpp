#include "physics/collision/manifold.h"
#include "tests/physics/shapes.h"

#include <cmath>
#include <gtest/gtest.h>
#include <string>

using namespace phtest;

namespace {

phTransform At(float x, float y, float angle = 0.0f)
{
    return phTransform(phVector(x, y), phRotation(angle));
}

void Collide(phLocalManifold* m, const phShape& a, const phTransform& xfA, const phShape& b,
             const phTransform& xfB)
{
    using K = phShape::Kind;
    const K ka = a.GetKind();
    const K kb = b.GetKind();
    if (ka == K::circle && kb == K::circle) {
        phCollideCircles(m, static_cast<const phCircleShape*>(&a), xfA, static_cast<const phCircleShape*>(&b),
                         xfB);
    } else if (ka == K::polygon && kb == K::circle) {
        phCollidePolygonAndCircle(m, static_cast<const phPolygonShape*>(&a), xfA,
                                  static_cast<const phCircleShape*>(&b), xfB);
    } else if (ka == K::polygon && kb == K::polygon) {
        phCollidePolygons(m, static_cast<const phPolygonShape*>(&a), xfA,
                          static_cast<const phPolygonShape*>(&b), xfB);
    } else if (ka == K::edge && kb == K::circle) {
        phCollideEdgeAndCircle(m, static_cast<const phEdgeShape*>(&a), xfA,
                               static_cast<const phCircleShape*>(&b), xfB);
    } else if (ka == K::edge && kb == K::polygon) {
        phCollideEdgeAndPolygon(m, static_cast<const phEdgeShape*>(&a), xfA,
                                static_cast<const phPolygonShape*>(&b), xfB);
    } else {
        FAIL() << "no routine for this pair";
    }
}

phEdgeShape EdgeWithNext(phVector a, phVector b, phVector next)
{
    phEdgeShape edge = MakeEdge(a, b);
    edge.m_vertex3 = next;
    edge.m_hasVertex3 = true;
    return edge;
}

} // namespace

TEST(ManifoldTest, TableOfShapePairs)
{
    const phCircleShape unitCircle = MakeCircle(1.0f);
    const phCircleShape smallCircle = MakeCircle(0.5f);
    const phCircleShape tinyCircle = MakeCircle(0.1f);
    const phPolygonShape unitBox = MakeBox(1.0f, 1.0f);
    const phPolygonShape halfBox = MakeBox(0.5f, 0.5f);
    const phEdgeShape longEdge = MakeEdge({-5.0f, 0.0f}, {5.0f, 0.0f});
    const phEdgeShape shortEdge = MakeEdge({-2.0f, 0.0f}, {2.0f, 0.0f});
    const phEdgeShape chained = EdgeWithNext({-2.0f, 0.0f}, {2.0f, 0.0f}, {4.0f, 0.0f});
    const phEdgeShape unitEdge = MakeEdge({-1.0f, 0.0f}, {1.0f, 0.0f});
    // The same floor with level neighbours on both sides: one piece of a longer floor.
    phEdgeShape seamed = shortEdge;
    seamed.m_vertex0 = {-4.0f, 0.0f};
    seamed.m_hasVertex0 = true;
    seamed.m_vertex3 = {4.0f, 0.0f};
    seamed.m_hasVertex3 = true;
    const float skin = phPolygonRadius;
    const float diag = std::sqrt(2.0f);
    const float tiltedLow =
        0.5f * (std::cos(0.3f) + std::sin(0.3f)); // lowest corner of halfBox turned by 0.3

    const struct
    {
        std::string name;
        const phShape& a;
        phTransform xfA;
        const phShape& b;
        phTransform xfB;
        int32_t points;
        phLocalManifold::Type type;
        phVector normal;  // world normal from A to B
        float separation; // analytic gap between the surfaces (skins included)
    } cases[] = {
        {"circles overlap",
         unitCircle,
         At(0, 0),
         unitCircle,
         At(1.5f, 0),
         1,
         phLocalManifold::circles,
         {1, 0},
         -0.5f},
        {"circles apart", unitCircle, At(0, 0), unitCircle, At(2.5f, 0), 0, {}, {}, 0},
        {"circles coincide",
         unitCircle,
         At(3, 3),
         unitCircle,
         At(3, 3),
         1,
         phLocalManifold::circles,
         {1, 0},
         -2.0f},
        {"circles vertical",
         unitCircle,
         At(0, 0),
         smallCircle,
         At(0, -1.2f),
         1,
         phLocalManifold::circles,
         {0, -1},
         -0.3f},
        {"box circle face",
         unitBox,
         At(0, 0),
         smallCircle,
         At(1.3f, 0),
         1,
         phLocalManifold::faceA,
         {1, 0},
         0.3f - 0.5f - skin},
        {"box circle corner",
         unitBox,
         At(0, 0),
         smallCircle,
         At(1.3f, 1.3f),
         1,
         phLocalManifold::faceA,
         {1 / diag, 1 / diag},
         0.3f * diag - 0.5f - skin},
        {"box circle centre inside",
         unitBox,
         At(0, 0),
         tinyCircle,
         At(0.5f, 0.2f),
         1,
         phLocalManifold::faceA,
         {1, 0},
         -0.5f - 0.1f - skin},
        {"box circle apart", unitBox, At(0, 0), smallCircle, At(2.0f, 0), 0, {}, {}, 0},
        {"turned box circle",
         unitBox,
         At(0, 0, phPi / 4),
         smallCircle,
         At(0, diag + 0.4f),
         1,
         phLocalManifold::faceA,
         {0, 1},
         0.4f - 0.5f - skin},
        {"box on box",
         unitBox,
         At(0, 0),
         unitBox,
         At(0.5f, 1.99f),
         2,
         phLocalManifold::faceA,
         {0, 1},
         -0.01f - 2 * skin},
        {"boxes apart", unitBox, At(0, 0), unitBox, At(0, 2.1f), 0, {}, {}, 0},
        {"boxes side by side use A",
         unitBox,
         At(0, 0),
         unitBox,
         At(1.99f, 0),
         2,
         phLocalManifold::faceA,
         {1, 0},
         -0.01f - 2 * skin},
        {"tilted box corner on big box",
         halfBox,
         At(0, 0, 0.3f),
         unitBox,
         At(0.2f, -tiltedLow - 1 + 0.01f),
         1,
         phLocalManifold::faceB,
         {0, -1},
         -0.01f - 2 * skin},
        {"corner into face",
         unitBox,
         At(0, 0),
         halfBox,
         At(0, 1 + 0.5f * diag - 0.05f, phPi / 4),
         1,
         phLocalManifold::faceA,
         {0, 1},
         -0.05f - 2 * skin},
        {"edge circle face",
         shortEdge,
         At(0, 0),
         smallCircle,
         At(0, 0.4f),
         1,
         phLocalManifold::faceA,
         {0, 1},
         0.4f - 0.5f - skin},
        {"edge circle below",
         shortEdge,
         At(0, 0),
         smallCircle,
         At(1, -0.45f),
         1,
         phLocalManifold::faceA,
         {0, -1},
         0.45f - 0.5f - skin},
        {"edge circle end a",
         shortEdge,
         At(0, 0),
         smallCircle,
         At(-2.3f, 0),
         1,
         phLocalManifold::circles,
         {-1, 0},
         0.3f - 0.5f - skin},
        {"edge circle end b",
         shortEdge,
         At(0, 0),
         smallCircle,
         At(2.3f, 0),
         1,
         phLocalManifold::circles,
         {1, 0},
         0.3f - 0.5f - skin},
        {"edge circle end owned by neighbour", chained, At(0, 0), smallCircle, At(2.3f, 0), 0, {}, {}, 0},
        {"moved edge circle",
         shortEdge,
         At(10, 5, phPi / 2),
         smallCircle,
         At(9.6f, 5),
         1,
         phLocalManifold::faceA,
         {-1, 0},
         0.4f - 0.5f - skin},
        {"edge box front",
         longEdge,
         At(0, 0),
         halfBox,
         At(0, 0.49f),
         2,
         phLocalManifold::faceA,
         {0, 1},
         -0.01f - 2 * skin},
        {"edge box back",
         longEdge,
         At(0, 0),
         halfBox,
         At(1, -0.49f),
         2,
         phLocalManifold::faceA,
         {0, -1},
         -0.01f - 2 * skin},
        {"edge box apart", longEdge, At(0, 0), halfBox, At(0, 0.6f), 0, {}, {}, 0},
        // A box 0.02 into the floor, its left side 0.01 past the edge's end: a
        // lone edge pushes it sideways off its end, a piece of a longer floor
        // pushes it up (the neighbour carries on under the box).
        {"box at a lone edge's end",
         shortEdge,
         At(0, 0),
         halfBox,
         At(2.49f, 0.48f),
         1,
         phLocalManifold::faceB,
         {1, 0},
         -0.01f - 2 * skin},
        {"box at a seam of a longer floor",
         seamed,
         At(0, 0),
         halfBox,
         At(2.49f, 0.48f),
         2,
         phLocalManifold::faceA,
         {0, 1},
         -0.02f - 2 * skin},
        {"edge end into box side",
         unitEdge,
         At(0, 0),
         halfBox,
         At(1.49f, 0),
         1,
         phLocalManifold::faceB,
         {1, 0},
         -0.01f - 2 * skin},
    };

    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        phLocalManifold manifold;
        manifold.pointCount = 99;
        Collide(&manifold, c.a, c.xfA, c.b, c.xfB);
        ASSERT_EQ(manifold.pointCount, c.points);
        if (c.points == 0) {
            continue;
        }
        EXPECT_EQ(manifold.type, c.type);
        phGlobalManifold world;
        phComputeWorldManifold(&world, manifold, c.xfA, c.a.m_radius, c.xfB, c.b.m_radius);
        EXPECT_NEAR(world.normal.x, c.normal.x, 1e-5f);
        EXPECT_NEAR(world.normal.y, c.normal.y, 1e-5f);
        for (int32_t i = 0; i < manifold.pointCount; ++i) {
            EXPECT_NEAR(world.separations[i], c.separation, 1e-5f) << "point " << i;
        }
    }
}

TEST(ManifoldTest, WorldPointsLieBetweenTheSurfaces)
{
    // A box resting on a box: the world points sit midway in the overlap.
    const phPolygonShape box = MakeBox(1.0f, 1.0f);
    phLocalManifold manifold;
    phCollidePolygons(&manifold, &box, At(0, 0), &box, At(0.5f, 1.99f));
    ASSERT_EQ(manifold.pointCount, 2);
    phGlobalManifold world;
    phComputeWorldManifold(&world, manifold, At(0, 0), box.m_radius, At(0.5f, 1.99f), box.m_radius);
    const float xs[2] = {world.points[0].x, world.points[1].x};
    EXPECT_NEAR(std::min(xs[0], xs[1]), -0.5f, 1e-5f);
    // Clipping keeps a skin-wide margin past the reference face's end.
    EXPECT_NEAR(std::max(xs[0], xs[1]), 1.0f + 2.0f * phPolygonRadius, 1e-5f);
    for (const phVector& p : world.points) {
        EXPECT_NEAR(p.y, 0.5f * (1.0f + phPolygonRadius + 0.99f - phPolygonRadius), 1e-5f);
    }
}

TEST(ManifoldTest, ResultingKeysStayStableAsBoxesSettle)
{
    const phPolygonShape box = MakeBox(1.0f, 1.0f);
    phLocalManifold first;
    phLocalManifold second;
    phCollidePolygons(&first, &box, At(0, 0), &box, At(0.3f, 1.995f));
    phCollidePolygons(&second, &box, At(0, 0), &box, At(0.31f, 1.99f, 0.002f));
    ASSERT_EQ(first.pointCount, 2);
    ASSERT_EQ(second.pointCount, 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(first.points[i].key.GetKey(), second.points[i].key.GetKey());
    }
    EXPECT_NE(first.points[0].key.GetKey(), first.points[1].key.GetKey());
}

TEST(ManifoldTest, NoPointsLeavesTheRestUntouched)
{
    const phCircleShape circle = MakeCircle(1.0f);
    phLocalManifold manifold;
    manifold.localPoint = {7.0f, 7.0f};
    phCollideCircles(&manifold, &circle, At(0, 0), &circle, At(5, 0));
    EXPECT_EQ(manifold.pointCount, 0);
    EXPECT_EQ(manifold.localPoint, phVector(7.0f, 7.0f));

    phGlobalManifold world;
    world.normal = {3.0f, 3.0f};
    phComputeWorldManifold(&world, manifold, At(0, 0), 1.0f, At(5, 0), 1.0f);
    EXPECT_EQ(world.normal, phVector(3.0f, 3.0f));
}

TEST(ManifoldTest, FeatureKeyPacksBytesLowestFirst)
{
    const phFeatureKey key{1, 2, phFeatureKey::face, phFeatureKey::vertex};
    EXPECT_EQ(key.GetKey(), 0x00010201u);
    EXPECT_EQ(key.Swapped().GetKey(), 0x01000102u);
}
