// The windows the clock opens, with the clock kept on top of every window (as
// a first start sets it) and standing over them, under the test display's
// window manager: each stays above the clock and takes the clicks on the part
// the clock overlaps, also after the clock changed its stays-on-top flag (a
// new X window), looked at the desktop behind it or grew. And none of them
// freezes the rest: the time query and a ticker's error box wait only for
// their owner, so the clock's menu, the tray menu's exit and the other tickers
// keep working.
#include "app/alarm_dlg.h"
#include "app/lmd_app.h"
#include "app/lumidial.h"
#include "platform/messages.h"
#include "platform/paths.h"
#include "rss/rss_dlg.h"
#include "rss/scroll_link.h"
#include "settings/prop_page5.h"
#include "settings/prop_page6.h"
#include "settings/property_page.h"
#include "settings/settings_dialog.h"
#include "tests/app/lmd_app_fixture.h"
#include "tests/support/screens.h"
#include "tests/support/shown_windows.h"
#include "tests/support/xdotool.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>
#include <QWindow>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace {

using namespace lmd::test;

// A point of a widget that a click changes nothing at: the middle of a label
// or a read-only field.
QPoint Middle(const QWidget& widget)
{
    return widget.mapToGlobal(widget.rect().center());
}

QLineEdit* ReadOnlyField(const QWidget& window)
{
    for (QLineEdit* field : window.findChildren<QLineEdit*>()) {
        if (field->isReadOnly() && field->isVisible())
            return field;
    }
    return nullptr;
}

// Runs steps inside the dialog of type T that `open` runs modally (open
// returns once the dialog has ended); a dialog the steps leave open is
// cancelled.
template <typename T>
void InModalDialog(const std::function<void()>& open, const std::function<void(T&)>& steps)
{
    bool ran = false;
    QTimer watch; // fires inside the dialog's own event loop
    watch.callOnTimeout([&] {
        T* const dialog = ShownWindow<T>();
        if (!dialog || !dialog->windowHandle() || !dialog->windowHandle()->isExposed())
            return;
        watch.stop();
        steps(*dialog);
        ran = true;
        if (dialog->isVisible())
            dialog->reject();
    });
    watch.start(20);
    open();
    EXPECT_TRUE(ran);
}

// The program started from an INI file that keeps the clock on top, with a
// feed list for its tickers.
class OwnedWindowsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        platform::paths::SetExeDirOverride(folder.path());
        ASSERT_TRUE(WriteFile(File("LMD.ini"), QuietIni("StartX=100\nStartY=100\nTopMost=1\nZoom=200\n") +
                                                   "[ALARM]\nEnable1=1\nAlarmMsg1=owned\n"));
        mainWindow = theApp.InitInstance();
        ASSERT_TRUE(mainWindow);
        clock = mainWindow.get();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(clock));
        ASSERT_TRUE(clock->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    }

    void TearDown() override
    {
        if (theApp.m_pMainWnd)
            theApp.ExitInstance();
        mainWindow.reset();
        platform::paths::SetExeDirOverride(QString());
    }

    QString File(const QString& name) const { return QDir(folder.path()).filePath(name); }

    // A feed that cannot be read: its ticker shows an error box.
    void ListABrokenFeed() const
    {
        ASSERT_TRUE(WriteFile(File("lmd_rss.ini"),
                              "Broken," + QUrl::fromLocalFile(File("none.xml")).toEncoded() + "\n"));
    }
    // A feed of one long headline, which scrolls for a while.
    void ListAGoodFeed() const
    {
        ASSERT_TRUE(
            WriteFile(File("good.xml"),
                      "<?xml version=\"1.0\"?><rss version=\"2.0\"><channel><title>Good</title><item>"
                      "<title>A headline long enough to scroll for a good while across the ticker</title>"
                      "<link>https://example.org/a</link></item></channel></rss>"));
        ASSERT_TRUE(WriteFile(File("lmd_rss.ini"),
                              "Good," + QUrl::fromLocalFile(File("good.xml")).toEncoded() + "\n"));
    }

    // Puts the clock's middle over the point.
    void ClockOver(QPoint point) const
    {
        clock->move(point - QPoint(clock->width() / 2, clock->height() / 2));
        EXPECT_TRUE(QTest::qWaitFor([&] { return clock->geometry().contains(point); }, 5000));
    }

    // The window stands above the clock, which covers the point of it, and a
    // real click there reaches the window.
    void ExpectAboveTheClock(QWidget& window, const std::function<QPoint()>& target, const char* after) const
    {
        SCOPED_TRACE(after);
        const QPoint point = target();
        ClockOver(point);
        EXPECT_TRUE(StandsAbove(window, *clock)) << "the clock stands above the window";
        EXPECT_TRUE(ClickReaches(point, window)) << "the click did not reach the window";
    }

    // The same after each of the clock's changes that make or raise its window.
    void ExpectAboveTheClockThroughout(QWidget& window, const std::function<QPoint()>& target) const
    {
        ExpectAboveTheClock(window, target, "as it opened");
        // A TopMost change makes the clock a new X window; so does the change back.
        for (const bool onTop : {false, true}) {
            platform::SendAppMessage(platform::WM_SET_TOPMOST, onTop ? 1 : 0);
            ASSERT_TRUE(QTest::qWaitForWindowExposed(clock));
        }
        ExpectAboveTheClock(window, target, "after TopMost was changed and changed back");
        // The overlap check's look at the desktop.
        platform::SendAppMessage(platform::WM_RECAPTURE_BACKGROUND);
        ExpectAboveTheClock(window, target, "after the clock looked at the desktop");
        platform::SendAppMessage(platform::WM_SET_ZOOM, 600);
        ExpectAboveTheClock(window, target, "after the clock grew");
        platform::SendAppMessage(platform::WM_SET_ZOOM, 200);
    }

    // Runs the settings dialog from the clock's command; steps run inside it,
    // then it is cancelled.
    void RunSettings(const std::function<void(CSettingsDialog&)>& steps) const
    {
        InModalDialog<CSettingsDialog>([this] { clock->OnCommand(ID_SETTINGS); }, steps);
    }

    // Opens the time query from the version page; steps run inside it, then
    // it is closed.
    static void RunTimeQuery(CSettingsDialog& settings, const std::function<void(CPropPage6&)>& steps)
    {
        QTreeWidget* tree = settings.Tree();
        const int versionPage = tree->topLevelItemCount() - 1;
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                          tree->visualItemRect(tree->topLevelItem(versionPage)).center());
        ASSERT_TRUE(settings.PageInfo(versionPage).pWnd);
        QWidget* const button = settings.PageInfo(versionPage).pWnd->GetDlgItem(CPropPage5::IDC_SNTP);
        ASSERT_TRUE(button);
        InModalDialog<CPropPage6>([button] { QTest::mouseClick(button, Qt::LeftButton); }, steps);
    }

    QTemporaryDir folder;
    std::unique_ptr<CLumidial> mainWindow; // owned here, as main owns it
    CLumidial* clock = nullptr;
};

