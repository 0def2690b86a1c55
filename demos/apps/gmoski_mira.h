#pragma once
// gaGmoskiMira: the Gumowski-Mira attractor, 30000 iterates a frame in white on
// black, 30 units across the canvas with y upwards, while c sweeps upwards (and
// b a little every time c passes 1) so that the figure morphs. A left click
// pauses or resumes; a right click or the key 'c' restores a, b and c.
#include "demos/core/base_app.h"

class gaGmoskiMira : public gaBaseApp
{
public:
    struct Point
    {
        double x = 0;
        double y = 0;
    };
    struct Params
    {
        double a = 0.007;
        double b = 0.05;
        double c = -0.47;
    };

    void setup() override;
    void draw() override;
    void keyPressed(int key) override;
    void mousePressed(int x, int y, int button) override;

    // The map: x' = y + a y (1 - b y^2) + f(x), y' = f(x') - x.
    static Point iterate(Point p, const Params& params);
    const Params& params() const { return m_params; }
    bool running() const { return m_running; }

private:
    void sweep();
    void reset() { m_params = m_initial; }

    int m_iterations = 30000;
    Params m_initial;
    Params m_params;
    bool m_running = true;
};
