#pragma once
// CShadeButtonVq: a CButtonVq whose background is a generated picture in the
// system button colours (shaded noise, bumps or strokes, chosen by a kind), and
// a lighter copy of it while a flat button is hovered. The pictures are made
// once by SetShade at the button's size of that moment.
#include "controls/button_vq.h"
#include "controls/cex_dib.h"

class CShadeButtonVq : public CButtonVq
{
public:
    // The shade kinds SetShade knows; any other value gives plain noise.
    enum ShadeKind : int
    {
        SHS_NOISE = 0,
        SHS_DIAGSHADE = 1, // light at the top left, dark at the bottom right
        SHS_HSHADE = 2,    // light at the top
        SHS_VSHADE = 3,    // light at the left
        SHS_HBUMP = 4,     // a horizontal bump, flat in the middle rows
        SHS_VBUMP = 5,     // the same over the columns
        SHS_SOFTBUMP = 6,  // both bumps together, limited to 8 .. 247
        SHS_HARDBUMP = 7,  // the horizontal bump with rounded bands at the sides
        SHS_METAL = 8,     // random diagonal strokes over a diagonal shade
    };

    using CButtonVq::CButtonVq;

    // Builds the normal and the hovered background at the button's current size
    // (nothing for a button without area). The pixels are 8-bit indices into a
    // 256-colour ramp from the button shadow (0) through the face (about 128) to
    // the highlight (255), plus noise from crt::rand() of up to 2 * granularity.
    // The hovered picture's colours move highlight % toward the highlight colour.
    // coloring (percent) tints both pictures toward colour; 0 leaves them grey.
    void SetShade(int shadeID = SHS_NOISE, int granularity = 8, int highlight = 10, int coloring = 0,
                  platform::COLORREF color = 0);

    // The generated pictures (empty before SetShade).
    const CCeXDib& NormalImage() const { return m_dNormal; }
    const CCeXDib& HoverImage() const { return m_dh; }

protected:
    void OnDrawBackground(QPainter& painter, QRect& rect) override;

private:
    CCeXDib m_dNormal; // idle background
    CCeXDib m_dh;      // hovered background
};
