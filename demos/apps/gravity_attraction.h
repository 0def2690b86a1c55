#pragma once
// gaGravityAttraction: a thousand light particles in a 3D box pull one another
// by an inverse-square law and wrap around the box's faces; clicks place heavy
// black holes that pull every particle. Particles are white dots, black holes
// translucent blue discs, over slowly fading trails.
#include "demos/core/base_app.h"

#include <span>
#include <vector>

// One body: a particle or a black hole.
struct ParticleVec3
{
    ParticleVec3(); // at rest at the origin, in the canvas's box

    // Adds the pull of s (inverse square of the distance, which counts as
    // at least 2 and at most 800) to the force, as an acceleration of this body.
    void attract(const ParticleVec3& s);
    // The pull of every source, in their order.
    void attract(std::span<const ParticleVec3> sources);
    // One step: velocity from the force and the constant acceleration, less
    // friction; the force is spent; the position moves and wraps around the box.
    void update();

    gaVec3f position;
    gaVec3f velocity;
    gaVec3f force;
    gaVec3f acceleration; // constant
    float mass = 0.5f;
    float friction = 0.0f;
    gaVec3f lower; // the box
    gaVec3f upper;
    float size = 4.0f;
    float G = 1.0f;
};

class gaGravityAttraction : public gaBaseApp
{
public:
    static constexpr int kParticles = 1000;

    void setup() override;
    // Every step of the simulation runs here: the pull between particles, a
    // drawn step, the pull of the black holes and a second step.
    void draw() override;
    void keyPressed(int key) override;
    void mouseReleased(int x, int y, int button) override;

    std::vector<ParticleVec3>& particles() { return m_particles; }
    const std::vector<ParticleVec3>& blackHoles() const { return m_blackHoles; }

private:
    std::vector<ParticleVec3> m_particles;
    std::vector<ParticleVec3> m_blackHoles;
};
