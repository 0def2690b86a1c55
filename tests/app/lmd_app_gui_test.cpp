// Start-up and exit of the application object on the test display, with its
// INI file in a folder of the test's own.
#include "app/lmd_app.h"
#include "app/lumidial.h"
#include "app/splash_wnd.h"
#include "platform/paths.h"
#include "tests/app/lmd_app_fixture.h"

#include <QDialog>
#include <QDir>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPointer>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <future>
#include <gtest/gtest.h>

namespace {

// The executable's folder is a temporary one; each test runs InitInstance
// there and ends with ExitInstance.
class LMDAppTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder_.isValid());
        platform::paths::SetExeDirOverride(folder_.path());
    }
    void TearDown() override
    {
        if (mainWindow_)
            End();
        platform::paths::SetExeDirOverride(QString());
    }
    QString File(const QString& name) const { return QDir(folder_.path()).filePath(name); }

    void Start(const QByteArray& ini)
    {
        ASSERT_TRUE(lmd::test::WriteFile(File("LMD.ini"), ini));
        mainWindow_ = theApp.InitInstance();
        ASSERT_TRUE(mainWindow_);
        ASSERT_EQ(theApp.m_pMainWnd, mainWindow_.get());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(mainWindow_.get()));
    }

    // Ends the run as main does: ExitInstance, then the main window goes.
    void End()
    {
        theApp.ExitInstance();
        mainWindow_.reset();
    }

    QTemporaryDir folder_;
    std::unique_ptr<CLumidial> mainWindow_; // owned here, as main owns it
};

TEST_F(LMDAppTest, VersionText)
{
    EXPECT_EQ(theApp.m_strVersion, "3.50");
    EXPECT_EQ(theApp.m_strClassName, "LMDClass");
    EXPECT_EQ(theApp.m_strTitle, "Lumidial");
    EXPECT_EQ(theApp.m_nDarkThreshold, 150);
}

// Splash=0 starts without a splash; Splash=1 shows it beside the main window.
TEST_F(LMDAppTest, SplashOnlyWhenSplashIsSet)
{
    Start(lmd::test::QuietIni());
    EXPECT_TRUE(theApp.m_pSplash.isNull());
    EXPECT_TRUE(theApp.m_pMainWnd->isVisible());
    End();

    Start("[GENERAL]\nSplash=1\n[MOJIBAN]\nUseShaderMojiban=0\n");
    ASSERT_FALSE(theApp.m_pSplash.isNull());
    EXPECT_TRUE(QTest::qWaitForWindowExposed(theApp.m_pSplash.data()));
    EXPECT_EQ(theApp.m_pSplash->frameGeometry().center(),
              QGuiApplication::primaryScreen()->availableGeometry().center());
    EXPECT_TRUE(theApp.m_pMainWnd->isVisible());
    End(); // a splash still up goes with the program
    EXPECT_TRUE(theApp.m_pSplash.isNull());
}

// The window's alpha is the low 8 bits of Alpha; TopMost keeps it on top.
TEST_F(LMDAppTest, AlphaAndTopMost)
{
    struct Case
    {
        QByteArray lines;
        double opacity;
        bool onTop;
    };
    const Case cases[] = {
        {"Alpha=255\nTopMost=1\n", 1.0, true},
        {"Alpha=128\nTopMost=0\n", 128 / 255.0, false},
        {"Alpha=256\nTopMost=1\n", 0.0, true}, // only the low 8 bits count
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lines.constData());
        Start(lmd::test::QuietIni(c.lines));
        EXPECT_NEAR(theApp.m_pMainWnd->windowOpacity(), c.opacity, 0.01);
        EXPECT_EQ(theApp.m_pMainWnd->windowFlags().testFlag(Qt::WindowStaysOnTopHint), c.onTop);
        End();
    }
}

// Exit saves every key into the file start-up chose: LMD_test.ini when it
// exists (LMD.ini is then left exactly as it was), else LMD.ini.
TEST_F(LMDAppTest, ExitSavesEveryKeyIntoTheChosenFile)
{
    Start(lmd::test::QuietIni());
    EXPECT_EQ(theApp.IniPath(), File("LMD.ini"));
    End();
    EXPECT_FALSE(theApp.m_pMainWnd); // gone with its owner
    EXPECT_EQ(lmd::test::MissingSettingsKeys(File("LMD.ini")), QStringList());

    const QByteArray normal = "[GENERAL]\r\nZoom=150\r\n; kept as it is\r\n";
    ASSERT_TRUE(lmd::test::WriteFile(File("LMD_test.ini"), lmd::test::QuietIni("Zoom=120\n")));
    Start(normal);
    EXPECT_EQ(theApp.IniPath(), File("LMD_test.ini"));
    EXPECT_EQ(theApp.AppSettings.Zoom, 120);
    End();
    EXPECT_EQ(lmd::test::ReadFile(File("LMD.ini")), normal);
    EXPECT_EQ(lmd::test::MissingSettingsKeys(File("LMD_test.ini")), QStringList());
}

