#include "physics/common/allocation.h"
#include "physics/dynamics/callbacks.h"
#include "tests/physics/particles/particle_scenes.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <utility>
#include <vector>

using namespace phtest;

namespace {

class RecordingObserver final : public phWorld::DestroyObserver
{
public:
    void ParticleRemoved(phParticleSystem*, int32_t index) override { removed.push_back(index); }
    void ParticleGroupDestroyed(phParticleGroup* group) override { groups.push_back(group); }

    std::vector<int32_t> removed;
    std::vector<phParticleGroup*> groups;
};

// Positions identify particles in a paused system, where nothing moves.
using Point = std::pair<float, float>;

Point At(const phParticleSystem& system, int32_t index)
{
    const phVector& p = system.GetPositionBuffer()[index];
    return {p.x, p.y};
}

std::set<std::vector<Point>> PairPoints(const phParticleSystem& system)
{
    std::set<std::vector<Point>> result;
    for (const phParticlePair& p : system.GetPairs()) {
        result.insert({At(system, p.indexA), At(system, p.indexB)});
    }
    return result;
}

std::set<std::vector<Point>> TriadPoints(const phParticleSystem& system)
{
    std::set<std::vector<Point>> result;
    for (const phParticleTriad& t : system.GetTriads()) {
        result.insert({At(system, t.indexA), At(system, t.indexB), At(system, t.indexC)});
    }
    return result;
}

std::set<std::vector<Point>> ContactPoints(const phParticleSystem& system)
{
    std::set<std::vector<Point>> result;
    for (const phParticleContact& c : system.GetContacts()) {
        result.insert({At(system, c.indexA), At(system, c.indexB)});
    }
    return result;
}

// Drops the entries that name a removed point.
std::set<std::vector<Point>> Surviving(const std::set<std::vector<Point>>& entries,
                                       const std::set<Point>& removed)
{
    std::set<std::vector<Point>> result;
    for (const std::vector<Point>& e : entries) {
        if (std::none_of(e.begin(), e.end(), [&](const Point& p) { return removed.count(p) > 0; })) {
            result.insert(e);
        }
    }
    return result;
}

class CountingListener final : public phContactListener
{
public:
    void BeginContact(phParticleSystem*, phParticleContact* contact) override
    {
        particleBegins.push_back({contact->indexA, contact->indexB});
    }
    void BeginContact(phParticleSystem*, phParticleBodyContact* contact) override
    {
        bodyBegins.push_back(contact->index);
    }
    void EndContact(phParticleSystem*, int32_t a, int32_t b) override { particleEnds.push_back({a, b}); }
    void EndContact(phFixture* fixture, phParticleSystem*, int32_t index) override
    {
        bodyEnds.push_back(index);
        endFixture = fixture;
    }
    std::vector<std::pair<int32_t, int32_t>> particleBegins, particleEnds;
    std::vector<int32_t> bodyBegins, bodyEnds;
    phFixture* endFixture = nullptr;
};

} // namespace

TEST(ParticleSystemTest, FlagNames)
{
    EXPECT_STREQ(ph_particleFlagNames[0], "waterParticle");
    EXPECT_STREQ(ph_particleFlagNames[1], "zombieParticle");
    EXPECT_STREQ(ph_particleFlagNames[13], "repulsiveParticle");
    // Entry k names the flag bit 1 << k.
    EXPECT_EQ(1u << 10, static_cast<uint32_t>(phBarrierParticle));
    EXPECT_STREQ(ph_particleFlagNames[10], "barrierParticle");
    EXPECT_STREQ(ph_particleFlagNames[8], "colorMixingParticle");
}

