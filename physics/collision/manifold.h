// Contact manifolds: up to two contact points of two shapes with a shared
// normal, in local coordinates so that the solver can follow the bodies.
#pragma once

#include "physics/collision/shape.h"
#include "physics/common/math.h"

#include <cstdint>

// The features (vertex or face of each shape) that produced a contact point.
struct phFeatureKey
{
    enum Type : uint8_t
    {
        vertex = 0,
        face = 1
    };

    uint8_t indexA = 0;
    uint8_t indexB = 0;
    uint8_t typeA = 0;
    uint8_t typeB = 0;

    // The four bytes as one key, indexA lowest.
    uint32_t GetKey() const
    {
        return static_cast<uint32_t>(indexA) | static_cast<uint32_t>(indexB) << 8 |
               static_cast<uint32_t>(typeA) << 16 | static_cast<uint32_t>(typeB) << 24;
    }
    // The same features seen from the other shape.
    phFeatureKey Swapped() const { return {indexB, indexA, typeB, typeA}; }
};

struct phManifoldPoint
{
    phVector localPoint;
    float normalImpulse = 0.0f;
    float tangentImpulse = 0.0f;
    phFeatureKey key;
};

struct phLocalManifold
{
    enum Type : int32_t
    {
        circles = 0,
        faceA = 1,
        faceB = 2
    };

    phManifoldPoint points[phMaxManifoldPoints];
    phVector localNormal;
    phVector localPoint;
    Type type = circles;
    int32_t pointCount = 0;
};

// A manifold in world space: normal from A to B, points midway between the two
// surfaces and their separations.
struct phGlobalManifold
{
    phVector normal;
    phVector points[phMaxManifoldPoints];
    float separations[phMaxManifoldPoints] = {};
};

void phCollideCircles(phLocalManifold* manifold, const phCircleShape* circleA, const phTransform& xfA,
                      const phCircleShape* circleB, const phTransform& xfB);
void phCollidePolygonAndCircle(phLocalManifold* manifold, const phPolygonShape* polygonA,
                               const phTransform& xfA, const phCircleShape* circleB, const phTransform& xfB);
void phCollidePolygons(phLocalManifold* manifold, const phPolygonShape* polygonA, const phTransform& xfA,
                       const phPolygonShape* polygonB, const phTransform& xfB);
void phCollideEdgeAndCircle(phLocalManifold* manifold, const phEdgeShape* edgeA, const phTransform& xfA,
                            const phCircleShape* circleB, const phTransform& xfB);
void phCollideEdgeAndPolygon(phLocalManifold* manifold, const phEdgeShape* edgeA, const phTransform& xfA,
                             const phPolygonShape* polygonB, const phTransform& xfB);

void phComputeWorldManifold(phGlobalManifold* world, const phLocalManifold& manifold, const phTransform& xfA,
                            float radiusA, const phTransform& xfB, float radiusB);

// A point of a segment being clipped, with the features it came from.
struct phClipVertex
{
    phVector v;
    phFeatureKey key;
};

// Keeps the part of the segment behind the plane normal . x = offset; returns the
// number of points written (a crossing gets the plane's vertex index).
int32_t phClipSegmentToLine(phClipVertex out[2], const phClipVertex in[2], const phVector& normal,
                            float offset, int32_t vertexIndexA);
