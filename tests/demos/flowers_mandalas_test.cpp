// Flower mandalas: the petals' geometry and ranges after set-up, the common
// spin ratio when aligned, petals in phase, pause and a new mandala.
#include "demos/apps/flowers_mandalas.h"
#include "platform/crt.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numbers>
#include <set>

namespace {

class FlowersMandalasTest : public ::testing::Test
{
protected:
    FlowersMandalasTest()
    {
        canvasWidth = 480;
        canvasHeight = 480;
        crt::srand(17);
        app.setup();
    }

    std::set<int> Ratios() const
    {
        std::set<int> ratios;
        for (const gaFlowersMandalas::Petal& petal : app.petals())
            ratios.insert(petal.n);
        return ratios;
    }

    gaFlowersMandalas app;
};

TEST_F(FlowersMandalasTest, PetalsOrbitTheCentreInPhaseWithTheirPointsAtTheirRadii)
{
    for (int round = 0; round < 20; ++round) { // twenty new mandalas
        app.mousePressed(0, 0, 2);
        ASSERT_TRUE(app.petals().size() >= 4 && app.petals().size() <= 9);
        ASSERT_TRUE(app.symmetry() >= 3 && app.symmetry() <= 8);
        const float start = 2 * std::numbers::pi_v<float> / static_cast<float>(app.symmetry()) + 0.02f;
        for (const gaFlowersMandalas::Petal& petal : app.petals()) {
            EXPECT_FLOAT_EQ(petal.theta, start); // one step taken already
            EXPECT_EQ(petal.omega, 0.02f);
            EXPECT_TRUE(petal.R >= 320 && petal.R < 480);
            EXPECT_TRUE(petal.r >= 20 && petal.r < 192);
            EXPECT_TRUE(petal.n >= 6 && petal.n <= 12);
            for (const int channel : {petal.color.r, petal.color.g, petal.color.b})
                EXPECT_TRUE(channel >= 100 && channel <= 254);
            EXPECT_EQ(petal.color.a, 50);
            // p on the orbit at (R - r) / 2 from the centre at angle theta; q at
            // r / 2 from p, opposite the angle n theta.
            EXPECT_NEAR(petal.x0 - 240, (petal.R - petal.r) / 2 * std::cos(start), 1e-3);
            EXPECT_NEAR(petal.y0 - 240, (petal.R - petal.r) / 2 * std::sin(start), 1e-3);
            EXPECT_NEAR(petal.x1 - petal.x0, -petal.r / 2 * std::cos(static_cast<float>(petal.n) * start),
                        1e-3);
            EXPECT_NEAR(petal.y1 - petal.y0, -petal.r / 2 * std::sin(static_cast<float>(petal.n) * start),
                        1e-3);
        }
    }
    app.update();
    const float theta = app.petals().front().theta;
    for (const gaFlowersMandalas::Petal& petal : app.petals())
        EXPECT_EQ(petal.theta, theta); // still in phase
}

TEST_F(FlowersMandalasTest, AlignmentGivesEveryPetalOneRatio)
{
    std::set<int> mixed;
    for (int round = 0; round < 10; ++round) {
        app.keyPressed('t');
        ASSERT_TRUE(app.aligned());
        EXPECT_EQ(Ratios().size(), 1u);
        EXPECT_TRUE(*Ratios().begin() >= 6 && *Ratios().begin() <= 12);
        app.keyPressed('t');
        ASSERT_FALSE(app.aligned());
        mixed.merge(Ratios());
    }
    EXPECT_GT(mixed.size(), 3u); // each petal its own ratio
    app.keyPressed('x');
    EXPECT_FALSE(app.aligned());
}

TEST_F(FlowersMandalasTest, LeftClickPausesAndResumes)
{
    app.mousePressed(0, 0, 0);
    ASSERT_TRUE(app.paused());
    const float theta = app.petals().front().theta;
    app.update();
    EXPECT_EQ(app.petals().front().theta, theta);
    app.mousePressed(0, 0, 0);
    app.update();
    EXPECT_FLOAT_EQ(app.petals().front().theta, theta + 0.02f);
}

} // namespace
