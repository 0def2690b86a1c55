// The bitmap slider set up as the zoom slider: the pictures 300 to 303, range
// 50 to 600, margins 2, 3, 2, 0; driven with real mouse and key events.
#include "controls/bitmap_slider.h"
#include "platform/resources.h"
#include "tests/support/screens.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {

using lmd::test::SaveScreen;

constexpr int kId = 1128;

struct Message
{
    unsigned message;
    int id;
    int position;
    bool operator==(const Message&) const = default;
};

void PrintTo(const Message& m, std::ostream* os)
{
    *os << std::hex << m.message << std::dec << " id " << m.id << " pos " << m.position;
}

class BitmapSliderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        window.setGeometry(80, 80, 260, 60);
        slider = new CBitmapSlider(&window);
        slider->move(20, 20);
        slider->setProperty("controlId", kId);
        QObject::connect(slider, &CBitmapSlider::Notify,
                         [this](unsigned message, int id, int position) { got.push_back({message, id, position}); });
        ASSERT_TRUE(slider->SetChannelBitmaps(300, 301));
        ASSERT_TRUE(slider->SetThumbBitmaps(302, 303, true));
        slider->DrawFocusRect(false);
        slider->SetRange(50, 600);
        slider->SetPos(100);
        slider->SetMargins(2, 3, 2, 0);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    // The messages posted so far, once they have arrived.
    std::vector<Message> Posted()
    {
        QCoreApplication::processEvents();
        return std::exchange(got, {});
    }

    QImage Grab() { return slider->grab().toImage().convertToFormat(QImage::Format_RGB32); }

    static QPoint At(int x) { return {x, 8}; }

    QWidget window;
    CBitmapSlider* slider = nullptr;
    std::vector<Message> got;
};

TEST_F(BitmapSliderTest, TakesTheChannelsSizeAndMapsPositionsBetweenTheMargins)
{
    EXPECT_EQ(slider->size(), QSize(200, 17));
    EXPECT_EQ(slider->pos(), QPoint(20, 20));
    // The thumb centre travels 200 - 2 - 23 - 2 = 173 pixels from 2 + 23 / 2 = 13.
    struct Case
    {
        int position;
        int pixel;
    };
    const Case cases[] = {
        {50, 13}, {600, 186}, {325, 13 + 86}, // 173 / 2 = 86.5, truncated
        {100, 13 + 15},                         // 173 * 50 / 550 = 15.7
        {599, 13 + 172},                        // 173 * 549 / 550 = 172.7
    };
    for (const Case& c : cases)
        EXPECT_EQ(slider->Pos2Pixel(c.position), c.pixel) << c.position;
    slider->SetRange(5, 5); // an empty range keeps the thumb at its start
    EXPECT_EQ(slider->Pos2Pixel(5), 13);
}

TEST_F(BitmapSliderTest, ClickOnTheChannelJumpsTheThumbUnderTheCursor)
{
    QTest::mousePress(slider, Qt::LeftButton, {}, At(150));
    // 50 + (150 - 13) * 550 / 173 = 485.5, truncated.
    EXPECT_EQ(slider->GetPos(), 485);
    EXPECT_LE(std::abs(slider->Pos2Pixel(slider->GetPos()) - 150), 1);
    EXPECT_EQ(Posted(), (std::vector<Message>{{WM_BITMAPSLIDER_MOVING, kId, 485}}));
    QTest::mouseRelease(slider, Qt::LeftButton, {}, At(150));
    EXPECT_EQ(Posted(), (std::vector<Message>{{WM_BITMAPSLIDER_MOVED, kId, 485}}));
}

TEST_F(BitmapSliderTest, ClickOnTheThumbKeepsTheGrabPointAndDragsWithin)
{
    // Position 100 puts the centre at 28; the thumb covers 17 to 39.
    QTest::mousePress(slider, Qt::LeftButton, {}, At(31));
    EXPECT_EQ(slider->GetPos(), 100);
    EXPECT_TRUE(Posted().empty());
    QTest::mouseMove(slider, At(83)); // centre 80: 50 + 67 * 550 / 173 = 263.0
    EXPECT_EQ(slider->GetPos(), 263);
    QTest::mouseMove(slider, At(-60)); // beyond the start: the thumb stops at its margin
    EXPECT_EQ(slider->GetPos(), 50);
    QTest::mouseMove(slider, At(-100)); // and stays there: nothing to report
    QTest::mouseMove(slider, At(400));
    EXPECT_EQ(slider->GetPos(), 600);
    QTest::mouseRelease(slider, Qt::LeftButton, {}, At(400));
    EXPECT_EQ(Posted(), (std::vector<Message>{{WM_BITMAPSLIDER_MOVING, kId, 263},
                                              {WM_BITMAPSLIDER_MOVING, kId, 50},
                                              {WM_BITMAPSLIDER_MOVING, kId, 600},
                                              {WM_BITMAPSLIDER_MOVED, kId, 600}}));
}

