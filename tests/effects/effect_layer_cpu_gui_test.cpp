// The CPU effects side by side over one test desktop picture (a contact sheet for
// people to look at), and their frames allocate nothing once set up.
#include "cpu_layer_fixture.h"
#include "effects/image_path_list.h"
#include "tests/support/alloc_counter.h"
#include "tests/support/screens.h"

#include <QFont>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <vector>

namespace {

// Every code served by the layer's CPU routines, filters and strokes.
const std::vector<int> kCpuCodes = EffectCodes([](const EffectInfo& info) { return RunsOnCpu(info.family); });

// A small desktop: sky gradient, two windows, a taskbar, some text.
void PaintDesktop(platform::Surface& s)
{
    QPainter p(&s.Image());
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, s.Height());
    sky.setColorAt(0, QColor(40, 90, 170));
    sky.setColorAt(1, QColor(230, 180, 120));
    p.fillRect(QRect(0, 0, s.Width(), s.Height()), sky);
    p.setBrush(QColor(245, 245, 240));
    p.setPen(QColor(60, 60, 60));
    p.drawRect(12, 18, 70, 50);
    p.fillRect(12, 18, 71, 9, QColor(30, 110, 200));
    p.setBrush(QColor(250, 220, 60));
    p.drawEllipse(QPoint(96, 40), 18, 18);
    p.setBrush(QColor(60, 150, 80));
    p.drawRect(55, 70, 60, 38);
    p.fillRect(0, s.Height() - 14, s.Width(), 14, QColor(25, 25, 30));
    p.setPen(Qt::black);
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(11);
    p.setFont(font);
    p.drawText(QRect(14, 30, 66, 36), Qt::AlignLeft | Qt::TextWordWrap, QStringLiteral("12:34 Lumidial"));
}

class CpuEffectsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QImage picture(320, 180, QImage::Format_RGB32);
        QPainter p(&picture);
        p.fillRect(picture.rect(), QColor(200, 60, 90));
        p.fillRect(40, 40, 240, 100, QColor(250, 240, 200));
        p.end();
        ASSERT_TRUE(picture.save(dir.filePath("landscape.png")));
        images.SetPaths({dir.filePath("landscape.png")});
    }

    std::unique_ptr<CEffectLayer> MakeLayer(int code, int size)
    {
        auto layer = std::make_unique<CEffectLayer>(size, size);
        layer->Create(&desktop);
        layer->SetFilter(platform::Rgb(255, 140, 0), 110);
        layer->SetImageList(&images);
        layer->SetPlayInterval(30);
        layer->SetEffect(code);
        return layer;
    }

    QTemporaryDir dir;
    CImagePathList images;
    platform::Surface desktop{130, 130};
};

TEST_F(CpuEffectsTest, ContactSheet)
{
    PaintDesktop(desktop);
    const int cell = 130, label = 20, columns = 6;
    const int count = static_cast<int>(kCpuCodes.size());
    QImage sheet(columns * (cell + 6) + 6, ((count + columns - 1) / columns) * (cell + label + 6) + 6,
                 QImage::Format_RGB32);
    sheet.fill(QColor(48, 48, 52));
    QPainter p(&sheet);
    QFont font(QStringLiteral("Noto Sans CJK JP"));
    font.setPixelSize(10);
    p.setFont(font);
    p.setPen(Qt::white);
    for (int k = 0; k < count; ++k) {
        const int code = kCpuCodes[static_cast<std::size_t>(k)];
        auto layer = MakeLayer(code, cell);
        for (int frame = 0; frame < 45; ++frame) {
            if (code == EFFECT_DRIZZLE && frame % 9 == 5) {
                layer->MouseMove(QPoint(20 + frame * 2, 30 + frame));
            }
            if (code == EFFECT_CLOUDS && frame == 1) {
                layer->MouseMove(QPoint(0, 0)); // drift down and to the right
            }
            layer->Render(nullptr);
        }
        const EffectInfo* info = FindEffect(code);
        ASSERT_NE(info, nullptr);
        const QString name =
            info->menuText.empty()
                ? QString::fromLatin1(info->name.data(), static_cast<qsizetype>(info->name.size()))
                : QString::fromUtf8(info->menuText.data(), static_cast<qsizetype>(info->menuText.size()));
        const int x = 6 + (k % columns) * (cell + 6);
        const int y = 6 + (k / columns) * (cell + label + 6);
        p.drawText(QRect(x, y, cell, label), Qt::AlignLeft | Qt::AlignVCenter, name);
        p.drawImage(x, y + label, layer->Output().Image());
        // Every effect drew something: the output is no longer the black of a new surface.
        const QImage out = layer->Output().Image();
        int lit = 0;
        for (int py = 0; py < cell; py += 5) {
            for (int px = 0; px < cell; px += 5) {
                lit += (out.pixel(px, py) & 0xFFFFFFu) != 0;
            }
        }
        EXPECT_GT(lit, 100) << name.toStdString();
    }
    p.end();
    lmd::test::SaveScreen(sheet, QStringLiteral("cpu-effects"));
}

TEST_F(CpuEffectsTest, FramesAllocateNothingOnceSetUp)
{
    PaintDesktop(desktop);
    for (const int size : {130, 260}) {
        for (const int code : kCpuCodes) {
            auto layer = MakeLayer(code, size);
            for (int frame = 0; frame < 24; ++frame) { // set-up, first picture, first drops
                layer->Render(nullptr);
            }
            const std::int64_t before = lmd::test::AllocationCount();
            for (int frame = 0; frame < 30; ++frame) {
                layer->MouseMove(QPoint(frame * 3, frame * 2));
                layer->Render(nullptr);
            }
            EXPECT_EQ(lmd::test::AllocationCount() - before, 0) << FindEffect(code)->name << " at " << size;
        }
    }
}

} // namespace
