#include "physics/fluid/steps.h"

#include <algorithm>
#include <cmath>

namespace nvq::fluid::steps {
namespace {

// Element arithmetic shared by the scalar, pair and colour arrays.
Vec2 operator+(Vec2 a, Vec2 b)
{
    return {a.x + b.x, a.y + b.y};
}
Vec2 operator*(float k, Vec2 a)
{
    return {k * a.x, k * a.y};
}
Rgb operator+(Rgb a, Rgb b)
{
    return {a.r + b.r, a.g + b.g, a.b + b.b};
}
Rgb operator*(float k, Rgb a)
{
    return {k * a.r, k * a.g, k * a.b};
}

// A back-traced coordinate as a safe sampling position in 0.5..n + 0.5: periodic when
// the axis wraps, else held at the walls; NaN lands on 0.5.
float samplePosition(float x, int n, bool wrap)
{
    const float cells = static_cast<float>(n);
    if (wrap) {
        x -= cells * std::floor((x - 0.5f) / cells);
    }
    const float high = cells + 0.5f;
    x = x < high ? x : high;
    return x > 0.5f ? x : 0.5f;
}

// Signed curl at cell k (half the central differences, in cell units).
float curlAt(const Vec2* v, int k, int s)
{
    return 0.5f * (v[k + s].x - v[k - s].x - (v[k + 1].y - v[k - 1].y));
}

// Ghosts copy their source cell: the nearest interior cell, or the one at the
// opposite edge when the axis wraps.
template <typename T> void copyGhosts(const Grid& g, T* f)
{
    for (int j = 1; j <= g.ny; ++j) {
        T* row = f + j * g.stride;
        row[0] = row[g.wrapX ? g.nx : 1];
        row[g.nx + 1] = row[g.wrapX ? 1 : g.nx];
    }
    T* top = f;
    T* bottom = f + (g.ny + 1) * g.stride;
    const T* topSource = f + (g.wrapY ? g.ny : 1) * g.stride;
    const T* bottomSource = f + (g.wrapY ? 1 : g.ny) * g.stride;
    for (int i = 1; i <= g.nx; ++i) {
        top[i] = topSource[i];
        bottom[i] = bottomSource[i];
    }
}

// Each corner becomes the average of its two neighbouring ghosts.
template <typename T> void averageCorners(const Grid& g, T* f)
{
    const int right = g.nx + 1;
    T* top = f;
    T* bottom = f + (g.ny + 1) * g.stride;
    top[0] = 0.5f * (top[1] + top[g.stride]);
    top[right] = 0.5f * (top[g.nx] + top[right + g.stride]);
    bottom[0] = 0.5f * (bottom[1] + bottom[-g.stride]);
    bottom[right] = 0.5f * (bottom[g.nx] + bottom[right - g.stride]);
}

// Finishes one row of a relaxation sweep: from the last cell to the first, each cell
// adds k times its right neighbour's new value, row[i] += k * row[i + 1]. Each new
// value waits for the one before it, so the cells go in groups of four, whose values
// all follow from the group's right neighbour r (row[i - m] = c_m + k^(m+1) * r, with c_m
// the same recurrence run within the group from 0): one multiply-add waits per group
// instead of four.
template <typename T> void addRightNeighbourShare(T* row, int n, float k)
{
    const float k2 = k * k;
    const float k3 = k2 * k;
    const float k4 = k2 * k2;
    T r = row[n + 1];
    int i = n;
    for (; i >= 4; i -= 4) {
        const T c0 = row[i];
        const T c1 = row[i - 1] + k * c0;
        const T c2 = row[i - 2] + k * c1;
        const T c3 = row[i - 3] + k * c2;
        row[i] = c0 + k * r;
        row[i - 1] = c1 + k2 * r;
        row[i - 2] = c2 + k3 * r;
        r = c3 + k4 * r;
        row[i - 3] = r;
    }
    for (; i >= 1; --i) {
        r = row[i] + k * r;
        row[i] = r;
    }
}

} // namespace

template <typename T> void addScaled(T* x, const T* s, float dt, int count)
{
    for (int k = 0; k < count; ++k) {
        x[k] = x[k] + dt * s[k];
    }
}

template <typename T> void setBorder(const Grid& g, T* f)
{
    copyGhosts(g, f);
    averageCorners(g, f);
}

void setVelocityBorder(const Grid& g, Vec2* v)
{
    copyGhosts(g, v);
    if (!g.wrapX) {
        for (int j = 1; j <= g.ny; ++j) {
            Vec2* row = v + j * g.stride;
            row[0].x = -row[0].x;
            row[g.nx + 1].x = -row[g.nx + 1].x;
        }
    }
    if (!g.wrapY) {
        Vec2* bottom = v + (g.ny + 1) * g.stride;
        for (int i = 1; i <= g.nx; ++i) {
            v[i].y = -v[i].y;
            bottom[i].y = -bottom[i].y;
        }
    }
    averageCorners(g, v);
}

template <typename T>
void diffuse(const Grid& g, T* x, const T* x0, float a, int iterations, void (*border)(const Grid&, T*))
{
    // Each cell becomes invC * (a * (left + right + up + down) + source). Within a row
    // only the right neighbour is already new, so that sum is split: first every cell
    // takes the part from its old left, the old row above, the new row below and the
    // source (independent cells, vectorisable), then the right neighbour's share runs
    // along the row.
    const float invC = 1.0f / (4.0f * a + 1.0f);
    const float rightShare = invC * a;
    for (int n = 0; n < iterations; ++n) {
        for (int j = g.ny; j >= 1; --j) {
            T* row = x + j * g.stride;
            const T* up = row - g.stride;
            const T* down = row + g.stride;
            const T* source = x0 + j * g.stride;
            for (int i = g.nx; i >= 1; --i) {
                row[i] = invC * (a * (row[i - 1] + up[i] + down[i]) + source[i]);
            }
            addRightNeighbourShare(row, g.nx, rightShare);
        }
        border(g, x);
    }
}

template <typename T> void advect(const Grid& g, T* r, const T* q, const Vec2* w, float dt)
{
    const float dx = dt * static_cast<float>(g.nx);
    const float dy = dt * static_cast<float>(g.ny);
    for (int j = g.ny; j >= 1; --j) {
        for (int i = g.nx; i >= 1; --i) {
            const int k = i + j * g.stride;
            const float x = samplePosition(static_cast<float>(i) - dx * w[k].x, g.nx, g.wrapX);
            const float y = samplePosition(static_cast<float>(j) - dy * w[k].y, g.ny, g.wrapY);
            const int i0 = static_cast<int>(x);
            const int j0 = static_cast<int>(y);
            const float s = x - static_cast<float>(i0);
            const float t = y - static_cast<float>(j0);
            const T* q0 = q + i0 + j0 * g.stride;
            const T* q1 = q0 + g.stride;
            r[k] = (1.0f - s) * ((1.0f - t) * q0[0] + t * q1[0]) + s * ((1.0f - t) * q0[1] + t * q1[1]);
        }
    }
}

void project(const Grid& g, Vec2* v, float* pressure, float* divergence, int iterations)
{
    // The pressure solves nx² d²P/di² + ny² d²P/dj² = div (cell units, central
    // differences), divided through by nx²: with r = ny / nx,
    //   2 (1 + r²) P = left + right + r² (up + down) + D,  D = -div / nx².
    // On a square grid the weights are all 1/4 and hx = hy.
    const int s = g.stride;
    const float ratio = static_cast<float>(g.ny) / static_cast<float>(g.nx);
    const float hx = -0.5f / static_cast<float>(g.nx);
    const float hy = hx * ratio;
    const float wx = 0.5f / (1.0f + ratio * ratio);
    const float wy = wx * ratio * ratio;
    for (int j = g.ny; j >= 1; --j) {
        for (int i = g.nx; i >= 1; --i) {
            const int k = i + j * s;
            divergence[k] = hx * (v[k + 1].x - v[k - 1].x) + hy * (v[k + s].y - v[k - s].y);
        }
    }
    setBorder(g, divergence);
    setBorder(g, pressure);
    for (int n = 0; n < iterations; ++n) {
        for (int j = g.ny; j >= 1; --j) {
            float* row = pressure + j * s;
            const float* up = row - s;
            const float* down = row + s;
            const float* d = divergence + j * s;
            // As in diffuse: the independent part first, then the right neighbour's.
            for (int i = g.nx; i >= 1; --i) {
                row[i] = wx * (row[i - 1] + d[i]) + wy * (up[i] + down[i]);
            }
            addRightNeighbourShare(row, g.nx, wx);
        }
        setBorder(g, pressure);
    }
    const float gx = 0.5f * static_cast<float>(g.nx);
    const float gy = 0.5f * static_cast<float>(g.ny);
    for (int j = g.ny; j >= 1; --j) {
        for (int i = g.nx; i >= 1; --i) {
            const int k = i + j * s;
            v[k].x -= gx * (pressure[k + 1] - pressure[k - 1]);
            v[k].y -= gy * (pressure[k + s] - pressure[k - s]);
        }
    }
    setVelocityBorder(g, v);
}

void vorticityConfinement(const Grid& g, const Vec2* v, float* curl, Vec2* force, int count)
{
    const int s = g.stride;
    for (int j = g.ny; j >= 1; --j) {
        for (int i = g.nx; i >= 1; --i) {
            const int k = i + j * s;
            curl[k] = std::abs(curlAt(v, k, s));
        }
    }
    std::fill_n(force, count, Vec2{0.0f, 0.0f});
    // The force pushes along the curl's level lines, towards the vortex cores.
    for (int j = g.ny - 1; j >= 2; --j) {
        for (int i = g.nx - 1; i >= 2; --i) {
            const int k = i + j * s;
            const float gx = curl[k + 1] - curl[k - 1];
            const float gy = curl[k + s] - curl[k - s];
            const float scale = 2.0f / (std::sqrt(gx * gx + gy * gy) + 0.000001f);
            const float w = curlAt(v, k, s);
            force[k] = {-gy * scale * w, gx * scale * w};
        }
    }
}

template void addScaled<float>(float*, const float*, float, int);
template void setBorder<float>(const Grid&, float*);
template void diffuse<float>(const Grid&, float*, const float*, float, int, void (*)(const Grid&, float*));
template void advect<float>(const Grid&, float*, const float*, const Vec2*, float);
template void addScaled<Vec2>(Vec2*, const Vec2*, float, int);
template void setBorder<Vec2>(const Grid&, Vec2*);
template void diffuse<Vec2>(const Grid&, Vec2*, const Vec2*, float, int, void (*)(const Grid&, Vec2*));
template void advect<Vec2>(const Grid&, Vec2*, const Vec2*, const Vec2*, float);
template void addScaled<Rgb>(Rgb*, const Rgb*, float, int);
template void setBorder<Rgb>(const Grid&, Rgb*);
template void diffuse<Rgb>(const Grid&, Rgb*, const Rgb*, float, int, void (*)(const Grid&, Rgb*));
template void advect<Rgb>(const Grid&, Rgb*, const Rgb*, const Vec2*, float);

} // namespace nvq::fluid::steps
