// Gravity attraction: the inverse-square pull and its limits against closed
// forms, the box that wraps, particle 0 that nothing pulls, and black holes.
#include "demos/apps/gravity_attraction.h"
#include "platform/crt.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

class GravityAttractionTest : public ::testing::Test
{
protected:
    GravityAttractionTest()
    {
        canvasWidth = 480;
        canvasHeight = 480;
        crt::srand(5);
    }

    static ParticleVec3 Body(gaVec3f position, float mass)
    {
        ParticleVec3 body;
        body.position = position;
        body.mass = mass;
        return body;
    }
};

TEST_F(GravityAttractionTest, NewRecordSitsInTheCanvasBox)
{
    const ParticleVec3 p;
    EXPECT_EQ(p.mass, 0.5f);
    EXPECT_EQ(p.size, 4.0f);
    EXPECT_EQ(p.G, 1.0f);
    EXPECT_EQ(p.friction, 0.0f);
    EXPECT_EQ(p.lower.x, 0.0f);
    EXPECT_EQ(p.lower.y, 0.0f);
    EXPECT_EQ(p.lower.z, -480.0f);
    EXPECT_EQ(p.upper.x, 480.0f);
    EXPECT_EQ(p.upper.y, 480.0f);
    EXPECT_EQ(p.upper.z, 480.0f);
}

// The pull on P is S.mass x G / distance^2 toward S, whatever P's mass, with the
// distance counted as at least 2 and at most 800.
TEST_F(GravityAttractionTest, PullIsInverseSquareWithinItsLimits)
{
    struct Case
    {
        const char* what;
        gaVec3f offset; // S - P
        float massP, massS;
        double expected; // the pull's size
    };
    const Case cases[] = {
        {"10 apart", {6, 8, 0}, 1.5f, 100, 100.0 / 100},
        {"100 apart in depth", {0, 0, -100}, 2, 150, 150.0 / 10000},
        {"the mass of P cancels", {0, 30, 40}, 0.5f, 3, 3.0 / 2500},
        {"1 apart counts as 2", {1, 0, 0}, 1, 8, 8.0 / 4},
        {"exactly 2", {0, 2, 0}, 1, 8, 8.0 / 4},
        {"1000 apart counts as 800", {600, 800, 0}, 1, 6400, 6400.0 / 640000},
        {"coincident: no direction, no pull", {0, 0, 0}, 1, 100, 0},
        {"massless P: no pull", {10, 0, 0}, 0, 100, 0},
    };
    for (const Case& c : cases) {
        ParticleVec3 p = Body({100, 200, 50}, c.massP);
        const ParticleVec3 s = Body(p.position + c.offset, c.massS);
        p.attract(s);
        const double size = p.force.length();
        EXPECT_NEAR(size, c.expected, c.expected * 1e-5 + 1e-9) << c.what;
        if (c.expected > 0) { // along the offset
            const double along = (p.force.x * c.offset.x + p.force.y * c.offset.y + p.force.z * c.offset.z) /
                                 c.offset.length();
            EXPECT_NEAR(along, size, size * 1e-5) << c.what;
        }
        p.attract(s); // forces add up
        EXPECT_NEAR(p.force.length(), 2 * c.expected, c.expected * 1e-5 + 1e-9) << c.what;
    }
}

