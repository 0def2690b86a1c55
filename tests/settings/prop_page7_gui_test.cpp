// The effect page "エフェクト" on the test display, with a recording main
// window and recording choosers: the filter's colour and strength, the
// slideshow's folder, interval and subfolder search.
#include "settings/choosers.h"
#include "settings/prop_page7.h"
#include "tests/settings/settings_fixture.h"
#include "tests/support/screens.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QSlider>
#include <QToolButton>
#include <memory>

namespace {

using namespace lmd::test;
using platform::WM_SET_FILTER;
using platform::WM_SET_IMAGE_SOURCE;

class PropPage7Test : public SettingsPageTest
{
protected:
    CPropPage7& Open()
    {
        page = OpenPage<CPropPage7>(mainWindow);
        return *page;
    }

    QLineEdit* Edit(int id) const { return page->Item<QLineEdit>(id); }
    QLineEdit* Interval() const { return Edit(CPropPage7::IDC_INTERVAL); }

    // Replaces the interval box's text by typing, as a user does.
    void TypeInterval(const QString& text)
    {
        Interval()->setFocus();
        QTest::keyClick(Interval(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(Interval(), Qt::Key_Backspace);
        QTest::keyClicks(Interval(), text);
    }

    // The up-down control's arrow buttons (up first).
    QList<QToolButton*> Arrows() const
    {
        return page->GetDlgItem(CPropPage7::IDC_INTERVAL_SPIN)->findChildren<QToolButton*>();
    }

    ScopedRecordingChoosers choosers;
    std::unique_ptr<CPropPage7> page;
};

// The trackbar moved to 128 stores the strength, shows it and posts the
// filter with the stored colour.
TEST_F(PropPage7Test, StrengthTrackbar)
{
    Settings().FilterColor = 0x336699;
    Settings().FilterAlpha = 40;
    Open();
    QSlider* slider = page->Item<QSlider>(CPropPage7::IDC_STRENGTH);
    EXPECT_EQ(slider->minimum(), 0);
    EXPECT_EQ(slider->maximum(), 255);
    EXPECT_EQ(slider->value(), 40);
    EXPECT_EQ(Edit(CPropPage7::IDC_STRENGTH_VALUE)->text(), "40");

    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_Home);
    for (int i = 0; i < 128; ++i)
        QTest::keyClick(slider, Qt::Key_Right);
    EXPECT_EQ(Settings().FilterAlpha, 128);
    EXPECT_EQ(Edit(CPropPage7::IDC_STRENGTH_VALUE)->text(), "128");
    EXPECT_EQ(mainWindow.Messages().back(), (Posted{WM_SET_FILTER, 0x336699, 128}));
    SaveScreen(page->grab().toImage(), "prop_page7");
}

// A chosen filter colour is stored (so OK saves it and the strength uses it)
// and posted with the strength; a cancelled choice changes nothing.
TEST_F(PropPage7Test, FilterColourIsStoredAndPosted)
{
    Settings().FilterAlpha = 90;
    Open();
    auto* button = page->Item<CColorButton>(CPropPage7::IDC_FILTER_COLOR);
    ChooseColour(button, Choice::Escape);
    EXPECT_EQ(Settings().FilterColor, AppSettings{}.FilterColor);
    EXPECT_TRUE(mainWindow.Messages().empty());

    ChooseColour(button, Choice::Cell, 16); // "Red"
    EXPECT_EQ(Settings().FilterColor, kColourTable[16].crColour);
    EXPECT_EQ(mainWindow.Messages(), (std::vector<Posted>{{WM_SET_FILTER, kColourTable[16].crColour, 90}}));

    mainWindow.Clear();
    QSlider* slider = page->Item<QSlider>(CPropPage7::IDC_STRENGTH);
    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_Right);
    EXPECT_EQ(mainWindow.Messages(), (std::vector<Posted>{{WM_SET_FILTER, kColourTable[16].crColour, 91}}));
}

// Opening posts the stored interval once, as the up-down control fills its box in.
TEST_F(PropPage7Test, OpeningPostsTheIntervalOnce)
{
    Settings().PlayInterval = 25;
    CPropPage7 opened;
    opened.OnInitDialog();
    EXPECT_EQ(mainWindow.Messages(), (std::vector<Posted>{{WM_SET_IMAGE_SOURCE, 0, 25}}));
    EXPECT_EQ(opened.Item<QLineEdit>(CPropPage7::IDC_INTERVAL)->text(), "25");
}

// Only whole seconds from 1 to 600 are stored and posted: an empty box, 0,
// text or too large a number leave the interval as it was.
TEST_F(PropPage7Test, IntervalTypedIsStoredOnlyInRange)
{
    Settings().PlayInterval = 10;
    Open();
    TypeInterval("45");
    EXPECT_EQ(Settings().PlayInterval, 45);
    EXPECT_EQ(mainWindow.Messages(), (std::vector<Posted>{{WM_SET_IMAGE_SOURCE, 0, 4}, {WM_SET_IMAGE_SOURCE, 0, 45}}));

    for (const QString& typed : {QString(), QString("0"), QString("abc"), QString("-5"), QString("6010")}) {
        TypeInterval("45");
        mainWindow.Clear();
        TypeInterval(typed);
        if (typed == "6010") {
            // "6", "60" and "601"'s prefix "60" are fine; "601" and "6010" are not.
            EXPECT_EQ(mainWindow.Messages(),
                      (std::vector<Posted>{{WM_SET_IMAGE_SOURCE, 0, 6}, {WM_SET_IMAGE_SOURCE, 0, 60}}));
            EXPECT_EQ(Settings().PlayInterval, 60);
        } else {
            EXPECT_TRUE(mainWindow.Messages().empty()) << typed.toStdString();
            EXPECT_EQ(Settings().PlayInterval, 45) << typed.toStdString();
        }
    }
}

// The up-down arrows and the arrow keys step the interval by one, within 1 .. 600.
TEST_F(PropPage7Test, IntervalSteps)
{
    Settings().PlayInterval = 599;
    Open();
    ASSERT_EQ(Arrows().size(), 2);
    QTest::mouseClick(Arrows()[0], Qt::LeftButton);
    EXPECT_EQ(Interval()->text(), "600");
    QTest::mouseClick(Arrows()[0], Qt::LeftButton);
    EXPECT_EQ(Interval()->text(), "600");
    QTest::mouseClick(Arrows()[1], Qt::LeftButton);
    EXPECT_EQ(Settings().PlayInterval, 599);
    EXPECT_EQ(mainWindow.Messages(), (std::vector<Posted>{{WM_SET_IMAGE_SOURCE, 0, 600}, {WM_SET_IMAGE_SOURCE, 0, 599}}));

    TypeInterval("2");
    Interval()->setFocus();
    QTest::keyClick(Interval(), Qt::Key_Down);
    QTest::keyClick(Interval(), Qt::Key_Down);
    EXPECT_EQ(Interval()->text(), "1");
    QTest::keyClick(Interval(), Qt::Key_Up);
    EXPECT_EQ(Settings().PlayInterval, 2);
}

// A chosen folder becomes the slideshow's folder, shows in its box and is
// posted; the chooser starts at the current folder; a cancelled one changes
// nothing. The subfolder check is stored and posts nothing.
TEST_F(PropPage7Test, FolderAndSubfolders)
{
    Settings().ImageFolderPath = "/home/me/Pictures";
    Settings().StoredImageFolderPath = "/media/gone";
    Open();
    EXPECT_EQ(Edit(CPropPage7::IDC_IMAGE_FOLDER)->text(), "/home/me/Pictures");
    EXPECT_FALSE(Edit(CPropPage7::IDC_IMAGE_FOLDER)->isEnabled());

    Click(page->GetDlgItem(CPropPage7::IDC_FOLDER));
    ASSERT_EQ(choosers->folders.size(), 1u);
    EXPECT_EQ(choosers->folders[0].title, "イメージフォルダーを選択");
    EXPECT_EQ(choosers->folders[0].startFolder, "/home/me/Pictures");
    EXPECT_EQ(Settings().ImageFolderPath, "/home/me/Pictures");
    EXPECT_TRUE(mainWindow.Messages().empty());

    choosers->folderAnswer = "/srv/photos";
    Click(page->GetDlgItem(CPropPage7::IDC_FOLDER));
    EXPECT_EQ(Settings().ImageFolderPath, "/srv/photos");
    EXPECT_TRUE(Settings().StoredImageFolderPath.isEmpty()); // the choice is what gets saved
    EXPECT_EQ(Edit(CPropPage7::IDC_IMAGE_FOLDER)->text(), "/srv/photos");
    EXPECT_EQ(mainWindow.Messages(), (std::vector<Posted>{{WM_SET_IMAGE_SOURCE, 0, 0, "/srv/photos"}}));

    mainWindow.Clear();
    Click(page->GetDlgItem(CPropPage7::IDC_SEARCH_SUB));
    EXPECT_TRUE(Settings().SearchSub);
    Click(page->GetDlgItem(CPropPage7::IDC_SEARCH_SUB));
    EXPECT_FALSE(Settings().SearchSub);
    EXPECT_TRUE(mainWindow.Messages().empty());
}

TEST(ParseIntervalTest, WholeSecondsInRange)
{
    const std::pair<QString, std::optional<int>> cases[] = {
        {"1", 1},  {"600", 600}, {" 30 ", 30},          {"0", std::nullopt},   {"601", std::nullopt},
        {"", {}},  {"-1", {}},   {"1.5", std::nullopt}, {"99999999999", {}},   {"x", {}},
    };
    for (const auto& [text, seconds] : cases)
        EXPECT_EQ(ParseInterval(text), seconds) << text.toStdString();
}

} // namespace
