#pragma once
// gaAncientMachine: random particles on the unit sphere moved through the
// arithmetic flow field and drawn in reds over slowly fading trails. The list
// holds 1980 to 2000 particles. Clicks change the flow's coefficient, or with
// 't' a fixed flow factor (rad) that then drives every particle; 'r' resets.
#include "demos/core/base_app.h"

#include <vector>

class gaAncientMachine : public gaBaseApp
{
public:
    void setup() override;
    void draw() override;
    void keyPressed(int key) override;
    void mousePressed(int x, int y, int button) override;

    const std::vector<gaVec3f>& particles() const { return m_particles; }
    int rad() const { return m_rad; }
    int radCoef() const { return m_radCoef; }
    bool targetRad() const { return m_targetRad; }

private:
    void renewParticles();
    // Draws and moves every particle; the flow factor of the last one.
    float drawAndMoveParticles();

    std::vector<gaVec3f> m_particles;
    int m_limit = 2000;
    int m_rad = 0;
    int m_radCoef = 8;
    bool m_targetRad = false; // clicks change rad, and rad drives the flow
};
