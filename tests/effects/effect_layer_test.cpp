#include "effects/effect_layer.h"
#include "effects/image_path_list.h"
#include "tests/support/alloc_counter.h"

#include <QTemporaryDir>
#include <climits>
#include <functional>
#include <gtest/gtest.h>
#include <set>

using platform::Rgb;
using platform::Surface;

namespace {

constexpr int kSize = 130;

// A picture where every pixel differs from its neighbours.
Surface Pattern(int w, int h, int seed)
{
    Surface s(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            s.SetPixel(x, y, Rgb(x * 3 + seed, y * 5 + seed, (x ^ y) + seed));
    return s;
}

bool AllBlack(const Surface& s)
{
    for (int y = 0; y < s.Height(); ++y)
        for (int x = 0; x < s.Width(); ++x)
            if (s.GetPixel(x, y) != 0)
                return false;
    return true;
}

// Settings whose reads can run code, as a modal error box inside set-up runs a
// nested paint.
class FakeSettings final : public EffectSettingsSource
{
public:
    QString ExtShader() const override
    {
        ++extShaderReads;
        if (onRead)
            onRead();
        return extShader;
    }
    QString ExtTexture() const override { return {}; }
    int ClockFace() const override { return 0; }

    QString extShader;
    std::function<void()> onRead;
    mutable int extShaderReads = 0;
};

struct LayerFixture : testing::Test
{
    Surface source = Pattern(kSize, kSize, 1);
    CEffectLayer layer{kSize, kSize};

    void SetUp() override { layer.Create(&source); }
};

} // namespace

using EffectLayerTest = LayerFixture;

TEST_F(EffectLayerTest, NewLayerStartsWithCodeZeroAndSetupPending)
{
    CEffectLayer fresh(kSize, kSize);
    EXPECT_EQ(fresh.GetEffect(), EFFECT_NONE);
    EXPECT_TRUE(fresh.SetupPending());
    EXPECT_EQ(fresh.FrameCount(), 0u);
    fresh.Render(nullptr); // before Create: no source, nothing happens
    EXPECT_EQ(fresh.FrameCount(), 0u);
}

TEST_F(EffectLayerTest, CodeZeroCopiesTheSourceByteForByte)
{
    Surface target(kSize, kSize);
    layer.Render(&target);
    EXPECT_EQ(layer.Output().Image(), source.Image());
    EXPECT_EQ(target.Image(), source.Image());
    EXPECT_EQ(layer.FrameCount(), 1u);
    EXPECT_TRUE(layer.SetupPending()) << "the copy has no set-up";
}

TEST_F(EffectLayerTest, UnknownCodesDrawNothingButCountAndCopy)
{
    for (const int code : {42, -1, 9999, INT_MIN, INT_MAX, 30, 49, 116, 151}) {
        SCOPED_TRACE(code);
        CEffectLayer l(kSize, kSize);
        Surface src = Pattern(kSize, kSize, 1);
        l.Create(&src);
        l.SetEffect(EFFECT_MONOCHROME); // a picture of the layer's own (pass-through shows the source)
        l.Render(nullptr);
        const QImage before = l.Output().Image().copy();

        src = Pattern(kSize, kSize, 77); // the source changes...
        l.RecaptureSource();
        l.SetEffect(code);
        l.MouseMove(QPoint(3, 4));
        Surface target(kSize, kSize);
        l.Render(&target);
        EXPECT_EQ(l.Output().Image(), before); // ...but the output keeps its picture
        EXPECT_EQ(target.Image(), before);     // and still reaches the target
        EXPECT_EQ(l.FrameCount(), 2u);
        EXPECT_TRUE(l.SetupPending());
    }
}

TEST_F(EffectLayerTest, SetupFlagIsRaisedByEveryCodeChoiceAndClearedBySetup)
{
    layer.Render(nullptr);
    EXPECT_TRUE(layer.SetupPending()) << "code 0 has no set-up";

    layer.SetEffect(EFFECT_CLOUDS);
    layer.Render(nullptr);
    EXPECT_FALSE(layer.SetupPending());
    layer.Render(nullptr);
    EXPECT_FALSE(layer.SetupPending());

    layer.SetEffect(EFFECT_CLOUDS); // the same code chosen again sets up again
    EXPECT_TRUE(layer.SetupPending());
    layer.Render(nullptr);
    EXPECT_FALSE(layer.SetupPending());

    layer.SetEffect(EFFECT_MONOCHROME); // filters have no set-up
    layer.Render(nullptr);
    EXPECT_TRUE(layer.SetupPending());
    EXPECT_EQ(layer.FrameCount(), 5u) << "never reset by a change of effect";
}

TEST_F(EffectLayerTest, SetupFlagIsClearedBeforeSetupRuns)
{
    // A set-up that opens a modal box runs a nested paint; that paint must not set
    // up again (one failure, one box).
    FakeSettings settings;
    bool pendingDuringSetup = true;
    int nested = 0;
    settings.onRead = [&] {
        pendingDuringSetup = layer.SetupPending();
        if (nested++ < 3)
            layer.Render(nullptr);
    };
    layer.SetSettings(&settings);
    layer.SetEffect(EFFECT_EXTERNAL_SHADER);
    layer.Render(nullptr);
    EXPECT_FALSE(pendingDuringSetup);
    EXPECT_EQ(settings.extShaderReads, 1);
    EXPECT_EQ(layer.FrameCount(), 2u); // the nested frame and the outer one
    EXPECT_FALSE(layer.SetupPending());
}

TEST_F(EffectLayerTest, SourceOfAnotherSizeIsSkipped)
{
    layer.SetEffect(EFFECT_SEPIA); // a picture of the layer's own (pass-through shows the source)
    layer.Render(nullptr);
    const QImage before = layer.Output().Image().copy();
    for (const auto& [w, h] : std::vector<std::pair<int, int>>{{260, 260}, {kSize, 129}, {65, kSize}}) {
        source = Pattern(w, h, 9); // a zoom in progress: the source has its new size
        layer.SetEffect(EFFECT_MONOCHROME);
        layer.RecaptureSource();
        Surface target(w, h);
        target.Fill(Rgb(1, 2, 3));
        layer.Render(&target);
        EXPECT_EQ(layer.Output().Image(), before) << w << "x" << h;
        EXPECT_EQ(target.GetPixel(0, 0), Rgb(1, 2, 3));
        EXPECT_EQ(layer.FrameCount(), 1u);
        EXPECT_TRUE(layer.SetupPending());
    }
}

TEST_F(EffectLayerTest, DrizzleDropsOnTheFirstFrameAndEveryOneToFiveSeconds)
{
    CEffectLayer l(kSize, kSize);
    Surface src = Pattern(kSize, kSize, 40);
    l.Create(&src);
    l.SetEffect(EFFECT_DRIZZLE);
    EXPECT_EQ(l.DropPeriod(), 20);

    // Frame 0 is a drop frame: the water is neither stepped nor drawn.
    l.Render(nullptr);
    EXPECT_TRUE(AllBlack(l.Output()));
    EXPECT_FALSE(l.SetupPending());
    // The next frame draws the water over the source.
    l.Render(nullptr);
    EXPECT_FALSE(AllBlack(l.Output()));

    const std::set<int> allowed{20, 40, 60, 80, 100};
    std::set<int> seen{l.DropPeriod()};
    for (int i = 0; i < 4000; ++i) {
        l.Render(nullptr);
        seen.insert(l.DropPeriod());
        if (i % 97 == 0)
            l.MouseMove(QPoint(i % 200 - 30, i % 170 - 20)); // drops at the pointer, also off the edges
    }
    for (const int period : seen)
        EXPECT_TRUE(allowed.count(period)) << period;
    EXPECT_GE(seen.size(), 3u) << "the period is drawn at random";
}

TEST_F(EffectLayerTest, ThreeChainedLayersAllocateNothingPerFrame)
{
    // back -> middle -> front as the clock composes a frame.
    for (const int code : {EFFECT_NONE, EFFECT_MONOCHROME, EFFECT_DRIZZLE, EFFECT_PORTAL}) {
        SCOPED_TRACE(code);
        Surface snapshot = Pattern(kSize, kSize, 5);
        Surface composition(kSize, kSize);
        CEffectLayer back(kSize, kSize), middle(kSize, kSize), front(kSize, kSize);
        back.Create(&snapshot);
        middle.Create(back);
        front.Create(middle);
        back.SetEffect(code);
        const auto frame = [&] {
            back.Render(nullptr);
            middle.RecaptureSource();
            middle.Render(nullptr);
            front.RecaptureSource();
            front.Render(&composition);
        };
        frame();
        frame();
        const auto before = lmd::test::AllocationCount();
        for (int i = 0; i < 30; ++i)
            frame();
        EXPECT_EQ(lmd::test::AllocationCount(), before);
        if (code == EFFECT_NONE) {
            EXPECT_EQ(composition.Image(), snapshot.Image());
        }
    }
}

TEST_F(EffectLayerTest, SlideShowDrawsTheNextImageEveryInterval)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    std::vector<QString> paths;
    for (const auto& [name, colour] :
         std::vector<std::pair<QString, QColor>>{{"red.png", Qt::red}, {"blue.png", Qt::blue}}) {
        QImage picture(8, 8, QImage::Format_RGB32);
        picture.fill(colour);
        paths.push_back(dir.filePath(name));
        ASSERT_TRUE(picture.save(paths.back()));
    }
    CImagePathList list;
    list.SetPaths(paths);

