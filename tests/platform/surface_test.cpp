#include "platform/surface.h"

#include <algorithm>
#include <cstdint>
#include <gtest/gtest.h>
#include <random>
#include <set>
#include <string>
#include <vector>

using platform::COLORREF;
using platform::Rgb;
using platform::Surface;

namespace {

// A surface whose pixel (x, y) has the colour Rgb(x, y, tag): every pixel tells where it came from.
Surface Numbered(int w, int h, int tag)
{
    Surface s(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            s.SetPixel(x, y, Rgb(x, y, tag));
    return s;
}

// The picture as text rows of single letters, one per colour given in the legend.
std::vector<std::string> Letters(const Surface& s, const std::vector<std::pair<COLORREF, char>>& legend)
{
    std::vector<std::string> rows;
    for (int y = 0; y < s.Height(); ++y) {
        std::string row;
        for (int x = 0; x < s.Width(); ++x) {
            char c = '?';
            for (const auto& [colour, letter] : legend)
                if (s.GetPixel(x, y) == colour)
                    c = letter;
            row += c;
        }
        rows.push_back(row);
    }
    return rows;
}

constexpr COLORREF kRed = Rgb(255, 0, 0);
constexpr COLORREF kBlue = Rgb(0, 0, 255);
constexpr COLORREF kMagenta = Rgb(255, 0, 255);
constexpr COLORREF kBlack = Rgb(0, 0, 0);

} // namespace

TEST(SurfaceTest, ColourValuesConvertToStoredPixels)
{
    // Windows colour values keep red in the low byte; stored pixels are 0xFFRRGGBB.
    EXPECT_EQ(Rgb(0x12, 0x34, 0x56), 0x00563412u);
    EXPECT_EQ(platform::ToPixel(Rgb(0x12, 0x34, 0x56)), 0xFF123456u);
    EXPECT_EQ(platform::FromPixel(0x00123456u), Rgb(0x12, 0x34, 0x56));
    EXPECT_EQ(platform::FromPixel(0xAB123456u), Rgb(0x12, 0x34, 0x56));
    EXPECT_EQ(platform::ToQColor(Rgb(1, 2, 3)), QColor(1, 2, 3));
    EXPECT_EQ(platform::FromQColor(QColor(1, 2, 3)), Rgb(1, 2, 3));

    Surface s(2, 1);
    s.SetPixel(1, 0, Rgb(10, 20, 30));
    const uchar* bytes = s.Image().constBits() + 4;
    EXPECT_EQ(bytes[0], 30); // blue first in memory
    EXPECT_EQ(bytes[1], 20);
    EXPECT_EQ(bytes[2], 10);
    EXPECT_EQ(s.Image().pixel(1, 0), qRgb(10, 20, 30));
}

TEST(SurfaceTest, NewSurfaceIsBlackAndOutsideReadsInvalid)
{
    Surface s(3, 2);
    EXPECT_EQ(s.Image().format(), QImage::Format_RGB32);
    EXPECT_EQ(s.GetPixel(2, 1), kBlack);
    EXPECT_EQ(s.GetPixel(3, 0), 0xFFFFFFFFu);
    EXPECT_EQ(s.GetPixel(-1, 0), 0xFFFFFFFFu);
    s.SetPixel(-1, 5, kRed); // ignored, no overrun

    Surface empty(0, 5);
    EXPECT_TRUE(empty.IsNull());
    empty.Fill(kRed);
    empty.BitBlt(0, 0, 5, 5, s, 0, 0);
}

TEST(SurfaceTest, CreateAtTheSameSizeKeepsTheBuffer)
{
    Surface s(8, 8);
    s.Fill(kRed);
    const uchar* before = s.Image().constBits();
    s.Create(8, 8);
    EXPECT_EQ(s.Image().constBits(), before);
    EXPECT_EQ(s.GetPixel(7, 7), kBlack);
}

TEST(SurfaceTest, BitBltCopiesAndClipsToBothPictures)
{
    const Surface src = Numbered(4, 4, 7);
    struct Case
    {
        int x, y, w, h, sx, sy;
    };
    const Case cases[] = {
        {0, 0, 4, 4, 0, 0},   // whole picture
        {1, 2, 2, 2, 0, 0},   // into the middle
        {-1, -2, 4, 4, 0, 0}, // destination off the top left
        {2, 2, 9, 9, 0, 0},   // destination off the bottom right
        {0, 0, 4, 4, 2, 3},   // source off its bottom right
        {0, 0, 4, 4, -1, -1}, // source off its top left
        {0, 0, 0, 3, 0, 0},   // empty
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.x << "," << c.y << " " << c.w << "x" << c.h << " from " << c.sx << "," << c.sy);
        Surface dst(5, 5);
        dst.Fill(kMagenta);
        dst.BitBlt(c.x, c.y, c.w, c.h, src, c.sx, c.sy);
        // Naive reference: every destination pixel whose source pixel exists is a copy.
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 5; ++x) {
                const int i = x - c.x, j = y - c.y;
                const int sx = c.sx + i, sy = c.sy + j;
                const bool inside =
                    i >= 0 && j >= 0 && i < c.w && j < c.h && sx >= 0 && sy >= 0 && sx < 4 && sy < 4;
                EXPECT_EQ(dst.GetPixel(x, y), inside ? Rgb(sx, sy, 7) : kMagenta) << x << "," << y;
            }
    }
}