// Buffers double from 256; the maximum count and a caller's buffer cap them.
TEST(ParticleSystemTest, BuffersGrowByDoubling)
{
    auto world = MakeWorld();
    phParticleSystem* const system = AddParticleSystem(*world, 0.05f);
    for (int i = 0; i < 1000; ++i) {
        ASSERT_EQ(
            AddParticle(*system, {0.1f * static_cast<float>(i % 100), 0.3f * static_cast<float>(i / 100)}),
            i);
        const int capacity = system->GetInternalCapacity();
        EXPECT_EQ(capacity, i < 256 ? 256 : i < 512 ? 512 : 1024) << i;
    }
    for (int i = 0; i < 1000; ++i) {
        ASSERT_EQ(system->GetPositionBuffer()[i],
                  phVector(0.1f * static_cast<float>(i % 100), 0.3f * static_cast<float>(i / 100)));
    }

    phParticleSystemDef def;
    def.radius = 0.05f;
    def.maxCount = 300;
    phParticleSystem* const limited = world->CreateParticleSystem(def);
    for (int i = 0; i < 300; ++i) {
        ASSERT_EQ(AddParticle(*limited, {0.0f, 0.0f}), i);
    }
    EXPECT_EQ(AddParticle(*limited, {0.0f, 0.0f}), -1);

    std::array<phVector, 100> positions{};
    phParticleSystem* const supplied = AddParticleSystem(*world, 0.05f);
    AddParticle(*supplied, {1.0f, 2.0f});
    supplied->SetPositionBuffer(positions.data(), static_cast<int32_t>(positions.size()));
    EXPECT_EQ(positions[0], phVector(1.0f, 2.0f)); // the current values move over
    for (int i = 1; i < 100; ++i) {
        ASSERT_EQ(AddParticle(*supplied, {static_cast<float>(i), 0.0f}), i);
    }
    EXPECT_EQ(AddParticle(*supplied, {0.0f, 0.0f}), -1);
    EXPECT_EQ(positions[99], phVector(99.0f, 0.0f));
    EXPECT_EQ(supplied->GetPositionBuffer(), positions.data());
}

TEST(ParticleSystemTest, WorldListAndIterationEstimate)
{
    auto world = MakeWorld({0.0f, -10.0f});
    EXPECT_EQ(world->EstimateParticleIterations(kStep), 1);
    phParticleSystem* const a = AddParticleSystem(*world, 1.0f);
    // ceil(sqrt(g / (0.01 r)) dt), between 1 and 8.
    EXPECT_EQ(world->EstimateParticleIterations(kStep), 1); // 31.6 / 60
    phParticleSystem* const b = AddParticleSystem(*world, 0.025f);
    EXPECT_EQ(world->EstimateParticleIterations(kStep), 4); // 200 / 60
    EXPECT_EQ(world->EstimateParticleIterations(1.0f / 30.0f), 7);
    phParticleSystem* const c = AddParticleSystem(*world, 0.001f);
    EXPECT_EQ(world->EstimateParticleIterations(kStep), 8); // 1000 / 60, capped
    world->SetGravity({0.0f, 0.0f});
    EXPECT_EQ(world->EstimateParticleIterations(kStep), 1);

    EXPECT_EQ(world->GetParticleSystemList(), c);
    world->DestroyParticleSystem(b);
    EXPECT_EQ(c->GetNext(), a);
    EXPECT_EQ(a->GetNext(), nullptr);
}

// Nothing can be created while the world steps (here: from a contact listener).
TEST(ParticleSystemTest, NoCreationWhileLocked)
{
    class Creator final : public phContactListener
    {
    public:
        void BeginContact(phContact*) override
        {
            ++calls;
            systemWhileLocked = world->CreateParticleSystem(phParticleSystemDef());
            particleWhileLocked = AddParticle(*system, {0.0f, 5.0f});
            groupWhileLocked = system->CreateParticleGroup(phParticleGroupDef());
        }
        phWorld* world = nullptr;
        phParticleSystem* system = nullptr;
        int calls = 0;
        phParticleSystem* systemWhileLocked = nullptr;
        int32_t particleWhileLocked = 0;
        phParticleGroup* groupWhileLocked = nullptr;
    };
    auto world = MakeWorld();
    AddGround(*world, 5.0f);
    AddShape(AddBody(*world, phDynamicBody, {0.0f, 0.6f}), MakeCircle(0.5f));
    Creator creator;
    creator.world = world.get();
    creator.system = AddParticleSystem(*world, 0.05f);
    world->SetContactListener(&creator);
    for (int i = 0; i < 30 && creator.calls == 0; ++i) {
        world->Step(kStep, 8, 3);
    }
    ASSERT_GT(creator.calls, 0);
    EXPECT_EQ(creator.systemWhileLocked, nullptr);
    EXPECT_EQ(creator.particleWhileLocked, -1);
    EXPECT_EQ(creator.groupWhileLocked, nullptr);
    EXPECT_EQ(creator.system->GetParticleCount(), 0);
}

