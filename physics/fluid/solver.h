#pragma once

#include <vector>

namespace nvq::fluid {

namespace steps {
struct Grid;
}

// One cell's velocity (or force), two floats side by side in the cell arrays.
struct Vec2
{
    float x;
    float y;
};

// One cell's colour dye, three floats side by side in the cell arrays.
struct Rgb
{
    float r;
    float g;
    float b;
};

// A 2D incompressible fluid on a grid of cellsX × cellsY cells with a one-cell ghost
// border, advanced in the stable-fluids manner (semi-Lagrangian advection, implicit
// diffusion, projection to a divergence-free field). Cell (i, j), i in 0..cellsX + 1 and
// j in 0..cellsY + 1, lives at index i + (cellsX + 2) * j of every cell array; the
// interior is 1..cellsX by 1..cellsY. Owners write sources and read the fields directly
// through the public pointers; a pair such as color/colorSource is swapped by exchanging
// the pointers, so owners must read the pointer again after every update.
class Solver
{
public:
    Solver() = default;
    Solver(const Solver&) = delete;
    Solver& operator=(const Solver&) = delete;
    virtual ~Solver();

    // Sets the grid size and clears the fluid. A size below 1 cell leaves the solver
    // without a grid (not valid).
    void setup(int cellsX, int cellsY);
    // Clears every cell of every array (ghosts included).
    void reset();
    // Releases the arrays; a second call does nothing.
    void destroy();
    // Advances the fluid by one time step dt; does nothing without a grid.
    void update();
    // The interior cell under (x, y), both normalised to 0..1 across the whole grid
    // (ghost border included); 0 without a grid.
    int cellIndexAt(float x, float y) const;
    int cellIndex(int i, int j) const { return i + (cellsX + 2) * j; }

    // Tuning, set by the owner.
    bool doRGB = false;                  // step the colour dye instead of the density
    bool doVorticityConfinement = false; // add the vorticity-confinement force
    int solverIterations = 10;           // sweeps of every relaxation; below 1 counts as 1
    float colorDiffusion = 0.0f;         // diffusion rate of the dye; 0 switches it off
    float viscosity = 0.0001f;           // diffusion rate of the velocity
    float fadeSpeed = 0.03f;             // fraction of the dye removed per update
    float dt = 0.04f;                    // time step
    bool wrapX = false;                  // left and right borders wrap around
    bool wrapY = false;                  // top and bottom borders wrap around

    // Grid and the values derived from it.
    int cellsX = 0;
    int cellsY = 0;
    int numCells = 0;    // (cellsX + 2) * (cellsY + 2)
    float width = 0.0f;  // cellsX + 2
    float height = 0.0f; // cellsY + 2
    float invWidth = 0.0f;
    float invHeight = 0.0f;
    float invCellsX = 0.0f;
    float invCellsY = 0.0f;
    float invNumCells = 0.0f;
    bool valid = false; // true while the arrays exist

    // Cell arrays, numCells entries each (null without a grid).
    float* density = nullptr;       // scalar dye (doRGB off)
    float* densitySource = nullptr; // density added by the next update
    Rgb* color = nullptr;           // colour dye (doRGB on)
    Rgb* colorSource = nullptr;     // colour added by the next update
    Vec2* velocity = nullptr;       // velocity field
    Vec2* velocitySource = nullptr; // force added by the next update
    float* curl = nullptr;          // curl magnitude (vorticity confinement)

private:
    void stepVelocity(const steps::Grid& g, int iterations);
    void fade();

    // Storage behind the public pointers; the pointers of a pair alternate between the
    // two buffers of that pair.
    std::vector<float> densityStore_[2];
    std::vector<Rgb> colorStore_[2];
    std::vector<Vec2> velocityStore_[2];
    std::vector<float> curlStore_;
    // The pressures of the two projections of an update, each kept as the first
    // guess of the same projection in the next update: the relaxation then only
    // has to follow the change, and the divergence its few sweeps leave does not
    // pile up from update to update.
    std::vector<float> pressure_[2];
    // Scratch of the projection.
    std::vector<float> divergence_;
};

} // namespace nvq::fluid
