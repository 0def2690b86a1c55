// The owner-drawn buttons, drawn for real and read back with QWidget::grab.
#include "controls/button_vq.h"
#include "controls/shade_button_vq.h"
#include "platform/crt.h"
#include "platform/dialog.h"
#include "tests/controls/pixels_fixture.h"
#include "tests/support/screens.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {

using lmd::test::BoundsOf;
using platform::COLORREF;

constexpr QRgb kFace = 0xFFF0F0F0;
constexpr QRgb kShadow = 0xFFA0A0A0;
constexpr QRgb kHighlight = 0xFFFFFFFF;
constexpr QRgb kRed = 0xFFFF0000;

QImage Grab(QWidget& widget)
{
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// A 10 x 8 picture: a 6 x 4 red block inside a white (transparent) border.
QImage RedBlockPicture()
{
    QImage picture(10, 8, QImage::Format_RGB32);
    picture.fill(Qt::white);
    for (int y = 2; y < 6; ++y)
        for (int x = 2; x < 8; ++x)
            picture.setPixel(x, y, kRed);
    return picture;
}

bool IsDark(QRgb p)
{
    return qRed(p) < 0x60 && qGreen(p) < 0x60 && qBlue(p) < 0x60;
}

class ButtonTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        window.setGeometry(40, 40, 200, 100);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    QWidget window;
};

TEST_F(ButtonTest, ShadePixelsFollowTheSeededGenerator)
{
    // 4 x 2 buttons with crt::srand(1): rand() gives 41, 18467, 6334, 26500,
    // 19169, 15724, 11478, 29358, so n = rand / 2047 is 0, 9, 3, 12, 9, 7, 5, 14,
    // one per pixel from the bottom row (r = 0) left to right.
    struct Case
    {
        int kind;
        int bottom[4]; // r = 0
        int top[4];    // r = 1
    };
    const Case cases[] = {
        // Kind 1: 119(w-x)/w + 119r/h + n; 119*3/4 = 89, 119*2/4 = 59, 119/4 = 29, 119/2 = 59.
        {1, {119, 89 + 9, 59 + 3, 29 + 12}, {119 + 59 + 9, 89 + 59 + 7, 59 + 59 + 5, 29 + 59 + 14}},
        // Kind 6: kx = 128, 64, 0, -64; ky = -127, 0. Cubes / 16384 (toward zero):
        // 128, 16, 0, -16 and -125, 0. Bottom row: s = (3*120)/128 = 2 -> 130;
        // (-109*120)/128 = -102 -> 26; (-125*120)/128 = -117 -> 11;
        // (-141*120)/128 = -132 -> -4, limited to 8. Top row: 120 -> 248, limited
        // to 247; 15 -> 143; 0 -> 128; -15 -> 113. Then + n - 8.
        {6,
         {130 - 8, 26 + 9 - 8, 11 + 3 - 8, 8 + 12 - 8},
         {247 + 9 - 8, 143 + 7 - 8, 128 + 5 - 8, 113 + 14 - 8}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        CShadeButtonVq button(QString(), &window);
        button.setGeometry(0, 0, 4, 2);
        button.show();
        crt::srand(1);
        button.SetShade(c.kind, 8, 10, 0, 0);
        const CCeXDib& dib = button.NormalImage();
        ASSERT_TRUE(dib.IsValid());
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(dib.GetPixelIndex(x, 0), c.bottom[x]) << "x " << x;
            EXPECT_EQ(dib.GetPixelIndex(x, 1), c.top[x]) << "x " << x;
        }
    }
}

TEST_F(ButtonTest, ShadeColoursRampFromShadowToHighlightAndHoverMovesTenPercent)
{
    CShadeButtonVq button(QString(), &window);
    button.setGeometry(0, 0, 30, 20);
    button.SetShade(CShadeButtonVq::SHS_SOFTBUMP, 8, 10, 0, 0);
    const CCeXDib& normal = button.NormalImage();
    const CCeXDib& hover = button.HoverImage();
    // Shadow A0, face F0, highlight FF (grey, so one channel tells).
    struct Entry
    {
        int index;
        int normal; // (shadow (128-k) + face k) / 128, or (face (128-m) + highlight m) / 128
        int hover;  // (10 * 255 + 90 * normal) / 100
    };
    const Entry entries[] = {
        {0, 160, 169},   // (2550 + 14400) / 100 = 169.5
        {119, 234, 236}, // (160*9 + 240*119) / 128 = 234.4; (2550 + 21060) / 100 = 236.1
        {127, 239, 240}, // (160 + 240*127) / 128 = 239.4; (2550 + 21510) / 100 = 240.6
        {128, 240, 241}, // m = 1: (240*127 + 255) / 128 = 240.1; 241.5
        {255, 255, 255},
    };
    for (const Entry& e : entries) {
        SCOPED_TRACE(e.index);
        EXPECT_EQ(normal.GetPaletteColor(e.index), platform::Rgb(e.normal, e.normal, e.normal));
        EXPECT_EQ(hover.GetPaletteColor(e.index), platform::Rgb(e.hover, e.hover, e.hover));
    }
    // Same pixels, lighter table.
    EXPECT_EQ(hover.GetPixelIndex(7, 5), normal.GetPixelIndex(7, 5));

    // What is drawn is the table colour of each index; row r counts from the bottom.
    const QImage shown = Grab(button);
    const int index = normal.GetPixelIndex(3, 0);
    EXPECT_EQ(platform::FromPixel(shown.pixel(3, 19)), normal.GetPaletteColor(index));
}

