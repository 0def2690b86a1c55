// Scene builders shared by the world tests and the benchmarks.
#pragma once

#include "physics/dynamics/world.h"
#include "tests/physics/shapes.h"

#include <algorithm>
#include <cmath>
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

inline constexpr float kPileRadius = 0.1f;
inline constexpr int kPileRows = 20;

// count circles of radius kPileRadius laid at rest in hexagonal packing on a
// ground edge between two walls, kPileRows rows deep whatever the count: the
// pile grows wider, not taller, so every circle carries about the same load and
// a step costs the same per circle at any count. Rows of n and n - 1 circles
// take turns, n as small as holds the count (the top row may be partial);
// neighbours in a row touch, each row sits in the dips of the one below, and
// the walls touch the ends of the long rows.
inline void AddCirclePile(phWorld& world, int count)
{
    const float r = kPileRadius;
    const int n = std::max(2, (count + kPileRows / 2 + kPileRows - 1) / kPileRows);
    const float halfWidth = static_cast<float>(n) * r + phPolygonRadius;
    const float rowPitch = std::sqrt(3.0f) * r;
    AddGround(world, halfWidth);
    phBody* const walls = AddBody(world, phStaticBody, {0.0f, 0.0f});
    const float wallHeight = static_cast<float>(kPileRows + 1) * rowPitch + 2.0f * r;
    const phEdgeShape left = MakeEdge({-halfWidth, 0.0f}, {-halfWidth, wallHeight});
    const phEdgeShape right = MakeEdge({halfWidth, 0.0f}, {halfWidth, wallHeight});
    AddShape(walls, left, 0.0f);
    AddShape(walls, right, 0.0f);
    const phCircleShape circle = MakeCircle(r);
    for (int placed = 0, row = 0; placed < count; ++row) {
        const int inRow = row % 2 == 0 ? n : n - 1;
        const float x0 = -static_cast<float>(inRow - 1) * r;
        const float y = r + phPolygonRadius + rowPitch * static_cast<float>(row);
        for (int i = 0; i < inRow && placed < count; ++i, ++placed) {
            AddShape(AddBody(world, phDynamicBody, {x0 + 2.0f * r * static_cast<float>(i), y}), circle, 1.0f,
                     0.4f);
        }
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
