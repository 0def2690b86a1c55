// Quaternions against rotations built independently (Rodrigues' formula in
// double precision): the matrix, composition and round trips.
#include "effects/geometry/quaternion.h"

#include <array>
#include <cmath>
#include <gtest/gtest.h>
#include <numbers>

namespace {

using Vec3 = std::array<double, 3>;

// The rotation of v by angle about the unit axis k: v cos + (k x v) sin + k (k.v)(1 - cos).
Vec3 Rodrigues(const Vec3& axis, double angle, const Vec3& v)
{
    const double len = std::sqrt(axis[0] * axis[0] + axis[1] * axis[1] + axis[2] * axis[2]);
    const Vec3 k{axis[0] / len, axis[1] / len, axis[2] / len};
    const double c = std::cos(angle), s = std::sin(angle);
    const double dot = k[0] * v[0] + k[1] * v[1] + k[2] * v[2];
    const Vec3 cross{k[1] * v[2] - k[2] * v[1], k[2] * v[0] - k[0] * v[2], k[0] * v[1] - k[1] * v[0]};
    Vec3 r{};
    for (int i = 0; i < 3; ++i)
        r[i] = v[i] * c + cross[i] * s + k[i] * dot * (1.0 - c);
    return r;
}

// The column-major matrix applied to v (as OpenGL does).
Vec3 Apply(const gg::GgMatrix& m, const Vec3& v)
{
    Vec3 r{};
    for (int row = 0; row < 3; ++row)
        r[row] = m[0 * 4 + row] * v[0] + m[1 * 4 + row] * v[1] + m[2 * 4 + row] * v[2];
    return r;
}

void ExpectNear(const Vec3& actual, const Vec3& expected, double tolerance = 1e-5)
{
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(actual[i], expected[i], tolerance) << "component " << i;
}

struct AxisAngle
{
    Vec3 axis;
    double angle;
};

// Unit and non-unit axes, small, right, straight and reflex angles.
const AxisAngle kRotations[] = {
    {{0, 1, 0}, std::numbers::pi / 2},
    {{1, 0, 0}, 0.3},
    {{0, 0, 5}, -1.2},
    {{1, 2, 3}, 2.5},
    {{-0.5, 0.25, 4}, 4.0},
    {{3, -1, 0.5}, std::numbers::pi},
};

gg::GgQuaternion FromAxisAngle(const AxisAngle& r)
{
    gg::GgQuaternion q;
    q.SetAxisAngle(static_cast<float>(r.axis[0]), static_cast<float>(r.axis[1]),
                   static_cast<float>(r.axis[2]), static_cast<float>(r.angle));
    return q;
}

} // namespace

TEST(GgQuaternionTest, MatrixRotatesLikeRodrigues)
{
    const Vec3 probes[] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {0.3, -2, 1.5}};
    for (const AxisAngle& r : kRotations) {
        const gg::GgQuaternion q = FromAxisAngle(r);
        EXPECT_NEAR(q.Norm(), 1.0f, 1e-6f);
        gg::GgMatrix m{};
        q.ToMatrix(m);
        for (const Vec3& v : probes)
            ExpectNear(Apply(m, v), Rodrigues(r.axis, r.angle, v));
        // No translation, no projection.
        for (int i : {3, 7, 11, 12, 13, 14})
            EXPECT_EQ(m[i], 0.0f);
        EXPECT_EQ(m[15], 1.0f);
    }
}

TEST(GgQuaternionTest, DefaultIsIdentity)
{
    gg::GgMatrix m{};
    gg::GgQuaternion().ToMatrix(m);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(m[i], i % 5 == 0 ? 1.0f : 0.0f) << i;
}

TEST(GgQuaternionTest, ProductComposesRotationsAndRoundTrips)
{
    for (const AxisAngle& first : kRotations) {
        for (const AxisAngle& second : kRotations) {
            // second * first: first rotation, then the second.
            gg::GgMatrix m{};
            (FromAxisAngle(second) * FromAxisAngle(first)).ToMatrix(m);
            const Vec3 v{0.7, -0.4, 1.1};
            ExpectNear(Apply(m, v),
                       Rodrigues(second.axis, second.angle, Rodrigues(first.axis, first.angle, v)));
        }
        // There and back: a rotation followed by its inverse is no rotation.
        const AxisAngle back{first.axis, -first.angle};
        const gg::GgQuaternion identity = FromAxisAngle(back) * FromAxisAngle(first);
        EXPECT_NEAR(std::abs(identity.w), 1.0f, 1e-6f);
        EXPECT_NEAR(identity.x, 0.0f, 1e-6f);
        EXPECT_NEAR(identity.y, 0.0f, 1e-6f);
        EXPECT_NEAR(identity.z, 0.0f, 1e-6f);
        // Two halves about one axis make the whole turn.
        const AxisAngle half{first.axis, first.angle / 2};
        const gg::GgQuaternion whole = FromAxisAngle(half) * FromAxisAngle(half);
        const gg::GgQuaternion direct = FromAxisAngle(first);
        EXPECT_NEAR(whole.x, direct.x, 1e-6f);
        EXPECT_NEAR(whole.y, direct.y, 1e-6f);
        EXPECT_NEAR(whole.z, direct.z, 1e-6f);
        EXPECT_NEAR(whole.w, direct.w, 1e-6f);
    }
}
