// The DEMO dialog on the test display: its list and canvas, the frame loop,
// switching, the canvas's mouse and the dialog's keys (real X key presses from
// xdotool), and the ways it closes.
#include "demos/gax_dlg.h"
#include "demos/gax_static.h"
#include "tests/controls/pixels_fixture.h"
#include "tests/demos/canvas_fixture.h"
#include "tests/demos/demo_dialog_fixture.h"
#include "tests/support/screens.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QCursor>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <functional>
#include <memory>

// Last: it brings Xlib, whose macros clash with Qt names.
#include "tests/app/clock_window_fixture.h"

namespace {

using namespace lmd::test;

class DemoDialogTest : public ::testing::Test
{
protected:
    void TearDown() override { dialog.reset(); }

    CGaxDlg& Open(std::vector<DemoEntry> demos = MakeDemoList())
    {
        dialog = std::make_unique<CGaxDlg>();
        dialog->Create(std::move(demos));
        dialog->show();
        dialog->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
        return *dialog;
    }

    QPushButton& OkButton() const { return *dialog->findChild<QPushButton*>(); }

    // Runs until the dialog has counted `more` further frames.
    bool WaitForFrames(int more) const
    {
        const int target = dialog->FrameCount() + more;
        return QTest::qWaitFor([&] { return dialog->FrameCount() >= target; }, 5000);
    }

    MainWindowStub mainWindow;
    DemoRecord record; // what the demos saw; they outlive the dialog
    DemoRecord other;
    std::unique_ptr<CGaxDlg> dialog;
};

TEST_F(DemoDialogTest, ListsTheSeventeenDemosAndShowsTheCanvas)
{
    CGaxDlg& dlg = Open();
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("DEMOダイアログ"));
    const QStringList expected = {
        QStringLiteral("算術フクロウ"),
        QStringLiteral("古代機械"),
        QStringLiteral("\tL-system Tree"),
        QStringLiteral("\tFireworks"),
        QStringLiteral("フラワー曼荼羅"),
        QStringLiteral("ブッダブロ"),
        QStringLiteral("ネビュラブロ"),
        QStringLiteral("グモウスキー･ミラ･アトラクター"),
        QStringLiteral("ドラゴン曲線"),
        QStringLiteral("バーンズリーのシダ"),
        QStringLiteral("\tCloth"),
        QStringLiteral("バウンドサークル"),
        QStringLiteral("万有引力"),
        QStringLiteral("降り積もる雪"),
        QStringLiteral("\tGravity Garden"),
        QStringLiteral("流体（Navier-Stokes）"),
        QStringLiteral("オートクラスタ"),
    };
    QStringList listed;
    for (int i = 0; i < dlg.DemoListBox()->count(); ++i)
        listed << dlg.DemoListBox()->itemText(i);
    EXPECT_EQ(listed, expected);
    EXPECT_EQ(dlg.DemoListBox()->currentIndex(), 0);

    ASSERT_TRUE(WaitForFrames(3));
    EXPECT_FALSE(lmd::test::InkBox(dlg.Canvas()->BackBuffer()).isEmpty()); // the placeholder wrote its name
    SaveScreen(GrabScreen().copy(dlg.frameGeometry()), QStringLiteral("demos_dialog"));
}

TEST_F(DemoDialogTest, CanvasShowsItsBackBufferInItsClientArea)
{
    CGaxDlg& dlg = Open({RecordingEntry("still", record)}); // the same picture every frame
    CGaxStatic& canvas = *dlg.Canvas();
    EXPECT_EQ(canvas.size(), QSize(484, 484));
    EXPECT_EQ(canvasWidth, 480);
    EXPECT_EQ(canvasHeight, 480);
    ASSERT_TRUE(WaitForFrames(3));

    const QImage grabbed = canvas.grab(canvas.contentsRect()).toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(grabbed.size(), QSize(480, 480));
    EXPECT_EQ(grabbed, canvas.BackBuffer());
    EXPECT_EQ(canvas.BackBuffer().pixel(239, 0), 0xFF3060A0u); // the demo's half
    EXPECT_EQ(canvas.BackBuffer().pixel(240, 479), 0xFF000000u); // the background
    const QRect client(canvas.mapToGlobal(canvas.contentsRect().topLeft()), QSize(480, 480));
    EXPECT_TRUE(QTest::qWaitFor([&] { return GrabScreen().copy(client) == canvas.BackBuffer(); }))
        << "the screen does not show the back buffer";
    SaveScreen(GrabScreen().copy(dlg.frameGeometry()), QStringLiteral("demos_dialog_canvas"));
}