    layer.SetEffect(EFFECT_IMAGE_SLIDESHOW);
    layer.SetImageList(&list);
    const auto centre = [&] { return layer.Output().GetPixel(kSize / 2, kSize / 2); };
    // The first image on the first frame after the list arrives, then one per interval.
    layer.SetPlayInterval(2);
    std::vector<int> changes;
    platform::COLORREF shown = centre();
    for (int frame = 0; frame < 130; ++frame) {
        layer.Render(nullptr);
        if (centre() != shown) {
            changes.push_back(frame);
            shown = centre();
        }
    }
    EXPECT_EQ(changes, (std::vector<int>{0, 40, 80, 120}));

    // A new list starts again at once; an interval of 0 counts as one second.
    layer.SetImageList(&list);
    layer.SetPlayInterval(0);
    changes.clear();
    for (int frame = 0; frame < 50; ++frame) {
        layer.Render(nullptr);
        if (centre() != shown) {
            changes.push_back(frame);
            shown = centre();
        }
    }
    EXPECT_EQ(changes, (std::vector<int>{0, 20, 40}));
}

TEST(EffectCodeTableTest, HoldsEveryCodeWithItsNameAndRoutine)
{
    std::set<int> expected;
    for (int c = 0; c <= 29; ++c)
        expected.insert(c);
    for (const int c : {50, 51, 52,  60,  80,  81,  82,  83,  84,  85,  86, 87,
                        88, 89, 115, 120, 121, 122, 130, 131, 132, 140, 150})
        expected.insert(c);
    for (int c = 100; c <= 114; ++c)
        expected.insert(c);

    std::set<int> codes;
    std::set<std::string_view> names;
    for (const EffectInfo& e : AllEffects()) {
        SCOPED_TRACE(e.code);
        codes.insert(e.code);
        EXPECT_TRUE(names.insert(e.name).second) << "unique name";
        EXPECT_TRUE(e.name.starts_with("EFFECT_"));
        EXPECT_EQ(!e.menuText.empty(), e.code < kMenuEffectCount) << "menu texts exactly for the menu codes";
        EXPECT_EQ(FindEffect(e.code), &e);
        switch (e.family) {
        case EffectFamily::Shader:
        case EffectFamily::ShaderClock:
        case EffectFamily::ShaderCube:
        case EffectFamily::ShaderCubeBuffer:
            EXPECT_FALSE(e.image.empty());
            break;
        case EffectFamily::ShaderBufferA:
        case EffectFamily::ShaderTextures:
            EXPECT_FALSE(e.image.empty());
            EXPECT_FALSE(e.buffers[0].empty());
            break;
        case EffectFamily::ShaderBufAB:
        case EffectFamily::ShaderOldWatch:
            EXPECT_FALSE(e.buffers[1].empty());
            break;
        case EffectFamily::ShaderBufABCD:
            EXPECT_FALSE(e.buffers[3].empty());
            break;
        default:
            EXPECT_TRUE(e.image.empty());
            break;
        }
    }
    EXPECT_EQ(codes, expected);

    const EffectInfo* none = FindEffect(0);
    ASSERT_NE(none, nullptr);
    EXPECT_EQ(none->menuText, "そのまま");
    EXPECT_EQ(FindEffect(29)->menuText, "外部シェーダー");
    EXPECT_EQ(FindEffect(EFFECT_FRAME_TORUS)->image, "FrameTorus");
    EXPECT_EQ(FindEffect(132)->buffers[3], FindEffect(132)->buffers[2]) << "buffer D reuses buffer C";
    EXPECT_TRUE(FindEffect(105)->noise3D);
    EXPECT_FALSE(FindEffect(101)->noise3D);
    EXPECT_EQ(FindEffect(EFFECT_DRIZZLE)->mouse, EffectMouse::Drop);
    EXPECT_EQ(FindEffect(EFFECT_SEA)->mouse, EffectMouse::ShaderPos);

    for (const int code : {-1, 30, 99, 116, 151, 9999, INT_MIN, INT_MAX})
        EXPECT_EQ(FindEffect(code), nullptr) << code;
}
