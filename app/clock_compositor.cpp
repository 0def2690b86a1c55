// The clock's picture: one frame composed from the effect layers, the date, the
// dot-matrix readout, the dial with its hands and the frame; the colours of the
// hands and of the readout; the frame slots and the external frame.
#include "app/clock_compositor.h"

#include "effects/effect_codes.h"
#include "platform/dialog.h"
#include "platform/paths.h"
#include "platform/resources.h"
#include "platform/run_time_files.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace {

constexpr COLORREF kKeyColour = 0xFF00FF; // the hands surface's background, left out when copied
constexpr COLORREF kFrameKey = 0x000000;  // the frame's transparent colour
constexpr COLORREF kTickColour = 0xD2D2D2;
constexpr COLORREF kMinuteOutline = 0x646464;
constexpr int kDayFontHeight = 14; // character cell height in dial units
constexpr int kDateEffect = EFFECT_CLOCK_DATE;
constexpr int kFrameEffect = EFFECT_FRAME_TORUS;
constexpr int kExtFrameTemplateSlot = 4; // "FRM_LIME": its ring is the external frame's shape

// Built-in frame pictures, slots 0 to 15.
constexpr std::array<const char*, 16> kFrameResources = {
    "FRM_HYAKUSIKI",    "FRM_BONDIEBLUE",     "FRM_BLUEBERRY", "FRM_GRAPE",  "FRM_LIME", "FRM_STRAWBERRY",
    "FRM_TANGERINE",    "FRM_INDIGO",         "FRM_GRAPHITE",  "FRM_SNOW",   "FRM_SAGE", "FRM_RUBY",
    "FRM_FLOWER_POWER", "FRM_BLUE_DALMATIAN", "FRM_JAGUAR",    "FRM_PANTHER"};

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

// The drawn hands' outlines at a time (dial units): hour, minute, second.
std::array<QPolygon, 3> HandOutlines(const LocalDateTime& now)
{
    return {Rotated(kHourHand, now.hour % 12 * 30 + now.minute * 0.5),
            Rotated(kMinuteHand, now.minute * 6 + now.second * 0.1),
            Rotated(kSecondHand, now.second * 6 + now.millisecond * 0.006)};
}

// Whether the top-left width by height pixels of two surfaces are the same.
bool SamePixels(const platform::Surface& a, const platform::Surface& b, int width, int height)
{
    const QImage& x = a.Image();
    const QImage& y = b.Image();
    if (x.width() < width || x.height() < height || y.width() < width || y.height() < height ||
        x.format() != y.format() || x.depth() != 32)
        return false;
    const std::size_t bytes = static_cast<std::size_t>(width) * 4;
    for (int row = 0; row < height; ++row)
        if (std::memcmp(x.constScanLine(row), y.constScanLine(row), bytes) != 0)
            return false;
    return true;
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

// The picture at path; a relative path is read from the executable's folder.
// Null when no path is given or the file cannot be read.
QImage LoadFramePicture(const QString& path)
{
    if (path.isEmpty())
        return {};
    return platform::ReadPictureFile(platform::paths::InExeDir(path), true);
}

} // namespace

int DialEffect(int clockFace)
{
    switch (clockFace) {
    case 1:
        return EFFECT_DIAL_SWISS_RAILWAY;
    case 2:
        return EFFECT_DIAL_SEVEN_SEGMENT;
    default:
        return EFFECT_DIAL_DEFAULT;
    }
}

ClockCompositor::ClockCompositor(const AppSettings& settings) : m_settings(settings)
{
    // The lens model of the metal-lens effect; a missing file leaves the mesh empty.
    LoadObjModel(platform::paths::InExeDir(QStringLiteral("assets/lens.obj")).toLocal8Bit().toStdString(),
                 m_lensMesh);
    LoadFrames();
    m_dcFrameSelect.Create(m_nBaseWidth, m_nBaseHeight);
    CreateDrawingResources();
}

ClockCompositor::~ClockCompositor() = default;

QString ClockCompositor::ExtShader() const
{
    return m_settings.ExtShader;
}

QString ClockCompositor::ExtTexture() const
{
    return m_settings.ExtTexture;
}

