// The snow, the Gravity Garden and the fluid demo running in the DEMO dialog on
// the test display, driven with real mouse events on its canvas; screenshots
// of each go to the screens folder.
#include "demos/apps/fluid.h"
#include "demos/apps/instru.h"
#include "demos/apps/snow.h"
#include "demos/gax_dlg.h"
#include "demos/gax_static.h"
#include "tests/demos/canvas_fixture.h"
#include "tests/demos/demo_dialog_fixture.h"
#include "tests/support/screens.h"

#include <QApplication>
#include <QComboBox>
#include <QTest>
#include <cmath>
#include <memory>

namespace {

using namespace lmd::test;

constexpr int kSnow = 13;
constexpr int kGarden = 14;
constexpr int kFluid = 15;

class PhysicsDemosTest : public ::testing::Test
{
protected:
    void TearDown() override { dialog.reset(); }

    // The dialog with its own list, switched to the demo at index.
    template <typename App> App& Run(int index)
    {
        dialog = std::make_unique<CGaxDlg>();
        dialog->Create();
        dialog->show();
        dialog->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
        dialog->DemoListBox()->setCurrentIndex(index);
        auto* const app = dynamic_cast<App*>(dialog->CurrentApp());
        EXPECT_NE(app, nullptr);
        return *app;
    }

    bool WaitForFrames(int more) const { return lmd::test::WaitForFrames(*dialog, more); }

    // A point of the canvas's client area (inside its edge).
    QPoint At(int x, int y) const { return dialog->Canvas()->contentsRect().topLeft() + QPoint(x, y); }

    void Screenshot(const QString& name) const
    {
        SaveScreen(GrabScreen().copy(dialog->frameGeometry()), name);
    }

