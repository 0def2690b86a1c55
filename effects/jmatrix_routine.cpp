#include "effects/jmatrix_routine.h"

#include "platform/crt.h"
#include "platform/dialog.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cstring>

namespace {

constexpr std::uint32_t kBlack = 0xFF000000u;
constexpr std::uint32_t kGreen = 0xFF00FF00u;      // rain heads and flicker letters
constexpr std::uint32_t kLightGreen = 0xFF80FF80u; // typed text and cursor
constexpr char16_t kBlockChar = 1;                 // draws a solid cell instead of a glyph
constexpr int kGlyphCount = 256;

// Frames rendered by all instances together; the rain moves on its even counts.
std::uint64_t g_frameCounter = 0;

char16_t RandomLetter()
{
    return static_cast<char16_t>(u'a' + crt::rand() % 26);
}

} // namespace

QFont CMatrixGrid::GridFont(int height)
{
    // A positive height asks for the character cell's height.
    QFont font = platform::WindowsFontFromHeight(QStringLiteral("Courier"), std::max(height, 1), 700);
    font.setStyleHint(QFont::Monospace);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

void CMatrixGrid::CreateGrid(const QFont& font, int width, int height)
{
    m_nWidth = width;
    m_nHeight = height;
    m_font = font;
    const QFontMetrics metrics(m_font);
    m_nAdvance = std::max(metrics.averageCharWidth(), 1);
    m_nCellWidth = m_nAdvance + 2;
    m_nCellHeight = std::max(metrics.height(), 1);
    m_nColumns = m_nWidth / m_nCellWidth + 1;
    m_nRows = m_nHeight / m_nCellHeight + 1;

    m_rainImage.Create(m_nWidth, m_nHeight);
    m_rainImage.Fill(0);

    // Glyph masks, each centred in its cell as the letters are drawn.
    QImage cell(m_nCellWidth, m_nCellHeight, QImage::Format_RGB32);
    const std::size_t cellSize =
        static_cast<std::size_t>(m_nCellWidth) * static_cast<std::size_t>(m_nCellHeight);
    m_glyphs.assign(cellSize * kGlyphCount, 0);
    for (int code = 32; code < kGlyphCount; ++code) {
        cell.fill(Qt::black);
        {
            QPainter painter(&cell);
            painter.setFont(m_font);
            painter.setPen(Qt::white);
            painter.drawText(QRect(0, 0, m_nCellWidth, m_nCellHeight), Qt::AlignHCenter | Qt::AlignTop,
                             QString(QChar(code)));
        }
        std::uint8_t* mask = m_glyphs.data() + cellSize * static_cast<std::size_t>(code);
        for (int y = 0; y < m_nCellHeight; ++y) {
            const auto* row = reinterpret_cast<const std::uint32_t*>(cell.constScanLine(y));
            for (int x = 0; x < m_nCellWidth; ++x) {
                mask[y * m_nCellWidth + x] = (row[x] & 0xFFFFFFu) != 0;
            }
        }
    }

    m_columns.assign(static_cast<std::size_t>(m_nColumns), RainColumn{});
    m_nActiveColumns = 0;
    m_nFlickerCells = static_cast<int>(m_nColumns * 0.2);
    m_flicker.assign(static_cast<std::size_t>(m_nFlickerCells), FlickerCell{});
    m_nActiveFlicker = 0;
}

QFont CJMatrixRoutine::RequestedFont(int width)
{
    return GridFont(static_cast<int>(width * 0.1 + 1));
}

void CJMatrixRoutine::Create(const platform::Surface& /*source*/, int width, int height)
{
    const int w = std::max(width, 1);
    const int h = std::max(height, 1);
    CreateGrid(RequestedFont(w), w, h);
    m_textImage.Create(w, h);
}

void CJMatrixRoutine::StartBlock()
{
    const int count = static_cast<int>(m_lines.size());
    if (count == 0) {
        return;
    }
    int i = m_nLastLine + 2;
    m_nFirstLine = i;
    if (i >= count) {
        m_nFirstLine = i = 0;
    }
    m_nLastLine = m_nCurrentLine = i;
    // The block runs to the line before a control line (first character code 1)
    // or to the end of the lines.
    for (;;) {
        const QString& line = m_lines[i];
        if (!line.isEmpty() && line[0].unicode() == kBlockChar) {
            m_nLastLine = i - 1;
            break;
        }
        if (i == count - 1) {
            break;
        }
        m_nLastLine = ++i;
    }
    // Centre the block.
    m_linePos.resize(static_cast<std::size_t>(count));
    int longest = 0;
    for (int k = m_nFirstLine; k <= m_nLastLine; ++k) {
        const int length = static_cast<int>(m_lines[k].size());
        longest = std::max(longest, length);
        Cell& pos = m_linePos[static_cast<std::size_t>(k)];
        pos.column = (m_nWidth - length * m_nAdvance) / 2 / std::max(m_nCellWidth, 1);
        pos.row = (m_nFirstLine + m_nRows - m_nLastLine - 2) / 2 + (k - m_nFirstLine);
    }
    m_typed.clear();
    m_typed.reserve(longest);
    m_settle.clear();
    m_settle.reserve(static_cast<std::size_t>(longest));
}

char16_t CJMatrixRoutine::RandomChar() const
{
    return static_cast<char16_t>(crt::rand() % (m_nMaxChar - 31) + 32);
}

void CMatrixGrid::FlickerStep()
{
    if (m_nActiveFlicker < m_nFlickerCells && crt::rand() % 101 == 0) {
        for (int tries = 0; tries <= m_nFlickerCells; ++tries) {
            FlickerCell& cell = m_flicker[static_cast<std::size_t>(crt::rand() % m_nFlickerCells)];
            if (cell.active) {
                continue;
            }
            cell.active = true;
            cell.life = crt::rand() % 501 + 300;
            cell.column = crt::rand() % (m_nColumns + 1);
            cell.row = crt::rand() % (m_nRows + 1);
            ++m_nActiveFlicker;
            break;
        }
    }
    for (FlickerCell& cell : m_flicker) {
        if (!cell.active) {
            continue;
        }
        if (cell.life > 0) {
            cell.character = RandomLetter();
            --cell.life;
        } else {
            cell.active = false;
            --m_nActiveFlicker;
        }
    }
}

void CJMatrixRoutine::TypingStep()
{
    if (m_bTyping && m_nCursorChar != kBlockChar) {
        m_nCursorChar = RandomChar();
    }
    if (m_nCurrentLine < 0 || m_nCurrentLine >= static_cast<int>(m_lines.size())) {
        return;
    }
    const QString& line = m_lines[m_nCurrentLine];
    const int n = static_cast<int>(line.size());
    const int lineColumn = m_linePos[static_cast<std::size_t>(m_nCurrentLine)].column;
    // Reveal: characters reached by the cursor show random characters until they
    // settle on their true value.
    const qsizetype reach = m_bTyping ? m_nCursorColumn - lineColumn : n;
    bool finished =
        RevealLine(line, reach, m_nSettleSteps, m_typed, m_settle, [this] { return RandomChar(); });
    if (m_bTyping && n > 0 && m_nCursorColumn < m_nColumns) {
        finished = false;
    }
    if (!finished || m_nCurrentLine >= m_nLastLine) {
        return;
    }
    ++m_nCurrentLine;
    m_typed.clear();
    m_settle.clear();
    if (m_bTyping) {
        m_nCursorColumn = 0;
        m_nCursorRow = m_linePos[static_cast<std::size_t>(m_nCurrentLine)].row;
    }
}

void CMatrixGrid::RainStep()
{
    if (m_nActiveColumns < m_nColumns) {
        for (int tries = 0; tries <= m_nColumns; ++tries) {
            const int c = crt::rand() % m_nColumns;
            RainColumn& column = m_columns[static_cast<std::size_t>(c)];
            if (column.active) {
                continue;
            }
            column.active = true;
            // Half the columns start somewhere down the picture, half stop early.
            column.head = 0;
            if ((crt::rand() & 1) == 0 && m_nRows > 2) {
                column.head = crt::rand() % (m_nRows - 2);
            }
            column.end = m_nRows;
            if ((crt::rand() & 1) == 0 && m_nRows - column.head - 2 > 0) {
                column.end = std::min(column.head + crt::rand() % (m_nRows - column.head - 2) + 3, m_nRows);
            }
            column.character = crt::rand() % 5 != 0 ? RandomLetter() : u' ';
            DrawRainHead(c);
            ++column.head;
            ++m_nActiveColumns;
            break;
        }
    }
    for (int c = 0; c < m_nColumns; ++c) {
        RainColumn& column = m_columns[static_cast<std::size_t>(c)];
        if (!column.active) {
            continue;
        }
        DrawRainTrail(c);
        if (column.head < column.end) {
            DrawRainHead(c);
            ++column.head;
        } else {
            column.active = false;
            --m_nActiveColumns;
        }
    }
}

void CMatrixGrid::DrawRainHead(int c)
{
    RainColumn& column = m_columns[static_cast<std::size_t>(c)];
    if (column.character != u' ') {
        column.character = RandomLetter();
    }
    DrawCellChar(m_rainImage, c, column.head, column.character, kGreen);
}

void CMatrixGrid::DrawRainTrail(int c)
{
    const RainColumn& column = m_columns[static_cast<std::size_t>(c)];
    const auto g = static_cast<std::uint32_t>(75 + crt::rand() % 76);
    DrawCellChar(m_rainImage, c, column.head - 1, column.character, kBlack | g << 8);
}

void CMatrixGrid::FillRect(platform::Surface& image, int x0, int y0, int x1, int y1,
                           std::uint32_t colour) const
{
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, image.Width());
    y1 = std::min(y1, image.Height());
    for (int y = y0; y < y1; ++y) {
        std::fill(image.Row(y) + x0, image.Row(y) + std::max(x1, x0), colour);
    }
}

