#include "physics/collision/manifold.h"

void phCollideCircles(phLocalManifold* manifold, const phCircleShape* circleA, const phTransform& xfA,
                      const phCircleShape* circleB, const phTransform& xfB)
{
    manifold->pointCount = 0;
    const phVector pA = phMul(xfA, circleA->m_p);
    const phVector pB = phMul(xfB, circleB->m_p);
    const float radius = circleA->m_radius + circleB->m_radius;
    if (phDistanceSquared(pB, pA) > radius * radius) {
        return;
    }
    manifold->type = phLocalManifold::circles;
    manifold->localPoint = circleA->m_p;
    manifold->localNormal.SetZero();
    manifold->pointCount = 1;
    manifold->points[0].localPoint = circleB->m_p;
    manifold->points[0].key = {};
}

void phCollidePolygonAndCircle(phLocalManifold* manifold, const phPolygonShape* polygonA,
                               const phTransform& xfA, const phCircleShape* circleB, const phTransform& xfB)
{
    manifold->pointCount = 0;
    // The circle's centre in the polygon's frame.
    const phVector c = phMulT(xfA, phMul(xfB, circleB->m_p));
    const float radius = polygonA->m_radius + circleB->m_radius;
    const int32_t count = polygonA->m_count;
    const phVector* const vertices = polygonA->m_vertices;
    const phVector* const normals = polygonA->m_normals;

    int32_t normalIndex = 0;
    float separation = -phMaxFloat;
    for (int32_t i = 0; i < count; ++i) {
        const float s = phDot(normals[i], c - vertices[i]);
        if (s > radius) {
            return;
        }
        if (s > separation) {
            separation = s;
            normalIndex = i;
        }
    }

    const phVector v1 = vertices[normalIndex];
    const phVector v2 = vertices[normalIndex + 1 < count ? normalIndex + 1 : 0];

    auto setFace = [&](const phVector& normal, const phVector& point) {
        manifold->pointCount = 1;
        manifold->type = phLocalManifold::faceA;
        manifold->localNormal = normal;
        manifold->localPoint = point;
        manifold->points[0].localPoint = circleB->m_p;
        manifold->points[0].key = {};
    };

    if (separation < phEpsilon) {
        // The centre is inside the polygon.
        setFace(normals[normalIndex], 0.5f * (v1 + v2));
        return;
    }

    const float u1 = phDot(c - v1, v2 - v1);
    const float u2 = phDot(c - v2, v1 - v2);
    if (u1 <= 0.0f || u2 <= 0.0f) {
        const phVector corner = u1 <= 0.0f ? v1 : v2;
        if (phDistanceSquared(c, corner) > radius * radius) {
            return;
        }
        phVector normal = c - corner;
        normal.Normalize();
        setFace(normal, corner);
        return;
    }
    const phVector faceCenter = 0.5f * (v1 + v2);
    if (phDot(c - faceCenter, normals[normalIndex]) > radius) {
        return;
    }
    setFace(normals[normalIndex], faceCenter);
}
