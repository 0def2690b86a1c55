#include "cpu_layer_fixture.h"
#include "effects/jmatrix_routine.h"
#include "platform/crt.h"

#include <gtest/gtest.h>

namespace {

using lmd::test::CpuLayer;

constexpr std::uint32_t kCursor = 0x0080FF80;

std::uint32_t Text(const CJMatrixRoutine& rain, int x, int y)
{
    return lmd::test::Rgb(rain.m_textImage.Row(y)[x]);
}

// The pixel in the middle of cell (c, r).
std::uint32_t CellCentre(const CpuLayer& t, const CJMatrixRoutine& rain, int c, int r)
{
    return t.Out(c * rain.m_nCellWidth + rain.m_nCellWidth / 2,
                 r * rain.m_nCellHeight + rain.m_nCellHeight / 2);
}

TEST(JMatrixRoutineTest, FontAndCellsFollowTheWidth)
{
    struct Case
    {
        int width, cellHeight;
    };
    for (const Case c : {Case{130, 14}, Case{260, 27}}) {
        CJMatrixRoutine rain;
        rain.Create(platform::Surface(c.width, c.width), c.width, c.width);
        EXPECT_EQ(rain.m_nCellHeight, c.cellHeight) << c.width;
        EXPECT_TRUE(rain.m_font.bold());
        EXPECT_TRUE(rain.m_font.fixedPitch() || QFontInfo(rain.m_font).fixedPitch());
        EXPECT_EQ(rain.m_nColumns, c.width / rain.m_nCellWidth + 1);
        EXPECT_EQ(rain.m_nRows, c.width / rain.m_nCellHeight + 1);
        EXPECT_EQ(static_cast<int>(rain.m_flicker.size()), static_cast<int>(rain.m_nColumns * 0.2));
    }
}

TEST(JMatrixRoutineTest, SourceShowsWhereverTheTextPictureIsBlack)
{
    platform::Surface source(130, 130);
    for (int y = 0; y < 130; ++y) {
        for (int x = 0; x < 130; ++x) {
            source.Row(y)[x] = 0xFF000000u | static_cast<std::uint32_t>((x * 2) << 16 | (y * 2) << 8 | 0x40);
        }
    }
    CJMatrixRoutine rain;
    rain.Create(source, 130, 130);
    rain.m_lines.append(QString());
    rain.StartBlock();
    platform::Surface out(130, 130);
    for (int frame = 0; frame < 60; ++frame) {
        rain.Render(out, source);
    }
    int textPixels = 0;
    for (int y = 0; y < 130; ++y) {
        for (int x = 0; x < 130; ++x) {
            const std::uint32_t text = Text(rain, x, y);
            const std::uint32_t shown = lmd::test::Rgb(out.Row(y)[x]);
            if (text == 0) {
                ASSERT_EQ(shown, lmd::test::Rgb(source.Row(y)[x])) << x << "," << y;
            } else {
                ++textPixels;
                ASSERT_EQ(shown, text) << x << "," << y;
                ASSERT_EQ(text & 0xFF0000u, text == kCursor ? 0x800000u : 0u); // green letters
            }
        }
    }
    EXPECT_GT(textPixels, 50);
}

TEST(JMatrixRoutineTest, RainAdvancesOneRowEverySecondFrame)
{
    crt::srand(5);
    CJMatrixRoutine rain;
    const platform::Surface source(130, 130);
    rain.Create(source, 130, 130);
    rain.m_bTyping = 0; // no cursor in the way
    platform::Surface out(130, 130);
    rain.Render(out, source); // align with the shared frame counter's parity
    const bool rainFrameNext = rain.m_nActiveColumns == 0;
    if (!rainFrameNext) {
        rain.Render(out, source);
    }
    // The next frame steps the rain; one column comes alive at its head row.
    std::vector<int> heads;
    rain.Render(out, source);
    ASSERT_EQ(rain.m_nActiveColumns, rainFrameNext ? 1 : 2);
    for (int frame = 0; frame < 10; ++frame) {
        std::vector<int> before;
        for (const auto& c : rain.m_columns) {
            before.push_back(c.active ? c.head : -1);
        }
        rain.Render(out, source); // no rain step
        for (std::size_t i = 0; i < rain.m_columns.size(); ++i) {
            EXPECT_EQ(rain.m_columns[i].active ? rain.m_columns[i].head : -1, before[i]) << frame;
        }
        rain.Render(out, source); // rain step: every live column one row on
        for (std::size_t i = 0; i < rain.m_columns.size(); ++i) {
            const auto& c = rain.m_columns[i];
            if (before[i] >= 0 && c.active) {
                EXPECT_EQ(c.head, before[i] + 1);
                if (c.head * rain.m_nCellHeight > 130) {
                    continue; // the head's cell is cut at the bottom
                }
                // Its head letter is bright green in the cell above the new head.
                const int x0 = static_cast<int>(i) * rain.m_nCellWidth;
                const int y0 = (c.head - 1) * rain.m_nCellHeight;
                bool bright = c.character == u' ';
                for (int y = y0; y < std::min(y0 + rain.m_nCellHeight, 130); ++y) {
                    for (int x = x0; x < std::min(x0 + rain.m_nCellWidth, 130); ++x) {
                        bright = bright || lmd::test::Rgb(out.Row(y)[x]) == 0x0000FF00u;
                    }
                }
                EXPECT_TRUE(bright) << "column " << i;
            }
        }
    }
}

TEST(JMatrixRoutineTest, ColumnFromTheTopWalksDownTheWholePicture)
{
    CJMatrixRoutine rain;
    const platform::Surface source(130, 130);
    rain.Create(source, 130, 130);
    rain.m_bTyping = 0;
    // Fill every column but one, so the step activates only when forced; give that
    // column a full run from the top.
    for (auto& c : rain.m_columns) {
        c = {true, 0, 0, u'a'};
    }
    rain.m_nActiveColumns = rain.m_nColumns;
    rain.m_columns[3] = {true, 0, rain.m_nRows, u'x'};
    platform::Surface out(130, 130);
    int steps = 0;
    while (rain.m_columns[3].active && steps < 200) {
        rain.Render(out, source);
        ++steps;
    }
    EXPECT_GE(steps, 2 * rain.m_nRows - 1);
    EXPECT_LE(steps, 2 * rain.m_nRows + 2);
}

TEST(JMatrixRoutineTest, CursorBlockSweepsTheMiddleRow)
{
    CpuLayer t(130, 130, 0x00000000);
    // The layer's set-up adds one empty line: the block moves one cell per frame
    // along row (rows - 2) / 2. Chosen again, two empty lines: the second line's row.
    CJMatrixRoutine probe;
    probe.Create(t.source, 130, 130);
    const int rows = probe.m_nRows;
    struct Case
    {
        int setups, row;
    };
    for (const Case c : {Case{1, (rows - 2) / 2}, Case{2, (rows - 3) / 2 + 1}}) {
        CpuLayer layer(130, 130, 0x00000000);
        for (int s = 0; s < c.setups; ++s) {
            layer.layer->SetEffect(EFFECT_TEXT_RAIN);
            layer.layer->Render(nullptr);
        }
        for (int frame = 2; frame < 6; ++frame) {
            layer.layer->Render(nullptr);
            EXPECT_EQ(CellCentre(layer, probe, frame, c.row), kCursor) << c.setups << " frame " << frame;
        }
    }
}

} // namespace
