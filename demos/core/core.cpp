#include "demos/core/core.h"

#include "platform/crt.h"
#include "platform/dialog.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <chrono>
#include <cmath>

gaxCore* currentCore = nullptr;
QPainter* currentGraphics = nullptr;
int canvasWidth = 0;
int canvasHeight = 0;

namespace {

constexpr int kMaxTextUnits = 255;
constexpr double kDegreesPerRadian = 57.29577951308232;

QColor DrawColor()
{
    return QColor::fromRgba(currentCore->drawColor);
}

constexpr double kDirectFillLimit = 1e6; // beyond this the painter handles the coordinates

// An opaque rectangle written straight into the painter's picture, pixel for
// pixel as the painter's own aliased fill sets them (edges rounded to the
// nearest pixel boundary), but without its per-call set-up: the demos fill up
// to one 1 by 1 rectangle per canvas pixel each frame. Only for an opaque
// colour on a 32-bit picture under a pure translation without clipping; false
// (nothing done) otherwise.
bool FillOpaqueRectDirectly(QPainter& painter, const QRectF& rect, QRgb argb)
{
    if (qAlpha(argb) != 0xFF || painter.device()->devType() != QInternal::Image || painter.hasClipping() ||
        painter.compositionMode() != QPainter::CompositionMode_SourceOver || painter.opacity() != 1.0)
        return false;
    auto& image = static_cast<QImage&>(*painter.device());
    const QImage::Format format = image.format();
    if (format != QImage::Format_RGB32 && format != QImage::Format_ARGB32 &&
        format != QImage::Format_ARGB32_Premultiplied)
        return false;
    const QTransform& transform = painter.worldTransform();
    if (painter.viewTransformEnabled() || transform.type() > QTransform::TxTranslate)
        return false;
    const QRectF mapped = rect.translated(transform.dx(), transform.dy());
    const double edges[] = {mapped.left(), mapped.top(), mapped.right(), mapped.bottom()};
    for (const double edge : edges)
        if (!(std::abs(edge) < kDirectFillLimit))
            return false; // far out, or not a number
    const auto [left, right] = std::minmax({qRound(edges[0]), qRound(edges[2])});
    const auto [top, bottom] = std::minmax({qRound(edges[1]), qRound(edges[3])});
    const QRect pixels = QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)) & image.rect();
    if (pixels.isEmpty())
        return true;
    const qsizetype stride = image.bytesPerLine() / static_cast<qsizetype>(sizeof(QRgb));
    QRgb* row = reinterpret_cast<QRgb*>(image.bits()) + pixels.top() * stride + pixels.left();
    for (int y = 0; y < pixels.height(); ++y, row += stride)
        std::fill_n(row, pixels.width(), argb);
    return true;
}

// The painter of the frame in progress, when a frame runs for a current app.
QPainter* Painter()
{
    return currentCore ? currentGraphics : nullptr;
}

// Fills the ellipse in the box as a path: every pixel whose centre lies inside,
// so the ink fills the box exactly (the painter's own aliased ellipse loses a
// row). One path is reused for every call.
void FillEllipse(QPainter& painter, const QRect& box)
{
    static QPainterPath path;
    path.clear();
    path.addEllipse(QRectF(box));
    painter.fillPath(path, DrawColor());
}

const QFont& TextFont()
{
    static const QFont font = platform::WindowsFont(QStringLiteral("Times New Roman"), 10);
    return font;
}

// UTF-8 text cut to 255 UTF-16 units, never inside a surrogate pair.
QString DrawableText(const std::string& text)
{
    QString converted = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    if (converted.size() > kMaxTextUnits)
        converted.truncate(converted.at(kMaxTextUnits - 1).isHighSurrogate() ? kMaxTextUnits - 1 : kMaxTextUnits);
    return converted;
}

void SetWorldTransform(const QTransform& transform)
{
    if (QPainter* const painter = Painter())
        painter->setWorldTransform(transform);
}

// The current matrix becomes the world transform; false without a current state.
bool SetMatrixAsWorldTransform()
{
    if (!currentCore)
        return false;
    SetWorldTransform(currentCore->matrix);
    return true;
}

// The sums of x and y and the product of the scales of the saved levels.
gaOffset StackTotals(const std::vector<gaOffset>& stack)
{
    gaOffset total;
    for (const gaOffset& level : stack) {
        total.x += level.x;
        total.y += level.y;
        total.scale *= level.scale;
    }
    return total;
}

} // namespace

// --- setters ----------------------------------------------------------------------

void gaSetColor(std::uint32_t argb)
{
    if (currentCore)
        currentCore->drawColor = argb;
}