TEST_F(ButtonTest, KindsSevenAndEightStayInsideTheirPictures)
{
    // Narrow and tall buttons exercise the band width 0 and strokes at the edges.
    for (const QSize size : {QSize(5, 30), QSize(120, 3), QSize(1, 1), QSize(75, 23)}) {
        for (const int kind : {0, 2, 3, 4, 5, 7, 8, 9}) {
            CShadeButtonVq button(QString(), &window);
            button.setGeometry(QRect(QPoint(0, 0), size));
            button.SetShade(kind, 8, 10, 0, 0);
            EXPECT_EQ(button.NormalImage().GetWidth(), size.width());
            EXPECT_EQ(button.NormalImage().GetHeight(), size.height());
        }
    }
}

TEST_F(ButtonTest, FlatButtonShowsItsBorderOnlyWhileHovered)
{
    CButtonVq button(QStringLiteral("Read Me"), &window);
    button.setGeometry(20, 20, 80, 30);
    button.show();
    QTest::mouseMove(&window, QPoint(150, 80));
    QImage idle = Grab(button);
    EXPECT_FALSE(button.IsHovered());
    EXPECT_EQ(idle.pixel(0, 0), kFace);
    EXPECT_EQ(idle.pixel(79, 29), kFace);

    QTest::mouseMove(&button, QPoint(40, 15));
    QTRY_VERIFY(button.IsHovered());
    QImage hovered = Grab(button);
    EXPECT_EQ(hovered.pixel(0, 0), kHighlight);
    EXPECT_EQ(hovered.pixel(40, 0), kHighlight);
    EXPECT_EQ(hovered.pixel(79, 29), kShadow);
    EXPECT_EQ(hovered.pixel(79, 10), kShadow);

    // Leaving takes the border away again.
    QTest::mouseMove(&window, QPoint(150, 80));
    QTRY_VERIFY(!button.IsHovered());
    EXPECT_EQ(Grab(button).pixel(0, 0), kFace);

    // A button that is not flat never hovers and always has its raised border.
    button.SetFlat(false);
    QTest::mouseMove(&button, QPoint(40, 15));
    QTest::qWait(0);
    EXPECT_FALSE(button.IsHovered());
    const QImage raised = Grab(button);
    EXPECT_EQ(raised.pixel(0, 0), kHighlight);
    EXPECT_EQ(raised.pixel(79, 29), platform::ToPixel(platform::GetSysColor(platform::COLOR_3DDKSHADOW)));
    EXPECT_EQ(raised.pixel(78, 28), kShadow);
}

TEST_F(ButtonTest, PressShiftsPictureAndTextByOnePixel)
{
    CButtonVq button(QStringLiteral("再通知"), &window);
    button.setGeometry(10, 10, 90, 30);
    button.SetFlat(false);
    ASSERT_EQ(button.SetButtonBitmap(RedBlockPicture()), 0);
    button.show();

    const QRect inner = QRect(0, 0, 90, 30).adjusted(3, 3, -3, -3);
    const QImage up = Grab(button);
    button.setDown(true);
    const QImage down = Grab(button);
    lmd::test::SaveScreen(up, QStringLiteral("button_vq_up"));
    lmd::test::SaveScreen(down, QStringLiteral("button_vq_down"));

    const auto red = [](QRgb p) { return p == kRed; };
    const QRect pictureUp = BoundsOf(up, inner, red);
    // With text the picture sits 3 pixels from the left, centred vertically, and
    // its white border is transparent: only the red block shows.
    EXPECT_EQ(pictureUp, QRect(3 + 2, (30 - 8) / 2 + 2, 6, 4));
    EXPECT_EQ(BoundsOf(down, inner, red), pictureUp.translated(1, 1));

    const QRect textUp = BoundsOf(up, inner, IsDark);
    ASSERT_FALSE(textUp.isEmpty());
    EXPECT_GT(textUp.left(), pictureUp.right()); // the caption starts right of the picture
    EXPECT_EQ(BoundsOf(down, inner, IsDark), textUp.translated(1, 1));
}

