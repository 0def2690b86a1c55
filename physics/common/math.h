// Value types of the physics engine: vectors, rotations, transforms, body motion
// over a step, boxes and the time step. Everything is single precision.
#pragma once

#include "physics/common/settings.h"

#include <cmath>
#include <cstdint>

struct phVector
{
    float x = 0.0f;
    float y = 0.0f;

    constexpr phVector() = default;
    constexpr phVector(float xIn, float yIn) : x(xIn), y(yIn) {}

    void SetZero() { x = y = 0.0f; }
    void Set(float xIn, float yIn)
    {
        x = xIn;
        y = yIn;
    }
    phVector operator-() const { return {-x, -y}; }
    void operator+=(const phVector& v)
    {
        x += v.x;
        y += v.y;
    }
    void operator-=(const phVector& v)
    {
        x -= v.x;
        y -= v.y;
    }
    void operator*=(float s)
    {
        x *= s;
        y *= s;
    }
    float Length() const { return std::sqrt(x * x + y * y); }
    float LengthSquared() const { return x * x + y * y; }
    bool IsValid() const { return std::isfinite(x) && std::isfinite(y); }

    // Scales the vector to unit length and returns its former length; a vector
    // shorter than epsilon is left as it is and 0 is returned.
    float Normalize()
    {
        const float length = Length();
        if (length < phEpsilon) {
            return 0.0f;
        }
        const float inv = 1.0f / length;
        x *= inv;
        y *= inv;
        return length;
    }
};

inline phVector operator+(const phVector& a, const phVector& b)
{
    return {a.x + b.x, a.y + b.y};
}
inline phVector operator-(const phVector& a, const phVector& b)
{
    return {a.x - b.x, a.y - b.y};
}
inline phVector operator*(float s, const phVector& v)
{
    return {s * v.x, s * v.y};
}
inline bool operator==(const phVector& a, const phVector& b)
{
    return a.x == b.x && a.y == b.y;
}

inline float phDot(const phVector& a, const phVector& b)
{
    return a.x * b.x + a.y * b.y;
}
inline float phCross(const phVector& a, const phVector& b)
{
    return a.x * b.y - a.y * b.x;
}
inline phVector phCross(const phVector& v, float s)
{
    return {s * v.y, -s * v.x};
}
inline phVector phCross(float s, const phVector& v)
{
    return {-s * v.y, s * v.x};
}
inline float phDistance(const phVector& a, const phVector& b)
{
    return (a - b).Length();
}
inline float phDistanceSquared(const phVector& a, const phVector& b)
{
    return (a - b).LengthSquared();
}
inline phVector phMin(const phVector& a, const phVector& b)
{
    return {a.x < b.x ? a.x : b.x, a.y < b.y ? a.y : b.y};
}
inline phVector phMax(const phVector& a, const phVector& b)
{
    return {a.x > b.x ? a.x : b.x, a.y > b.y ? a.y : b.y};
}
template <typename T> inline T phClamp(T v, T low, T high)
{
    return v < low ? low : (v > high ? high : v);
}

// A 2x2 matrix by columns, used by the contact block solver.
struct phMatrix22
{
    phVector ex;
    phVector ey;

    void SetZero()
    {
        ex.SetZero();
        ey.SetZero();
    }
    // The inverse, or the zero matrix when the determinant is 0.
    phMatrix22 Inverse() const
    {
        float det = ex.x * ey.y - ey.x * ex.y;
        if (det != 0.0f) {
            det = 1.0f / det;
        }
        phMatrix22 m;
        m.ex = {det * ey.y, -det * ex.y};
        m.ey = {-det * ey.x, det * ex.x};
        return m;
    }
};

inline phVector phMul(const phMatrix22& m, const phVector& v)
{
    return {m.ex.x * v.x + m.ey.x * v.y, m.ex.y * v.x + m.ey.y * v.y};
}

// Sine and cosine of an angle.
struct phRotation
{
    float s = 0.0f;
    float c = 1.0f;

    constexpr phRotation() = default;
    explicit phRotation(float angle) : s(std::sin(angle)), c(std::cos(angle)) {}

    void Set(float angle)
    {
        s = std::sin(angle);
        c = std::cos(angle);
    }
    void SetIdentity()
    {
        s = 0.0f;
        c = 1.0f;
    }
    float GetAngle() const { return std::atan2(s, c); }
};

