// The geometry of a fixture: circles, edges and convex polygons.
#pragma once

#include "physics/common/math.h"

#include <cstdint>

class phBlockAllocator;

// A ray from start to end, cut at maxFraction of its length.
struct phRayQuery
{
    phVector start;
    phVector end;
    float maxFraction = 1.0f;
};

// Where a ray hits: the surface normal and the fraction along the ray.
struct phRayHit
{
    phVector normal;
    float fraction = 0.0f;
};

struct phMassProperties
{
    float mass = 0.0f;
    phVector center; // body coordinates
    float I = 0.0f;  // rotational inertia about the body origin
};

class phShape
{
public:
    enum Kind : int32_t
    {
        circle = 0,
        edge = 1,
        polygon = 2,
        chain = 3,
        kindCount = 4
    };

    phShape(Kind kind, float radius) : m_kind(kind), m_radius(radius) {}
    virtual ~phShape() = default;

    // A copy of this shape in the given allocator.
    virtual phShape* Clone(phBlockAllocator* allocator) const = 0;
    virtual int32_t GetChildCount() const = 0;
    // Whether the world point lies inside; points on the boundary are inside.
    virtual bool TestPoint(const phTransform& xf, const phVector& point) const = 0;
    // Signed distance from the surface to the world point and the direction away
    // from the shape.
    virtual void ComputeDistance(const phTransform& xf, const phVector& point, float* distance,
                                 phVector* normal, int32_t childIndex) const = 0;
    virtual bool RayCast(phRayHit* hit, const phRayQuery& query, const phTransform& xf,
                         int32_t childIndex) const = 0;
    virtual void ComputeBounds(phBounds* bounds, const phTransform& xf, int32_t childIndex) const = 0;
    virtual void ComputeMass(phMassProperties* mass, float density) const = 0;

    Kind GetKind() const { return m_kind; }

    // Destroys a clone made by Clone and returns its block to the allocator.
    static void DestroyClone(phShape* shape, phBlockAllocator* allocator);

    Kind m_kind;
    float m_radius;

protected:
    phShape(const phShape&) = default;
    phShape& operator=(const phShape&) = default;
};

class phCircleShape final : public phShape
{
public:
    phCircleShape() : phShape(circle, 0.0f) {}

    phShape* Clone(phBlockAllocator* allocator) const override;
    int32_t GetChildCount() const override { return 1; }
    bool TestPoint(const phTransform& xf, const phVector& point) const override;
    void ComputeDistance(const phTransform& xf, const phVector& point, float* distance, phVector* normal,
                         int32_t childIndex) const override;
    bool RayCast(phRayHit* hit, const phRayQuery& query, const phTransform& xf,
                 int32_t childIndex) const override;
    void ComputeBounds(phBounds* bounds, const phTransform& xf, int32_t childIndex) const override;
    void ComputeMass(phMassProperties* mass, float density) const override;

    phVector m_p; // centre in body coordinates
};

// A line segment, with optional neighbour vertices that smooth collisions along a
// chain of edges.
class phEdgeShape final : public phShape
{
public:
    phEdgeShape() : phShape(edge, phPolygonRadius) {}

    void Set(const phVector& v1, const phVector& v2)
    {
        m_vertex1 = v1;
        m_vertex2 = v2;
        m_hasVertex0 = false;
        m_hasVertex3 = false;
    }

    phShape* Clone(phBlockAllocator* allocator) const override;
    int32_t GetChildCount() const override { return 1; }
    bool TestPoint(const phTransform& xf, const phVector& point) const override;
    void ComputeDistance(const phTransform& xf, const phVector& point, float* distance, phVector* normal,
                         int32_t childIndex) const override;
    bool RayCast(phRayHit* hit, const phRayQuery& query, const phTransform& xf,
                 int32_t childIndex) const override;
    void ComputeBounds(phBounds* bounds, const phTransform& xf, int32_t childIndex) const override;
    void ComputeMass(phMassProperties* mass, float density) const override;

    phVector m_vertex1, m_vertex2;
    phVector m_vertex0, m_vertex3;
    bool m_hasVertex0 = false;
    bool m_hasVertex3 = false;
};

// A convex polygon of up to 8 vertices, wound counter-clockwise.
class phPolygonShape final : public phShape
{
public:
    phPolygonShape() : phShape(polygon, phPolygonRadius) {}

    // A box of half extents hx and hy centred on the body origin.
    void SetAsBox(float hx, float hy);

    phShape* Clone(phBlockAllocator* allocator) const override;
    int32_t GetChildCount() const override { return 1; }
    bool TestPoint(const phTransform& xf, const phVector& point) const override;
    void ComputeDistance(const phTransform& xf, const phVector& point, float* distance, phVector* normal,
                         int32_t childIndex) const override;
    bool RayCast(phRayHit* hit, const phRayQuery& query, const phTransform& xf,
                 int32_t childIndex) const override;
    void ComputeBounds(phBounds* bounds, const phTransform& xf, int32_t childIndex) const override;
    void ComputeMass(phMassProperties* mass, float density) const override;

    phVector m_centroid;
    phVector m_vertices[phMaxPolygonVertices];
    phVector m_normals[phMaxPolygonVertices]; // normal i belongs to the edge from vertex i to vertex i+1
    int32_t m_count = 0;
};
