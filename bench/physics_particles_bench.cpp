// Particle benchmarks: the dam break (water released in a box of static edges)
// stepped as the clock would, with the world's particle iteration estimate.
#include "tests/physics/particles/particle_scenes.h"

#include <benchmark/benchmark.h>

using namespace phtest;

namespace {

void BM_ParticleDamBreak(benchmark::State& state)
{
    auto world = MakeWorld();
    phParticleSystem* const system = AddDamBreak(*world, static_cast<int>(state.range(0)));
    const int32_t iterations = world->EstimateParticleIterations(kStep);
    // Into the splash, where contacts are many.
    for (int i = 0; i < 60; ++i) {
        world->Step(kStep, 8, 3, iterations);
    }
    for (auto _ : state) {
        world->Step(kStep, 8, 3, iterations);
    }
    state.counters["particles"] = system->GetParticleCount();
    state.counters["contacts"] = system->GetContacts().GetCount();
    state.counters["body_contacts"] = system->GetBodyContacts().GetCount();
    state.counters["iterations"] = iterations;
}
BENCHMARK(BM_ParticleDamBreak)->Arg(2000)->Arg(8000)->Unit(benchmark::kMillisecond);

// An elastic block: triads and their solve on top of the water phases.
void BM_ParticleElasticBlock(benchmark::State& state)
{
    auto world = MakeWorld();
    AddEdgeBox(*world, 4.0f, 3.0f);
    phParticleSystem* const system = AddParticleSystem(*world, 0.025f);
    AddParticleBlock(*system, 50, 40, system->GetParticleStride(), {1.0f, 0.5f}, phElasticParticle);
    const int32_t iterations = world->EstimateParticleIterations(kStep);
    world->Step(kStep, 8, 3, iterations); // untimed first step: the triads are made
    for (auto _ : state) {
        world->Step(kStep, 8, 3, iterations);
    }
    state.counters["triads"] = system->GetTriads().GetCount();
}
BENCHMARK(BM_ParticleElasticBlock)->Unit(benchmark::kMillisecond);

} // namespace
