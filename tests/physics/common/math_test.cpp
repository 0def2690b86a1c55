#include "physics/common/math.h"

#include <gtest/gtest.h>
#include <random>

TEST(MathTest, NormalizeLeavesTinyVectorUnchanged)
{
    phVector v(1e-8f, 0.0f);
    EXPECT_EQ(v.Normalize(), 0.0f);
    EXPECT_EQ(v.x, 1e-8f);
    EXPECT_EQ(v.y, 0.0f);

    phVector w(3.0f, 4.0f);
    EXPECT_FLOAT_EQ(w.Normalize(), 5.0f);
    EXPECT_FLOAT_EQ(w.x, 0.6f);
    EXPECT_FLOAT_EQ(w.y, 0.8f);
}

TEST(MathTest, CrossProducts)
{
    const phVector a(2.0f, 3.0f);
    const phVector b(5.0f, 7.0f);
    EXPECT_EQ(phCross(a, b), 2.0f * 7.0f - 3.0f * 5.0f);
    EXPECT_EQ(phCross(a, 2.0f), phVector(6.0f, -4.0f));
    EXPECT_EQ(phCross(2.0f, a), phVector(-6.0f, 4.0f));
}

TEST(MathTest, RotationAndTransformRoundTrips)
{
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> angle(-10.0f, 10.0f);
    std::uniform_real_distribution<float> coord(-1.0f, 1.0f);
    for (int i = 0; i < 10000; ++i) {
        const phRotation q(angle(rng));
        const phVector v(coord(rng), coord(rng));
        const phVector back = phMulT(q, phMul(q, v));
        ASSERT_NEAR(back.x, v.x, 1e-6f);
        ASSERT_NEAR(back.y, v.y, 1e-6f);
        // Rotation keeps length.
        ASSERT_NEAR(phMul(q, v).Length(), v.Length(), 1e-6f);

        const phTransform xf(phVector(coord(rng), coord(rng)), q);
        const phVector backT = phMulT(xf, phMul(xf, v));
        ASSERT_NEAR(backT.x, v.x, 2e-6f);
        ASSERT_NEAR(backT.y, v.y, 2e-6f);
    }
}

TEST(MathTest, RotationMatchesAngle)
{
    const phRotation q(phPi / 2.0f);
    const phVector v = phMul(q, phVector(1.0f, 0.0f));
    EXPECT_NEAR(v.x, 0.0f, 1e-6f);
    EXPECT_NEAR(v.y, 1.0f, 1e-6f);
    EXPECT_NEAR(q.GetAngle(), phPi / 2.0f, 1e-6f);
}

TEST(MathTest, MotionAdvanceAndNormalize)
{
    phBodyMotion m;
    m.c0 = {0.0f, 0.0f};
    m.c = {4.0f, 2.0f};
    m.a0 = 0.0f;
    m.a = 1.0f;
    m.alpha0 = 0.0f;

    phBodyMotion same = m;
    same.Advance(0.0f);
    EXPECT_EQ(same.c0, m.c0);
    EXPECT_EQ(same.a0, m.a0);

    m.Advance(0.25f);
    EXPECT_FLOAT_EQ(m.c0.x, 1.0f);
    EXPECT_FLOAT_EQ(m.c0.y, 0.5f);
    EXPECT_FLOAT_EQ(m.a0, 0.25f);
    EXPECT_EQ(m.alpha0, 0.25f);
    // The transform at the end is unchanged by advancing.
    EXPECT_FLOAT_EQ(m.GetTransform(1.0f).p.x, 4.0f);

    phBodyMotion turns;
    turns.a0 = 7.0f;
    turns.a = 8.0f;
    turns.Normalize();
    EXPECT_FLOAT_EQ(turns.a0, 7.0f - 6.2831855f);
    EXPECT_FLOAT_EQ(turns.a, 8.0f - 6.2831855f);

    phBodyMotion negative;
    negative.a0 = -1.0f;
    negative.a = -1.0f;
    negative.Normalize();
    EXPECT_FLOAT_EQ(negative.a0, -1.0f + 6.2831855f);
}

TEST(MathTest, MotionTransformKeepsLocalCenter)
{
    phBodyMotion m;
    m.localCenter = {1.0f, 0.0f};
    m.c0 = m.c = {5.0f, 5.0f};
    m.a0 = m.a = phPi / 2.0f;
    const phTransform xf = m.GetTransform(0.5f);
    const phVector center = phMul(xf, m.localCenter);
    EXPECT_NEAR(center.x, 5.0f, 1e-6f);
    EXPECT_NEAR(center.y, 5.0f, 1e-6f);
}

TEST(MathTest, BoxOverlapUnionPerimeter)
{
    const phBounds a{{0.0f, 0.0f}, {1.0f, 1.0f}};
    const phBounds touching{{1.0f, 0.0f}, {2.0f, 1.0f}};
    const phBounds apart{{1.01f, 0.0f}, {2.0f, 1.0f}};
    const phBounds above{{0.0f, 1.5f}, {1.0f, 2.0f}};
    EXPECT_TRUE(phTestOverlap(a, touching));
    EXPECT_TRUE(phTestOverlap(touching, a));
    EXPECT_FALSE(phTestOverlap(a, apart));
    EXPECT_FALSE(phTestOverlap(above, a));

    const phBounds u = phUnion(a, above);
    EXPECT_EQ(u.lower, phVector(0.0f, 0.0f));
    EXPECT_EQ(u.upper, phVector(1.0f, 2.0f));
    EXPECT_FLOAT_EQ(u.GetPerimeter(), 6.0f);
    EXPECT_TRUE(u.Contains(a));
    EXPECT_FALSE(a.Contains(u));
}

TEST(MathTest, MatrixInverse)
{
    phMatrix22 m;
    m.ex = {4.0f, 2.0f};
    m.ey = {2.0f, 3.0f};
    const phVector b(1.0f, 2.0f);
    const phVector x = phMul(m.Inverse(), b);
    const phVector back = phMul(m, x);
    EXPECT_NEAR(back.x, b.x, 1e-6f);
    EXPECT_NEAR(back.y, b.y, 1e-6f);

    phMatrix22 singular;
    singular.ex = {1.0f, 2.0f};
    singular.ey = {2.0f, 4.0f};
    const phMatrix22 zero = singular.Inverse();
    EXPECT_EQ(zero.ex, phVector());
    EXPECT_EQ(zero.ey, phVector());
}
