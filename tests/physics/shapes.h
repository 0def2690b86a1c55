// Shape builders shared by the physics tests.
#pragma once

#include "physics/collision/shape.h"

#include <algorithm>
#include <random>
#include <vector>

namespace phtest {

// A convex polygon through the given counter-clockwise points.
inline phPolygonShape MakePolygon(const std::vector<phVector>& points)
{
    phPolygonShape polygon;
    polygon.m_count = static_cast<int32_t>(points.size());
    phVector sum;
    for (size_t i = 0; i < points.size(); ++i) {
        polygon.m_vertices[i] = points[i];
        sum += points[i];
    }
    for (size_t i = 0; i < points.size(); ++i) {
        phVector edge = points[(i + 1) % points.size()] - points[i];
        edge.Normalize();
        polygon.m_normals[i] = {edge.y, -edge.x};
    }
    polygon.m_centroid = (1.0f / static_cast<float>(points.size())) * sum;
    return polygon;
}

// A random convex polygon of 3 to 8 vertices on an ellipse around the origin.
inline phPolygonShape RandomPolygon(std::mt19937& rng)
{
    std::uniform_int_distribution<int> count(3, 8);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    const int n = count(rng);
    const float rx = 0.3f + 1.2f * unit(rng);
    const float ry = 0.3f + 1.2f * unit(rng);
    // Angles spread so that no two vertices nearly coincide.
    std::vector<float> angles;
    for (int i = 0; i < n; ++i) {
        angles.push_back((static_cast<float>(i) + 0.2f + 0.6f * unit(rng)) * 2.0f * phPi /
                         static_cast<float>(n));
    }
    std::vector<phVector> points;
    for (const float a : angles) {
        points.push_back({rx * std::cos(a), ry * std::sin(a)});
    }
    return MakePolygon(points);
}

inline phCircleShape MakeCircle(float radius, phVector center = {})
{
    phCircleShape circle;
    circle.m_radius = radius;
    circle.m_p = center;
    return circle;
}

inline phEdgeShape MakeEdge(phVector a, phVector b)
{
    phEdgeShape edge;
    edge.Set(a, b);
    return edge;
}

inline phPolygonShape MakeBox(float hx, float hy)
{
    phPolygonShape box;
    box.SetAsBox(hx, hy);
    return box;
}

} // namespace phtest
