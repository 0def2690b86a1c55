// The DEMO dialog opened from the running clock: key X, a middle click and
// WM_OPEN_DEMO open it or bring it back, it can be opened again after it has
// closed, and the clock's close takes it along.
#include "demos/gax_dlg.h"
#include "tests/demos/demo_dialog_fixture.h"

#include <QPointer>
#include <QTest>
#include <functional>

// Last: it brings Xlib, whose macros clash with Qt names.
#include "tests/app/clock_window_fixture.h"

namespace {

using namespace lmd::test;

struct Opener
{
    const char* name;
    std::function<void(CLumidial&)> open;
};

void PrintTo(const Opener& o, std::ostream* os)
{
    *os << o.name;
}

const Opener kOpeners[] = {
    {"KeyX", [](CLumidial& clock) { QTest::keyClick(&clock, Qt::Key_X); }},
    {"MiddleClick",
     [](CLumidial& clock) {
         // Each click 20 pixels from the last, so that two never make a double click.
         static int side = 1;
         side = -side;
         const QPoint at = clock.geometry().center() + QPoint(10 * side, 0);
         ASSERT_TRUE(Xdotool(
             {"mousemove", "--sync", QString::number(at.x()), QString::number(at.y()), "click", "2"}));
     }},
    {"OpenDemoMessage", [](CLumidial&) { platform::PostAppMessage(platform::WM_OPEN_DEMO); }},
};

class ClockDemoTest : public ClockWindowTest, public ::testing::WithParamInterface<Opener>
{
protected:
    // The one DEMO dialog, shown, once the opener has acted. A click may land
    // while the clock has given up its pixels to capture the desktop behind it
    // (the click goes through): then it is repeated.
    CGaxDlg* OpenDemo(CLumidial& clock)
    {
        CGaxDlg* shown = nullptr;
        const auto isShown = [&] {
            const std::vector<CGaxDlg*> dialogs = DemoDialogs();
            shown = dialogs.size() == 1 && dialogs.front()->isVisible() ? dialogs.front() : nullptr;
            return shown != nullptr;
        };
        for (int attempt = 0; attempt < 3; ++attempt) {
            GetParam().open(clock);
            if (QTest::qWaitFor(isShown, 2000))
                return shown;
        }
        return nullptr;
    }
};

TEST_P(ClockDemoTest, OpensRaisesAndReopensTheDialog)
{
    CLumidial& clock = ShowClock();
    CGaxDlg* const first = OpenDemo(clock);
    ASSERT_NE(first, nullptr);
    EXPECT_NE(first->CurrentApp(), nullptr);
    const QPointer<CGaxDlg> guard(first);
    first->move(clock.geometry().right() + 50, 0); // beside the clock: the pointer reaches the clock

    // Asked again while it is hidden by Escape: the same dialog comes back.
    QTest::keyClick(first, Qt::Key_Escape);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !first->isVisible(); }));
    clock.activateWindow();
    EXPECT_EQ(OpenDemo(clock), first);
    EXPECT_FALSE(first->IsClosed());

    // Closed with the caption: the clock deletes it, and the next request opens a new one.
    SendCaptionClose(*first);
    ASSERT_TRUE(QTest::qWaitFor([&] { return guard.isNull(); }));
    EXPECT_TRUE(DemoDialogs().empty());
    CGaxDlg* const second = OpenDemo(clock);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second->CurrentApp(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Openers, ClockDemoTest, ::testing::ValuesIn(kOpeners),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ClockWindowTest, ClosingTheClockTakesTheDemoDialogAlong)
{
    for (const bool hidden : {false, true}) {
        CLumidial& clock = ShowClock();
        QTest::keyClick(&clock, Qt::Key_X);
        ASSERT_TRUE(QTest::qWaitFor([] { return DemoDialogs().size() == 1; }));
        const QPointer<CGaxDlg> dialog(DemoDialogs().front());
        if (hidden) {
            QTest::keyClick(dialog.data(), Qt::Key_Escape); // hidden, its demo still running
            ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog->isVisible(); }));
        }
        clock.close();
        EXPECT_TRUE(dialog.isNull()) << hidden; // at once, its demo with it
        EXPECT_TRUE(DemoDialogs().empty()) << hidden;
        this->clock.reset();
    }
}

} // namespace
