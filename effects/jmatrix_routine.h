#pragma once
// Text rain: falling columns of green letters, flickering single letters and a
// typing display (lines revealed character by character behind a block cursor),
// laid over the source wherever the text picture is not black.
#include "platform/surface.h"

#include <QFont>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <cstdint>
#include <vector>

// The grid a text rain draws on: character cells of one bold "Courier", the
// columns of letters falling down it (drawn into the rain picture, which is
// never cleared) and single flickering letters. Letters are drawn from glyph
// masks rendered once per CreateGrid, so a step paints without a QPainter and
// without allocating; every drawing is clipped to the picture, so cells beyond
// it (the grid is one cell wider and higher than the picture) draw nothing.
class CMatrixGrid
{
public:
    struct RainColumn
    {
        bool active = false;
        int head = 0;
        int end = 0;
        char16_t character = u' ';
    };
    struct FlickerCell
    {
        bool active = false;
        int life = 0;
        int column = 0;
        int row = 0;
        char16_t character = u' ';
    };

    // "Courier" bold with a character cell height pixels high.
    static QFont GridFont(int height);

    // (Re)builds the cells, glyph masks, the black rain picture and the column
    // and flicker records for width x height (both positive) in font.
    void CreateGrid(const QFont& font, int width, int height);

    // Spawns at most one column, then moves every live column one row down.
    void RainStep();
    // Lights a free flicker cell now and then; every lit one changes its letter.
    void FlickerStep();

    // One letter centred in cell (c, r) on black.
    void DrawCellChar(platform::Surface& image, int c, int r, char16_t ch, std::uint32_t colour) const;
    // Text from the left edge of cell (c, r) at the font's advance, on black; a
    // single character is centred in its cell, and code 1 alone fills the cell.
    void DrawText(platform::Surface& image, int c, int r, QStringView text, std::uint32_t colour) const;
    void FillRect(platform::Surface& image, int x0, int y0, int x1, int y1, std::uint32_t colour) const;

    // One reveal step of line: each character below reach that shows another
    // character takes a new one from scramble() and counts it, until settleSteps
    // counts let it show its real value; a character reached for the first time
    // is appended as a scramble character with a count of 0. True when the whole
    // line is reached and every character shows its real value.
    template <typename Scramble>
    static bool RevealLine(QStringView line, qsizetype reach, int settleSteps, QString& shown,
                           std::vector<int>& counts, Scramble scramble)
    {
        bool done = true;
        for (qsizetype i = 0; i < line.size(); ++i) {
            if (i >= reach)
                return false;
            if (i < shown.size()) {
                int& count = counts[static_cast<std::size_t>(i)];
                if (count >= settleSteps) {
                    shown[i] = line[i];
                } else if (shown[i] != line[i]) {
                    shown[i] = QChar(scramble());
                    ++count;
                    done = false;
                }
            } else {
                shown.append(QChar(scramble()));
                counts.push_back(0);
                done = false;
            }
        }
        return done;
    }

    int m_nWidth = 0;
    int m_nHeight = 0;
    int m_nCellHeight = 0;
    int m_nCellWidth = 0;
    int m_nRows = 0;
    int m_nColumns = 0;
    std::vector<RainColumn> m_columns;
    int m_nActiveColumns = 0;
    int m_nFlickerCells = 0;
    std::vector<FlickerCell> m_flicker;
    int m_nActiveFlicker = 0;
    platform::Surface m_rainImage;
    QFont m_font;
    int m_nAdvance = 0; // the font's character advance

private:
    void DrawRainHead(int column);
    void DrawRainTrail(int column);
    // Paints the glyph of ch with its cell's top-left corner at (x, y), clipped.
    void PutGlyph(platform::Surface& image, int x, int y, char16_t ch, std::uint32_t colour) const;

    std::vector<std::uint8_t> m_glyphs; // 256 masks of cell width x cell height, glyph centred
};

class CJMatrixRoutine : public CMatrixGrid
{
public:
    // (Re)builds the font, the glyph masks, the text and rain pictures and the
    // column and flicker records for width x height. Lines are kept.
    void Create(const platform::Surface& source, int width, int height);

    // Selects the next block of lines and lays it out, centred.
    void StartBlock();

    // One frame: steps, composes the text picture and lays it over source into target.
    void Render(platform::Surface& target, const platform::Surface& source);

    struct Cell
    {
        int column = 0;
        int row = 0;
    };

    // Request of the font: "Courier" bold, (int)(width x 0.1 + 1) pixels high.
    static QFont RequestedFont(int width);

    int m_nMaxChar = 255;
    int m_nSettleSteps = 20;
    int m_bTyping = 1;
    int m_nCursorColumn = 0;
    int m_nCursorRow = 0;
    int m_nCursorChar = 1;
    QStringList m_lines;
    int m_nFirstLine = 0;
    int m_nLastLine = 0;
    std::vector<Cell> m_linePos; // per line index; set for the lines of the block
    int m_nCurrentLine = -1;
    QString m_typed;
    std::vector<int> m_settle;
    platform::Surface m_textImage;

private:
    void TypingStep();
    void Compose();
    char16_t RandomChar() const;
};
