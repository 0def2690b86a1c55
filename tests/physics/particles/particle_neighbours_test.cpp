#include "physics/dynamics/callbacks.h"
#include "tests/physics/particles/particle_scenes.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <random>
#include <set>
#include <utility>
#include <vector>

using namespace phtest;

namespace {

using IndexPair = std::pair<int32_t, int32_t>;

IndexPair Ordered(int32_t a, int32_t b)
{
    return {std::min(a, b), std::max(a, b)};
}

// Every pair of particles closer than one diameter, by checking all pairs.
std::set<IndexPair> BruteForceContacts(const std::vector<phVector>& points, float diameter)
{
    std::set<IndexPair> pairs;
    for (size_t i = 0; i < points.size(); ++i) {
        for (size_t j = i + 1; j < points.size(); ++j) {
            if (phDistanceSquared(points[i], points[j]) < diameter * diameter) {
                pairs.insert(Ordered(static_cast<int32_t>(i), static_cast<int32_t>(j)));
            }
        }
    }
    return pairs;
}

// The system's contacts as unordered pairs; fails on a pair found twice.
std::set<IndexPair> SystemContacts(const phParticleSystem& system)
{
    std::set<IndexPair> pairs;
    for (const phParticleContact& c : system.GetContacts()) {
        EXPECT_TRUE(pairs.insert(Ordered(c.indexA, c.indexB)).second) << c.indexA << " " << c.indexB;
    }
    return pairs;
}

// Finds the contacts of the given points with one step in a world without gravity
// (contacts are found before the particles move).
std::set<IndexPair> ContactsOf(const std::vector<phVector>& points, float radius)
{
    auto world = MakeWorld({0.0f, 0.0f});
    phParticleSystem* const system = AddParticleSystem(*world, radius);
    for (const phVector& p : points) {
        AddParticle(*system, p);
    }
    world->Step(kStep, 8, 3);
    return SystemContacts(*system);
}

class ParticleCollector final : public phQueryCallback
{
public:
    bool ReportFixture(phFixture*) override { return true; }
    bool ReportParticle(const phParticleSystem*, int32_t index) override
    {
        indices.insert(index);
        return static_cast<int32_t>(indices.size()) < limit;
    }

    std::set<int32_t> indices;
    int32_t limit = 1 << 30;
};

} // namespace

