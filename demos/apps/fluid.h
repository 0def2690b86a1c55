#pragma once
// gaAppFluid, "流体（Navier-Stokes）": moving the mouse over the canvas stirs a
// stable fluid and injects colour that cycles through the hues; dragging with
// the left button only pushes the fluid. The fluid shows in one of four views
// and up to 50,000 short-lived particles ride the flow as line segments.
// Keys: z colour, x motion, c speed, v vectors, d fluid on/off, p particles
// on/off, r clears the fluid.
#include "demos/core/base_app.h"
#include "demos/fluid_drawers.h"
#include "physics/fluid/solver.h"

#include <vector>

// A particle carried by the fluid (pixels, pixels per frame); alpha 0 is dead.
struct FluidParticle
{
    float x = 0.0f;
    float y = 0.0f;
    float vx = 0.0f;
    float vy = 0.0f;
    float radius = 0.0f;
    float alpha = 0.0f;
    float mass = 0.0f;
};

// A ring of particle slots: the oldest are overwritten when it is full. Each
// slot keeps the segment and colour it was last drawn with.
struct FluidParticles
{
    static constexpr int kMaxParticles = 50000;
    static constexpr int kPerCall = 10;

    struct Segment
    {
        float x0, y0, x1, y1;
    };
    struct SegmentColour
    {
        float r0, g0, b0, r1, g1, b1; // 0 to 1, one colour per vertex
    };

    // kPerCall particles on a circle of 15 pixels round (x, y).
    void addParticles(float x, float y);
    // Moves every live particle with the fluid under it and draws every slot.
    void updateAndDraw(const nvq::fluid::Solver& solver, bool fluidDrawn);

    std::vector<Segment> segments = std::vector<Segment>(kMaxParticles);
    std::vector<SegmentColour> colours = std::vector<SegmentColour>(kMaxParticles);
    std::vector<FluidParticle> particles = std::vector<FluidParticle>(kMaxParticles);
    int curIndex = 0;
};

class gaAppFluid : public gaBaseApp
{
public:
    void setup() override;
    void update() override;
    void draw() override;
    void keyPressed(int key) override;
    void mouseMoved(int x, int y) override;
    void mouseDragged(int x, int y, int button) override;

    // Colour (when asked) and a push at the normalised position n with the
    // normalised motion d; nothing when d is zero.
    void addToFluid(gaVec2f n, gaVec2f d, bool withColour);

    nvq::fluid::Solver& getSolver() { return solver; }
    const nvq::fluid::DrawerGl& getDrawer() const { return drawer; }
    const FluidParticles& getParticles() const { return particles; }
    bool drawsFluid() const { return drawFluid; }
    bool drawsParticles() const { return drawParticles; }

private:
    void stir(int x, int y, bool withColour);

    float colorMult = 50.0f;
    float velocityMult = 50.0f;
    int fluidCellsX = 150;
    bool resizeFluid = false;
    bool drawFluid = false;
    bool drawParticles = false;
    nvq::fluid::Solver solver;
    nvq::fluid::DrawerGl drawer;
    FluidParticles particles;
    gaVec2f previousMouse;
};