TEST_F(DemoDialogTest, KeysReachTheDemoOnceAsVirtualKeyCodes)
{
    Open({RecordingEntry("keys", record)});
    OkButton().setFocus();
    ASSERT_TRUE(Xdotool({"key", "--delay", "30", "a", "shift+a", "Left", "F5", "5", "Right"}));
    const std::vector<int> expected = {0x61, 0x10, 0x61, 0x25, 0x74, 0x35, 0x27}; // the Shift key too
    EXPECT_TRUE(QTest::qWaitFor([&] { return record.keys.size() >= expected.size(); }));
    EXPECT_EQ(record.keys, expected);

    dialog->DemoListBox()->setFocus(); // from the list too, and the list keeps its own keys
    record.keys.clear();
    ASSERT_TRUE(Xdotool({"key", "x"}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !record.keys.empty(); }));
    EXPECT_EQ(record.keys, std::vector<int>{0x78});
}

TEST_F(DemoDialogTest, MouseOverTheCanvasInClientCoordinates)
{
    CGaxDlg& dlg = Open({RecordingEntry("mouse", record)});
    CGaxStatic* const canvas = dlg.Canvas();
    const QPoint edge = canvas->contentsRect().topLeft(); // (2, 2)
    // The pointer starts off the canvas: a move to where it already is (left
    // there by an earlier test) would bring no event.
    const QPoint away = canvas->mapToGlobal(QPoint(-20, -20));
    QCursor::setPos(away);
    ASSERT_TRUE(QTest::qWaitFor([&] { return QCursor::pos() == away; }));
    // Without a button held the move is the pointer's own, through the X
    // server: it is waited for before the pressed moves, which come at once.
    const PointerMoves moves(*canvas);
    QTest::mouseMove(canvas, edge + QPoint(50, 60));
    ASSERT_TRUE(moves.WaitFor(edge + QPoint(50, 60)));
    QTest::mousePress(canvas, Qt::LeftButton, {}, edge + QPoint(10, 20));
    QTest::mouseMove(canvas, edge + QPoint(30, 40));
    QTest::mouseRelease(canvas, Qt::LeftButton, {}, edge + QPoint(30, 40));
    QTest::mousePress(canvas, Qt::RightButton, {}, edge + QPoint(5, 6));
    QTest::mouseMove(canvas, edge + QPoint(7, 8));
    QTest::mouseRelease(canvas, Qt::RightButton, {}, edge + QPoint(7, 8));
    const std::vector<std::string> expected = {
        "moved 50 60",    "pressed 10 20 0", "dragged 30 40 0", "released 30 40 0",
        "pressed 5 6 2",  "moved 7 8",       "released 7 8 2",
    };
    EXPECT_TRUE(QTest::qWaitFor([&] { return record.mouse.size() >= expected.size(); }));
    EXPECT_EQ(record.mouse, expected);
    EXPECT_EQ(dlg.CurrentApp()->mouseX, 5);
    EXPECT_EQ(dlg.CurrentApp()->mouseY, 6);
}

