#include "physics/collision/distance.h"
#include "physics/collision/time_of_impact.h"
#include "tests/physics/shapes.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <random>
#include <vector>

using namespace phtest;

namespace {

phTransform At(float x, float y, float angle = 0.0f)
{
    return phTransform(phVector(x, y), phRotation(angle));
}

std::vector<phVector> WorldVertices(const phConvexProxy& proxy, const phTransform& xf)
{
    std::vector<phVector> out;
    for (int32_t i = 0; i < proxy.GetVertexCount(); ++i) {
        out.push_back(phMul(xf, proxy.GetVertex(i)));
    }
    return out;
}

float PointSegmentDistance(const phVector& p, const phVector& a, const phVector& b)
{
    const phVector e = b - a;
    const float ee = phDot(e, e);
    const float t = ee > 0.0f ? std::clamp(phDot(p - a, e) / ee, 0.0f, 1.0f) : 0.0f;
    return phDistance(p, a + t * e);
}

bool SegmentsCross(const phVector& a, const phVector& b, const phVector& c, const phVector& d)
{
    const float d1 = phCross(b - a, c - a);
    const float d2 = phCross(b - a, d - a);
    const float d3 = phCross(d - c, a - c);
    const float d4 = phCross(d - c, b - c);
    return ((d1 > 0) != (d2 > 0)) && ((d3 > 0) != (d4 > 0));
}

bool InsideConvex(const phVector& p, const std::vector<phVector>& poly)
{
    if (poly.size() < 3) {
        return false;
    }
    for (size_t i = 0; i < poly.size(); ++i) {
        if (phCross(poly[(i + 1) % poly.size()] - poly[i], p - poly[i]) < 0.0f) {
            return false;
        }
    }
    return true;
}

std::vector<std::pair<phVector, phVector>> Segments(const std::vector<phVector>& v)
{
    std::vector<std::pair<phVector, phVector>> out;
    if (v.size() == 1) {
        out.emplace_back(v[0], v[0]);
    } else if (v.size() == 2) {
        out.emplace_back(v[0], v[1]);
    } else {
        for (size_t i = 0; i < v.size(); ++i) {
            out.emplace_back(v[i], v[(i + 1) % v.size()]);
        }
    }
    return out;
}

// Distance between two convex vertex sets by exhaustive search.
float BruteDistance(const std::vector<phVector>& a, const std::vector<phVector>& b)
{
    for (const phVector& p : a) {
        if (InsideConvex(p, b)) {
            return 0.0f;
        }
    }
    for (const phVector& p : b) {
        if (InsideConvex(p, a)) {
            return 0.0f;
        }
    }
    const auto sa = Segments(a);
    const auto sb = Segments(b);
    float best = phMaxFloat;
    for (const auto& [p, q] : sa) {
        for (const auto& [r, s] : sb) {
            if (SegmentsCross(p, q, r, s)) {
                return 0.0f;
            }
            best = std::min({best, PointSegmentDistance(p, r, s), PointSegmentDistance(q, r, s),
                             PointSegmentDistance(r, p, q), PointSegmentDistance(s, p, q)});
        }
    }
    return best;
}

// One random convex shape: a point (circle), a segment (edge) or a polygon.
struct RandomShape
{
    phCircleShape circle;
    phEdgeShape edge;
    phPolygonShape polygon;
    const phShape* shape = nullptr;

    explicit RandomShape(std::mt19937& rng)
    {
        std::uniform_real_distribution<float> u(-1.0f, 1.0f);
        switch (std::uniform_int_distribution<int>(0, 5)(rng)) {
        case 0:
            circle = MakeCircle(0.5f, {0.3f * u(rng), 0.3f * u(rng)});
            shape = &circle;
            break;
        case 1:
            edge = MakeEdge({u(rng), u(rng)}, {u(rng), u(rng)});
            shape = &edge;
            break;
        default:
            polygon = RandomPolygon(rng);
            shape = &polygon;
            break;
        }
    }
};

phTransform RandomTransform(std::mt19937& rng, float range)
{
    std::uniform_real_distribution<float> u(-range, range);
    std::uniform_real_distribution<float> angle(-phPi, phPi);
    return At(u(rng), u(rng), angle(rng));
}

} // namespace

