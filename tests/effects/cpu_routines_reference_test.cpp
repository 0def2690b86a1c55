// The CPU pixel routines against their plain forms: each routine and a
// straightforward per-pixel version of it (kept here, one channel at a time,
// in the order the picture is defined) start from the same state and must give
// the same pixels and the same state, frame after frame, on random pictures of
// sizes that reach every edge case of the fast loops.
#include "cpu_layer_fixture.h"
#include "effects/clouds_routine.h"
#include "effects/fire_routine.h"
#include "effects/fur_strokes.h"
#include "effects/pixel_channels.h"
#include "effects/plasma_routine.h"
#include "effects/water_routine.h"
#include "platform/crt.h"
#include "platform/surface.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <random>
#include <vector>

namespace {

struct Size
{
    int w, h;
};

// Small sizes reach the wrap-arounds and the edge columns of the fast loops;
// the large ones their vectorised middles and tails.
constexpr Size kSizes[] = {{1, 1}, {2, 3}, {3, 2}, {4, 5}, {5, 4}, {7, 9}, {17, 3}, {64, 48}, {131, 67}};

// The clock's pictures at zoom 100 and 300, and an odd size between.
constexpr Size kClockSizes[] = {{130, 130}, {131, 97}, {390, 390}};

std::vector<std::uint32_t> RandomPixels(std::size_t n, std::mt19937& random)
{
    std::vector<std::uint32_t> pixels(n);
    for (std::uint32_t& p : pixels) {
        p = static_cast<std::uint32_t>(random()); // the fourth byte random too
    }
    return pixels;
}

std::size_t Count(Size s)
{
    return static_cast<std::size_t>(s.w) * static_cast<std::size_t>(s.h);
}

// --- fire ---

void PlainFireSeed(CFireRoutine& f)
{
    std::uint8_t* row = f.m_fire.data() + f.m_rowStart[static_cast<std::size_t>(f.m_nSeedRow)];
    std::fill_n(row, f.m_nWidth, std::uint8_t{0});
    for (int i = 0; i < f.m_nWidth; ++i) {
        if (crt::rand() % 101 < f.m_nSeedChance) {
            const int len = crt::rand() % f.m_nMaxRun + 1;
            for (int k = 0; k < len && i < f.m_nWidth; ++k) {
                row[i++] = 254;
            }
        }
    }
}

void PlainFireSpread(CFireRoutine& f)
{
    const int w = f.m_nWidth;
    if (w < 2) {
        return;
    }
    std::uint8_t* c0 = f.m_fire.data();
    for (int i = 0; i < w; ++i) {
        for (int j = 2; j <= f.m_nHeight - 2; ++j) {
            std::uint8_t* c = c0 + j * w + i;
            c[w] = static_cast<std::uint8_t>((c[-w] + c[-2] + c[2] + c[-1] + c[1] + c[0] + c[w]) / 7);
        }
    }
}

void PlainFireRender(CFireRoutine& f, const std::uint32_t* source, std::uint32_t* destination)
{
    if (f.m_fire.empty()) {
        return;
    }
    PlainFireSeed(f);
    PlainFireSpread(f);
    const int w = f.m_nWidth;
    const int h = f.m_nHeight - 3;
    for (int i = 0; i < h; ++i) {
        for (int x = 0; x < w; ++x) {
            const std::uint32_t p = f.m_palette[f.m_fire[static_cast<std::size_t>((i + 3) * w + x)]];
            std::uint32_t& d = destination[static_cast<std::size_t>(i * w + x)];
            d = pixel::Combine(p, d,
                               [&f](int pc, int dc) { return ((pc - dc) * f.m_nBlend + dc * 256) >> 8; });
        }
    }
    const int c0 = h / 2;
    for (int i = std::max(h - 1 - c0, 0); i < h; ++i) {
        const int pct = (c0 + i - h + 1) * 100 / (h + 3 - c0);
        for (int x = 0; x < w; ++x) {
            const std::uint32_t s = source[static_cast<std::size_t>(i * w + x)];
            std::uint32_t& d = destination[static_cast<std::size_t>(i * w + x)];
            d = pixel::Combine(s, d, [pct](int sc, int dc) { return (dc * (100 - pct) + sc * pct) / 100; });
        }
    }
}

TEST(CpuRoutineReferenceTest, FireMatchesThePlainFormFrameByFrame)
{
    std::mt19937 random(11);
    for (const Size s : kSizes) {
        for (const int blend : {30, 0, 255, 256}) {
            CFireRoutine fast;
            fast.Create(s.w, s.h);
            fast.m_nBlend = blend;
            fast.m_nSeedChance = 30; // hotter than the clock's, for busier pictures
            CFireRoutine plain = fast;
            const std::vector<std::uint32_t> source = RandomPixels(Count(s), random);
            std::vector<std::uint32_t> a = RandomPixels(Count(s), random);
            std::vector<std::uint32_t> b = a;
            for (int frame = 0; frame < 40; ++frame) {
                crt::srand(static_cast<unsigned>(frame + 1));
                fast.Render(source.data(), a.data());
                crt::srand(static_cast<unsigned>(frame + 1));
                PlainFireRender(plain, source.data(), b.data());
                ASSERT_EQ(fast.m_fire, plain.m_fire)
                    << s.w << "x" << s.h << " blend " << blend << " frame " << frame;
                ASSERT_EQ(a, b) << s.w << "x" << s.h << " blend " << blend << " frame " << frame;
            }
        }
    }
}

// --- plasma ---

void PlainPlasmaStep(CPlasmaRoutine& p)
{
    std::uint8_t r1 = p.m_startPhase[0];
    std::uint8_t r2 = p.m_startPhase[1];
    std::size_t i = 0;
    for (int y = 0; y < p.m_nHeight; ++y) {
        std::uint8_t c1 = p.m_startPhase[3];
        std::uint8_t c2 = p.m_startPhase[2];
        for (int x = 0; x < p.m_nWidth; ++x) {
            p.m_index[i++] = static_cast<std::uint8_t>(p.m_cos[r1] + p.m_cos[r2] + p.m_cos[c2] + p.m_cos[c1]);
            c2 = static_cast<std::uint8_t>(c2 + 1);
            c1 = static_cast<std::uint8_t>(c1 + 2);
        }
        r1 = static_cast<std::uint8_t>(r1 + 1);
        r2 = static_cast<std::uint8_t>(r2 + 2);
    }
    p.m_startPhase[0] = static_cast<std::uint8_t>(p.m_startPhase[0] + 1);
    p.m_startPhase[1] = static_cast<std::uint8_t>(p.m_startPhase[1] - 2);
    p.m_startPhase[2] = static_cast<std::uint8_t>(p.m_startPhase[2] - 1);
    p.m_startPhase[3] = static_cast<std::uint8_t>(p.m_startPhase[3] + 3);
}

void PlainPlasmaRender(CPlasmaRoutine& p, const std::uint32_t* source, std::uint32_t* destination)
{
    for (std::size_t i = 0; i < p.m_index.size(); ++i) {
        const std::uint32_t blended =
            pixel::Combine(p.m_palette[p.m_index[i]], destination[i],
                           [&p](int pc, int dc) { return (dc * 256 + (pc - dc) * p.m_nBlend) >> 8; });
        destination[i] = pixel::Combine(blended, source[i], [&p](int c, int sc) {
            return (c * (100 - p.m_nSourceShare) + sc * p.m_nSourceShare) / 100;
        });
    }
    PlainPlasmaStep(p);
}

TEST(CpuRoutineReferenceTest, PlasmaMatchesThePlainFormFrameByFrame)
{
    std::mt19937 random(12);
    struct Mix
    {
        int blend, share;
    };
    for (const Size s : kSizes) {
        for (const Mix m : {Mix{30, 25}, Mix{0, 0}, Mix{256, 100}, Mix{255, 99}, Mix{1, 1}, Mix{128, 50}}) {
            CPlasmaRoutine fast;
            fast.Create(s.w, s.h);
            fast.m_nBlend = m.blend;
            fast.m_nSourceShare = m.share;
            CPlasmaRoutine plain = fast;
            const std::vector<std::uint32_t> source = RandomPixels(Count(s), random);
            std::vector<std::uint32_t> a = RandomPixels(Count(s), random);
            std::vector<std::uint32_t> b = a;
            for (int frame = 0; frame < 300; ++frame) { // more than 256: every phase wraps
                fast.Render(source.data(), a.data());
                PlainPlasmaRender(plain, source.data(), b.data());
                ASSERT_EQ(fast.m_index, plain.m_index) << s.w << "x" << s.h << " frame " << frame;
                ASSERT_EQ(a, b) << s.w << "x" << s.h << " blend " << m.blend << " share " << m.share
                                << " frame " << frame;
            }
        }
    }
}

// --- clouds ---

void PlainCloudsRender(CCloudsRoutine& c, std::uint32_t* destination, const std::uint32_t* source)
{
    const int w = c.m_nWidth;
    const int h = c.m_nHeight;
    if (w <= 0 || h <= 0) {
        return;
    }
    const auto wrap = [](int v, int size) { return ((v % size) + size) % size; };
    for (int m = 0; m < 3; ++m) {
        c.m_offset[m][0] = wrap(w + c.m_drift[0] / (m + 1) + c.m_offset[m][0], w);
        c.m_offset[m][1] = wrap(h + c.m_drift[1] / (m + 1) + c.m_offset[m][1], h);
    }
    for (int i = 0; i < h; ++i) {
        for (int j = 0; j < w; ++j) {
            int sum = 0;
            for (int m = 0; m < 3; ++m) {
                const int y = (i + c.m_offset[m][1]) % h;
                const int x = (j + c.m_offset[m][0]) % w;
                sum += c.m_map[m][static_cast<std::size_t>(y * w + x)];
            }
            const int r = sum / 3;
            const int u = CCloudsRoutine::Coverage(r);
            const std::size_t k = static_cast<std::size_t>(i * w + j);
            destination[k] = pixel::Map(source[k], [r, u](int ch) { return (r * u + ch * (100 - u)) / 100; });
        }
    }
}

TEST(CpuRoutineReferenceTest, CloudsMatchThePlainFormFrameByFrame)
{
    std::mt19937 random(13);
    for (const Size s : kSizes) {
        CCloudsRoutine fast;
        crt::srand(5);
        fast.m_nWidth = s.w;
        fast.m_nHeight = s.h;
        for (std::vector<int>& map : fast.m_map) {
            fast.GenerateCloudMap(map);
        }
        const std::vector<std::uint32_t> source = RandomPixels(Count(s), random);
        std::vector<std::uint32_t> a = RandomPixels(Count(s), random);
        // Drifts in every direction and faster than one picture per frame.
        for (const auto& [dx, dy] : {std::pair{1, 1}, std::pair{-1, 1}, std::pair{1, -1}, std::pair{-7, -5},
                                     std::pair{0, 0}, std::pair{300, -300}}) {
            fast.m_drift[0] = dx;
            fast.m_drift[1] = dy;
            CCloudsRoutine plain = fast;
            std::vector<std::uint32_t> b = a;
            for (int frame = 0; frame < 30; ++frame) {
                fast.Render(a.data(), source.data());
                PlainCloudsRender(plain, b.data(), source.data());
                ASSERT_EQ(a, b) << s.w << "x" << s.h << " drift " << dx << "," << dy << " frame " << frame;
            }
        }
    }
}

// --- water (drizzle) ---

void PlainWaterRender(CWaterRoutine& water, const std::uint32_t* source, std::uint32_t* destination)
{
    const int w = water.m_nWidth;
    const int h = water.m_nHeight;
    const std::vector<int>& f = water.m_pField1;
    for (int y = 1; y < h - 1; ++y) {
        for (int x = 1; x < w - 1; ++x) {
            const int i = y * w + x;
            const int d = f[static_cast<std::size_t>(i)] - f[static_cast<std::size_t>(i + 1)];
            const int yo = (f[static_cast<std::size_t>(i)] - f[static_cast<std::size_t>(i + w)]) >> 3;
            const int j = i + yo * w + (d >> 3);
            if (j <= 0 || j >= w * h) {
                continue;
            }
            const std::uint32_t p = source[j];
            destination[i] =
                water.m_bLight ? pixel::Map(p, [d](int c) { return std::clamp(c - d, 0, 255); }) : p;
        }
    }
    std::vector<int>& next = water.m_nPage == 0 ? water.m_pField1 : water.m_pField2;
    const std::vector<int>& old = water.m_nPage == 0 ? water.m_pField2 : water.m_pField1;
    for (int y = 1; y < h - 1; ++y) {
        for (int x = 1; x < w - 1; ++x) {
            const auto at = [&old, w](int xx, int yy) { return old[static_cast<std::size_t>(yy * w + xx)]; };
            const int sum = at(x - 1, y - 1) + at(x + 1, y - 1) + at(x - 1, y + 1) + at(x + 1, y + 1) +
                            at(x, y - 1) + at(x, y + 1) + at(x - 1, y) + at(x + 1, y);
            int& n = next[static_cast<std::size_t>(y * w + x)];
            const int t = (sum >> 2) - n;
            n = t - (t >> water.m_nDensity);
        }
    }
    water.m_nPage ^= 1;
}

void CompareWater(Size s, int light, std::mt19937& random)
{
    CWaterRoutine fast;
    fast.Create(s.w, s.h);
    fast.m_bLight = light;
    CWaterRoutine plain = fast;
    const std::vector<std::uint32_t> source = RandomPixels(Count(s), random);
    std::vector<std::uint32_t> a = RandomPixels(Count(s), random);
    std::vector<std::uint32_t> b = a;
    for (int frame = 0; frame < 60; ++frame) {
        if (frame % 7 == 0) {
            // Drops of every strength: small ones as the pointer lets fall, and
            // slopes beyond a whole channel and displacements that reach outside
            // the picture, as the rain's big drops and many drops on one place do.
            const bool pointer = frame % 14 == 0;
            const int x = static_cast<int>(random() % static_cast<unsigned>(s.w));
            const int y = static_cast<int>(random() % static_cast<unsigned>(s.h));
            const int radius =
                pointer ? std::max(s.w / 50, 1) : 1 + static_cast<int>(random() % 9u) * (s.w / 60 + 1);
            const int height = pointer ? 30 : static_cast<int>(random() % 4000u) - 1000;
            fast.AddDrop(x, y, radius, height, fast.m_nPage);
            plain.AddDrop(x, y, radius, height, plain.m_nPage);
        }
        fast.Render(source.data(), a.data());
        PlainWaterRender(plain, source.data(), b.data());
        ASSERT_EQ(fast.m_pField1, plain.m_pField1) << s.w << "x" << s.h << " frame " << frame;
        ASSERT_EQ(fast.m_pField2, plain.m_pField2) << s.w << "x" << s.h << " frame " << frame;
        ASSERT_EQ(a, b) << s.w << "x" << s.h << " light " << light << " frame " << frame;
    }
}

TEST(CpuRoutineReferenceTest, WaterMatchesThePlainFormFrameByFrame)
{
    std::mt19937 random(14);
    for (const int light : {1, 0}) {
        for (const Size s : kSizes) {
            CompareWater(s, light, random);
        }
        for (const Size s : kClockSizes) {
            CompareWater(s, light, random);
        }
    }
}

// --- fur strokes ---

void PlainBlendStroke(platform::Surface& target, float x1, float y1, float x2, float y2, float width,
                      std::uint32_t colour, int alpha)
{
    const float dx = x2 - x1;
    const float dy = y2 - y1;
    const float length = std::hypot(dx, dy);
    if (!(length > 0.0f) || alpha <= 0) {
        return;
    }
    const float ux = dx / length;
    const float uy = dy / length;
    const float cx = (x1 + x2) / 2;
    const float cy = (y1 + y2) / 2;
    const float reachAlong = length / 2 + 0.5f;
    const float reachAcross = width / 2 + 0.5f;
    const float extent = reachAlong + reachAcross;
    const int px0 = std::max(static_cast<int>(std::floor(std::min(x1, x2) - reachAcross)), 0);
    const int px1 = std::min(static_cast<int>(std::ceil(std::max(x1, x2) + reachAcross)), target.Width() - 1);
    const int py0 = std::max(static_cast<int>(std::floor(std::min(y1, y2) - reachAcross)), 0);
    const int py1 =
        std::min(static_cast<int>(std::ceil(std::max(y1, y2) + reachAcross)), target.Height() - 1);
    for (int py = py0; py <= py1; ++py) {
        for (int px = px0; px <= px1; ++px) {
            const float rx = static_cast<float>(px) - cx;
            const float ry = static_cast<float>(py) - cy;
            if (std::abs(rx) > extent || std::abs(ry) > extent) {
                continue;
            }
            const float along = std::clamp(reachAlong - std::abs(rx * ux + ry * uy), 0.0f, 1.0f);
            const float across = std::clamp(reachAcross - std::abs(ry * ux - rx * uy), 0.0f, 1.0f);
            const int a = static_cast<int>(static_cast<float>(alpha) * along * across + 0.5f);
            if (a == 0) {
                continue;
            }
            std::uint32_t& p = target.Row(py)[px];
            p = 0xFF000000u | pixel::Combine(colour, p, [a](int c, int dc) {
                    return (c * a + dc * (255 - a) + 127) / 255;
                });
        }
    }
}

TEST(CpuRoutineReferenceTest, FurStrokesMatchThePlainForm)
{
    std::mt19937 random(15);
    std::uniform_real_distribution<float> coordinate(-8.0f, 56.0f);
    platform::Surface fast(48, 40), plain(48, 40);
    for (int y = 0; y < fast.Height(); ++y) {
        for (int x = 0; x < fast.Width(); ++x) {
            fast.Row(y)[x] = plain.Row(y)[x] = static_cast<std::uint32_t>(random());
        }
    }
    for (int k = 0; k < 2000; ++k) {
        const float x1 = coordinate(random), y1 = coordinate(random);
        // Half the strokes short and whole-numbered, as the fur draws them.
        const bool whole = k % 2 == 0;
        const float x2 = whole ? std::round(x1) + static_cast<float>(random() % 41) - 20 : coordinate(random);
        const float y2 = whole ? std::round(y1) + static_cast<float>(random() % 41) - 20 : coordinate(random);
        const float width = whole ? 2.0f : 0.5f + static_cast<float>(random() % 80) / 10.0f;
        const std::uint32_t colour = static_cast<std::uint32_t>(random()) & 0xFFFFFFu;
        const int alpha = static_cast<int>(random() % 276u) - 20; // up to full opacity
        BlendStroke(fast, whole ? std::round(x1) : x1, whole ? std::round(y1) : y1, x2, y2, width, colour,
                    alpha);
        PlainBlendStroke(plain, whole ? std::round(x1) : x1, whole ? std::round(y1) : y1, x2, y2, width,
                         colour, alpha);
        for (int y = 0; y < fast.Height(); ++y) {
            ASSERT_TRUE(std::equal(fast.Row(y), fast.Row(y) + fast.Width(), plain.Row(y)))
                << "stroke " << k << " row " << y;
        }
    }
}

// The fur's strokes drawn one by one with the plain stroke: a random point, the
// colour under it, and a stroke through it turned and lengthened by brightness.
void PlainFurDraw(const CFurStrokes& fur, platform::Surface& output, const std::uint32_t* pixels)
{
    const auto coordinate = [](int size) {
        const float v =
            static_cast<float>(crt::rand()) * (static_cast<float>(size) - 1.0f) / 32767.0f * 0.99999988f;
        return std::clamp(static_cast<int>(v), 0, std::max(size - 1, 0));
    };
    for (int k = 0; k < fur.m_nStrokes; ++k) {
        const int y = coordinate(fur.m_nHeight);
        const int x = coordinate(fur.m_nWidth);
        const std::uint32_t colour =
            pixels[static_cast<std::size_t>((fur.m_nHeight - 1 - y) * fur.m_nWidth + x)] & 0xFFFFFFu;
        const float t =
            static_cast<float>(pixel::Red(colour) + pixel::Green(colour) + pixel::Blue(colour)) / 765.0f;
        const float angle = -fur.m_fPi / 2 + fur.m_fPi * t;
        const double half = static_cast<int>(t * 40) * 0.5;
        const int dx = static_cast<int>(std::cos(angle) * half);
        const int dy = static_cast<int>(std::sin(angle) * half);
        PlainBlendStroke(output, static_cast<float>(x - dx), static_cast<float>(y - dy),
                         static_cast<float>(x + dx), static_cast<float>(y + dy), 2.0f, colour, 20);
    }
}

TEST(CpuRoutineReferenceTest, FurMatchesThePlainFormFrameByFrame)
{
    std::mt19937 random(17);
    // Pictures of every brightness (strokes of every length and direction), one
    // grey (the same stroke everywhere) and one black (no stroke at all).
    const auto pictures = [&random](Size s) {
        std::vector<std::uint32_t> grey(Count(s), 0x00808080u), black(Count(s), 0u);
        return std::vector{RandomPixels(Count(s), random), grey, black};
    };
    // The clock's turn of half a circle, and a wider one set after sizing: strokes
    // of directions the sizing did not prepare.
    for (const auto& [s, pi] : {std::pair{Size{64, 48}, 3.14159f}, std::pair{kClockSizes[0], 3.14159f},
                                std::pair{kClockSizes[1], 3.14159f}, std::pair{kClockSizes[2], 3.14159f},
                                std::pair{kClockSizes[1], 5.0f}}) {
        for (const std::vector<std::uint32_t>& picture : pictures(s)) {
            CFurStrokes fur;
            fur.SetSize(s.w, s.h);
            fur.m_fPi = pi;
            platform::Surface fast(s.w, s.h), plain(s.w, s.h);
            for (int y = 0; y < s.h; ++y) {
                for (int x = 0; x < s.w; ++x) {
                    fast.Row(y)[x] = plain.Row(y)[x] = static_cast<std::uint32_t>(random());
                }
            }
            for (unsigned frame = 0; frame < 4; ++frame) {
                crt::srand(frame);
                fur.Draw(fast, picture.data());
                const int next = crt::rand(); // the fast form draws as many numbers
                crt::srand(frame);
                PlainFurDraw(fur, plain, picture.data());
                ASSERT_EQ(next, crt::rand()) << s.w << "x" << s.h << " frame " << frame;
                for (int y = 0; y < s.h; ++y) {
                    ASSERT_TRUE(std::equal(fast.Row(y), fast.Row(y) + s.w, plain.Row(y)))
                        << s.w << "x" << s.h << " frame " << frame << " row " << y;
                }
            }
        }
    }
}

// --- frosted glass: a weighted 5 x 5 neighbourhood, computed directly ---

TEST(CpuRoutineReferenceTest, FrostedGlassIsTheWeightedNeighbourhood)
{
    std::mt19937 random(16);
    for (const Size s : kSizes) {
        const std::vector<std::uint32_t> picture = RandomPixels(Count(s), random);
        const auto at = [&](int x, int y) {
            return picture[static_cast<std::size_t>(y * s.w + x)] & 0xFFFFFFu;
        };
        lmd::test::CpuLayer t(s.w, s.h, at);
        t.Run(EFFECT_FROSTED_GLASS, 2);
        for (int y = 0; y < s.h; ++y) {
            for (int x = 0; x < s.w; ++x) {
                int sum[3] = {};
                for (int dy = -2; dy <= 2; ++dy) {
                    for (int dx = -2; dx <= 2; ++dx) {
                        const int nx = x + dx, ny = y + dy;
                        if (nx < 0 || ny < 0 || nx >= s.w || ny >= s.h) {
                            continue;
                        }
                        const bool inner = std::abs(dx) <= 1 && std::abs(dy) <= 1;
                        const int weight = 3 + (inner ? 2 : 0) + (dx == 0 && dy == 0 ? 5 : 0);
                        const std::uint32_t p = at(nx, ny);
                        sum[0] += weight * pixel::Red(p);
                        sum[1] += weight * pixel::Green(p);
                        sum[2] += weight * pixel::Blue(p);
                    }
                }
                const std::uint32_t expected = pixel::Pack(
                    std::min(sum[0] / 100, 255), std::min(sum[1] / 100, 255), std::min(sum[2] / 100, 255));
                ASSERT_EQ(t.Out(x, y), expected) << s.w << "x" << s.h << " at " << x << "," << y;
            }
        }
    }
}

} // namespace
