#include "physics/fluid/solver.h"

#include "physics/fluid/steps.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>

namespace nvq::fluid {
namespace {

using steps::Grid;

// One step of a dye field q with its source q0: add the source, diffuse, advect along
// the velocity. Leaves the result in q.
template <typename T>
void stepDye(const Grid& g, T*& q, T*& q0, const Vec2* velocity, float diffusion, float dt, int iterations,
             int count)
{
    steps::addScaled(q, q0, dt, count);
    std::swap(q, q0);
    if (diffusion != 0.0f && dt != 0.0f) {
        const float a = diffusion * dt * static_cast<float>(g.nx) * static_cast<float>(g.ny);
        steps::diffuse(g, q, q0, a, iterations, steps::setBorder<T>);
        std::swap(q, q0);
    }
    steps::advect(g, q, q0, velocity, dt);
    steps::setBorder(g, q);
}

// Values this small are flushed to exactly 0 so that fading fields never linger as
// denormals.
float flushTiny(float v)
{
    return std::abs(static_cast<double>(v)) < 1e-9 ? 0.0f : v;
}

float fadeValue(float v, float keep)
{
    return flushTiny(std::min(v, 1.0f) * keep);
}

} // namespace

Solver::~Solver()
{
    destroy();
}

void Solver::setup(int newCellsX, int newCellsY)
{
    const std::int64_t count = (std::int64_t{newCellsX} + 2) * (std::int64_t{newCellsY} + 2);
    if (newCellsX < 1 || newCellsY < 1 || count > std::numeric_limits<int>::max()) {
        destroy();
        cellsX = cellsY = numCells = 0;
        return;
    }
    cellsX = newCellsX;
    cellsY = newCellsY;
    numCells = static_cast<int>(count);
    width = static_cast<float>(cellsX + 2);
    height = static_cast<float>(cellsY + 2);
    invWidth = 1.0f / width;
    invHeight = 1.0f / height;
    invCellsX = 1.0f / static_cast<float>(cellsX);
    invCellsY = 1.0f / static_cast<float>(cellsY);
    invNumCells = 1.0f / static_cast<float>(numCells);
    reset();
}

void Solver::reset()
{
    if (numCells == 0) {
        return;
    }
    const auto n = static_cast<std::size_t>(numCells);
    for (int k = 0; k < 2; ++k) {
        densityStore_[k].assign(n, 0.0f);
        colorStore_[k].assign(n, Rgb{0.0f, 0.0f, 0.0f});
        velocityStore_[k].assign(n, Vec2{0.0f, 0.0f});
    }
    curlStore_.assign(n, 0.0f);
    for (std::vector<float>& pressure : pressure_) {
        pressure.assign(n, 0.0f);
    }
    divergence_.assign(n, 0.0f);
    density = densityStore_[0].data();
    densitySource = densityStore_[1].data();
    color = colorStore_[0].data();
    colorSource = colorStore_[1].data();
    velocity = velocityStore_[0].data();
    velocitySource = velocityStore_[1].data();
    curl = curlStore_.data();
    valid = true;
}

void Solver::destroy()
{
    valid = false;
    density = densitySource = curl = nullptr;
    color = colorSource = nullptr;
    velocity = velocitySource = nullptr;
    for (int k = 0; k < 2; ++k) {
        densityStore_[k] = {};
        colorStore_[k] = {};
        velocityStore_[k] = {};
    }
    curlStore_ = {};
    pressure_[0] = {};
    pressure_[1] = {};
    divergence_ = {};
}

int Solver::cellIndexAt(float x, float y) const
{
    if (!valid) {
        return 0;
    }
    // floor(v) held to 1..n; NaN lands on 1.
    const auto cell = [](float v, int n) {
        if (!(v >= 1.0f)) {
            return 1;
        }
        return v >= static_cast<float>(n) ? n : static_cast<int>(v);
    };
    return cellIndex(cell(x * width, cellsX), cell(y * height, cellsY));
}

void Solver::update()
{
    if (!valid) {
        return;
    }
    const int iterations = std::max(solverIterations, 1);
    const Grid g{cellsX, cellsY, cellsX + 2, wrapX, wrapY};
    stepVelocity(g, iterations);
    if (doRGB) {
        stepDye(g, color, colorSource, velocity, colorDiffusion, dt, iterations, numCells);
    } else {
        stepDye(g, density, densitySource, velocity, colorDiffusion, dt, iterations, numCells);
    }
    fade();
}

void Solver::stepVelocity(const Grid& g, int iterations)
{
    steps::addScaled(velocity, velocitySource, dt, numCells);
    if (doVorticityConfinement) {
        steps::vorticityConfinement(g, velocity, curl, velocitySource, numCells);
        steps::addScaled(velocity, velocitySource, dt, numCells);
    }
    std::swap(velocity, velocitySource);
    const float a = viscosity * dt * static_cast<float>(cellsX) * static_cast<float>(cellsY);
    steps::diffuse(g, velocity, velocitySource, a, iterations, steps::setVelocityBorder);
    steps::project(g, velocity, pressure_[0].data(), divergence_.data(), iterations);
    std::swap(velocity, velocitySource);
    steps::advect(g, velocity, velocitySource, velocitySource, dt);
    steps::setVelocityBorder(g, velocity);
    steps::project(g, velocity, pressure_[1].data(), divergence_.data(), iterations);
}

void Solver::fade()
{
    const float keep = 1.0f - fadeSpeed;
    std::fill_n(velocitySource, numCells, Vec2{0.0f, 0.0f});
    if (doRGB) {
        std::fill_n(colorSource, numCells, Rgb{0.0f, 0.0f, 0.0f});
        for (int k = 0; k < numCells; ++k) {
            color[k] = {fadeValue(color[k].r, keep), fadeValue(color[k].g, keep),
                        fadeValue(color[k].b, keep)};
        }
    } else {
        std::fill_n(densitySource, numCells, 0.0f);
        for (int k = 0; k < numCells; ++k) {
            density[k] = fadeValue(density[k], keep);
        }
    }
    for (int k = 0; k < numCells; ++k) {
        velocity[k] = {flushTiny(velocity[k].x), flushTiny(velocity[k].y)};
    }
    if (doVorticityConfinement) {
        for (int k = 0; k < numCells; ++k) {
            curl[k] = flushTiny(curl[k]);
        }
    }
}

} // namespace nvq::fluid
