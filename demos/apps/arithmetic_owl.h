#pragma once
// gaArithmeticOwl: particles scattered on the unit sphere drift through the
// arithmetic flow field, drawn (turned 45 degrees) as glowing points whose
// trails fade very slowly on black. 20 particles join every frame until there
// are 4000; then the 10 oldest go each frame. Every click or key restarts the
// figure: left and right clicks change the flow's coefficient, 'r' restores it,
// 't' switches the fading.
#include "demos/core/base_app.h"

#include <vector>

class gaArithmeticOwl : public gaBaseApp
{
public:
    void setup() override;
    void draw() override;
    void keyPressed(int key) override;
    void mousePressed(int x, int y, int button) override;

    const std::vector<gaVec3f>& particles() const { return m_particles; }
    int radCoef() const { return m_radCoef; }
    int fade() const { return m_fade; }

private:
    void drawAndMoveParticles();
    void renewParticles();

    std::vector<gaVec3f> m_particles;
    int m_limit = 4000;
    bool m_clearNext = true;
    int m_size = 600; // the drawing scale is size / 10
    int m_radCoef = 8;
    int m_fade = 1; // the alpha of the fading fill
};
