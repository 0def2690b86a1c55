// Particle flags, group flags, the records the particle solver keeps between
// particles and fixtures, and the descriptions callers fill to create particles.
#pragma once

#include "physics/common/math.h"

#include <array>
#include <bit>
#include <cstdint>

class phBody;
class phFixture;
class phParticleGroup;
class phShape;

// Behaviour of one particle; water is the absence of every other flag.
enum phParticleFlag : uint32_t
{
    phWaterParticle = 0,
    phZombieParticle = 0x2,   // removed at the next step
    phWallParticle = 0x4,     // never moves
    phSpringParticle = 0x8,   // keeps its pairs at their rest distance
    phElasticParticle = 0x10, // keeps its triads' shape
    phViscousParticle = 0x20,
    phPowderParticle = 0x40,
    phTensileParticle = 0x80,
    phColorMixingParticle = 0x100,
    phDestructionListenerParticle = 0x200,
    phBarrierParticle = 0x400,
    phStaticPressureParticle = 0x800,
    phReactiveParticle = 0x1000, // makes pairs and triads at the next step
    phRepulsiveParticle = 0x2000,
    phFixtureContactListenerParticle = 0x4000,
    phParticleContactListenerParticle = 0x8000,
    phFixtureContactFilterParticle = 0x10000,
    phParticleContactFilterParticle = 0x20000,
};

enum phParticleGroupFlag : uint32_t
{
    phSolidParticleGroup = 0x1,
    phRigidParticleGroup = 0x2,
    phParticleGroupCanBeEmpty = 0x4,
    phParticleGroupWillBeDestroyed = 0x8,
    phParticleGroupNeedsUpdateDepth = 0x10,
};

// Names of the value 0 and of the flag bits 0x2 to 0x2000, in order.
inline constexpr std::array<const char*, 14> ph_particleFlagNames = {
    "waterParticle",       "zombieParticle",
    "wallParticle",        "springParticle",
    "elasticParticle",     "viscousParticle",
    "powderParticle",      "tensileParticle",
    "colorMixingParticle", "destructionListenerParticle",
    "barrierParticle",     "staticPressureParticle",
    "reactiveParticle",    "repulsiveParticle"};

struct phParticleColor
{
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    uint8_t a = 0;

    bool IsZero() const { return (r | g | b | a) == 0; }
};

// Two particles closer than one diameter.
struct phParticleContact
{
    int32_t indexA;
    int32_t indexB;
    float weight;    // 1 when the centres coincide, 0 at one diameter
    phVector normal; // from A towards B
    uint32_t flags;  // union of both particles' flags
};

// A particle closer than one diameter to a fixture.
struct phParticleBodyContact
{
    int32_t index;
    phBody* body;
    phFixture* fixture;
    float weight;
    phVector normal; // from the particle towards the fixture
    float mass;      // effective mass of the particle-body pair
};

// Two particles held at a rest distance (springs, barriers).
struct phParticlePair
{
    int32_t indexA;
    int32_t indexB;
    uint32_t flags;
    float strength;
    float distance; // rest distance
};

// Three particles that keep their triangle's shape (elastic groups).
struct phParticleTriad
{
    int32_t indexA;
    int32_t indexB;
    int32_t indexC;
    uint32_t flags;
    float strength;
    phVector pa, pb, pc; // offsets from the centroid at creation
    float ka, kb, kc;
    float s; // doubled signed area at creation
};

// 1 / sqrt(x) by the integer estimate 0x5F3759DF and one Newton step; relative
// error below 0.2 %. Finite for x = 0 (about 2e19), so that x * phInvSqrt(x) is 0.
inline float phInvSqrt(float x)
{
    const float half = 0.5f * x;
    const uint32_t bits = 0x5F3759DFu - (std::bit_cast<uint32_t>(x) >> 1);
    const float y = std::bit_cast<float>(bits);
    return y * (1.5f - half * y * y);
}

struct phParticleDef
{
    uint32_t flags = phWaterParticle;
    phVector position;
    phVector velocity;
    phParticleColor color;
    float lifetime = 0.0f; // seconds; 0 or less lives until destroyed
    void* userData = nullptr;
};

// A group is a contiguous index range of particles made at once: either the
// lattice points (spacing stride) inside a circle or polygon, or the given points,
// both placed with the transform (position, angle).
struct phParticleGroupDef
{
    uint32_t flags = phWaterParticle;
    uint32_t groupFlags = 0;
    phVector position;
    float angle = 0.0f;
    phVector linearVelocity;
    float angularVelocity = 0.0f;
    phParticleColor color;
    float strength = 1.0f;
    const phShape* shape = nullptr;
    float stride = 0.0f; // 0: the system's stride
    const phVector* positionData = nullptr;
    int32_t particleCount = 0;
    float lifetime = 0.0f;
    void* userData = nullptr;
};

struct phParticleSystemDef
{
    bool strictContactCheck = false;
    float density = 1.0f;
    float gravityScale = 1.0f;
    float radius = 1.0f;
    int32_t maxCount = 0; // 0: no limit
    float pressureStrength = 0.05f;
    float dampingStrength = 1.0f;
    float elasticStrength = 0.25f;
    float springStrength = 0.25f;
    float viscousStrength = 0.25f;
    float surfaceTensionPressureStrength = 0.2f;
    float surfaceTensionNormalStrength = 0.2f;
    float repulsiveStrength = 1.0f;
    float powderStrength = 0.5f;
    float ejectionStrength = 0.5f;
    float staticPressureStrength = 0.2f;
    float staticPressureRelaxation = 0.2f;
    int32_t staticPressureIterations = 8;
    float colorMixingStrength = 0.5f;
    bool destroyByAge = true;
    float lifetimeGranularity = 1.0f / 60.0f;
};