// The open list draws every name whole, the four that start with a tab too:
// the text of each row, read back from the screen, spans as much as the
// name's letters do in the list's font.
TEST_F(DemoDialogTest, TheOpenListShowsEveryNameWhole)
{
    CGaxDlg& dlg = Open();
    QComboBox& list = *dlg.DemoListBox();
    QTest::mouseClick(&list, Qt::LeftButton);
    QAbstractItemView& view = *list.view();
    ASSERT_TRUE(QTest::qWaitFor([&] { return view.isVisible(); }));
    QCursor::setPos(0, 0); // no row under the pointer: only the current row is highlighted
    const QRect popup = view.window()->geometry();
    QImage screen;
    ASSERT_TRUE(QTest::qWaitFor([&] {
        screen = GrabScreen();
        return screen.copy(popup) == view.window()->grab().toImage().convertToFormat(screen.format());
    })) << "the list is not on the screen";
    const QFontMetrics metrics(view.font());
    for (int row = 0; row < list.count(); ++row) {
        if (row == list.currentIndex())
            continue;
        const QString name = list.itemText(row);
        SCOPED_TRACE(name.toStdString());
        const QRect rect = view.visualRect(list.model()->index(row, 0));
        const QRect shown = QRect(view.viewport()->mapToGlobal(rect.topLeft()), rect.size()) & popup;
        ASSERT_EQ(shown.height(), rect.height()) << "the row is out of sight";
        const QImage drawn = screen.copy(shown);
        const QRect ink = BoundsOf(drawn, drawn.rect(), [](QRgb p) { return qGray(p) < 224; });
        // The faintest edge pixels of a glyph may stay lighter than ink.
        EXPECT_GE(ink.width(), metrics.tightBoundingRect(name.trimmed()).width() - 4);
    }
    SaveScreen(screen.copy(popup), QStringLiteral("demos_dialog_list"));
    QTest::keyClick(&view, Qt::Key_Escape);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !view.isVisible(); }));
}

// The canvas keeps the mouse while a button it took is down (the window
// system's implicit grab): a drag that leaves the canvas goes on reaching the
// demo, with coordinates outside it, and a release out there ends the drag.
// Real pointer input through the X server.
TEST_F(DemoDialogTest, ADragOutOfTheCanvasEndsWhereTheButtonIsReleased)
{
    CGaxDlg& dlg = Open({RecordingEntry("mouse", record)});
    CGaxStatic* const canvas = dlg.Canvas();
    const QPoint client = canvas->mapToGlobal(canvas->contentsRect().topLeft());
    const auto move = [&](int x, int y) {
        return QStringList{QStringLiteral("mousemove"), QString::number(client.x() + x),
                           QString::number(client.y() + y)};
    };
    const QPoint outside(480 + 150, 480 + 60); // right of and below the dialog
    ASSERT_FALSE(dlg.frameGeometry().contains(client + outside));
    ASSERT_TRUE(QGuiApplication::primaryScreen()->geometry().contains(client + outside));
    // One step at a time, each once the demo has seen the one before.
    const auto step = [&](const QStringList& input, const std::string& seen) {
        return Xdotool(input) &&
               QTest::qWaitFor([&] { return !record.mouse.empty() && record.mouse.back() == seen; });
    };
    ASSERT_TRUE(step(move(100, 100) + QStringList{"mousedown", "1"}, "pressed 100 100 0"));
    ASSERT_TRUE(step(move(outside.x(), outside.y()), "dragged 630 540 0"))
        << testing::PrintToString(record.mouse);
    ASSERT_TRUE(step({"mouseup", "1"}, "released 630 540 0")) << testing::PrintToString(record.mouse);
    // Back over the canvas without a button: a move, no drag left over.
    ASSERT_TRUE(step(move(120, 130), "moved 120 130")) << testing::PrintToString(record.mouse);
}

TEST_F(DemoDialogTest, FramesComeEvery32MsAndCountOnAcrossSwitches)
{
    DemoRecord& first = record;
    DemoRecord& second = other;
    CGaxDlg& dlg = Open({RecordingEntry("first", first), RecordingEntry("second", second, 0xFFA03060)});
    ASSERT_TRUE(WaitForFrames(1));

    // Counted over a wait of 5 s: about 156 frames, never more than the timer gives.
    const int before = dlg.FrameCount();
    QElapsedTimer clock;
    clock.start();
    QTest::qWait(5000);
    const int frames = dlg.FrameCount() - before;
    const qint64 elapsed = clock.elapsed();
    std::printf("%d frames in %lld ms\n", frames, static_cast<long long>(elapsed));
    EXPECT_LE(frames, elapsed / CGaxDlg::kFrameMs + 2);
    EXPECT_GE(frames, 100);
    EXPECT_EQ(first.frames, dlg.FrameCount());

    // Switching with the list: a new app, the old one deleted, the count goes on.
    dlg.DemoListBox()->setFocus();
    ASSERT_TRUE(Xdotool({"key", "Down"}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return second.frames >= 2; }));
    EXPECT_EQ(first.destroyed, 1);
    EXPECT_EQ(second.created, 1);
    EXPECT_EQ(second.setups, 1);
    EXPECT_EQ(second.frameNumbers.at(0), 0);                // its own state starts at 0
    EXPECT_EQ(second.frameNumbers.at(1), first.frames + 1); // then the dialog's count
    EXPECT_EQ(dlg.CurrentApp()->core().frameNum, dlg.FrameCount());

    // Back again: a fresh app from its setup.
    ASSERT_TRUE(Xdotool({"key", "Up"}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return first.setups == 2; }));
    EXPECT_EQ(first.created, 2);
    EXPECT_EQ(second.destroyed, 1);
}