TEST_F(GravityAttractionTest, StepSpendsTheForceAndWrapsAroundTheBox)
{
    struct Case
    {
        const char* what;
        gaVec3f position, velocity;
        gaVec3f expected;
    };
    const Case cases[] = {
        {"inside", {100, 100, 0}, {3, -4, 5}, {103, 96, 5}},
        {"out at the right: back at x = 0", {479, 100, 0}, {2, 0, 0}, {0, 100, 0}},
        {"out at the left: back at the right", {1, 100, 0}, {-2, 0, 0}, {480, 100, 0}},
        {"out at the top: back at the bottom", {100, 1, 0}, {0, -2, 0}, {100, 480, 0}},
        {"out at the bottom: back at the top", {100, 479, 0}, {0, 2, 0}, {100, 0, 0}},
        {"out in front: back behind", {100, 100, -479}, {0, 0, -2}, {100, 100, 480}},
        {"on the edge stays", {480, 0, 480}, {0, 0, 0}, {480, 0, 480}},
    };
    for (const Case& c : cases) {
        ParticleVec3 p;
        p.position = c.position;
        p.velocity = c.velocity;
        p.update();
        EXPECT_EQ(p.position.x, c.expected.x) << c.what;
        EXPECT_EQ(p.position.y, c.expected.y) << c.what;
        EXPECT_EQ(p.position.z, c.expected.z) << c.what;
    }

    ParticleVec3 p; // friction 0.02 of the velocity and force, each step
    p.friction = 0.02f;
    p.velocity = {1, 0, 0};
    p.force = {0, 0.5f, 0};
    p.acceleration = {0, 0, 0.25f};
    p.update();
    EXPECT_FLOAT_EQ(p.velocity.x, 0.98f);
    EXPECT_FLOAT_EQ(p.velocity.y, 0.49f);
    EXPECT_FLOAT_EQ(p.velocity.z, 0.245f);
    EXPECT_EQ(p.force.length(), 0.0f);
}

TEST_F(GravityAttractionTest, ParticleZeroNeverMovesWithoutBlackHoles)
{
    gaGravityAttraction app;
    app.setup();
    ASSERT_EQ(app.particles().size(), 1000u);
    const gaVec3f start = app.particles()[0].position;
    const gaVec3f second = app.particles()[1].position;
    for (const ParticleVec3& p : app.particles()) {
        EXPECT_TRUE(p.mass >= 1 && p.mass < 2);
        EXPECT_TRUE(p.position.z >= 0 && p.position.z < 240);
        EXPECT_EQ(p.friction, 0.02f);
        EXPECT_EQ(p.size, 0.5f);
    }
    for (int frame = 0; frame < 20; ++frame)
        app.draw();
    EXPECT_EQ(app.particles()[0].position.x, start.x);
    EXPECT_EQ(app.particles()[0].position.y, start.y);
    EXPECT_EQ(app.particles()[0].position.z, start.z);
    EXPECT_NE(app.particles()[1].position.x, second.x); // the others are pulled
}

TEST_F(GravityAttractionTest, BlackHolesStayWherePlacedAndPullEveryParticle)
{
    gaGravityAttraction app;
    app.setup();
    app.mouseReleased(300, 120, 0);
    ASSERT_EQ(app.blackHoles().size(), 1u);
    const ParticleVec3 hole = app.blackHoles()[0];
    EXPECT_EQ(hole.position.x, 300.0f);
    EXPECT_EQ(hole.position.y, 120.0f);
    EXPECT_TRUE(hole.position.z >= 0 && hole.position.z < 240);
    EXPECT_TRUE(hole.mass >= 100 && hole.mass < 200);
    EXPECT_EQ(hole.friction, 1.0f);
    EXPECT_NEAR(2 * hole.size * 150, 6.0f, 1e-5); // a hole of mass 150 is a 6-pixel disc

    // One particle 100 to the left of the hole: only the hole pulls it, in the
    // second step of the frame: 150 / 100^2, less friction.
    ParticleVec3 p = app.particles()[0];
    p.position = {200, 120, hole.position.z};
    app.particles().assign(1, p);
    app.draw();
    const float pull = hole.mass / 10000;
    EXPECT_NEAR(app.particles()[0].velocity.x, pull * 0.98f, 1e-7);
    EXPECT_NEAR(app.particles()[0].position.x, 200 + pull * 0.98f, 1e-4);
    EXPECT_EQ(app.blackHoles()[0].position.x, 300.0f);

    app.mouseReleased(10, 10, 2);
    EXPECT_EQ(app.blackHoles().size(), 2u);
    app.keyPressed('x');
    EXPECT_EQ(app.blackHoles().size(), 2u);
    app.keyPressed('c');
    EXPECT_TRUE(app.blackHoles().empty());
}

} // namespace
