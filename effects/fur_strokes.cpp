#include "effects/fur_strokes.h"

#include "effects/pixel_channels.h"
#include "platform/crt.h"
#include "platform/surface.h"

#include <algorithm>
#include <cmath>

void CFurStrokes::SetSize(int width, int height)
{
    m_nWidth = width;
    m_nHeight = height;
    m_nStrokes = static_cast<int>(width * height * 0.005);
    for (int brightness = 0; brightness <= 3 * 255; ++brightness) {
        const Half half = HalfStroke(brightness);
        MaskFor(half.dx, half.dy);
    }
}

CFurStrokes::Half CFurStrokes::HalfStroke(int brightness) const
{
    const float t = static_cast<float>(brightness) / 765.0f;
    const float angle = -m_fPi / 2 + m_fPi * t;
    const double half = static_cast<int>(t * 40) * 0.5;
    return {static_cast<int>(std::cos(angle) * half), static_cast<int>(std::sin(angle) * half)};
}

namespace {

// A random coordinate in 0..size - 2 from the 15-bit generator, kept inside the
// picture whatever the generator returns.
int RandomCoordinate(int size)
{
    const float v =
        static_cast<float>(crt::rand()) * (static_cast<float>(size) - 1.0f) / 32767.0f * 0.99999988f;
    return std::clamp(static_cast<int>(v), 0, std::max(size - 1, 0));
}

// (c x a + d x (255 - a) + 127) / 255 for each colour byte, a in 0..255: red and
// blue side by side in 16-bit lanes, then green (every sum stays below 65536,
// where x / 255 is (x + 1 + ((x + 1) >> 8)) >> 8); the fourth byte 0.
std::uint32_t BlendOver(std::uint32_t c, std::uint32_t d, std::uint32_t a)
{
    const auto divide = [](std::uint32_t x) {
        x += 0x00010001u;
        return ((x + ((x >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
    };
    const std::uint32_t keep = 255 - a;
    const std::uint32_t redBlue = divide((c & 0xFF00FFu) * a + (d & 0xFF00FFu) * keep + 0x007F007Fu);
    const std::uint32_t green = divide(((c >> 8) & 0xFFu) * a + ((d >> 8) & 0xFFu) * keep + 0x7Fu);
    return redBlue | green << 8;
}

// What a stroke covers: the opacity of each pixel, given by how far the
// rectangle reaches over it across and along the stroke (a unit box filter on
// each axis of the stroke). Pixel centres lie on integer coordinates.
class StrokeCover
{
public:
    // An opacity beyond full counts as full: more would spill into the next colour byte.
    StrokeCover(float x1, float y1, float x2, float y2, float width, int alpha)
        : m_length(std::hypot(x2 - x1, y2 - y1)), m_alpha(std::min(alpha, 255)), m_cx((x1 + x2) / 2),
          m_cy((y1 + y2) / 2), m_reachAlong(m_length / 2 + 0.5f), m_reachAcross(width / 2 + 0.5f),
          m_extent(m_reachAlong + m_reachAcross)
    {
        if (!Empty()) {
            m_ux = (x2 - x1) / m_length;
            m_uy = (y2 - y1) / m_length;
        }
    }

    // A stroke of length 0 or without opacity covers nothing.
    bool Empty() const { return !(m_length > 0.0f) || m_alpha <= 0; }
    float ReachAcross() const { return m_reachAcross; }

    // Whether row py may hold a covered pixel.
    bool MayCover(int py) const { return std::abs(static_cast<float>(py) - m_cy) <= m_extent; }

    // The opacities of count pixels from column start on row py, count at most
    // kRun (plain arithmetic, no branch, so it vectorises).
    static constexpr int kRun = 64;
    void Row(int py, int start, int count, std::uint32_t* __restrict opacity) const
    {
        const float ry = static_cast<float>(py) - m_cy;
        const float cx = m_cx, ux = m_ux, uy = m_uy, along0 = m_reachAlong, across0 = m_reachAcross;
        const float extent = m_extent;
        const auto alpha = static_cast<float>(m_alpha);
        for (int k = 0; k < count; ++k) {
            const float rx = static_cast<float>(start + k) - cx;
            // min and max clamp as std::clamp does for these finite values.
            const float along = std::min(std::max(along0 - std::abs(rx * ux + ry * uy), 0.0f), 1.0f);
            const float across = std::min(std::max(across0 - std::abs(ry * ux - rx * uy), 0.0f), 1.0f);
            const float inside = std::abs(rx) > extent ? 0.0f : 1.0f;
            opacity[k] = static_cast<std::uint32_t>(static_cast<int>(alpha * along * across * inside + 0.5f));
        }
    }

private:
    float m_length;
    int m_alpha;
    float m_cx, m_cy, m_reachAlong, m_reachAcross, m_extent;
    float m_ux = 0, m_uy = 0;
};

// Blends colour into n pixels at the given opacities (0 leaves a pixel as it is).
template <typename Opacity>
void BlendRun(std::uint32_t* row, const Opacity* opacity, int n, std::uint32_t colour)
{
    for (int k = 0; k < n; ++k) {
        if (opacity[k] != 0) {
            row[k] = 0xFF000000u | BlendOver(colour, row[k], static_cast<std::uint32_t>(opacity[k]));
        }
    }
}

} // namespace

const CFurStrokes::Mask& CFurStrokes::MaskFor(int dx, int dy) const
{
    m_masks.resize((2 * kReach + 1) * (2 * kReach + 1));
    Mask& mask = m_masks[static_cast<std::size_t>((dy + kReach) * (2 * kReach + 1) + dx + kReach)];
    if (mask.made) {
        return mask;
    }
    mask.made = true;
    // The stroke through (0, 0) as Draw gives it; the columns and rows BlendStroke
    // would visit around it, each row kept from its first covered pixel to its last.
    const StrokeCover cover(static_cast<float>(-dx), static_cast<float>(-dy), static_cast<float>(dx),
                            static_cast<float>(dy), 2.0f, 20);
    if (cover.Empty()) {
        return mask;
    }
    const int reach = static_cast<int>(std::ceil(cover.ReachAcross()));
    const int columns = 2 * (std::abs(dx) + reach) + 1;
    std::vector<std::uint32_t> row(static_cast<std::size_t>(columns));
    for (int oy = -std::abs(dy) - reach; oy <= std::abs(dy) + reach; ++oy) {
        if (!cover.MayCover(oy)) {
            continue;
        }
        const int left = -std::abs(dx) - reach;
        for (int start = 0; start < columns; start += StrokeCover::kRun) {
            cover.Row(oy, left + start, std::min(StrokeCover::kRun, columns - start), row.data() + start);
        }
        const auto covered = [](std::uint32_t o) { return o != 0; };
        const auto first = std::find_if(row.begin(), row.end(), covered);
        if (first == row.end()) {
            continue;
        }
        const auto last = std::find_if(row.rbegin(), row.rend(), covered).base();
        mask.runs.push_back({oy, left + static_cast<int>(first - row.begin()), static_cast<int>(last - first),
                             mask.opacity.size()});
        mask.opacity.insert(mask.opacity.end(), first, last);
    }
    return mask;
}

void CFurStrokes::Draw(platform::Surface& output, const std::uint32_t* pixels) const
{
    if (pixels == nullptr || m_nWidth <= 0 || m_nHeight <= 0) {
        return;
    }
    const int columns = output.Width();
    const int rows = output.Height();
    std::uint32_t* bits = nullptr; // taken at the first pixel drawn: each call checks the image is not shared
    for (int k = 0; k < m_nStrokes; ++k) {
        const int y = RandomCoordinate(m_nHeight);
        const int x = RandomCoordinate(m_nWidth);
        const std::uint32_t colour =
            pixels[static_cast<std::size_t>(m_nHeight - 1 - y) * static_cast<std::size_t>(m_nWidth) + x] &
            0xFFFFFFu;
        // BlendStroke from (x - dx, y - dy) to (x + dx, y + dy), 2 wide at
        // opacity 20, by its mask.
        const Half half = HalfStroke(pixel::Blue(colour) + pixel::Green(colour) + pixel::Red(colour));
        const Mask& mask = MaskFor(half.dx, half.dy);
        for (const Run& run : mask.runs) {
            const int py = y + run.dy;
            const int from = std::max(x + run.dx, 0);
            const int to = std::min(x + run.dx + run.count, columns);
            if (py < 0 || py >= rows || from >= to) {
                continue;
            }
            if (bits == nullptr) {
                bits = output.Bits();
            }
            BlendRun(bits + static_cast<std::ptrdiff_t>(py) * columns + from,
                     mask.opacity.data() + run.first + (from - x - run.dx), to - from, colour);
        }
    }
}

void BlendStroke(platform::Surface& target, float x1, float y1, float x2, float y2, float width,
                 std::uint32_t colour, int alpha)
{
    const StrokeCover cover(x1, y1, x2, y2, width, alpha);
    if (cover.Empty()) {
        return;
    }
    const float reachAcross = cover.ReachAcross();
    const int columns = target.Width();
    const int px0 = std::max(static_cast<int>(std::floor(std::min(x1, x2) - reachAcross)), 0);
    const int px1 = std::min(static_cast<int>(std::ceil(std::max(x1, x2) + reachAcross)), columns - 1);
    const int py0 = std::max(static_cast<int>(std::floor(std::min(y1, y2) - reachAcross)), 0);
    const int py1 =
        std::min(static_cast<int>(std::ceil(std::max(y1, y2) + reachAcross)), target.Height() - 1);
    if (px0 > px1 || py0 > py1) {
        return;
    }
    std::uint32_t* const pixels = target.Bits(); // once: each call checks the image is not shared

    // Per row, the opacities of a run of pixels first, then the blend of the covered ones.
    std::uint32_t opacity[StrokeCover::kRun];
    for (int py = py0; py <= py1; ++py) {
        if (!cover.MayCover(py)) {
            continue;
        }
        std::uint32_t* row = pixels + static_cast<std::ptrdiff_t>(py) * columns;
        for (int start = px0; start <= px1; start += StrokeCover::kRun) {
            const int count = std::min(StrokeCover::kRun, px1 + 1 - start);
            cover.Row(py, start, count, opacity);
            BlendRun(row + start, opacity, count, colour);
        }
    }
}
