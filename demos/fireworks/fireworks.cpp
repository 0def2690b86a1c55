#include "demos/fireworks/fireworks.h"

#include "demos/core/core.h"
#include "demos/fireworks/actions.h"
#include "demos/fireworks/displayers.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

constexpr int kLaunchPeriod = 240;  // frames between two rockets
constexpr int kLaunchPhase = 30;    // a rocket goes up when the frame number modulo the period is this
constexpr float kLaunchSpread = 50.0f;
constexpr float kLaunchSpeed = 100.0f; // pixels per second, upwards
constexpr float kRocketSeconds = 4.0f; // lifetime, give or take half a second
constexpr std::uint32_t kOpaqueWhite = 0xFFFFFFFF;

// Lifetimes in seconds of the builders' actors.
constexpr float kTrailSeconds = 0.5f;
constexpr float kSparkSeconds = 4.5f;
constexpr float kGunpowderSeconds = 2.5f;

struct Sprite
{
    float red, green, blue, intensity, core;
    int size;
};

constexpr Sprite kRocketSprite{1.0f, 1.0f, 0.9f, 1.0f, 4.0f, 20};
constexpr Sprite kTrailSprite{1.0f, 1.0f, 0.9f, 1.0f, 1.0f, 10};
constexpr int kSparkSpriteSize = 20;

// The colour factors of the sparks, one displayer each (a factor above 1 wraps
// around in the byte).
constexpr float kSparkColours[][3] = {
    {1.0f, 1.0f, 1.0f},   {1.0f, 0.5f, 0.5f},  {1.0f, 0.75f, 0.5f}, {1.0f, 1.0f, 0.5f},
    {0.75f, 1.0f, 0.5f},  {0.5f, 1.0f, 0.5f},  {0.5f, 1.0f, 0.75f}, {0.5f, 1.0f, 1.0f},
    {0.5f, 0.75f, 1.0f},  {0.75f, 0.5f, 1.0f}, {1.0f, 0.5f, 6.0f},
};

gaImage_<unsigned char> MakeSprite(const Sprite& sprite)
{
    return fireworks::makeParticleImage(sprite.red, sprite.green, sprite.blue, sprite.intensity, sprite.core,
                                        sprite.size);
}

// The low 8 bits of the integer part of a value (0 for one that is not finite).
std::uint32_t LowByte(double value)
{
    if (!std::isfinite(value))
        return 0;
    return static_cast<std::uint32_t>(static_cast<int>(std::fmod(std::trunc(value), 256.0))) & 0xFF;
}

// The first action of the builder that is a T; null when it has none.
template <typename T> const T* FindAction(const ActorBuilder& builder)
{
    for (const auto& action : builder.actions)
        if (const auto* found = dynamic_cast<const T*>(action.get()))
            return found;
    return nullptr;
}

} // namespace

fireworks::fireworks() = default;

fireworks::~fireworks() = default;

gaImage_<unsigned char> fireworks::makeParticleImage(float red, float green, float blue, float intensity, float core,
                                                     int size)
{
    gaImage_<unsigned char> image;
    image.allocate(size, size); // every pixel is set below
    const float half = static_cast<float>(size) * 0.5f;
    const float lnHalf = std::log(half);
    const float lnCore = std::log(core);
    // The falloff: full alpha at the core radius, 1/255 of it at half the size.
    const double falloff = std::log(255.0) / lnHalf / (1.0f - lnCore / lnHalf);
    const std::uint32_t rgb = LowByte(red * 255.0) << 16 | LowByte(green * 255.0) << 8 | LowByte(blue * 255.0);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float dx = half - static_cast<float>(x);
            const float dy = half - static_cast<float>(y);
            const float d = std::sqrt(dx * dx + dy * dy);
            const double alpha = std::min(intensity * 255.0 * std::pow(core / std::max(d, 1.0f), falloff), 255.0);
            const std::uint32_t a = alpha > 0.0 ? static_cast<std::uint32_t>(alpha) : 0; // not a number: 0
            image.setColor(x, y, a << 24 | rgb);
        }
    return image;
}

int fireworks::particleCount() const
{
    return m_objectPool ? m_objectPool->inUseCount() : 0;
}

void fireworks::setup()
{
    gaxCore& state = core();
    state.frameRate = static_cast<float>(m_frameRate);
    state.backgroundColor = 0xFF000000;
    state.autoBackground = false; // each frame is laid over the last
    setupPhysics();
    setupBuilders();
    gaColor top;
    top.setHsb(170, 255, 26, 77);
    gaColor bottom;
    bottom.setHsb(170, 255, 102, 77);
    m_background = std::make_unique<GradationBackground>(canvasWidth, canvasHeight, top, bottom, 2.0f);
}