TEST(DistanceTest, RandomConvexPairsMatchBruteForce)
{
    std::mt19937 rng(11);
    int overlapping = 0;
    for (int i = 0; i < 10000; ++i) {
        const RandomShape a(rng);
        const RandomShape b(rng);
        phDistanceQuery query;
        phConvexProxy proxyA;
        phConvexProxy proxyB;
        phSetShapeProxy(&proxyA, a.shape, 0);
        phSetShapeProxy(&proxyB, b.shape, 0);
        query.proxyA = &proxyA;
        query.proxyB = &proxyB;
        query.transformA = RandomTransform(rng, 2.0f);
        query.transformB = RandomTransform(rng, 2.0f);
        phSimplexMemo memo;
        phDistanceResult result;
        phComputeDistance(&result, &memo, query);

        const float expected =
            BruteDistance(WorldVertices(proxyA, query.transformA), WorldVertices(proxyB, query.transformB));
        overlapping += expected == 0.0f;
        ASSERT_NEAR(result.distance, expected, 1e-4f) << "pair " << i;
        ASSERT_LE(result.iterations, phMaxDistanceIterations);
        // The witness points are the closest points: they lie on the shapes.
        ASSERT_NEAR(phDistance(result.pointA, result.pointB), result.distance, 1e-5f);
    }
    // Both outcomes were exercised.
    EXPECT_GT(overlapping, 1000);
    EXPECT_LT(overlapping, 9000);
}

TEST(DistanceTest, RadiiShrinkTheDistance)
{
    const phCircleShape a = MakeCircle(1.0f);
    const phPolygonShape b = MakeBox(1.0f, 1.0f);
    phConvexProxy proxyA;
    phConvexProxy proxyB;
    phSetShapeProxy(&proxyA, &a, 0);
    phSetShapeProxy(&proxyB, &b, 0);
    phDistanceQuery query{&proxyA, &proxyB, At(0, 0), At(5, 0), true};
    phSimplexMemo memo;
    phDistanceResult result;
    phComputeDistance(&result, &memo, query);
    EXPECT_NEAR(result.distance, 4.0f - 1.0f - phPolygonRadius, 1e-5f);
    EXPECT_NEAR(result.pointA.x, 1.0f, 1e-5f);
    EXPECT_NEAR(result.pointB.x, 4.0f - phPolygonRadius, 1e-5f);

    // Identical boxes at one place: distance 0, both points the same.
    phConvexProxy proxyC;
    phSetShapeProxy(&proxyC, &b, 0);
    phDistanceQuery same{&proxyB, &proxyC, At(1, 1), At(1, 1), true};
    phSimplexMemo fresh;
    phComputeDistance(&result, &fresh, same);
    EXPECT_EQ(result.distance, 0.0f);
    EXPECT_EQ(result.pointA, result.pointB);
}

TEST(DistanceTest, WarmStartCutsIterations)
{
    std::mt19937 rng(13);
    long coldIterations = 0;
    long warmIterations = 0;
    for (int pair = 0; pair < 1000; ++pair) {
        const phPolygonShape a = RandomPolygon(rng);
        const phPolygonShape b = RandomPolygon(rng);
        phConvexProxy proxyA;
        phConvexProxy proxyB;
        phSetShapeProxy(&proxyA, &a, 0);
        phSetShapeProxy(&proxyB, &b, 0);
        phTransform xfB = RandomTransform(rng, 1.0f);
        xfB.p += phVector(4.0f, 0.0f);
        phSimplexMemo warm;
        float angle = 0.0f;
        for (int frame = 0; frame < 10; ++frame) {
            // Small motion from frame to frame, as between two steps.
            angle += 0.01f;
            xfB.p += phVector(-0.02f, 0.01f);
            const phDistanceQuery query{&proxyA, &proxyB, At(0, 0, angle), xfB, false};
            phSimplexMemo cold;
            phDistanceResult coldResult;
            phDistanceResult warmResult;
            phComputeDistance(&coldResult, &cold, query);
            phComputeDistance(&warmResult, &warm, query);
            ASSERT_NEAR(coldResult.distance, warmResult.distance, 1e-4f);
            if (frame > 0) {
                coldIterations += coldResult.iterations;
                warmIterations += warmResult.iterations;
            }
        }
    }
    EXPECT_LT(warmIterations, coldIterations * 3 / 4) << warmIterations << " vs " << coldIterations;
}

