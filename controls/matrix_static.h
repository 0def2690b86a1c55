#pragma once
// CMatrixStatic: a static control that shows a short text as a dot-matrix LED
// display. The glyphs come from a glyph strip bitmap (3 rows of 32 cells, cell
// (row, column) holding character 32 + 32 * row + column) drawn in three fixed
// colours: kStripLit lit dots, kStripUnlit unlit dots and kStripBackground. The
// control shows a copy of the strip with those three colours replaced by its
// own lit, unlit and background colours, one cell per character.
//
// The control has a 2-pixel sunken client edge; SetCharsPerLine and
// SetLineCount size it so that its client area holds the cells exactly.
// Characters outside 32..127 show as blank cells in the background colour.
#include "platform/surface.h"

#include <QFrame>
#include <QImage>
#include <QString>
#include <span>

// One colour replacement of CreateMappedBitmap.
struct ColorMap
{
    platform::COLORREF from;
    platform::COLORREF to;
};

// A copy of picture (as Format_RGB32) in which every pixel of a map's "from"
// colour has its "to" colour; other pixels stay as they are. The first entry
// that matches a pixel wins.
QImage CreateMappedBitmap(const QImage& picture, std::span<const ColorMap> map);

class CMatrixStatic : public QFrame
{
public:
    // The strip's own three colours.
    static constexpr platform::COLORREF kStripLit = 0xFFB53F;
    static constexpr platform::COLORREF kStripUnlit = 0x674017;
    static constexpr platform::COLORREF kStripBackground = 0x000000;

    explicit CMatrixStatic(QWidget* parent = nullptr);

    // The strip bitmap resource and its cell layout: glyphs of width by height
    // dots, followed by gapX pixels to the right and gapY below.
    void SetGlyphBitmap(int bitmapId, int width, int height, int gapX, int gapY);
    // The colours that replace the strip's lit, unlit and background colours.
    void SetDotColors(platform::COLORREF lit, platform::COLORREF unlit, platform::COLORREF background);
    // A new text; the same text again changes nothing. The first text sets the
    // characters per line when they are still 0.
    void SetDisplayText(const QString& text);
    // Characters per line (kept when already set) and the control's width: n
    // cells plus the edge; the height keeps the client height.
    void SetCharsPerLine(int n);
    // Lines (kept when already set; 0 means one line that never wraps) and the
    // control's height: n cells plus the edge; the width keeps the client width.
    void SetLineCount(int n);

    const QString& DisplayText() const { return m_strText; }
    int CharsPerLine() const { return m_nCharsPerLine; }
    int LineCount() const { return m_nLines; }
    platform::COLORREF LitColor() const { return m_crLit; }
    platform::COLORREF UnlitColor() const { return m_crUnlit; }
    platform::COLORREF BackgroundColor() const { return m_crBackground; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int CellWidth() const { return m_nCharWidth + m_nGapX; }
    int CellHeight() const { return m_nCharHeight + m_nGapY; }
    // The strip in the current colours, made again only after a change.
    const QImage& MappedStrip();

    QString m_strText;
    platform::COLORREF m_crUnlit = kStripUnlit;
    platform::COLORREF m_crLit = kStripLit;
    platform::COLORREF m_crBackground = kStripBackground;
    int m_nBitmapId = 0;
    int m_nCharWidth = 0;
    int m_nCharHeight = 0;
    int m_nGapX = 0;
    int m_nGapY = 0;
    int m_nLines = 0;
    int m_nCharsPerLine = 0;
    QImage m_strip;  // the resource as loaded
    QImage m_mapped; // the strip recoloured; null when it must be made again
};
