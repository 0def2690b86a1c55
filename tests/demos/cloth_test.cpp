// The hanging cloth against the statics of a chain of springs, its pinned top
// row, and cuts against hand-counted springs of the 20-pixel grid.
#include "demos/apps/cloth.h"

#include <QPoint>
#include <cmath>
#include <gtest/gtest.h>
#include <optional>
#include <vector>

namespace {

constexpr int kColumns = 24;
constexpr int kRows = 24;
constexpr std::size_t kSprings = 1104; // 24 x 23 across plus 24 x 23 down

class ClothTest : public ::testing::Test
{
protected:
    ClothTest()
    {
        canvasWidth = 480;
        canvasHeight = 480;
        cloth.setup();
    }

    const gaCloth::Node& Node(int i, int j) const
    {
        return cloth.nodes()[static_cast<std::size_t>(i * cloth.rows() + j)];
    }

    void Frames(int count)
    {
        for (int i = 0; i < count; ++i)
            cloth.update();
    }

    gaCloth cloth;
};

TEST_F(ClothTest, GridOfNodesAndSprings)
{
    EXPECT_EQ(cloth.columns(), kColumns);
    EXPECT_EQ(cloth.rows(), kRows);
    ASSERT_EQ(cloth.nodes().size(), std::size_t(kColumns * kRows));
    EXPECT_EQ(cloth.springs().size(), kSprings);
    for (int i = 0; i < kColumns; ++i)
        for (int j = 0; j < kRows; ++j) {
            EXPECT_EQ(Node(i, j).x, 20.0f * i);
            EXPECT_EQ(Node(i, j).y, 20.0f * j);
            EXPECT_EQ(Node(i, j).fixed, j == 0);
        }
    for (const gaCloth::Spring& spring : cloth.springs())
        EXPECT_EQ(spring.rest, 20.0f);
}

// Left to hang, every column settles as a chain of springs holding the nodes
// below it: the spring above row j carries 24 - j nodes, each of weight 0.1, so
// it stretches by (24 - j) x 0.1 / 0.28. The springs across stay at rest.
TEST_F(ClothTest, HangingClothSettlesToTheStaticsOfASpringChain)
{
    Frames(1000);
    constexpr double weight = 0.1;
    constexpr double stiffness = 0.28;
    for (int i = 0; i < kColumns; ++i) {
        for (int j = 1; j < kRows; ++j) {
            const double stretch = (kRows - j) * weight / stiffness;
            EXPECT_NEAR(Node(i, j).y - Node(i, j - 1).y, 20.0 + stretch, 0.01)
                << "column " << i << " row " << j;
            EXPECT_NEAR(Node(i, j).x, 20.0 * i, 1e-4);
            EXPECT_NEAR(std::abs(Node(i, j).vy), 0.0, 1e-3);
        }
        // The whole column: 23 springs of 20 plus 0.1 / 0.28 x (1 + 2 + ... + 23).
        EXPECT_NEAR(Node(i, kRows - 1).y - Node(i, 0).y, 460.0 + weight / stiffness * 276, 0.05);
    }
}

TEST_F(ClothTest, TopRowStaysWhereverTheNodesAreDragged)
{
    cloth.mousePressed(100, 0, 0); // on a pinned node: nothing to drag
    EXPECT_FALSE(cloth.draggedNode());
    cloth.mouseDragged(100, 300, 0);
    cloth.mouseReleased(100, 300, 0);

    // Drags of free nodes, hard up through the top row and sideways, between frames.
    for (int round = 0; round < 50; ++round) {
        const int i = 1 + round % 22;
        const gaCloth::Node& grabbed = Node(i, 1);
        cloth.mousePressed(static_cast<int>(grabbed.x), static_cast<int>(grabbed.y), 0);
        ASSERT_TRUE(cloth.draggedNode()) << "round " << round;
        for (int step = 0; step < 10; ++step) {
            cloth.mouseDragged(20 * i + 13 * step, -40 * step, 0);
            Frames(2);
        }
        cloth.mouseReleased(0, 0, 0);
        EXPECT_FALSE(cloth.draggedNode());
        Frames(16);
    }
    for (int i = 0; i < kColumns; ++i) {
        EXPECT_EQ(Node(i, 0).x, 20.0f * i);
        EXPECT_EQ(Node(i, 0).y, 0.0f);
    }
}

// A drag goes on reaching the demo when the pointer leaves the canvas (the
// canvas keeps the mouse while its button is down): the node stops at the
// canvas's edge nearest the pointer, and moves the pointer makes further out
// give it no speed.
TEST_F(ClothTest, NodesDraggedOutOfTheCanvasStopAtItsEdge)
{
    struct Case
    {
        QPoint pointer;
        float x, y;     // where the node stops
        QPoint further; // a move further out
    };
    const Case cases[] = {
        {{-50, 200}, 0, 200, {-90, 200}},  {{700, 200}, 479, 200, {800, 200}},
        {{300, -80}, 300, 0, {300, -200}}, {{300, 900}, 300, 479, {300, 1000}},
        {{-10, 600}, 0, 479, {-60, 700}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.pointer.x() << ", " << c.pointer.y());
        gaCloth fresh;
        fresh.setup();
        fresh.mousePressed(240, 100, 0); // node (12, 5)
        ASSERT_EQ(fresh.draggedNode(), std::optional<std::size_t>(12 * kRows + 5));
        const gaCloth::Node& node = fresh.nodes()[*fresh.draggedNode()];
        fresh.mouseDragged(c.pointer.x(), c.pointer.y(), 0);
        EXPECT_EQ(node.x, c.x);
        EXPECT_EQ(node.y, c.y);
        EXPECT_EQ(node.vx, (c.x - 240) * 0.5f);
        EXPECT_EQ(node.vy, (c.y - 100) * 0.5f);
        fresh.mouseDragged(c.further.x(), c.further.y(), 0);
        EXPECT_EQ(node.x, c.x);
        EXPECT_EQ(node.y, c.y);
        EXPECT_EQ(node.vx, 0.0f);
        EXPECT_EQ(node.vy, 0.0f);
    }
}

// A press in cut mode removes every spring with an end less than 20 pixels from
// it, whether or not it picked a node; counted by hand on the grid (the cut
// comes after the frame's step, which moves the free nodes down by 0.095).
TEST_F(ClothTest, CutRemovesTheSpringsOfTheNodesNearThePress)
{
    struct Case
    {
        int x, y;
        std::size_t removed;
        const char* what;
    };
    const Case cases[] = {
        {100, 0, 3, "on a pinned node: across both ways and down"},
        {0, 0, 2, "on the pinned corner: across and down"},
        {200, 210, 7, "between two nodes of a column: their eight springs less the one they share"},
        {210, 200, 7, "between two nodes of a row"},
        {210, 210, 12, "in a cell: the four corners' springs, the cell's sides once"},
        {470, 470, 2, "beyond the last node: its two springs"},
        {700, 700, 0, "off the cloth"},
    };
    cloth.keyPressed('x');
    ASSERT_TRUE(cloth.cutMode());
    for (const Case& c : cases) {
        cloth.keyPressed('r');
        ASSERT_EQ(cloth.springs().size(), kSprings);
        cloth.mousePressed(c.x, c.y, 0);
        cloth.mouseReleased(c.x, c.y, 0);
        cloth.update();
        EXPECT_EQ(kSprings - cloth.springs().size(), c.removed) << c.what;
        cloth.update(); // one cut per press
        EXPECT_EQ(kSprings - cloth.springs().size(), c.removed) << c.what;
    }
    cloth.keyPressed('R');
    EXPECT_EQ(cloth.springs().size(), kSprings);
    EXPECT_TRUE(cloth.cutMode()); // a reset keeps the mode

    cloth.keyPressed('X');
    cloth.mousePressed(200, 200, 0); // out of cut mode a press only drags
    cloth.update();
    EXPECT_EQ(cloth.springs().size(), kSprings);
}

TEST_F(ClothTest, CutClothTearsAndFallsAndResetRestoresIt)
{
    cloth.keyPressed('x');
    for (int x = 0; x < 480; x += 10) { // a cut right across below the top row
        cloth.mousePressed(x, 40, 0);
        cloth.update();
    }
    Frames(300);
    EXPECT_GT(Node(12, kRows - 1).y, 1000.0f); // nothing holds the rest
    cloth.keyPressed('r');
    EXPECT_EQ(cloth.springs().size(), kSprings);
    EXPECT_EQ(Node(12, kRows - 1).y, 460.0f);
    EXPECT_FALSE(cloth.draggedNode());
}

} // namespace