// Closing the main window (the exit command's way) ends the event loop, even
// while another window (the splash) is still open.
TEST_F(LMDAppTest, ClosingTheMainWindowEndsTheEventLoop)
{
    Start("[GENERAL]\nSplash=1\n[MOJIBAN]\nUseShaderMojiban=0\n");
    ASSERT_FALSE(theApp.m_pSplash.isNull());
    QTimer::singleShot(0, mainWindow_.get(), &QWidget::close);
    QTimer failSafe;
    bool timedOut = false;
    failSafe.callOnTimeout([&] {
        timedOut = true;
        QCoreApplication::quit();
    });
    failSafe.start(10000);
    QCoreApplication::exec();
    EXPECT_FALSE(timedOut);
    EXPECT_FALSE(mainWindow_->isVisible());
}

// Quit, called from the innermost of nested modal loops (a dialog, and a
// message box above it) with a modeless window of the clock's open, ends every
// loop at once; the run then saves once, and the windows go with their owners.
TEST_F(LMDAppTest, QuitEndsEveryLoopWhateverIsOpenAndTheRunSavesOnce)
{
    Start(lmd::test::QuietIni("Zoom=110\n"));
    const QPointer<QWidget> modeless = new QWidget(mainWindow_.get(), Qt::Window); // the clock owns it
    modeless->show();
    int dialogResult = -1;
    int boxResult = -1;
    bool afterQuit = false;
    QTimer::singleShot(0, mainWindow_.get(), [&] {
        QDialog dialog(mainWindow_.get());
        QTimer::singleShot(0, &dialog, [&] {
            QMessageBox box(QMessageBox::Information, "Lumidial", "inner");
            QTimer::singleShot(0, &box, [] { theApp.Quit(); });
            boxResult = box.exec();
            // A modal loop begun while the program ends returns at once.
            QMessageBox late(QMessageBox::Information, "Lumidial", "late");
            late.exec();
            afterQuit = true;
        });
        dialogResult = dialog.exec();
    });
    QTimer failSafe;
    bool timedOut = false;
    failSafe.callOnTimeout([&] {
        timedOut = true;
        QCoreApplication::exit(1);
    });
    failSafe.start(20000);
    lmd::test::SaveCounter saves(folder_.path(), "LMD.ini");
    EXPECT_EQ(QCoreApplication::exec(), 0);
    EXPECT_FALSE(timedOut);
    EXPECT_TRUE(afterQuit);
    EXPECT_EQ(dialogResult, QDialog::Rejected);
    EXPECT_NE(boxResult, QMessageBox::Ok);
    EXPECT_TRUE(theApp.IsQuitting());
    EXPECT_FALSE(mainWindow_->isVisible());
    for (int id : {TIMER_REPAINT, TIMER_ALARM, TIMER_OVERLAP})
        EXPECT_FALSE(mainWindow_->IsTimerRunning(id)) << id;
    EXPECT_EQ(saves.Take(), 0); // nothing saved until the run ends

    End();
    EXPECT_EQ(saves.Take(), 1);
    EXPECT_TRUE(modeless.isNull());
    EXPECT_FALSE(theApp.IsQuitting()); // the next run starts afresh
    EXPECT_TRUE(lmd::test::ReadFile(File("LMD.ini")).contains("Zoom=110"));
}

// While its event loop turns, the GUI thread publishes the settings with the
// clock's place, so that another thread can make the run's final save when the
// GUI thread is stuck. The final save is made once, by whichever comes first.
TEST_F(LMDAppTest, AnotherThreadSavesWhatTheGuiThreadLastPublishedAndTheRunSavesOnce)
{
    const auto saveFromAnotherThread = [] {
        return std::async(std::launch::async, [] { return theApp.SavePublishedSettings(); }).get();
    };
    lmd::test::SaveCounter saves(folder_.path(), "LMD.ini");
    Start(lmd::test::QuietIni("Zoom=110\n"));
    theApp.AppSettings.Zoom = 120; // as a settings page writes it
    mainWindow_->move(321, 222);
    QEventLoop loop; // turns once, waiting for its timer
    QTimer::singleShot(0, &loop, &QEventLoop::quit);
    loop.exec();
    ASSERT_EQ(mainWindow_->pos(), QPoint(321, 222));
    saves.Take();
    EXPECT_EQ(saveFromAnotherThread(), CLMDApp::PublishedSave::Saved);
    EXPECT_EQ(saves.Take(), 1);
    const QByteArray saved = lmd::test::ReadFile(File("LMD.ini"));
    for (const char* line : {"Zoom=120", "StartX=321", "StartY=222"})
        EXPECT_TRUE(saved.contains(line)) << line;
    EXPECT_EQ(lmd::test::MissingSettingsKeys(File("LMD.ini")), QStringList());
    EXPECT_EQ(saveFromAnotherThread(), CLMDApp::PublishedSave::FinalSaveBegun);
    End();
    EXPECT_EQ(saves.Take(), 0);

    // The other way round: the run's end saves, the other thread then does not.
    Start(lmd::test::QuietIni("Zoom=110\n"));
    End();
    EXPECT_EQ(saves.Take(), 1);
    EXPECT_EQ(saveFromAnotherThread(), CLMDApp::PublishedSave::FinalSaveBegun);
    EXPECT_EQ(saves.Take(), 0);
}

} // namespace
