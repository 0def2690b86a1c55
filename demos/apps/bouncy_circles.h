#pragma once
// gaBouncyCircles: a thousand translucent circles fly out from the canvas
// centre, fall under a small gravity and bounce off the edges, leaving fading
// trails. Holding a button pulls them all toward the press point; releasing it
// scatters them with fresh random velocities.
#include "demos/core/base_app.h"

#include <array>

class gaBouncyCircles : public gaBaseApp
{
public:
    static constexpr int kCount = 1000;

    // The circles as parallel arrays.
    struct Circles
    {
        std::array<float, kCount> x{};
        std::array<float, kCount> y{};
        std::array<float, kCount> vx{};
        std::array<float, kCount> vy{};
        std::array<float, kCount> radius{};
        std::array<int, kCount> red{};
        std::array<int, kCount> green{};
        std::array<int, kCount> blue{};
    };

    void setup() override;
    void update() override;
    void draw() override;
    void mousePressed(int x, int y, int button) override;
    void mouseReleased(int x, int y, int button) override;

    Circles& circles() { return m_circles; }
    bool attracting() const { return m_attract; }

private:
    void scatter();

    Circles m_circles;
    bool m_attract = false;
    float m_gravity = 0.1f;
    float m_friction = 0.999f;
};