    MainWindowStub mainWindow;
    std::unique_ptr<CGaxDlg> dialog;
};

// Total dye of the fluid's interior and how much of it lies below the canvas
// row 256 (cells from 80 down).
struct DyeMeasure
{
    double total = 0;
    double below = 0;
};

DyeMeasure MeasureDye(const nvq::fluid::Solver& solver, const nvq::fluid::Rgb* field = nullptr)
{
    if (!field)
        field = solver.color;
    DyeMeasure m;
    for (int j = 1; j <= solver.cellsY; ++j)
        for (int i = 1; i <= solver.cellsX; ++i) {
            const nvq::fluid::Rgb& c = field[solver.cellIndex(i, j)];
            const double dye = double(c.r) + c.g + c.b;
            m.total += dye;
            if (j >= 80)
                m.below += dye;
        }
    return m;
}

TEST_F(PhysicsDemosTest, SnowFallsAndPilesUpOnTheCanvas)
{
    const gaAppSnow& snow = Run<gaAppSnow>(kSnow);
    CGaxStatic& canvas = *dialog->Canvas();
    ASSERT_TRUE(WaitForFrames(200));
    EXPECT_GT(snow.getSnowballs().size(), 20u);
    // Flakes below the text, over the demo's blue-grey background.
    int flakePixels = 0;
    for (int y = 60; y < 480; ++y)
        for (int x = 0; x < 480; ++x)
            flakePixels += qRed(canvas.BackBuffer().pixel(x, y)) > 0xA0;
    EXPECT_GT(flakePixels, 300);
    // A drag adds snowballs where it passes.
    const std::size_t before = snow.getSnowballs().size();
    QTest::mousePress(&canvas, Qt::LeftButton, {}, At(200, 100));
    QTest::mouseMove(&canvas, At(220, 100));
    QTest::mouseMove(&canvas, At(240, 100));
    QTest::mouseRelease(&canvas, Qt::LeftButton, {}, At(240, 100));
    EXPECT_GE(snow.getSnowballs().size(), before + 2);
    ASSERT_TRUE(WaitForFrames(5));
    Screenshot(QStringLiteral("demos_snow"));

    QTest::mouseClick(&canvas, Qt::RightButton, {}, At(50, 50));
    EXPECT_FALSE(snow.usesImage());
    ASSERT_TRUE(WaitForFrames(3));
    Screenshot(QStringLiteral("demos_snow_circles"));
}

TEST_F(PhysicsDemosTest, GardenGrowsWithClicks)
{
    const gaAppInstru& garden = Run<gaAppInstru>(kGarden);
    CGaxStatic& canvas = *dialog->Canvas();
    const QPoint clicks[] = {{120, 240}, {360, 240}, {240, 120}, {240, 360}, {170, 170}, {320, 300}};
    for (const QPoint& p : clicks)
        QTest::mouseClick(&canvas, Qt::LeftButton, {}, At(p.x(), p.y()));
    EXPECT_EQ(garden.getBoxes().size(), std::size(clicks));
    ASSERT_TRUE(WaitForFrames(60));
    for (const auto& box : garden.getBoxes())
        EXPECT_LT((box->getPosition() - gaVec2f{240, 240}).length(), 300);
    EXPECT_FALSE(InkBox(canvas.BackBuffer().copy(0, 60, 480, 420)).isEmpty());
    Screenshot(QStringLiteral("demos_gravity_garden"));
}

TEST_F(PhysicsDemosTest, FluidStirredByTheMouseCarriesItsDye)
{
    gaAppFluid& fluid = Run<gaAppFluid>(kFluid);
    CGaxStatic& canvas = *dialog->Canvas();
    ASSERT_TRUE(WaitForFrames(1)); // the 150-cell grid
    // Moves without a button colour the fluid along a line across the middle.
    // They move the pointer itself, through the X server: each is waited for
    // until the canvas has it, and then for a frame, so the demo gets every
    // move, each in a frame of its own, however fast the machine runs.
    const PointerMoves moves(canvas);
    for (int x = 90; x <= 390; x += 6) {
        QTest::mouseMove(&canvas, At(x, 240));
        ASSERT_TRUE(moves.WaitFor(At(x, 240)));
        ASSERT_TRUE(WaitForFrames(1));
    }
    ASSERT_TRUE(WaitForFrames(3)); // the dye is in, and no cell holds more than 1
    const nvq::fluid::Solver& solver = fluid.getSolver();
    const DyeMeasure before = MeasureDye(solver);
    const int framesBefore = dialog->FrameCount();
    ASSERT_GT(before.total, 10);
    Screenshot(QStringLiteral("demos_fluid_coloured"));

    // Drags push it down without adding colour.
    for (int pass = 0; pass < 3; ++pass) {
        const int x = 140 + 100 * pass;
        QTest::mousePress(&canvas, Qt::LeftButton, {}, At(x, 200));
        for (int y = 202; y <= 300; y += 2) {
            QTest::mouseMove(&canvas, At(x, y));
            EXPECT_EQ(MeasureDye(solver, solver.colorSource).total, 0) << "a drag adds no colour";
            if (y % 8 == 0) {
                ASSERT_TRUE(WaitForFrames(1));
            }
        }
        QTest::mouseRelease(&canvas, Qt::LeftButton, {}, At(x, 300));
    }
    ASSERT_TRUE(WaitForFrames(10));
    const DyeMeasure after = MeasureDye(solver);
    const int updates = dialog->FrameCount() - framesBefore;
    // Only the fade takes dye away (0.2 percent per update); the flow moves it.
    // Semi-Lagrangian transport is not exactly conservative, and the demo's
    // pushes are strong (a 4-pixel drag moves a cell some 30 cells a step):
    // within a tenth.
    const double expected = before.total * std::pow(1 - 0.002, updates);
    EXPECT_NEAR(after.total, expected, 0.1 * expected) << updates << " updates";
    // Left alone for as many updates, the fluid spreads the line's dye below
    // row 256 to some one and a half times what it was; the drags take nearly
    // four times as much there.
    EXPECT_GT(after.below, 2.5 * before.below + 5) << "the dye went down with the drags";
    Screenshot(QStringLiteral("demos_fluid_stirred"));

    // The views by key, as the dialog hands keys on.
    const struct
    {
        const char* key;
        const char* name;
    } views[] = {{"x", "demos_fluid_motion"}, {"c", "demos_fluid_speed"}, {"v", "demos_fluid_vectors"}};
    for (const auto& view : views) {
        QWidget* const focus = QApplication::focusWidget();
        QTest::keyClick(focus ? focus : dialog.get(), view.key[0]);
        ASSERT_TRUE(WaitForFrames(2));
        Screenshot(QString::fromLatin1(view.name));
    }
    EXPECT_EQ(fluid.getDrawer().mode, nvq::fluid::DrawerBase::kVectors);
}

} // namespace
