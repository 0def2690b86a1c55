#include "physics/collision/manifold.h"

void phCollideEdgeAndCircle(phLocalManifold* manifold, const phEdgeShape* edgeA, const phTransform& xfA,
                            const phCircleShape* circleB, const phTransform& xfB)
{
    manifold->pointCount = 0;
    const phVector q = phMulT(xfA, phMul(xfB, circleB->m_p));
    const phVector a = edgeA->m_vertex1;
    const phVector b = edgeA->m_vertex2;
    const phVector e = b - a;
    const float u = phDot(e, b - q);
    const float v = phDot(e, q - a);
    const float radius = edgeA->m_radius + circleB->m_radius;

    auto setVertex = [&](const phVector& p, uint8_t indexA) {
        manifold->pointCount = 1;
        manifold->type = phLocalManifold::circles;
        manifold->localNormal.SetZero();
        manifold->localPoint = p;
        manifold->points[0].key = {indexA, 0, phFeatureKey::vertex, phFeatureKey::vertex};
        manifold->points[0].localPoint = circleB->m_p;
    };

    if (v <= 0.0f) {
        // Region of a: a neighbour edge before a owns it when it faces the circle.
        if (phDistanceSquared(q, a) > radius * radius) {
            return;
        }
        if (edgeA->m_hasVertex0 && phDot(a - edgeA->m_vertex0, a - q) > 0.0f) {
            return;
        }
        setVertex(a, 0);
        return;
    }
    if (u <= 0.0f) {
        if (phDistanceSquared(q, b) > radius * radius) {
            return;
        }
        if (edgeA->m_hasVertex3 && phDot(edgeA->m_vertex3 - b, q - b) > 0.0f) {
            return;
        }
        setVertex(b, 1);
        return;
    }

    const float den = phDot(e, e);
    const phVector p = (1.0f / den) * (u * a + v * b);
    if (phDistanceSquared(q, p) > radius * radius) {
        return;
    }
    phVector n(-e.y, e.x);
    if (phDot(n, q - a) < 0.0f) {
        n = -n;
    }
    n.Normalize();
    manifold->pointCount = 1;
    manifold->type = phLocalManifold::faceA;
    manifold->localNormal = n;
    manifold->localPoint = a;
    manifold->points[0].key = {0, 0, phFeatureKey::face, phFeatureKey::vertex};
    manifold->points[0].localPoint = circleB->m_p;
}

