#pragma once
// gaBuddhabrot: the density of escaping Mandelbrot orbits, sampled at random a
// few thousand orbits a frame on the user-interface thread and repainted as a
// grey picture every 30 frames, with the number of traced orbits.
#include "demos/core/base_app.h"

#include <string>
#include <vector>

class gaBuddhabrot : public gaBaseApp
{
public:
    static constexpr int kRepaintEvery = 30;

    void setup() override;
    void draw() override;

    // The decimal text with "," between groups of three digits.
    static std::string formatWithComma(int value);

    // One frame's samples: random points c of [-2, 1] x [-1.5, 1.5]; the orbits
    // that escape within the limit are traced into the histogram.
    void sample();
    // The histogram as grey cells scaled to its maximum, and the status line.
    void repaint();

    int gridSize() const { return m_N; }
    const std::vector<int>& histogram() const { return m_histogram; }
    int exposures() const { return m_exposures; }

private:
    void trace(float cr, float ci);

    int m_N = 600;       // the histogram is N x N, real axis down the rows
    int m_bailout = 200; // the escape test's and the trace's iteration limit
    int m_samplesPerFrame = 10000;
    std::vector<int> m_histogram;
    int m_maximum = 0; // of the last repaint
    int m_frame = 0;
    int m_exposures = 0; // traced orbits so far
};
