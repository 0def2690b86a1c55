// clang-format off
#include <GL/glew.h> // before every other OpenGL header
// clang-format on
#include "effects/shader_clock.h"

#include <QPointF>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <ctime>
#include <numbers>

LocalDateTime CurrentLocalTime()
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    // localtime_r keeps the zone it read first; tzset reads the zone again (a
    // look at the zone file each call). Once a second follows a change of the
    // system's zone soon enough, at a twentieth of the cost of every frame.
    static std::atomic<time_t> zoneReadAt{-1};
    if (zoneReadAt.exchange(now.tv_sec) != now.tv_sec)
        tzset();
    tm local{};
    localtime_r(&now.tv_sec, &local);
    return {local.tm_year + 1900,
            local.tm_mon + 1,
            local.tm_mday,
            local.tm_hour,
            local.tm_min,
            local.tm_sec,
            static_cast<int>(now.tv_nsec / 1'000'000)};
}

std::array<float, 4> DateUniform(const LocalDateTime& time)
{
    const float seconds = static_cast<float>(time.minute * 60 + time.hour * 3600 + time.second) +
                          static_cast<float>(time.millisecond) / 1000.0f;
    return {static_cast<float>(time.year), static_cast<float>(time.month), static_cast<float>(time.day),
            seconds};
}

HandDirections HandDirectionsAt(float seconds)
{
    constexpr double kTurn = 2 * std::numbers::pi;
    const double s = seconds;
    const auto direction = [](double turns) {
        return std::array<float, 2>{static_cast<float>(std::sin(kTurn * turns)),
                                    static_cast<float>(std::cos(kTurn * turns))};
    };
    return {direction(std::fmod(s, 43200.0) / 43200.0), direction(std::fmod(s, 3600.0) / 3600.0),
            direction(std::fmod(s, 60.0) / 60.0), direction(std::floor(std::fmod(s, 3600.0) / 60.0) / 60.0),
            direction(std::min(std::fmod(s, 60.0) / 58.5, 1.0))};
}

namespace {

// How far a hand's colour reaches beyond the hand and beyond its shadow's place,
// in dial units: the shadow's soft edge (1.8), with room for the slanted edges'
// distance estimate.
constexpr double kShadowReach = 2.2;
// And in pixels: the antialiased edge (half a pixel) and the pixel centres' rounding.
constexpr double kEdgePixels = 1.0;
// The largest move (as the chord between the two directions) one quad covers:
// about 30 degrees.
constexpr double kMaxMoveChord = 0.5;

// Dial units per pixel of a width x height dial (65 units from the centre to the
// nearer edge).
double UnitsPerPixel(QSize size)
{
    return 130.0 / std::min(size.width(), size.height());
}

} // namespace

std::optional<DialHands> DialHandsOf(std::string_view shaderName)
{
    // The shadows as the shader files offset them: 1, 1.3 and 1.6 (railway 1.7)
    // times the light's offset.
    if (shaderName == "LM_Clock")
        return DialHands{
            {{{5, 28, 3.0f, {0.8f, -1.2f}}, {6, 42, 2.2f, {1.04f, -1.56f}}, {13, 45, 1.9f, {1.28f, -1.92f}}}},
            false};
    if (shaderName == "SwissRailwayClock")
        return DialHands{{{{11, 29, 2.3f, {0.7f, -1.0f}},
                           {11, 44, 1.9f, {0.91f, -1.3f}},
                           {15, 34.2f, 3.7f, {1.19f, -1.7f}}}},
                         true};
    return std::nullopt;
}

std::array<std::array<float, 2>, 3> FollowedDirections(const HandDirections& directions, bool railway)
{
    if (railway)
        return {directions.hour, directions.minuteStep, directions.secondStop};
    return {directions.hour, directions.minute, directions.second};
}

bool AddHandMove(const DialHand& hand, std::array<float, 2> from, std::array<float, 2> to, QSize size,
                 std::vector<float>& corners)
{
    const double chord = std::hypot(double{from[0]} - to[0], double{from[1]} - to[1]);
    if (chord > kMaxMoveChord)
        return false;
    // The quad lies along the bisector u of the two directions. Turning the hand
    // by half the angle either way moves a point at distance r from the axis by
    // at most r sin(half angle) = r chord / 2, across and along; a touch more
    // covers directions that are not exactly of unit length.
    const double ux = double{from[0]} + to[0];
    const double uy = double{from[1]} + to[1];
    const double length = std::hypot(ux, uy);
    const QPointF along(ux / length, uy / length);
    const QPointF across(along.y(), -along.x());
    const double pixel = UnitsPerPixel(size);
    const double margin = kShadowReach + kEdgePixels * pixel;
    const double turn = chord / 2 * 1.001 + 1e-4;
    const double halfWidth = hand.halfWidth + margin;
    const double back = hand.back + margin;
    const double tip = hand.tip + margin;
    const double side = halfWidth + std::max(back, tip) * turn;
    // The quad that holds the hand's moves, stretched to hold them shifted to
    // the shadow's place as well.
    const double shadowAcross = hand.shadow[0] * across.x() + hand.shadow[1] * across.y();
    const double shadowAlong = hand.shadow[0] * along.x() + hand.shadow[1] * along.y();
    const double x0 = -side + std::min(0.0, shadowAcross);
    const double x1 = side + std::max(0.0, shadowAcross);
    const double y0 = -back - halfWidth * turn + std::min(0.0, shadowAlong);
    const double y1 = tip + halfWidth * turn + std::max(0.0, shadowAlong);

    const auto corner = [&](double x, double y) {
        const QPointF p = x * across + y * along; // dial units, y up, from the centre
        const double nx = 2 * p.x() / (pixel * size.width());
        const double ny = 2 * p.y() / (pixel * size.height());
        for (const double value : {nx, ny, (nx + 1) / 2, (ny + 1) / 2})
            corners.push_back(static_cast<float>(value));
    };
    corner(x0, y0);
    corner(x1, y0);
    corner(x0, y1);
    corner(x0, y1);
    corner(x1, y0);
    corner(x1, y1);
    return true;
}

