#include "demos/apps/fluid.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

constexpr float kTwoPi = 6.2831855f;
constexpr float kSpawnRadius = 15.0f;
constexpr float kParticleRadius = 5.0f;
constexpr float kFlowGain = 0.6f;
constexpr float kMomentum = 0.5f;
constexpr float kAlphaDecay = 0.999f;
constexpr float kAlphaDead = 0.01f;
constexpr float kMaxSpeedSquared = 0.000169f;
constexpr std::uint32_t kBlack = 0xFF000000;
constexpr std::uint32_t kTransparent = 0x00000000;
constexpr std::uint32_t kTextColour = 0xFF648C64;
constexpr const char* kHelp = "Move the mouse to add particles. \n"
                              "  [z]: Color  [x]: Motion  [c]: Speed  [v]: Vectors \n"
                              "  [d]: Fluid On/Off  [p]: Particle On/Off  [r]: Reset";

// A canvas extent to divide by; a zero one divides by nothing.
float Extent(int pixels)
{
    return pixels != 0 ? static_cast<float>(pixels) : 1.0f;
}

// A channel of 0 to 1 as a byte of a drawing colour (int(v × 255) mod 256).
std::uint32_t ColourByte(float value)
{
    const float scaled = value * 255.0f;
    return std::fabs(scaled) < 2147483648.0f ? static_cast<std::uint32_t>(static_cast<int>(scaled)) & 0xFFu
                                             : 0u;
}

} // namespace

// --- particles --------------------------------------------------------------------------

void FluidParticles::addParticles(float x, float y)
{
    for (int n = 0; n < kPerCall; ++n) {
        const float a = gaRandom(0, kTwoPi);
        FluidParticle& p = particles[static_cast<std::size_t>(curIndex)];
        p.x = x + kSpawnRadius * std::cos(a);
        p.y = y + kSpawnRadius * std::sin(a);
        p.vx = 0;
        p.vy = 0;
        p.radius = kParticleRadius;
        p.alpha = gaRandom(0.3f, 1);
        p.mass = gaRandom(0.1f, 1);
        curIndex = (curIndex + 1) % kMaxParticles;
    }
}

void FluidParticles::updateAndDraw(const nvq::fluid::Solver& solver, bool fluidDrawn)
{
    const float w = static_cast<float>(canvasWidth);
    const float h = static_cast<float>(canvasHeight);
    const float invW = 1.0f / Extent(canvasWidth);
    const float invH = 1.0f / Extent(canvasHeight);
    for (std::size_t k = 0; k < particles.size(); ++k) {
        FluidParticle& p = particles[k];
        if (!(p.alpha > 0.0f))
            continue;
        const nvq::fluid::Vec2 v = solver.valid ? solver.velocity[solver.cellIndexAt(p.x * invW, p.y * invH)]
                                                : nvq::fluid::Vec2{0, 0};
        p.vx = p.mass * kFlowGain * v.x * w + p.vx * kMomentum;
        p.vy = p.mass * kFlowGain * v.y * h + p.vy * kMomentum;
        p.x += p.vx;
        p.y += p.vy;
        if (p.x < 0) {
            p.x = 0;
            p.vx = -p.vx;
        } else if (p.x > w) {
            p.x = w;
            p.vx = -p.vx;
        }
        if (p.y < 0) {
            p.y = 0;
            p.vy = -p.vy;
        } else if (p.y > h) {
            p.y = h;
            p.vy = -p.vy;
        }
        p.alpha *= kAlphaDecay;
        if (p.alpha < kAlphaDead)
            p.alpha = 0;
        segments[k] = {p.x - p.vx, p.y - p.vy, p.x, p.y};
        if (fluidDrawn) {
            colours[k] = {p.alpha, p.alpha, p.alpha, p.alpha, p.alpha, p.alpha};
        } else {
            const float m3 = p.mass * p.mass * p.mass;
            const float saturation = p.mass > 0.5f ? m3 * m3 * m3 * m3 : 0.0f;
            const float speed =
                std::min(p.vx * invW * p.vx * invW + p.vy * invH * p.vy * invH, kMaxSpeedSquared);
            gaColor c;
            c.setHsb(0, saturation + speed * 255 / kMaxSpeedSquared, (p.mass * 0.5f + 0.5f) * p.alpha * 255,
                     255);
            const float r = c.r / 255.0f;
            const float g = c.g / 255.0f;
            const float b = c.b / 255.0f;
            colours[k] = {r, g, b, r, g, b};
        }
    }
    for (std::size_t k = 0; k < segments.size(); ++k) {
        const SegmentColour& c = colours[k];
        gaSetColor(kBlack | ColourByte(c.r0) << 16 | ColourByte(c.g0) << 8 | ColourByte(c.b0));
        const Segment& s = segments[k];
        gaDrawLine(s.x0, s.y0, s.x1, s.y1);
    }
}