TEST(SurfaceTest, BitBltWithinOneSurfaceHandlesOverlap)
{
    for (const auto& [dx, dy] : std::vector<std::pair<int, int>>{{1, 0}, {-1, 0}, {0, 1}, {0, -1}, {2, 2}}) {
        Surface s = Numbered(6, 6, 1);
        const Surface original = Numbered(6, 6, 1);
        s.BitBlt(1 + dx, 1 + dy, 3, 3, s, 1, 1);
        for (int j = 0; j < 3; ++j)
            for (int i = 0; i < 3; ++i)
                EXPECT_EQ(s.GetPixel(1 + dx + i, 1 + dy + j), original.GetPixel(1 + i, 1 + j))
                    << dx << "," << dy << " at " << i << "," << j;
    }
}

TEST(SurfaceTest, RasterOperationsCombineColourBytes)
{
    struct Case
    {
        platform::RasterOp op;
        COLORREF expected; // destination 0x0F0F0F (r, g, b) with source 0x3355AA
    };
    const COLORREF d = Rgb(0x0F, 0x0F, 0x0F);
    const COLORREF s = Rgb(0x33, 0x55, 0xAA);
    const Case cases[] = {
        {platform::RasterOp::SrcCopy, s},
        {platform::RasterOp::SrcPaint, Rgb(0x3F, 0x5F, 0xAF)},
        {platform::RasterOp::SrcAnd, Rgb(0x03, 0x05, 0x0A)},
        {platform::RasterOp::SrcInvert, Rgb(0x3C, 0x5A, 0xA5)},
        {platform::RasterOp::MergePaint, Rgb(0xCF, 0xAF, 0x5F)},
        {platform::RasterOp::NotSrcCopy, Rgb(0xCC, 0xAA, 0x55)},
    };
    for (const Case& c : cases) {
        Surface src(1, 1), dst(1, 1);
        src.Fill(s);
        dst.Fill(d);
        dst.BitBlt(0, 0, 1, 1, src, 0, 0, c.op);
        EXPECT_EQ(dst.GetPixel(0, 0), c.expected) << static_cast<int>(c.op);
        EXPECT_EQ(dst.Image().pixel(0, 0) >> 24, 0xFFu) << "stays opaque";
    }
}

