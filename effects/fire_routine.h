#pragma once
// Flames rising from the bottom of the picture and fading into the source: a heat
// buffer reseeded along one row, spread upwards and coloured through a palette.
// Pixels are 32-bit 0x00RRGGBB, bottom-up rows, width x height.
#include <array>
#include <cstdint>
#include <vector>

class CFireRoutine
{
public:
    // Set-up for a width x height picture: blend 30, a cold fire buffer of
    // height + 3 rows, the palette.
    void Create(int width, int height);

    // Builds the heat -> colour palette.
    void InitFire();

    // One frame: seed, spread, colour into destination, fade it into source.
    // m_nBlend must lie in 0..256.
    void Render(const std::uint32_t* source, std::uint32_t* destination);

    int m_nBlackEntries = 50;
    int m_nWidth = 0;
    int m_nHeight = 0; // picture height + 3
    int m_nSeedRow = 2;
    int m_nSeedChance = 10;
    int m_nMaxRun = 35;
    int m_nBlend = 255;
    std::array<std::uint32_t, 4> m_colors = {0x000000, 0x0000FF, 0x00FFFF, 0xFFFFFF}; // Windows 0x00BBGGRR
    std::vector<std::uint8_t> m_fire;              // heat per cell, row by row
    std::array<std::uint32_t, 256> m_palette = {}; // 0x00RRGGBB
    std::vector<int> m_rowStart;                   // start of each row in m_fire

private:
    void Seed();
    void Spread();
    int SpreadCell(int row, int column) const;

    std::vector<std::uint8_t> m_before;   // the heat before this frame's spread
    std::vector<std::uint32_t> m_colours; // one row of palette colours
};
