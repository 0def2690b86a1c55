// Scene builders shared by the world tests and the benchmarks.
#pragma once

#include "physics/dynamics/world.h"
#include "tests/physics/shapes.h"

#include <cstdint>
#include <memory>

namespace phtest {

inline constexpr float kStep = 1.0f / 60.0f;

inline std::unique_ptr<phWorld> MakeWorld(phVector gravity = {0.0f, -10.0f})
{
    return std::make_unique<phWorld>(gravity);
}

inline phBody* AddBody(phWorld& world, phBodyType type, phVector position, float angle = 0.0f)
{
    phBodyDesc desc;
    desc.type = type;
    desc.position = position;
    desc.angle = angle;
    return world.CreateBody(desc);
}

inline phFixture* AddShape(phBody* body, const phShape& shape, float density = 1.0f, float friction = 0.6f,
                           float restitution = 0.0f)
{
    phFixtureDesc desc;
    desc.shape = &shape;
    desc.density = density;
    desc.friction = friction;
    desc.restitution = restitution;
    return body->CreateFixture(desc);
}

// A static edge from (-halfLength, y) to (halfLength, y).
inline phBody* AddGround(phWorld& world, float halfLength, float y = 0.0f, float friction = 0.6f)
{
    phBody* const ground = AddBody(world, phStaticBody, {0.0f, 0.0f});
    const phEdgeShape edge = MakeEdge({-halfLength, y}, {halfLength, y});
    AddShape(ground, edge, 0.0f, friction);
    return ground;
}

// Boxes of half size 0.5 stacked in rows on a ground edge, widest row at the
// bottom, placed with their skins just touching.
inline void AddPyramid(phWorld& world, int rows)
{
    AddGround(world, 40.0f);
    const phPolygonShape box = MakeBox(0.5f, 0.5f);
    const float skins = 2.0f * phPolygonRadius;
    const float dx = 1.0f + skins;
    const float dy = 1.0f + skins;
    for (int row = 0; row < rows; ++row) {
        const int count = rows - row;
        const float x0 = -0.5f * static_cast<float>(count - 1) * dx;
        for (int i = 0; i < count; ++i) {
            const phVector position(x0 + dx * static_cast<float>(i),
                                    0.5f + skins + dy * static_cast<float>(row));
            AddShape(AddBody(world, phDynamicBody, position), box, 5.0f, 0.6f);
        }
    }
}

// n circles of radius 0.1 dropped in a grid over a 16 m ground edge with walls.
inline void AddCirclePile(phWorld& world, int n)
{
    AddGround(world, 8.0f);
    phBody* const walls = AddBody(world, phStaticBody, {0.0f, 0.0f});
    const phEdgeShape left = MakeEdge({-8.0f, 0.0f}, {-8.0f, 40.0f});
    const phEdgeShape right = MakeEdge({8.0f, 0.0f}, {8.0f, 40.0f});
    AddShape(walls, left, 0.0f);
    AddShape(walls, right, 0.0f);
    const phCircleShape circle = MakeCircle(0.1f);
    const int perRow = 70;
    for (int i = 0; i < n; ++i) {
        const float x =
            -7.0f + 0.2f * static_cast<float>(i % perRow) + 0.01f * static_cast<float>((i / perRow) % 3);
        const float y = 0.2f + 0.21f * static_cast<float>(i / perRow);
        AddShape(AddBody(world, phDynamicBody, {x, y}), circle, 1.0f, 0.4f);
    }
}

// A hash of every body's position, angle and velocity bits.
inline uint64_t HashWorld(const phWorld& world)
{
    uint64_t h = 1469598103934665603ull;
    auto mix = [&h](float value) {
        uint32_t bits = 0;
        static_assert(sizeof(bits) == sizeof(value));
        __builtin_memcpy(&bits, &value, sizeof(bits));
        h = (h ^ bits) * 1099511628211ull;
    };
    for (const phBody* b = world.GetBodyList(); b != nullptr; b = b->GetNext()) {
        mix(b->GetPosition().x);
        mix(b->GetPosition().y);
        mix(b->GetAngle());
        mix(b->GetLinearVelocity().x);
        mix(b->GetLinearVelocity().y);
        mix(b->GetAngularVelocity());
    }
    return h;
}

} // namespace phtest
