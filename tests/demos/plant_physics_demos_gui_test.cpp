// The cloth, mandala, circles, gravity and plant demos in the DEMO dialog on
// the test display, worked with real mouse input and key presses, each with a
// screenshot of the dialog (build/asan/screens/demos_<demo>.png).
#include "demos/apps/barnsley_fern.h"
#include "demos/apps/bouncy_circles.h"
#include "demos/apps/cloth.h"
#include "demos/apps/flowers_mandalas.h"
#include "demos/apps/gravity_attraction.h"
#include "demos/apps/lsystem_tree.h"
#include "demos/gax_dlg.h"
#include "demos/gax_static.h"
#include "tests/demos/demo_dialog_fixture.h"
#include "tests/support/screens.h"

#include <QComboBox>
#include <QTest>
#include <algorithm>
#include <memory>
#include <optional>

// Last: it brings Xlib, whose macros clash with Qt names.
#include "tests/app/clock_window_fixture.h"

namespace {

using namespace lmd::test;

// The demos' places in the dialog's list.
enum DemoIndex : int
{
    kLsystemTree = 2,
    kMandalas = 4,
    kFern = 9,
    kCloth = 10,
    kCircles = 11,
    kGravity = 12,
};

class PlantPhysicsDemosTest : public ::testing::Test
{
protected:
    void SetUp() override { dialog = OpenDemoDialog(); }

    // Chosen from the list, and run for a few frames.
    template <class App> App& Choose(int index)
    {
        dialog->DemoListBox()->setCurrentIndex(index);
        auto* const app = dynamic_cast<App*>(dialog->CurrentApp());
        EXPECT_NE(app, nullptr) << "entry " << index;
        EXPECT_TRUE(WaitForFrames(3));
        return *app;
    }

    bool WaitForFrames(int more) const { return lmd::test::WaitForFrames(*dialog, more); }

    // A point of the canvas's client area (inside its 2-pixel edge).
    QPoint At(int x, int y) const { return dialog->Canvas()->contentsRect().topLeft() + QPoint(x, y); }

    void Click(Qt::MouseButton button, int x, int y) const
    {
        QTest::mouseClick(dialog->Canvas(), button, {}, At(x, y));
    }

    void Screenshot(const char* demo) const
    {
        SaveScreen(GrabScreen().copy(dialog->frameGeometry()), QStringLiteral("demos_%1").arg(demo));
    }

    const QImage& Picture() const { return dialog->Canvas()->BackBuffer(); }

    MainWindowStub mainWindow;
    std::unique_ptr<CGaxDlg> dialog;
};

TEST_F(PlantPhysicsDemosTest, ClothIsDraggedCutAndReset)
{
    gaCloth& cloth = Choose<gaCloth>(kCloth);
    ASSERT_TRUE(WaitForFrames(30));
    const gaCloth::Node& node = cloth.nodes()[12 * 24 + 12];
    const int x = static_cast<int>(node.x);
    const int y = static_cast<int>(node.y);
    QTest::mousePress(dialog->Canvas(), Qt::LeftButton, {}, At(x, y));
    ASSERT_TRUE(cloth.draggedNode());
    for (int step = 1; step <= 10; ++step) {
        QTest::mouseMove(dialog->Canvas(), At(x + 8 * step, y + 4 * step));
        ASSERT_TRUE(WaitForFrames(1));
    }
    const gaCloth::Node& dragged = cloth.nodes()[*cloth.draggedNode()];
    EXPECT_EQ(Picture().pixel(static_cast<int>(dragged.x), static_cast<int>(dragged.y)), 0xFFFF0000u)
        << "the dragged node is red";
    Screenshot("cloth_dragged");
    QTest::mouseRelease(dialog->Canvas(), Qt::LeftButton, {}, At(x + 80, y + 40));
    EXPECT_FALSE(cloth.draggedNode());

    ASSERT_TRUE(Xdotool({"key", "x"}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return cloth.cutMode(); }));
    for (int cut = 0; cut < 480; cut += 15) { // one cut a frame
        Click(Qt::LeftButton, cut, 100);
        ASSERT_TRUE(WaitForFrames(1));
    }
    EXPECT_LT(cloth.springs().size(), 1104u - 24);
    ASSERT_TRUE(WaitForFrames(60));
    Screenshot("cloth_cut");

    ASSERT_TRUE(Xdotool({"key", "r"}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return cloth.springs().size() == 1104; }));
    EXPECT_TRUE(cloth.cutMode());
}

