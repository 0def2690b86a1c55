// Start-up and exit of the application object on the test display, with its
// INI file in a folder of the test's own.
#include "app/lmd_app.h"
#include "app/lumidial.h"
#include "app/splash_wnd.h"
#include "platform/paths.h"
#include "tests/app/lmd_app_fixture.h"

#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
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
        if (theApp.m_pMainWnd)
            theApp.ExitInstance();
        platform::paths::SetExeDirOverride(QString());
    }
    QString File(const QString& name) const { return QDir(folder_.path()).filePath(name); }

    void Start(const QByteArray& ini)
    {
        ASSERT_TRUE(lmd::test::WriteFile(File("LMD.ini"), ini));
        ASSERT_TRUE(theApp.InitInstance());
        ASSERT_TRUE(theApp.m_pMainWnd);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(theApp.m_pMainWnd.get()));
    }

    QTemporaryDir folder_;
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
    theApp.ExitInstance();

    Start("[GENERAL]\nSplash=1\n[MOJIBAN]\nUseShaderMojiban=0\n");
    ASSERT_FALSE(theApp.m_pSplash.isNull());
    EXPECT_TRUE(QTest::qWaitForWindowExposed(theApp.m_pSplash.data()));
    EXPECT_EQ(theApp.m_pSplash->frameGeometry().center(),
              QGuiApplication::primaryScreen()->availableGeometry().center());
    EXPECT_TRUE(theApp.m_pMainWnd->isVisible());
    theApp.ExitInstance(); // a splash still up goes with the program
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
        theApp.ExitInstance();
    }
}

// Exit saves every key into the file start-up chose: LMD_test.ini when it
// exists (LMD.ini is then left exactly as it was), else LMD.ini.
TEST_F(LMDAppTest, ExitSavesEveryKeyIntoTheChosenFile)
{
    Start(lmd::test::QuietIni());
    EXPECT_EQ(theApp.IniPath(), File("LMD.ini"));
    theApp.ExitInstance();
    EXPECT_FALSE(theApp.m_pMainWnd);
    EXPECT_EQ(lmd::test::MissingSettingsKeys(File("LMD.ini")), QStringList());

    const QByteArray normal = "[GENERAL]\r\nZoom=150\r\n; kept as it is\r\n";
    ASSERT_TRUE(lmd::test::WriteFile(File("LMD.ini"), normal));
    ASSERT_TRUE(lmd::test::WriteFile(File("LMD_test.ini"), lmd::test::QuietIni("Zoom=120\n")));
    ASSERT_TRUE(theApp.InitInstance());
    EXPECT_EQ(theApp.IniPath(), File("LMD_test.ini"));
    EXPECT_EQ(theApp.AppSettings.Zoom, 120);
    theApp.ExitInstance();
    EXPECT_EQ(lmd::test::ReadFile(File("LMD.ini")), normal);
    EXPECT_EQ(lmd::test::MissingSettingsKeys(File("LMD_test.ini")), QStringList());
}

// Closing the main window (the exit command's way) ends the event loop, even
// while another window (the splash) is still open.
TEST_F(LMDAppTest, ClosingTheMainWindowEndsTheEventLoop)
{
    Start("[GENERAL]\nSplash=1\n[MOJIBAN]\nUseShaderMojiban=0\n");
    ASSERT_FALSE(theApp.m_pSplash.isNull());
    QTimer::singleShot(0, theApp.m_pMainWnd.get(), &QWidget::close);
    QTimer failSafe;
    bool timedOut = false;
    failSafe.callOnTimeout([&] {
        timedOut = true;
        QCoreApplication::quit();
    });
    failSafe.start(10000);
    QCoreApplication::exec();
    EXPECT_FALSE(timedOut);
    EXPECT_FALSE(theApp.m_pMainWnd->isVisible());
}

} // namespace
