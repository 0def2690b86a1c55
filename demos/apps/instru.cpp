#include "demos/apps/instru.h"

#include <cmath>
#include <cstdint>

namespace {

constexpr float kLineReach = 300.0f;
constexpr float kGlowReach = 400.0f;
constexpr float kGlowGain = 0.2f;
constexpr float kCentrePull = 0.1f;
constexpr float kNeighbourPull = 0.001f;
constexpr std::int16_t kNeverCollide = -1; // one negative group for every box
constexpr std::uint32_t kWhite = 0xFFFFFFFF;
constexpr std::uint32_t kTextColour = 0xFF648C64;

float Distance(gaVec2f a, gaVec2f b)
{
    return (a - b).length();
}

gaVec2f CanvasCentre()
{
    return {static_cast<float>(canvasWidth / 2), static_cast<float>(canvasHeight / 2)};
}

} // namespace

CustomRect::CustomRect() : speed(gaRandom(0.5f, 2.0f))
{
}

void CustomRect::update()
{
    const float t = gaGetElapsedTime();
    size = std::sin(speed * t * 10) * 20 + 40;
    glow = std::fmax((1 - Distance(getPosition(), CanvasCentre()) / kGlowReach) * kGlowGain, 0.0f);
}

std::uint32_t gaAppInstru::lineAlpha(float distance)
{
    return static_cast<std::uint32_t>(static_cast<int>(kLineReach - distance)) & 0xFFu;
}

void gaAppInstru::setup()
{
    gaSetFrameRate(60);
    physics.init(60, 0, 10);
    physics.setGravity(0, 0);
    physics.setFPS(30);
    emitter.load("emitter.png");
    particle.load("particle.png");
    centre.fixture.filter.groupIndex = kNeverCollide;
    centre.setup(physics.getWorld(), static_cast<float>(canvasWidth) / 2,
                 static_cast<float>(canvasHeight) / 2, 1, 1, 0);
}

void gaAppInstru::mouseReleased(int /*x*/, int /*y*/, int /*button*/)
{
    auto box = std::make_shared<CustomRect>();
    box->setMaterial(10, 0.1f, 0.5f);
    box->fixture.filter.groupIndex = kNeverCollide;
    box->setup(physics.getWorld(), static_cast<float>(mouseX), static_cast<float>(mouseY), 10, 10, 0);
    boxes.push_back(std::move(box));
}

void gaAppInstru::keyPressed(int key)
{
    if (key != 'c')
        return;
    for (const auto& box : boxes)
        box->destroy();
    boxes.clear();
}

void gaAppInstru::windowResized(int /*width*/, int /*height*/)
{
    centre.setPosition(static_cast<float>(canvasWidth) / 2, static_cast<float>(canvasHeight) / 2);
}

void gaAppInstru::update()
{
    physics.update();
    const gaVec2f middle = centre.getPosition();
    for (std::size_t j = 0; j < boxes.size(); ++j) {
        boxes[j]->update();
        boxes[j]->addAttractionPoint(middle, kCentrePull);
        const gaVec2f pj = boxes[j]->getPosition();
        for (std::size_t k = j + 1; k < boxes.size(); ++k)
            boxes[k]->addAttractionPoint(pj, kNeighbourPull);
    }
}

void gaAppInstru::draw()
{
    for (std::size_t j = 0; j < boxes.size(); ++j) {
        const gaVec2f pj = boxes[j]->getPosition();
        for (std::size_t k = j + 1; k < boxes.size(); ++k) {
            const gaVec2f pk = boxes[k]->getPosition();
            const float distance = Distance(pj, pk);
            if (!(distance < kLineReach))
                continue;
            gaSetColor(lineAlpha(distance) << 24 | 0xFFFFFFu);
            gaDrawLine(pj.x, pj.y, pk.x, pk.y);
        }
    }
    gaSetColor(kWhite);
    float glowSum = 0;
    for (const auto& box : boxes) {
        const gaVec2f p = box->getPosition();
        const float s = box->size;
        emitter.draw(p.x - s / 2 - s * emitter.anchorX, p.y - s / 2 - s * emitter.anchorY, s, s);
        glowSum += box->glow;
    }
    const float g = std::sin(gaGetElapsedTime() * 100) * glowSum * 20 + glowSum * 40 + 40;
    const gaVec2f c = centre.getPosition();
    particle.draw(c.x - g - 2 * g * particle.anchorX, c.y - g - 2 * g * particle.anchorY, 2 * g, 2 * g);
    gaSetColor(kTextColour);
    gaDrawString("Left-click to add a particle.  Press 'c' to clear all particles.", 0, 0);
}
