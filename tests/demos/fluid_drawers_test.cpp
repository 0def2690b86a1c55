// The fluid drawers read back from the canvas on small grids: the byte rule of
// the three buffer views, their row and column order stretched over a
// rectangle, the vectors view's segments, and what draws nothing.
#include "demos/fluid_drawers.h"
#include "tests/demos/canvas_fixture.h"

#include <functional>

namespace {

using lmd::test::CanvasTest;
using lmd::test::InkBox;
using nvq::fluid::DrawerBase;
using nvq::fluid::DrawerGl;
using nvq::fluid::Solver;

class FluidDrawerTest : public CanvasTest
{
protected:
    void Grid(int cellsX, int cellsY, bool rgb = true)
    {
        solver.doRGB = rgb;
        solver.setup(cellsX, cellsY);
        drawer.setup(&solver);
    }

    Solver solver;
    DrawerGl drawer;
};

struct ViewCase
{
    const char* name;
    int mode;
    int cellsX;
    bool rgb;
    bool invert;
    float brightness;
    std::function<void(Solver&, int cell)> fill; // the first cell's state
    QRgb expected;
};

TEST_F(FluidDrawerTest, BufferViewsTurnValuesIntoBytes)
{
    const ViewCase cases[] = {
        {"colour", DrawerBase::kColor, 3, true, false, 1,
         [](Solver& s, int k) {
             s.color[k] = {0.5f, 2.0f, -0.5f};
         },
         qRgb(127, 255, 129)}, // -127 wraps to its low byte
        {"colour inverted", DrawerBase::kColor, 3, true, true, 1,
         [](Solver& s, int k) {
             s.color[k] = {0.5f, 2.0f, 0.0f};
         },
         qRgb(128, 0, 255)},
        {"colour at half brightness", DrawerBase::kColor, 3, true, false, 0.5f,
         [](Solver& s, int k) {
             s.color[k] = {1.0f, 0.2f, 0.0f};
         },
         qRgb(127, 25, 0)},
        {"density as grey", DrawerBase::kColor, 3, false, false, 1,
         [](Solver& s, int k) { s.density[k] = 0.25f; }, qRgb(63, 63, 63)},
        {"motion on a 150-cell grid", DrawerBase::kMotion, 150, true, false, 1,
         [](Solver& s, int k) {
             s.velocity[k] = {0.01f, -0.001f};
         },
         qRgb(255, 38, 0)},
        {"speed", DrawerBase::kSpeed, 150, true, false, 1,
         [](Solver& s, int k) {
             s.velocity[k] = {0.001f, -0.001f};
         },
         qRgb(77, 77, 77)}, // (0.001 × 152 + 0.001 × 152) × 255
    };
    for (const ViewCase& c : cases) {
        SCOPED_TRACE(c.name);
        Grid(c.cellsX, c.cellsX, c.rgb); // square
        drawer.mode = c.mode;
        drawer.invert = c.invert;
        drawer.brightness = c.brightness;
        c.fill(solver, solver.cellIndex(1, 1));
        drawer.draw(5, 7, static_cast<float>(c.cellsX), static_cast<float>(c.cellsX)); // one pixel per cell
        EXPECT_EQ(canvas.pixel(5, 7), c.expected | 0xFF000000u);
        const std::vector<unsigned char>& pixels = drawer.getPixels();
        EXPECT_EQ(qRgb(pixels[0], pixels[1], pixels[2]), c.expected);
    }
}

TEST_F(FluidDrawerTest, RowsTopToBottomStretchedOverTheRectangle)
{
    Grid(3, 2);
    for (int j = 1; j <= 2; ++j)
        for (int i = 1; i <= 3; ++i)
            solver.color[solver.cellIndex(i, j)] = {i / 4.0f, j / 4.0f, 0.5f};
    drawer.draw(30, 40, 300, 200); // cells of 100 by 100 pixels
    EndFrame();
    for (int j = 1; j <= 2; ++j) {
        for (int i = 1; i <= 3; ++i) {
            SCOPED_TRACE(testing::Message() << "cell " << i << ", " << j);
            const QRgb centre = canvas.pixel(30 + 100 * i - 50, 40 + 100 * j - 50);
            EXPECT_EQ(qRed(centre), int(i / 4.0f * 255));
            EXPECT_EQ(qGreen(centre), int(j / 4.0f * 255));
            EXPECT_EQ(qBlue(centre), 127);
        }
    }
    EXPECT_EQ(InkBox(canvas), QRect(30, 40, 300, 200));
    EXPECT_EQ(drawer.getWidth(), 3);
    EXPECT_EQ(drawer.getHeight(), 2);
}

TEST_F(FluidDrawerTest, VectorsViewDrawsASegmentPerMovingCell)
{
    Grid(4, 4);
    drawer.mode = DrawerBase::kVectors;
    solver.velocity[solver.cellIndex(2, 3)] = {1e-4f, 0}; // short enough to keep its length
    drawer.draw(0, 0, 40, 40);                            // ten pixels per cell
    EndFrame();
    // From cell corner (1, 2) to (1 + 1e-4 × 50000, 2) in cells, a pen one cell
    // wide, in 0x7F7F7F7F over black.
    EXPECT_EQ(InkBox(canvas), QRect(10, 15, 50, 10));
    EXPECT_EQ(canvas.pixel(30, 20), qRgb(63, 63, 63));
    EXPECT_EQ(currentCore->drawColor, 0x7F7F7F7Fu);
    EXPECT_TRUE(currentCore->offsetStack.empty());
}

TEST_F(FluidDrawerTest, NothingDrawn)
{
    const struct
    {
        const char* name;
        std::function<void(Solver&, DrawerGl&)> change;
    } cases[] = {
        {"mode 4", [](Solver&, DrawerGl& d) { d.mode = 4; }},
        {"negative mode", [](Solver&, DrawerGl& d) { d.mode = -1; }},
        {"disabled", [](Solver&, DrawerGl& d) { d.enabled = false; }},
        {"grid changed without a new set-up", [](Solver& s, DrawerGl&) { s.setup(8, 8); }},
        {"vectors of a still fluid",
         [](Solver& s, DrawerGl& d) {
             d.mode = DrawerBase::kVectors;
             s.reset();
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        canvas.fill(Qt::black);
        Grid(4, 4);
        for (int k = 0; k < solver.numCells; ++k) {
            solver.color[k] = {1, 1, 1};
            solver.velocity[k] = {1e-4f, 1e-4f};
        }
        c.change(solver, drawer);
        drawer.draw(0, 0, 40, 40);
        EXPECT_TRUE(InkBox(canvas).isEmpty());
    }
}

TEST_F(FluidDrawerTest, SetupAgainFollowsTheNewGrid)
{
    Grid(4, 4);
    solver.setup(6, 5);
    drawer.setup(&solver);
    EXPECT_EQ(drawer.getWidth(), 6);
    EXPECT_EQ(drawer.getHeight(), 5);
    EXPECT_EQ(drawer.getPixels().size(), 6u * 5u * 3u);
    solver.color[solver.cellIndex(6, 5)] = {1, 1, 1};
    drawer.draw(0, 0, 6, 5);
    EXPECT_EQ(canvas.pixel(5, 4), 0xFFFFFFFFu);
    EXPECT_EQ(canvas.pixel(4, 4), 0xFF000000u);
}

} // namespace
