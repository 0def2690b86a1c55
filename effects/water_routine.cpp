#include "effects/water_routine.h"

#include "effects/pixel_channels.h"
#include "platform/crt.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// The row loops are made twice on x86-64, for the base instruction set and for
// AVX2 (twice the lanes, three-operand instructions), and the one the processor
// runs is picked when the program loads. Both give the same pixels: every step
// is integer arithmetic.
#if defined(__x86_64__) && defined(__GNUC__)
#define ROW_LOOP __attribute__((target_clones("avx2", "default")))
#else
#define ROW_LOOP
#endif

void CWaterRoutine::Create(int width, int height)
{
    m_nWidth = std::max(width, 0);
    m_nHeight = std::max(height, 0);
    const auto size = static_cast<std::size_t>(m_nWidth) * static_cast<std::size_t>(m_nHeight);
    m_pField1.assign(size, 0);
    m_pField2.assign(size, 0);
    m_nPage = 0;
}

namespace {

// A random centre for a disc of radius r along an axis of the given size, kept
// clear of the border where the axis is long enough.
int RandomCentre(int size, int r)
{
    const int span = std::max(size - 2 * r - 1, 1);
    return r + crt::rand() % span + 1;
}

// One row of the drawing, in three passes over its n pixels: field and out
// point at the row's first interior cell, which is cell i of the picture; rows
// are w cells apart, total cells in all. Each pixel looks through the slope of
// the water at source pixel j; where j falls outside the picture it keeps its
// colour. With light, each colour byte c becomes clamp(c - slope, 0, 255) and
// the fourth byte 0.

// Where each pixel looks: j, or 0 where j falls outside (j is never 0 inside).
ROW_LOOP void Look(const int* __restrict field, int w, int i, int total, int* __restrict from, int n)
{
    for (int x = 0; x < n; ++x) {
        const int d = field[x] - field[x + 1];
        const int j = i + x + ((field[x] - field[x + w]) >> 3) * w + (d >> 3);
        from[x] = j > 0 && j < total ? j : 0;
    }
}

// What each pixel sees there (where it looks outside: some pixel, not used).
ROW_LOOP void See(const std::uint32_t* __restrict source, const int* __restrict from,
                  std::uint32_t* __restrict seen, int n)
{
    for (int x = 0; x < n; ++x) {
        seen[x] = source[from[x]];
    }
}

#if defined(__SSE2__)
__m128i Load(const void* p)
{
    return _mm_loadu_si128(static_cast<const __m128i*>(p));
}

// The first pixels of the row, as many as it can four at a time, as ShadeRow
// draws them; returns how many. The slope is taken off each byte in 16-bit
// lanes with saturation, which lands on the same byte as the clamp: the slope
// saturated to 16 bits still takes any byte to 0 or 255 when the whole one would.
int ShadeFours(const int* __restrict field, const int* __restrict from, const std::uint32_t* __restrict seen,
               std::uint32_t* __restrict out, int n, bool light)
{
    const int end = n & ~3;
    const __m128i zero = _mm_setzero_si128();
    const __m128i colours = _mm_set1_epi32(0x00FFFFFF);
    for (int x = 0; x < end; x += 4) {
        __m128i p = Load(seen + x);
        if (light) {
            const __m128i d = _mm_sub_epi32(Load(field + x), Load(field + x + 1));
            const __m128i slope = _mm_unpacklo_epi16(_mm_packs_epi32(d, d), _mm_packs_epi32(d, d));
            const __m128i low = _mm_subs_epi16(_mm_unpacklo_epi8(p, zero), _mm_unpacklo_epi32(slope, slope));
            const __m128i high = _mm_subs_epi16(_mm_unpackhi_epi8(p, zero), _mm_unpackhi_epi32(slope, slope));
            p = _mm_and_si128(_mm_packus_epi16(low, high), colours);
        }
        const __m128i outside = _mm_cmpeq_epi32(Load(from + x), zero);
        auto* const target = reinterpret_cast<__m128i*>(out + x);
        _mm_storeu_si128(target,
                         _mm_or_si128(_mm_andnot_si128(outside, p), _mm_and_si128(outside, Load(target))));
    }
    return end;
}
#else
int ShadeFours(const int*, const int*, const std::uint32_t*, std::uint32_t*, int, bool)
{
    return 0;
}
#endif

// The drawing: each pixel that looks inside takes what it sees, shaded with light.
ROW_LOOP void ShadeRow(const int* __restrict field, const int* __restrict from,
                       const std::uint32_t* __restrict seen, std::uint32_t* __restrict out, int n, bool light)
{
    for (int x = ShadeFours(field, from, seen, out, n, light); x < n; ++x) {
        if (from[x] == 0) {
            continue;
        }
        const int d = field[x] - field[x + 1];
        out[x] = light ? pixel::Map(seen[x], [d](int c) { return std::clamp(c - d, 0, 255); }) : seen[x];
    }
}

// The damped wave for n cells of one row: old points at the row's first cell in
// the other page's field, rows w apart. The sum of the eight neighbours is taken
// as the column sums of three cells left and right plus the two cells above and
// below; columns holds the n + 2 column sums from the cell left of the first on.
ROW_LOOP void StepRow(const int* __restrict old, int* __restrict next, int w, int n, int density,
                      int* __restrict columns)
{
    for (int k = -1; k <= n; ++k) {
        columns[k + 1] = old[k - w] + old[k] + old[k + w];
    }
    for (int k = 0; k < n; ++k) {
        const int s = columns[k] + columns[k + 2] + old[k - w] + old[k + w];
        const int t = (s >> 2) - next[k];
        next[k] = t - (t >> density);
    }
}

} // namespace