// Removing particles renumbers the survivors in order and every record that
// names particles; the groups' ranges follow.
TEST(ParticleSystemTest, CompactionRemapsEverything)
{
    RecordingObserver observer; // outlives the world, which tells it at teardown
    auto world = MakeWorld({0.0f, 0.0f});
    world->SetDestroyObserver(&observer);
    phParticleSystem* const system = AddParticleSystem(*world, 0.05f);
    const float s = system->GetParticleStride();
    phParticleGroup* const net =
        AddParticleBlock(*system, 8, 6, s, {0.0f, 0.0f}, phSpringParticle | phElasticParticle);
    phParticleGroup* const doomed = AddParticleBlock(*system, 2, 2, s, {5.0f, 0.0f});
    phParticleGroupDef keptDef;
    keptDef.groupFlags = phParticleGroupCanBeEmpty;
    const phVector lonely[1] = {{8.0f, 0.0f}};
    keptDef.positionData = lonely;
    keptDef.particleCount = 1;
    phParticleGroup* const kept = system->CreateParticleGroup(keptDef);
    phParticleGroup* const tail = AddParticleBlock(*system, 3, 1, s, {12.0f, 0.0f});
    const int32_t loose = AddParticle(*system, {10.0f, 0.0f});
    const int32_t total = system->GetParticleCount();
    ASSERT_EQ(total, 48 + 4 + 1 + 3 + 1);
    ASSERT_GT(system->GetPairs().GetCount(), 50);
    ASSERT_GT(system->GetTriads().GetCount(), 30);

    system->SetPaused(true);
    world->Step(kStep, 8, 3); // contacts are only found by steps that solve
    system->SetPaused(false);
    world->Step(kStep, 8, 3);
    system->SetPaused(true);
    const auto pairs = PairPoints(*system);
    const auto triads = TriadPoints(*system);
    const auto contacts = ContactPoints(*system);
    ASSERT_FALSE(contacts.empty());

    const phParticleHandle* const survivorHandle = system->GetParticleHandleFromIndex(47);
    const phParticleHandle* const removedHandle = system->GetParticleHandleFromIndex(3);
    const Point survivorPoint = At(*system, 47);
    std::set<Point> removed;
    std::vector<int32_t> listened;
    for (int32_t i = 0; i < 48; i += 3) {
        removed.insert(At(*system, i));
        system->DestroyParticle(i, i % 2 == 0);
        if (i % 2 == 0) {
            listened.push_back(i);
        }
    }
    for (int32_t i = doomed->GetBufferIndex(); i < doomed->GetBufferIndex() + 4; ++i) {
        removed.insert(At(*system, i));
        system->DestroyParticle(i);
    }
    removed.insert(At(*system, kept->GetBufferIndex()));
    system->DestroyParticle(kept->GetBufferIndex());
    const Point loosePoint = At(*system, loose);
    world->Step(kStep, 8, 3);

    EXPECT_EQ(system->GetParticleCount(), total - static_cast<int32_t>(removed.size()));
    EXPECT_EQ(observer.removed, listened);
    EXPECT_EQ(PairPoints(*system), Surviving(pairs, removed));
    EXPECT_EQ(TriadPoints(*system), Surviving(triads, removed));
    EXPECT_EQ(ContactPoints(*system), Surviving(contacts, removed));
    EXPECT_EQ(net->GetBufferIndex(), 0);
    EXPECT_EQ(net->GetParticleCount(), 48 - 16);
    for (int32_t i = 0; i < net->GetParticleCount(); ++i) {
        EXPECT_EQ(system->GetGroupBuffer()[i], net);
    }
    // The emptied group goes unless it may be empty.
    EXPECT_EQ(observer.groups, std::vector<phParticleGroup*>{doomed});
    EXPECT_EQ(system->GetParticleGroupCount(), 3);
    EXPECT_EQ(kept->GetParticleCount(), 0);
    EXPECT_EQ(tail->GetBufferIndex(), 32);
    EXPECT_EQ(tail->GetParticleCount(), 3);
    for (int32_t i = 32; i < 35; ++i) {
        EXPECT_EQ(system->GetGroupBuffer()[i], tail);
    }
    EXPECT_EQ(At(*system, system->GetParticleCount() - 1), loosePoint);
    EXPECT_EQ(system->GetGroupBuffer()[system->GetParticleCount() - 1], nullptr);
    // Handles follow their particles.
    EXPECT_EQ(removedHandle->index, -1);
    EXPECT_EQ(At(*system, survivorHandle->index), survivorPoint);
    EXPECT_EQ(system->GetParticleHandleFromIndex(survivorHandle->index), survivorHandle);
}