TEST(SurfaceTest, FillAndPatBltClipTheRectangle)
{
    Surface s(4, 3);
    s.Fill(kBlue);
    s.Fill(-1, 1, 3, 9, kRed);
    EXPECT_EQ(Letters(s, {{kBlue, 'b'}, {kRed, 'r'}}), (std::vector<std::string>{"bbbb", "rrbb", "rrbb"}));
    s.PatBlt(2, 0, 5, 1, platform::PatOp::Whiteness);
    s.PatBlt(3, 2, 1, 1, platform::PatOp::Blackness);
    s.PatBlt(0, 0, 1, 1, platform::PatOp::DstInvert);
    EXPECT_EQ(
        Letters(
            s,
            {{kBlue, 'b'}, {kRed, 'r'}, {Rgb(255, 255, 255), 'w'}, {kBlack, 'k'}, {Rgb(255, 255, 0), 'y'}}),
        (std::vector<std::string>{"ybww", "rrbb", "rrbk"}));
}

TEST(SurfaceTest, StretchBltSamplesTheNearestSourcePixel)
{
    // One row of source pixels 0..n-1 stretched to m: destination pixel i shows the
    // source pixel under its centre, floor((i + 0.5) * n / m).
    struct Case
    {
        int n, m;
        std::vector<int> expected;
    };
    const Case cases[] = {
        {2, 4, {0, 0, 1, 1}}, {4, 2, {1, 3}},    {3, 5, {0, 0, 1, 2, 2}},
        {5, 3, {0, 2, 4}},    {3, 3, {0, 1, 2}}, {1, 4, {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        const Surface src = Numbered(c.n, 1, 0);
        Surface dst(c.m, 1);
        dst.StretchBlt(0, 0, c.m, 1, src, 0, 0, c.n, 1);
        std::vector<int> got;
        for (int x = 0; x < c.m; ++x)
            got.push_back(platform::GetRValue(dst.GetPixel(x, 0)));
        EXPECT_EQ(got, c.expected) << c.n << " -> " << c.m;
    }
}

TEST(SurfaceTest, StretchBltScalesBothAxesAndClips)
{
    // 130 -> 260: every source pixel becomes a 2 x 2 block; the placement clips.
    const Surface src = Numbered(130, 130, 3);
    Surface dst(200, 200);
    dst.StretchBlt(-10, -20, 260, 260, src, 0, 0, 130, 130);
    for (const auto& [x, y] : std::vector<std::pair<int, int>>{{0, 0}, {1, 1}, {199, 199}, {57, 120}})
        EXPECT_EQ(dst.GetPixel(x, y), Rgb((x + 10) / 2, (y + 20) / 2, 3)) << x << "," << y;

    Surface unchanged(4, 4);
    unchanged.Fill(kRed);
    unchanged.StretchBlt(0, 0, 0, 4, src, 0, 0, 4, 4);
    unchanged.StretchBlt(0, 0, 4, 4, src, 0, 0, 4, -4);
    EXPECT_EQ(unchanged.GetPixel(1, 1), kRed);
}

TEST(SurfaceTest, TransparentBltSkipsTheKeyColour)
{
    Surface hands(3, 3);
    hands.Fill(kMagenta);
    hands.SetPixel(1, 1, kRed);
    hands.SetPixel(2, 2, kBlack);
    // The fourth byte does not take part in the comparison.
    hands.Row(1)[2] = 0x00FF00FFu;

    Surface face(3, 3);
    face.Fill(kBlue);
    face.TransparentBlt(-1, -1, 3, 3, hands, 0, 0, 3, 3, kMagenta);
    EXPECT_EQ(Letters(face, {{kBlue, 'b'}, {kRed, 'r'}, {kBlack, 'k'}}),
              (std::vector<std::string>{"rbb", "bkb", "bbb"}));

    // Stretched: each source pixel doubles and the key stays transparent.
    Surface big(6, 6);
    big.Fill(kBlue);
    big.TransparentBlt(0, 0, 6, 6, hands, 0, 0, 3, 3, kMagenta);
    EXPECT_EQ(Letters(big, {{kBlue, 'b'}, {kRed, 'r'}, {kBlack, 'k'}}),
              (std::vector<std::string>{"bbbbbb", "bbbbbb", "bbrrbb", "bbrrbb", "bbbbkk", "bbbbkk"}));
}

// The keyed copy written plainly, one destination pixel at a time: its source
// pixel by the nearest-neighbour rule, copied when both lie inside their
// pictures and its colour bytes are not the key's.
void PlainTransparentBlt(Surface& d, int x, int y, int width, int height, const Surface& s, int sx, int sy,
                         int sw, int sh, COLORREF key)
{
    const std::uint32_t keyPixel = platform::ToPixel(key) & 0xFFFFFFu;
    for (int r = 0; r < height; ++r) {
        for (int c = 0; c < width; ++c) {
            const int dx = x + c, dy = y + r;
            const int px = sx + (2 * c + 1) * sw / (2 * width), py = sy + (2 * r + 1) * sh / (2 * height);
            if (dx < 0 || dy < 0 || dx >= d.Width() || dy >= d.Height() || px < 0 || py < 0 || px >= s.Width() ||
                py >= s.Height())
                continue;
            const std::uint32_t p = s.Row(py)[px];
            if ((p & 0xFFFFFFu) != keyPixel)
                d.Row(dy)[dx] = p;
        }
    }
}

TEST(SurfaceTest, TransparentBltMatchesThePlainPixelLoop)
{
    // Random pictures where some or most pixels carry the key (with any fourth
    // byte), so that runs of key pixels with single others in them occur at every
    // position; random rectangles reaching over every edge, unscaled and stretched.
    std::mt19937 random(7);
    const COLORREF key = Rgb(255, 0, 255);
    const auto picture = [&random](int w, int h, unsigned keyInTen) {
        Surface s(w, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const auto bits = static_cast<std::uint32_t>(random());
                s.Row(y)[x] = bits % 10 < keyInTen ? (bits & 0xFF000000u) | 0x00FF00FFu : bits;
            }
        return s;
    };
    const auto between = [&random](int lo, int hi) { return lo + static_cast<int>(random() % (hi - lo + 1)); };
    for (int k = 0; k < 400; ++k) {
        const Surface src = picture(between(1, 70), between(1, 40), k % 3 == 0 ? 3 : 9);
        Surface fast = picture(between(1, 70), between(1, 40), 5);
        Surface plain(fast.Width(), fast.Height());
        for (int y = 0; y < fast.Height(); ++y)
            std::copy(fast.Row(y), fast.Row(y) + fast.Width(), plain.Row(y));
        const int w = between(1, 80), h = between(1, 50);
        const bool stretched = k % 2 == 1;
        const int sw = stretched ? between(1, 80) : w, sh = stretched ? between(1, 50) : h;
        const int x = between(-20, 70), y = between(-20, 40), sx = between(-20, 70), sy = between(-20, 40);
        fast.TransparentBlt(x, y, w, h, src, sx, sy, sw, sh, key);
        PlainTransparentBlt(plain, x, y, w, h, src, sx, sy, sw, sh, key);
        for (int row = 0; row < fast.Height(); ++row)
            ASSERT_TRUE(std::equal(fast.Row(row), fast.Row(row) + fast.Width(), plain.Row(row)))
                << "case " << k << " row " << row;
    }
}

TEST(SurfaceTest, PainterDrawsWithoutAntialiasingByDefault)
{
    for (const auto quality :
         {platform::SurfacePainter::Quality::Aliased, platform::SurfacePainter::Quality::Antialiased}) {
        Surface s(40, 40);
        {
            platform::SurfacePainter p(s, quality);
            p.setPen(Qt::NoPen);
            p.setBrush(Qt::white);
            p.drawPolygon(QPolygon({QPoint(3, 5), QPoint(35, 12), QPoint(10, 37)}));
        }
        std::set<QRgb> colours;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x)
                colours.insert(s.Image().pixel(x, y));
        if (quality == platform::SurfacePainter::Quality::Aliased)
            EXPECT_EQ(colours, (std::set<QRgb>{qRgb(0, 0, 0), qRgb(255, 255, 255)}));
        else
            EXPECT_GT(colours.size(), 2u);
    }
}
