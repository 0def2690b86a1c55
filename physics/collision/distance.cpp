#include "physics/collision/distance.h"

#include <algorithm>

namespace {

struct SimplexVertex
{
    phVector wA; // support point on A (world)
    phVector wB; // support point on B (world)
    phVector w;  // wB - wA
    float a;     // barycentric weight
    int32_t indexA;
    int32_t indexB;
};

class Simplex
{
public:
    void ReadMemo(const phSimplexMemo& memo, const phConvexProxy& proxyA, const phTransform& xfA,
                  const phConvexProxy& proxyB, const phTransform& xfB)
    {
        m_count = memo.count;
        for (int32_t i = 0; i < m_count; ++i) {
            SetVertex(&m_v[i], memo.indexA[i], memo.indexB[i], proxyA, xfA, proxyB, xfB);
            m_v[i].a = 0.0f;
        }
        // A simplex whose size changed a lot since the memo was written is stale.
        if (m_count > 1) {
            const float metric1 = memo.metric;
            const float metric2 = GetMetric();
            if (metric2 < 0.5f * metric1 || 2.0f * metric1 < metric2 || metric2 < phEpsilon) {
                m_count = 0;
            }
        }
        if (m_count == 0) {
            SetVertex(&m_v[0], 0, 0, proxyA, xfA, proxyB, xfB);
            m_v[0].a = 1.0f;
            m_count = 1;
        }
    }

    void WriteMemo(phSimplexMemo* memo) const
    {
        memo->metric = GetMetric();
        memo->count = static_cast<uint16_t>(m_count);
        for (int32_t i = 0; i < m_count; ++i) {
            memo->indexA[i] = static_cast<uint8_t>(m_v[i].indexA);
            memo->indexB[i] = static_cast<uint8_t>(m_v[i].indexB);
        }
    }

    static void SetVertex(SimplexVertex* v, int32_t indexA, int32_t indexB, const phConvexProxy& proxyA,
                          const phTransform& xfA, const phConvexProxy& proxyB, const phTransform& xfB)
    {
        v->indexA = indexA;
        v->indexB = indexB;
        v->wA = phMul(xfA, proxyA.GetVertex(indexA));
        v->wB = phMul(xfB, proxyB.GetVertex(indexB));
        v->w = v->wB - v->wA;
    }

    phVector GetSearchDirection() const
    {
        if (m_count == 1) {
            return -m_v[0].w;
        }
        const phVector e12 = m_v[1].w - m_v[0].w;
        const float sgn = phCross(e12, -m_v[0].w);
        return sgn > 0.0f ? phCross(1.0f, e12) : phCross(e12, 1.0f);
    }

    void GetWitnessPoints(phVector* pA, phVector* pB) const
    {
        switch (m_count) {
        case 1:
            *pA = m_v[0].wA;
            *pB = m_v[0].wB;
            break;
        case 2:
            *pA = m_v[0].a * m_v[0].wA + m_v[1].a * m_v[1].wA;
            *pB = m_v[0].a * m_v[0].wB + m_v[1].a * m_v[1].wB;
            break;
        default:
            *pA = m_v[0].a * m_v[0].wA + m_v[1].a * m_v[1].wA + m_v[2].a * m_v[2].wA;
            *pB = *pA;
            break;
        }
    }

    float GetMetric() const
    {
        switch (m_count) {
        case 2:
            return phDistance(m_v[0].w, m_v[1].w);
        case 3:
            return phCross(m_v[1].w - m_v[0].w, m_v[2].w - m_v[0].w);
        default:
            return 0.0f;
        }
    }

    // Keeps the sub-simplex nearest the origin, with its weights.
    void Solve()
    {
        if (m_count == 2) {
            Solve2();
        } else if (m_count == 3) {
            Solve3();
        }
    }

    SimplexVertex m_v[3];
    int32_t m_count = 0;

private:
    void Keep(int32_t index)
    {
        m_v[0] = m_v[index];
        m_v[0].a = 1.0f;
        m_count = 1;
    }

    void KeepEdge(int32_t i, int32_t j, float weightI, float weightJ)
    {
        const float inv = 1.0f / (weightI + weightJ);
        const SimplexVertex vi = m_v[i];
        const SimplexVertex vj = m_v[j];
        m_v[0] = vi;
        m_v[1] = vj;
        m_v[0].a = weightI * inv;
        m_v[1].a = weightJ * inv;
        m_count = 2;
    }

    void Solve2()
    {
        const phVector w1 = m_v[0].w;
        const phVector w2 = m_v[1].w;
        const phVector e12 = w2 - w1;
        const float d12b = -phDot(w1, e12);
        if (d12b <= 0.0f) {
            Keep(0);
            return;
        }
        const float d12a = phDot(w2, e12);
        if (d12a <= 0.0f) {
            Keep(1);
            return;
        }
        const float inv = 1.0f / (d12a + d12b);
        m_v[0].a = d12a * inv;
        m_v[1].a = d12b * inv;
        m_count = 2;
    }

