// The about dialog's shader pages with the real shaders and pictures: the sea
// page (8) and the water-drop page (9) run their demos, clicks on them step
// through every shader (each frame saved for people to look at), nothing is
// reported, the sanctum the dialog keeps never starts, and closing the dialog
// frees every demo (the leak check at exit sees the rest).
#include "about/about_dlg.h"
#include "platform/desktop.h"
#include "tests/about/about_dialog_fixture.h"
#include "tests/support/screens.h"

#include <QCoreApplication>
#include <QTabBar>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <set>

namespace {

// Colours of a frame, counted on a coarse grid: a picture, not a flat fill.
int Colours(const QImage& frame)
{
    std::set<QRgb> colours;
    for (int y = 0; y < frame.height(); y += 7)
        for (int x = 0; x < frame.width(); x += 7)
            colours.insert(frame.pixel(x, y));
    return static_cast<int>(colours.size());
}

class ShaderPagesTest : public ::testing::Test
{
protected:
    void Open() { lmd::test::OpenAboutDialog(dialog); }

    // The dialog as the screen shows it.
    QImage Screen() const
    {
        return lmd::test::GrabScreen().copy(QRect(dialog->mapToGlobal(QPoint(0, 0)), dialog->size()));
    }
    // The screen once the control's area shows a picture other than before.
    QImage ShownScreen(const QWidget& control, const QImage& before) const
    {
        const QRect area(control.mapTo(dialog.get(), QPoint(0, 0)), control.size());
        EXPECT_TRUE(QTest::qWaitFor([&] {
            const QImage now = Screen().copy(area);
            return Colours(now) > 40 && now != before.copy(area);
        }));
        return Screen();
    }

    void ClickTab(int index)
    {
        QTabBar* const bar = dialog->TabCtrl()->TabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
    }

    // A few seconds into the demo, then its frame, saved as about-<name>.
    void Snap(CShaderCtrl& control, const QString& name)
    {
        for (int i = 0; i < 150; ++i) {
            platform::WindowTimerEvent tick(CShaderCtrl::kTimerId);
            QCoreApplication::sendEvent(&control, &tick);
        }
        const QImage frame = control.grabFramebuffer();
        lmd::test::SaveScreen(frame, QStringLiteral("about-") + name);
        EXPECT_GT(Colours(frame), 40) << name.toStdString();
    }

    platform::ScopedRecordingDesktop desktop;
    std::unique_ptr<CAboutDlg> dialog;
};

TEST_F(ShaderPagesTest, TheSeaAndWaterDropPagesRunEveryShaderAndCloseCleanly)
{
    Open();
    QPointer<CShaderOrbCtrl> orb = dialog->ShaderOrb();
    QPointer<CShaderProtoplasm> protoplasm = dialog->Protoplasm();
    QPointer<CShaderRootSanctum> sanctum = dialog->RootSanctum();
    ASSERT_TRUE(orb && protoplasm && sanctum);
    EXPECT_EQ(orb->size(), QSize(291, 239)); // the page's static: 194 x 147 dialog units

    QImage before = Screen();
    ClickTab(8);
    QTRY_VERIFY(orb->isVisible() && orb->Program() != 0);
    QTRY_VERIFY(orb->Time() > 0); // its timer runs
    EXPECT_TRUE(orb->FontReady());
    lmd::test::SaveScreen(ShownScreen(*orb, before), QStringLiteral("about-shader-page-8"));
    for (const char* name : {"seascape", "coast", "smoke-orb"}) {
        Snap(*orb, QStringLiteral("shader-orb-") + QLatin1String(name));
        QTest::mouseClick(orb, Qt::LeftButton, {}, QPoint(140, 100));
    }
    EXPECT_EQ(orb->ShaderIndex(), 0);

    before = Screen();
    ClickTab(9);
    QTRY_VERIFY(protoplasm->isVisible() && protoplasm->Program() != 0 && protoplasm->Texture() != 0);
    for (const char* name : {"raindrops", "glitch", "protoplasm", "sanctum", "raindrops-2"}) {
        Snap(*protoplasm, QStringLiteral("shader-protoplasm-") + QLatin1String(name));
        QTest::mouseClick(protoplasm, Qt::LeftButton, {}, QPoint(140, 100));
    }
    lmd::test::SaveScreen(ShownScreen(*protoplasm, before), QStringLiteral("about-shader-page-9"));

    QCoreApplication::processEvents();
    EXPECT_TRUE(desktop->messageBoxes.empty());
    // The sanctum stays a bare object: never shown, no program, no time.
    EXPECT_FALSE(sanctum->isVisible());
    EXPECT_EQ(sanctum->Program(), 0u);
    EXPECT_EQ(sanctum->Time(), 0.0f);

    dialog->accept();
    EXPECT_TRUE(orb.isNull());
    EXPECT_TRUE(protoplasm.isNull());
    dialog.reset();
    EXPECT_TRUE(sanctum.isNull());
}

} // namespace
