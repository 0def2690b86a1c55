// Rigid-body engine benchmarks: collision routines, tree, allocator and whole
// world steps.
#include "physics/collision/aabb_tree.h"
#include "physics/collision/distance.h"
#include "physics/collision/time_of_impact.h"
#include "physics/common/block_allocator.h"
#include "tests/physics/scenes.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <random>
#include <vector>

using namespace phtest;

namespace {

struct ProxyPairs
{
    std::vector<phPolygonShape> shapes;
    std::vector<phTransform> transforms;

    ProxyPairs()
    {
        std::mt19937 rng(3);
        std::uniform_real_distribution<float> u(-2.0f, 2.0f);
        for (int i = 0; i < 256; ++i) {
            shapes.push_back(RandomPolygon(rng));
            transforms.emplace_back(phVector(u(rng), u(rng)), phRotation(u(rng)));
        }
    }
};

void BM_Distance(benchmark::State& state)
{
    const ProxyPairs pairs;
    std::vector<phConvexProxy> proxies(pairs.shapes.size());
    for (size_t i = 0; i < proxies.size(); ++i) {
        phSetShapeProxy(&proxies[i], &pairs.shapes[i], 0);
    }
    size_t i = 0;
    for (auto _ : state) {
        const size_t a = i % proxies.size();
        const size_t b = (i * 7 + 1) % proxies.size();
        const phDistanceQuery query{&proxies[a], &proxies[b], pairs.transforms[a], pairs.transforms[b], true};
        phSimplexMemo memo;
        phDistanceResult result;
        phComputeDistance(&result, &memo, query);
        benchmark::DoNotOptimize(result.distance);
        ++i;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Distance);

void BM_TimeOfImpact(benchmark::State& state)
{
    const phPolygonShape box = MakeBox(0.5f, 0.5f);
    const phCircleShape ball = MakeCircle(0.1f);
    phConvexProxy proxyA;
    phConvexProxy proxyB;
    phSetShapeProxy(&proxyA, &box, 0);
    phSetShapeProxy(&proxyB, &ball, 0);
    phImpactQuery query;
    query.proxyA = &proxyA;
    query.proxyB = &proxyB;
    query.motionA.c0 = query.motionA.c = {0.0f, 0.0f};
    query.motionA.a0 = 0.0f;
    query.motionA.a = 0.5f;
    query.motionB.c0 = {-4.0f, 0.3f};
    query.motionB.c = {4.0f, -0.2f};
    query.motionB.a = 2.0f;
    for (auto _ : state) {
        phImpactResult result;
        phComputeTimeOfImpact(&result, query);
        benchmark::DoNotOptimize(result.t);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_TimeOfImpact);

// One create, move and destroy per iteration in a tree of the given size.
void BM_TreeOperations(benchmark::State& state)
{
    const auto size = static_cast<int>(state.range(0));
    phAabbTree tree;
    std::mt19937 rng(5);
    std::uniform_real_distribution<float> u(-100.0f, 100.0f);
    std::vector<int32_t> ids;
    std::vector<phBounds> boxes;
    for (int i = 0; i < size; ++i) {
        const phVector p(u(rng), u(rng));
        boxes.push_back({p, p + phVector(1.0f, 1.0f)});
        ids.push_back(tree.CreateProxy(boxes.back(), nullptr));
    }
    size_t k = 0;
    for (auto _ : state) {
        const size_t i = k % ids.size();
        const phVector d(0.5f * (static_cast<float>(k % 7) - 3.0f), 0.3f);
        boxes[i] = {boxes[i].lower + d, boxes[i].upper + d};
        tree.MoveProxy(ids[i], boxes[i], d);
        const int32_t extra = tree.CreateProxy(boxes[(k * 13) % boxes.size()], nullptr);
        tree.DestroyProxy(extra);
        ++k;
    }
    state.SetItemsProcessed(3 * state.iterations());
}
BENCHMARK(BM_TreeOperations)->Arg(1000)->Arg(10000);

void BM_BlockAllocator(benchmark::State& state)
{
    phBlockAllocator allocator;
    std::vector<void*> blocks(256);
    for (auto _ : state) {
        for (size_t i = 0; i < blocks.size(); ++i) {
            blocks[i] = allocator.Allocate(static_cast<int32_t>(16 + (i * 40) % 600));
        }
        for (size_t i = 0; i < blocks.size(); ++i) {
            allocator.Free(blocks[i], static_cast<int32_t>(16 + (i * 40) % 600));
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(blocks.size()));
}
BENCHMARK(BM_BlockAllocator);

void BM_Malloc(benchmark::State& state)
{
    std::vector<void*> blocks(256);
    for (auto _ : state) {
        for (size_t i = 0; i < blocks.size(); ++i) {
            blocks[i] = std::malloc(16 + (i * 40) % 600);
            benchmark::DoNotOptimize(blocks[i]);
        }
        for (void* block : blocks) {
            std::free(block);
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(blocks.size()));
}
BENCHMARK(BM_Malloc);

// Steps a world and reports ms per step with the profile's phases, and the
// time of one body's share of a step.
void RunSteps(benchmark::State& state, phWorld& world)
{
    double collide = 0.0, solve = 0.0, broadphase = 0.0, continuous = 0.0;
    for (auto _ : state) {
        world.Step(kStep, 8, 3);
        const phStepProfile& p = world.GetProfile();
        collide += p.collide;
        solve += p.solve;
        broadphase += p.broadphase;
        continuous += p.solveTOI;
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["collide_ms"] = collide / n;
    state.counters["solve_ms"] = solve / n;
    state.counters["pairs_ms"] = broadphase / n;
    state.counters["toi_ms"] = continuous / n;
    state.counters["contacts"] = world.GetContactCount();
    state.counters["per_body"] = benchmark::Counter(
        world.GetBodyCount(), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// Steps until no body moves faster than the sleep tolerance (the engine's own
// "at rest"); false when that takes more than ten seconds.
bool Settle(phWorld& world)
{
    for (int i = 0; i < 600; ++i) {
        world.Step(kStep, 8, 3);
        float fastest = 0.0f;
        for (const phBody* b = world.GetBodyList(); b != nullptr; b = b->GetNext()) {
            fastest = std::max(fastest, b->GetLinearVelocity().Length());
        }
        if (fastest <= phLinearSleepTolerance) {
            return true;
        }
    }
    return false;
}

// A pile at rest, kept awake: its circles are laid in their packing and
// settle before the timing; a pile that does not settle is an error, not a
// figure. The pile is equally deep at every count.
void BM_CirclePile(benchmark::State& state)
{
    auto world = MakeWorld();
    world->SetAllowSleeping(false);
    AddCirclePile(*world, static_cast<int>(state.range(0)));
    if (!Settle(*world)) {
        state.SkipWithError("the pile has not settled");
        return;
    }
    RunSteps(state, *world);
}
BENCHMARK(BM_CirclePile)->Arg(500)->Arg(1000)->Arg(2000)->Arg(8000)->Unit(benchmark::kMillisecond);

// A pyramid of boxes at rest, kept awake.
void BM_Pyramid(benchmark::State& state)
{
    auto world = MakeWorld();
    world->SetAllowSleeping(false);
    AddPyramid(*world, static_cast<int>(state.range(0)));
    if (!Settle(*world)) {
        state.SkipWithError("the pyramid has not settled");
        return;
    }
    RunSteps(state, *world);
}
BENCHMARK(BM_Pyramid)->Arg(20)->Unit(benchmark::kMillisecond);

// Fast circles bouncing between two thin edges: every step has impacts.
void BM_FastCircles(benchmark::State& state)
{
    auto world = MakeWorld({0.0f, 0.0f});
    phBody* const walls = AddBody(*world, phStaticBody, {0.0f, 0.0f});
    const phEdgeShape floor = MakeEdge({-30.0f, 0.0f}, {30.0f, 0.0f});
    const phEdgeShape ceiling = MakeEdge({-30.0f, 3.0f}, {30.0f, 3.0f});
    AddShape(walls, floor, 0.0f, 0.0f, 1.0f);
    AddShape(walls, ceiling, 0.0f, 0.0f, 1.0f);
    const phCircleShape circle = MakeCircle(0.05f);
    const auto n = static_cast<int>(state.range(0));
    for (int i = 0; i < n; ++i) {
        phBody* const body = AddBody(*world, phDynamicBody, {-25.0f + 50.0f * i / n, 1.5f});
        AddShape(body, circle, 1.0f, 0.0f, 1.0f);
        body->SetLinearVelocity({0.0f, i % 2 ? 100.0f : -100.0f});
    }
    RunSteps(state, *world);
}
BENCHMARK(BM_FastCircles)->Arg(200)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
