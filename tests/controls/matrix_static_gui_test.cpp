// The LED display on the test display: cells copied from the recoloured glyph
// strip, line wrapping and cutting, and characters outside the strip.
#include "controls/matrix_static.h"
#include "platform/resources.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {

using platform::COLORREF;

constexpr int kCellWidth = 11;  // strip 151: glyphs 10 x 14, gaps 1 and 1
constexpr int kCellHeight = 15;

class MatrixStaticTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        display.SetGlyphBitmap(151, 10, 14, 1, 1);
        display.SetDotColors(kLit, kUnlit, kBackground);
    }

    // The display's client area as painted.
    QImage Client()
    {
        return display.grab().toImage().convertToFormat(QImage::Format_RGB32).copy(display.contentsRect());
    }

    // What the cell for character code shows, from the strip with our own map.
    static QImage Cell(int code)
    {
        QImage cell(kCellWidth, kCellHeight, QImage::Format_RGB32);
        const QImage strip = platform::LoadBitmap(151).convertToFormat(QImage::Format_RGB32);
        for (int y = 0; y < kCellHeight; ++y)
            for (int x = 0; x < kCellWidth; ++x) {
                QRgb p = Screen(kBackground);
                if (code >= 32 && code < 128) {
                    const QRgb s = strip.pixel((code - 32) % 32 * kCellWidth + x, (code - 32) / 32 * kCellHeight + y);
                    p = (s & 0xFFFFFF) == 0x3FB5FF ? Screen(kLit) : (s & 0xFFFFFF) == 0x174067 ? Screen(kUnlit) : p;
                }
                cell.setPixel(x, y, p);
            }
        return cell;
    }

    static QRgb Screen(COLORREF c) { return qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

    static constexpr COLORREF kLit = 0x10E0F0;
    static constexpr COLORREF kUnlit = 0x402020;
    static constexpr COLORREF kBackground = 0x00FF00;

    CMatrixStatic display;
};

// Cells in reading order over two lines of three; the text beyond the last
// line is cut; characters outside 32..127 are blank cells.
TEST_F(MatrixStaticTest, LinesOfCellsCutAfterTheLast)
{
    display.SetCharsPerLine(3);
    display.SetLineCount(2);
    EXPECT_EQ(display.size(), QSize(3 * kCellWidth + 4, 2 * kCellHeight + 4));
    const QString text = QStringLiteral("A") + QChar(0x00E9) + QStringLiteral("~") + QChar(0x3042) +
                         QStringLiteral("z\x7F") + QStringLiteral("XYZ");
    display.SetDisplayText(text);
    display.resize(display.width(), display.height() + kCellHeight); // room where a third line would go
    const QImage shown = Client();
    for (int i = 0; i < 6; ++i) {
        const int code = static_cast<signed char>(text[i].unicode() & 0xFF);
        EXPECT_EQ(shown.copy(i % 3 * kCellWidth, i / 3 * kCellHeight, kCellWidth, kCellHeight), Cell(code)) << i;
    }
    EXPECT_EQ(Cell(0xE9 - 256), Cell(0)); // the blank cell: background only
    QImage third(3 * kCellWidth, kCellHeight, QImage::Format_RGB32);
    third.fill(Screen(kBackground));
    EXPECT_EQ(shown.copy(0, 2 * kCellHeight, 3 * kCellWidth, kCellHeight), third); // "XYZ" is cut
}

// Characters per line keep their first value; the same text again changes
// nothing; new colours recolour the dots.
TEST_F(MatrixStaticTest, CharsPerLineStickAndColoursRecolour)
{
    display.SetDisplayText("12");
    EXPECT_EQ(display.CharsPerLine(), 2);
    display.SetDisplayText("1234");
    EXPECT_EQ(display.CharsPerLine(), 2);
    display.SetCharsPerLine(4);
    EXPECT_EQ(display.CharsPerLine(), 2);
    display.SetLineCount(1);
    EXPECT_EQ(display.size(), QSize(4 * kCellWidth + 4, kCellHeight + 4));
    const QImage shown = Client();
    EXPECT_EQ(shown.copy(0, 0, kCellWidth, kCellHeight), Cell('1'));
    EXPECT_EQ(shown.copy(kCellWidth, 0, kCellWidth, kCellHeight), Cell('2'));
    // One line of two: the rest of the text is cut, its cells stay background.
    QImage rest(2 * kCellWidth, kCellHeight, QImage::Format_RGB32);
    rest.fill(Screen(kBackground));
    EXPECT_EQ(shown.copy(2 * kCellWidth, 0, 2 * kCellWidth, kCellHeight), rest);
    // The strip's own colours give the strip's own pixels.
    display.SetDotColors(CMatrixStatic::kStripLit, CMatrixStatic::kStripUnlit, CMatrixStatic::kStripBackground);
    const QImage strip = platform::LoadBitmap(151).convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(Client().copy(0, 0, kCellWidth, kCellHeight),
              strip.copy((('1' - 32) % 32) * kCellWidth, 0, kCellWidth, kCellHeight));
}

} // namespace