inline phVector phMul(const phRotation& q, const phVector& v)
{
    return {q.c * v.x - q.s * v.y, q.s * v.x + q.c * v.y};
}
inline phVector phMulT(const phRotation& q, const phVector& v)
{
    return {q.c * v.x + q.s * v.y, -q.s * v.x + q.c * v.y};
}

struct phTransform
{
    phVector p;
    phRotation q;

    constexpr phTransform() = default;
    phTransform(const phVector& position, const phRotation& rotation) : p(position), q(rotation) {}
    void SetIdentity()
    {
        p.SetZero();
        q.SetIdentity();
    }
    void Set(const phVector& position, float angle)
    {
        p = position;
        q.Set(angle);
    }
};

// The rotation q^T r.
inline phRotation phMulT(const phRotation& q, const phRotation& r)
{
    phRotation qr;
    qr.s = q.c * r.s - q.s * r.c;
    qr.c = q.c * r.c + q.s * r.s;
    return qr;
}

inline phVector phMul(const phTransform& t, const phVector& v)
{
    return phMul(t.q, v) + t.p;
}
// The transform b expressed in a's frame.
inline phTransform phMulT(const phTransform& a, const phTransform& b)
{
    return phTransform(phMulT(a.q, b.p - a.p), phMulT(a.q, b.q));
}
inline phVector phMulT(const phTransform& t, const phVector& v)
{
    return phMulT(t.q, v - t.p);
}

// The motion of a body's centre of mass over one step, for continuous collision.
struct phBodyMotion
{
    phVector localCenter; // centre of mass in body coordinates
    phVector c0, c;       // world centre at alpha0 and at the end of the step
    float a0 = 0.0f;      // angle at alpha0
    float a = 0.0f;       // angle at the end of the step
    float alpha0 = 0.0f;  // fraction of the step at which c0 and a0 hold

    // The body's transform at the fraction beta between (c0, a0) and (c, a).
    phTransform GetTransform(float beta) const
    {
        phTransform xf;
        xf.p = (1.0f - beta) * c0 + beta * c;
        xf.q.Set((1.0f - beta) * a0 + beta * a);
        xf.p -= phMul(xf.q, localCenter);
        return xf;
    }
    // Moves the start of the motion forward to the step fraction alpha.
    void Advance(float alpha)
    {
        const float beta = (alpha - alpha0) / (1.0f - alpha0);
        c0 += beta * (c - c0);
        a0 += beta * (a - a0);
        alpha0 = alpha;
    }
    // Shifts both angles by whole turns so that a0 lies in [0, 2 pi).
    void Normalize()
    {
        constexpr float twoPi = 6.2831855f;
        const float d = twoPi * std::floor(a0 / twoPi);
        a0 -= d;
        a -= d;
    }
};

// An axis-aligned box.
struct phBounds
{
    phVector lower;
    phVector upper;

    phVector GetCenter() const { return 0.5f * (lower + upper); }
    phVector GetExtents() const { return 0.5f * (upper - lower); }
    float GetPerimeter() const { return 2.0f * ((upper.x - lower.x) + (upper.y - lower.y)); }
    void Combine(const phBounds& a, const phBounds& b)
    {
        lower = phMin(a.lower, b.lower);
        upper = phMax(a.upper, b.upper);
    }
    void Combine(const phBounds& b) { Combine(*this, b); }
    bool Contains(const phBounds& b) const
    {
        return lower.x <= b.lower.x && lower.y <= b.lower.y && b.upper.x <= upper.x && b.upper.y <= upper.y;
    }
};

inline phBounds phUnion(const phBounds& a, const phBounds& b)
{
    phBounds r;
    r.Combine(a, b);
    return r;
}

// Boxes that only touch overlap.
inline bool phTestOverlap(const phBounds& a, const phBounds& b)
{
    if (b.lower.x - a.upper.x > 0.0f || b.lower.y - a.upper.y > 0.0f) {
        return false;
    }
    if (a.lower.x - b.upper.x > 0.0f || a.lower.y - b.upper.y > 0.0f) {
        return false;
    }
    return true;
}

struct phTimeStep
{
    float dt = 0.0f;
    float inv_dt = 0.0f;
    float dtRatio = 0.0f;
    int32_t velocityIterations = 0;
    int32_t positionIterations = 0;
    int32_t particleIterations = 0;
    bool warmStarting = false;
};