TEST_F(ButtonTest, DisabledPictureIsEmbossedNotASolidBlock)
{
    CShadeButtonVq button(QString(), &window);
    button.setGeometry(10, 10, 40, 30);
    button.SetFlat(false);
    ASSERT_EQ(button.SetButtonBitmap(RedBlockPicture()), 0);
    button.SetShade(CShadeButtonVq::SHS_SOFTBUMP);
    button.show();
    const QImage enabled = Grab(button);
    button.setEnabled(false);
    const QImage disabled = Grab(button);
    lmd::test::SaveScreen(disabled, QStringLiteral("button_vq_disabled"));

    // The picture is centred: its block at (15 + 2, 11 + 2), 6 x 4.
    const QRect block(17, 13, 6, 4);
    EXPECT_EQ(BoundsOf(enabled, QRect(0, 0, 40, 30), [](QRgb p) { return p == kRed; }), block);
    // Disabled: no red; the block in the shadow colour, its highlight one pixel
    // down and right, and the transparent border still shows the background.
    EXPECT_TRUE(BoundsOf(disabled, QRect(0, 0, 40, 30), [](QRgb p) { return p == kRed; }).isEmpty());
    EXPECT_EQ(disabled.pixel(block.left(), block.top()), kShadow);
    EXPECT_EQ(disabled.pixel(block.right(), block.bottom()), kShadow);
    EXPECT_EQ(disabled.pixel(block.right() + 1, block.bottom() + 1), kHighlight);
    EXPECT_EQ(disabled.pixel(15, 11), enabled.pixel(15, 11)); // transparent corner of the picture
}

TEST_F(ButtonTest, PressingAHoveredFlatShadeButtonShiftsItsBackground)
{
    CShadeButtonVq button(QString(), &window);
    button.setGeometry(10, 10, 60, 24);
    button.SetShade(CShadeButtonVq::SHS_METAL);
    button.show();
    QTest::mouseMove(&window, QPoint(150, 80)); // the pointer starts away from the button
    const QImage idle = Grab(button);
    QTest::mouseMove(&button, QPoint(30, 12));
    QTRY_VERIFY(button.IsHovered());
    const QImage hovered = Grab(button);
    button.setDown(true);
    const QImage pressed = Grab(button);
    int lighter = 0;
    for (int y = 2; y < 21; ++y) {
        for (int x = 2; x < 57; ++x) {
            ASSERT_EQ(pressed.pixel(x + 1, y + 1), hovered.pixel(x, y)) << x << "," << y;
            lighter += qGray(hovered.pixel(x, y)) > qGray(idle.pixel(x, y));
        }
    }
    EXPECT_GT(lighter, 55 * 19 / 2); // the hovered picture is the lighter one
}

TEST_F(ButtonTest, DoubleClickCountsAsTwoClicks)
{
    CButtonVq button(QStringLiteral("About..."), &window);
    button.setGeometry(10, 10, 80, 24);
    button.show();
    int clicks = 0;
    QObject::connect(&button, &QAbstractButton::clicked, [&] { ++clicks; });
    // As the window system reports it: a click, then a press reported as a
    // double click, and its release.
    QTest::mouseClick(&button, Qt::LeftButton);
    QTest::mouseDClick(&button, Qt::LeftButton);
    QTest::mouseRelease(&button, Qt::LeftButton);
    EXPECT_EQ(clicks, 2);
    EXPECT_TRUE(button.hasFocus()); // a click gives the button the focus
}

TEST(ButtonMaskTest, MaskMarksTheTransparentColourAndBlackensIt)
{
    QImage picture(3, 1, QImage::Format_RGB32);
    picture.setPixel(0, 0, 0xFFFFFFFF);
    picture.setPixel(1, 0, 0xFF123456);
    picture.setPixel(2, 0, 0xFFFFFFFE); // nearly white is a colour
    CButtonVq::MaskedBitmap masked;
    ASSERT_TRUE(CButtonVq::CreateBitmapMask(picture, 0xFFFFFF, masked));
    EXPECT_EQ(masked.mask.pixelIndex(0, 0), 1);
    EXPECT_EQ(masked.mask.pixelIndex(1, 0), 0);
    EXPECT_EQ(masked.mask.pixelIndex(2, 0), 0);
    EXPECT_EQ(masked.picture.pixel(0, 0), 0xFF000000u);
    EXPECT_EQ(masked.picture.pixel(1, 0), 0xFF123456u);
    EXPECT_FALSE(CButtonVq::CreateBitmapMask(QImage(), 0xFFFFFF, masked));

    CButtonVq button;
    EXPECT_EQ(button.SetButtonBitmap(QImage()), 0);
}

} // namespace
