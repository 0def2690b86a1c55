// Every effect of the menu chosen on the running clock: the back layer's
// submenu sets the layer and the stored setting, the layer draws frames with
// it, and a contact sheet shows the clock with each one over the test desktop.
#include "app/lumidial.h"
#include "effects/effect_codes.h"
#include "effects/effect_layer.h"
#include "platform/desktop.h"
#include "platform/paths.h"
#include "tests/app/clock_window_fixture.h"
#include "tests/effects/contact_sheet.h"

#include <QAction>
#include <QMenu>
#include <gtest/gtest.h>

namespace {

using namespace lmd::test;

// The shaders, textures and models lie beside the test executable, as beside
// the clock: the executable's folder is the real one here (the fixture points
// it at a temporary folder).
class ClockEffectMenuTest : public ClockWindowTest
{
protected:
    void SetUp() override
    {
        ClockWindowTest::SetUp();
        platform::paths::SetExeDirOverride(QString());
    }
};

// Opens the clock's popup menu and, in it, the back layer's effect submenu.
QMenu* OpenBackLayerMenu(CLumidial& window)
{
    QTest::mouseClick(&window, Qt::RightButton, {}, QPoint(window.width() / 2, window.height() / 2));
    QMenu* menu = OpenMenu();
    if (!menu)
        return nullptr;
    QAction* backLayer = menu->actions().at(1);
    if (!backLayer->menu())
        return nullptr;
    menu->setActiveAction(backLayer);
    QTest::keyClick(menu, Qt::Key_Right);
    return QTest::qWaitFor([&] { return backLayer->menu()->isVisible(); }) ? backLayer->menu() : nullptr;
}

TEST_F(ClockEffectMenuTest, EveryMenuEffectIsChosenOnTheRunningClock)
{
    const platform::ScopedRecordingDesktop desktop; // records any error box instead of showing it
    CLumidial& window = ShowClock();
    CEffectLayer& back = *window.BackLayer();
    AppSettings& settings = theApp.AppSettings;

    ContactSheet sheet(kMenuEffectCount, window.width(), 6, 12);
    // From the last code down, so every choice changes the layer's code.
    for (int code = kMenuEffectCount - 1; code >= 0; --code) {
        QMenu* submenu = OpenBackLayerMenu(window);
        ASSERT_NE(submenu, nullptr) << code;
        Click(*submenu, code); // the back layer's ids are the codes themselves
        ASSERT_TRUE(QTest::qWaitFor([&] { return back.GetEffect() == code; })) << code;
        EXPECT_EQ(settings.EffectPtn0, code);
        // The layer goes on drawing with it, frame after frame.
        const auto start = back.FrameCount();
        EXPECT_TRUE(QTest::qWaitFor([&] { return back.FrameCount() >= start + 8; }, 10000)) << code;
        sheet.Place(code,
                    QString::fromUtf8(FindEffect(code)->menuText.data(),
                                      static_cast<int>(FindEffect(code)->menuText.size())),
                    window.grab().toImage());
    }
    sheet.Save("clock-menu-effects");
    // No effect of the menu reported an error (the external shader has no file set,
    // so it draws nothing and says nothing).
    for (const auto& box : desktop->messageBoxes)
        ADD_FAILURE() << box.text.toStdString();
}

} // namespace
