#include "controls/shade_button_vq.h"

#include "platform/crt.h"
#include "platform/dialog.h"

#include <QPainter>
#include <algorithm>

using platform::COLORREF;

namespace {

// The 256-entry ramp: shadow to face over 0 .. 127, face to highlight over
// 128 .. 255, each channel truncated.
void SetRampPalette(CCeXDib& dib)
{
    using namespace platform;
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
    const auto mix = [](COLORREF a, COLORREF b, int k) {
        const auto channel = [k](int ca, int cb) { return (ca * (128 - k) + cb * k) / 128; };
        return Rgb(channel(GetRValue(a), GetRValue(b)), channel(GetGValue(a), GetGValue(b)),
                   channel(GetBValue(a), GetBValue(b)));
    };
    for (int k = 0; k < 128; ++k)
        dib.SetPaletteColor(k, mix(shadow, face, k));
    for (int m = 1; m <= 128; ++m)
        dib.SetPaletteColor(127 + m, mix(face, light, m));
}

// Fills an 8-bit picture with the index pattern of one kind.
class ShadePainter
{
public:
    ShadePainter(CCeXDib& dib, int granularity)
        : dib_(dib), w_(dib.GetWidth()), h_(dib.GetHeight()), grain_(std::max(granularity, 0))
    {
    }

    void Paint(int kind)
    {
        switch (kind) {
        case CShadeButtonVq::SHS_DIAGSHADE:
            Each([&](int x, int r) { return 119 * (w_ - x) / w_ + 119 * r / h_ + Noise(); });
            break;
        case CShadeButtonVq::SHS_HSHADE:
            Each([&](int, int r) { return 239 * r / h_ + Noise(); });
            break;
        case CShadeButtonVq::SHS_VSHADE:
            Each([&](int x, int) { return 239 * (w_ - x) / w_ + Noise(); });
            break;
        case CShadeButtonVq::SHS_HBUMP:
            Each([&](int, int r) { return Bump(255 * r / h_ - 127, 120) + Noise() - grain_; });
            break;
        case CShadeButtonVq::SHS_VBUMP:
            Each([&](int x, int) { return Bump(255 * (w_ - x) / w_ - 127, 120) + Noise() - grain_; });
            break;
        case CShadeButtonVq::SHS_SOFTBUMP:
            Each([&](int x, int r) {
                const int ky = 255 * r / h_ - 127;
                const int kx = 255 * (w_ - x) / w_ - 127;
                const int s = ((kx * kx * kx / 16384 + ky * ky * ky / 16384) * 120) / 128;
                return std::clamp(s + 128, 8, 247) + Noise() - grain_;
            });
            break;
        case CShadeButtonVq::SHS_HARDBUMP:
            HardBump();
            break;
        case CShadeButtonVq::SHS_METAL:
            Metal();
            break;
        default:
            Each([&](int, int) { return 120 + Noise(); });
            break;
        }
    }

private:
    // 0 .. 2 * granularity from the process-wide generator (0 .. 16 for 8).
    int Noise() const
    {
        if (grain_ == 0)
            return 0;
        return crt::rand() / std::max(crt::RAND_MAX_VALUE / (2 * grain_), 1);
    }

    // (k³ / 16384) * factor / 128 + 128, each division truncated.
    static int Bump(int k, int factor) { return ((k * k * k / 16384) * factor) / 128 + 128; }

    static std::uint8_t Byte(int value) { return static_cast<std::uint8_t>(value & 0xFF); }

    // Sets every pixel, row by row from the bottom, to f(x, r).
    template <typename F> void Each(F f)
    {
        for (int r = 0; r < h_; ++r) {
            std::uint8_t* row = dib_.GetRow(r);
            for (int x = 0; x < w_; ++x)
                row[x] = Byte(f(x, r));
        }
    }

    // Adds f(x, r) to every pixel of row r.
    template <typename F> void AddToRow(int r, F f)
    {
        std::uint8_t* row = dib_.GetRow(r);
        for (int x = 0; x < w_; ++x)
            row[x] = Byte(row[x] + f(x));
    }

    void HardBump()
    {
        Each([&](int, int r) { return Bump(255 * r / h_ - 127, 112) + Noise() - grain_; });
        const int a = std::min(w_ / 6, 16);
        const int quarter = h_ * h_ / 4;
        for (int r = 0; r < h_; ++r) {
            // The rounded bands at both sides; none for a button too narrow (a = 0)
            // or too low to have a curve.
            if (a > 0 && quarter > 0) {
                const int d = r - h_ / 2;
                const int e = a * d * d / quarter + w_ / 2 - a;
                std::uint8_t* row = dib_.GetRow(r);
                for (int x = 0; x < w_; ++x) {
                    const int m = x - w_ / 2;
                    if (m + e < 0)
                        row[x] = Byte(247 - 128 * x / a);
                    else if (m > e)
                        row[x] = Byte(128 * (w_ - x) / a + 8);
                }
            }
            AddToRow(r, [&](int) { return Noise() - grain_; });
        }
    }

    void Metal()
    {
        Each([](int, int) { return 0; });
        const auto scale = [](int size) { return std::max(crt::RAND_MAX_VALUE / std::max(size, 1), 1); };
        // Strokes in rows counted from the top.
        const auto put = [&](int x, int y, int c) {
            if (x >= 0 && x < w_ && y >= 0 && y < h_)
                dib_.GetRow(h_ - 1 - y)[x] = Byte(c);
        };
        for (int stroke = 0; stroke < 200; ++stroke) {
            const int x0 = crt::rand() / scale(w_);
            const int y0 = crt::rand() / scale(h_);
            const int length = (crt::rand() / scale(std::min(w_, h_))) / 2;
            const int c = crt::rand() / 819;
            for (int i = 0; i < length; ++i) {
                if (x0 - i > 0 && y0 + i < h_)
                    put(x0 - i, y0 + i, c);
                if (x0 + i < w_ && y0 - i > 0)
                    put(w_ - x0 + i, y0 - i, c);
            }
        }
        for (int r = 0; r < h_; ++r)
            AddToRow(r, [&](int x) { return 99 * r / h_ + 99 * (w_ - x) / w_ + Noise(); });
    }

    CCeXDib& dib_;
    const int w_;
    const int h_;
    const int grain_;
};

} // namespace

void CShadeButtonVq::SetShade(int shadeID, int granularity, int highlight, int coloring, COLORREF color)
{
    m_dNormal.Free();
    m_dh.Free();
    if (!m_dNormal.Create(width(), height(), 8))
        return;
    SetRampPalette(m_dNormal);
    ShadePainter(m_dNormal, granularity).Paint(shadeID);
    if (coloring > 0)
        m_dNormal.BlendPalette(color, std::min(coloring, 100));
    m_dh = m_dNormal;
    m_dh.BlendPalette(platform::GetSysColor(platform::COLOR_BTNHIGHLIGHT), std::clamp(highlight, 0, 100));
    update();
}

void CShadeButtonVq::OnDrawBackground(QPainter& painter, QRect&)
{
    if (!IsHovered())
        m_dNormal.Draw(painter, 0, 0);
    else if (IsPressed())
        m_dh.Draw(painter, 1, 1);
    else
        m_dh.Draw(painter, 0, 0);
}
