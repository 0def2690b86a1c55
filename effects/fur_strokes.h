#pragma once
// The fur: short translucent antialiased strokes coloured by the source, piling up
// on the output; dark pixels give short strokes, bright ones long vertical
// strokes, middle ones horizontal.
#include <cstdint>
#include <vector>

namespace platform {
class Surface;
}

class CFurStrokes
{
public:
    // Also makes the stroke masks of every brightness (see below).
    void SetSize(int width, int height);

    // Adds m_nStrokes strokes to output; pixels are the source's bottom-up
    // 0x00RRGGBB array of width x height.
    void Draw(platform::Surface& output, const std::uint32_t* pixels) const;

    int m_nWidth = 0;
    int m_nHeight = 0;
    int m_nStrokes = 0; // (int)(width x height x 0.005)
    float m_fPi = 3.14159f;

private:
    // Each stroke runs from (x - dx, y - dy) to (x + dx, y + dy) with whole dx and
    // dy of at most kReach, so what it covers around (x, y) depends on dx and dy
    // only: the opacities BlendStroke gives, row by row from the first covered
    // pixel to the last, made once for each (dx, dy). SetSize makes those of
    // every brightness, so that frames allocate nothing; after a change of
    // m_fPi the missing ones are made when first drawn.
    static constexpr int kReach = 20;
    struct Half
    {
        int dx, dy;
    };
    // Brightness (red + green + blue) turns the stroke from pointing up (dark)
    // through horizontal (mid grey) to vertical and long (white).
    Half HalfStroke(int brightness) const;
    struct Run
    {
        int dy, dx, count;
        std::size_t first; // into opacity
    };
    struct Mask
    {
        bool made = false;
        std::vector<Run> runs;
        std::vector<std::uint8_t> opacity;
    };
    const Mask& MaskFor(int dx, int dy) const;
    mutable std::vector<Mask> m_masks; // a cache: made in SetSize, completed while drawing
};

// Blends an antialiased straight stroke of the given width with flat ends, from
// (x1, y1) to (x2, y2), into target: colour 0x00RRGGBB at opacity alpha (0..255;
// more counts as 255) scaled by each pixel's coverage. Pixel centres lie on
// integer coordinates. A stroke of length 0 covers nothing.
void BlendStroke(platform::Surface& target, float x1, float y1, float x2, float y2, float width,
                 std::uint32_t colour, int alpha);
