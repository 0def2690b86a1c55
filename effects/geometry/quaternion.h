#pragma once
// gg: the small 3D helper library of the OpenGL code. Gg is the common base of
// its objects; GgQuaternion is a rotation as a unit quaternion with its 4 x 4
// rotation matrix in OpenGL's column-major order.
#include <array>

namespace gg {

class Gg
{
public:
    Gg() = default;
    Gg(const Gg&) = default;
    Gg& operator=(const Gg&) = default;
    virtual ~Gg() = default;
};

// A column-major 4 x 4 matrix: element (row, column) is m[column * 4 + row].
using GgMatrix = std::array<float, 16>;

class GgQuaternion : public Gg
{
public:
    GgQuaternion() = default;
    GgQuaternion(float qx, float qy, float qz, float qw) : x(qx), y(qy), z(qz), w(qw) {}

    // The rotation by angle (radians) about the axis (ax, ay, az), which need not
    // be of unit length but must not be zero.
    void SetAxisAngle(float ax, float ay, float az, float angle);

    // The rotation matrix of a unit quaternion.
    void ToMatrix(GgMatrix& m) const;

    // Square root of the sum of the four squares.
    float Norm() const;

    // The Hamilton product: the rotation q applied after this one is q * *this.
    GgQuaternion operator*(const GgQuaternion& q) const;

    // Vector part x, y, z and scalar part w; the identity rotation by default.
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float w = 1.0f;
};

} // namespace gg
