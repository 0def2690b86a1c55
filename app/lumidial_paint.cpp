// The clock's picture: one frame composed from the effect layers, the date, the
// dot-matrix readout, the dial with its hands and the frame; the colours of the
// hands and of the readout.
#include "app/lmd_app.h"
#include "app/lumidial.h"
#include "platform/dialog.h"

#include <QFontMetricsF>
#include <array>
#include <cmath>

namespace {

constexpr COLORREF kKeyColour = 0xFF00FF; // the hands surface's background, left out when copied
constexpr COLORREF kFrameKey = 0x000000;  // the frame's transparent colour
constexpr COLORREF kTickColour = 0xD2D2D2;
constexpr COLORREF kMinuteOutline = 0x646464;
constexpr int kDayFontHeight = 14; // character cell height in dial units

// Hand outlines in dial units (y up, 65 units to the edge), pointing at twelve.
constexpr std::array<QPoint, 4> kTick = {{{0, 49}, {-2, 48}, {0, 46}, {2, 48}}};
// The hour hand's outline crosses itself: with the alternate fill the triangle
// (0, 10), (-2, 24), (2, 24) stays open, a window in the hand.
constexpr std::array<QPoint, 11> kHourHand = {
    {{0, 30}, {-5, 25}, {-2, 0}, {0, 0}, {0, 10}, {-2, 24}, {2, 24}, {0, 10}, {0, 0}, {2, 0}, {5, 25}}};
constexpr std::array<QPoint, 8> kMinuteHand = {
    {{0, 40}, {-5, 30}, {-2, 30}, {-4, 0}, {0, -2}, {4, 0}, {2, 30}, {5, 30}}};
constexpr std::array<QPoint, 2> kSecondHand = {{{0, 40}, {0, -10}}};

// A copy of an outline turned clockwise by degrees, as a polygon.
template <std::size_t N> QPolygon Rotated(const std::array<QPoint, N>& outline, double degrees)
{
    std::array<QPoint, N> points = outline;
    RotatePoints(points, degrees);
    return QPolygon(QList<QPoint>(points.begin(), points.end()));
}

struct DotColors
{
    COLORREF lit;
    COLORREF unlit;
};

DotColors DotColorsFor(const AppSettings& settings)
{
    switch (settings.DotColorGroup) {
    case 0:
        return {0x32FF00, 0x1E6700}; // green
    case 1:
        return {CDotMatrixText::kStripLit, CDotMatrixText::kStripUnlit}; // blue, the strip's own
    case 2:
        return {0x42B5A5, 0x020202}; // olive
    default:
        return {settings.DotMatrixOnColor, settings.DotMatrixOffColor};
    }
}

} // namespace

LocalDateTime CLumidial::Now() const
{
    return m_timeSource ? m_timeSource() : CurrentLocalTime();
}

void CLumidial::SetTimeSource(CShaderClock::TimeSource source)
{
    m_timeSource = std::move(source);
    if (m_pDialLayer)
        m_pDialLayer->SetClockTimeSource(m_timeSource);
}

void CLumidial::CreateDrawingResources()
{
    m_brKey = QBrush(platform::ToQColor(kKeyColour));
    m_penMinuteOutline = QPen(platform::ToQColor(kMinuteOutline), 1);
    m_fontDay = QFont(platform::MapFontFamily(QStringLiteral("Meiryo UI")));
    m_fontDay.setWeight(QFont::Normal);
}

void CLumidial::ComposeFrame()
{
    // While a zoom settles the layers still have the old size: the last frame stays.
    if (!m_pBackLayer || m_pBackLayer->Width() != m_nWidth || m_pBackLayer->Height() != m_nHeight)
        return;
    const AppSettings& settings = Settings();
    const LocalDateTime now = Now();

    m_pBackLayer->Render(nullptr);
    m_pMiddleLayer->RecaptureSource();
    m_pMiddleLayer->Render(nullptr);
    m_pFrontLayer->RecaptureSource();
    m_pFrontLayer->Render(&m_dcComposition);

    if (settings.Date) {
        m_pDateLayer->Render(&m_dcComposition);
        DrawDayNumber(m_dcComposition, now);
    }
    if (settings.DigitalWatch)
        DrawDigitalClock(m_dcComposition, settings.DigiSec, now);

    bool dialShader = false;
    if (settings.ClockHands) {
        if (settings.UseShaderMojiban) {
            // The dial shader reads the composition and writes the final picture itself.
            m_pDialLayer->Render(&m_dcFinal);
            dialShader = true;
        } else {
            DrawHands(m_dcHands, now);
            m_dcComposition.TransparentBlt(-1, -1, m_nWidth, m_nHeight, m_dcHands, 0, 0, m_nWidth, m_nHeight,
                                           kKeyColour);
        }
    }
    if (!dialShader)
        m_dcFinal.BitBlt(0, 0, m_nWidth, m_nHeight, m_dcComposition, 0, 0);
    if (settings.Frame)
        m_dcFinal.TransparentBlt(0, 0, m_nWidth, m_nHeight, m_dcFrame, 0, 0, m_nWidth, m_nHeight, kFrameKey);
}

