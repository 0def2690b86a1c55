// Closest points of two convex shapes (a simplex method warm-started from a
// memo), the shared statistics of distance and time of impact.
#pragma once

#include "physics/collision/shape.h"
#include "physics/common/math.h"

#include <cstdint>

// The vertices and skin of one convex shape child.
class phConvexProxy
{
public:
    phConvexProxy() = default;
    phConvexProxy(const phConvexProxy&) = delete;
    phConvexProxy& operator=(const phConvexProxy&) = delete;

    // The index of the vertex furthest along d (the first maximum wins).
    int32_t GetSupport(const phVector& d) const
    {
        int32_t best = 0;
        float bestValue = phDot(m_vertices[0], d);
        for (int32_t i = 1; i < m_count; ++i) {
            const float value = phDot(m_vertices[i], d);
            if (value > bestValue) {
                best = i;
                bestValue = value;
            }
        }
        return best;
    }
    const phVector& GetVertex(int32_t index) const { return m_vertices[index]; }
    int32_t GetVertexCount() const { return m_count; }
    float GetRadius() const { return m_radius; }

    phVector m_buffer[2];
    const phVector* m_vertices = nullptr;
    int32_t m_count = 0;
    float m_radius = 0.0f;
};

// Fills the proxy from one child of a circle, edge or polygon.
void phSetShapeProxy(phConvexProxy* proxy, const phShape* shape, int32_t childIndex);

// The simplex of the previous call, kept by the caller to warm-start the next.
struct phSimplexMemo
{
    float metric = 0.0f;
    uint16_t count = 0;
    uint8_t indexA[3] = {};
    uint8_t indexB[3] = {};
};

struct phDistanceQuery
{
    const phConvexProxy* proxyA = nullptr;
    const phConvexProxy* proxyB = nullptr;
    phTransform transformA;
    phTransform transformB;
    bool useRadii = false;
};

struct phDistanceResult
{
    phVector pointA;
    phVector pointB;
    float distance = 0.0f;
    int32_t iterations = 0;
};

void phComputeDistance(phDistanceResult* result, phSimplexMemo* memo, const phDistanceQuery& query);

// Counters of the distance and time-of-impact routines; written, for diagnostics.
struct phCollisionStatistics
{
    int32_t distanceCalls = 0;
    int32_t distanceIterations = 0;
    int32_t distanceMaxIterations = 0;
    int32_t toiCalls = 0;
    int32_t toiIterations = 0;
    int32_t toiMaxIterations = 0;
    int32_t toiRootSteps = 0;
    int32_t toiMaxRootSteps = 0;
    float toiTime = 0.0f;
    float toiMaxTime = 0.0f;
};

phCollisionStatistics& phGetCollisionStatistics();