// With lifetimes in steps of 1/60 s, a particle is removed at the step that
// reaches its lifetime.
TEST(ParticleSystemTest, ParticlesExpire)
{
    auto world = MakeWorld({0.0f, 0.0f});
    phParticleSystem* const system = AddParticleSystem(*world, 0.05f);
    phParticleDef def;
    def.lifetime = 1.0f;
    def.position = {0.0f, 0.0f};
    def.userData = &def;
    system->CreateParticle(def);
    def.lifetime = 0.0f; // never
    def.position = {1.0f, 0.0f};
    def.userData = nullptr;
    system->CreateParticle(def);
    def.lifetime = 0.5f;
    def.position = {2.0f, 0.0f};
    system->CreateParticle(def);
    std::map<int, int32_t> counts;
    for (int step = 1; step <= 61; ++step) {
        world->Step(kStep, 8, 3);
        counts[step] = system->GetParticleCount();
    }
    EXPECT_EQ(counts[29], 3);
    EXPECT_EQ(counts[30], 2);
    EXPECT_EQ(counts[59], 2);
    EXPECT_EQ(counts[60], 1);
    EXPECT_EQ(system->GetPositionBuffer()[0], phVector(1.0f, 0.0f));
    EXPECT_EQ(system->GetUserDataBuffer()[0], nullptr);
}

// A system returns every block it took: after a first system has left the
// allocator its chunks, a second one built and destroyed the same way leaves
// the engine's allocation count where it was. The world's teardown destroys
// systems it still has.
TEST(ParticleSystemTest, DestructionReleasesEverything)
{
    const int32_t before = phGetAllocationCount();
    RecordingObserver observer;
    {
        auto world = MakeWorld();
        world->SetDestroyObserver(&observer);
        AddEdgeBox(*world, 4.0f, 3.0f);
        auto build = [&world] {
            phParticleSystem* const system = AddParticleSystem(*world, 0.05f);
            AddParticleBlock(*system, 30, 20, system->GetParticleStride(), {0.5f, 0.5f},
                             phSpringParticle | phElasticParticle | phColorMixingParticle,
                             phSolidParticleGroup);
            AddParticleBlock(*system, 10, 10, system->GetParticleStride(), {2.5f, 0.5f},
                             phTensileParticle | phStaticPressureParticle);
            system->GetParticleHandleFromIndex(5);
            system->SetParticleLifetime(7, 10.0f);
            system->SetStuckThreshold(3);
            for (int i = 0; i < 10; ++i) {
                world->Step(kStep, 8, 3, 2);
            }
            return system;
        };
        world->DestroyParticleSystem(build());
        const int32_t warm = phGetAllocationCount();
        world->DestroyParticleSystem(build());
        EXPECT_EQ(phGetAllocationCount(), warm);
        EXPECT_EQ(observer.groups.size(), 4u);
        build(); // left to the world's teardown
        AddParticleSystem(*world, 0.1f);
    }
    EXPECT_EQ(phGetAllocationCount(), before);
    EXPECT_EQ(observer.groups.size(), 6u);
}