int ClockCompositor::ClockFace() const
{
    return m_settings.ClockFace;
}

void ClockCompositor::LoadFrames()
{
    for (const char* name : kFrameResources)
        m_frameBitmaps.push_back(platform::LoadBitmap(name));
    m_frameBitmaps.resize(kFrameSlotCount); // slots 16 and 17 start empty
    m_bmpDefaultFrame = platform::LoadBitmap("FRM_DEFAULT_IMG");
}

void ClockCompositor::CreateDrawingResources()
{
    m_penMinuteOutline = QPen(platform::ToQColor(kMinuteOutline), 1);
    m_fontDay = QFont(platform::MapFontFamily(QStringLiteral("Meiryo UI")));
    m_fontDay.setWeight(QFont::Normal);
}

// --- size -----------------------------------------------------------------------------

void ClockCompositor::Resize(QSize size)
{
    m_nWidth = size.width();
    m_nHeight = size.height();
    m_bResizePending = true;
    // Until the layers fit the new size, the last picture shows scaled.
    const platform::Surface lastFrame = std::move(m_dcFinal);
    for (platform::Surface* surface :
         {&m_dcSnapshot, &m_dcHands, &m_dcComposition, &m_dcFrameSource, &m_dcFinal, &m_dcFrame})
        surface->Create(m_nWidth, m_nHeight);
    if (!lastFrame.IsNull())
        m_dcFinal.StretchBlt(0, 0, m_nWidth, m_nHeight, lastFrame, 0, 0, lastFrame.Width(),
                             lastFrame.Height());
    if (m_settings.FrameType != kShaderFrameSlot)
        StretchFrame();
    m_bSnapshotNew = true;
    RedrawAll();
}

template <typename Source>
std::unique_ptr<CEffectLayer> ClockCompositor::MakeLayer(const Source& source, int code)
{
    auto layer = std::make_unique<CEffectLayer>(m_nWidth, m_nHeight);
    layer->SetSettings(this);
    layer->SetSkipUnchanged(m_bSkipUnchanged);
    layer->Create(source);
    layer->SetEffect(code);
    return layer;
}

void ClockCompositor::RebuildLayers()
{
    // The old layers go first, the last made first: each later layer reads an
    // earlier one's output.
    m_pFrameLayer.reset();
    m_pDialLayer.reset();
    m_pDateLayer.reset();
    for (auto layer = m_layers.rbegin(); layer != m_layers.rend(); ++layer)
        layer->reset();

    ++m_nLayerGeneration;
    // The middle and front layers read the output of the one below, which is
    // the snapshot itself while the layers below pass it through.
    m_layers[kBack] = MakeLayer(&m_dcSnapshot, m_settings.EffectPtn0);
    m_layers[kMiddle] = MakeLayer(*m_layers[kBack], m_settings.EffectPtn1);
    m_layers[kFront] = MakeLayer(*m_layers[kMiddle], m_settings.EffectPtn2);
    for (const auto& layer : m_layers) {
        layer->SetFilter(m_settings.FilterColor, m_settings.FilterAlpha);
        layer->SetImageList(&m_imageList);
        layer->SetLensMesh(&m_lensMesh);
    }
    m_pDateLayer = MakeLayer(&m_dcComposition, kDateEffect);
    m_pDialLayer = MakeLayer(&m_dcComposition, DialEffect(m_settings.ClockFace));
    m_pDialLayer->SetClockTimeSource([this] { return m_frameTime; });
    m_pFrameLayer = MakeLayer(&m_dcFrameSource, kFrameEffect);
    m_bResizePending = false;
    m_bSnapshotNew = false; // the new back layer has just captured it
    RedrawAll();

    if (m_settings.FrameType == kShaderFrameSlot)
        RenderShaderFrame();
    SetPlayInterval(m_settings.PlayInterval);
    SetHandsColor(m_settings.HandsColorKind);
}

// --- the desktop snapshot -------------------------------------------------------------

