// The dial page "文字盤1" on the test display, with a recording main window:
// what each control writes into the live settings and posts to the clock.
#include "settings/prop_page1.h"
#include "tests/settings/settings_fixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>
#include <memory>

namespace {

using namespace lmd::test;
using platform::WM_SET_CLOCK_FACE;
using platform::WM_SET_HANDS_COLOR;

constexpr int kHandColourControls[] = {1053, 1054, 1055, 1129, 1130, 1131};

class PropPage1Test : public SettingsPageTest
{
protected:
    CPropPage1& Open()
    {
        page = OpenPage<CPropPage1>(mainWindow);
        return *page;
    }

    bool HandColoursEnabled(bool enabled) const
    {
        for (const int id : kHandColourControls)
            if (page->GetDlgItem(id)->isEnabled() != enabled)
                return false;
        return true;
    }

    CColorButton* ColourButton(int id) const { return page->Item<CColorButton>(id); }

    std::unique_ptr<CPropPage1> page;
};

// The colour buttons and their labels are enabled exactly for one colour per
// hand, at opening and after each radio click, and each click posts its kind.
TEST_F(PropPage1Test, HandColourKindEnablesTheColoursAndPostsTheKind)
{
    for (const int initial : {0, 1, 2}) {
        Settings().HandsColorKind = initial;
        Open();
        EXPECT_TRUE(page->Item<QRadioButton>(1047 + initial)->isChecked());
        EXPECT_TRUE(HandColoursEnabled(initial == 2)) << initial;
        for (const int kind : {2, 0, 1, 2}) {
            Click(page->GetDlgItem(1047 + kind));
            EXPECT_EQ(Settings().HandsColorKind, kind);
            EXPECT_TRUE(HandColoursEnabled(kind == 2)) << kind;
            EXPECT_EQ(mainWindow.Messages().back(), (Posted{WM_SET_HANDS_COLOR, platform::WPARAM(kind), 0}));
        }
    }
}

// A chosen colour is stored by its button and posts kind 2; "自動" stores the
// field's default colour, not the marker; a cancelled choice changes nothing.
TEST_F(PropPage1Test, ColourChoicesStoreByButton)
{
    Settings().HandsColorKind = 2;
    Settings().MinColor = 0x123456;
    Open();
    const std::vector<Posted> kind2 = {{WM_SET_HANDS_COLOR, 2, 0}};

    ChooseColour(ColourButton(1055), Choice::Escape);
    EXPECT_TRUE(mainWindow.Messages().empty());

    ChooseColour(ColourButton(1054), Choice::Cell, 16); // "Red"
    EXPECT_EQ(Settings().MinColor, kColourTable[16].crColour);
    EXPECT_EQ(Settings().HourColor, AppSettings{}.HourColor);
    EXPECT_EQ(mainWindow.Messages(), kind2);

    mainWindow.Clear();
    ChooseColour(ColourButton(1053), Choice::DefaultBox);
    EXPECT_EQ(Settings().HourColor, AppSettings{}.HourColor);
    EXPECT_NE(Settings().HourColor, CLR_DEFAULT);
    EXPECT_EQ(mainWindow.Messages(), kind2);

    mainWindow.Clear();
    ChooseColour(ColourButton(1054), Choice::DefaultBox);
    EXPECT_EQ(Settings().MinColor, AppSettings{}.MinColor);
    // The button shows the colour that "自動" stands for.
    EXPECT_EQ(ColourButton(1054)->GetDefaultColor(), AppSettings{}.MinColor);

    mainWindow.Clear();
    ChooseColour(ColourButton(1055), Choice::Escape);
    EXPECT_EQ(Settings().SecondColor, AppSettings{}.SecondColor);
    EXPECT_TRUE(mainWindow.Messages().empty());
}

// The dial type posts WM_SET_CLOCK_FACE with the combo's index; the two check
// boxes write their settings and post nothing.
TEST_F(PropPage1Test, DialTypeAndChecks)
{
    Settings().ClockFace = 1;
    Open();
    auto* combo = page->Item<QComboBox>(CPropPage1::IDC_CLOCK_FACE);
    ASSERT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->itemText(0), "LM_Clock");
    EXPECT_EQ(combo->itemText(1), "スイス鉄道時計");
    EXPECT_EQ(combo->itemText(2), "７セグ表示");
    EXPECT_EQ(combo->currentIndex(), 1);
    for (const int face : {2, 0}) {
        ChooseEntry(combo, face);
        EXPECT_EQ(Settings().ClockFace, face);
        EXPECT_EQ(mainWindow.Messages().back(), (Posted{WM_SET_CLOCK_FACE, platform::WPARAM(face), 0}));
    }

    mainWindow.Clear();
    Click(page->GetDlgItem(CPropPage1::IDC_CHECK_HANDS));
    EXPECT_FALSE(Settings().ClockHands);
    Click(page->GetDlgItem(CPropPage1::IDC_CHECK_DATE));
    EXPECT_TRUE(Settings().Date);
    Click(page->GetDlgItem(CPropPage1::IDC_CHECK_HANDS));
    EXPECT_TRUE(Settings().ClockHands);
    EXPECT_TRUE(mainWindow.Messages().empty());
}

} // namespace
