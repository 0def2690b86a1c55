#include "about/star_wars_ctrl.h"

#include "platform/crt.h"
#include "platform/dialog.h"

#include <QElapsedTimer>
#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

CStarWarsCtrl::CStarWarsCtrl(QWidget* parent)
    : QWidget(parent),
      m_font(platform::WindowsFontFromHeight(QStringLiteral("Tahoma"), 24, 700)),
      m_timers(this, [this](int) { ComposeFrame(); })
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

int CStarWarsCtrl::MoveStar(int z, int speed)
{
    z -= speed;
    if (z > 255)
        return -255;
    if (z < -255)
        return 255;
    return z;
}

int CStarWarsCtrl::StarGrey(int z)
{
    return (255 - z) & 0xFF;
}

void CStarWarsCtrl::PreSubclassWindow()
{
    if (width() <= 0 || height() <= 0)
        return;
    for (Star& star : m_stars) {
        star.x = crt::rand() % 1025 - 512;
        star.y = crt::rand() % 1025 - 512;
        star.z = crt::rand() % 513 - 256;
    }
    m_nTextPos = height();
    m_frame.Create(width(), height());
    m_crawl.Create(width(), height());
    // A machine that needs 50 ms for a frame keeps the step; a faster one
    // scrolls less per frame.
    QElapsedTimer clock;
    clock.start();
    ComposeFrame();
    m_nScrollSpeed = static_cast<int>(static_cast<unsigned>(clock.elapsed()) *
                                      static_cast<unsigned>(m_nScrollSpeed) / 50u);
    m_timers.SetTimer(kTimerId, kTimerMs);
}

void CStarWarsCtrl::AddLine(const QString& text)
{
    const QFontMetrics metrics(m_font);
    Line line;
    line.cx = metrics.horizontalAdvance(text);
    line.cy = metrics.height();
    line.mask.Create(std::max(line.cx, 1), line.cy);
    {
        platform::SurfacePainter painter(line.mask);
        painter.setFont(m_font);
        painter.setPen(Qt::white);
        painter.drawText(0, metrics.ascent(), text);
    }
    m_lines.push_back(std::move(line));
}

void CStarWarsCtrl::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (!m_frame.IsNull()) {
        m_frame.Create(width(), height());
        m_crawl.Create(width(), height());
    }
}

void CStarWarsCtrl::ComposeFrame()
{
    if (m_frame.IsNull())
        return;
    m_frame.Fill(0x000000);
    DrawStars();
    DrawCrawl();
    update();
}

void CStarWarsCtrl::DrawStars()
{
    const int w = m_frame.Width();
    const int h = m_frame.Height();
    for (Star& star : m_stars) {
        star.z = MoveStar(star.z, m_nStarSpeed);
        const int d = star.z + 256; // 1..511
        const int x = star.x * 100 / d + w / 2;
        const int y = star.y * 100 / d + h / 2;
        const int g = StarGrey(star.z);
        // A 3 x 3 circle: its outline in the star's grey, its centre filled white.
        m_frame.SetPixel(x + 1, y, platform::Rgb(g, g, g));
        m_frame.SetPixel(x, y + 1, platform::Rgb(g, g, g));
        m_frame.SetPixel(x + 2, y + 1, platform::Rgb(g, g, g));
        m_frame.SetPixel(x + 1, y + 2, platform::Rgb(g, g, g));
        m_frame.SetPixel(x + 1, y + 1, 0xFFFFFF);
    }
}

void CStarWarsCtrl::DrawCrawl()
{
    const int w = m_crawl.Width();
    const int h = m_crawl.Height();
    m_crawl.PatBlt(0, 0, w, h, platform::PatOp::Blackness);
    const int count = static_cast<int>(m_lines.size());
    for (int i = 0; i < count; ++i) {
        const Line& line = m_lines[static_cast<std::size_t>(i)];
        const int top = i * line.cy + m_nTextPos;
        if (top <= 0) {
            if (i == count - 1)
                m_nTextPos = h; // the last line has gone: start again from the bottom
            continue;
        }
        // Lines fade toward the top: grey (y, y, y) below 256 pixels, else white.
        const std::uint32_t level = static_cast<std::uint32_t>(std::min(top, 255));
        const std::uint32_t colour = 0xFF000000u | level << 16 | level << 8 | level;
        const int left = w / 2 - line.cx / 2;
        for (int y = 0; y < line.cy && top + y < h; ++y) {
            const std::uint32_t* mask = line.mask.Row(y);
            std::uint32_t* out = m_crawl.Row(top + y);
            for (int x = std::max(0, -left); x < line.cx && left + x < w; ++x) {
                if (mask[x] & 0xFFFFFFu)
                    out[left + x] = colour;
            }
        }
    }
    // Each row squeezed to a width proportional to its distance from the top.
    for (int r = 0; r < h; ++r) {
        const double d = static_cast<double>(r) / h * w;
        m_frame.StretchBlt(static_cast<int>(w - d) / 2, r, static_cast<int>(d), 1, m_crawl, 0, r, w, 1,
                           platform::RasterOp::SrcPaint);
    }
    m_nTextPos -= m_nScrollSpeed;
}

void CStarWarsCtrl::paintEvent(QPaintEvent*)
{
    if (m_frame.IsNull())
        return;
    QPainter painter(this);
    painter.drawImage(0, 0, m_frame.Image());
}