QRect PixelBounds(const std::vector<float>& corners, QSize size)
{
    if (corners.empty())
        return {};
    double left = 1, right = -1, bottom = 1, top = -1; // clip space, y up
    for (std::size_t i = 0; i + 1 < corners.size(); i += 4) {
        left = std::min(left, double{corners[i]});
        right = std::max(right, double{corners[i]});
        bottom = std::min(bottom, double{corners[i + 1]});
        top = std::max(top, double{corners[i + 1]});
    }
    const auto pixels = [](double clip, int extent) { return (clip + 1) / 2 * extent; };
    const int x0 = static_cast<int>(std::floor(pixels(left, size.width())));
    const int x1 = static_cast<int>(std::ceil(pixels(right, size.width())));
    const int rowsFromBottom0 = static_cast<int>(std::floor(pixels(bottom, size.height())));
    const int rowsFromBottom1 = static_cast<int>(std::ceil(pixels(top, size.height())));
    const QRect rect(x0, size.height() - rowsFromBottom1, x1 - x0, rowsFromBottom1 - rowsFromBottom0);
    return rect & QRect(QPoint(0, 0), size);
}

bool CShaderClock::Create(const platform::Surface* source, int width, int height, const std::string& name)
{
    m_dialHands = DialHandsOf(name);
    m_lastDrawn.reset();
    return CShaderRenderer::Create(source, width, height, name);
}

bool CShaderClock::CollectHandMoves(const Drawn& now)
{
    m_moveCorners.clear();
    if (!m_dialHands || !m_lastDrawn || m_lastDrawn->colours != now.colours)
        return false;
    for (std::size_t i = 0; i < now.hands.size(); ++i)
        if (now.hands[i] != m_lastDrawn->hands[i] &&
            !AddHandMove(m_dialHands->hands[i], m_lastDrawn->hands[i], now.hands[i], {m_width, m_height},
                         m_moveCorners))
            return false;
    return true;
}

void CShaderClock::Render(platform::Surface& target, const platform::Surface* source)
{
    static const std::int64_t start = TickCount();
    const auto date = DateUniform(m_timeSource ? m_timeSource() : CurrentLocalTime());
    const HandDirections hands = HandDirectionsAt(date[3]);
    const Drawn now{FollowedDirections(hands, m_dialHands && m_dialHands->railway),
                    {m_hourColor[0], m_hourColor[1], m_hourColor[2], m_minuteColor[0], m_minuteColor[1],
                     m_minuteColor[2], m_secondColor[0], m_secondColor[1], m_secondColor[2]}};
    // With the source and the colours as before, only the hands' places change.
    const bool keepTexture = TakeSourceUnchanged();
    const bool handsOnly = keepTexture && CollectHandMoves(now);
    m_lastDrawn.reset(); // until this frame is drawn
    if (handsOnly && m_moveCorners.empty()) {
        m_changedRect = {};
        m_lastDrawn = now;
        return;
    }
    if (!BeginImagePass(source, keepTexture, !handsOnly))
        return;
    SetCommonUniforms(SecondsSince(start));
    glUniform4f(m_uniforms.iDate, date[0], date[1], date[2], date[3]);
    glUniform2fv(m_uniforms.iHourHand, 1, hands.hour.data());
    glUniform2fv(m_uniforms.iMinuteHand, 1, hands.minute.data());
    glUniform2fv(m_uniforms.iSecondHand, 1, hands.second.data());
    glUniform2fv(m_uniforms.iMinuteHandStep, 1, hands.minuteStep.data());
    glUniform2fv(m_uniforms.iSecondHandStop, 1, hands.secondStop.data());
    glUniform3fv(m_uniforms.iHourHandColor, 1, m_hourColor.data());
    glUniform3fv(m_uniforms.iMinuteHandColor, 1, m_minuteColor.data());
    glUniform3fv(m_uniforms.iSecondHandColor, 1, m_secondColor.data());
    if (handsOnly) {
        DrawTriangles(m_moveCorners);
        EndImagePass();
        ReadBack(target, PixelBounds(m_moveCorners, {m_width, m_height}));
    } else {
        FinishImagePass(target);
    }
    m_lastDrawn = now;
}
