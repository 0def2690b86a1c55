// The Gravity Garden demo: boxes added by mouse releases swirl round the
// centre without leaving it, fading lines join near boxes, the glow of a box
// falls off with its distance from the centre, and 'c' clears the garden.
#include "demos/apps/instru.h"
#include "tests/demos/app_runner.h"
#include "tests/demos/canvas_fixture.h"

namespace {

using lmd::test::AppRunner;
using lmd::test::InkBox;

void Click(gaBaseApp& app, int x, int y, int button = 0)
{
    app.mouseX = x; // as the canvas stores the press
    app.mouseY = y;
    app.mousePressed(x, y, button);
    app.mouseReleased(x + 50, y + 50, button); // the box goes where the press was
}

TEST(GravityGardenTest, ClickedBoxesSwirlRoundTheCentre)
{
    AppRunner<gaAppInstru> garden;
    const QPoint clicks[] = {{140, 240}, {340, 240}, {240, 140}, {240, 340}, {180, 180}};
    for (const QPoint& p : clicks)
        Click(*garden.app, p.x(), p.y(), &p == &clicks[4] ? 2 : 0); // the right button adds one too
    ASSERT_EQ(garden.app->getBoxes().size(), 5u);
    EXPECT_FLOAT_EQ(garden.app->getBoxes()[4]->getPosition().x, 180);
    const gaVec2f centre = garden.app->getCentre().getPosition();
    EXPECT_FLOAT_EQ(centre.x, 240);
    EXPECT_FLOAT_EQ(centre.y, 240);
    float travelled = 0;
    for (int n = 0; n < 600; ++n) {
        const gaVec2f before = garden.app->getBoxes()[0]->getPosition();
        garden.Frame();
        travelled += (garden.app->getBoxes()[0]->getPosition() - before).length();
        for (const auto& box : garden.app->getBoxes())
            ASSERT_LT((box->getPosition() - centre).length(), 300) << "frame " << n;
    }
    EXPECT_GT(travelled, 200) << "the boxes keep moving";
    EXPECT_EQ(garden.app->getCentre().getPosition().x, 240); // static

    garden.app->keyPressed('x');
    EXPECT_EQ(garden.app->getBoxes().size(), 5u);
    garden.app->keyPressed('c');
    EXPECT_TRUE(garden.app->getBoxes().empty());
}

TEST(GravityGardenTest, LinesFadeWithTheDistanceBetweenBoxes)
{
    AppRunner<gaAppInstru> garden;
    Click(*garden.app, 115, 100);
    Click(*garden.app, 365, 100); // 250 pixels apart: alpha 300 - 250
    garden.Frame();
    EXPECT_EQ(garden.canvas.pixel(240, 100), qRgb(50, 50, 50));
    EXPECT_EQ(garden.canvas.pixel(240, 102), qRgb(0, 0, 0)); // one pixel wide

    // Closer than 45 pixels the integer passes 255 and wraps to its low byte.
    const struct
    {
        float distance;
        std::uint32_t alpha;
    } cases[] = {{250, 50}, {10, 34}, {0, 44}, {44.5f, 255}, {299.5f, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(gaAppInstru::lineAlpha(c.distance), c.alpha) << c.distance << " px";
}

TEST(GravityGardenTest, GlowFallsOffWithTheDistanceFromTheCentre)
{
    canvasWidth = canvasHeight = 480;
    gaxPhysics physics;
    physics.init(60, 0, 0);
    const struct
    {
        float x, y, glow;
    } cases[] = {{240, 240, 0.2f}, {440, 240, 0.1f}, {240, 640, 0.0f}, {700, 700, 0.0f}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << ", " << c.y);
        CustomRect box;
        box.setMaterial(10, 0.1f, 0.5f);
        box.setup(physics.getWorld(), c.x, c.y, 10, 10, 0);
        box.update();
        EXPECT_NEAR(box.glow, c.glow, 1e-6f);
        EXPECT_GE(box.size, 20);
        EXPECT_LE(box.size, 60);
        EXPECT_GE(box.speed, 0.5f);
        EXPECT_LT(box.speed, 2);
    }
}

TEST(GravityGardenTest, WithoutBoxesTheCentreGlowIsEightyPixels)
{
    AppRunner<gaAppInstru> garden;
    garden.Frames(3);
    const QRect glow = InkBox(garden.canvas.copy(0, 100, 480, 380)).translated(0, 100);
    EXPECT_FALSE(glow.isEmpty());
    EXPECT_TRUE(QRect(200, 200, 80, 80).contains(glow)) << glow;
    EXPECT_GE(glow.width(), 60);
}

} // namespace