namespace {

struct EdgeCollisionFrame
{
    // The polygon in the edge's frame.
    phVector vertices[phMaxPolygonVertices];
    phVector normals[phMaxPolygonVertices];
    int32_t count = 0;
    // The chosen edge normal and the cone of normals the polygon may use.
    phVector normal, lowerLimit, upperLimit;
    bool front = false;
};

struct EdgeAxis
{
    enum Kind
    {
        unknown,
        edgeA,
        edgeB
    };
    Kind kind = unknown;
    int32_t index = -1;
    float separation = -phMaxFloat;
};

phVector Perp(const phVector& v)
{
    return {v.y, -v.x};
}

// Picks the side of the edge the polygon is on, with the neighbours deciding
// which normals are allowed near convex and concave corners.
void ChooseNormal(EdgeCollisionFrame* f, const phEdgeShape* edge, const phVector& centroid)
{
    const phVector v0 = edge->m_vertex0, v1 = edge->m_vertex1, v2 = edge->m_vertex2, v3 = edge->m_vertex3;
    phVector edge1 = v2 - v1;
    edge1.Normalize();
    const phVector n1 = Perp(edge1);
    const bool o1 = phDot(n1, centroid - v1) >= 0.0f;
    phVector n0, n2;
    bool o0 = false, o2 = false, convex1 = false, convex2 = false;
    if (edge->m_hasVertex0) {
        phVector edge0 = v1 - v0;
        edge0.Normalize();
        n0 = Perp(edge0);
        convex1 = phCross(edge0, edge1) >= 0.0f;
        o0 = phDot(n0, centroid - v0) >= 0.0f;
    }
    if (edge->m_hasVertex3) {
        phVector edge2 = v3 - v2;
        edge2.Normalize();
        n2 = Perp(edge2);
        convex2 = phCross(edge1, edge2) > 0.0f;
        o2 = phDot(n2, centroid - v2) >= 0.0f;
    }

    auto set = [f](bool front, const phVector& frontLower, const phVector& frontUpper,
                   const phVector& backLower, const phVector& backUpper, const phVector& normal) {
        f->front = front;
        f->normal = front ? normal : -normal;
        f->lowerLimit = front ? frontLower : backLower;
        f->upperLimit = front ? frontUpper : backUpper;
    };

    if (edge->m_hasVertex0 && edge->m_hasVertex3) {
        if (convex1 && convex2) {
            set(o0 || o1 || o2, n0, n2, -n1, -n1, n1);
        } else if (convex1) {
            set(o0 || (o1 && o2), n0, n1, -n2, -n1, n1);
        } else if (convex2) {
            set(o2 || (o0 && o1), n1, n2, -n1, -n0, n1);
        } else {
            set(o0 && o1 && o2, n1, n1, -n2, -n0, n1);
        }
    } else if (edge->m_hasVertex0) {
        if (convex1) {
            set(o0 || o1, n0, -n1, n1, -n1, n1);
        } else {
            set(o0 && o1, n1, -n1, n1, -n0, n1);
        }
    } else if (edge->m_hasVertex3) {
        if (convex2) {
            set(o1 || o2, -n1, n2, -n1, n1, n1);
        } else {
            set(o1 && o2, -n1, n1, -n2, n1, n1);
        }
    } else {
        set(o1, -n1, -n1, n1, n1, n1);
    }
}

EdgeAxis ComputeEdgeSeparation(const EdgeCollisionFrame& f, const phVector& v1)
{
    EdgeAxis axis;
    axis.kind = EdgeAxis::edgeA;
    axis.index = f.front ? 0 : 1;
    axis.separation = phMaxFloat;
    for (int32_t i = 0; i < f.count; ++i) {
        const float s = phDot(f.normal, f.vertices[i] - v1);
        if (s < axis.separation) {
            axis.separation = s;
        }
    }
    return axis;
}

EdgeAxis ComputePolygonSeparation(const EdgeCollisionFrame& f, const phVector& v1, const phVector& v2)
{
    EdgeAxis axis;
    const phVector perp(-f.normal.y, f.normal.x);
    for (int32_t i = 0; i < f.count; ++i) {
        const phVector n = -f.normals[i];
        const float s = std::min(phDot(n, f.vertices[i] - v1), phDot(n, f.vertices[i] - v2));
        if (s > phEdgePolygonRadius) {
            // Separated along this normal: no contact.
            return {EdgeAxis::edgeB, i, s};
        }
        // Normals outside the allowed cone would catch on the neighbour edges.
        const phVector limit = phDot(n, perp) >= 0.0f ? f.upperLimit : f.lowerLimit;
        if (phDot(n - limit, f.normal) < -phAngularSlop) {
            continue;
        }
        if (s > axis.separation) {
            axis = {EdgeAxis::edgeB, i, s};
        }
    }
    return axis;
}

} // namespace

