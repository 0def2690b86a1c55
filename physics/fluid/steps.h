#pragma once

#include "physics/fluid/solver.h"

// The phases of a solver step, each a plain sweep over flat cell arrays laid out as in
// Solver (index i + stride * j, one ghost cell all round). The templates exist for
// float (density), Vec2 (velocity, scratch pair) and Rgb (colour).
namespace nvq::fluid::steps {

struct Grid
{
    int nx;     // interior cells across
    int ny;     // interior cells down
    int stride; // nx + 2
    bool wrapX; // the left and right borders wrap around
    bool wrapY; // the top and bottom borders wrap around
};

// x += dt * s over all count cells, ghosts included.
template <typename T> void addScaled(T* x, const T* s, float dt, int count);

// Border of the dye and of the projection's scratch pair: every ghost copies its source
// cell (the nearest interior cell, or the one at the opposite edge when the axis
// wraps); every corner becomes the average of its two neighbouring ghosts.
template <typename T> void setBorder(const Grid& g, T* f);

// Border of the velocity: as setBorder, but closed walls reflect the component normal
// to them (x on the left and right, y on the top and bottom).
void setVelocityBorder(const Grid& g, Vec2* v);

// Implicit diffusion x = x0 + a * laplacian(x): iterations sweeps of in-place
// relaxation over the interior, rows from the last to the first and, within a row,
// columns from the last to the first, each sweep followed by border(g, x). x holds the
// first guess on entry.
template <typename T>
void diffuse(const Grid& g, T* x, const T* x0, float a, int iterations, void (*border)(const Grid&, T*));

// Semi-Lagrangian advection of q along w into the interior of r: each cell takes the
// bilinear sample of q where its centre was dt earlier. Sample positions stay within
// 0.5..n + 0.5 (periodic on a wrapping axis; NaN lands on 0.5).
template <typename T> void advect(const Grid& g, T* r, const T* q, const Vec2* w, float dt);

// Makes v divergence-free, with two scratch arrays of the grid's size: the scaled
// divergence D and the pressure P. P solves nx² d²P/di² + ny² d²P/dj² = div with the
// central-difference divergence div = 0.5 nx dvx/di + 0.5 ny dvy/dj (the domain is 1
// across and 1 down), in diffuse's sweep order; then v -= (0.5 nx dP/di, 0.5 ny dP/dj)
// and the velocity border is set. P enters holding the first guess: the pressure of
// the previous projection of a similar field (a warm start), or zeros.
void project(const Grid& g, Vec2* v, float* pressure, float* divergence, int iterations);

// Writes the curl magnitude of v into the interior of curl and the confinement force
// into force: zero everywhere except one cell in from the interior's edge, where the
// curl's gradient is known.
void vorticityConfinement(const Grid& g, const Vec2* v, float* curl, Vec2* force, int count);

} // namespace nvq::fluid::steps
