// A contact sheet of every demo of the DEMO dialog after five seconds of frames
// (build/asan/screens/demos.png): each chosen from the list in turn, its canvas
// taken once about 156 frames (5 s at 32 ms) ran or it stopped itself.
#include "demos/gax_dlg.h"
#include "demos/gax_static.h"
#include "tests/demos/demo_dialog_fixture.h"
#include "tests/support/screens.h"

#include <QComboBox>
#include <QPainter>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using namespace lmd::test;

constexpr int kFramesIn5s = 5000 / CGaxDlg::kFrameMs;
constexpr int kCell = 240;
constexpr int kLabel = 20;
constexpr int kColumns = 6;

TEST(DemoContactSheetTest, EveryDemoAfterFiveSeconds)
{
    MainWindowStub mainWindow;
    CGaxDlg dialog;
    dialog.Create();
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));

    const int demos = dialog.DemoListBox()->count();
    const int rows = (demos + kColumns - 1) / kColumns;
    QImage sheet(kColumns * kCell, rows * (kCell + kLabel), QImage::Format_RGB32);
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    for (int index = 0; index < demos; ++index) {
        if (index > 0)
            dialog.DemoListBox()->setCurrentIndex(index);
        ASSERT_NE(dialog.CurrentApp(), nullptr);
        const int start = dialog.FrameCount();
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                return dialog.FrameCount() - start >= kFramesIn5s || !dialog.CurrentApp()->core().running;
            },
            120000))
            << dialog.DemoListBox()->itemText(index).toStdString();
        const QRect cell(index % kColumns * kCell, index / kColumns * (kCell + kLabel), kCell, kCell);
        painter.drawImage(cell, dialog.Canvas()->BackBuffer());
        painter.setPen(Qt::black);
        painter.drawText(QRect(cell.left(), cell.bottom() + 1, kCell, kLabel), Qt::AlignCenter,
                         dialog.DemoListBox()->itemText(index).trimmed());
    }
    painter.end();
    SaveScreen(sheet, QStringLiteral("demos"));
}

} // namespace