void CLumidial::DrawHands(platform::Surface& dc, const LocalDateTime& now)
{
    // The key colour with a one-pixel black outline, as a rectangle with the
    // default pen draws it.
    dc.Fill(0x000000);
    dc.Fill(1, 1, m_nWidth - 2, m_nHeight - 2, kKeyColour);

    platform::SurfacePainter painter(dc);
    painter.setTransform(DialSpace(m_nWidth, m_nHeight).Transform());
    painter.setPen(Qt::NoPen);
    painter.setBrush(platform::ToQColor(kTickColour));
    for (int angle = 0; angle < 360; angle += 30)
        painter.drawPolygon(Rotated(kTick, angle));

    painter.setBrush(m_brHour);
    painter.drawPolygon(Rotated(kHourHand, now.hour % 12 * 30 + now.minute * 0.5), Qt::OddEvenFill);

    painter.setPen(m_penMinuteOutline);
    painter.setBrush(m_brMinute);
    painter.drawPolygon(Rotated(kMinuteHand, now.minute * 6 + now.second * 0.1));

    const QPolygon second = Rotated(kSecondHand, now.second * 6 + now.millisecond * 0.006);
    painter.setPen(m_penSecond);
    painter.drawPolyline(QPolygon({second[0], QPoint(0, 0), second[1]}));
}

void CLumidial::DrawDayNumber(platform::Surface& dc, const LocalDateTime& now)
{
    const std::optional<QPoint> at = DayNumberPosition(Settings().ClockFace, now.day);
    if (!at)
        return;
    const LogicalSpace space = DialSpace(m_nWidth, m_nHeight);
    // The font's cell is kDayFontHeight units high; the text is upright however
    // the space's y axis runs, so it is placed and sized in device pixels.
    const QPoint topLeft = space.ToDevice(*at);
    const int cell = std::abs(space.ToDevice({0, kDayFontHeight}).y() - space.ToDevice({0, 0}).y());
    QFont font = m_fontDay;
    font.setPixelSize(100);
    const double emPerCell = 100 / QFontMetricsF(font).height();
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(cell * emPerCell))));

    platform::SurfacePainter painter(dc);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QRect(topLeft, QSize(cell * 4, cell * 2)), Qt::AlignLeft | Qt::AlignTop,
                     QString::number(now.day));
}

void CLumidial::DrawDigitalClock(platform::Surface& dc, bool withSeconds, const LocalDateTime& now)
{
    const LogicalSpace space = BaseSpace(m_nWidth, m_nHeight);
    const DigitalReadout readout = DigitalReadoutFor(now.hour, now.minute, now.second);
    m_timeText.SetText(readout.time);
    m_timeText.Draw(dc, readout.timeAt.x(), readout.timeAt.y(), space);
    if (withSeconds) {
        m_secText.SetText(readout.seconds);
        m_secText.Draw(dc, readout.secondsAt.x(), readout.secondsAt.y(), space);
    }
}

void CLumidial::OnSetHandsColor(int kind)
{
    const AppSettings& settings = Settings();
    m_handColors = HandColorsFor(kind, settings.ClockFace, m_dcFrameSelect.GetPixel(27, 27),
                                 {settings.HourColor, settings.MinColor, settings.SecondColor});
    m_brHour = QBrush(platform::ToQColor(m_handColors.hour));
    m_brMinute = QBrush(platform::ToQColor(m_handColors.minute));
    m_penSecond =
        QPen(platform::ToQColor(m_handColors.second), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    if (m_pDialLayer)
        m_pDialLayer->SetHandColors(m_handColors.hour, m_handColors.minute, m_handColors.second);
}

void CLumidial::OnDotColorsChanged()
{
    const DotColors colors = DotColorsFor(Settings());
    for (CDotMatrixText* drawer : {&m_timeText, &m_secText}) {
        drawer->SetColors(colors.lit, colors.unlit, CDotMatrixText::kTransparent);
        drawer->LoadGlyphs();
    }
}
