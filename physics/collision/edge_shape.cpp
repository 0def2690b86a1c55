#include "physics/collision/shape.h"

bool phEdgeShape::TestPoint(const phTransform&, const phVector&) const
{
    return false;
}

void phEdgeShape::ComputeDistance(const phTransform& xf, const phVector& point, float* distance,
                                  phVector* normal, int32_t) const
{
    const phVector a = phMul(xf, m_vertex1);
    const phVector b = phMul(xf, m_vertex2);
    phVector d = point - a;
    const phVector e = b - a;
    const float de = phDot(d, e);
    if (de > 0.0f) {
        const float ee = phDot(e, e);
        if (de > ee) {
            d = point - b;
        } else {
            d -= (de / ee) * e;
        }
    }
    const float length = d.Length();
    *distance = length;
    *normal = length > 0.0f ? (1.0f / length) * d : phVector();
}

bool phEdgeShape::RayCast(phRayHit* hit, const phRayQuery& query, const phTransform& xf, int32_t) const
{
    // Work in the edge's frame.
    const phVector p1 = phMulT(xf.q, query.start - xf.p);
    const phVector p2 = phMulT(xf.q, query.end - xf.p);
    const phVector d = p2 - p1;
    const phVector e = m_vertex2 - m_vertex1;
    phVector normal(e.y, -e.x);
    normal.Normalize();

    const float numerator = phDot(normal, m_vertex1 - p1);
    const float denominator = phDot(normal, d);
    if (denominator == 0.0f) {
        return false;
    }
    const float t = numerator / denominator;
    if (t < 0.0f || query.maxFraction < t) {
        return false;
    }
    const phVector q = p1 + t * d;
    const float ee = phDot(e, e);
    if (ee == 0.0f) {
        return false;
    }
    const float s = phDot(q - m_vertex1, e) / ee;
    if (s < 0.0f || 1.0f < s) {
        return false;
    }
    hit->fraction = t;
    // Two-sided: the normal faces the ray's start.
    hit->normal = numerator > 0.0f ? -phMul(xf.q, normal) : phMul(xf.q, normal);
    return true;
}

void phEdgeShape::ComputeBounds(phBounds* bounds, const phTransform& xf, int32_t) const
{
    const phVector v1 = phMul(xf, m_vertex1);
    const phVector v2 = phMul(xf, m_vertex2);
    const phVector r(m_radius, m_radius);
    bounds->lower = phMin(v1, v2) - r;
    bounds->upper = phMax(v1, v2) + r;
}

void phEdgeShape::ComputeMass(phMassProperties* mass, float) const
{
    mass->mass = 0.0f;
    mass->center = 0.5f * (m_vertex1 + m_vertex2);
    mass->I = 0.0f;
}
