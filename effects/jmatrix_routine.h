#pragma once
// Text rain: falling columns of green letters, flickering single letters and a
// typing display (lines revealed character by character behind a block cursor),
// laid over the source wherever the text picture is not black.
#include <QFont>
#include <QImage>
#include <QString>
#include <QStringList>
#include <vector>

namespace platform {
class Surface;
}

class CJMatrixRoutine
{
public:
    // (Re)builds the font, the text and rain pictures and the column and flicker
    // records for width x height.
    void Create(const platform::Surface& source, int width, int height);

    // Selects the next block of lines and lays it out, centred.
    void StartBlock();

    // One frame: steps, composes the text picture and lays it over source into target.
    void Render(platform::Surface& target, const platform::Surface& source);

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
    struct Cell
    {
        int column = 0;
        int row = 0;
    };

    int m_nWidth = 0;
    int m_nHeight = 0;
    int m_nCellHeight = 0;
    int m_nCellWidth = 0;
    int m_nRows = 0;
    int m_nColumns = 0;
    int m_nMaxChar = 255;
    int m_nSettleSteps = 20;
    int m_bTyping = 1;
    int m_nCursorColumn = 0;
    int m_nCursorRow = 0;
    int m_nCursorChar = 1;
    QStringList m_lines;
    int m_nFirstLine = 0;
    int m_nLastLine = 0;
    std::vector<Cell> m_linePos;
    int m_nCurrentLine = -1;
    QString m_typed;
    std::vector<int> m_settle;
    QImage m_textImage;
    std::vector<RainColumn> m_columns;
    int m_nActiveColumns = 0;
    int m_nFlickerCells = 0;
    std::vector<FlickerCell> m_flicker;
    int m_nActiveFlicker = 0;
    QImage m_rainImage;
    QFont m_font;
};
