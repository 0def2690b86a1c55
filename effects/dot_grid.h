#pragma once
// The dot grid: the source redrawn as a grid of coloured dots with soft halos.
#include <cstdint>

namespace platform {
class Surface;
}

class CDotGrid
{
public:
    // Draws the grid onto output (which the caller has cleared to black); pixels are
    // the source's bottom-up 0x00RRGGBB array of width x height.
    void Draw(platform::Surface& output, const std::uint32_t* pixels) const;

    int m_nWidth = 0;
    int m_nHeight = 0;
};
