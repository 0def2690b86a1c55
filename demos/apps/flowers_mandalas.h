#pragma once
// gaFlowersMandalas: petals circle the canvas centre in phase; each carries a
// second point spinning n times as fast, and every frame a translucent line
// between the two and a dot at the second are drawn over the last frames, so
// the traces build a mandala. Left click pauses, right click starts a new
// mandala, 't' switches between one spin ratio for all petals and one each.
#include "demos/core/base_app.h"

#include <vector>

class gaFlowersMandalas : public gaBaseApp
{
public:
    struct Petal
    {
        float x0 = 0.0f; // the point on the orbit
        float y0 = 0.0f;
        float r = 0.0f;  // the petal radius
        float x1 = 0.0f; // the spinning point
        float y1 = 0.0f;
        float cx = 0.0f; // the orbit centre
        float cy = 0.0f;
        float R = 0.0f; // the orbit radius
        float theta = 0.0f;
        float omega = 0.0f;
        gaColor color;
        int n = 0; // the spin ratio

        void step();
    };

    ~gaFlowersMandalas() override;

    void setup() override;
    void update() override;
    void draw() override;
    void keyPressed(int key) override;
    void mousePressed(int x, int y, int button) override;

    const std::vector<Petal>& petals() const { return m_petals; }
    int symmetry() const { return m_symmetry; }
    bool paused() const { return m_paused; }
    bool aligned() const { return m_aligned; }

private:
    int m_centerX = 0;
    int m_centerY = 0;
    int m_size = 0;
    std::vector<Petal> m_petals;
    int m_petalCount = 0;
    int m_symmetry = 5;
    bool m_paused = false;
    bool m_aligned = false;
    bool m_clearPending = true;
};