TEST_F(BitmapSliderTest, KeysMoveWithinTheRangeAndPostOnlyMoved)
{
    slider->SetPageSize(20);
    QTest::mouseClick(slider, Qt::LeftButton, {}, At(28)); // focus, no move
    Posted();
    struct Case
    {
        Qt::Key key;
        int position;
    };
    const Case cases[] = {
        {Qt::Key_Right, 101}, {Qt::Key_Down, 102},   {Qt::Key_PageDown, 122}, {Qt::Key_PageUp, 102},
        {Qt::Key_Left, 101},  {Qt::Key_Up, 100},     {Qt::Key_End, 600},      {Qt::Key_Right, 600},
        {Qt::Key_Home, 50},   {Qt::Key_PageUp, 50},  {Qt::Key_Left, 50},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        QTest::keyClick(slider, c.key);
        EXPECT_EQ(slider->GetPos(), c.position);
        EXPECT_EQ(Posted(), (std::vector<Message>{{WM_BITMAPSLIDER_MOVED, kId, c.position}}));
    }
    QTest::keyClick(slider, Qt::Key_A);
    EXPECT_TRUE(Posted().empty());
}

TEST_F(BitmapSliderTest, ShowsTheActiveChannelBeforeTheThumbAndTheHeldThumbWhileHeld)
{
    const QImage channel = platform::LoadBitmap(300).convertToFormat(QImage::Format_RGB32);
    const QImage active = platform::LoadBitmap(301).convertToFormat(QImage::Format_RGB32);
    const QImage thumb = platform::LoadBitmap(302).convertToFormat(QImage::Format_RGB32);
    const QImage held = platform::LoadBitmap(303).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(thumb.size(), QSize(23, 11));
    ASSERT_EQ(thumb.pixel(0, 0), 0xFFFF0000u); // the transparent colour
    ASSERT_NE(thumb.pixel(5, 5), held.pixel(5, 5));

    slider->SetPos(325); // centre 99, thumb at 88 .. 110, rows 3 .. 13
    const QImage idle = Grab();
    for (const QPoint p : {QPoint(5, 8), QPoint(86, 8), QPoint(98, 0)})
        EXPECT_EQ(idle.pixel(p), active.pixel(p)) << p.x();
    for (const QPoint p : {QPoint(195, 8), QPoint(112, 8), QPoint(99, 16)})
        EXPECT_EQ(idle.pixel(p), channel.pixel(p)) << p.x();
    EXPECT_EQ(idle.pixel(93, 8), thumb.pixel(5, 5));
    EXPECT_EQ(idle.pixel(88, 3), active.pixel(88, 3)); // the thumb's transparent corner
    for (int y = 0; y < idle.height(); ++y)
        for (int x = 0; x < idle.width(); ++x)
            ASSERT_NE(idle.pixel(x, y), 0xFFFF0000u) << x << "," << y;

    QTest::mousePress(slider, Qt::LeftButton, {}, At(99));
    EXPECT_EQ(Grab().pixel(93, 8), held.pixel(5, 5));
    SaveScreen(Grab(), QStringLiteral("bitmap_slider_held"));
    QTest::mouseRelease(slider, Qt::LeftButton, {}, At(99));
    EXPECT_EQ(Grab().pixel(93, 8), thumb.pixel(5, 5));
    SaveScreen(idle, QStringLiteral("bitmap_slider"));

    // Disabled: the plain channel throughout and no thumb.
    slider->setEnabled(false);
    const QImage disabled = Grab();
    for (const QPoint p : {QPoint(5, 8), QPoint(99, 8), QPoint(195, 8)})
        EXPECT_EQ(disabled.pixel(p), channel.pixel(p)) << p.x();
}

TEST_F(BitmapSliderTest, MissingPicturesLeaveTheSliderAsItWas)
{
    EXPECT_FALSE(slider->SetChannelBitmaps(300, 9999));
    EXPECT_FALSE(slider->SetThumbBitmaps(9999, 303, true));
    EXPECT_EQ(slider->size(), QSize(200, 17));
    EXPECT_EQ(slider->Pos2Pixel(600), 186);
}

TEST(BitmapSliderMaskTest, MaskMarksTheTopLeftColourAndBlackensIt)
{
    QImage picture(3, 1, QImage::Format_RGB32);
    picture.setPixel(0, 0, 0xFFFF0000);
    picture.setPixel(1, 0, 0xFF00FF00);
    picture.setPixel(2, 0, 0xFFFF0000);
    QImage mask;
    ASSERT_TRUE(CBitmapSlider::CreateMask(picture, mask));
    EXPECT_EQ(mask.pixelIndex(0, 0), 1);
    EXPECT_EQ(mask.pixelIndex(1, 0), 0);
    EXPECT_EQ(mask.pixelIndex(2, 0), 1);
    EXPECT_EQ(picture.pixel(0, 0), 0xFF000000u);
    EXPECT_EQ(picture.pixel(1, 0), 0xFF00FF00u);
    QImage none;
    EXPECT_FALSE(CBitmapSlider::CreateMask(none, mask));
}

} // namespace
