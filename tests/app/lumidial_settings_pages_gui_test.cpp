// The frame, effect, general, alarm and version pages on the running clock:
// changes show on the clock while the dialog is open; Cancel puts the settings
// and the clock back, OK saves them, an alarm set on the page rings, and the
// pages show the application's version and dark threshold.
#include "app/alarm_dlg.h"
#include "app/lmd_app.h"
#include "app/lumidial.h"
#include "controls/bitmap_slider.h"
#include "controls/color_edit.h"
#include "platform/desktop.h"
#include "platform/paths.h"
#include "settings/choosers.h"
#include "settings/prop_page2.h"
#include "settings/prop_page3.h"
#include "settings/prop_page4.h"
#include "settings/prop_page5.h"
#include "settings/prop_page7.h"
#include "settings/settings_dialog.h"
#include "tests/app/lmd_app_fixture.h"
#include "tests/settings/settings_fixture.h"
#include "tests/support/screens.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QSlider>
#include <QTemporaryDir>
#include <QTimeEdit>
#include <QTreeWidget>
#include <functional>
#include <utility>

namespace {

using namespace lmd::test;

enum PageIndex : int
{
    kFramePage = 2,
    kEffectPage = 3,
    kGeneralPage = 4,
    kAlarmPage = 5,
    kVersionPage = 6,
};

class SettingsPagesOnClockTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        platform::paths::SetExeDirOverride(folder.path());
        QImage picture(64, 64, QImage::Format_RGB32);
        picture.fill(qRgb(30, 160, 90));
        ASSERT_TRUE(picture.save(folder.filePath("slide.png")));
        picture.fill(qRgb(200, 60, 30));
        ASSERT_TRUE(picture.save(folder.filePath("frame.png")));
        QFile ini(Ini());
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        // The slideshow runs in the back layer.
        ini.write("[GENERAL]\nSplash=0\nStartX=210\nStartY=170\nTopMost=1\nZoom=100\nAlpha=255\n"
                  "[FRAME]\nFrame=1\nFrameType=1\n[MOJIBAN]\nUseShaderMojiban=0\n"
                  "[EFFECT]\nEffectPtn0=17\nPlayInterval=10\nImageFolderPath=" +
                  folder.path().toUtf8() + "\n");
        ini.close();
        mainWindow = theApp.InitInstance();
        ASSERT_TRUE(mainWindow);
        clock = mainWindow.get();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(clock));
    }

    void TearDown() override
    {
        // Ends the run as main does: ExitInstance, then the main window goes.
        if (theApp.m_pMainWnd)
            theApp.ExitInstance();
        mainWindow.reset();
        platform::paths::SetExeDirOverride(QString());
    }

    QString Ini() const { return QDir(folder.path()).filePath("LMD.ini"); }

    // Runs the settings command; `steps` run inside the open dialog and end it.
    void RunSettings(const std::function<void(CSettingsDialog&)>& steps)
    {
        EXPECT_TRUE(RunSettingsDialog([this] { clock->OnCommand(ID_SETTINGS); }, steps));
    }

    template <typename Page> static Page& Select(CSettingsDialog& dialog, int index)
    {
        QTreeWidget* tree = dialog.Tree();
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                          tree->visualItemRect(tree->topLevelItem(index)).center());
        EXPECT_EQ(dialog.CurrentPageIndex(), index);
        return dynamic_cast<Page&>(*dialog.PageInfo(index).pWnd);
    }

    static void End(CSettingsDialog& dialog, int button)
    {
        QTest::mouseClick(dialog.Controls().Item(button), Qt::LeftButton);
    }

    static bool AlarmRings()
    {
        for (QWidget* window : QApplication::topLevelWidgets())
            if (dynamic_cast<CAlarmDlg*>(window) && window->isVisible())
                return true;
        return false;
    }

    QTemporaryDir folder;
    platform::ScopedRecordingDesktop desktop; // message boxes of a missing model or shader answer at once
    ScopedRecordingChoosers choosers;
    std::unique_ptr<CLumidial> mainWindow; // owned here, as main owns it
    CLumidial* clock = nullptr;
};

