#pragma once
// A layer over a hand-made source picture, for the CPU effects' tests: the source
// is a Surface of the layer's size, pixels are read back from the layer's output
// by buffer row (bottom-up) or device row (top-down).
#include "effects/effect_layer.h"
#include "platform/surface.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace lmd::test {

// 0x00RRGGBB of a pixel, whatever its fourth byte.
inline std::uint32_t Rgb(std::uint32_t pixel)
{
    return pixel & 0xFFFFFFu;
}

struct CpuLayer
{
    // colour(x, y) gives the source's 0x00RRGGBB at device column x, row y.
    CpuLayer(int w, int h, const std::function<std::uint32_t(int, int)>& colour)
        : width(w), height(h), source(w, h)
    {
        Paint(colour);
        layer = std::make_unique<CEffectLayer>(w, h);
        layer->Create(&source);
    }
    CpuLayer(int w, int h, std::uint32_t colour) : CpuLayer(w, h, [colour](int, int) { return colour; }) {}

    // Repaints the source and recaptures it (as the main window does after a change).
    void Paint(const std::function<std::uint32_t(int, int)>& colour)
    {
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                source.Row(y)[x] = 0xFF000000u | colour(x, y);
            }
        }
        if (layer) {
            layer->RecaptureSource();
        }
    }

    void Run(int code, int frames = 1)
    {
        if (layer->GetEffect() != code) {
            layer->SetEffect(code);
        }
        for (int i = 0; i < frames; ++i) {
            layer->Render(nullptr);
        }
    }

    std::uint32_t Out(int x, int deviceRow) const { return Rgb(layer->Output().Row(deviceRow)[x]); }
    std::uint32_t OutBuffer(int x, int bufferRow) const { return Out(x, height - 1 - bufferRow); }
    std::uint32_t Src(int x, int deviceRow) const { return Rgb(source.Row(deviceRow)[x]); }

    int width;
    int height;
    platform::Surface source;
    std::unique_ptr<CEffectLayer> layer;
};

} // namespace lmd::test