void CMatrixGrid::PutGlyph(platform::Surface& image, int x, int y, char16_t ch, std::uint32_t colour) const
{
    if (ch >= kGlyphCount) {
        ch = u'?'; // the masks cover Latin-1, the typing's whole character range
    }
    const int cw = m_nCellWidth;
    const int chh = m_nCellHeight;
    const std::uint8_t* mask = m_glyphs.data() + static_cast<std::size_t>(cw) * chh * ch;
    const int gx0 = std::max(0, -x);
    const int gx1 = std::min(cw, image.Width() - x);
    const int gy0 = std::max(0, -y);
    const int gy1 = std::min(chh, image.Height() - y);
    for (int gy = gy0; gy < gy1; ++gy) {
        std::uint32_t* row = image.Row(y + gy) + x;
        const std::uint8_t* bits = mask + gy * cw;
        for (int gx = gx0; gx < gx1; ++gx) {
            if (bits[gx]) {
                row[gx] = colour;
            }
        }
    }
}

void CMatrixGrid::DrawCellChar(platform::Surface& image, int c, int r, char16_t ch,
                               std::uint32_t colour) const
{
    const int x = c * m_nCellWidth;
    const int y = r * m_nCellHeight;
    FillRect(image, x, y, x + m_nCellWidth, y + m_nCellHeight, kBlack);
    PutGlyph(image, x, y, ch, colour);
}

