#pragma once
// Ripples on water: two integer height fields stepped with a damped wave rule,
// and a picture drawn as seen through the rippling surface (each pixel is taken
// from a source pixel displaced by the local slope, optionally shaded by it).
// Pixels are 32-bit 0x00RRGGBB, bottom-up rows, both arrays width x height.
#include <cstdint>
#include <vector>

class CWaterRoutine
{
public:
    // (Re)starts with two still fields of width x height; page 0.
    void Create(int width, int height);

    // Draws the water over source into destination (interior pixels only), then
    // advances the simulation by one step.
    void Render(const std::uint32_t* source, std::uint32_t* destination);

    // Adds a disc of height to the field of the page (callers pass m_nPage); the
    // disc is clipped to the interior. A negative x or y picks a random position.
    void AddDrop(int x, int y, int radius, int height, int page);

    int m_nWidth = 0;
    int m_nHeight = 0;
    int m_bLight = 1;   // 1: shade by slope; 0: plain refraction
    int m_nPage = 0;    // which field the next step writes
    int m_nDensity = 5; // damping shift
    std::vector<int> m_pField1;
    std::vector<int> m_pField2;

private:
    // Render, one row at a time: where each pixel looks and what it sees there,
    // and the column sums of the step.
    std::vector<int> m_from;
    std::vector<std::uint32_t> m_seen;
    std::vector<int> m_columns;
};