TEST(ParticleSystemTest, ContactListenerAndFilter)
{
    auto world = MakeWorld({0.0f, 0.0f});
    CountingListener listener;
    world->SetContactListener(&listener);
    phBody* const ground = AddGround(*world, 5.0f);
    phParticleSystem* const system = AddParticleSystem(*world, 0.05f);
    const uint32_t flags = phParticleContactListenerParticle | phFixtureContactListenerParticle;
    const int32_t a = AddParticle(*system, {0.0f, 0.06f}, {}, flags);
    const int32_t b = AddParticle(*system, {0.07f, 0.06f}, {}, flags);
    AddParticle(*system, {3.0f, 1.0f});
    AddParticle(*system, {3.05f, 1.0f}); // in contact, but not listened to
    world->Step(kStep, 8, 3);
    world->Step(kStep, 8, 3);
    ASSERT_EQ(listener.particleBegins.size(), 1u);
    EXPECT_EQ(std::minmax(listener.particleBegins[0].first, listener.particleBegins[0].second),
              std::minmax(a, b));
    EXPECT_EQ(listener.bodyBegins.size(), 2u);
    EXPECT_TRUE(listener.particleEnds.empty());

    system->GetPositionBuffer()[b] = {2.0f, 2.0f};
    world->Step(kStep, 8, 3);
    ASSERT_EQ(listener.particleEnds.size(), 1u);
    ASSERT_EQ(listener.bodyEnds, std::vector<int32_t>{b});
    EXPECT_EQ(listener.endFixture, ground->GetFixtureList());

    // A filter that refuses every particle: filtered particles touch nothing.
    class Refuser final : public phContactFilter
    {
    public:
        bool ShouldCollide(phParticleSystem*, int32_t, int32_t) override { return false; }
        bool ShouldCollide(phFixture*, phParticleSystem*, int32_t) override { return false; }
    };
    Refuser refuser;
    world->SetContactFilter(&refuser);
    world->SetGravity({0.0f, -10.0f});
    const uint32_t filtered = phParticleContactFilterParticle | phFixtureContactFilterParticle;
    const int32_t c = AddParticle(*system, {-2.0f, 0.5f}, {}, filtered);
    const int32_t d = AddParticle(*system, {-2.0f, 0.55f}, {}, filtered);
    for (int i = 0; i < 60; ++i) {
        world->Step(kStep, 8, 3);
    }
    for (const phParticleContact& contact : system->GetContacts()) {
        EXPECT_FALSE(contact.indexA == c || contact.indexA == d) << contact.indexB;
    }
    EXPECT_LT(system->GetPositionBuffer()[c].y, -1.0f); // fell through the ground
    EXPECT_GT(system->GetPositionBuffer()[0].y, 0.0f);  // the others did not
}

// A particle in a narrow notch touches both sides at once and is reported stuck
// once that lasts beyond the threshold; one on flat ground is not.
TEST(ParticleSystemTest, StuckParticles)
{
    auto world = MakeWorld({0.0f, -10.0f});
    phBody* const walls = AddBody(*world, phStaticBody, {0.0f, 0.0f});
    AddShape(walls, MakeEdge({-1.0f, 1.0f}, {0.0f, 0.0f}), 0.0f);
    AddShape(walls, MakeEdge({0.0f, 0.0f}, {1.0f, 1.0f}), 0.0f);
    AddShape(walls, MakeEdge({2.0f, 0.0f}, {4.0f, 0.0f}), 0.0f);
    phParticleSystem* const system = AddParticleSystem(*world, 0.05f);
    system->SetStuckThreshold(3);
    const int32_t notched = AddParticle(*system, {0.0f, 0.2f});
    AddParticle(*system, {3.0f, 0.2f});
    for (int i = 0; i < 60; ++i) {
        world->Step(kStep, 8, 3);
    }
    ASSERT_EQ(system->GetStuckCandidateCount(), 1);
    EXPECT_EQ(system->GetStuckCandidates()[0], notched);
}

// A group with elastic particles on a triangular lattice gets one triad per
// Delaunay triangle of the lattice.
TEST(ParticleSystemTest, ElasticGroupTriadsOnALattice)
{
    auto world = MakeWorld({0.0f, 0.0f});
    phParticleSystem* const system = AddParticleSystem(*world, 0.05f);
    const float s = system->GetParticleStride();
    const int n = 6;
    const int m = 10;
    std::vector<phVector> points;
    for (int row = 0; row < n; ++row) {
        for (int column = 0; column < m; ++column) {
            points.emplace_back(s * (static_cast<float>(column) + 0.5f * static_cast<float>(row % 2)),
                                s * 0.8660254f * static_cast<float>(row));
        }
    }
    phParticleGroupDef def;
    def.flags = phElasticParticle;
    def.positionData = points.data();
    def.particleCount = static_cast<int32_t>(points.size());
    system->CreateParticleGroup(def);
    EXPECT_EQ(system->GetTriads().GetCount(), 2 * (n - 1) * (m - 1) + (n - 2));
    for (const phParticleTriad& t : system->GetTriads()) {
        EXPECT_NEAR(t.pa.x + t.pb.x + t.pc.x, 0.0f, 1e-6f); // offsets from the centroid
        EXPECT_NEAR(t.pa.y + t.pb.y + t.pc.y, 0.0f, 1e-6f);
    }
    // No pairs without springs or barriers.
    EXPECT_EQ(system->GetPairs().GetCount(), 0);
}

