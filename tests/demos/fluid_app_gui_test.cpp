// The fluid demo driven through its mouse and key hooks: a path of moves
// leaves colour and particles along it, a drag only pushes, a still mouse does
// nothing, 'r' clears the fluid while the particles coast to a halt, the slots
// wrap, and the keys switch the views.
#include "demos/apps/fluid.h"
#include "platform/crt.h"
#include "tests/demos/app_runner.h"

#include <gtest/gtest.h>

namespace {

using lmd::test::AppRunner;
using nvq::fluid::DrawerBase;

class FluidAppTest : public ::testing::Test
{
protected:
    FluidAppTest()
    {
        crt::srand(5);
        fluid.Frame(); // the first update builds the 150-cell grid
    }

    nvq::fluid::Solver& Solver() { return fluid.app->getSolver(); }

    float RedAt(int x, int y) { return Solver().color[Solver().cellIndexAt(x / 480.0f, y / 480.0f)].r; }

    double TotalDye()
    {
        double sum = 0;
        for (int j = 1; j <= Solver().cellsY; ++j)
            for (int i = 1; i <= Solver().cellsX; ++i) {
                const nvq::fluid::Rgb& c = Solver().color[Solver().cellIndex(i, j)];
                sum += c.r + c.g + c.b;
            }
        return sum;
    }

    int LiveParticles() const
    {
        int live = 0;
        for (const FluidParticle& p : fluid.app->getParticles().particles)
            live += p.alpha > 0;
        return live;
    }

    AppRunner<gaAppFluid> fluid;
};

TEST_F(FluidAppTest, SetsUpA150CellGridAndItsDrawer)
{
    EXPECT_EQ(Solver().cellsX, 150);
    EXPECT_EQ(Solver().cellsY, 150);
    EXPECT_TRUE(Solver().doRGB);
    EXPECT_EQ(Solver().dt, 0.5f);
    EXPECT_EQ(fluid.app->getDrawer().getWidth(), 150);
    EXPECT_FALSE(fluid.app->core().autoBackground);
    EXPECT_EQ(fluid.app->core().frameRate, 60);
}

TEST_F(FluidAppTest, MovesLeaveColourAndParticlesAlongTheirPath)
{
    for (int x = 100; x <= 380; x += 10) {
        fluid.app->mouseMoved(x, 240);
        fluid.Frame();
    }
    for (int x = 120; x <= 360; x += 40)
        EXPECT_GT(RedAt(x, 240) + Solver().color[Solver().cellIndexAt(x / 480.0f, 0.5f)].g, 0.05f) << x;
    EXPECT_EQ(RedAt(60, 60), 0.0f);
    EXPECT_EQ(RedAt(400, 420), 0.0f);
    EXPECT_EQ(LiveParticles(), 29 * 10);
    const QRgb onPath = fluid.canvas.pixel(300, 240);
    EXPECT_GT(qRed(onPath) + qGreen(onPath) + qBlue(onPath), 60) << "colour shows on the canvas";
    EXPECT_EQ(fluid.canvas.pixel(400, 420) & 0xFFFFFF, 0u);
}

TEST_F(FluidAppTest, DragsPushWithoutColourAndAStillMouseDoesNothing)
{
    fluid.app->mouseDragged(240, 240, 0); // from the centre, where the mouse starts: no motion
    for (int k = 0; k < Solver().numCells; ++k)
        ASSERT_EQ(Solver().velocity[k].x, 0.0f);
    fluid.app->mouseDragged(260, 240, 0);
    fluid.app->mouseDragged(280, 240, 0);
    const nvq::fluid::Vec2 pushed = Solver().velocity[Solver().cellIndexAt(280 / 480.0f, 0.5f)];
    EXPECT_FLOAT_EQ(pushed.x, 20 / 480.0f * 50);
    EXPECT_EQ(pushed.y, 0);
    fluid.Frame();
    EXPECT_EQ(TotalDye(), 0);
    EXPECT_EQ(LiveParticles(), 0);
    EXPECT_EQ(fluid.app->getParticles().curIndex, 0);
}

TEST_F(FluidAppTest, ResetClearsTheFluidAndParticlesCoast)
{
    for (int x = 200; x <= 300; x += 5) {
        fluid.app->mouseMoved(x, x);
        fluid.Frame();
    }
    ASSERT_GT(TotalDye(), 1);
    fluid.Frames(5);
    const auto& particles = fluid.app->getParticles().particles;
    const auto moving = std::find_if(particles.begin(), particles.end(), [](const FluidParticle& p) {
        return p.alpha > 0 && std::abs(p.vx) > 0.01f;
    });
    ASSERT_NE(moving, particles.end());
    const float vx = moving->vx;
    fluid.app->keyPressed('r');
    EXPECT_EQ(TotalDye(), 0);
    for (int k = 0; k < Solver().numCells; ++k) {
        ASSERT_EQ(Solver().velocity[k].x, 0.0f);
        ASSERT_EQ(Solver().velocity[k].y, 0.0f);
    }
    fluid.Frame();
    EXPECT_FLOAT_EQ(moving->vx, vx * 0.5f);
    fluid.Frame();
    EXPECT_FLOAT_EQ(moving->vx, vx * 0.25f);
}

TEST_F(FluidAppTest, SlotsWrapAfterFiftyThousandParticles)
{
    for (int n = 0; n < 5001; ++n)
        fluid.app->mouseMoved(200 + n % 2, 200);
    EXPECT_EQ(fluid.app->getParticles().curIndex, 10);
    EXPECT_EQ(LiveParticles(), FluidParticles::kMaxParticles);
}

TEST_F(FluidAppTest, KeysSwitchViewsAndLayers)
{
    const struct
    {
        int key;
        int mode;
    } views[] = {{'x', DrawerBase::kMotion},
                 {'c', DrawerBase::kSpeed},
                 {'v', DrawerBase::kVectors},
                 {'z', DrawerBase::kColor},
                 {'q', DrawerBase::kColor}};
    for (const auto& v : views) {
        fluid.app->keyPressed(v.key);
        EXPECT_EQ(fluid.app->getDrawer().mode, v.mode) << char(v.key);
    }
    fluid.app->keyPressed('p');
    EXPECT_FALSE(fluid.app->drawsParticles());
    fluid.app->keyPressed('p');
    EXPECT_TRUE(fluid.app->drawsParticles());

    // With the fluid hidden the canvas is no longer cleared: what is there stays.
    fluid.canvas.setPixel(470, 470, 0xFFFFFFFF);
    fluid.Frame();
    EXPECT_EQ(fluid.canvas.pixel(470, 470), 0xFF000000u);
    fluid.app->keyPressed('d');
    EXPECT_FALSE(fluid.app->drawsFluid());
    fluid.canvas.setPixel(470, 470, 0xFFFFFFFF);
    fluid.Frame();
    EXPECT_EQ(fluid.canvas.pixel(470, 470), 0xFFFFFFFFu);
}

} // namespace
