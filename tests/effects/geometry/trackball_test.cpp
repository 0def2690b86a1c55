// The trackball: drags turn the model about the screen axes, one window width
// per full turn, and successive drags add up.
#include "effects/geometry/trackball.h"

#include <array>
#include <cmath>
#include <gtest/gtest.h>

namespace {

constexpr int kWidth = 400;
constexpr int kHeight = 300;

// The expected matrix of a rotation about a coordinate axis (0 x, 1 y), column-major.
gg::GgMatrix AxisRotation(int axis, double degrees)
{
    const auto c = static_cast<float>(std::cos(degrees * M_PI / 180.0));
    const auto s = static_cast<float>(std::sin(degrees * M_PI / 180.0));
    if (axis == 1)
        return {c, 0, -s, 0, 0, 1, 0, 0, s, 0, c, 0, 0, 0, 0, 1};
    return {1, 0, 0, 0, 0, c, s, 0, 0, -s, c, 0, 0, 0, 0, 1};
}

void ExpectMatrix(const gg::GgMatrix& actual, const gg::GgMatrix& expected)
{
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(actual[i], expected[i], 1e-5f) << "element " << i;
}

gg::GgTrackball Ball()
{
    gg::GgTrackball ball;
    ball.Region(kWidth, kHeight);
    return ball;
}

} // namespace

TEST(GgTrackballTest, StartsWithIdentity)
{
    ExpectMatrix(Ball().GetMatrix(), AxisRotation(1, 0));
}

TEST(GgTrackballTest, QuarterDragsTurnNinetyDegrees)
{
    struct Case
    {
        int dx, dy;
        int axis;
        double degrees;
    };
    // Horizontal drags turn about the vertical axis, vertical ones about x;
    // the whole window is one full turn.
    const Case cases[] = {
        {kWidth / 4, 0, 1, 90},     {-kWidth / 4, 0, 1, -90}, {0, kHeight / 4, 0, 90},
        {0, -kHeight / 2, 0, -180}, {kWidth, 0, 1, 360},
    };
    for (const Case& c : cases) {
        gg::GgTrackball ball = Ball();
        ball.BeginDrag(100, 80);
        ball.Drag(100 + c.dx, 80 + c.dy);
        ExpectMatrix(ball.GetMatrix(), AxisRotation(c.axis, c.degrees));
    }
}

TEST(GgTrackballTest, DragAtThePressPointOrWithoutAPressChangesNothing)
{
    gg::GgTrackball ball = Ball();
    ball.Drag(250, 10); // no press yet
    ExpectMatrix(ball.GetMatrix(), AxisRotation(1, 0));
    ball.BeginDrag(50, 60);
    ball.Drag(50, 60);
    ExpectMatrix(ball.GetMatrix(), AxisRotation(1, 0));
    ball.EndDrag(50, 60);
    ExpectMatrix(ball.GetMatrix(), AxisRotation(1, 0));
    EXPECT_FALSE(ball.IsDragging());
    EXPECT_FLOAT_EQ(ball.GetQuaternion().w, 1.0f);
}

TEST(GgTrackballTest, FinishedDragsAccumulate)
{
    gg::GgTrackball ball = Ball();
    for (int k = 0; k < 2; ++k) {
        ball.BeginDrag(10, 10);
        ball.Drag(10 + kWidth / 8, 10); // half-way: the picture follows the pointer
        ball.EndDrag(10 + kWidth / 4, 10);
    }
    ExpectMatrix(ball.GetMatrix(), AxisRotation(1, 180));
    EXPECT_NEAR(ball.GetQuaternion().Norm(), 1.0f, 1e-6f);
    // The next drag starts from there: a quarter back leaves 90 degrees.
    ball.BeginDrag(200, 100);
    ball.Drag(200 - kWidth / 4, 100);
    ExpectMatrix(ball.GetMatrix(), AxisRotation(1, 90));
}
