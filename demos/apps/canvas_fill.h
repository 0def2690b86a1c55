#pragma once
// Whole-canvas fills of the demos that keep their picture from frame to frame.
#include <cstdint>

// The whole canvas filled with the colour; a translucent one fades the picture.
void FillCanvas(std::uint32_t argb);

// When `pending` is set: the canvas filled with the colour, the flag cleared and
// the frame loop's background fill turned off, so the picture builds up from
// here on.
void StartPictureOnce(bool& pending, std::uint32_t argb);