TEST_F(OwnedWindowsTest, TheSettingsDialogAndTheTimeQueryStayAboveTheClock)
{
    RunSettings([&](CSettingsDialog& settings) {
        QWidget* caption = settings.Controls().Item(CSettingsDialog::IDC_CAPTION_BAR);
        ExpectAboveTheClockThroughout(settings, [&] { return Middle(*caption); });
        RunTimeQuery(settings, [&](CPropPage6& query) {
            EXPECT_FALSE(settings.isEnabled()); // modal to the settings dialog
            ExpectAboveTheClockThroughout(query, [&] { return Middle(*ReadOnlyField(query)); });
            SaveScreen(GrabScreen(), "owned_windows_time_query");
        });
        EXPECT_TRUE(settings.isEnabled());
    });
}

TEST_F(OwnedWindowsTest, AnAlarmPopupStaysAboveTheClock)
{
    platform::SendAppMessage(platform::WM_ALARM_SNOOZE, 0, 50); // rings again in 50 ms
    ASSERT_TRUE(QTest::qWaitFor([] { return ShownWindow<CAlarmDlg>() != nullptr; }, 10000));
    CAlarmDlg& popup = *ShownWindow<CAlarmDlg>();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&popup));
    ExpectAboveTheClockThroughout(popup, [&] { return Middle(*ReadOnlyField(popup)); });
    SaveScreen(GrabScreen(), "owned_windows_alarm_popup");
}

// The overlap check looks at the desktop again and again (whenever the windows
// around the clock change, as when a popup opens): at no moment of it, nor
// right after, does the clock stand above a window it owns, so a click made
// then reaches the popup.
TEST_F(OwnedWindowsTest, LookingAtTheDesktopNeverPutsTheClockAboveItsPopup)
{
    platform::SendAppMessage(platform::WM_ALARM_SNOOZE, 0, 50); // rings again in 50 ms
    ASSERT_TRUE(QTest::qWaitFor([] { return ShownWindow<CAlarmDlg>() != nullptr; }, 10000));
    CAlarmDlg& popup = *ShownWindow<CAlarmDlg>();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&popup));
    ASSERT_TRUE(StandsAbove(popup, *clock));

    int samples = 0;
    int clockOnTop = 0;
    QTimer sample; // runs inside the looks' own event processing too
    sample.callOnTimeout([&] {
        const auto up = StackingDepth(popup);
        const auto down = StackingDepth(*clock);
        ++samples;
        if (up && down && *up > *down)
            ++clockOnTop;
    });
    sample.start(1);
    for (int look = 0; look < 10; ++look) {
        platform::SendAppMessage(platform::WM_RECAPTURE_BACKGROUND);
        QTest::qWait(200);
    }
    sample.stop();
    EXPECT_GT(samples, 100);
    EXPECT_EQ(clockOnTop, 0) << "of " << samples << " looks at the stacking";
}

