#include "effects/geometry/quaternion.h"

#include <cmath>

namespace gg {

void GgQuaternion::SetAxisAngle(float ax, float ay, float az, float angle)
{
    const float lengthSquared = ax * ax + ay * ay + az * az;
    const float s = std::sin(angle * 0.5f) / std::sqrt(lengthSquared);
    x = s * ax;
    y = s * ay;
    z = s * az;
    w = std::cos(angle * 0.5f);
}

void GgQuaternion::ToMatrix(GgMatrix& m) const
{
    const float xx = x * x, yy = y * y, zz = z * z;
    const float xy = x * y, yz = y * z, zx = z * x;
    const float wx = w * x, wy = w * y, wz = w * z;
    m = {
        1.0f - 2.0f * (yy + zz),
        2.0f * (xy + wz),
        2.0f * (zx - wy),
        0.0f, //
        2.0f * (xy - wz),
        1.0f - 2.0f * (zz + xx),
        2.0f * (yz + wx),
        0.0f, //
        2.0f * (zx + wy),
        2.0f * (yz - wx),
        1.0f - 2.0f * (xx + yy),
        0.0f, //
        0.0f,
        0.0f,
        0.0f,
        1.0f, //
    };
}

float GgQuaternion::Norm() const
{
    return std::sqrt(x * x + y * y + z * z + w * w);
}

GgQuaternion GgQuaternion::operator*(const GgQuaternion& c) const
{
    return {
        w * c.x + x * c.w + y * c.z - z * c.y,
        w * c.y - x * c.z + y * c.w + z * c.x,
        w * c.z + x * c.y - y * c.x + z * c.w,
        w * c.w - x * c.x - y * c.y - z * c.z,
    };
}

} // namespace gg
