// The frame page "フレーム" on the test display, with a recording main window
// and recording choosers: the frame list and what it enables and posts, the
// external picture's file chooser, the gradation and the frame switch.
#include "platform/paths.h"
#include "settings/choosers.h"
#include "settings/prop_page2.h"
#include "tests/settings/settings_fixture.h"
#include "tests/support/screens.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <memory>

namespace {

using namespace lmd::test;
using platform::WM_CREATE_EXT_FRAME;
using platform::WM_SET_FRAME_TYPE;
using platform::WM_SET_HANDS_COLOR;

constexpr int kFileControls[] = {1021, 1010, 1011, 1012};

class PropPage2Test : public SettingsPageTest
{
protected:
    CPropPage2& Open()
    {
        page = OpenPage<CPropPage2>(mainWindow);
        return *page;
    }

    bool FileControlsEnabled(bool enabled) const
    {
        for (const int id : kFileControls)
            if (page->GetDlgItem(id)->isEnabled() != enabled)
                return false;
        return true;
    }

    QComboBox* Frames() const { return page->Item<QComboBox>(CPropPage2::IDC_FRAME_TYPE); }
    QString ShownName() const { return page->Item<QLineEdit>(CPropPage2::IDC_FILE_NAME)->text(); }

    ScopedRecordingChoosers choosers;
    std::unique_ptr<CPropPage2> page;
};

// The eighteen frames in order; the external image (the last) enables the file
// controls, any other frame disables them; each choice posts the frame, and
// the hands' colour too while they follow the frame's.
TEST_F(PropPage2Test, FrameListEnablesTheFileControlsAndPosts)
{
    for (const int handsKind : {0, 1}) {
        Settings().HandsColorKind = handsKind;
        Settings().FrameType = 3;
        Open();
        ASSERT_EQ(Frames()->count(), 18);
        EXPECT_EQ(page->ExternalIndex(), 17);
        EXPECT_EQ(Frames()->itemText(0), "百式");
        EXPECT_EQ(Frames()->itemText(16), "Shader_Frame");
        EXPECT_EQ(Frames()->itemText(17), "外部イメージファイル");
        EXPECT_EQ(Frames()->currentIndex(), 3);
        EXPECT_TRUE(FileControlsEnabled(false));

        for (const int frame : {17, 16, 17, 0}) {
            ChooseEntry(Frames(), frame == 0 ? 1 : frame - 1);
            mainWindow.Clear();
            ChooseEntry(Frames(), frame); // one step: one change of frame
            EXPECT_TRUE(FileControlsEnabled(frame == 17)) << frame;
            std::vector<Posted> expected = {{WM_SET_FRAME_TYPE, platform::WPARAM(frame), 0}};
            if (handsKind == 1)
                expected.push_back({WM_SET_HANDS_COLOR, 1, 0});
            EXPECT_EQ(mainWindow.Messages(), expected) << frame;
        }
        // The main window stores the frame, not the page.
        EXPECT_EQ(Settings().FrameType, 3);
    }
}

// Opening on the external image shows its controls enabled and the picture's name.
TEST_F(PropPage2Test, OpensOnTheExternalImage)
{
    Settings().FrameType = 17;
    Settings().ExtFramePath = "/pictures/rings/gold.png";
    Open();
    EXPECT_TRUE(FileControlsEnabled(true));
    EXPECT_EQ(ShownName(), "gold.png");
    SaveScreen(page->grab().toImage(), "prop_page2");
}

// A chosen file becomes the external frame's path, shows by name, has the
// clock window rebuild the external frame from it and selects that frame; a
// cancelled chooser changes nothing and posts nothing.
TEST_F(PropPage2Test, FileChooserSetsThePicture)
{
    platform::paths::SetExeDirOverride("/opt/lumidial");
    Settings().FrameType = 17;
    Settings().ExtFramePath = "old.png";
    Settings().Gradation = false;
    Open();

    Click(page->GetDlgItem(CPropPage2::IDC_FOLDER)); // cancelled
    ASSERT_EQ(choosers->files.size(), 1u);
    EXPECT_EQ(Settings().ExtFramePath, "old.png");
    EXPECT_EQ(ShownName(), "old.png");
    EXPECT_TRUE(mainWindow.Messages().empty());

    choosers->fileAnswer = "/home/me/額縁/wood.jpg";
    Click(page->GetDlgItem(CPropPage2::IDC_FOLDER));
    EXPECT_EQ(Settings().ExtFramePath, "/home/me/額縁/wood.jpg");
    EXPECT_EQ(ShownName(), "wood.jpg");
    EXPECT_EQ(mainWindow.Messages(),
              (std::vector<Posted>{{WM_CREATE_EXT_FRAME, 0, 0, "/home/me/額縁/wood.jpg"},
                                   {WM_SET_FRAME_TYPE, 17, 0}}));

    ASSERT_EQ(choosers->files.size(), 2u);
    const FileChooserRequest& request = choosers->files.back();
    EXPECT_EQ(request.title, "フレームイメージ選択");
    EXPECT_EQ(request.initialFolder, "/opt/lumidial/assets");
    EXPECT_EQ(request.defaultExtension, "bmp");
    EXPECT_EQ(QtNameFilter(request.filter),
              "全てのイメージ (*.bmp *.png *.jpg);;ビットマップファイル(*.bmp) (*.bmp);;PNGファイル(*.png) (*.png);;"
              "JPEGファイル(*.jpg) (*.jpg)");
    platform::paths::SetExeDirOverride(QString());
}

// The gradation check stores its state, has the clock window rebuild the
// external frame with it at once and selects that frame; the frame switch
// stores its state and posts nothing.
TEST_F(PropPage2Test, GradationAndFrameSwitch)
{
    Settings().FrameType = 17;
    Settings().ExtFramePath = "rings/gold.png";
    Open();
    for (const bool gradation : {false, true}) {
        Click(page->GetDlgItem(CPropPage2::IDC_GRADATION));
        EXPECT_EQ(Settings().Gradation, gradation);
        // The rebuild is done at once, the selection follows.
        EXPECT_EQ(mainWindow.Arrived(),
                  (std::vector<Posted>{{WM_CREATE_EXT_FRAME, gradation, 0, "rings/gold.png"}}));
        EXPECT_EQ(mainWindow.Messages(),
                  (std::vector<Posted>{{WM_CREATE_EXT_FRAME, gradation, 0, "rings/gold.png"},
                                       {WM_SET_FRAME_TYPE, 17, 0}}));
        mainWindow.Clear();
    }

    Click(page->GetDlgItem(CPropPage2::IDC_CHECK_FRAME));
    EXPECT_FALSE(Settings().Frame);
    Click(page->GetDlgItem(CPropPage2::IDC_CHECK_FRAME));
    EXPECT_TRUE(Settings().Frame);
    EXPECT_TRUE(mainWindow.Messages().empty());
}

TEST(FileNamePartTest, NameAfterTheLastSeparator)
{
    const std::pair<QString, QString> cases[] = {
        {"C:\\frames\\ring.bmp", "ring.bmp"}, {"/home/me/a b/ring.png", "ring.png"},
        {"ring.jpg", "ring.jpg"},             {"frames/", ""},
        {"", ""},
    };
    for (const auto& [path, name] : cases)
        EXPECT_EQ(FileNamePart(path), name) << path.toStdString();
}

} // namespace
