// Every demo of the DEMO dialog, chosen from the list in turn and visited as a
// user would (the pointer crosses the canvas, then clicks its middle): its
// picture after five seconds of frames (about 156 at 32 ms), or once it
// stopped itself, is no blank canvas and no longer the picture of its first
// frame. The pictures make a contact sheet, build/asan/screens/demos.png.
#include "demos/gax_dlg.h"
#include "demos/gax_static.h"
#include "tests/controls/pixels_fixture.h"
#include "tests/demos/demo_dialog_fixture.h"
#include "tests/support/screens.h"
#include "tests/support/xdotool.h"

#include <QComboBox>
#include <QHash>
#include <QPainter>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using namespace lmd::test;

constexpr int kFramesIn5s = 5000 / CGaxDlg::kFrameMs;
constexpr int kCell = 240;
constexpr int kLabel = 20;
constexpr int kColumns = 6;

// The pixels of a picture that are not its commonest colour (its background),
// bounded; empty for a canvas of one colour, a band for a caption alone.
QRect DrawnArea(const QImage& picture)
{
    QHash<QRgb, int> counts;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            ++counts[picture.pixel(x, y)];
    QRgb background = 0;
    int most = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (it.value() > most) {
            background = it.key();
            most = it.value();
        }
    return BoundsOf(picture, picture.rect(), [background](QRgb p) { return p != background; });
}

TEST(DemoContactSheetTest, EveryDemoDrawsAPictureThatMoves)
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
    const PointerMoves moves(*dialog.Canvas());
    for (int index = 0; index < demos; ++index) {
        const QString name = dialog.DemoListBox()->itemText(index);
        SCOPED_TRACE(name.toStdString());
        if (index > 0)
            dialog.DemoListBox()->setCurrentIndex(index);
        ASSERT_NE(dialog.CurrentApp(), nullptr);
        const int start = dialog.FrameCount();
        ASSERT_TRUE(WaitForFrames(dialog, 1));
        const QImage first = dialog.Canvas()->BackBuffer().copy();
        // Across the canvas without a button (what the fluid follows), a move a
        // frame: each move is waited for until the canvas has it (the window
        // system hands moves still queued together on as one), then its frame.
        // Then a click in its middle (what the garden grows from).
        const QPoint origin = dialog.Canvas()->contentsRect().topLeft();
        const QPoint client = dialog.Canvas()->mapToGlobal(origin);
        const auto moveTo = [&](QPoint point) {
            return QStringList{QStringLiteral("mousemove"), QString::number(client.x() + point.x()),
                               QString::number(client.y() + point.y())};
        };
        // Waits for count frames after frame `from`, or until the demo stopped itself.
        const auto framesAfter = [&](int from, int count) {
            return QTest::qWaitFor(
                [&] { return dialog.FrameCount() - from >= count || !dialog.CurrentApp()->core().running; },
                kPatienceMs);
        };
        for (int x = 60; x <= 420; x += 30) {
            const QPoint point(x, 120 + x / 2);
            ASSERT_TRUE(Xdotool(moveTo(point)));
            ASSERT_TRUE(moves.WaitFor(origin + point));
            ASSERT_TRUE(framesAfter(dialog.FrameCount(), 1));
        }
        ASSERT_TRUE(Xdotool(moveTo({240, 240}) + QStringList{QStringLiteral("click"), QStringLiteral("1")}));
        EXPECT_TRUE(framesAfter(start, kFramesIn5s));
        const QImage& last = dialog.Canvas()->BackBuffer();
        EXPECT_TRUE(last != first) << "the picture stood still";
        const QRect drawn = DrawnArea(last);
        EXPECT_GE(drawn.width(), 100) << "a blank canvas";
        EXPECT_GE(drawn.height(), 100) << "a blank canvas";

        const QRect cell(index % kColumns * kCell, index / kColumns * (kCell + kLabel), kCell, kCell);
        painter.drawImage(cell, last);
        painter.setPen(Qt::black);
        painter.drawText(QRect(cell.left(), cell.bottom() + 1, kCell, kLabel), Qt::AlignCenter,
                         name.trimmed());
    }
    painter.end();
    SaveScreen(sheet, QStringLiteral("demos"));
}

} // namespace
