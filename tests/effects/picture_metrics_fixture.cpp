#include "tests/effects/picture_metrics.h"
#include "tests/effects/shader_gl_fixture.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace lmd::test {

double MeanDifference(const platform::Surface& a, const platform::Surface& b)
{
    double sum = 0;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x) {
            const auto p = Channels(a.Row(y)[x]);
            const auto q = Channels(b.Row(y)[x]);
            sum += std::abs(p.r - q.r) + std::abs(p.g - q.g) + std::abs(p.b - q.b);
        }
    return sum / (3.0 * a.Width() * a.Height());
}

double BrightnessSpread(const platform::Surface& s)
{
    double sum = 0, squares = 0;
    const double count = static_cast<double>(s.Width()) * s.Height();
    for (int y = 0; y < s.Height(); ++y)
        for (int x = 0; x < s.Width(); ++x) {
            const auto c = Channels(s.Row(y)[x]);
            const double luma = 0.299 * c.r + 0.587 * c.g + 0.114 * c.b;
            sum += luma;
            squares += luma * luma;
        }
    const double mean = sum / count;
    return std::sqrt(std::max(squares / count - mean * mean, 0.0));
}

} // namespace lmd::test
