#include "demos/apps/gravity_attraction.h"

#include "demos/apps/canvas_fill.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kNearest = 2.0f;
constexpr float kFarthest = 800.0f;

// Below the box a coordinate comes back at the top, above it at the bottom.
void Wrap(float& coordinate, float lower, float upper)
{
    if (coordinate < lower)
        coordinate = upper;
    if (coordinate > upper)
        coordinate = lower;
}

// The pull of s on p (inverse square of the distance, limited to 2..800) as an
// acceleration of p.
gaVec3f Pull(const ParticleVec3& p, const ParticleVec3& s)
{
    const gaVec3f d = s.position - p.position;
    const float length = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
    if (!(length > 0) || p.mass == 0)
        return {}; // no direction to pull in, or nothing to pull
    const float distance = std::clamp(length, kNearest, kFarthest);
    // The unit direction times the strength m_p m_s G / distance^2, per unit of
    // p's mass: one division.
    return d * (p.mass * s.mass * p.G / (distance * distance * p.mass * length));
}

// A disc of the body's drawn size at its place on the canvas.
void DrawBody(const ParticleVec3& body)
{
    const float diameter = 2 * body.size * body.mass;
    gaPushMatrix();
    gaTranslate(body.position.x, body.position.y);
    gaDrawEllipse(0, 0, diameter, diameter);
    gaPopMatrix();
}

} // namespace

ParticleVec3::ParticleVec3()
    : lower{0, 0, -static_cast<float>(canvasWidth)}, upper{static_cast<float>(canvasWidth),
                                                           static_cast<float>(canvasHeight),
                                                           static_cast<float>(canvasWidth)}
{
}

void ParticleVec3::attract(const ParticleVec3& s)
{
    force += Pull(*this, s);
}

void ParticleVec3::attract(std::span<const ParticleVec3> sources)
{
    gaVec3f total = force; // kept in registers over the loop, added in the same order
    for (const ParticleVec3& s : sources)
        total += Pull(*this, s);
    force = total;
}

void ParticleVec3::update()
{
    velocity = (velocity + force + acceleration) * (1 - friction);
    force = {};
    position += velocity;
    Wrap(position.x, lower.x, upper.x);
    Wrap(position.y, lower.y, upper.y);
    Wrap(position.z, lower.z, upper.z);
}

void gaGravityAttraction::setup()
{
    gaSetFrameRate(60);
    gaSetBackgroundAuto(false);
    m_particles.assign(kParticles, ParticleVec3());
    for (ParticleVec3& p : m_particles) {
        p.position.z = gaRandom(0, static_cast<float>(canvasHeight / 2));
        p.position.y = gaRandom(0, static_cast<float>(canvasHeight));
        p.position.x = gaRandom(0, static_cast<float>(canvasWidth));
        p.mass = gaRandom(1, 2);
        p.size = 0.5f;
        p.friction = 0.02f;
    }
}

void gaGravityAttraction::draw()
{
    FillCanvas(0x0F000000); // slowly fading trails
    gaSetColor(0xFFFFFFFF);
    for (std::size_t i = 0; i < m_particles.size(); ++i) {
        ParticleVec3& p = m_particles[i];
        p.attract(std::span(m_particles).first(i));
        p.update();
        DrawBody(p);
    }
    for (ParticleVec3& p : m_particles) {
        p.attract(m_blackHoles);
        p.update();
    }
    gaSetColor(0x7F3C46FF);
    for (const ParticleVec3& hole : m_blackHoles)
        DrawBody(hole);
    gaSetColor(0xFF648C64);
    gaDrawString("Left-click to add a blackhole.  Press 'c' to clear all blackholes.", 0, 0);
}

void gaGravityAttraction::keyPressed(int key)
{
    if (key == 'c')
        m_blackHoles.clear();
}

void gaGravityAttraction::mouseReleased(int x, int y, int /*button*/)
{
    ParticleVec3 hole;
    hole.position = {static_cast<float>(x), static_cast<float>(y),
                     gaRandom(0, static_cast<float>(canvasHeight / 2))};
    hole.mass = gaRandom(100, 200);
    hole.size = 0.02f;
    hole.friction = 1.0f;
    m_blackHoles.push_back(hole);
}
