#pragma once
// gaAutoCluster: 1800 particles in 6 groups (by index) push and pull each other:
// members of a group settle at a preferred distance, members of different
// groups repel when close and attract when far. Each particle is drawn as a line
// from its previous to its new position, coloured by group, index band and
// relative speed, thicker when slower, over a translucent fill that leaves
// trails. Every 240 frames, or on any click, the particles restart from a small
// random disc with a new base hue.
#include "demos/core/base_app.h"

#include <vector>

class gaAutoCluster : public gaBaseApp
{
public:
    ~gaAutoCluster() override;

    void setup() override;
    void draw() override;
    void mousePressed(int x, int y, int button) override;

    // Adds to every position[k] the pull and push of every other particle l,
    // taken from the previous positions.
    void interact();

    int frameCounter() const { return m_frame; }
    float baseHue() const { return m_baseHue; }
    std::vector<gaVec2f>& positions() { return m_positions; }
    std::vector<gaVec2f>& previousPositions() { return m_previous; }

private:
    void restart();
    void drawParticles();

    int m_cycle = 240;
    int m_frame = 0;
    int m_count = 1800;
    int m_groups = 6;
    float m_spawnRadius = 80.0f;
    float m_preferred = 220.0f;
    float m_strength = 12.0f;
    float m_baseHue = 0.0f;           // degrees
    std::vector<gaVec2f> m_positions; // relative to the canvas centre
    std::vector<gaVec2f> m_previous;
    // Scratch of interact, made once: previous and new positions by axis, each
    // particle's group, and one particle's row of pair contributions.
    std::vector<float> m_px, m_py, m_ax, m_ay;
    std::vector<int> m_group;
    std::vector<float> m_cx, m_cy;
};
