// The earliest time at which two shapes moving along their step motions come
// within a target distance (conservative advancement over separating axes).
#pragma once

#include "physics/collision/distance.h"

#include <cstdint>

struct phImpactQuery
{
    const phConvexProxy* proxyA = nullptr;
    const phConvexProxy* proxyB = nullptr;
    phBodyMotion motionA;
    phBodyMotion motionB;
    float tMax = 1.0f; // largest fraction of the motion to search
};

struct phImpactResult
{
    enum State : int32_t
    {
        unknown = 0,
        failed = 1,
        overlapped = 2,
        touching = 3,
        separated = 4
    };
    State state = unknown;
    float t = 0.0f;
};

void phComputeTimeOfImpact(phImpactResult* result, const phImpactQuery& query);

// The separating axis of two moving proxies, set up from a distance memo.
class phSeparatingAxis
{
public:
    enum Kind : int32_t
    {
        points = 0,
        faceA = 1,
        faceB = 2
    };

    // Returns the separation at t along the new axis.
    float Initialize(const phSimplexMemo& memo, const phConvexProxy* proxyA, const phBodyMotion& motionA,
                     const phConvexProxy* proxyB, const phBodyMotion& motionB, float t);
    // The smallest separation at t and the vertices that give it (-1 for a face).
    float FindMinSeparation(int32_t* indexA, int32_t* indexB, float t) const;
    // The separation at t of the given vertices.
    float Evaluate(int32_t indexA, int32_t indexB, float t) const;

private:
    const phConvexProxy* m_proxyA = nullptr;
    const phConvexProxy* m_proxyB = nullptr;
    phBodyMotion m_motionA;
    phBodyMotion m_motionB;
    Kind m_kind = points;
    phVector m_localPoint;
    phVector m_axis;
};
