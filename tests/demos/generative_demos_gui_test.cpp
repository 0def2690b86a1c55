// The generative demos in the DEMO dialog on the test display: each chosen from
// the list with the keyboard and run for five seconds (a screenshot of each and
// a contact sheet of all), a click that pauses the attractor, and the
// Nebulabrot's workers gone with their demo.
#include "demos/gax_dlg.h"
#include "demos/gax_static.h"
#include "tests/demos/canvas_fixture.h"
#include "tests/demos/demo_dialog_fixture.h"
#include "tests/support/screens.h"

#include <QComboBox>
#include <QDir>
#include <QPainter>
#include <QTest>
#include <memory>

// Last: it brings Xlib, whose macros clash with Qt names.
#include "tests/app/clock_window_fixture.h"

namespace {

using namespace lmd::test;

class GenerativeDemosTest : public ::testing::Test
{
protected:
    void SetUp() override { dialog = OpenDemoDialog(); }
    void TearDown() override { dialog.reset(); }

    // Chooses the demo with the list's keys, as a user does.
    void Choose(int index)
    {
        QComboBox& list = *dialog->DemoListBox();
        list.setFocus();
        ASSERT_TRUE(QTest::qWaitFor([&] { return list.hasFocus(); }));
        QStringList keys = {QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("20"),
                            QStringLiteral("Home")};
        for (int i = 0; i < index; ++i)
            keys << QStringLiteral("Down");
        ASSERT_TRUE(Xdotool(keys));
        ASSERT_TRUE(QTest::qWaitFor([&] { return list.currentIndex() == index; }));
        ASSERT_TRUE(WaitForFrames(2));
    }

    bool WaitForFrames(int more) const
    {
        const int target = dialog->FrameCount() + more;
        return QTest::qWaitFor([&] { return dialog->FrameCount() >= target; }, 10000);
    }

    static int Threads()
    {
        return static_cast<int>(
            QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size());
    }

    MainWindowStub mainWindow;
    std::unique_ptr<CGaxDlg> dialog;
};

TEST_F(GenerativeDemosTest, EachDemoDrawsInTheDialog)
{
    struct Demo
    {
        int index;
        const char* screen;
    };
    const Demo demos[] = {
        {0, "demos_arithmetic_owl"}, {1, "demos_ancient_machine"}, {5, "demos_buddhabrot"},
        {6, "demos_nebulabrot"},     {7, "demos_gmoski_mira"},     {8, "demos_dragon_curve"},
        {16, "demos_auto_cluster"},
    };
    constexpr int kTile = 240;
    QImage sheet(4 * kTile, 2 * kTile, QImage::Format_RGB32);
    sheet.fill(Qt::darkGray);
    QPainter sheetPainter(&sheet);
    int tile = 0;
    for (const Demo& demo : demos) {
        SCOPED_TRACE(demo.screen);
        Choose(demo.index);
        QTest::qWait(5000); // the picture after five seconds, as people see it
        const QImage& picture = dialog->Canvas()->BackBuffer();
        const QRect ink = InkBox(picture);
        EXPECT_GT(ink.width(), 100);
        EXPECT_GT(ink.height(), 100);
        SaveScreen(picture, QString::fromLatin1(demo.screen));
        sheetPainter.drawImage(QRect((tile % 4) * kTile, (tile / 4) * kTile, kTile, kTile), picture);
        ++tile;
    }
    sheetPainter.end();
    SaveScreen(sheet, QStringLiteral("demos_generative"));
}

TEST_F(GenerativeDemosTest, LeftClickPausesTheAttractorAndAnotherResumesIt)
{
    Choose(7);
    CGaxStatic* const canvas = dialog->Canvas();
    const QPoint inside = canvas->contentsRect().center();
    QTest::mouseClick(canvas, Qt::LeftButton, {}, inside);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog->CurrentApp()->core().running; }));
    const int paused = dialog->FrameCount();
    const QImage still = canvas->BackBuffer().copy();
    QTest::qWait(10 * CGaxDlg::kFrameMs);
    EXPECT_EQ(dialog->FrameCount(), paused);
    EXPECT_EQ(canvas->BackBuffer(), still);
    QTest::mouseClick(canvas, Qt::LeftButton, {}, inside);
    EXPECT_TRUE(WaitForFrames(3));
}

TEST_F(GenerativeDemosTest, NebulabrotWorkersGoWithTheDemo)
{
    ASSERT_TRUE(WaitForFrames(1));
    const int before = Threads();
    Choose(6);
    EXPECT_EQ(Threads(), before + 4);
    Choose(8);
    EXPECT_EQ(Threads(), before); // joined when the demo went
    Choose(6);
    dialog->close(); // the caption's close deletes the running demo at once
    EXPECT_EQ(Threads(), before);
}

} // namespace
