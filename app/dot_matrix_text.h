#pragma once
// CDotMatrixText: draws a short text with the glyphs of a dot-matrix strip.
//
// A glyph strip is a bitmap of 3 rows of 32 cells; cell (row, column) holds the
// character 32 + 32 * row + column (printable ASCII). Its pixels use exactly three
// colours: kStripLit for lit dots, kStripUnlit for unlit dots and black for the
// background. LoadGlyphs recolours the strip once (lit, unlit, key colours);
// Draw copies one cell per character with the key colour left out, in the
// logical units of the space it is given, so the text scales with the clock.
#include "app/clock_drawing.h"
#include "platform/surface.h"

#include <QString>

class CDotMatrixText
{
public:
    // The strip's own colours.
    static constexpr COLORREF kStripLit = 0xFFB53F;
    static constexpr COLORREF kStripUnlit = 0x674017;
    // Left out when drawing: the background's colour after LoadGlyphs.
    static constexpr COLORREF kTransparent = 0x010101;

    // A drawer of strip stripId, with cells of glyph size plus gaps, and lines
    // of charsPerLine characters (0: as many as the text has).
    CDotMatrixText(int stripId, int glyphWidth, int glyphHeight, int gapX, int gapY, int lines,
                   int charsPerLine);

    // A new text; the same text again changes nothing.
    void SetText(const QString& text);
    const QString& Text() const { return m_strText; }

    void SetColors(COLORREF lit, COLORREF unlit, COLORREF key);

    // Loads the strip and recolours it: lit and unlit dots to their colours,
    // the background to the key colour. A missing strip leaves nothing to draw.
    void LoadGlyphs();

    // Draws the text with its top-left corner at logical (x, y) of space into
    // dc; the key colour kTransparent is left out, so an unlit colour of that
    // value leaves the unlit dots transparent. Characters outside 32..127 are
    // skipped with their cell.
    void Draw(platform::Surface& dc, int x, int y, const LogicalSpace& space) const;

    const platform::Surface& Strip() const { return m_strip; }

private:
    QString m_strText;
    COLORREF m_crUnlit = kStripUnlit;
    COLORREF m_crLit = kStripLit;
    COLORREF m_crKey = kTransparent;
    int m_nStripId;
    int m_nGlyphWidth;
    int m_nGlyphHeight;
    int m_nGapX;
    int m_nGapY;
    int m_nLines;
    int m_nCharsPerLine;
    platform::Surface m_strip;
};