TEST(DistanceTest, StaleMemoIsIgnored)
{
    const phPolygonShape a = MakeBox(1.0f, 1.0f);
    const phPolygonShape b = MakeBox(0.5f, 0.5f);
    phConvexProxy proxyA;
    phConvexProxy proxyB;
    phSetShapeProxy(&proxyA, &a, 0);
    phSetShapeProxy(&proxyB, &b, 0);
    const phDistanceQuery query{&proxyA, &proxyB, At(0, 0), At(3, 0.2f), false};
    phSimplexMemo fresh;
    phDistanceResult expected;
    phComputeDistance(&expected, &fresh, query);

    phSimplexMemo stale;
    stale.count = 2;
    stale.indexA[0] = 1;
    stale.indexA[1] = 2;
    stale.indexB[0] = 3;
    stale.indexB[1] = 3;
    stale.metric = 100.0f; // the real edge is 2 long: more than a factor 2 off
    phDistanceResult result;
    phComputeDistance(&result, &stale, query);
    EXPECT_NEAR(result.distance, expected.distance, 1e-6f);
    EXPECT_EQ(result.iterations, expected.iterations);
    EXPECT_NEAR(result.distance, 1.5f, 1e-5f);
}

TEST(DistanceTest, DegenerateInputStopsWithinTheIterationLimit)
{
    // Eight vertices almost on one line, against a point on that line.
    std::vector<phVector> points;
    for (int i = 0; i < 8; ++i) {
        const float x = static_cast<float>(i) * 0.1f;
        points.push_back({x, 1e-7f * static_cast<float>(i * (7 - i))});
    }
    const phPolygonShape sliver = MakePolygon(points);
    const phCircleShape dot = MakeCircle(0.0f);
    phConvexProxy proxyA;
    phConvexProxy proxyB;
    phSetShapeProxy(&proxyA, &sliver, 0);
    phSetShapeProxy(&proxyB, &dot, 0);
    for (float x = -0.2f; x < 1.0f; x += 0.05f) {
        const phDistanceQuery query{&proxyA, &proxyB, At(0, 0), At(x, 0.0f), false};
        phSimplexMemo memo;
        phDistanceResult result;
        phComputeDistance(&result, &memo, query);
        EXPECT_LE(result.iterations, phMaxDistanceIterations);
        EXPECT_TRUE(std::isfinite(result.distance));
    }
}

namespace {

phBodyMotion Linear(phVector from, phVector to, float a0 = 0.0f, float a = 0.0f)
{
    phBodyMotion m;
    m.c0 = from;
    m.c = to;
    m.a0 = a0;
    m.a = a;
    return m;
}

phImpactResult Impact(const phShape& a, const phBodyMotion& ma, const phShape& b, const phBodyMotion& mb)
{
    phConvexProxy proxyA;
    phConvexProxy proxyB;
    phSetShapeProxy(&proxyA, &a, 0);
    phSetShapeProxy(&proxyB, &b, 0);
    phImpactQuery query;
    query.proxyA = &proxyA;
    query.proxyB = &proxyB;
    query.motionA = ma;
    query.motionB = mb;
    query.tMax = 1.0f;
    phImpactResult result;
    phComputeTimeOfImpact(&result, query);
    return result;
}

} // namespace

