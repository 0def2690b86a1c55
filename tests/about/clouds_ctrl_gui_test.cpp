// The cloud sky: its maps and layers, how the layers drift (and how the mouse
// steers them), the text's rise and cycle, and the sky's colours on screen.
#include "about/about_dlg.h"
#include "about/clouds_ctrl.h"
#include "platform/crt.h"
#include "tests/support/screens.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {

TEST(CloudsMapTest, ValuesStayInRangeAndTheMapTilesSeamlessly)
{
    std::vector<int> map;
    for (unsigned seed : {1u, 7u, 12345u}) {
        crt::srand(seed);
        CCloudsCtrl::GenerateMap(map, 8);
        ASSERT_EQ(map.size(), 256u * 256u);
        EXPECT_TRUE(std::all_of(map.begin(), map.end(), [](int v) { return v >= 0 && v <= 255; }));
        // Across the wrap (row 255 to row 0, column 255 to column 0) neighbours
        // differ no more than inside the map: the map is a torus.
        const auto at = [&](int y, int x) { return map[static_cast<std::size_t>(y * 256 + x)]; };
        long long inside = 0;
        long long across = 0;
        for (int i = 0; i < 256; ++i) {
            inside += std::abs(at(127, i) - at(128, i)) + std::abs(at(i, 127) - at(i, 128));
            across += std::abs(at(255, i) - at(0, i)) + std::abs(at(i, 255) - at(i, 0));
        }
        EXPECT_LE(across, 2 * inside + 256) << "seed " << seed;
        // Not flat: the noise shows.
        EXPECT_GT(*std::max_element(map.begin(), map.end()) - *std::min_element(map.begin(), map.end()), 64);
    }
}

TEST(CloudsMapTest, SamplingTakesTheMapRowFromTheColumn)
{
    std::vector<int> map(256 * 256);
    for (int i = 0; i < 256 * 256; ++i)
        map[static_cast<std::size_t>(i)] = i; // M[a][b] = a * 256 + b
    std::vector<int> layer;
    CCloudsCtrl::SampleMap(map, 100, 50, layer);
    ASSERT_EQ(layer.size(), 5000u);
    // Layer (row j, column k) = M[floor(k * 2.56)][floor(j * 5.12)].
    for (auto [j, k] : {std::pair{0, 0}, {10, 3}, {49, 99}, {25, 50}}) {
        const int a = static_cast<int>(k * 2.56);
        const int b = static_cast<int>(j * 5.12);
        EXPECT_EQ(layer[static_cast<std::size_t>(j * 100 + k)], a * 256 + b) << j << "," << k;
    }
}

class CloudsCtrlTest : public ::testing::Test
{
protected:
    void Start(int w, int h)
    {
        clouds.m_strText = about::StaffText();
        clouds.setGeometry(40, 40, w, h);
        clouds.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&clouds));
        clouds.PreSubclassWindow();
    }
    CCloudsCtrl clouds;
};

