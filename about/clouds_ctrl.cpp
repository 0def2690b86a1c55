#include "about/clouds_ctrl.h"

#include "platform/crt.h"
#include "platform/dialog.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <ctime>

namespace {

// The three fonts of the text: title (a line starting with tabs), heading (a
// line starting with carriage returns) and body.
QFont TextFont(int height, int weight)
{
    return platform::WindowsFontFromHeight(QStringLiteral("Arial"), height, weight);
}

} // namespace

CCloudsCtrl::CCloudsCtrl(QWidget* parent) : QWidget(parent), m_timers(this, [this](int) { ComposeFrame(); })
{
    setAttribute(Qt::WA_OpaquePaintEvent); // nothing is erased: the frame covers everything
    setMouseTracking(true);
}

void CCloudsCtrl::GenerateMap(std::vector<int>& map, int roughness)
{
    constexpr int n = kMapSize;
    map.assign(static_cast<std::size_t>(n) * n, 0);
    const auto at = [&map](int y, int x) -> int& { return map[static_cast<std::size_t>(y * n + x)]; };
    for (int s = n; s >= 2; s /= 2) {
        const int half = s / 2;
        const int range = s * roughness;
        const int bias = range / 2;
        const auto noisy = [range, bias](int mean) {
            const int noise = static_cast<int>(((crt::rand() % 1000) / 1000.0) * range) - bias;
            return std::clamp(mean + noise, 0, 255);
        };
        for (int y = 0; y < n; y += s) {
            for (int x = 0; x < n; x += s) {
                const int yb = (y + s) % n;
                const int xr = (x + s) % n;
                const int c00 = at(y, x);
                const int c01 = at(y, xr);
                const int c10 = at(yb, x);
                const int c11 = at(yb, xr);
                at(y + half, x + half) = noisy((c00 + c01 + c10 + c11) / 4);
                at(y + half, xr) = noisy((c01 + c11) / 2);
                at(yb, x + half) = noisy((c10 + c11) / 2);
            }
        }
    }
}

void CCloudsCtrl::SampleMap(const std::vector<int>& map, int w, int h, std::vector<int>& layer)
{
    layer.resize(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    for (int j = 0; j < h; ++j) {
        const int column = static_cast<int>(j * 256.0 / h);
        for (int k = 0; k < w; ++k) {
            const int row = static_cast<int>(k * 256.0 / w);
            layer[static_cast<std::size_t>(j * w + k)] = map[static_cast<std::size_t>(row * kMapSize + column)];
        }
    }
}

void CCloudsCtrl::PreSubclassWindow()
{
    m_nWidth = width();
    m_nHeight = height();
    if (m_nWidth <= 0 || m_nHeight <= 0)
        return; // nothing to show, nothing to animate
    RenderText();
    crt::srand(static_cast<unsigned>(std::time(nullptr)));
    for (std::vector<int>& layer : m_layers) {
        GenerateMap(m_map, m_nRoughness);
        SampleMap(m_map, m_nWidth, m_nHeight, layer);
    }
    for (std::uint32_t i = 0; i < 256; ++i)
        m_palette[i] = 0xFF000000u | i << 16 | i << 8 | 0xFFu; // red = green = i, blue 255
    m_nTextPos = m_nHeight + 25;
    m_frame.Create(m_nWidth, m_nHeight);
    ComposeFrame();
    m_timers.SetTimer(kTimerId, kTimerMs);
}

void CCloudsCtrl::RenderText()
{
    const int w = m_nWidth;
    const int h = m_nHeight;
    m_text.Create(w, h);
    m_text.Fill(0xFFFFFF);
    const QFont title = TextFont(24, 700);
    const QFont heading = TextFont(16, 700);
    const QFont body = TextFont(14, 400);
    platform::SurfacePainter painter(m_text);
    painter.setPen(Qt::black);
    int top = 0;
    for (QString line : m_strText.split(u'\n')) {
        const QFont* font = &body;
        if (line.startsWith(u'\t')) {
            font = &title;
            while (line.startsWith(u'\t'))
                line.remove(0, 1);
        } else if (line.startsWith(u'\r')) {
            font = &heading;
            while (line.startsWith(u'\r'))
                line.remove(0, 1);
        }
        painter.setFont(*font);
        if (top < h)
            painter.drawText(QRect(0, top, w, h - top), Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, line);
        top += QFontMetrics(*font).height();
    }
}

void CCloudsCtrl::UpdateOffsets()
{
    const int w = m_nWidth;
    const int h = m_nHeight;
    if (!m_bSteering) {
        m_dx = m_defaultDx;
        m_dy = m_defaultDy;
    }
    m_x1 = (m_dx + m_x1 + w) % w;
    m_y1 = (m_dy + m_y1 + h) % h;
    m_x2 = (w + m_dx / 2 + m_x2) % w;
    m_y2 = (h + m_dy / 2 + m_y2) % h;
    // Layer 3 goes with layer 2, a third of the drift ahead.
    m_x3 = (m_x2 + m_dx / 3 + w) % w;
    m_y3 = (m_y2 + m_dy / 3 + h) % h;
}

void CCloudsCtrl::ComposeFrame()
{
    const int w = m_nWidth;
    const int h = m_nHeight;
    if (w <= 0 || h <= 0)
        return;
    UpdateOffsets();
    const int xs[3] = {m_x1, m_x2, m_x3};
    const int ys[3] = {m_y1, m_y2, m_y3};
    for (int i = 0; i < h; ++i) {
        const int* rows[3];
        int columns[3];
        for (int m = 0; m < 3; ++m) {
            rows[m] = m_layers[static_cast<std::size_t>(m)].data() + static_cast<std::size_t>((i + ys[m]) % h) * w;
            columns[m] = xs[m] % w;
        }
        // Row i counts from the bottom, as in a bottom-up bitmap.
        std::uint32_t* const out = m_frame.Row(h - 1 - i);
        for (int j = 0; j < w; ++j) {
            const int v = (rows[0][columns[0]] + rows[1][columns[1]] + rows[2][columns[2]]) / 3;
            out[j] = m_palette[static_cast<std::size_t>(v)];
            for (int& c : columns) {
                if (++c == w)
                    c = 0;
            }
        }
    }
    m_frame.BitBlt(0, m_nTextPos, w, h, m_text, 0, 0, platform::RasterOp::MergePaint);
    if (--m_nTextPos < -h)
        m_nTextPos = h;
    update();
}

void CCloudsCtrl::paintEvent(QPaintEvent*)
{
    if (m_frame.IsNull())
        return;
    QPainter painter(this);
    painter.drawImage(0, 0, m_frame.Image());
}

void CCloudsCtrl::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    m_dx = p.x() > m_lastX ? -m_nSteerSpeed : p.x() < m_lastX ? m_nSteerSpeed : 0;
    m_dy = p.y() > m_lastY ? m_nSteerSpeed : p.y() < m_lastY ? -m_nSteerSpeed : 0;
    m_lastX = p.x();
    m_lastY = p.y();
    QWidget::mouseMoveEvent(event);
}
