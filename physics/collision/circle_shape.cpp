#include "physics/collision/shape.h"

bool phCircleShape::TestPoint(const phTransform& xf, const phVector& point) const
{
    const phVector center = phMul(xf, m_p);
    return phDistanceSquared(point, center) <= m_radius * m_radius;
}

void phCircleShape::ComputeDistance(const phTransform& xf, const phVector& point, float* distance,
                                    phVector* normal, int32_t) const
{
    const phVector center = phMul(xf, m_p);
    const phVector d = point - center;
    const float length = d.Length();
    *distance = length - m_radius;
    // The centre itself has no direction away from the circle: use a fixed one.
    *normal = length > 0.0f ? (1.0f / length) * d : phVector(1.0f, 0.0f);
}

bool phCircleShape::RayCast(phRayHit* hit, const phRayQuery& query, const phTransform& xf, int32_t) const
{
    const phVector position = phMul(xf, m_p);
    const phVector s = query.start - position;
    const float b = phDot(s, s) - m_radius * m_radius;
    const phVector d = query.end - query.start;
    const float c = phDot(s, d);
    const float rr = phDot(d, d);
    const float sigma = c * c - rr * b;
    if (sigma < 0.0f || rr < phEpsilon) {
        return false;
    }
    float a = -(c + std::sqrt(sigma));
    if (0.0f <= a && a <= query.maxFraction * rr) {
        a /= rr;
        hit->fraction = a;
        hit->normal = s + a * d;
        hit->normal.Normalize();
        return true;
    }
    return false;
}

void phCircleShape::ComputeBounds(phBounds* bounds, const phTransform& xf, int32_t) const
{
    const phVector p = phMul(xf, m_p);
    bounds->lower = {p.x - m_radius, p.y - m_radius};
    bounds->upper = {p.x + m_radius, p.y + m_radius};
}

void phCircleShape::ComputeMass(phMassProperties* mass, float density) const
{
    mass->mass = density * phPi * m_radius * m_radius;
    mass->center = m_p;
    mass->I = mass->mass * (0.5f * m_radius * m_radius + phDot(m_p, m_p));
}