TEST(ParticleTagTest, RowsColumnsAndClamping)
{
    const uint32_t origin = (2048u << 20) + 524288u;
    struct Case
    {
        float x, y;
        uint32_t tag;
    };
    const Case cases[] = {
        {0.0f, 0.0f, origin},
        {1.0f, 0.0f, origin + 256},
        {0.5f, 0.0f, origin + 128},
        {-0.5f, 0.0f, origin - 128},
        {0.0f, 1.0f, origin + (1u << 20)},
        {0.0f, 1.99f, origin + (1u << 20)}, // rows truncate
        {-1.0f, 1.0f, origin + 0xFFF00},    // one row down, one cell left
        {1.0f, 1.0f, origin + 0x100100},    // one row down, one cell right
        {-2048.0f, -2048.0f, 0},
        {-1e9f, -1e9f, 0}, // clamped, not undefined
        {1e9f, 1e9f, 0xFFFFFFFFu},
        {INFINITY, -INFINITY, 0xFFFFFu},
        {NAN, NAN, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(phParticleSystem::ComputeTag(c.x, c.y), c.tag) << c.x << ", " << c.y;
    }
}

TEST(ParticleTagTest, FastInverseSquareRoot)
{
    for (const float x : {1e-6f, 0.01f, 0.25f, 1.0f, 2.0f, 3.0f, 100.0f, 12345.0f, 1e8f}) {
        const float exact = 1.0f / std::sqrt(x);
        EXPECT_NEAR(phInvSqrt(x) / exact, 1.0f, 0.002f) << x;
    }
    // Coincident particles: a finite value that a zero distance cancels.
    EXPECT_TRUE(std::isfinite(phInvSqrt(0.0f)));
    EXPECT_EQ(0.0f * phInvSqrt(0.0f), 0.0f);
}

TEST(ParticleContactTest, EqualsBruteForceOnRandomParticles)
{
    std::mt19937 rng(11);
    std::uniform_real_distribution<float> u(-2.0f, 2.0f);
    std::vector<phVector> points;
    for (int i = 0; i < 5000; ++i) {
        points.emplace_back(u(rng), u(rng));
    }
    const float radius = 0.05f;
    const std::set<IndexPair> expected = BruteForceContacts(points, 2.0f * radius);
    ASSERT_GT(expected.size(), 5000u); // a dense scene: every particle has neighbours
    EXPECT_EQ(ContactsOf(points, radius), expected);
}

// Isolated pairs of particles of diameter 1 (tags then use world coordinates).
TEST(ParticleContactTest, PairsAtTheLimits)
{
    struct Case
    {
        const char* name;
        phVector a, b;
        bool contact;
    };
    const Case cases[] = {
        {"exactly one diameter apart", {0.0f, 0.0f}, {1.0f, 0.0f}, false},
        {"exactly one diameter apart vertically", {0.0f, 0.0f}, {0.0f, 1.0f}, false},
        {"just under one diameter", {0.0f, 0.0f}, {0.999f, 0.0f}, true},
        {"next row, right", {0.3f, 0.999f}, {0.95f, 1.2f}, true},
        {"next row, left", {0.9f, 0.999f}, {0.2f, 1.3f}, true},
        {"same cell row, far right of the cell", {0.99f, 0.5f}, {1.9f, 0.6f}, true},
        {"adjacent rows, more than a cell apart", {0.0f, 0.9f}, {1.5f, 1.1f}, false},
        {"two rows apart", {0.0f, 0.0f}, {0.0f, 2.0f}, false},
        {"coincident", {0.5f, 0.5f}, {0.5f, 0.5f}, true},
    };
    for (const Case& c : cases) {
        // Far from the other cases so that each pair is alone.
        const std::set<IndexPair> contacts = ContactsOf({c.a, c.b}, 0.5f);
        EXPECT_EQ(contacts.size(), c.contact ? 1u : 0u) << c.name;
    }
}

TEST(ParticleContactTest, WeightAndNormal)
{
    auto world = MakeWorld({0.0f, 0.0f});
    phParticleSystem* const system = AddParticleSystem(*world, 0.5f);
    AddParticle(*system, {0.0f, 0.0f});
    AddParticle(*system, {0.36f, 0.48f}); // 0.6 away
    world->Step(kStep, 8, 3);
    ASSERT_EQ(system->GetContacts().GetCount(), 1);
    const phParticleContact& c = system->GetContacts()[0];
    EXPECT_NEAR(c.weight, 0.4f, 0.002f);
    const float sign = c.indexA == 0 ? 1.0f : -1.0f; // the normal points from A to B
    EXPECT_NEAR(c.normal.x, sign * 0.6f, 0.002f);
    EXPECT_NEAR(c.normal.y, sign * 0.8f, 0.002f);
}

TEST(ParticleQueryTest, BoxQueryEqualsBruteForce)
{
    auto world = MakeWorld();
    phParticleSystem* const system = AddParticleSystem(*world, 0.05f);
    std::mt19937 rng(5);
    std::uniform_real_distribution<float> u(-3.0f, 3.0f);
    std::vector<phVector> points;
    for (int i = 0; i < 3000; ++i) {
        points.emplace_back(u(rng), u(rng));
        AddParticle(*system, points.back());
    }
    for (int k = 0; k < 200; ++k) {
        const phVector a(u(rng), u(rng));
        const phVector b(u(rng), u(rng));
        const phBounds box{phMin(a, b), phMax(a, b)};
        std::set<int32_t> expected;
        for (size_t i = 0; i < points.size(); ++i) {
            const phVector& p = points[i];
            if (box.lower.x <= p.x && p.x <= box.upper.x && box.lower.y <= p.y && p.y <= box.upper.y) {
                expected.insert(static_cast<int32_t>(i));
            }
        }
        ParticleCollector collector;
        world->QueryAABB(&collector, box);
        ASSERT_EQ(collector.indices, expected) << k;
    }

    // The callback stops the query.
    ParticleCollector first;
    first.limit = 1;
    world->QueryAABB(&first, {{-3.0f, -3.0f}, {3.0f, 3.0f}});
    EXPECT_EQ(first.indices.size(), 1u);
}
