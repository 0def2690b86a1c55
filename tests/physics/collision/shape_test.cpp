#include "physics/collision/shape.h"
#include "physics/common/allocation.h"
#include "physics/common/block_allocator.h"
#include "tests/physics/shapes.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace phtest;

namespace {
const phTransform identity;
phTransform At(float x, float y, float angle)
{
    return phTransform(phVector(x, y), phRotation(angle));
}
} // namespace

TEST(ShapeTest, PointTests)
{
    const phCircleShape circle = MakeCircle(1.0f, {1.0f, 0.0f});
    const phPolygonShape box = MakeBox(1.0f, 2.0f);
    const phEdgeShape edge = MakeEdge({0.0f, 0.0f}, {2.0f, 0.0f});
    const struct
    {
        const phShape* shape;
        phTransform xf;
        phVector point;
        bool inside;
    } cases[] = {
        {&circle, identity, {2.0f, 0.0f}, true},             // on the rim
        {&circle, identity, {2.01f, 0.0f}, false},           // just outside
        {&circle, At(1.0f, 1.0f, 0.0f), {2.0f, 1.0f}, true}, // centre moved with the body
        {&box, identity, {1.0f, 0.5f}, true},                // on a face
        {&box, identity, {1.0f, 2.0f}, true},                // on a corner
        {&box, identity, {1.001f, 0.0f}, false},
        {&box, At(0.0f, 0.0f, phPi / 2.0f), {1.5f, 0.0f}, true}, // rotated: long side along x
        {&box, At(0.0f, 0.0f, phPi / 2.0f), {0.0f, 1.5f}, false},
        {&edge, identity, {1.0f, 0.0f}, false}, // an edge contains nothing
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.shape->TestPoint(c.xf, c.point), c.inside) << c.point.x << "," << c.point.y;
    }
}

TEST(ShapeTest, Distances)
{
    float distance = 0.0f;
    phVector normal;

    const phCircleShape circle = MakeCircle(1.0f);
    circle.ComputeDistance(identity, {3.0f, 4.0f}, &distance, &normal, 0);
    EXPECT_FLOAT_EQ(distance, 4.0f);
    EXPECT_FLOAT_EQ(normal.x, 0.6f);
    // The exact centre gets a fixed unit normal, not a division by zero.
    circle.ComputeDistance(identity, {0.0f, 0.0f}, &distance, &normal, 0);
    EXPECT_FLOAT_EQ(distance, -1.0f);
    EXPECT_EQ(normal, phVector(1.0f, 0.0f));

    const phEdgeShape edge = MakeEdge({0.0f, 0.0f}, {2.0f, 0.0f});
    edge.ComputeDistance(identity, {1.0f, 3.0f}, &distance, &normal, 0);
    EXPECT_FLOAT_EQ(distance, 3.0f);
    EXPECT_EQ(normal, phVector(0.0f, 1.0f));
    edge.ComputeDistance(identity, {5.0f, 4.0f}, &distance, &normal, 0);
    EXPECT_FLOAT_EQ(distance, 5.0f);
    edge.ComputeDistance(identity, {1.0f, 0.0f}, &distance, &normal, 0);
    EXPECT_EQ(distance, 0.0f);
    EXPECT_EQ(normal, phVector());

    const phPolygonShape box = MakeBox(1.0f, 1.0f);
    box.ComputeDistance(identity, {0.5f, 0.0f}, &distance, &normal, 0);
    EXPECT_FLOAT_EQ(distance, -0.5f);
    EXPECT_EQ(normal, phVector(1.0f, 0.0f));
    box.ComputeDistance(identity, {0.5f, 3.0f}, &distance, &normal, 0);
    EXPECT_FLOAT_EQ(distance, 2.0f);
    EXPECT_EQ(normal, phVector(0.0f, 1.0f));
    // Off a corner the result is the largest face separation (a lower bound).
    box.ComputeDistance(identity, {4.0f, 5.0f}, &distance, &normal, 0);
    EXPECT_FLOAT_EQ(distance, 4.0f);
    EXPECT_EQ(normal, phVector(0.0f, 1.0f));
    box.ComputeDistance(At(0.0f, 0.0f, phPi), {0.0f, 3.0f}, &distance, &normal, 0);
    EXPECT_NEAR(distance, 2.0f, 1e-6f);
    EXPECT_NEAR(normal.y, 1.0f, 1e-6f);
}

