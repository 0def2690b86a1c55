// The dial page "文字盤2" on the test display, with a recording main window:
// the enable rules of its controls, the colour choices and the LED preview.
#include "controls/matrix_static.h"
#include "platform/dialog.h"
#include "platform/resources.h"
#include "settings/prop_page8.h"
#include "tests/settings/settings_fixture.h"
#include "tests/support/screens.h"

#include <QCheckBox>
#include <QComboBox>
#include <memory>

namespace {

using namespace lmd::test;
using platform::COLORREF;
using platform::WM_DOT_COLORS_CHANGED;

// The controls the enable rules cover, in this order.
constexpr int kControls[] = {1127, 1120, 1065, 1066, 1129, 1130, 1131};

class PropPage8Test : public SettingsPageTest
{
protected:
    CPropPage8& Open()
    {
        page = OpenPage<CPropPage8>(mainWindow);
        return *page;
    }

    // "1" for each enabled control of kControls, "0" for a disabled one.
    std::string Enabled() const
    {
        std::string flags;
        for (const int id : kControls)
            flags += page->GetDlgItem(id)->isEnabled() ? '1' : '0';
        return flags;
    }

    std::unique_ptr<CPropPage8> page;
};

// The page's enable matrix: at opening, and after switching the readout off
// and on again with its check box.
TEST_F(PropPage8Test, EnableMatrix)
{
    struct Case
    {
        bool digital;
        int group;
        const char* atOpening;
        const char* afterToggle; // the check clicked once
        const char* afterSecond; // and once more
    };
    const Case cases[] = {
        {false, 0, "0000000", "1100000", "0000000"},
        {false, 3, "0000000", "1111111", "0000000"},
        {true, 1, "1100000", "0000000", "1100000"},
        {true, 3, "1111111", "0000000", "1111111"},
    };
    for (const Case& c : cases) {
        Settings().DigitalWatch = c.digital;
        Settings().DotColorGroup = c.group;
        Open();
        EXPECT_EQ(Enabled(), c.atOpening) << c.digital << " " << c.group;
        Click(page->GetDlgItem(CPropPage8::IDC_CHECK_DIGITAL));
        EXPECT_EQ(Settings().DigitalWatch, !c.digital);
        EXPECT_EQ(Enabled(), c.afterToggle) << c.digital << " " << c.group;
        Click(page->GetDlgItem(CPropPage8::IDC_CHECK_DIGITAL));
        EXPECT_EQ(Enabled(), c.afterSecond) << c.digital << " " << c.group;
        EXPECT_TRUE(mainWindow.Messages().empty()); // the checks post nothing
    }
}

// The colour group enables the own colours exactly for "個別指定" and posts
// WM_DOT_COLORS_CHANGED; the seconds check posts nothing.
TEST_F(PropPage8Test, ColourGroupAndSeconds)
{
    Settings().DigitalWatch = true;
    Settings().DotColorGroup = 0;
    Open();
    auto* combo = page->Item<QComboBox>(CPropPage8::IDC_COLOR_GROUP);
    ASSERT_EQ(combo->count(), 4);
    EXPECT_EQ(combo->itemText(3), "個別指定");
    for (const int group : {3, 2, 3}) {
        mainWindow.Clear();
        ChooseEntry(combo, group);
        EXPECT_EQ(Settings().DotColorGroup, group);
        EXPECT_EQ(Enabled(), group == 3 ? "1111111" : "1100000");
        // Each step of the keyboard is a selection of its own.
        ASSERT_FALSE(mainWindow.Messages().empty());
        for (const Posted& posted : mainWindow.Messages())
            EXPECT_EQ(posted, (Posted{WM_DOT_COLORS_CHANGED, 0, 0}));
    }
    mainWindow.Clear();
    Click(page->GetDlgItem(CPropPage8::IDC_CHECK_SECONDS));
    EXPECT_TRUE(Settings().DigiSec);
    EXPECT_TRUE(mainWindow.Messages().empty());
}

// The preview cells of "12;34" recoloured by a three-colour map of our own:
// lit, unlit and background of the strip to the three given colours.
QImage ExpectedPreview(COLORREF lit, COLORREF unlit, COLORREF background)
{
    const QImage strip = platform::LoadBitmap(150).convertToFormat(QImage::Format_RGB32);
    QImage expected(80, 22, QImage::Format_RGB32);
    const QString text = QStringLiteral("12;34");
    for (int i = 0; i < text.size(); ++i) {
        const int cell = text[i].unicode() - 32;
        for (int y = 0; y < 22; ++y)
            for (int x = 0; x < 16; ++x) {
                const QRgb p = strip.pixel(cell % 32 * 16 + x, cell / 32 * 22 + y) & 0xFFFFFF;
                const COLORREF c = p == 0x3FB5FF ? lit : p == 0x174067 ? unlit : p == 0 ? background : 0x00FF00FF;
                expected.setPixel(i * 16 + x, y, qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF));
            }
    }
    return expected;
}

QImage PreviewClient(CMatrixStatic& preview)
{
    return preview.grab().toImage().convertToFormat(QImage::Format_RGB32).copy(2, 2, 80, 22);
}

// The preview shows "12;34" at 84 x 26 pixels in the own colours on 0xF0F0F0;
// a colour choice recolours it on the button face and posts the change.
TEST_F(PropPage8Test, PreviewFollowsTheOwnColours)
{
    Settings().DigitalWatch = true;
    Settings().DotColorGroup = 3;
    Settings().DotMatrixOnColor = 0x2040E0;
    Settings().DotMatrixOffColor = 0x303030;
    Open();
    CMatrixStatic& preview = page->Preview();
    EXPECT_EQ(preview.size(), QSize(84, 26));
    EXPECT_EQ(preview.DisplayText(), "12;34");
    const QImage before = PreviewClient(preview);
    SaveScreen(page->grab().toImage(), "settings_page8");
    EXPECT_EQ(before, ExpectedPreview(0x2040E0, 0x303030, 0xF0F0F0));

    ChooseColour(page->Item<CColorButton>(CPropPage8::IDC_COLOR_OFF), Choice::Cell, 26); // "Yellow"
    EXPECT_EQ(Settings().DotMatrixOffColor, kColourTable[26].crColour);
    EXPECT_EQ(mainWindow.Messages(), (std::vector<Posted>{{WM_DOT_COLORS_CHANGED, 0, 0}}));
    EXPECT_EQ(PreviewClient(preview),
              ExpectedPreview(0x2040E0, kColourTable[26].crColour, platform::GetSysColor(platform::COLOR_BTNFACE)));

    mainWindow.Clear();
    ChooseColour(page->Item<CColorButton>(CPropPage8::IDC_COLOR_ON), Choice::DefaultBox);
    EXPECT_EQ(Settings().DotMatrixOnColor, AppSettings{}.DotMatrixOnColor); // "自動": the field's default

    mainWindow.Clear();
    ChooseColour(page->Item<CColorButton>(CPropPage8::IDC_COLOR_ON), Choice::Escape);
    EXPECT_TRUE(mainWindow.Messages().empty());
}

} // namespace