    void Solve3()
    {
        const phVector w1 = m_v[0].w;
        const phVector w2 = m_v[1].w;
        const phVector w3 = m_v[2].w;
        const phVector e12 = w2 - w1;
        const float d12a = phDot(w2, e12);
        const float d12b = -phDot(w1, e12);
        const phVector e13 = w3 - w1;
        const float d13a = phDot(w3, e13);
        const float d13b = -phDot(w1, e13);
        const phVector e23 = w3 - w2;
        const float d23a = phDot(w3, e23);
        const float d23b = -phDot(w2, e23);
        const float n123 = phCross(e12, e13);
        const float f1 = n123 * phCross(w2, w3);
        const float f2 = n123 * phCross(w3, w1);
        const float f3 = n123 * phCross(w1, w2);

        if (d12b <= 0.0f && d13b <= 0.0f) {
            Keep(0);
        } else if (d12a > 0.0f && d12b > 0.0f && f3 <= 0.0f) {
            KeepEdge(0, 1, d12a, d12b);
        } else if (d13a > 0.0f && d13b > 0.0f && f2 <= 0.0f) {
            KeepEdge(0, 2, d13a, d13b);
        } else if (d12a <= 0.0f && d23b <= 0.0f) {
            Keep(1);
        } else if (d13a <= 0.0f && d23a <= 0.0f) {
            Keep(2);
        } else if (d23a > 0.0f && d23b > 0.0f && f1 <= 0.0f) {
            KeepEdge(1, 2, d23a, d23b);
        } else {
            const float inv = 1.0f / (f1 + f2 + f3);
            m_v[0].a = f1 * inv;
            m_v[1].a = f2 * inv;
            m_v[2].a = f3 * inv;
            m_count = 3;
        }
    }
};

phCollisionStatistics statistics;

} // namespace

phCollisionStatistics& phGetCollisionStatistics()
{
    return statistics;
}

void phSetShapeProxy(phConvexProxy* proxy, const phShape* shape, int32_t)
{
    proxy->m_radius = shape->m_radius;
    switch (shape->m_kind) {
    case phShape::circle:
        proxy->m_vertices = &static_cast<const phCircleShape*>(shape)->m_p;
        proxy->m_count = 1;
        break;
    case phShape::edge: {
        const auto* const edge = static_cast<const phEdgeShape*>(shape);
        proxy->m_buffer[0] = edge->m_vertex1;
        proxy->m_buffer[1] = edge->m_vertex2;
        proxy->m_vertices = proxy->m_buffer;
        proxy->m_count = 2;
        break;
    }
    case phShape::polygon: {
        const auto* const polygon = static_cast<const phPolygonShape*>(shape);
        proxy->m_vertices = polygon->m_vertices;
        proxy->m_count = polygon->m_count;
        break;
    }
    default:
        proxy->m_vertices = proxy->m_buffer;
        proxy->m_buffer[0].SetZero();
        proxy->m_count = 1;
        break;
    }
}

void phComputeDistance(phDistanceResult* result, phSimplexMemo* memo, const phDistanceQuery& query)
{
    ++statistics.distanceCalls;
    const phConvexProxy& proxyA = *query.proxyA;
    const phConvexProxy& proxyB = *query.proxyB;
    const phTransform xfA = query.transformA;
    const phTransform xfB = query.transformB;

    Simplex simplex;
    simplex.ReadMemo(*memo, proxyA, xfA, proxyB, xfB);

    int32_t savedA[3];
    int32_t savedB[3];
    int32_t iterations = 0;
    while (iterations < phMaxDistanceIterations) {
        const int32_t saveCount = simplex.m_count;
        for (int32_t i = 0; i < saveCount; ++i) {
            savedA[i] = simplex.m_v[i].indexA;
            savedB[i] = simplex.m_v[i].indexB;
        }

        simplex.Solve();
        if (simplex.m_count == 3) {
            break; // the origin is inside: overlap
        }

        const phVector d = simplex.GetSearchDirection();
        if (d.LengthSquared() < phEpsilonSquared) {
            break; // the origin is on the simplex
        }

        SimplexVertex* const vertex = &simplex.m_v[simplex.m_count];
        const int32_t indexA = proxyA.GetSupport(phMulT(xfA.q, -d));
        const int32_t indexB = proxyB.GetSupport(phMulT(xfB.q, d));
        Simplex::SetVertex(vertex, indexA, indexB, proxyA, xfA, proxyB, xfB);
        ++iterations;
        ++statistics.distanceIterations;

        // A support point seen before means no further progress.
        bool duplicate = false;
        for (int32_t i = 0; i < saveCount; ++i) {
            if (vertex->indexA == savedA[i] && vertex->indexB == savedB[i]) {
                duplicate = true;
                break;
            }
        }
        if (duplicate) {
            break;
        }
        ++simplex.m_count;
    }
    statistics.distanceMaxIterations = std::max(statistics.distanceMaxIterations, iterations);

    simplex.GetWitnessPoints(&result->pointA, &result->pointB);
    result->distance = phDistance(result->pointA, result->pointB);
    result->iterations = iterations;
    simplex.WriteMemo(memo);

    if (query.useRadii) {
        const float rA = proxyA.m_radius;
        const float rB = proxyB.m_radius;
        if (result->distance > rA + rB && result->distance > phEpsilon) {
            result->distance -= rA + rB;
            phVector normal = result->pointB - result->pointA;
            normal.Normalize();
            result->pointA += rA * normal;
            result->pointB -= rB * normal;
        } else {
            const phVector p = 0.5f * (result->pointA + result->pointB);
            result->pointA = p;
            result->pointB = p;
            result->distance = 0.0f;
        }
    }
}
