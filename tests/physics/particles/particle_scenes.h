// Particle scenes shared by the particle tests and benchmarks.
#pragma once

#include "physics/particles/particle_system.h"
#include "tests/physics/scenes.h"

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace phtest {

inline phParticleSystem* AddParticleSystem(phWorld& world, float radius, float density = 1.0f)
{
    phParticleSystemDef def;
    def.radius = radius;
    def.density = density;
    return world.CreateParticleSystem(def);
}

inline int32_t AddParticle(phParticleSystem& system, phVector position, phVector velocity = {},
                           uint32_t flags = phWaterParticle)
{
    phParticleDef def;
    def.position = position;
    def.velocity = velocity;
    def.flags = flags;
    return system.CreateParticle(def);
}

// A closed box of four static edges from (0, 0) to (width, height).
inline phBody* AddEdgeBox(phWorld& world, float width, float height)
{
    phBody* const box = AddBody(world, phStaticBody, {0.0f, 0.0f});
    const phVector corners[4] = {{0.0f, 0.0f}, {width, 0.0f}, {width, height}, {0.0f, height}};
    for (int i = 0; i < 4; ++i) {
        const phEdgeShape edge = MakeEdge(corners[i], corners[(i + 1) % 4]);
        AddShape(box, edge, 0.0f);
    }
    return box;
}

// A block of columns x rows particles at the given spacing, lower left at origin.
inline phParticleGroup* AddParticleBlock(phParticleSystem& system, int columns, int rows, float spacing,
                                         phVector origin, uint32_t flags = phWaterParticle,
                                         uint32_t groupFlags = 0)
{
    std::vector<phVector> points;
    for (int y = 0; y < rows; ++y) {
        for (int x = 0; x < columns; ++x) {
            points.emplace_back(origin.x + spacing * static_cast<float>(x),
                                origin.y + spacing * static_cast<float>(y));
        }
    }
    phParticleGroupDef def;
    def.flags = flags;
    def.groupFlags = groupFlags;
    def.positionData = points.data();
    def.particleCount = static_cast<int32_t>(points.size());
    return system.CreateParticleGroup(def);
}

// The dam break: a block of water particles (radius 0.025) in the left part of
// a 4 x 3 m box of static edges.
inline phParticleSystem* AddDamBreak(phWorld& world, int particleCount, uint32_t flags = phWaterParticle)
{
    AddEdgeBox(world, 4.0f, 3.0f);
    phParticleSystem* const system = AddParticleSystem(world, 0.025f);
    const float spacing = system->GetParticleStride();
    const int columns = 50;
    const int rows = (particleCount + columns - 1) / columns;
    AddParticleBlock(*system, columns, rows, spacing, {0.1f, 0.1f}, flags);
    return system;
}

} // namespace phtest
