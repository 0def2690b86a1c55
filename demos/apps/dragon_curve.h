#pragma once
// gaDragonCurve: a random-iteration picture of a two-map family that passes
// through the Heighway dragon (a = 1) and the Levy C curve (a = -1), 30000
// points a frame in black on light grey, while a walks between -1.5 and 1.5 by
// 0.1 every 10 frames. A left click pauses the walk or resumes it in the same
// direction.
#include "demos/core/base_app.h"

class gaDragonCurve : public gaBaseApp
{
public:
    struct Point
    {
        double x = 0;
        double y = 0;
    };

    void draw() override;
    void mousePressed(int x, int y, int button) override;

    // The two maps: branch 0 x' = (x - y) / 2, y' = (x + y) / 2; branch 1
    // x' = 1 - (x + a y) / 2, y' = (x - a y) / 2.
    static Point map(Point p, double a, int branch);
    // The curve a names ("" for none).
    static const char* curveName(double a);
    double a() const { return m_a; }
    int direction() const { return m_direction; }

private:
    void walk();

    int m_pointsPerFrame = 30000;
    double m_a = 0.9;
    double m_step = 0.1;
    int m_direction = +1; // -1 downwards, 0 paused
};