TEST_F(OwnedWindowsTest, ATickersErrorBoxStaysAboveTheClock)
{
    ListABrokenFeed();
    clock->OnCommand(ID_RSS);
    ASSERT_TRUE(QTest::qWaitFor([] { return ShownWindow<QMessageBox>() != nullptr; }, 20000));
    QMessageBox& box = *ShownWindow<QMessageBox>();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    const auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    ASSERT_TRUE(label);
    ExpectAboveTheClockThroughout(box, [&] { return Middle(*label); });
    box.accept();
}

// --- nothing but the owner waits -----------------------------------------------------

// The program's main loop, as main runs it, ended by the tray menu's exit
// command chosen for real; false when it did not end within the bound.
class ProgramEndTest : public OwnedWindowsTest
{
protected:
    // Runs the main loop: `begin` runs first, inside it. True when the loop
    // ended by the program's Quit.
    bool RunUntilQuit(const std::function<void()>& begin)
    {
        QTimer::singleShot(0, clock, begin);
        QTimer failSafe;
        bool timedOut = false;
        failSafe.callOnTimeout([&] {
            timedOut = true;
            QCoreApplication::exit(1);
        });
        failSafe.start(90000);
        const int status = QCoreApplication::exec();
        return status == 0 && !timedOut && theApp.IsQuitting();
    }

    // The menu that a real click opened, or null.
    static QMenu* OpenedMenu()
    {
        const bool opened = QTest::qWaitFor([] { return ShownWindow<QMenu>() != nullptr; }, 10000);
        return opened ? ShownWindow<QMenu>() : nullptr;
    }

    // The tray icon's menu, opened by a real click, its exit chosen by its key.
    void ExitFromTheTray() const
    {
        QSystemTrayIcon* const tray = clock->TrayIcon();
        ASSERT_TRUE(tray && !tray->geometry().isEmpty()) << "no notification area on the display";
        Click(tray->geometry().center());
        ASSERT_TRUE(OpenedMenu()) << "the tray menu did not open";
        Xdotool({"key", "x"}); // "終了(&X)"
    }
};

TEST_F(ProgramEndTest, TheTrayMenuEndsTheProgramWhileTheTimeQueryIsOpen)
{
    bool queryWasOpen = false;
    EXPECT_TRUE(RunUntilQuit([&] {
        RunSettings([&](CSettingsDialog& settings) {
            RunTimeQuery(settings, [&](CPropPage6&) {
                queryWasOpen = true;
                ExitFromTheTray();
                // The program ends, and with it every loop at once.
                EXPECT_TRUE(QTest::qWaitFor([] { return theApp.IsQuitting(); }, 60000));
            });
        });
    }));
    EXPECT_TRUE(queryWasOpen);
}

TEST_F(ProgramEndTest, WhileATickersErrorBoxIsOpenTheClockMenuAndTheOtherTickersWork)
{
    bool checked = false;
    EXPECT_TRUE(RunUntilQuit([&] {
        ListABrokenFeed();
        clock->OnCommand(ID_RSS);
        ASSERT_TRUE(QTest::qWaitFor([] { return ShownWindow<QMessageBox>() != nullptr; }, 20000));
        QMessageBox* const box = ShownWindow<QMessageBox>();
        CRssDlg* waiting = nullptr;
        for (QWidget* window : QApplication::topLevelWidgets())
            if (auto* ticker = dynamic_cast<CRssDlg*>(window))
                waiting = ticker;
        ASSERT_TRUE(waiting);
        EXPECT_FALSE(waiting->isEnabled()); // the box is modal to its ticker

        // Another ticker loads its feed and scrolls meanwhile.
        ListAGoodFeed();
        clock->OnCommand(ID_RSS);
        CRssDlg* other = nullptr;
        for (QWidget* window : QApplication::topLevelWidgets())
            if (auto* ticker = dynamic_cast<CRssDlg*>(window); ticker && ticker != waiting)
                other = ticker;
        ASSERT_TRUE(other);
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                const auto& entries = other->Ticker()->Entries();
                return other->Ticker()->IsScrolling() && !entries.empty() && !entries[0].m_positions.empty();
            },
            20000));
        const auto position = [&] { return other->Ticker()->Entries().at(0).m_positions.at(0); };
        const int start = position();
        EXPECT_TRUE(QTest::qWaitFor([&] { return position() != start; }, 10000));

        // The clock's own menu opens at a real right click, and closes again.
        ClockOver({800, 600});
        Click(clock->geometry().center(), 3);
        EXPECT_TRUE(OpenedMenu()) << "the clock's menu did not open";
        Xdotool({"key", "Escape"});
        EXPECT_TRUE(QTest::qWaitFor([] { return ShownWindow<QMenu>() == nullptr; }, 10000));
        EXPECT_TRUE(box->isVisible());
        checked = true;
        ExitFromTheTray();
    }));
    EXPECT_TRUE(checked);
}

} // namespace