void ClockCompositor::SetSnapshot(const platform::Surface& desktop)
{
    // A still desktop gives the same pixels again: nothing the layers read changes.
    if (m_bSkipUnchanged && SamePixels(desktop, m_dcSnapshot, m_nWidth, m_nHeight))
        return;
    m_dcSnapshot.BitBlt(0, 0, m_nWidth, m_nHeight, desktop, 0, 0);
    m_bSnapshotNew = true;
}

void ClockCompositor::SnapshotChanged()
{
    if (m_layers[kBack])
        m_layers[kBack]->RecaptureSource();
}

void ClockCompositor::SetSkipUnchanged(bool skip)
{
    m_bSkipUnchanged = skip;
    for (const auto& layer : m_layers)
        if (layer)
            layer->SetSkipUnchanged(skip);
    for (CEffectLayer* layer : {m_pDateLayer.get(), m_pDialLayer.get(), m_pFrameLayer.get()})
        if (layer)
            layer->SetSkipUnchanged(skip);
    RedrawAll();
}

void ClockCompositor::ScrollSnapshot(QPoint topLeft, QPoint step, const ScreenGrab& grab)
{
    const int w = m_nWidth;
    const int h = m_nHeight;
    const int dx = step.x();
    const int dy = step.y();
    if (dx == 0 && dy == 0)
        return;
    // A step beyond the clock's size renews the whole snapshot in that direction.
    const int ax = std::min(std::abs(dx), w);
    const int ay = std::min(std::abs(dy), h);
    const int x = topLeft.x();
    const int y = topLeft.y();

    // The strips come from the edges of the new place that the window at its old
    // place does not cover, so the clock never captures itself. Both are taken
    // before the snapshot moves.
    const platform::Surface hStrip =
        dy != 0 ? grab(QRect(x, dy < 0 ? y : y + h - ay, w, ay)) : platform::Surface();
    const platform::Surface vStrip =
        dx != 0 ? grab(QRect(dx < 0 ? x : x + w - ax, y, ax, h)) : platform::Surface();

    m_dcSnapshot.BitBlt(-dx, -dy, w, h, m_dcSnapshot, 0, 0);
    if (dy != 0)
        m_dcSnapshot.BitBlt(0, dy < 0 ? 0 : h - ay, w, ay, hStrip, 0, 0);
    if (dx != 0)
        m_dcSnapshot.BitBlt(dx < 0 ? 0 : w - ax, 0, ax, h, vStrip, 0, 0);
    m_bSnapshotNew = true;
}

// --- frames ---------------------------------------------------------------------------

bool ClockCompositor::RenderEffectLayers()
{
    if (std::exchange(m_bSnapshotNew, false))
        m_layers[kBack]->SourceChanged();
    m_layers[kBack]->Render(nullptr);
    for (const Layer layer : {kMiddle, kFront}) {
        if (!m_bSkipUnchanged || m_layers[static_cast<std::size_t>(layer) - 1]->OutputChanged())
            m_layers[layer]->RecaptureSource();
        m_layers[layer]->Render(nullptr);
    }
    return !m_bSkipUnchanged || m_layers[kFront]->OutputChanged();
}

void ClockCompositor::KeyFrameOnto(platform::Surface& target, const QRect& area) const
{
    target.TransparentBlt(area.x(), area.y(), area.width(), area.height(), m_dcFrame, area.x(), area.y(),
                          area.width(), area.height(), kFrameKey);
}

ClockCompositor::Overlays ClockCompositor::OverlaysAt(const LocalDateTime& now) const
{
    Overlays overlays;
    overlays.date = m_settings.Date;
    overlays.digitalWatch = m_settings.DigitalWatch;
    overlays.digiSec = m_settings.DigiSec;
    overlays.clockHands = m_settings.ClockHands;
    overlays.dialShader = m_settings.UseShaderMojiban;
    overlays.frame = m_settings.Frame;
    overlays.clockFace = m_settings.ClockFace;
    if (overlays.date)
        overlays.day = now.day;
    if (overlays.digitalWatch) {
        const DigitalReadout readout = DigitalReadoutFor(now.hour, now.minute, now.second);
        overlays.time = readout.time;
        if (overlays.digiSec)
            overlays.seconds = readout.seconds;
    }
    if (overlays.clockHands && !overlays.dialShader)
        overlays.hands = HandOutlines(now);
    return overlays;
}