void phCollideEdgeAndPolygon(phLocalManifold* manifold, const phEdgeShape* edgeA, const phTransform& xfA,
                             const phPolygonShape* polygonB, const phTransform& xfB)
{
    manifold->pointCount = 0;
    const phTransform xf = phMulT(xfA, xfB);

    EdgeCollisionFrame f;
    f.count = polygonB->m_count;
    for (int32_t i = 0; i < f.count; ++i) {
        f.vertices[i] = phMul(xf, polygonB->m_vertices[i]);
        f.normals[i] = phMul(xf.q, polygonB->m_normals[i]);
    }
    ChooseNormal(&f, edgeA, phMul(xf, polygonB->m_centroid));

    const phVector p1 = edgeA->m_vertex1;
    const phVector p2 = edgeA->m_vertex2;
    const EdgeAxis edgeAxis = ComputeEdgeSeparation(f, p1);
    if (edgeAxis.separation > phEdgePolygonRadius) {
        return;
    }
    const EdgeAxis polygonAxis = ComputePolygonSeparation(f, p1, p2);
    if (polygonAxis.kind != EdgeAxis::unknown && polygonAxis.separation > phEdgePolygonRadius) {
        return;
    }
    const bool usePolygon = polygonAxis.kind != EdgeAxis::unknown &&
                            polygonAxis.separation > phEdgeAxisRelativeTolerance * edgeAxis.separation +
                                                         phEdgeAxisAbsoluteTolerance;

    phClipVertex incident[2];
    int32_t i1 = 0;
    int32_t i2 = 0;
    phVector refStart, refEnd, refNormal;
    if (!usePolygon) {
        manifold->type = phLocalManifold::faceA;
        int32_t bestIndex = 0;
        float bestValue = phMaxFloat;
        for (int32_t i = 0; i < f.count; ++i) {
            const float value = phDot(f.normal, f.normals[i]);
            if (value < bestValue) {
                bestValue = value;
                bestIndex = i;
            }
        }
        const int32_t j1 = bestIndex;
        const int32_t j2 = j1 + 1 < f.count ? j1 + 1 : 0;
        incident[0] = {f.vertices[j1],
                       {0, static_cast<uint8_t>(j1), phFeatureKey::face, phFeatureKey::vertex}};
        incident[1] = {f.vertices[j2],
                       {0, static_cast<uint8_t>(j2), phFeatureKey::face, phFeatureKey::vertex}};
        if (f.front) {
            i1 = 0;
            i2 = 1;
            refStart = p1;
            refEnd = p2;
        } else {
            i1 = 1;
            i2 = 0;
            refStart = p2;
            refEnd = p1;
        }
        refNormal = f.normal;
    } else {
        manifold->type = phLocalManifold::faceB;
        const auto face = static_cast<uint8_t>(polygonAxis.index);
        incident[0] = {p1, {0, face, phFeatureKey::vertex, phFeatureKey::face}};
        incident[1] = {p2, {0, face, phFeatureKey::vertex, phFeatureKey::face}};
        i1 = polygonAxis.index;
        i2 = i1 + 1 < f.count ? i1 + 1 : 0;
        refStart = f.vertices[i1];
        refEnd = f.vertices[i2];
        refNormal = f.normals[i1];
    }

    const phVector sideNormal1(refNormal.y, -refNormal.x);
    const phVector sideNormal2 = -sideNormal1;
    phClipVertex clip1[2];
    if (phClipSegmentToLine(clip1, incident, sideNormal1, phDot(sideNormal1, refStart), i1) < 2) {
        return;
    }
    phClipVertex clip2[2];
    if (phClipSegmentToLine(clip2, clip1, sideNormal2, phDot(sideNormal2, refEnd), i2) < 2) {
        return;
    }

    if (!usePolygon) {
        manifold->localNormal = refNormal;
        manifold->localPoint = refStart;
    } else {
        manifold->localNormal = polygonB->m_normals[i1];
        manifold->localPoint = polygonB->m_vertices[i1];
    }
    int32_t pointCount = 0;
    for (const phClipVertex& cv : clip2) {
        if (phDot(refNormal, cv.v - refStart) <= phEdgePolygonRadius) {
            phManifoldPoint& mp = manifold->points[pointCount++];
            if (!usePolygon) {
                mp.localPoint = phMulT(xf, cv.v);
                mp.key = cv.key;
            } else {
                mp.localPoint = cv.v;
                mp.key = cv.key.Swapped();
            }
        }
    }
    manifold->pointCount = pointCount;
}