TEST(ShapeTest, RayCasts)
{
    const phCircleShape circle = MakeCircle(1.0f);
    const phEdgeShape edge = MakeEdge({0.0f, -1.0f}, {0.0f, 1.0f});
    const phPolygonShape box = MakeBox(1.0f, 1.0f);
    const struct
    {
        const char* name;
        const phShape* shape;
        phRayQuery ray;
        bool hit;
        float fraction;
        phVector normal;
    } cases[] = {
        {"circle head-on", &circle, {{-3.0f, 0.0f}, {1.0f, 0.0f}, 1.0f}, true, 0.5f, {-1.0f, 0.0f}},
        {"circle too short", &circle, {{-3.0f, 0.0f}, {1.0f, 0.0f}, 0.4f}, false, 0, {}},
        {"circle from inside", &circle, {{0.0f, 0.0f}, {3.0f, 0.0f}, 1.0f}, false, 0, {}},
        {"circle missed", &circle, {{-3.0f, 2.0f}, {3.0f, 2.0f}, 1.0f}, false, 0, {}},
        {"edge front", &edge, {{-2.0f, 0.0f}, {2.0f, 0.0f}, 1.0f}, true, 0.5f, {-1.0f, 0.0f}},
        {"edge back", &edge, {{2.0f, 0.5f}, {-2.0f, 0.5f}, 1.0f}, true, 0.5f, {1.0f, 0.0f}},
        {"edge parallel", &edge, {{0.0f, -3.0f}, {0.0f, 3.0f}, 1.0f}, false, 0, {}},
        {"edge past end", &edge, {{-2.0f, 1.5f}, {2.0f, 1.5f}, 1.0f}, false, 0, {}},
        {"box face", &box, {{0.0f, 5.0f}, {0.0f, -5.0f}, 1.0f}, true, 0.4f, {0.0f, 1.0f}},
        {"box parallel outside", &box, {{-5.0f, 2.0f}, {5.0f, 2.0f}, 1.0f}, false, 0, {}},
        {"box from inside", &box, {{0.0f, 0.0f}, {5.0f, 0.0f}, 1.0f}, false, 0, {}},
        {"box short of it", &box, {{-5.0f, 0.0f}, {-3.0f, 0.0f}, 1.0f}, false, 0, {}},
    };
    for (const auto& c : cases) {
        phRayHit hit;
        ASSERT_EQ(c.shape->RayCast(&hit, c.ray, identity, 0), c.hit) << c.name;
        if (c.hit) {
            EXPECT_NEAR(hit.fraction, c.fraction, 1e-6f) << c.name;
            EXPECT_NEAR(hit.normal.x, c.normal.x, 1e-6f) << c.name;
            EXPECT_NEAR(hit.normal.y, c.normal.y, 1e-6f) << c.name;
        }
    }
    // The same ray against a moved and turned box.
    phRayHit hit;
    ASSERT_TRUE(box.RayCast(&hit, {{10.0f, 5.0f}, {10.0f, -5.0f}, 1.0f}, At(10.0f, 0.0f, phPi / 4.0f), 0));
    EXPECT_NEAR(hit.fraction, (5.0f - std::sqrt(2.0f)) / 10.0f, 1e-5f);
}

TEST(ShapeTest, Bounds)
{
    phBounds box;
    MakeCircle(0.5f, {1.0f, 0.0f}).ComputeBounds(&box, At(1.0f, 1.0f, phPi / 2.0f), 0);
    EXPECT_NEAR(box.lower.x, 0.5f, 1e-6f);
    EXPECT_NEAR(box.upper.y, 2.5f, 1e-6f);

    MakeEdge({0.0f, 0.0f}, {2.0f, -1.0f}).ComputeBounds(&box, identity, 0);
    EXPECT_FLOAT_EQ(box.lower.y, -1.0f - phPolygonRadius);
    EXPECT_FLOAT_EQ(box.upper.x, 2.0f + phPolygonRadius);

    MakeBox(1.0f, 2.0f).ComputeBounds(&box, At(0.0f, 0.0f, phPi / 2.0f), 0);
    EXPECT_NEAR(box.upper.x, 2.0f + phPolygonRadius, 1e-6f);
    EXPECT_NEAR(box.upper.y, 1.0f + phPolygonRadius, 1e-6f);
}

