
// clang-format off
#include <GL/glew.h> // before every other OpenGL header
// clang-format on
#include "effects/shader_clock.h"
#include "platform/paths.h"
#include "platform/surface.h"
#include "tests/effects/shader_gl_fixture.h"
#include "tests/support/screens.h"

#include <QFile>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <numbers>

namespace {

using lmd::test::Channels;
using lmd::test::DataFiles;
using lmd::test::ErrorSink;
using lmd::test::FragmentShader;
using Clock = lmd::test::Probe<CShaderClock>;

std::array<float, 3> Rgb(int r, int g, int b)
{
    return {r / 255.0f, g / 255.0f, b / 255.0f};
}

TEST(ShaderClockTest, HandColoursReachTheShaderExactly)
{
    ErrorSink sink;
    DataFiles files;
    files.Write("shaders/t_colours.frag", FragmentShader(R"(
uniform vec2 iResolution;
uniform vec3 iHourHandColor;
uniform vec3 iMinuteHandColor;
uniform vec3 iSecondHandColor;
void main() {
    float third = gl_FragCoord.x / iResolution.x * 3.0;
    vec3 c = third < 1.0 ? iHourHandColor : third < 2.0 ? iMinuteHandColor : iSecondHandColor;
    gl_FragColor = vec4(c, 1.0);
}
)"));
    const platform::Surface source(30, 4);
    platform::Surface target(30, 4);
    Clock clock;
    ASSERT_TRUE(clock.Create(&source, 30, 4, "t_colours"));
    clock.m_hourColor = Rgb(0xC0, 0xC0, 0xC0);
    clock.m_minuteColor = Rgb(1, 254, 127);
    clock.m_secondColor = Rgb(0x68, 0xBA, 0x5F);
    clock.Render(target, &source);
    EXPECT_EQ(target.GetPixel(5, 1), platform::Rgb(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(target.GetPixel(15, 1), platform::Rgb(1, 254, 127));
    EXPECT_EQ(target.GetPixel(25, 1), platform::Rgb(0x68, 0xBA, 0x5F));
    // A new colour shows on the next frame, without a new set-up.
    clock.m_secondColor = Rgb(255, 0, 9);
    clock.Render(target, &source);
    EXPECT_EQ(target.GetPixel(25, 1), platform::Rgb(255, 0, 9));
    EXPECT_TRUE(sink.Errors().empty());
    EXPECT_EQ(clock.GlError(), GLenum(GL_NO_ERROR));
}

TEST(ShaderClockTest, DateComesFromTheTimeSource)
{
    DataFiles files;
    files.Write("shaders/t_date.frag", FragmentShader(R"(
uniform vec4 iDate;
void main() { gl_FragColor = vec4(iDate.y / 255.0, iDate.z / 255.0, floor(iDate.w / 3600.0) / 255.0, 1.0); }
)"));
    const platform::Surface source(4, 4);
    platform::Surface target(4, 4);
    Clock clock;
    ASSERT_TRUE(clock.Create(&source, 4, 4, "t_date"));
    clock.SetTimeSource([] { return LocalDateTime{2031, 11, 23, 17, 30, 0, 0}; });
    clock.Render(target, &source);
    EXPECT_EQ(target.GetPixel(1, 1), platform::Rgb(11, 23, 17));
}

// --- The dial faces ---

struct Face
{
    const char* name;
    bool swiss; // the minute hand jumps, the second hand pauses at twelve
    // Where each hand can be seen (dial units from the centre).
    std::array<float, 3> hourRadii, minuteRadii, secondRadii;
};

const Face kFaces[] = {
    {"LM_Clock", false, {12, 18, 23}, {22, 30, 37}, {30, 37, 43}},
    {"SwissRailwayClock", true, {15, 20, 25}, {22, 32, 40}, {20, 26, 31}},
    {"7segmentDisplay", false, {10, 15, 20}, {18, 25, 31}, {20, 26, 30}},
};

struct Time
{
    int hour, minute, second;
};

constexpr double kPi = std::numbers::pi;

struct HandAngles
{
    double hour, minute, second; // radians, clockwise from twelve
};

HandAngles Angles(const Time& t, bool swiss)
{
    const double s = t.hour * 3600.0 + t.minute * 60.0 + t.second;
    const double minutes = swiss ? std::floor(std::fmod(s, 3600.0) / 60.0) * 60.0 : std::fmod(s, 3600.0);
    const double seconds = swiss ? std::min(std::fmod(s, 60.0) / 58.5 * 60.0, 60.0) : std::fmod(s, 60.0);
    return {2 * kPi * std::fmod(s, 43200.0) / 43200.0, 2 * kPi * minutes / 3600.0, 2 * kPi * seconds / 60.0};
}

// How strongly the neighbourhood of a dial point shows one channel above the
// others (0 red, 1 green, 2 blue).
int Dominance(const platform::Surface& image, double angle, double radius, int channel)
{
    const double unit = image.Width() / 130.0; // pixels per dial unit
    const int cx = static_cast<int>(std::floor(image.Width() / 2.0 + radius * std::sin(angle) * unit));
    const int cy = static_cast<int>(std::floor(image.Height() / 2.0 - radius * std::cos(angle) * unit));
    int best = -255;
    for (int y = cy - 1; y <= cy + 1; ++y)
        for (int x = cx - 1; x <= cx + 1; ++x) {
            const auto c = Channels(image.Row(y)[x]);
            const int v[3] = {c.r, c.g, c.b};
            best = std::max(best, v[channel] - std::max(v[(channel + 1) % 3], v[(channel + 2) % 3]));
        }
    return best;
}

// A busy, colourful desktop for the screenshots.
platform::Surface Desktop(int size)
{
    platform::Surface surface(size, size);
    QPainter painter(&surface.Image());
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, size, size);
    sky.setColorAt(0, QColor(38, 92, 160));
    sky.setColorAt(0.55, QColor(90, 160, 190));
    sky.setColorAt(1, QColor(220, 170, 110));
    painter.fillRect(0, 0, size, size, sky);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(250, 250, 250));
    painter.drawRoundedRect(QRectF(size * 0.08, size * 0.55, size * 0.55, size * 0.4), size * 0.02,
                            size * 0.02);
    painter.setBrush(QColor(60, 60, 70));
    painter.drawRect(QRectF(size * 0.08, size * 0.55, size * 0.55, size * 0.06));
    QRadialGradient sun(size * 0.75, size * 0.25, size * 0.2);
    sun.setColorAt(0, QColor(255, 240, 180));
    sun.setColorAt(1, QColor(255, 240, 180, 0));
    painter.setBrush(sun);
    painter.drawEllipse(QPointF(size * 0.75, size * 0.25), size * 0.2, size * 0.2);
    return surface;
}

class DialFaceTest : public ::testing::TestWithParam<Face>
{
protected:
    ErrorSink sink;
};

TEST_P(DialFaceTest, HandsPointAtTheTime)
{
    const Face& face = GetParam();
    for (const int zoom : {100, 300}) {
        const int size = 130 * zoom / 100;
        platform::Surface grey(size, size);
        grey.Fill(platform::Rgb(128, 128, 128));
        Clock clock;
        ASSERT_TRUE(clock.Create(&grey, size, size, face.name));
        clock.m_hourColor = Rgb(255, 0, 0);
        clock.m_minuteColor = Rgb(0, 255, 0);
        clock.m_secondColor = Rgb(0, 0, 255);
        for (const Time t : {Time{16, 40, 0}, Time{9, 5, 30}}) {
            SCOPED_TRACE(testing::Message()
                         << "zoom " << zoom << ", " << t.hour << ":" << t.minute << ":" << t.second);
            clock.SetTimeSource([t] { return LocalDateTime{2024, 5, 17, t.hour, t.minute, t.second, 0}; });
            platform::Surface target(size, size);
            clock.Render(target, &grey);
            const HandAngles a = Angles(t, face.swiss);
            const struct
            {
                double angle;
                const std::array<float, 3>& radii;
                int channel;
                const char* hand;
            } hands[] = {{a.hour, face.hourRadii, 0, "hour"},
                         {a.minute, face.minuteRadii, 1, "minute"},
                         {a.second, face.secondRadii, 2, "second"}};
            for (const auto& hand : hands)
                for (const float radius : hand.radii) {
                    EXPECT_GT(Dominance(target, hand.angle, radius, hand.channel), 60)
                        << hand.hand << " hand at radius " << radius;
                    // Not turned the other way round, nor pointing backwards.
                    if (std::abs(std::sin(hand.angle)) > 0.3) {
                        EXPECT_LT(Dominance(target, -hand.angle, radius, hand.channel), 30)
                            << hand.hand << " hand mirrored at radius " << radius;
                    }
                    EXPECT_LT(Dominance(target, hand.angle + kPi, radius, hand.channel), 30)
                        << hand.hand << " hand reversed at radius " << radius;
                }
        }
    }
    EXPECT_TRUE(sink.Errors().empty());
}

TEST_P(DialFaceTest, Screenshots)
{
    const Face& face = GetParam();
    for (const int zoom : {100, 600}) {
        const int size = 130 * zoom / 100;
        const platform::Surface desktop = Desktop(size);
        Clock clock;
        ASSERT_TRUE(clock.Create(&desktop, size, size, face.name));
        const bool swiss = face.swiss;
        clock.m_hourColor = swiss ? Rgb(0, 0, 0) : Rgb(0xC0, 0xC0, 0xC0);
        clock.m_minuteColor = swiss ? Rgb(0, 0, 0) : Rgb(0xFF, 0xFF, 0xFF);
        clock.m_secondColor = swiss ? Rgb(0xB4, 0x0A, 0x12) : Rgb(0x68, 0xBA, 0x5F);
        clock.SetTimeSource([] { return LocalDateTime{2024, 5, 17, 10, 9, 36, 0}; });
        platform::Surface target(size, size);
        clock.Render(target, &desktop);
        lmd::test::SaveScreen(target.Image(), QString("dial_%1_%2").arg(face.name).arg(zoom));
    }
    EXPECT_TRUE(sink.Errors().empty());
}

// The dial with each hand's direction computed per pixel from iDate, as the
// shader would without the uniforms: the same file, each hand uniform replaced
// by its per-pixel expression.
std::string PerPixelHands(std::string text)
{
    const std::pair<const char*, const char*> hands[] = {
        {"iHourHand", "TAU * mod(iDate.w, 43200.0) / 43200.0"},
        {"iMinuteHand", "TAU * mod(iDate.w, 3600.0) / 3600.0"},
        {"iSecondHand", "TAU * mod(iDate.w, 60.0) / 60.0"},
        {"iMinuteHandStep", "TAU * floor(mod(iDate.w, 3600.0) / 60.0) / 60.0"},
        {"iSecondHandStop", "TAU * min(mod(iDate.w, 60.0) / 58.5, 1.0)"},
    };
    for (const auto& [name, angle] : hands) {
        const std::string declaration = std::string("uniform vec2 ") + name + ";";
        const std::size_t at = text.find(declaration);
        if (at != std::string::npos) {
            text.replace(at, declaration.size(),
                         std::string("#define ") + name + " vec2(sin(" + angle + "), cos(" + angle + "))\n");
        }
    }
    return text;
}

TEST_P(DialFaceTest, HandUniformsDrawTheSamePictureAsPerPixelAngles)
{
    const Face& face = GetParam();
    QFile file(platform::paths::InExeDir(QString("shaders/%1.frag").arg(face.name)));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const std::string text = file.readAll().toStdString();
    const std::string reference = PerPixelHands(text);
    ASSERT_NE(reference, text) << "the dial takes no hand uniform";
    DataFiles files;
    files.Write("shaders/t_per_pixel_hands.frag", reference);
    const int size = 390;
    const platform::Surface desktop = Desktop(size);
    Clock clock, perPixel;
    ASSERT_TRUE(clock.Create(&desktop, size, size, face.name));
    ASSERT_TRUE(perPixel.Create(&desktop, size, size, "t_per_pixel_hands"));
    for (Clock* c : {&clock, &perPixel}) {
        c->m_hourColor = Rgb(200, 30, 30);
        c->m_minuteColor = Rgb(30, 200, 30);
        c->m_secondColor = Rgb(30, 30, 200);
    }
    for (const Time t : {Time{0, 0, 0}, Time{10, 9, 36}, Time{16, 40, 59}, Time{23, 59, 58}}) {
        SCOPED_TRACE(testing::Message() << t.hour << ":" << t.minute << ":" << t.second);
        for (const int millisecond : {0, 250, 999}) {
            const LocalDateTime now{2024, 5, 17, t.hour, t.minute, t.second, millisecond};
            clock.SetTimeSource([now] { return now; });
            perPixel.SetTimeSource([now] { return now; });
            platform::Surface a(size, size), b(size, size);
            clock.Render(a, &desktop);
            perPixel.Render(b, &desktop);
            // The directions are rounded once on the processor instead of per
            // pixel: an edge pixel may differ by a step of its coverage.
            int worst = 0;
            for (int y = 0; y < size; ++y)
                for (int x = 0; x < size; ++x) {
                    const auto p = Channels(a.Row(y)[x]), q = Channels(b.Row(y)[x]);
                    worst = std::max({worst, std::abs(p.r - q.r), std::abs(p.g - q.g), std::abs(p.b - q.b)});
                }
            EXPECT_LE(worst, 1) << "millisecond " << millisecond;
        }
    }
    EXPECT_TRUE(sink.Errors().empty());
}

// A frame told that its source is unchanged draws only where hands moved: over
// a scripted run (small steps, the railway dial's minute jump and second stop,
// a large jump, a new colour, a still clock) it must give exactly the picture
// of a frame drawn whole, at the clock's sizes and at an odd one.
TEST_P(DialFaceTest, HandsOnlyFramesEqualWholeFrames)
{
    const Face& face = GetParam();
    const bool known = DialHandsOf(face.name).has_value();
    for (const QSize size : {QSize(130, 130), QSize(390, 390), QSize(131, 97)}) {
        SCOPED_TRACE(testing::Message() << size.width() << "x" << size.height());
        const platform::Surface square = Desktop(size.width());
        platform::Surface desktop(size.width(), size.height());
        desktop.BitBlt(0, 0, size.width(), size.height(), square, 0, 0);
        Clock partial, whole;
        ASSERT_TRUE(partial.Create(&desktop, size.width(), size.height(), face.name));
        ASSERT_TRUE(whole.Create(&desktop, size.width(), size.height(), face.name));
        std::vector<std::int64_t> script; // milliseconds since midnight
        for (int i = 0; i < 70; ++i)
            script.push_back((10 * 3600 + 9 * 60 + 57) * 1000LL + i * 50); // over the minute's turn
        script.push_back(script.back() + 40'000);                          // a large jump
        for (int i = 1; i <= 3; ++i)
            script.push_back(script.back() + 50);
        script.push_back(script.back()); // a still clock
        platform::Surface a(size.width(), size.height()), b(size.width(), size.height());
        int smallRects = 0;
        for (std::size_t frame = 0; frame < script.size(); ++frame) {
            const std::int64_t ms = script[frame];
            const LocalDateTime now{2024,
                                    5,
                                    17,
                                    static_cast<int>(ms / 3'600'000),
                                    static_cast<int>(ms / 60'000 % 60),
                                    static_cast<int>(ms / 1000 % 60),
                                    static_cast<int>(ms % 1000)};
            const bool newColour = frame == 40;
            for (Clock* c : {&partial, &whole}) {
                c->SetTimeSource([now] { return now; });
                c->m_hourColor = Rgb(200, 30, 30);
                c->m_minuteColor = newColour ? Rgb(250, 250, 0) : Rgb(30, 200, 30);
                c->m_secondColor = Rgb(30, 30, 200);
            }
            if (frame > 0)
                partial.SetSourceUnchanged();
            partial.Render(a, &desktop);
            whole.Render(b, &desktop);
            ASSERT_TRUE(a.Image() == b.Image()) << "frame " << frame << " at " << ms << " ms";
            EXPECT_EQ(whole.ChangedRect(), QRect(QPoint(0, 0), size));
            const QRect changed = partial.ChangedRect();
            if (!known || frame == 0 || newColour) {
                EXPECT_EQ(changed, QRect(QPoint(0, 0), size)) << "frame " << frame;
            } else if (frame + 1 == script.size()) {
                EXPECT_TRUE(changed.isEmpty()) << "a still clock draws nothing";
            } else if (changed.width() * changed.height() < size.width() * size.height() * 3 / 4) {
                ++smallRects;
            }
        }
        if (known)
            EXPECT_GT(smallRects, 40) << "frames with small moves draw less than the whole";
    }
    EXPECT_TRUE(sink.Errors().empty());
}

void PrintTo(const Face& face, std::ostream* out)
{
    *out << face.name;
}

INSTANTIATE_TEST_SUITE_P(Faces, DialFaceTest, ::testing::ValuesIn(kFaces),
                         [](const auto& info) { return std::string(info.param.name).substr(0, 4); });

} // namespace

namespace {

// The whole clock as the window composes it: desktop, date window, dial, and
// the shader frame copied over with black as the transparent colour.
TEST(ShaderFacesTest, DateWindowFrameAndDialCompose)
{
    ErrorSink sink;
    for (const int zoom : {100, 600}) {
        const int size = 130 * zoom / 100;
        const platform::Surface desktop = Desktop(size);
        for (int type = 0; type < 3; ++type) {
            platform::Surface composition(size, size);
            composition.BitBlt(0, 0, size, size, desktop, 0, 0);
            CShaderRenderer date;
            ASSERT_TRUE(date.Create(&composition, size, size, "clockDate"));
            date.m_nMojibanType = type;
            date.Render(composition, &composition);

            static const char* const kDials[] = {"LM_Clock", "SwissRailwayClock", "7segmentDisplay"};
            Clock dial;
            ASSERT_TRUE(dial.Create(&composition, size, size, kDials[type]));
            dial.m_hourColor = type == 1 ? Rgb(0, 0, 0) : Rgb(0xC0, 0xC0, 0xC0);
            dial.m_minuteColor = type == 1 ? Rgb(0, 0, 0) : Rgb(0xFF, 0xFF, 0xFF);
            dial.m_secondColor = type == 1 ? Rgb(0xB4, 0x0A, 0x12) : Rgb(0x68, 0xBA, 0x5F);
            dial.SetTimeSource([] { return LocalDateTime{2024, 5, 17, 10, 9, 36, 0}; });
            platform::Surface final(size, size);
            dial.Render(final, &composition);

            const platform::Surface frameSource(size, size);
            platform::Surface frame(size, size);
            CShaderRenderer torus;
            ASSERT_TRUE(torus.Create(&frameSource, size, size, "FrameTorus"));
            torus.Render(frame, &frameSource);
            // Transparent inside and outside the ring, never on it.
            EXPECT_EQ(frame.GetPixel(size / 2, size / 2), platform::Rgb(0, 0, 0));
            EXPECT_EQ(frame.GetPixel(0, 0), platform::Rgb(0, 0, 0));
            EXPECT_NE(frame.GetPixel(size / 2, size / 2 - size * 58 / 130), platform::Rgb(0, 0, 0));
            final.TransparentBlt(0, 0, size, size, frame, 0, 0, size, size, platform::Rgb(0, 0, 0));
            lmd::test::SaveScreen(final.Image(), QString("clock_face%1_%2").arg(type).arg(zoom));
        }
    }
    EXPECT_TRUE(sink.Errors().empty()) << sink.Errors().front();
}

TEST(ShaderFacesTest, DateWindowFollowsTheDialType)
{
    const int size = 130;
    platform::Surface grey(size, size);
    grey.Fill(platform::Rgb(40, 40, 40));
    CShaderRenderer date;
    ASSERT_TRUE(date.Create(&grey, size, size, "clockDate"));
    const struct
    {
        int type;
        int x, y; // a point inside the window (pixels, top-down)
    } cases[] = {{0, 65 + 44, 65}, {1, 65 + 21, 65}, {2, 65, 65 + 36}};
    for (const auto& c : cases) {
        date.m_nMojibanType = c.type;
        platform::Surface target(size, size);
        date.Render(target, &grey);
        EXPECT_GT(platform::GetRValue(target.GetPixel(c.x, c.y)), 200) << "type " << c.type;
        for (const auto& other : cases) {
            if (other.type != c.type) {
                EXPECT_EQ(target.GetPixel(other.x, other.y), platform::Rgb(40, 40, 40)) << "type " << c.type;
            }
        }
    }
    // An unknown dial type has no window: the picture passes unchanged.
    date.m_nMojibanType = 3;
    platform::Surface target(size, size);
    date.Render(target, &grey);
    for (const auto& c : cases)
        EXPECT_EQ(target.GetPixel(c.x, c.y), platform::Rgb(40, 40, 40));
}

} // namespace
