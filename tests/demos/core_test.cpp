// The 2D core's state, transform stacks, numbers and shapes, drawn into a
// 480 by 480 picture.
#include "demos/core/base_app.h"
#include "demos/core/core.h"
#include "platform/crt.h"
#include "tests/demos/canvas_fixture.h"

#include <QPainter>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <functional>
#include <numbers>
#include <thread>
#include <vector>

namespace {

using lmd::test::CanvasTest;
using lmd::test::InkBox;

void ExpectTransform(const QTransform& actual, const QTransform& expected)
{
    EXPECT_NEAR(actual.m11(), expected.m11(), 1e-5);
    EXPECT_NEAR(actual.m12(), expected.m12(), 1e-5);
    EXPECT_NEAR(actual.m21(), expected.m21(), 1e-5);
    EXPECT_NEAR(actual.m22(), expected.m22(), 1e-5);
    EXPECT_NEAR(actual.dx(), expected.dx(), 1e-4);
    EXPECT_NEAR(actual.dy(), expected.dy(), 1e-4);
}

TEST(CoreStateTest, NewAppStartsWithTheInitialState)
{
    const gaBaseApp app;
    const gaxCore& core = app.core();
    EXPECT_EQ(currentCore, &core);
    EXPECT_TRUE(core.running);
    EXPECT_EQ(core.graphics, nullptr);
    EXPECT_TRUE(core.autoBackground);
    EXPECT_EQ(core.backgroundColor, 0xFF000000u);
    EXPECT_EQ(core.drawColor, 0xFF7F7F7Fu);
    EXPECT_EQ(core.lineWidth, 1.0f);
    EXPECT_EQ(core.frameRate, 0.0f);
    EXPECT_EQ(core.frameNum, 0);
    EXPECT_EQ(core.drawFromCenter, 0);
    EXPECT_EQ(core.offset.x, 0.0f);
    EXPECT_EQ(core.offset.y, 0.0f);
    EXPECT_EQ(core.offset.scale, 1.0f);
    EXPECT_TRUE(core.offsetStack.empty());
    EXPECT_TRUE(core.matrix.isIdentity());
    EXPECT_TRUE(core.matrixStack.empty());
    EXPECT_EQ(core.savedTop, -1);
    for (const QTransform& slot : core.savedMatrices)
        EXPECT_TRUE(slot.isIdentity());
    EXPECT_EQ(app.mouseX, 0);
    EXPECT_EQ(app.mouseY, 0);
}

TEST(CoreStateTest, AnAppNeverReachesAnotherAppsState)
{
    auto first = std::make_unique<gaBaseApp>();
    auto second = std::make_unique<gaBaseApp>();
    EXPECT_EQ(currentCore, &second->core()); // the newest app's state is current

    first.reset();
    EXPECT_EQ(currentCore, &second->core()); // another app's going leaves it

    gaSetColor(0xFF123456);
    EXPECT_EQ(second->core().drawColor, 0xFF123456u);
    second.reset();
    EXPECT_EQ(currentCore, nullptr); // none is left to draw with

    // Without a state every call does nothing (and reaches no freed memory).
    gaSetColor(0xFFFFFFFF);
    gaTranslate(1, 2);
    gaPushMatrix();
    gaPopMatrix();
    gaScale(2);
    gaPushTransform();
    gaRotateTransform(1);
    gaPopTransform();
    gaSaveTransform();
    gaRestoreTransform();
    gaDrawRectangle(0, 0, 10, 10);
    gaDrawLineTransformed(0, 0, 10, 10);
}

TEST(CoreStateTest, SettersWriteTheCurrentState)
{
    const gaBaseApp app;
    gaSetColor(0x80102030);
    gaSetBackgroundColor(0xFF405060);
    gaSetBackgroundAuto(false);
    gaSetFrameRate(30);
    gaSetLineWidth(2.5f);
    gaSetDrawFromCenter(1);
    const gaxCore& core = app.core();
    EXPECT_EQ(core.drawColor, 0x80102030u);
    EXPECT_EQ(core.backgroundColor, 0xFF405060u);
    EXPECT_FALSE(core.autoBackground);
    EXPECT_EQ(core.frameRate, 30.0f);
    EXPECT_EQ(core.lineWidth, 2.5f);
    EXPECT_EQ(core.drawFromCenter, 1);
}

// --- translate/scale stack ---------------------------------------------------------

struct OffsetStackCase
{
    const char* name;
    std::function<void()> calls;
    QTransform world;
    gaOffset current;
    std::size_t depth;
};

void PrintTo(const OffsetStackCase& c, std::ostream* os)
{
    *os << c.name;
}

class OffsetStackTest : public CanvasTest, public ::testing::WithParamInterface<OffsetStackCase>
{
};

TEST_P(OffsetStackTest, WorldTransformAndLevels)
{
    const OffsetStackCase& c = GetParam();
    painter.setWorldTransform(QTransform::fromScale(7, 7)); // whatever was on before
    c.calls();
    ExpectTransform(painter.worldTransform(), c.world);
    const gaxCore& core = app.core();
    EXPECT_FLOAT_EQ(core.offset.x, c.current.x);
    EXPECT_FLOAT_EQ(core.offset.y, c.current.y);
    EXPECT_FLOAT_EQ(core.offset.scale, c.current.scale);
    EXPECT_EQ(core.offsetStack.size(), c.depth);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OffsetStackTest,
    ::testing::Values(
        OffsetStackCase{"TranslateAfterScaleDropsTheScale",
                        [] {
                            gaScale(2);
                            gaTranslate(10, 0);
                        },
                        QTransform::fromTranslate(10, 0), {10, 0, 2}, 0},
        OffsetStackCase{"TranslateReplacesTheLevelsOffset",
                        [] {
                            gaTranslate(10, 20);
                            gaTranslate(3, 4);
                        },
                        QTransform::fromTranslate(3, 4), {3, 4, 1}, 0},
        OffsetStackCase{"PopReturnsToTheSavedLevelsSum",
                        [] {
                            gaPushMatrix();
                            gaTranslate(100, 0);
                            gaPushMatrix();
                            gaTranslate(10, 0);
                            gaPopMatrix();
                        },
                        QTransform::fromTranslate(100, 0), {100, 0, 1}, 1},
        OffsetStackCase{"TranslateInAPushedLevelAddsTheSavedOffsets",
                        [] {
                            gaTranslate(30, 40);
                            gaPushMatrix();
                            gaTranslate(5, 6);
                        },
                        QTransform::fromTranslate(35, 46), {5, 6, 1}, 1},
        OffsetStackCase{"TwoScalesAtOneLevelMultiply",
                        [] {
                            gaScale(2);
                            gaScale(3);
                        },
                        QTransform(42, 0, 0, 42, 0, 0), {0, 0, 3}, 0}, // on the 7 that was there
        OffsetStackCase{"ScaleInAPushedLevelTimesTheSavedScale",
                        [] {
                            gaScale(2);
                            gaPushMatrix();
                            gaTranslate(10, 20);
                            gaScale(3);
                        },
                        QTransform(6, 0, 0, 6, 10, 20), {10, 20, 3}, 1},
        OffsetStackCase{"PopPutsBackTranslationAndScale",
                        [] {
                            gaTranslate(30, 40);
                            gaScale(2);
                            gaPushMatrix();
                            gaTranslate(5, 5);
                            gaPopMatrix();
                        },
                        QTransform(2, 0, 0, 2, 30, 40), {30, 40, 2}, 0},
        OffsetStackCase{"PopOnAnEmptyStackResets",
                        [] {
                            gaTranslate(5, 5);
                            gaScale(3);
                            gaPopMatrix();
                        },
                        QTransform(), {0, 0, 1}, 0},
        OffsetStackCase{"PushLeavesTheWorldTransform", [] { gaPushMatrix(); }, QTransform::fromScale(7, 7),
                        {0, 0, 1}, 1}),
    [](const auto& info) { return std::string(info.param.name); });

// --- matrix stack -------------------------------------------------------------------------

TEST(MatrixStackTest, SixtyFiveSavesKeepSixtyFourAndRestoresStopAtNone)
{
    const gaBaseApp app;
    for (int i = 1; i <= 65; ++i) {
        gaTranslateTransform(1, 0); // the i-th save holds a translation by i
        gaSaveTransform();
    }
    EXPECT_EQ(app.core().savedTop, 63);
    gaRestoreTransform();
    EXPECT_FLOAT_EQ(app.core().matrix.dx(), 64); // the 65th save was not kept
    for (int i = 0; i < 63; ++i)
        gaRestoreTransform();
    EXPECT_FLOAT_EQ(app.core().matrix.dx(), 1);
    EXPECT_EQ(app.core().savedTop, -1);
    for (const QTransform& slot : app.core().savedMatrices)
        EXPECT_TRUE(slot.isIdentity());

    gaTranslateTransform(5, 0);
    gaRestoreTransform(); // nothing saved: nothing changes
    EXPECT_FLOAT_EQ(app.core().matrix.dx(), 6);
    EXPECT_EQ(app.core().savedTop, -1);
}

TEST(MatrixStackTest, CallsActInTheLocalSpaceAndPopRestores)
{
    const gaBaseApp app;
    gaTranslateTransform(10, 0);
    gaPushTransform();
    gaRotateTransform(std::numbers::pi_v<float> / 2);
    // Rotated a quarter turn clockwise on screen, then moved by 10.
    const QPointF p = app.core().matrix.map(QPointF(1, 0));
    EXPECT_NEAR(p.x(), 10, 1e-5);
    EXPECT_NEAR(p.y(), 1, 1e-5);
    gaTranslateTransform(0, 5); // the local y is the screen's -x now
    EXPECT_NEAR(app.core().matrix.map(QPointF(0, 0)).x(), 5, 1e-5);

    gaPopTransform();
    ExpectTransform(app.core().matrix, QTransform::fromTranslate(10, 0));
    gaPopTransform(); // nothing pushed: identity
    EXPECT_TRUE(app.core().matrix.isIdentity());
}

// --- numbers, colours, vectors ------------------------------------------------------------

TEST(CoreNumbersTest, RandomDrawsFromTheRangeEitherWayRound)
{
    std::vector<float> downwards;
    std::vector<float> upwards;
    crt::srand(7);
    for (int i = 0; i < 2000; ++i)
        downwards.push_back(gaRandom(5, 1));
    crt::srand(7);
    for (int i = 0; i < 2000; ++i)
        upwards.push_back(gaRandom(1, 5));
    EXPECT_EQ(downwards, upwards);
    const auto [lowest, highest] = std::minmax_element(upwards.begin(), upwards.end());
    EXPECT_GE(*lowest, 1.0f);
    EXPECT_LT(*highest, 5.0f);
    EXPECT_LT(*lowest, 1.01f); // the whole range is used
    EXPECT_GT(*highest, 4.99f);

    for (int i = 0; i < 100; ++i) {
        EXPECT_EQ(gaRandom(2, 2), 2.0f);
        const float centred = gaRandom(-50, 50);
        EXPECT_GE(centred, -50.0f);
        EXPECT_LT(centred, 50.0f);
    }
}

TEST(CoreNumbersTest, ElapsedTimeComesInWholeMilliseconds)
{
    const float first = gaGetElapsedTime();
    float later = first;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while ((later = gaGetElapsedTime()) == first && std::chrono::steady_clock::now() < deadline)
        std::this_thread::yield();
    ASSERT_GT(later, first);
    for (const float seconds : {first, later}) {
        const float milliseconds = seconds * 1000.0f;
        EXPECT_NEAR(milliseconds, std::round(milliseconds), 0.01f) << seconds;
    }
}

TEST(CoreNumbersTest, ToStringWritesDecimals)
{
    EXPECT_EQ(gaToString(0), "0");
    EXPECT_EQ(gaToString(-42), "-42");
    EXPECT_EQ(gaToString(1234567), "1234567");
}

struct HsbCase
{
    float hue, saturation, brightness, alpha;
    gaColor expected;
};

TEST(CoreColourTest, SetHsbTable)
{
    const gaColor before{10, 20, 30, 40};
    const HsbCase cases[] = {
        {0, 255, 255, 255, {255, 0, 0, 255}},       // red
        {42.5f, 255, 255, 255, {255, 255, 0, 255}}, // 60 degrees: yellow
        {85, 255, 255, 255, {0, 255, 0, 255}},      // 120 degrees: green
        {170, 255, 255, 255, {0, 0, 255, 255}},     // 240 degrees: blue
        {255, 255, 255, 255, {255, 0, 0, 255}},     // 360 degrees: red again
        {212.5f, 255, 255, 128, {255, 0, 255, 128}}, // 300 degrees: magenta
        {85, 255, 128, 255, {0, 128, 0, 255}},      // half brightness
        {170, 0, 200, 77, {200, 200, 200, 77}},     // no saturation: grey of the brightness
        {170, 255, 0, 9, {0, 0, 0, 9}},             // no brightness: black
        {300, 255, 255, 255, {10, 20, 30, 255}},    // beyond 255: colour untouched, alpha set
        {-1, 255, 255, 200, {10, 20, 30, 200}},
    };
    for (const HsbCase& c : cases) {
        gaColor colour = before;
        colour.setHsb(c.hue, c.saturation, c.brightness, c.alpha);
        EXPECT_EQ(colour.r, c.expected.r) << c.hue;
        EXPECT_EQ(colour.g, c.expected.g) << c.hue;
        EXPECT_EQ(colour.b, c.expected.b) << c.hue;
        EXPECT_EQ(colour.a, c.expected.a) << c.hue;
    }
    gaColor colour;
    colour.setHsb(0, 255, 255, 255);
    EXPECT_EQ(colour.argb(), 0xFFFF0000u);
    const gaFloatColor floats = gaColor{1, 2, 250, 255}.toFloats();
    EXPECT_EQ(floats.r, 1.0f);
    EXPECT_EQ(floats.b, 250.0f);
    EXPECT_EQ(floats.a, 255.0f);
}

TEST(CoreVectorTest, NormalizeKeepsZeroVectors)
{
    gaVec2f v{3, 4};
    v.normalize();
    EXPECT_FLOAT_EQ(v.x, 0.6f);
    EXPECT_FLOAT_EQ(v.y, 0.8f);
    gaVec2f zero;
    zero.normalize();
    EXPECT_EQ(zero.x, 0.0f);
    EXPECT_EQ(zero.y, 0.0f);
    gaVec3f w{0, 0, -2};
    w.normalize();
    EXPECT_FLOAT_EQ(w.z, -1.0f);
    gaVec3f zero3;
    zero3.normalize();
    EXPECT_EQ(zero3.length(), 0.0f);
}

// --- shapes on the canvas -----------------------------------------------------------------

TEST_F(CanvasTest, CircleAndEllipseFillTheirIntegerBoxes)
{
    struct Case
    {
        std::function<void()> draw;
        QRect box;
    };
    const Case cases[] = {
        {[] { gaDrawCircle(100.7f, 50.2f, 10.9f); }, QRect(89, 39, 21, 21)},
        {[] { gaDrawCircle(240, 240, 5); }, QRect(235, 235, 10, 10)},
        {[] { gaDrawEllipse(200.5f, 100.5f, 31.9f, 20.2f); }, QRect(184, 90, 31, 20)},
        {[] { gaDrawEllipse(300, 300, 40, 10); }, QRect(280, 295, 40, 10)},
    };
    gaSetColor(0xFFFFFFFF);
    for (const Case& c : cases) {
        canvas.fill(Qt::black);
        c.draw();
        EXPECT_EQ(InkBox(canvas), c.box);
    }
}

TEST_F(CanvasTest, RectangleAndLineCoverTheirArea)
{
    gaSetColor(0xFF00FF00);
    gaDrawRectangle(10, 20, 30, 40);
    EXPECT_EQ(InkBox(canvas), QRect(10, 20, 30, 40));
    EXPECT_EQ(canvas.pixel(10, 20), 0xFF00FF00u);

    canvas.fill(Qt::black);
    gaSetLineWidth(5);
    gaDrawLine(10, 100.5f, 60, 100.5f); // flat ends, 5 wide around the line
    EXPECT_EQ(InkBox(canvas), QRect(10, 98, 50, 5));

    canvas.fill(Qt::black);
    gaSetColor(0x80FF0000); // half-transparent red over black
    gaDrawRectangle(0, 0, 1, 1);
    EXPECT_NEAR(qRed(canvas.pixel(0, 0)), 128, 1);
}

// Rectangles land on exactly the pixels the painter's own fill sets, whatever
// path the core takes for them.
TEST_F(CanvasTest, RectanglesMatchThePaintersOwnFill)
{
    struct Case
    {
        QRectF rect;
        std::uint32_t colour;
        QPointF translation;
        float scale;
    };
    const Case cases[] = {
        {{10, 20, 1, 1}, 0xFFFFFFFF, {}, 1},
        {{10.4f, 20.6f, 1, 1}, 0xFFFFFFFF, {}, 1},
        {{10.5f, 20.5f, 0.4f, 0.6f}, 0xFFFFFFFF, {}, 1},
        {{10.49f, 20.51f, 3.02f, 2.5f}, 0xFFFFFFFF, {}, 1},
        {{100, 100, -30.3f, -20.7f}, 0xFF80FF40, {}, 1},
        {{-5.2f, 470.4f, 30, 30}, 0xFF80FF40, {}, 1}, // partly outside
        {{600, 600, 10, 10}, 0xFF80FF40, {}, 1},      // wholly outside
        {{0, 0, 0, 5}, 0xFF80FF40, {}, 1},            // no width
        {{1, 2, 3, 4}, 0xFF102030, {100.5f, 50.25f}, 1},
        {{1, 2, 3, 4}, 0xFF102030, {100, 50}, 2.5f},  // scaled
        {{1.5f, 2.5f, 30, 40}, 0x80102030, {7, 9}, 1}, // translucent
    };
    for (const Case& c : cases) {
        canvas.fill(Qt::black);
        gaSetColor(c.colour);
        gaTranslate(static_cast<float>(c.translation.x()), static_cast<float>(c.translation.y()));
        if (c.scale != 1)
            gaScale(c.scale);
        gaDrawRectangle(static_cast<float>(c.rect.x()), static_cast<float>(c.rect.y()),
                        static_cast<float>(c.rect.width()), static_cast<float>(c.rect.height()));

        QImage expected(canvas.size(), QImage::Format_RGB32);
        expected.fill(Qt::black);
        QPainter reference(&expected);
        reference.setWorldTransform(painter.worldTransform());
        reference.fillRect(c.rect, QColor::fromRgba(c.colour));
        reference.end();
        EXPECT_EQ(canvas, expected) << c.rect.x() << ", " << c.rect.y() << " " << c.rect.width() << " x "
                                    << c.rect.height() << " ink " << InkBox(canvas) << " instead of "
                                    << InkBox(expected);
    }
}

TEST_F(CanvasTest, TransformedCallLeavesItsTransformForTheNextRectangle)
{
    gaSetColor(0xFFFFFFFF);
    gaTranslateTransform(100, 50);
    gaDrawRectangleTransformed(0, 0, 10, 10);
    EXPECT_EQ(InkBox(canvas), QRect(100, 50, 10, 10));

    canvas.fill(Qt::black);
    gaDrawRectangle(0, 0, 5, 5); // still moved by (100, 50)
    EXPECT_EQ(InkBox(canvas), QRect(100, 50, 5, 5));

    canvas.fill(Qt::black);
    gaTranslate(0, 0); // the translate/scale stack takes over again
    gaDrawRectangle(0, 0, 5, 5);
    EXPECT_EQ(InkBox(canvas), QRect(0, 0, 5, 5));

    canvas.fill(Qt::black);
    gaPushTransform();
    gaRotateTransform(std::numbers::pi_v<float>);
    gaDrawEllipseTransformed(0, 0, 10, 10); // half a turn around (100, 50)
    EXPECT_EQ(InkBox(canvas), QRect(95, 45, 10, 10));
}

TEST_F(CanvasTest, NothingIsDrawnOutsideAFrame)
{
    EndFrame();
    gaSetColor(0xFFFFFFFF);
    gaDrawRectangle(0, 0, 100, 100);
    gaDrawCircle(50, 50, 10);
    gaTranslate(10, 10); // the level changes, no painter is touched
    EXPECT_EQ(app.core().offset.x, 10);
    EXPECT_TRUE(InkBox(canvas).isEmpty());
}

TEST_F(CanvasTest, DefaultDrawFillsTheBackgroundWhenAutoBackgroundIsOn)
{
    gaSetBackgroundColor(0xFF204060);
    app.draw();
    EXPECT_EQ(canvas.pixel(0, 0), 0xFF204060u);
    EXPECT_EQ(canvas.pixel(479, 479), 0xFF204060u);

    canvas.fill(Qt::black);
    gaSetBackgroundAuto(false);
    app.draw();
    EXPECT_TRUE(InkBox(canvas).isEmpty());
}

} // namespace