void fireworks::setupPool()
{
    m_objectPool = std::make_unique<ObjectPool>(ObjectPool::kCapacity);
    for (int i = 0; i < ObjectPool::kCapacity; ++i)
        m_objectPool->add(std::make_unique<Actor>());
}

void fireworks::setupPhysics()
{
    setupPool();
    m_actorList = std::make_unique<ActorList>();
    m_physicsWorld = std::make_unique<PhysicsWorld>();
    m_actorList->world = m_physicsWorld.get();
    m_physicsWorld->addForceField(std::make_unique<GravityForceField>(m_physicsWorld->bodies));
    m_physicsWorld->addForceField(std::make_unique<StableAtmosphereDragForceField>(m_physicsWorld->bodies));
}

void fireworks::setupBuilders()
{
    const float f = static_cast<float>(m_frameRate);
    const auto builder = [this](std::shared_ptr<ActorDisplayer> displayer, float mass, float radius, int lifetime) {
        auto made = std::make_unique<ActorBuilder>();
        made->displayer = std::move(displayer);
        made->bodyComponent = std::make_shared<ImmutablePhysicsBodyComponent>(mass, radius);
        made->lifetime = lifetime;
        made->pool = m_objectPool.get();
        return made;
    };

    auto gunpowder = builder(nullptr, 0.005f, 0.02f, static_cast<int>(f * kGunpowderSeconds));
    auto spark = builder(nullptr, 0.2f, 0.05f, static_cast<int>(f * kSparkSeconds));
    spark->actions.push_back(std::make_shared<LeaveGunpowderFireAction>(std::move(gunpowder)));
    std::vector<std::unique_ptr<ActorDisplayer>> flashes;
    for (const auto& [red, green, blue] : kSparkColours)
        flashes.push_back(
            std::make_unique<FlashActorDisplayer>(makeParticleImage(red, green, blue, 1.0f, 1.0f, kSparkSpriteSize)));

    auto trail = builder(std::make_shared<ShrinkActorDisplayer>(MakeSprite(kTrailSprite)), 0.005f, 0.02f,
                         static_cast<int>(f * kTrailSeconds));
    auto rocket = builder(std::make_shared<ShrinkActorDisplayer>(MakeSprite(kRocketSprite)), 70.0f, 0.03f, 0);
    rocket->actions.push_back(std::make_shared<ExplodeFireAction>(std::move(spark), std::move(flashes)));
    rocket->actions.push_back(std::make_shared<BurnFireAction>(std::move(trail)));
    m_rocketBuilder = std::move(rocket);
}

void fireworks::draw()
{
    gaSetDrawFromCenter(0);
    m_background->draw();
    gaSetDrawFromCenter(1);
    gaTranslate(static_cast<float>(canvasWidth) * 0.5f, 0.0f); // x from the middle of the canvas
    m_physicsWorld->step();
    m_actorList->update();
    if (core().frameNum % kLaunchPeriod == kLaunchPhase)
        launchRocket();
    if (m_showInfo)
        drawInfo();
}

void fireworks::launchRocket()
{
    const float f = static_cast<float>(m_frameRate);
    Actor* const rocket =
        m_rocketBuilder->build(gaRandom(-kLaunchSpread, kLaunchSpread), static_cast<float>(canvasHeight), 0.0f,
                               -kLaunchSpeed / f);
    if (!rocket)
        return;
    rocket->lifetime = static_cast<int>((gaRandom(-0.5f, 0.5f) + kRocketSeconds) * f);
    m_actorList->add(*rocket);
}

void fireworks::drawInfo() const
{
    gaSetColor(kOpaqueWhite);
    gaDrawString(gaToString(measuredFrameRate()) + " FPS", 150, 5);
    gaDrawString(gaToString(particleCount()) + " particles", 150, 20);
    m_rocketBuilder->displayer->image().draw(-220, 20);
    if (const auto* explode = FindAction<ExplodeFireAction>(*m_rocketBuilder)) {
        float x = -220;
        for (const auto& displayer : explode->displayers()) {
            displayer->image().draw(x, 40);
            x += 20;
        }
    }
    if (const auto* burn = FindAction<BurnFireAction>(*m_rocketBuilder))
        burn->builder().displayer->image().draw(-220, 60);
}

void fireworks::mousePressed(int /*x*/, int /*y*/, int /*button*/)
{
    m_showInfo = true;
}

void fireworks::mouseReleased(int /*x*/, int /*y*/, int /*button*/)
{
    m_showInfo = false;
}