void gaSetBackgroundColor(std::uint32_t argb)
{
    if (currentCore)
        currentCore->backgroundColor = argb;
}

void gaSetBackgroundAuto(bool on)
{
    if (currentCore)
        currentCore->autoBackground = on;
}

void gaSetFrameRate(float rate)
{
    if (currentCore)
        currentCore->frameRate = rate;
}

void gaSetLineWidth(float width)
{
    if (currentCore)
        currentCore->lineWidth = width;
}

void gaSetDrawFromCenter(int on)
{
    if (currentCore)
        currentCore->drawFromCenter = on;
}

// --- drawing ----------------------------------------------------------------------

void gaDrawRectangle(float x, float y, float w, float h)
{
    QPainter* const painter = Painter();
    if (!painter)
        return;
    const QRectF rect(x, y, w, h);
    if (!FillOpaqueRectDirectly(*painter, rect, currentCore->drawColor))
        painter->fillRect(rect, DrawColor());
}

void gaDrawCircle(float x, float y, float r)
{
    if (QPainter* const painter = Painter())
        FillEllipse(*painter, QRect(int(x - r), int(y - r), int(r + r), int(r + r)));
}

void gaDrawEllipse(float x, float y, float w, float h)
{
    if (QPainter* const painter = Painter())
        FillEllipse(*painter, QRect(int(x - w * 0.5f), int(y - h * 0.5f), int(w), int(h)));
}