// Reactive particles make their pairs at the next step and lose the flag.
TEST(ParticleSystemTest, ReactiveParticlesConnectOnce)
{
    auto world = MakeWorld({0.0f, 0.0f});
    phParticleSystem* const system = AddParticleSystem(*world, 0.05f);
    AddParticle(*system, {0.0f, 0.0f}, {}, phSpringParticle | phReactiveParticle);
    AddParticle(*system, {0.07f, 0.0f}, {}, phSpringParticle);
    AddParticle(*system, {1.0f, 0.0f}, {}, phSpringParticle);
    AddParticle(*system, {1.07f, 0.0f}, {}, phSpringParticle);
    EXPECT_EQ(system->GetPairs().GetCount(), 0);
    world->Step(kStep, 8, 3);
    ASSERT_EQ(system->GetPairs().GetCount(), 1); // only where a reactive particle is
    EXPECT_EQ(std::minmax(system->GetPairs()[0].indexA, system->GetPairs()[0].indexB), std::minmax(0, 1));
    EXPECT_EQ(system->GetParticleFlags(0) & phReactiveParticle, 0u);
    EXPECT_EQ(system->GetAllParticleFlags() & phReactiveParticle, 0u);
}

// With the strict check a particle keeps its four heaviest body contacts.
TEST(ParticleSystemTest, StrictContactCheckKeepsFourContacts)
{
    for (const bool strict : {false, true}) {
        auto world = MakeWorld({0.0f, 0.0f});
        phBody* const shelves = AddBody(*world, phStaticBody, {0.0f, 0.0f});
        for (int k = 0; k < 6; ++k) {
            const float y = -0.02f - 0.01f * static_cast<float>(k);
            AddShape(shelves, MakeEdge({-0.2f, y}, {0.2f, y}), 0.0f);
        }
        phParticleSystemDef def;
        def.radius = 0.05f;
        def.strictContactCheck = strict;
        phParticleSystem* const system = world->CreateParticleSystem(def);
        AddParticle(*system, {0.0f, 0.0f});
        world->Step(kStep, 8, 3);
        std::vector<float> weights;
        for (const phParticleBodyContact& c : system->GetBodyContacts()) {
            weights.push_back(c.weight);
        }
        std::sort(weights.begin(), weights.end());
        if (strict) {
            ASSERT_EQ(weights.size(), 4u);
            EXPECT_NEAR(weights[0], 0.5f, 1e-5f); // 1 - 0.05 / 0.1: the fourth nearest
        } else {
            EXPECT_EQ(weights.size(), 6u);
        }
    }
}

// Non-finite values given by a caller stay with the particles that carry them.
TEST(ParticleSystemTest, BadValuesStayContained)
{
    auto world = MakeWorld({0.0f, -10.0f});
    AddGround(*world, 5.0f);
    phParticleSystemDef def;
    def.radius = 0.05f;
    def.colorMixingStrength = NAN;
    def.lifetimeGranularity = 0.0f;
    phParticleSystem* const system = world->CreateParticleSystem(def);
    const int32_t a = AddParticle(*system, {0.0f, 0.3f}, {}, phColorMixingParticle);
    const int32_t b = AddParticle(*system, {0.05f, 0.3f}, {}, phColorMixingParticle);
    AddParticle(*system, {INFINITY, 1.0f}, {1.0f, 0.0f});
    AddParticle(*system, {0.5f, 0.3f}, {NAN, 0.0f});
    AddParticle(*system, {NAN, NAN});
    system->SetParticleLifetime(b, NAN);
    for (int i = 0; i < 30; ++i) {
        world->Step(kStep, 8, 3);
    }
    // With granules of 0 s the elapsed time is already past every lifetime.
    system->SetParticleLifetime(2, 1.0f);
    for (int i = 0; i < 30; ++i) {
        world->Step(kStep, 8, 3);
    }
    EXPECT_EQ(system->GetParticleCount(), 4);
    for (const int32_t i : {a, b}) {
        const phVector& p = system->GetPositionBuffer()[i];
        ASSERT_TRUE(p.IsValid()) << i;
        EXPECT_GT(p.y, 0.0f) << i; // still held by the ground
        EXPECT_LT(p.y, 0.1f) << i;
    }
}