bool ClockCompositor::ComposeLayers(const Overlays& overlays, const LocalDateTime& now)
{
    const bool frontChanged = RenderEffectLayers();
    if (m_bSkipUnchanged && !m_bRedrawAll && !frontChanged && overlays == m_overlays)
        return false;
    m_overlays = overlays;
    m_dcComposition.BitBlt(0, 0, m_nWidth, m_nHeight, m_layers[kFront]->Output(), 0, 0);
    if (overlays.date) {
        m_pDateLayer->Render(&m_dcComposition);
        DrawDayNumber(m_dcComposition, now);
    }
    if (overlays.digitalWatch)
        DrawDigitalClock(m_dcComposition, overlays.digiSec, now);
    if (overlays.clockHands && !overlays.dialShader) {
        DrawHands(m_dcHands, overlays.hands);
        m_dcComposition.TransparentBlt(-1, -1, m_nWidth, m_nHeight, m_dcHands, 0, 0, m_nWidth, m_nHeight,
                                       kKeyColour);
    }
    return true;
}

QRect ClockCompositor::ComposeFinal(bool compositionChanged)
{
    const QRect whole(0, 0, m_nWidth, m_nHeight);
    const bool inFull = !m_bSkipUnchanged || m_bRedrawAll || compositionChanged;
    QRect changed;
    if (m_overlays.clockHands && m_overlays.dialShader) {
        // The dial shader reads the composition and draws the final picture.
        if (!compositionChanged && m_bSkipUnchanged)
            m_pDialLayer->SetSourceUnchanged();
        m_pDialLayer->Render(nullptr);
        changed = inFull ? whole : m_pDialLayer->ChangedRect();
        m_dcFinal.BitBlt(changed.x(), changed.y(), changed.width(), changed.height(), m_pDialLayer->Output(),
                         changed.x(), changed.y());
    } else if (inFull) {
        m_dcFinal.BitBlt(0, 0, m_nWidth, m_nHeight, m_dcComposition, 0, 0);
        changed = whole;
    }
    if (m_overlays.frame && !changed.isEmpty())
        KeyFrameOnto(m_dcFinal, changed);
    return changed;
}

const platform::Surface& ClockCompositor::Compose(const LocalDateTime& now)
{
    if (m_bResizePending) {
        m_rcChanged = QRect(0, 0, m_nWidth, m_nHeight);
        return m_dcFinal;
    }
    m_frameTime = now;
    const bool compositionChanged = ComposeLayers(OverlaysAt(now), now);
    m_rcChanged = ComposeFinal(compositionChanged);
    m_bRedrawAll = false;
    return m_dcFinal;
}

const platform::Surface& ClockCompositor::ComposeDragFrame()
{
    if (m_bResizePending)
        return m_dcFinal;
    // The snapshot has moved: the back layer reads it anew.
    m_layers[kBack]->RecaptureSource();
    RenderEffectLayers();
    m_dcFinal.BitBlt(0, 0, m_nWidth, m_nHeight, m_layers[kFront]->Output(), 0, 0);
    m_rcChanged = QRect(0, 0, m_nWidth, m_nHeight);
    if (m_settings.Frame)
        KeyFrameOnto(m_dcFinal, m_rcChanged);
    // The next frame puts the date, readout and dial back.
    RedrawAll();
    return m_dcFinal;
}

void ClockCompositor::DrawHands(platform::Surface& dc, const std::array<QPolygon, 3>& hands)
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
    painter.drawPolygon(hands[0], Qt::OddEvenFill);

    painter.setPen(m_penMinuteOutline);
    painter.setBrush(m_brMinute);
    painter.drawPolygon(hands[1]);

    const QPolygon& second = hands[2];
    painter.setPen(m_penSecond);
    painter.drawPolyline(QPolygon({second[0], QPoint(0, 0), second[1]}));
}

