#include "platform/desktop.h"

#include <gtest/gtest.h>

namespace {

using namespace platform;

TEST(DesktopTest, RecordingDoubleRecordsAndAnswers)
{
    ScopedRecordingDesktop desktop;
    desktop->picturesFolder = "/home/me/Pictures";
    desktop->cursorPos = QPoint(12, 34);
    desktop->altDown = true;

    PlaySystemSound("Notification.Reminder");
    EXPECT_TRUE(OpenWithAssociatedProgram("/opt/lmd/LMD_ReadMe.txt"));
    EXPECT_TRUE(LockWorkstation());
    EXPECT_EQ(MessageBox(nullptr, "Shader error", "Error", MB_ICONERROR), IDOK);
    EXPECT_EQ(MessageBox(nullptr, "Delete?", "Ask", MB_YESNO | MB_ICONQUESTION), IDYES);
    desktop->messageBoxAnswer = IDNO;
    EXPECT_EQ(MessageBox(nullptr, "Delete?", "Ask", MB_YESNO), IDNO);

    EXPECT_EQ(desktop->sounds, std::vector<QString>{"Notification.Reminder"});
    EXPECT_EQ(desktop->opened, std::vector<QString>{"/opt/lmd/LMD_ReadMe.txt"});
    EXPECT_EQ(desktop->locks, 1);
    ASSERT_EQ(desktop->messageBoxes.size(), 3u);
    EXPECT_EQ(desktop->messageBoxes[0].text, "Shader error");
    EXPECT_EQ(desktop->messageBoxes[0].caption, "Error");
    EXPECT_EQ(desktop->messageBoxes[0].style, unsigned(MB_ICONERROR));
    EXPECT_EQ(PicturesFolder(), "/home/me/Pictures");
    EXPECT_EQ(CursorPos(), QPoint(12, 34));
    EXPECT_TRUE(IsKeyDown(Key::Alt));
    EXPECT_FALSE(IsKeyDown(Key::Control));

    desktop->openSucceeds = false;
    EXPECT_FALSE(OpenWithAssociatedProgram("https://example.org/feed"));
}

TEST(DesktopTest, ScopesNestAndRestoreTheSystemDesktop)
{
    {
        ScopedRecordingDesktop outer;
        {
            ScopedRecordingDesktop inner;
            PlaySystemSound("SystemHand");
            EXPECT_EQ(inner->sounds.size(), 1u);
        }
        PlaySystemSound("SystemAsterisk");
        EXPECT_EQ(outer->sounds, std::vector<QString>{"SystemAsterisk"});
    }
    EXPECT_NE(dynamic_cast<SystemDesktop*>(&Desktop()), nullptr);
}

TEST(DesktopTest, CommandsAreArgumentListsNeverShellText)
{
    const Command open = OpenCommand("/home/me/My Pictures/a b;rm -rf ~.png");
    EXPECT_EQ(open.program, "xdg-open");
    EXPECT_EQ(open.arguments, QStringList{"/home/me/My Pictures/a b;rm -rf ~.png"});
    // A name that looks like an option stays a file name.
    EXPECT_EQ(OpenCommand("-help.txt").arguments, QStringList{"./-help.txt"});
    EXPECT_EQ(OpenCommand("https://example.org/?a=1&b=2").arguments,
              QStringList{"https://example.org/?a=1&b=2"});

    const std::vector<Command> lock = LockCommands();
    ASSERT_EQ(lock.size(), 2u);
    EXPECT_EQ(lock[0].program, "loginctl");
    EXPECT_EQ(lock[0].arguments, QStringList{"lock-session"});
    EXPECT_EQ(lock[1].program, "xdg-screensaver");
    EXPECT_EQ(lock[1].arguments, QStringList{"lock"});
}

TEST(DesktopTest, SoundAliasesMapToFreedesktopEvents)
{
    EXPECT_EQ(SoundEventId("Notification.Reminder"), "alarm-clock-elapsed");
    EXPECT_EQ(SoundEventId("notification.reminder"), "alarm-clock-elapsed");
    EXPECT_EQ(SoundEventId("SystemHand"), "dialog-error");
    EXPECT_EQ(SoundEventId("NoSuchAlias"), "bell");
}

TEST(DesktopTest, SystemSoundReturnsWithoutASoundDevice)
{
    // The test machine has no sound device: the call hands the sound to the
    // player thread and returns; the player copes with the missing backend.
    SystemDesktop desktop;
    for (int i = 0; i < 20; ++i)
        desktop.PlaySystemSound("Notification.Reminder");
    SUCCEED();
}

} // namespace
