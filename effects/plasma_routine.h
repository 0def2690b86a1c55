#pragma once
// A palette plasma (sums of cosines over moving phases) blended into the previous
// output and mixed with the source.
// Pixels are 32-bit 0x00RRGGBB, bottom-up rows, width x height.
#include <array>
#include <cstdint>
#include <vector>

class CPlasmaRoutine
{
public:
    // Set-up: index buffer, cosine table, palette, first index frame; blend 30,
    // source share 25 %.
    void Create(int width, int height);

    // Computes the index frame of the current phases and advances the phases.
    void Step();

    // Blends the palette picture into destination, mixes in source, then steps.
    // m_nBlend must lie in 0..256, m_nSourceShare in 0..100.
    void Render(const std::uint32_t* source, std::uint32_t* destination);

    int m_nWidth = 0;
    int m_nHeight = 0;
    int m_nBlend = 255;
    int m_nSourceShare = 0;
    std::vector<std::uint8_t> m_index;
    std::array<std::uint32_t, 256> m_palette = {}; // 0x00RRGGBB
    std::array<int, 256> m_cos = {};
    std::uint8_t m_startPhase[4] = {}; // phases 1..4 of the next frame (bytes wrap)

private:
    std::vector<std::uint8_t> m_columnSums; // Step: the column phases' part of each index
    std::vector<std::uint32_t> m_colours;   // Render: one row of palette colours
};