void CWaterRoutine::Render(const std::uint32_t* source, std::uint32_t* destination)
{
    const int w = m_nWidth;
    const int h = m_nHeight;
    const int inner = std::max(w - 2, 0);
    m_from.resize(static_cast<std::size_t>(inner));
    m_seen.resize(static_cast<std::size_t>(inner));
    m_columns.resize(static_cast<std::size_t>(inner) + 2);
    // Draw every interior row from field 1, then step: the field of this page
    // gets the damped wave of the other one. Row y - 1 is stepped right after
    // row y is drawn, while its cells are at hand: no row drawn later reads it.
    int* next = m_nPage == 0 ? m_pField1.data() : m_pField2.data();
    const int* old = m_nPage == 0 ? m_pField2.data() : m_pField1.data();
    for (int y = 1; y < h - 1; ++y) {
        const int first = y * w + 1;
        const int* field = m_pField1.data() + first;
        Look(field, w, first, w * h, m_from.data(), inner);
        See(source, m_from.data(), m_seen.data(), inner);
        ShadeRow(field, m_from.data(), m_seen.data(), destination + first, inner, m_bLight != 0);
        if (y > 1) {
            StepRow(old + first - w, next + first - w, w, inner, m_nDensity, m_columns.data());
        }
    }
    if (h > 2) {
        const int first = (h - 2) * w + 1;
        StepRow(old + first, next + first, w, inner, m_nDensity, m_columns.data());
    }
    m_nPage ^= 1;
}

void CWaterRoutine::AddDrop(int x, int y, int radius, int height, int page)
{
    std::vector<int>& field = page != 0 ? m_pField2 : m_pField1;
    const int w = m_nWidth;
    const int h = m_nHeight;
    const int r = radius;
    if (x < 0) {
        x = RandomCentre(w, r);
    }
    if (y < 0) {
        y = RandomCentre(h, r);
    }
    // The disc is clipped to rows 1..h-2 and columns 1..w-2; offset +r is left out.
    const int dyFrom = y - r > 0 ? -r : 1 - y;
    const int dyTo = y + r > h - 1 ? h - 1 - y : r;
    const int dxFrom = x - r > 0 ? -r : 1 - x;
    const int dxTo = x + r > w - 1 ? w - 1 - x : r;
    for (int dy = dyFrom; dy < dyTo; ++dy) {
        for (int dx = dxFrom; dx < dxTo; ++dx) {
            if (dx * dx + dy * dy < r * r) {
                field[static_cast<std::size_t>((y + dy) * w + x + dx)] += height;
            }
        }
    }
}