// --- the demo ---------------------------------------------------------------------------

void gaAppFluid::setup()
{
    solver.dt = 0.04f;
    solver.fadeSpeed = 0.03f;
    solver.solverIterations = 10;
    solver.colorDiffusion = 0;
    solver.doVorticityConfinement = false;
    solver.wrapX = false;
    solver.wrapY = false;
    solver.viscosity = 0.0001f;
    solver.setup(100, 100);
    solver.doRGB = true;
    solver.fadeSpeed = 0.002f;
    solver.dt = 0.5f;
    solver.viscosity = 0.00015f;
    solver.colorDiffusion = 0;
    drawer.setup(&solver);

    colorMult = 50;
    velocityMult = 50;
    fluidCellsX = 150;
    drawFluid = true;
    drawParticles = true;

    gaSetFrameRate(60);
    gaSetBackgroundColor(kBlack);
    resizeFluid = true;
    previousMouse = {static_cast<float>(canvasWidth) * 0.5f, static_cast<float>(canvasHeight) * 0.5f};
    gaSetBackgroundAuto(false);
}

void gaAppFluid::update()
{
    if (resizeFluid) {
        const float aspect = Extent(canvasWidth) / Extent(canvasHeight);
        solver.setup(fluidCellsX, static_cast<int>(static_cast<float>(fluidCellsX) / aspect));
        drawer.setup(&solver);
        resizeFluid = false;
    }
    solver.update();
}

void gaAppFluid::draw()
{
    const float w = static_cast<float>(canvasWidth);
    const float h = static_cast<float>(canvasHeight);
    if (drawFluid) {
        gaSetColor(kBlack);
        gaDrawRectangle(0, 0, w, h);
        drawer.draw(0, 0, w, h);
    } else {
        gaSetColor(kTransparent); // leaves the canvas as it was: the trails build up
        gaDrawRectangle(0, 0, w, h);
    }
    if (drawParticles)
        particles.updateAndDraw(solver, drawFluid);
    gaSetColor(kTextColour);
    gaDrawString(kHelp, 0, 0);
}

void gaAppFluid::keyPressed(int key)
{
    switch (key) {
    case 'z':
        drawer.mode = nvq::fluid::DrawerBase::kColor;
        break;
    case 'x':
        drawer.mode = nvq::fluid::DrawerBase::kMotion;
        break;
    case 'c':
        drawer.mode = nvq::fluid::DrawerBase::kSpeed;
        break;
    case 'v':
        drawer.mode = nvq::fluid::DrawerBase::kVectors;
        break;
    case 'd':
        drawFluid = !drawFluid;
        break;
    case 'p':
        drawParticles = !drawParticles;
        break;
    case 'r':
        solver.reset();
        break;
    default:
        break;
    }
}

void gaAppFluid::mouseMoved(int x, int y)
{
    stir(x, y, true);
}

void gaAppFluid::mouseDragged(int x, int y, int /*button*/)
{
    stir(x, y, false);
}

void gaAppFluid::stir(int x, int y, bool withColour)
{
    const float w = Extent(canvasWidth);
    const float h = Extent(canvasHeight);
    const gaVec2f position{static_cast<float>(x), static_cast<float>(y)};
    const gaVec2f motion = position - previousMouse;
    addToFluid({position.x / w, position.y / h}, {motion.x / w, motion.y / h}, withColour);
    previousMouse = position;
}

void gaAppFluid::addToFluid(gaVec2f n, gaVec2f d, bool withColour)
{
    const float aspect = Extent(canvasWidth) / Extent(canvasHeight);
    if (!(d.x * d.x + d.y * d.y * aspect * aspect > 0) || !solver.valid)
        return;
    n.x = std::clamp(n.x, 0.0f, 1.0f);
    n.y = std::clamp(n.y, 0.0f, 1.0f);
    const int index = solver.cellIndexAt(n.x, n.y);
    if (withColour) {
        gaColor c;
        c.setHsb(static_cast<float>(core().frameNum % 255), 255, 255, 255);
        const auto boost = [this](unsigned char channel) {
            return static_cast<unsigned char>(
                std::clamp(static_cast<float>(channel) * colorMult, 0.0f, 255.0f));
        };
        c.r = boost(c.r);
        c.g = boost(c.g);
        c.b = boost(c.b);
        const gaFloatColor f = c.toFloats();
        if (solver.doRGB) {
            nvq::fluid::Rgb& source = solver.colorSource[index];
            source.r += f.r;
            source.g += f.g;
            source.b += f.b;
        } else {
            solver.density[index] += f.r;
        }
        if (drawParticles)
            particles.addParticles(n.x * static_cast<float>(canvasWidth),
                                   n.y * static_cast<float>(canvasHeight));
    }
    nvq::fluid::Vec2& velocity = solver.velocity[index];
    velocity.x += d.x * velocityMult;
    velocity.y += d.y * velocityMult;
}
