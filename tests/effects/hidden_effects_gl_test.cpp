// The shader sets with buffer passes and cube maps (the menu's Flurry and
// Mystify and the hidden codes), each chosen on an effect layer: sixty frames
// at the clock's size without an error, a picture with something in it that is
// not the layer's source, and moving. A contact sheet shows them
// all through real layers: build/screens/hidden-effects.png.
#include "effects/effect_codes.h"
#include "effects/effect_layer.h"
#include "platform/surface.h"
#include "tests/effects/buffer_shader_fixture.h"
#include "tests/effects/contact_sheet.h"
#include "tests/effects/picture_metrics.h"
#include "tests/effects/shader_gl_fixture.h"

#include <QLinearGradient>
#include <QPainter>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace {

using lmd::test::BrightnessSpread;
using lmd::test::ErrorSink;
using lmd::test::MeanDifference;

constexpr int kSide = 130; // the clock at zoom 100
constexpr int kFrames = 60;
constexpr int kFramePeriodMs = 50; // the clock's frame timer

const std::vector<int> kCodes = EffectCodes([](const EffectInfo& info) { return IsShaderSet(info.family); });

std::string Label(const EffectInfo& info)
{
    std::string stem(info.image);
    const auto slash = stem.rfind('\\');
    if (slash != std::string::npos)
        stem = stem.substr(slash + 1);
    return std::to_string(info.code) + " " + stem.substr(0, stem.rfind("_Image"));
}

// A simple desktop: a gradient wallpaper with a window and a taskbar.
void PaintDesktop(platform::Surface& surface)
{
    QPainter p(&surface.Image());
    QLinearGradient wall(0, 0, kSide, kSide);
    wall.setColorAt(0, QColor(30, 70, 160));
    wall.setColorAt(1, QColor(240, 150, 80));
    p.fillRect(QRect(0, 0, kSide, kSide), wall);
    p.fillRect(QRect(15, 20, 70, 50), QColor(245, 245, 240));
    p.fillRect(QRect(15, 20, 70, 9), QColor(20, 120, 220));
    p.fillRect(QRect(0, 116, kSide, 14), QColor(22, 24, 30));
}

class HiddenEffectsTest : public ::testing::Test
{
protected:
    void SetUp() override { PaintDesktop(desktop); }

    ErrorSink sink;
    lmd::test::ScopedModalDesktop boxes; // a cube face that fails to load is recorded, not shown
    platform::Surface desktop{kSide, kSide};
};

TEST_F(HiddenEffectsTest, EverySetRunsSixtyFramesThroughTheLayerAndMoves)
{
    struct Set
    {
        const EffectInfo* info;
        std::unique_ptr<CEffectLayer> layer;
        platform::Surface first{kSide, kSide};
    };
    std::vector<Set> sets;
    for (const int code : kCodes) {
        const EffectInfo* info = FindEffect(code);
        ASSERT_NE(info, nullptr) << code;
        auto layer = std::make_unique<CEffectLayer>(kSide, kSide);
        layer->Create(&desktop);
        layer->SetEffect(code);
        sets.push_back({info, std::move(layer)});
    }
    // Sixty frames of every set, paced by a timer of the clock's period, so the
    // first and the last frame are three seconds of animation apart.
    int frame = 0;
    QTimer timer;
    timer.setInterval(kFramePeriodMs);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (frame == kFrames)
            return;
        for (Set& set : sets) {
            set.layer->MouseMove(QPoint(40 + frame, 60));
            set.layer->Render(nullptr);
            if (frame == 0)
                set.first.BitBlt(0, 0, kSide, kSide, set.layer->Output(), 0, 0);
        }
        ++frame;
    });
    timer.start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return frame == kFrames; }, 240000));
    timer.stop();

    for (Set& set : sets) {
        SCOPED_TRACE(Label(*set.info));
        const platform::Surface& output = set.layer->Output();
        EXPECT_GT(BrightnessSpread(output), 8.0) << "the picture is (nearly) uniform";
        EXPECT_GT(MeanDifference(set.first, output), 1.0) << "frame 1 and frame 60 look alike";
        EXPECT_GT(MeanDifference(desktop, output), 4.0) << "the layer shows its source: nothing was drawn";
    }
    EXPECT_TRUE(sink.Errors().empty()) << sink.Errors().front();
    EXPECT_TRUE(boxes->texts.empty()) << boxes->texts.front().toStdString();
}

TEST_F(HiddenEffectsTest, ContactSheet)
{
    lmd::test::ContactSheet sheet(static_cast<int>(std::size(kCodes)), kSide, 6, 10);
    int k = 0;
    for (const int code : kCodes) {
        const EffectInfo& info = *FindEffect(code);
        CEffectLayer layer(kSide, kSide);
        layer.Create(&desktop);
        layer.SetEffect(code);
        for (int frame = 0; frame < 24; ++frame) {
            layer.MouseMove(QPoint(70 + frame, 50));
            layer.Render(nullptr);
        }
        sheet.Place(k, QString::fromStdString(Label(info)), layer.Output().Image());
        ++k;
    }
    sheet.Save(QStringLiteral("hidden-effects"));
    EXPECT_TRUE(sink.Errors().empty());
}

} // namespace
