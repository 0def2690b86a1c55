// The text crawl: stars wrap in depth and brighten as they come near, and the
// text's rows are squeezed toward the top: nothing on the top row, nearly the
// full width on the bottom row.
#include "about/about_dlg.h"
#include "about/star_wars_ctrl.h"
#include "tests/support/screens.h"

#include <QFontMetrics>
#include <QTest>
#include <gtest/gtest.h>

namespace {

TEST(StarWarsStarsTest, DepthWrapsAndGreyRisesAsStarsApproach)
{
    struct Case
    {
        int z, speed, expected;
    };
    const Case moves[] = {
        {-250, 30, 255},  // past the viewer: back far away
        {250, -30, -255}, // a negative speed wraps the other way
        {0, 30, -30},
        {-225, 30, -255}, // the last depth still kept
        {255, 2, 253},
    };
    for (const Case& c : moves)
        EXPECT_EQ(CStarWarsCtrl::MoveStar(c.z, c.speed), c.expected) << c.z << " - " << c.speed;
    // 0 far away, 255 at z = 0, then from 0 again just behind it up to 254.
    const std::pair<int, int> greys[] = {{255, 0}, {128, 127}, {0, 255}, {-1, 0}, {-255, 254}};
    for (auto [z, grey] : greys)
        EXPECT_EQ(CStarWarsCtrl::StarGrey(z), grey) << "z " << z;
}

class StarWarsCtrlTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        crawl.setGeometry(40, 40, kWidth, kHeight);
        crawl.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&crawl));
        crawl.PreSubclassWindow();
    }
    // Lit pixels of a frame row: count, leftmost and rightmost.
    static std::tuple<int, int, int> Lit(const QImage& frame, int row)
    {
        int n = 0, left = frame.width(), right = -1;
        for (int x = 0; x < frame.width(); ++x) {
            if ((frame.pixel(x, row) & 0xFFFFFFu) != 0) {
                ++n;
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
        return {n, left, right};
    }
    static constexpr int kWidth = 291;
    static constexpr int kHeight = 239;
    CStarWarsCtrl crawl;
};

TEST_F(StarWarsCtrlTest, RowsNarrowTowardTheTop)
{
    // Stars out of sight, so that only the text lights pixels.
    for (auto& star : crawl.m_stars)
        star = {512, 512, -200};
    crawl.m_nStarSpeed = 0;
    crawl.m_nScrollSpeed = 0;
    // Enough lines of one wide word to cover the whole height.
    const QString word(40, QChar(0x2588)); // full blocks: no gaps between the letters
    const int cx = QFontMetrics(crawl.Font()).horizontalAdvance(word);
    ASSERT_GT(cx, kWidth); // wider than the control: every row lit edge to edge
    for (int i = 0; i < 30; ++i)
        crawl.AddLine(word);
    while (crawl.TextPosition() > 1) {
        crawl.m_nScrollSpeed = 1;
        crawl.ComposeFrame();
    }
    crawl.m_nScrollSpeed = 0;
    crawl.ComposeFrame();
    const QImage& frame = crawl.Frame().Image();
    lmd::test::SaveScreen(frame, "about-crawl-rows");
    EXPECT_EQ(std::get<0>(Lit(frame, 0)), 0) << "row 0 is squeezed to nothing";
    // Row r spans r / h of the width, centred.
    for (int target : {kHeight / 4, kHeight / 2, kHeight - 1}) {
        // The nearest lit row at or above the target (rows between lines stay dark).
        int r = target;
        while (r > 0 && std::get<0>(Lit(frame, r)) == 0)
            --r;
        ASSERT_GT(r, target - 10);
        const auto [n, left, right] = Lit(frame, r);
        const double span = static_cast<double>(r) / kHeight * kWidth;
        EXPECT_NEAR(right - left + 1, span, 3) << "row " << r;
        EXPECT_NEAR(left, (kWidth - span) / 2, 3) << "row " << r;
    }
}

TEST_F(StarWarsCtrlTest, LinesFadeTowardTheTopAndTheCrawlStartsAgain)
{
    for (auto& star : crawl.m_stars)
        star = {512, 512, -200};
    crawl.m_nStarSpeed = 0;
    crawl.m_nScrollSpeed = 5;
    crawl.AddLine(QStringLiteral("HHHH"));
    // A line whose top is about 120 pixels below the control's top.
    while (crawl.TextPosition() > 120)
        crawl.ComposeFrame();
    crawl.ComposeFrame();
    int brightest = 0;
    const int top = crawl.TextPosition() + 5; // the top of the line just drawn
    const QImage& frame = crawl.Frame().Image();
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            brightest = std::max(brightest, qRed(frame.pixel(x, y)));
    EXPECT_EQ(brightest, top) << "grey (y, y, y) for a line whose top is at y";
    // Once the last line's top passes the top edge the crawl restarts at the bottom.
    int frames = 0;
    while (crawl.TextPosition() > 0 && frames < 1000) {
        crawl.ComposeFrame();
        ++frames;
    }
    crawl.ComposeFrame();
    EXPECT_EQ(crawl.TextPosition(), kHeight - 5);
}

TEST_F(StarWarsCtrlTest, TheCreditsCrawlUpTheScreen)
{
    crawl.m_nStarSpeed = 2;
    crawl.m_nScrollSpeed = 3;
    for (const QString& line : about::CrawlLines())
        crawl.AddLine(line);
    while (crawl.TextPosition() > 20)
        crawl.ComposeFrame();
    lmd::test::SaveScreen(crawl.Frame().Image(), "about-crawl");
    // Lines near the top are dimmer than those below (a line is grey at the
    // level of its top's row). Without the stars, in the same place:
    for (auto& star : crawl.m_stars)
        star = {512, 512, -200};
    crawl.m_nStarSpeed = 0;
    crawl.m_nScrollSpeed = 0;
    crawl.ComposeFrame();
    const QImage& frame = crawl.Frame().Image();
    const auto brightest = [&](int from, int to) {
        int b = 0;
        for (int y = from; y < to; ++y)
            for (int x = 0; x < kWidth; ++x)
                b = std::max(b, qGreen(frame.pixel(x, y)));
        return b;
    };
    const int top = brightest(0, kHeight / 3);
    const int bottom = brightest(kHeight / 2, kHeight);
    EXPECT_GT(top, 0);
    EXPECT_LT(top, bottom);
    EXPECT_LT(top, kHeight / 3);
}

TEST(StarWarsEmptyTest, AnEmptyClientAreaStartsNothing)
{
    CStarWarsCtrl crawl;
    crawl.resize(0, 0);
    crawl.PreSubclassWindow();
    crawl.AddLine(QStringLiteral("text"));
    crawl.ComposeFrame();
    EXPECT_TRUE(crawl.Frame().IsNull());
}

} // namespace
