#pragma once
// Drifting clouds: three random cloud maps scrolled at different speeds and laid
// over the source with a coverage that grows with the clouds' brightness.
// Pixels are 32-bit 0x00RRGGBB, bottom-up rows, width x height.
#include <cstdint>
#include <vector>

class CCloudsRoutine
{
public:
    // Set-up: makes the three maps for width x height from a time-seeded rand.
    void Create(int width, int height);

    // Fills map (width x height) with a random midpoint-displacement cloud.
    void GenerateCloudMap(std::vector<int>& map);

    // Advances the map offsets by the drift and blends the clouds over source.
    void Render(std::uint32_t* destination, const std::uint32_t* source);

    // Follows the mouse: the drift points against its last move (unflipped client point).
    void SetDrift(int x, int y);

    // Coverage in percent (0..100) for an average cloud value r (0..255).
    static int Coverage(int r);

    int m_nRoughness = 8;
    int m_nDriftStep = 1;
    int m_nWidth = 0;
    int m_nHeight = 0;
    std::vector<int> m_map[3];
    int m_offset[3][2] = {}; // (x, y) per map
    int m_drift[2] = {1, 1};
    int m_lastMouse[2] = {};

private:
    std::vector<int> m_grid; // 256 x 256 work grid of GenerateCloudMap
    // Render, one row at a time: the sum of the three maps per pixel, then per
    // byte of the row the cloud's part (value x coverage) and the source's weight.
    std::vector<std::uint16_t> m_sums;
    std::vector<std::uint16_t> m_cloud;
    std::vector<std::uint16_t> m_keep;
};