TEST(ShapeTest, MassProperties)
{
    phMassProperties mass;
    MakeBox(1.0f, 2.0f).ComputeMass(&mass, 3.0f);
    EXPECT_FLOAT_EQ(mass.mass, 24.0f);
    EXPECT_NEAR(mass.I, 40.0f, 1e-4f); // m (w^2 + h^2) / 12 = 24 * 20 / 12
    EXPECT_NEAR(mass.center.Length(), 0.0f, 1e-6f);

    // A right triangle: area 2, centroid (2/3, 2/3).
    const phPolygonShape triangle = MakePolygon({{0.0f, 0.0f}, {2.0f, 0.0f}, {0.0f, 2.0f}});
    triangle.ComputeMass(&mass, 1.0f);
    EXPECT_FLOAT_EQ(mass.mass, 2.0f);
    EXPECT_NEAR(mass.center.x, 2.0f / 3.0f, 1e-6f);
    EXPECT_NEAR(mass.center.y, 2.0f / 3.0f, 1e-6f);
    // Inertia about the origin: integral of x^2 + y^2 over the triangle = 8/3.
    EXPECT_NEAR(mass.I, 8.0f / 3.0f, 1e-5f);

    // Collinear vertices have no area: a defined, finite result.
    phPolygonShape flat = MakeBox(1.0f, 1.0f);
    flat.m_vertices[0] = {0.0f, 0.0f};
    flat.m_vertices[1] = {1.0f, 0.0f};
    flat.m_vertices[2] = {2.0f, 0.0f};
    flat.m_vertices[3] = {3.0f, 0.0f};
    flat.ComputeMass(&mass, 2.0f);
    EXPECT_EQ(mass.mass, 0.0f);
    EXPECT_FLOAT_EQ(mass.center.x, 1.5f);
    EXPECT_EQ(mass.center.y, 0.0f);
    EXPECT_TRUE(std::isfinite(mass.I));

    MakeCircle(2.0f, {1.0f, 0.0f}).ComputeMass(&mass, 0.5f);
    EXPECT_FLOAT_EQ(mass.mass, 0.5f * phPi * 4.0f);
    EXPECT_FLOAT_EQ(mass.I, mass.mass * (0.5f * 4.0f + 1.0f));

    MakeEdge({0.0f, 0.0f}, {2.0f, 2.0f}).ComputeMass(&mass, 5.0f);
    EXPECT_EQ(mass.mass, 0.0f);
    EXPECT_EQ(mass.center, phVector(1.0f, 1.0f));
}

TEST(ShapeTest, ClonesLiveInTheBlockAllocator)
{
    const int32_t before = phGetAllocationCount();
    {
        phBlockAllocator allocator;
        const phPolygonShape box = MakeBox(1.0f, 2.0f);
        phShape* const clone = box.Clone(&allocator);
        ASSERT_EQ(clone->GetKind(), phShape::polygon);
        const auto* const polygon = static_cast<const phPolygonShape*>(clone);
        EXPECT_EQ(polygon->m_count, 4);
        EXPECT_EQ(polygon->m_vertices[2], phVector(1.0f, 2.0f));
        EXPECT_EQ(polygon->m_radius, phPolygonRadius);
        phShape::DestroyClone(clone, &allocator);
        // The block went back to its class: the next clone reuses it.
        phShape* const again = box.Clone(&allocator);
        EXPECT_EQ(again, clone);
        phShape::DestroyClone(again, &allocator);

        const phEdgeShape edge = MakeEdge({1.0f, 2.0f}, {3.0f, 4.0f});
        phShape* const edgeClone = edge.Clone(&allocator);
        EXPECT_EQ(static_cast<phEdgeShape*>(edgeClone)->m_vertex2, phVector(3.0f, 4.0f));
        EXPECT_EQ(edgeClone->GetChildCount(), 1);
        phShape::DestroyClone(edgeClone, &allocator);
    }
    EXPECT_EQ(phGetAllocationCount(), before);
}