// Real pointer input, which the canvas keeps while its button is down: a node
// dragged out past the canvas's right edge stays on the canvas, at its edge,
// and is let go where the button comes up outside.
TEST_F(PlantPhysicsDemosTest, ClothNodeDraggedOutOfTheCanvasStaysOnIt)
{
    gaCloth& cloth = Choose<gaCloth>(kCloth);
    const std::size_t index = 12 * 24 + 1; // just below the pinned row: it hardly moves
    const gaCloth::Node& node = cloth.nodes()[index];
    const QPoint client = dialog->Canvas()->mapToGlobal(At(0, 0));
    const int y = static_cast<int>(node.y);
    const auto move = [&](int x) {
        return QStringList{QStringLiteral("mousemove"), QString::number(client.x() + x),
                           QString::number(client.y() + y)};
    };
    ASSERT_FALSE(dialog->frameGeometry().contains(client + QPoint(640, y)));
    ASSERT_TRUE(Xdotool(move(static_cast<int>(node.x)) +
                        QStringList{QStringLiteral("mousedown"), QStringLiteral("1")}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return cloth.draggedNode().has_value(); }));

    // Out to the right past the dialog, a move a frame as a hand goes (the
    // window system would merge moves made at once into the last); held out
    // there, the node stays at the edge, pulled back by its springs.
    float farthest = 0;
    const auto frames = [&](int count) {
        const int target = dialog->FrameCount() + count;
        return QTest::qWaitFor([&] {
            farthest = std::max(farthest, node.x);
            return dialog->FrameCount() >= target;
        });
    };
    for (const int x : {280, 320, 360, 400, 440, 470, 479, 560, 640}) {
        ASSERT_TRUE(Xdotool(move(x)));
        ASSERT_TRUE(frames(2));
    }
    ASSERT_TRUE(frames(10));
    ASSERT_EQ(cloth.draggedNode(), std::optional<std::size_t>(index));
    EXPECT_LE(farthest, 479.0f);
    EXPECT_GE(farthest, 470.0f);
    Screenshot("cloth_dragged_out");

    ASSERT_TRUE(Xdotool({"mouseup", "1"}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !cloth.draggedNode(); }));
    EXPECT_TRUE(WaitForFrames(3));
}

TEST_F(PlantPhysicsDemosTest, MandalaGrowsPausesAndStartsAnew)
{
    gaFlowersMandalas& mandala = Choose<gaFlowersMandalas>(kMandalas);
    ASSERT_TRUE(WaitForFrames(150));
    Screenshot("mandala");
    Click(Qt::LeftButton, 240, 240);
    EXPECT_TRUE(mandala.paused());
    ASSERT_TRUE(Xdotool({"key", "t"}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return mandala.aligned(); }));
    ASSERT_TRUE(WaitForFrames(2));
    EXPECT_EQ(Picture().pixel(240, 300), 0xFF190C03u); // cleared for the new one, still paused
    Click(Qt::LeftButton, 240, 240);
    EXPECT_FALSE(mandala.paused());
}

TEST_F(PlantPhysicsDemosTest, CirclesGatherAtAHeldPressAndBurstOnRelease)
{
    gaBouncyCircles& circles = Choose<gaBouncyCircles>(kCircles);
    ASSERT_TRUE(WaitForFrames(60));
    Screenshot("circles");
    QTest::mousePress(dialog->Canvas(), Qt::LeftButton, {}, At(120, 360));
    QTest::mouseMove(dialog->Canvas(), At(400, 40)); // the target stays at the press
    ASSERT_TRUE(WaitForFrames(60));
    EXPECT_NEAR(circles.circles().x[0], 120.0f, 0.5f);
    EXPECT_NEAR(circles.circles().y[0], 361.0f, 0.5f);
    Screenshot("circles_gathered");
    QTest::mouseRelease(dialog->Canvas(), Qt::LeftButton, {}, At(400, 40));
    EXPECT_FALSE(circles.attracting());
}

TEST_F(PlantPhysicsDemosTest, GravityGetsBlackHolesByClicksAndClearsThem)
{
    const gaGravityAttraction& gravity = Choose<gaGravityAttraction>(kGravity);
    Click(Qt::LeftButton, 160, 240);
    Click(Qt::RightButton, 330, 200);
    EXPECT_EQ(gravity.blackHoles().size(), 2u);
    ASSERT_TRUE(WaitForFrames(90));
    Screenshot("gravity");
    ASSERT_TRUE(Xdotool({"key", "c"}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return gravity.blackHoles().empty(); }, kPatienceMs));
}

TEST_F(PlantPhysicsDemosTest, TreeDrawsThreeTreesAndWaitsForALeftClick)
{
    const gaLsystemTree& tree = Choose<gaLsystemTree>(kLsystemTree);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !tree.core().running; }, 20000));
    EXPECT_EQ(tree.nextTree(), 3);
    const int frames = dialog->FrameCount();
    Screenshot("lsystem_tree");
    Click(Qt::RightButton, 240, 240);
    QTest::qWait(5 * CGaxDlg::kFrameMs);
    EXPECT_EQ(dialog->FrameCount(), frames); // stopped until a left click
    Click(Qt::LeftButton, 240, 240);
    ASSERT_TRUE(WaitForFrames(1));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !tree.core().running; }, 20000));
    Screenshot("lsystem_tree_again");
}

TEST_F(PlantPhysicsDemosTest, FernTakesItsParameterFromClicks)
{
    const gaBarnsleyFern2& fern = Choose<gaBarnsleyFern2>(kFern);
    Click(Qt::LeftButton, 240, 240);
    EXPECT_EQ(fern.branchLenThreshScale(), 3);
    ASSERT_TRUE(WaitForFrames(2));
    Screenshot("fern_3");
    for (int i = 0; i < 4; ++i)
        Click(Qt::RightButton, 240, 240);
    EXPECT_EQ(fern.branchLenThreshScale(), 0);
    ASSERT_TRUE(WaitForFrames(2));
    Screenshot("fern_0");
    Click(Qt::LeftButton, 240, 240);
    Click(Qt::LeftButton, 240, 240);
    ASSERT_TRUE(WaitForFrames(30));
    Screenshot("fern");
}

} // namespace