void gaDrawLine(float x1, float y1, float x2, float y2)
{
    QPainter* const painter = Painter();
    if (!painter)
        return;
    // One pen for every line, changed only when the colour or width changes: a
    // new pen per line costs as much as the line.
    static QPen pen(Qt::black, 1.0, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    if (pen.color().rgba() != currentCore->drawColor || pen.widthF() != currentCore->lineWidth) {
        pen.setColor(DrawColor());
        pen.setWidthF(currentCore->lineWidth);
    }
    painter->setPen(pen);
    painter->drawLine(QLineF(x1, y1, x2, y2));
}

void gaDrawString(const std::string& text, float x, float y)
{
    QPainter* const painter = Painter();
    if (!painter)
        return;
    painter->setPen(DrawColor());
    painter->setFont(TextFont());
    painter->drawText(QRectF(x, y, 0, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip | Qt::TextExpandTabs,
                      DrawableText(text));
}

void gaDrawEllipseTransformed(float x, float y, float w, float h)
{
    if (SetMatrixAsWorldTransform())
        gaDrawEllipse(x, y, w, h);
}

void gaDrawLineTransformed(float x1, float y1, float x2, float y2)
{
    if (SetMatrixAsWorldTransform())
        gaDrawLine(x1, y1, x2, y2);
}

void gaDrawRectangleTransformed(float x, float y, float w, float h)
{
    if (SetMatrixAsWorldTransform())
        gaDrawRectangle(x, y, w, h);
}

// --- translate/scale stack ----------------------------------------------------------

void gaPushMatrix()
{
    if (!currentCore)
        return;
    currentCore->offsetStack.push_back(currentCore->offset);
    currentCore->offset = {};
}

void gaTranslate(float x, float y)
{
    if (!currentCore)
        return;
    currentCore->offset.x = x;
    currentCore->offset.y = y;
    const gaOffset saved = StackTotals(currentCore->offsetStack);
    SetWorldTransform(QTransform::fromTranslate(saved.x + x, saved.y + y));
}

void gaScale(float s)
{
    if (!currentCore)
        return;
    currentCore->offset.scale = s;
    const float factor = StackTotals(currentCore->offsetStack).scale * s;
    if (QPainter* const painter = Painter())
        painter->scale(factor, factor);
}

void gaPopMatrix()
{
    if (!currentCore)
        return;
    std::vector<gaOffset>& stack = currentCore->offsetStack;
    if (stack.empty()) {
        currentCore->offset = {};
        SetWorldTransform(QTransform());
        return;
    }
    const gaOffset totals = StackTotals(stack);
    currentCore->offset = totals;
    stack.pop_back();
    SetWorldTransform(QTransform::fromTranslate(totals.x, totals.y).scale(totals.scale, totals.scale));
}

// --- matrix stack -------------------------------------------------------------------------

void gaPushTransform()
{
    if (currentCore)
        currentCore->matrixStack.push_back(currentCore->matrix);
}

void gaTranslateTransform(float x, float y)
{
    if (currentCore)
        currentCore->matrix.translate(x, y);
}

void gaRotateTransform(float radians)
{
    if (currentCore)
        currentCore->matrix.rotate(static_cast<float>(radians * kDegreesPerRadian));
}

void gaPopTransform()
{
    if (!currentCore)
        return;
    currentCore->matrix.reset();
    if (currentCore->matrixStack.empty())
        return;
    currentCore->matrix = currentCore->matrixStack.back();
    currentCore->matrixStack.pop_back();
}

void gaSaveTransform()
{
    if (!currentCore || currentCore->savedTop >= kSavedMatrixCount - 1)
        return;
    ++currentCore->savedTop;
    currentCore->savedMatrices[static_cast<std::size_t>(currentCore->savedTop)] = currentCore->matrix;
}

void gaRestoreTransform()
{
    if (!currentCore || currentCore->savedTop < 0)
        return;
    QTransform& slot = currentCore->savedMatrices[static_cast<std::size_t>(currentCore->savedTop)];
    currentCore->matrix = slot;
    slot.reset();
    --currentCore->savedTop;
}

// --- time, random numbers, text ---------------------------------------------------------

float gaGetElapsedTime()
{
    using namespace std::chrono;
    static const steady_clock::time_point start = steady_clock::now();
    const auto milliseconds = duration_cast<std::chrono::milliseconds>(steady_clock::now() - start).count();
    return static_cast<float>(milliseconds / 1000.0);
}

float gaRandom(float a, float b)
{
    const float lo = std::min(a, b);
    const float hi = std::max(a, b);
    const float value = (static_cast<float>(crt::rand()) * (hi - lo) / crt::RAND_MAX_VALUE + lo) * 0.9999999f;
    return std::max(value, lo);
}

std::string gaToString(int value)
{
    return std::to_string(value);
}

// --- frame-rate readout -------------------------------------------------------------------

namespace {

std::int64_t SystemTicks()
{
    using namespace std::chrono;
    using Ticks = duration<std::int64_t, std::ratio<1, 10'000'000>>;
    return duration_cast<Ticks>(system_clock::now().time_since_epoch()).count();
}

gaTickClock g_tickClock = &SystemTicks;
std::int64_t g_previousTicks = 0;

} // namespace

int measuredFrameRate()
{
    const std::int64_t now = g_tickClock();
    const std::int64_t microseconds = (now - g_previousTicks) / 10;
    g_previousTicks = now;
    if (microseconds <= 0)
        return 0; // no interval to measure (or the clock went back)
    return static_cast<int>(static_cast<float>(1000.0 / (static_cast<double>(microseconds) / 1000.0)));
}

void gaSetTickClock(gaTickClock clock)
{
    g_tickClock = clock ? clock : &SystemTicks;
    g_previousTicks = 0;
}

// --- colours and vectors ------------------------------------------------------------------

void gaColor::setHsb(float hue, float saturation, float brightness, float alpha)
{
    // Truncated to an integer and kept to its low byte; a value beyond the int
    // range (or not a number) gives 0, as the integer conversion's overflow value does.
    const auto byte = [](float value) {
        return std::fabs(value) < 2147483648.0f ? static_cast<unsigned char>(static_cast<int>(value))
                                                : static_cast<unsigned char>(0);
    };
    a = byte(alpha);
    if (brightness == 0.0f) {
        r = g = b = 0;
        return;
    }
    if (saturation == 0.0f) {
        r = g = b = byte(brightness);
        return;
    }
    const float hueSix = hue * 6.0f / 255.0f;
    const float s = saturation / 255.0f;
    const float sector = std::floor(hueSix);
    if (!(sector >= 0.0f && sector <= 6.0f))
        return; // a hue outside 0 to 255 (or not a number)
    const float f = hueSix - sector;
    const float p = (1.0f - s) * brightness;
    const float q = (1.0f - s * f) * brightness;
    const float t = (1.0f - s * (1.0f - f)) * brightness;
    const float v = brightness;
    struct Rgb
    {
        float r, g, b;
    };
    const Rgb bySector[] = {{v, t, p}, {q, v, p}, {p, v, t}, {p, q, v}, {t, p, v}, {v, p, q}, {v, t, p}};
    const Rgb& rgb = bySector[static_cast<int>(sector)];
    r = byte(rgb.r);
    g = byte(rgb.g);
    b = byte(rgb.b);
}

float gaVec2f::length() const
{
    return std::sqrt(x * x + y * y);
}

void gaVec2f::normalize()
{
    const float l = length();
    if (l > 0.0f) {
        x /= l;
        y /= l;
    }
}

float gaVec3f::length() const
{
    return std::sqrt(x * x + y * y + z * z);
}

void gaVec3f::normalize()
{
    const float l = length();
    if (l > 0.0f) {
        x /= l;
        y /= l;
        z /= l;
    }
}