// Frame, filter, slideshow interval, top-most state, opacity, zoom and an
// alarm changed on the pages show on the clock at once; Cancel puts back the
// settings, the clock's state and the file.
TEST_F(SettingsPagesOnClockTest, CancelPutsThePagesChangesBack)
{
    const AppSettings saved = theApp.AppSettings;
    const QByteArray iniBefore = ReadFile(Ini());
    const QImage externalBefore = clock->FrameBitmap(kExternalFrameSlot);
    choosers->fileAnswer = folder.filePath("frame.png");

    RunSettings([&](CSettingsDialog& dialog) {
        auto& frame = Select<CPropPage2>(dialog, kFramePage);
        ChooseEntry(frame.Item<QComboBox>(CPropPage2::IDC_FRAME_TYPE), kExternalFrameSlot);
        Click(frame.GetDlgItem(CPropPage2::IDC_FOLDER));
        EXPECT_TRUE(QTest::qWaitFor([] { return theApp.AppSettings.FrameType == kExternalFrameSlot; }));
        EXPECT_NE(clock->FrameBitmap(kExternalFrameSlot), externalBefore); // rebuilt from the picture
        SaveScreen(dialog.grab().toImage(), "settings_frame_page");

        auto& effect = Select<CPropPage7>(dialog, kEffectPage);
        auto* strength = effect.Item<QSlider>(CPropPage7::IDC_STRENGTH);
        strength->setFocus();
        QTest::keyClick(strength, Qt::Key_End);
        EXPECT_EQ(theApp.AppSettings.FilterAlpha, 255);
        // An empty box and 0 seconds while the slideshow runs: it keeps its interval.
        auto* interval = effect.Item<QLineEdit>(CPropPage7::IDC_INTERVAL);
        interval->setFocus();
        QTest::keyClick(interval, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(interval, Qt::Key_Backspace);
        QTest::keyClick(interval, Qt::Key_0);
        QTest::qWait(100); // the clock paints a few frames meanwhile
        EXPECT_EQ(theApp.AppSettings.PlayInterval, 10);
        SaveScreen(dialog.grab().toImage(), "settings_effect_page");

        auto& general = Select<CPropPage3>(dialog, kGeneralPage);
        Click(general.GetDlgItem(CPropPage3::IDC_CHECK_TOPMOST));
        EXPECT_FALSE(clock->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        auto* alpha = general.Item<QSlider>(CPropPage3::IDC_ALPHA);
        alpha->setFocus();
        QTest::keyClick(alpha, Qt::Key_Home);
        EXPECT_NEAR(clock->windowOpacity(), 15 / 255.0, 0.01);
        QTest::mouseClick(&general.ZoomSlider(), Qt::LeftButton, {}, QPoint(general.ZoomSlider().Pos2Pixel(100), 8));
        QTest::keyClick(&general.ZoomSlider(), Qt::Key_Home);
        EXPECT_TRUE(QTest::qWaitFor([&] { return clock->Zoom() == 50; }));
        SaveScreen(dialog.grab().toImage(), "settings_general_page");

        auto& alarms = Select<CPropPage4>(dialog, kAlarmPage);
        alarms.MessageEdit(0)->setFocus();
        QTest::keyClicks(alarms.MessageEdit(0), "meeting");
        EXPECT_EQ(theApp.AppSettings.Alarms[0].AlarmMsg, "meeting");
        SaveScreen(dialog.grab().toImage(), "settings_alarm_page");
        End(dialog, CSettingsDialog::IDCANCEL);
    });

    EXPECT_EQ(Saved(theApp.AppSettings, folder.filePath("live.ini")), Saved(saved, folder.filePath("saved.ini")));
    EXPECT_EQ(ReadFile(Ini()), iniBefore);
    EXPECT_TRUE(clock->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_DOUBLE_EQ(clock->windowOpacity(), 1.0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return clock->Zoom() == 100 && theApp.AppSettings.FrameType == 1; }));
}

// OK saves what the pages changed; an alarm switched on for the next minute
// on the alarm page rings on the clock.
TEST_F(SettingsPagesOnClockTest, OkSavesAndTheAlarmRings)
{
    const QTime next = QTime::currentTime().addSecs(60);
    RunSettings([&](CSettingsDialog& dialog) {
        auto& general = Select<CPropPage3>(dialog, kGeneralPage);
        Click(general.GetDlgItem(CPropPage3::IDC_CHECK_TOPMOST));

        auto& alarms = Select<CPropPage4>(dialog, kAlarmPage);
        Click(alarms.GetDlgItem(CPropPage4::IDC_SWITCH));
        auto* time = alarms.Item<QTimeEdit>(CPropPage4::IDC_TIME);
        time->setFocus();
        QTest::keyClick(time, Qt::Key_Home); // the hour
        for (int i = 0; i < next.hour(); ++i)
            QTest::keyClick(time, Qt::Key_Up);
        QTest::keyClick(time, Qt::Key_End); // the minute
        for (int i = 0; i < next.minute(); ++i)
            QTest::keyClick(time, Qt::Key_Up);
        alarms.MessageEdit(0)->setFocus();
        QTest::keyClicks(alarms.MessageEdit(0), "call back");
        End(dialog, CSettingsDialog::IDOK);
    });

    AppSettings stored;
    LoadAppSettings(stored, Ini());
    EXPECT_FALSE(stored.TopMost);
    EXPECT_TRUE(stored.Alarms[0].Enable);
    EXPECT_EQ(stored.Alarms[0].Hour, next.hour());
    EXPECT_EQ(stored.Alarms[0].Minute, next.minute());
    EXPECT_EQ(stored.Alarms[0].AlarmMsg, "call back");
    EXPECT_FALSE(AlarmRings());
    EXPECT_TRUE(QTest::qWaitFor([] { return AlarmRings(); }, 75000));
}

// The launcher hands the pages the application's version and dark threshold:
// the version page shows the clock's version; with a threshold of 200 a light
// grey alarm message is written in white.
TEST_F(SettingsPagesOnClockTest, PagesShowTheApplicationsVersionAndThreshold)
{
    theApp.AppSettings.Alarms[0].BackColor = 0xC0C0C0; // largest byte 192
    const int threshold = std::exchange(theApp.m_nDarkThreshold, 200);
    RunSettings([&](CSettingsDialog& dialog) {
        auto& version = Select<CPropPage5>(dialog, kVersionPage);
        EXPECT_TRUE(version.VersionText().contains("◆Version " + theApp.m_strVersion + " \n"))
            << version.VersionText().toStdString();
        auto& alarms = Select<CPropPage4>(dialog, kAlarmPage);
        EXPECT_EQ(alarms.MessageEdit(0)->GetTextColor(), 0xFFFFFFu);
        End(dialog, CSettingsDialog::IDCANCEL);
    });
    theApp.m_nDarkThreshold = threshold;
}

} // namespace