TEST_F(CloudsCtrlTest, DriftMovesTheLayersAndLayerThreeFollowsLayerTwo)
{
    Start(200, 100);
    // The set-up frame took one step of the default drift (2, 1).
    EXPECT_EQ(clouds.GetOffsets(), (CCloudsCtrl::Offsets{2, 1, 1, 0, 1, 0}));
    clouds.ComposeFrame();
    EXPECT_EQ(clouds.GetOffsets(), (CCloudsCtrl::Offsets{4, 2, 2, 0, 2, 0}));

    // Steering on: real mouse moves set the drift, which then stays.
    clouds.m_bSteering = 1;
    // The moves are made again until they are the last ones seen: the display's
    // own pointer may report a position of its own while the control shows.
    const auto steer = [&](QPoint from, QPoint to, int dx, int dy) {
        return QTest::qWaitFor([&] {
            QTest::mouseMove(&clouds, from);
            QTest::mouseMove(&clouds, to);
            return clouds.DriftX() == dx && clouds.DriftY() == dy;
        });
    };
    ASSERT_TRUE(steer({50, 50}, {20, 50}, 2, 0)); // to the left only
    const CCloudsCtrl::Offsets before = clouds.GetOffsets();
    clouds.ComposeFrame();
    const CCloudsCtrl::Offsets after = clouds.GetOffsets();
    EXPECT_EQ(after.x1, (before.x1 + 2) % 200);
    EXPECT_EQ(after.x2, (before.x2 + 1) % 200);
    EXPECT_EQ(after.x3, after.x2); // 2 / 3 = 0 ahead of layer 2
    EXPECT_EQ(after.y1, before.y1);

    ASSERT_TRUE(steer({20, 50}, {60, 70}, -2, 2)); // right and down
    const CCloudsCtrl::Offsets b = clouds.GetOffsets();
    clouds.ComposeFrame();
    const CCloudsCtrl::Offsets a = clouds.GetOffsets();
    EXPECT_EQ(a.x1, (b.x1 - 2 + 200) % 200);
    EXPECT_EQ(a.x2, (b.x2 - 1 + 200) % 200);
    EXPECT_EQ(a.x3, a.x2);
    EXPECT_EQ(a.y2, (b.y2 + 1) % 100);
    EXPECT_EQ(a.y3, a.y2);

    // Steering off: the next frame takes the default drift again.
    clouds.m_bSteering = 0;
    clouds.ComposeFrame();
    EXPECT_EQ(clouds.DriftX(), 2);
    EXPECT_EQ(clouds.DriftY(), 1);
}

TEST_F(CloudsCtrlTest, TheTextCycleLastsTwiceTheHeightAndOneFrames)
{
    const int h = 90;
    Start(160, h);
    // Laid 25 pixels below the control, raised one pixel by the set-up frame.
    EXPECT_EQ(clouds.TextPosition(), h + 24);
    int frames = 0;
    while (clouds.TextPosition() != h) {
        clouds.ComposeFrame();
        ASSERT_LT(++frames, 1000);
    }
    for (int cycle = 0; cycle < 2; ++cycle) {
        frames = 0;
        do {
            clouds.ComposeFrame();
            ++frames;
        } while (clouds.TextPosition() != h);
        EXPECT_EQ(frames, 2 * h + 1);
    }
}

TEST_F(CloudsCtrlTest, TheSkyIsBlueToWhiteAndTheTextShowsWhite)
{
    Start(291, 239);
    // Bring the title into view: its top 10 pixels below the control's top.
    while (clouds.TextPosition() != 10)
        clouds.ComposeFrame();
    clouds.ComposeFrame();
    // The control's own timer goes on scrolling the title: the frame is looked
    // at as it was composed.
    const QImage frame = clouds.Frame().Image().copy();
    // On the screen, a sky colour (the frames go on changing meanwhile).
    ASSERT_TRUE(QTest::qWaitFor([&] {
        const QRgb shown = lmd::test::GrabScreen().pixel(clouds.mapToGlobal(QPoint(0, 0)));
        return qBlue(shown) == 255 && qRed(shown) == qGreen(shown);
    }));
    lmd::test::SaveScreen(frame, "about-clouds");
    int white = 0;
    for (int y = 0; y < frame.height(); ++y) {
        for (int x = 0; x < frame.width(); ++x) {
            const QRgb p = frame.pixel(x, y);
            ASSERT_EQ(qBlue(p), 255) << x << "," << y; // every colour of the palette is full blue
            ASSERT_EQ(qRed(p), qGreen(p)) << x << "," << y;
            white += y >= 9 && y < 9 + 24 && p == qRgb(255, 255, 255);
        }
    }
    EXPECT_GT(white, 100) << "the title's strokes";
}

TEST_F(CloudsCtrlTest, AnEmptyClientAreaStartsNothing)
{
    clouds.setGeometry(40, 40, 0, 0);
    clouds.PreSubclassWindow();
    clouds.ComposeFrame();
    EXPECT_TRUE(clouds.Frame().IsNull());
    EXPECT_TRUE(clouds.Layer(0).empty());
}

} // namespace
