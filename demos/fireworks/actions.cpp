#include "demos/fireworks/actions.h"

#include "demos/core/core.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

namespace {

constexpr float kTwoPi = 2.0f * std::numbers::pi_v<float>;
constexpr float kSparkStep = 0.41887903f; // 2 pi / 15
constexpr float kWobblesPerSecond = 3.0f;
constexpr float kWobbleWidth = 3.0f;      // pixels
constexpr float kFirstBurstSpeed = 400.0f; // pixels per second
constexpr float kSecondBurstSpeed = 150.0f;
constexpr double kFirstBurstAge = 0.99;    // of the lifetime

float CoreFrameRate()
{
    return currentCore ? currentCore->frameRate : 0.0f;
}

// The low 32 bits of the frame counter, as a signed number.
int FrameNumber()
{
    return currentCore ? static_cast<std::int32_t>(static_cast<std::uint32_t>(currentCore->frameNum)) : 0;
}

} // namespace

Actor* FireAction::spawn(const Actor& parent, float x, float y, float vx, float vy) const
{
    if (!parent.list)
        return nullptr; // nowhere to put it
    Actor* const child = m_builder->build(x, y, vx, vy);
    if (child)
        parent.list->add(*child);
    return child;
}

BurnFireAction::BurnFireAction(std::unique_ptr<ActorBuilder> builder, float threshold)
    : FireAction(std::move(builder)), m_frameRate(CoreFrameRate()), m_threshold(threshold)
{
}

void BurnFireAction::apply(Actor& actor)
{
    const float p = actor.progress();
    if (p > m_threshold)
        return;
    const float fade = (m_threshold - p) / m_threshold;
    const float w = std::sin(static_cast<float>(FrameNumber()) * kWobblesPerSecond * kTwoPi / m_frameRate) *
                    kWobbleWidth * fade;
    if (Actor* const child = spawn(actor, actor.x + w, actor.y, actor.vx - w, actor.vy))
        child->scale = fade;
}

ExplodeFireAction::ExplodeFireAction(std::unique_ptr<ActorBuilder> builder,
                                     std::vector<std::unique_ptr<ActorDisplayer>> displayers)
    : FireAction(std::move(builder)), m_frameRate(CoreFrameRate()), m_displayers(std::move(displayers))
{
}

void ExplodeFireAction::apply(Actor& actor)
{
    if (actor.age == static_cast<int>(actor.lifetime * kFirstBurstAge))
        burst(actor, kFirstBurstSpeed / m_frameRate);
    if (actor.age == actor.lifetime)
        burst(actor, kSecondBurstSpeed / m_frameRate);
}

void ExplodeFireAction::burst(const Actor& actor, float speed) const
{
    const int count = static_cast<int>(m_displayers.size());
    const int index = static_cast<int>(gaRandom(0.0f, static_cast<float>(count)));
    ActorDisplayer* const displayer = count > 0 ? m_displayers[static_cast<std::size_t>(std::min(index, count - 1))].get()
                                                : nullptr;
    const ActorBuilder& sparks = builder();
    for (int i = 0; i < kSparksPerAxis; ++i)
        for (int j = 0; j < kSparksPerAxis; ++j) {
            Actor* const child = spawn(actor, sparks.defaultX, sparks.defaultY, sparks.defaultVx, sparks.defaultVy);
            if (!child)
                continue;
            child->displayer = displayer;
            child->x = actor.x;
            child->y = actor.y;
            const float a = (gaRandom(0.0f, 0.5f) + static_cast<float>(i)) * kSparkStep;
            const float b = (gaRandom(0.0f, 0.5f) + static_cast<float>(j)) * kSparkStep;
            child->vx = speed * std::cos(a) * std::cos(b);
            child->vy = speed * std::cos(a) * std::sin(b);
        }
}

void LeaveGunpowderFireAction::apply(Actor& actor)
{
    const float u = gaRandom(0.0f, 1.0f);
    float d = 0.0f;
    if (actor.lifetime >= 1) {
        const float p = actor.progress();
        d = p < 0.2f ? p * 0.1f * 5.0f : (1.0f - p) * 0.1f;
    }
    if (d > u)
        if (Actor* const child = spawn(actor, actor.x, actor.y, actor.vx, actor.vy))
            child->displayer = actor.displayer;
}