TEST(TimeOfImpactTest, LinearApproachMatchesAnalyticTime)
{
    const phPolygonShape box = MakeBox(1.0f, 1.0f);
    const phCircleShape ball = MakeCircle(0.5f);
    const phBodyMotion still = Linear({0, 0}, {0, 0});

    // The core shapes stop at the target separation: radius sum - 3 slop.
    const float target = box.m_radius + ball.m_radius - 3.0f * phLinearSlop;
    const struct
    {
        phVector from, to;
        float expected;
    } cases[] = {
        {{10, 0}, {-10, 0}, (10.0f - 1.0f - target) / 20.0f},
        {{0, -6}, {0, 4}, (6.0f - 1.0f - target) / 10.0f},
        {{3, 0.5f}, {-1, 0.5f}, (3.0f - 1.0f - target) / 4.0f},
    };
    for (const auto& c : cases) {
        const phImpactResult result = Impact(box, still, ball, Linear(c.from, c.to));
        EXPECT_EQ(result.state, phImpactResult::touching);
        const float speed = phDistance(c.from, c.to);
        EXPECT_NEAR(result.t, c.expected, 2.0f * phToiTolerance / speed);
    }

    // Two boxes approaching each other head-on, both moving.
    const phImpactResult boxes = Impact(box, Linear({-5, 0}, {5, 0}), box, Linear({5, 0.3f}, {-5, 0.3f}));
    const float boxTarget = 2.0f * phPolygonRadius - 3.0f * phLinearSlop;
    const float expected = (10.0f - 2.0f - std::max(boxTarget, phLinearSlop)) / 20.0f;
    EXPECT_EQ(boxes.state, phImpactResult::touching);
    EXPECT_NEAR(boxes.t, expected, 2.0f * phToiTolerance / 20.0f);
}

TEST(TimeOfImpactTest, OverlappedSeparatedAndThinEdge)
{
    const phPolygonShape box = MakeBox(1.0f, 1.0f);
    const phImpactResult same = Impact(box, Linear({1, 1}, {1, 1}), box, Linear({1, 1}, {1, 1}));
    EXPECT_EQ(same.state, phImpactResult::overlapped);
    EXPECT_EQ(same.t, 0.0f);

    const phCircleShape ball = MakeCircle(0.25f);
    const phImpactResult apart = Impact(box, Linear({0, 0}, {0, 0}), ball, Linear({3, 0}, {6, 2}));
    EXPECT_EQ(apart.state, phImpactResult::separated);
    EXPECT_EQ(apart.t, 1.0f);

    // A small ball passing straight through a thin edge within one step.
    const phEdgeShape edge = MakeEdge({-5, 0}, {5, 0});
    const phImpactResult through =
        Impact(edge, Linear({0, 0}, {0, 0}), ball, Linear({0.3f, 2}, {0.3f, -2}, 0, 3));
    EXPECT_EQ(through.state, phImpactResult::touching);
    EXPECT_LT(through.t, 1.0f);
    const float target = edge.m_radius + ball.m_radius - 3.0f * phLinearSlop;
    EXPECT_NEAR(through.t, (2.0f - target) / 4.0f, 2.0f * phToiTolerance / 4.0f);
}

TEST(TimeOfImpactTest, SpinningBoxHitsWall)
{
    // A turning box moving towards a wall: at the reported time the gap is the
    // target, and just before it the gap is larger.
    const phPolygonShape wall = MakeBox(0.1f, 5.0f);
    const phPolygonShape box = MakeBox(0.5f, 0.25f);
    const phBodyMotion still = Linear({0, 0}, {0, 0});
    const phBodyMotion spin = Linear({5, 0}, {-1, 0}, 0.0f, 3.0f);
    const phImpactResult result = Impact(wall, still, box, spin);
    ASSERT_EQ(result.state, phImpactResult::touching);

    phConvexProxy proxyA;
    phConvexProxy proxyB;
    phSetShapeProxy(&proxyA, &wall, 0);
    phSetShapeProxy(&proxyB, &box, 0);
    const phDistanceQuery atImpact{&proxyA, &proxyB, still.GetTransform(result.t),
                                   spin.GetTransform(result.t), false};
    phSimplexMemo memo;
    phDistanceResult distance;
    phComputeDistance(&distance, &memo, atImpact);
    const float target = std::max(phLinearSlop, 2.0f * phPolygonRadius - 3.0f * phLinearSlop);
    EXPECT_NEAR(distance.distance, target, phToiTolerance + 1e-5f);
    for (float t = 0.0f; t < result.t - 0.01f; t += 0.01f) {
        const phDistanceQuery before{&proxyA, &proxyB, still.GetTransform(t), spin.GetTransform(t), false};
        phSimplexMemo m;
        phComputeDistance(&distance, &m, before);
        ASSERT_GT(distance.distance, target) << "t " << t;
    }
}
