#pragma once
// Measures of rendered pictures for the effect tests: how far two frames differ
// and whether a picture has anything in it.
#include "platform/surface.h"

namespace lmd::test {

// Mean absolute difference per colour channel (0..255) of two pictures of the same size.
double MeanDifference(const platform::Surface& a, const platform::Surface& b);

// Standard deviation of the brightness (0..255): 0 for a uniform picture.
double BrightnessSpread(const platform::Surface& s);

} // namespace lmd::test
