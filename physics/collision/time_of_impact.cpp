#include "physics/collision/time_of_impact.h"

#include "physics/common/timer.h"

#include <algorithm>
#include <cmath>

float phSeparatingAxis::Initialize(const phSimplexMemo& memo, const phConvexProxy* proxyA,
                                   const phBodyMotion& motionA, const phConvexProxy* proxyB,
                                   const phBodyMotion& motionB, float t)
{
    m_proxyA = proxyA;
    m_proxyB = proxyB;
    m_motionA = motionA;
    m_motionB = motionB;
    const phTransform xfA = m_motionA.GetTransform(t);
    const phTransform xfB = m_motionB.GetTransform(t);

    if (memo.count == 1) {
        m_kind = points;
        const phVector pointA = phMul(xfA, proxyA->GetVertex(memo.indexA[0]));
        const phVector pointB = phMul(xfB, proxyB->GetVertex(memo.indexB[0]));
        m_axis = pointB - pointA;
        return m_axis.Normalize();
    }
    if (memo.indexA[0] == memo.indexA[1]) {
        // Two points on B: a face of B.
        m_kind = faceB;
        const phVector b1 = proxyB->GetVertex(memo.indexB[0]);
        const phVector b2 = proxyB->GetVertex(memo.indexB[1]);
        m_axis = phCross(b2 - b1, 1.0f);
        m_axis.Normalize();
        const phVector normal = phMul(xfB.q, m_axis);
        m_localPoint = 0.5f * (b1 + b2);
        const phVector pointB = phMul(xfB, m_localPoint);
        const phVector pointA = phMul(xfA, proxyA->GetVertex(memo.indexA[0]));
        float s = phDot(pointA - pointB, normal);
        if (s < 0.0f) {
            m_axis = -m_axis;
            s = -s;
        }
        return s;
    }
    // Two points on A: a face of A.
    m_kind = faceA;
    const phVector a1 = proxyA->GetVertex(memo.indexA[0]);
    const phVector a2 = proxyA->GetVertex(memo.indexA[1]);
    m_axis = phCross(a2 - a1, 1.0f);
    m_axis.Normalize();
    const phVector normal = phMul(xfA.q, m_axis);
    m_localPoint = 0.5f * (a1 + a2);
    const phVector pointA = phMul(xfA, m_localPoint);
    const phVector pointB = phMul(xfB, proxyB->GetVertex(memo.indexB[0]));
    float s = phDot(pointB - pointA, normal);
    if (s < 0.0f) {
        m_axis = -m_axis;
        s = -s;
    }
    return s;
}

float phSeparatingAxis::FindMinSeparation(int32_t* indexA, int32_t* indexB, float t) const
{
    const phTransform xfA = m_motionA.GetTransform(t);
    const phTransform xfB = m_motionB.GetTransform(t);
    switch (m_kind) {
    case points:
        *indexA = m_proxyA->GetSupport(phMulT(xfA.q, m_axis));
        *indexB = m_proxyB->GetSupport(phMulT(xfB.q, -m_axis));
        break;
    case faceA:
        *indexA = -1;
        *indexB = m_proxyB->GetSupport(phMulT(xfB.q, -phMul(xfA.q, m_axis)));
        break;
    case faceB:
        *indexB = -1;
        *indexA = m_proxyA->GetSupport(phMulT(xfA.q, -phMul(xfB.q, m_axis)));
        break;
    }
    return Evaluate(*indexA, *indexB, t);
}

float phSeparatingAxis::Evaluate(int32_t indexA, int32_t indexB, float t) const
{
    const phTransform xfA = m_motionA.GetTransform(t);
    const phTransform xfB = m_motionB.GetTransform(t);
    switch (m_kind) {
    case points: {
        const phVector pointA = phMul(xfA, m_proxyA->GetVertex(indexA));
        const phVector pointB = phMul(xfB, m_proxyB->GetVertex(indexB));
        return phDot(pointB - pointA, m_axis);
    }
    case faceA: {
        const phVector normal = phMul(xfA.q, m_axis);
        const phVector pointA = phMul(xfA, m_localPoint);
        const phVector pointB = phMul(xfB, m_proxyB->GetVertex(indexB));
        return phDot(pointB - pointA, normal);
    }
    case faceB: {
        const phVector normal = phMul(xfB.q, m_axis);
        const phVector pointB = phMul(xfB, m_localPoint);
        const phVector pointA = phMul(xfA, m_proxyA->GetVertex(indexA));
        return phDot(pointA - pointB, normal);
    }
    }
    return 0.0f;
}