void ClockCompositor::DrawDayNumber(platform::Surface& dc, const LocalDateTime& now)
{
    const std::optional<QPoint> at = DayNumberPosition(m_settings.ClockFace, now.day);
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

void ClockCompositor::DrawDigitalClock(platform::Surface& dc, bool withSeconds, const LocalDateTime& now)
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

// --- what the settings and menus change -----------------------------------------------

void ClockCompositor::SetLayerEffect(Layer layer, int code)
{
    if (m_layers[layer])
        m_layers[layer]->SetEffect(code);
}

void ClockCompositor::SetClockFace(int type)
{
    RedrawAll();
    if (m_pDialLayer)
        m_pDialLayer->SetEffect(DialEffect(type));
}

void ClockCompositor::SetFilter(platform::COLORREF colour, int strength)
{
    for (const auto& layer : m_layers)
        if (layer)
            layer->SetFilter(colour, strength);
}

void ClockCompositor::SetPlayInterval(int seconds)
{
    for (const auto& layer : m_layers)
        if (layer)
            layer->SetPlayInterval(std::max(seconds, 1));
}

void ClockCompositor::SetImagePaths(std::vector<QString> paths)
{
    m_imageList.SetPaths(std::move(paths));
    // The layers start the new list from its first image.
    for (const auto& layer : m_layers)
        if (layer)
            layer->SetImageList(&m_imageList);
}

void ClockCompositor::SetImageList(const CImagePathList& list)
{
    m_imageList = list;
}

void ClockCompositor::MouseMove(QPoint point)
{
    for (const auto& layer : m_layers)
        if (layer)
            layer->MouseMove(point);
}

void ClockCompositor::SetHandsColor(int kind)
{
    m_handColors = HandColorsFor(kind, m_settings.ClockFace, m_dcFrameSelect.GetPixel(27, 27),
                                 {m_settings.HourColor, m_settings.MinColor, m_settings.SecondColor});
    m_brHour = QBrush(platform::ToQColor(m_handColors.hour));
    m_brMinute = QBrush(platform::ToQColor(m_handColors.minute));
    m_penSecond =
        QPen(platform::ToQColor(m_handColors.second), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    RedrawAll();
    if (m_pDialLayer)
        m_pDialLayer->SetHandColors(m_handColors.hour, m_handColors.minute, m_handColors.second);
}

void ClockCompositor::SetDotColors()
{
    const DotColors colors = DotColorsFor(m_settings);
    for (CDotMatrixText* drawer : {&m_timeText, &m_secText}) {
        drawer->SetColors(colors.lit, colors.unlit, CDotMatrixText::kTransparent);
        drawer->LoadGlyphs();
    }
    RedrawAll();
}

void ClockCompositor::SelectFrame(int slot)
{
    if (slot < 0 || slot >= kFrameSlotCount)
        return; // no such slot
    // Slot 16 has no picture: the previous frame stays selected.
    if (const QImage& picture = m_frameBitmaps[static_cast<std::size_t>(slot)]; !picture.isNull()) {
        platform::SurfacePainter painter(m_dcFrameSelect);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.fillRect(0, 0, m_nBaseWidth, m_nBaseHeight, Qt::black);
        painter.drawImage(0, 0, picture);
    }
    StretchFrame();
    if (slot == kShaderFrameSlot)
        RenderShaderFrame();
}

void ClockCompositor::StretchFrame()
{
    RedrawAll();
    if (m_dcFrame.IsNull())
        return; // no size yet
    m_dcFrame.StretchBlt(0, 0, m_nWidth, m_nHeight, m_dcFrameSelect, 0, 0, m_nBaseWidth, m_nBaseHeight);
}

void ClockCompositor::RenderShaderFrame()
{
    RedrawAll();
    if (m_dcFrame.IsNull())
        return; // no size yet
    m_dcFrame.PatBlt(0, 0, m_nWidth, m_nHeight, platform::PatOp::Blackness);
    if (m_pFrameLayer)
        m_pFrameLayer->Render(&m_dcFrame);
}

void ClockCompositor::CreateExtFrame(const QString& imagePath, bool gradation)
{
    QImage texture = LoadFramePicture(imagePath);
    if (texture.isNull())
        texture = m_bmpDefaultFrame;
    m_frameBitmaps[kExternalFrameSlot] =
        BuildExtFrame(m_frameBitmaps[kExtFrameTemplateSlot], texture, gradation);
}
