#include "demos/apps/canvas_fill.h"

#include "demos/core/core.h"

void FillCanvas(std::uint32_t argb)
{
    gaSetColor(argb);
    gaDrawRectangle(0, 0, static_cast<float>(canvasWidth), static_cast<float>(canvasHeight));
}

void StartPictureOnce(bool& pending, std::uint32_t argb)
{
    if (!pending)
        return;
    FillCanvas(argb);
    pending = false;
    gaSetBackgroundAuto(false);
}
