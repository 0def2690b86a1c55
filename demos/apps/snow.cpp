#include "demos/apps/snow.h"

#include <algorithm>
#include <chrono>
#include <cstdint>

namespace {

constexpr std::uint32_t kBackground = 0xFF505078;
constexpr std::uint32_t kWhite = 0xFFFFFFFF;
constexpr std::uint32_t kTextColour = 0xFFC0C0C0;
constexpr float kSpawnPercent = 40.0f;
constexpr float kSpawnY = -40.0f;
constexpr float kRemovalDepth = 1.04f; // canvas heights
constexpr float kSnowflakeScale = 10.0f;
constexpr float kCircleRadius = 6.0f;
constexpr int kRightButton = 2;

// The steady clock in 100-ns ticks at the previous draw of this demo, kept for
// the whole process (0 before the first).
std::int64_t previousDrawTicks = 0;

// Frames per second from the interval since the previous draw.
int MeasuredFps()
{
    using Ticks = std::chrono::duration<std::int64_t, std::ratio<1, 10'000'000>>;
    const std::int64_t now =
        std::chrono::duration_cast<Ticks>(std::chrono::steady_clock::now().time_since_epoch()).count();
    const std::int64_t microseconds = (now - previousDrawTicks) / 10;
    previousDrawTicks = now;
    if (microseconds <= 0)
        return 0;
    return static_cast<int>(1000.0 / (static_cast<double>(microseconds) / 1000.0));
}

} // namespace

void gaAppSnow::setup()
{
    gaSetBackgroundColor(kBackground);
    physics.init(60, 0, 10);
    physics.setFPS(60);
    physics.setGravity(0, 1);
    snowImage.load("snow.png");
    snowImage.anchorX = 0.5f;
    snowImage.anchorY = 0.5f;
    const auto w = static_cast<float>(canvasWidth);
    const auto h = static_cast<float>(canvasHeight);
    physics.createGround(0, h, w, h);
}

std::shared_ptr<gaxPhysicsCircle> gaAppSnow::addSnowball(float x, float y, float radius)
{
    auto snowball = std::make_shared<gaxPhysicsCircle>();
    snowball->setMaterial(1.0f, 0.5f, 0.1f);
    snowball->setup(physics.getWorld(), x, y, radius);
    snowballs.push_back(snowball);
    return snowball;
}

void gaAppSnow::update()
{
    if (gaRandom(0, 100) < kSpawnPercent) {
        const float x = gaRandom(-40, 680);
        const float radius = gaRandom(5, 10);
        const float vx = gaRandom(-1, 1);
        const float vy = gaRandom(-1, 1);
        addSnowball(x, kSpawnY, radius)->setVelocity(vx, vy);
    }
    const int depth = static_cast<int>(static_cast<float>(canvasHeight) * kRemovalDepth);
    std::erase_if(snowballs, [depth](const auto& snowball) { return snowball->getPosition().y >= depth; });
    physics.update();
}

void gaAppSnow::draw()
{
    gaSetColor(kWhite);
    for (const auto& snowball : snowballs) {
        const gaVec2f c = snowball->getPosition();
        if (useImage) {
            const float s = snowball->getRadius() * kSnowflakeScale;
            snowImage.draw(c.x - s * snowImage.anchorX, c.y - s * snowImage.anchorY, s, s);
        } else {
            gaDrawCircle(c.x, c.y, kCircleRadius);
        }
    }
    gaSetColor(kTextColour);
    gaDrawString("Drag to add snowballs.  Right-click to switch between snowballs and simple circles.", 0, 0);
    gaDrawString(gaToString(static_cast<int>(snowballs.size())) + " snow", 10, 15);
    gaDrawString(gaToString(MeasuredFps()) + " FPS", 10, 30);
}

void gaAppSnow::mouseDragged(int x, int y, int /*button*/)
{
    addSnowball(static_cast<float>(x), static_cast<float>(y), gaRandom(10, 20));
}

void gaAppSnow::mousePressed(int x, int y, int button)
{
    gaBaseApp::mousePressed(x, y, button);
    if (button == kRightButton)
        useImage = !useImage;
}
