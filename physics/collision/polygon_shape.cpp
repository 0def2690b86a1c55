#include "physics/collision/shape.h"

void phPolygonShape::SetAsBox(float hx, float hy)
{
    m_count = 4;
    m_vertices[0] = {-hx, -hy};
    m_vertices[1] = {hx, -hy};
    m_vertices[2] = {hx, hy};
    m_vertices[3] = {-hx, hy};
    m_normals[0] = {0.0f, -1.0f};
    m_normals[1] = {1.0f, 0.0f};
    m_normals[2] = {0.0f, 1.0f};
    m_normals[3] = {-1.0f, 0.0f};
    m_centroid.SetZero();
}

bool phPolygonShape::TestPoint(const phTransform& xf, const phVector& point) const
{
    const phVector local = phMulT(xf.q, point - xf.p);
    for (int32_t i = 0; i < m_count; ++i) {
        if (phDot(m_normals[i], local - m_vertices[i]) > 0.0f) {
            return false;
        }
    }
    return true;
}

void phPolygonShape::ComputeDistance(const phTransform& xf, const phVector& point, float* distance,
                                     phVector* normal, int32_t) const
{
    const phVector local = phMulT(xf.q, point - xf.p);
    float maxDistance = -phMaxFloat;
    phVector direction;
    for (int32_t i = 0; i < m_count; ++i) {
        const float s = phDot(m_normals[i], local - m_vertices[i]);
        if (s > maxDistance) {
            maxDistance = s;
            direction = m_normals[i];
        }
    }
    if (maxDistance > 0.0f) {
        // Outside: the nearest vertex may be closer than the farthest face plane.
        float minDistance2 = maxDistance * maxDistance;
        for (int32_t i = 0; i < m_count; ++i) {
            const phVector v = local - m_vertices[i];
            const float d2 = v.LengthSquared();
            if (d2 < minDistance2) {
                minDistance2 = d2;
                direction = v;
            }
        }
        *distance = std::sqrt(minDistance2);
        *normal = phMul(xf.q, direction);
        normal->Normalize();
    } else {
        *distance = maxDistance;
        *normal = phMul(xf.q, direction);
    }
}

bool phPolygonShape::RayCast(phRayHit* hit, const phRayQuery& query, const phTransform& xf, int32_t) const
{
    const phVector p1 = phMulT(xf.q, query.start - xf.p);
    const phVector p2 = phMulT(xf.q, query.end - xf.p);
    const phVector d = p2 - p1;
    float lower = 0.0f;
    float upper = query.maxFraction;
    int32_t index = -1;
    for (int32_t i = 0; i < m_count; ++i) {
        const float numerator = phDot(m_normals[i], m_vertices[i] - p1);
        const float denominator = phDot(m_normals[i], d);
        if (denominator == 0.0f) {
            if (numerator < 0.0f) {
                return false;
            }
        } else if (denominator < 0.0f && numerator < lower * denominator) {
            lower = numerator / denominator;
            index = i;
        } else if (denominator > 0.0f && numerator < upper * denominator) {
            upper = numerator / denominator;
        }
        if (upper < lower) {
            return false;
        }
    }
    if (index < 0) {
        return false;
    }
    hit->fraction = lower;
    hit->normal = phMul(xf.q, m_normals[index]);
    return true;
}

void phPolygonShape::ComputeBounds(phBounds* bounds, const phTransform& xf, int32_t) const
{
    phVector lower = phMul(xf, m_vertices[0]);
    phVector upper = lower;
    for (int32_t i = 1; i < m_count; ++i) {
        const phVector v = phMul(xf, m_vertices[i]);
        lower = phMin(lower, v);
        upper = phMax(upper, v);
    }
    const phVector r(m_radius, m_radius);
    bounds->lower = lower - r;
    bounds->upper = upper + r;
}

void phPolygonShape::ComputeMass(phMassProperties* mass, float density) const
{
    // Triangle fan about the vertex average, which keeps the sums well conditioned.
    phVector s;
    for (int32_t i = 0; i < m_count; ++i) {
        s += m_vertices[i];
    }
    s *= 1.0f / static_cast<float>(m_count);

    constexpr float inv3 = 1.0f / 3.0f;
    phVector center;
    float area = 0.0f;
    float I = 0.0f;
    for (int32_t i = 0; i < m_count; ++i) {
        const phVector e1 = m_vertices[i] - s;
        const phVector e2 = (i + 1 < m_count ? m_vertices[i + 1] : m_vertices[0]) - s;
        const float D = phCross(e1, e2);
        const float triangleArea = 0.5f * D;
        area += triangleArea;
        center += triangleArea * inv3 * (e1 + e2);
        I += (0.25f * inv3 * D) *
             (e1.x * e1.x + e1.x * e2.x + e2.x * e2.x + e1.y * e1.y + e1.y * e2.y + e2.y * e2.y);
    }

    mass->mass = density * area;
    // A polygon without area (all vertices on one line) has no centroid of its
    // own: its centre is the vertex average and it has no mass or inertia.
    if (area != 0.0f) {
        center *= 1.0f / area;
    } else {
        center.SetZero();
    }
    mass->center = center + s;
    mass->I = density * I + mass->mass * (phDot(mass->center, mass->center) - phDot(center, center));
}