void CMatrixGrid::DrawText(platform::Surface& image, int c, int r, QStringView text,
                           std::uint32_t colour) const
{
    const int n = static_cast<int>(text.size());
    if (n == 0) {
        return;
    }
    const int x = c * m_nCellWidth;
    const int y = r * m_nCellHeight;
    if (n == 1) {
        if (text[0].unicode() == kBlockChar) {
            FillRect(image, x, y, x + m_nCellWidth, y + m_nCellHeight, colour);
        } else {
            DrawCellChar(image, c, r, text[0].unicode(), colour);
        }
        return;
    }
    // A string runs at the font's advance from the cell's left edge.
    FillRect(image, x, y, x + n * m_nAdvance, y + m_nCellHeight, kBlack);
    const int centring = (m_nCellWidth - m_nAdvance) / 2;
    for (int k = 0; k < n; ++k) {
        PutGlyph(image, x + k * m_nAdvance - centring, y, text[k].unicode(), colour);
    }
}

void CJMatrixRoutine::Compose()
{
    for (int y = 0; y < m_nHeight; ++y) {
        std::memcpy(m_textImage.Row(y), m_rainImage.Row(y), static_cast<std::size_t>(m_nWidth) * 4);
    }
    for (const FlickerCell& cell : m_flicker) {
        if (cell.active) {
            DrawCellChar(m_textImage, cell.column, cell.row, cell.character, kGreen);
        }
    }
    if (m_nCurrentLine >= 0 && m_nCurrentLine < static_cast<int>(m_lines.size())) {
        for (int k = m_nFirstLine; k < m_nCurrentLine; ++k) {
            const Cell pos = m_linePos[static_cast<std::size_t>(k)];
            DrawText(m_textImage, pos.column, pos.row, m_lines[k], kLightGreen);
        }
        const Cell pos = m_linePos[static_cast<std::size_t>(m_nCurrentLine)];
        DrawText(m_textImage, pos.column, pos.row, m_typed, kLightGreen);
    }
    if (m_bTyping) {
        const char16_t cursor = static_cast<char16_t>(m_nCursorChar);
        DrawText(m_textImage, m_nCursorColumn, m_nCursorRow, QStringView(&cursor, 1), kLightGreen);
    }
}

void CJMatrixRoutine::Render(platform::Surface& target, const platform::Surface& source)
{
    if (m_textImage.IsNull()) {
        return;
    }
    ++g_frameCounter;
    FlickerStep();
    TypingStep();
    ++m_nCursorColumn;
    if (g_frameCounter % 2 == 0) {
        RainStep();
    }
    Compose();
    // The source shows wherever the text picture is black.
    const int w = std::min({m_nWidth, target.Width(), source.Width()});
    const int h = std::min({m_nHeight, target.Height(), source.Height()});
    for (int y = 0; y < h; ++y) {
        const std::uint32_t* text = m_textImage.Row(y);
        const std::uint32_t* src = source.Row(y);
        std::uint32_t* out = target.Row(y);
        for (int x = 0; x < w; ++x) {
            out[x] = (text[x] & 0xFFFFFFu) != 0 ? text[x] : src[x];
        }
    }
}