TEST_F(DemoDialogTest, PausedDemoKeepsItsPictureUntilAnotherRuns)
{
    DemoRecord& paused = record;
    paused.pauseAtFrame = 3;
    DemoRecord& next = other;
    CGaxDlg& dlg = Open({RecordingEntry("paused", paused), RecordingEntry("next", next, 0xFFA03060)});
    ASSERT_TRUE(QTest::qWaitFor([&] { return paused.frames == 3; }));
    const int count = dlg.FrameCount();
    QTest::qWait(10 * CGaxDlg::kFrameMs);
    EXPECT_EQ(dlg.FrameCount(), count); // no update, draw or count while paused
    EXPECT_EQ(paused.frames, 3);
    EXPECT_EQ(dlg.Canvas()->BackBuffer().pixel(10, 10), 0xFF3060A0u);

    dlg.DemoListBox()->setCurrentIndex(1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return next.frames >= 1; }));
    EXPECT_EQ(dlg.FrameCount(), count + next.frames);
}

struct CloseCase
{
    const char* name;
    std::function<void(CGaxDlg&, QPushButton&)> close;
};

class DemoDialogCloseTest : public DemoDialogTest, public ::testing::WithParamInterface<CloseCase>
{
};

void PrintTo(const CloseCase& c, std::ostream* os)
{
    *os << c.name;
}

TEST_P(DemoDialogCloseTest, StopsDeletesTheDemoOnceAndTellsTheMainWindow)
{
    CGaxDlg& dlg = Open({RecordingEntry("closing", record)});
    ASSERT_TRUE(WaitForFrames(2));
    GetParam().close(dlg, OkButton());

    ASSERT_TRUE(QTest::qWaitFor([&] { return mainWindow.demoClosed == 1; }));
    EXPECT_TRUE(dlg.IsClosed());
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(record.destroyed, 1);
    EXPECT_EQ(dlg.CurrentApp(), nullptr);
    EXPECT_EQ(dlg.Canvas()->App(), nullptr);
    const int count = dlg.FrameCount();
    QTest::qWait(5 * CGaxDlg::kFrameMs);
    EXPECT_EQ(dlg.FrameCount(), count); // no frame after the close

    dialog.reset();
    EXPECT_EQ(record.destroyed, 1);
    EXPECT_EQ(mainWindow.demoClosed, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Ways, DemoDialogCloseTest,
    ::testing::Values(CloseCase{"OkButton", [](CGaxDlg&, QPushButton& ok) { QTest::mouseClick(&ok, Qt::LeftButton); }},
                      CloseCase{"EnterKey",
                                [](CGaxDlg&, QPushButton& ok) {
                                    ok.setFocus();
                                    ASSERT_TRUE(Xdotool({"key", "Return"}));
                                }},
                      CloseCase{"CaptionClose", [](CGaxDlg& dlg, QPushButton&) { SendCaptionClose(dlg); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DemoDialogTest, EscapeOnlyHidesAndTheDemoRunsOn)
{
    CGaxDlg& dlg = Open({RecordingEntry("hidden", record)});
    ASSERT_TRUE(Xdotool({"key", "Escape"}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dlg.isVisible(); }));
    EXPECT_TRUE(WaitForFrames(3)); // frames go on while hidden
    EXPECT_FALSE(dlg.IsClosed());
    EXPECT_EQ(record.destroyed, 0);
    EXPECT_EQ(mainWindow.demoClosed, 0);
    EXPECT_EQ(record.keys, std::vector<int>{0x1B}); // the demo saw the key too

    dialog.reset(); // deleting the dialog deletes the demo it still runs
    EXPECT_EQ(record.destroyed, 1);
    EXPECT_EQ(mainWindow.demoClosed, 0);
}

} // namespace
