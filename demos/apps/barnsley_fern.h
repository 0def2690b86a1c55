#pragma once
// gaBarnsleyFern2: a swaying recursive fern on black, redrawn every frame. Each
// stem draws itself, then a smaller copy of itself at its tip and two side
// fronds at 60 % of its length; the recursion keeps its matrices in the core's
// 64 saved slots. Left click raises the main stem's length threshold scale,
// right click lowers it down to 0.
#include "demos/core/base_app.h"

class gaBarnsleyFern2 : public gaBaseApp
{
public:
    // What the last frame's recursion did.
    struct Recursion
    {
        int calls = 0;
        int deepest = 0;
    };

    void setup() override;
    void draw() override;
    void mousePressed(int x, int y, int button) override;

    int branchLenThreshScale() const { return m_branchLenThreshScale; }
    Recursion lastRecursion() const { return m_recursion; }

private:
    void drawBranch(float len);

    int m_depth = 0;
    float m_trunkLength = 100.0f;
    int m_branchLenThreshScale = 2;
    Recursion m_recursion;
};