namespace {

// Shrinks [a1, a2] around the time at which the separation reaches the target,
// alternating bisection and secant steps; returns the time found, or the given
// a2 when the step budget runs out.
float FindRoot(const phSeparatingAxis& axis, int32_t indexA, int32_t indexB, float a1, float s1, float a2,
               float s2, float target, float tolerance)
{
    phCollisionStatistics& stats = phGetCollisionStatistics();
    int32_t steps = 0;
    float result = a2;
    while (steps < phMaxToiRootSteps) {
        const float t = (steps & 1) ? a1 + (target - s1) * (a2 - a1) / (s2 - s1) : 0.5f * (a1 + a2);
        ++steps;
        ++stats.toiRootSteps;
        const float s = axis.Evaluate(indexA, indexB, t);
        if (std::fabs(s - target) < tolerance) {
            result = t;
            break;
        }
        if (s > target) {
            a1 = t;
            s1 = s;
        } else {
            a2 = t;
            s2 = s;
        }
    }
    stats.toiMaxRootSteps = std::max(stats.toiMaxRootSteps, steps);
    return result;
}

} // namespace

void phComputeTimeOfImpact(phImpactResult* result, const phImpactQuery& query)
{
    const phStepTimer timer;
    phCollisionStatistics& stats = phGetCollisionStatistics();
    ++stats.toiCalls;

    result->state = phImpactResult::unknown;
    result->t = query.tMax;

    const phConvexProxy* const proxyA = query.proxyA;
    const phConvexProxy* const proxyB = query.proxyB;
    phBodyMotion motionA = query.motionA;
    phBodyMotion motionB = query.motionB;
    motionA.Normalize();
    motionB.Normalize();

    const float tMax = query.tMax;
    const float totalRadius = proxyA->m_radius + proxyB->m_radius;
    const float target = std::max(phLinearSlop, totalRadius - 3.0f * phLinearSlop);
    const float tolerance = phToiTolerance;

    float t1 = 0.0f;
    phSimplexMemo memo;
    phDistanceQuery distanceQuery;
    distanceQuery.proxyA = proxyA;
    distanceQuery.proxyB = proxyB;
    distanceQuery.useRadii = false;

    int32_t iteration = 0;
    for (;;) {
        distanceQuery.transformA = motionA.GetTransform(t1);
        distanceQuery.transformB = motionB.GetTransform(t1);
        phDistanceResult distance;
        phComputeDistance(&distance, &memo, distanceQuery);

        if (distance.distance <= 0.0f) {
            result->state = phImpactResult::overlapped;
            result->t = 0.0f;
            break;
        }
        if (distance.distance < target + tolerance) {
            result->state = phImpactResult::touching;
            result->t = t1;
            break;
        }

        phSeparatingAxis axis;
        axis.Initialize(memo, proxyA, motionA, proxyB, motionB, t1);

        // Push the far end back until it reaches the target separation.
        bool done = false;
        float t2 = tMax;
        for (int32_t pushBack = 0; pushBack < phMaxPolygonVertices; ++pushBack) {
            int32_t indexA = 0;
            int32_t indexB = 0;
            const float s2 = axis.FindMinSeparation(&indexA, &indexB, t2);
            if (s2 > target + tolerance) {
                result->state = phImpactResult::separated;
                result->t = tMax;
                done = true;
                break;
            }
            if (s2 > target - tolerance) {
                t1 = t2; // advance the sweep
                break;
            }
            const float s1 = axis.Evaluate(indexA, indexB, t1);
            if (s1 < target - tolerance) {
                result->state = phImpactResult::failed;
                result->t = t1;
                done = true;
                break;
            }
            if (s1 <= target + tolerance) {
                result->state = phImpactResult::touching;
                result->t = t1;
                done = true;
                break;
            }
            t2 = FindRoot(axis, indexA, indexB, t1, s1, t2, s2, target, tolerance);
        }

        ++iteration;
        ++stats.toiIterations;
        if (done) {
            break;
        }
        if (iteration == phMaxToiIterations) {
            result->state = phImpactResult::failed;
            result->t = t1;
            break;
        }
    }

    stats.toiMaxIterations = std::max(stats.toiMaxIterations, iteration);
    const float elapsed = timer.GetMilliseconds();
    stats.toiMaxTime = std::max(stats.toiMaxTime, elapsed);
    stats.toiTime += elapsed;
}
