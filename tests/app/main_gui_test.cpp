// The real lumidial program, run from a folder of its own: SIGTERM and SIGINT
// end it the way its exit command does, with every setting saved.
#include "tests/app/lmd_app_fixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <gtest/gtest.h>

namespace {

// A copy of the program in a temporary folder, so its INI files live there.
class LumidialProgramTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder_.isValid());
        const QString built = QDir(QCoreApplication::applicationDirPath()).filePath("lumidial");
        ASSERT_TRUE(QFile::exists(built)) << "build the lumidial target first";
        ASSERT_TRUE(QFile::copy(built, File("lumidial")));
    }
    void TearDown() override
    {
        if (program_.state() != QProcess::NotRunning) {
            program_.kill();
            program_.waitForFinished(5000);
        }
    }
    QString File(const QString& name) const { return QDir(folder_.path()).filePath(name); }

    // True once the program's clock window is mapped on the display.
    bool WindowShown()
    {
        QProcess search;
        search.start("xdotool", {"search", "--all", "--onlyvisible", "--pid",
                                 QString::number(program_.processId()), "--class", "LMDClass"});
        return search.waitForFinished(5000) && search.exitCode() == 0 &&
               !search.readAllStandardOutput().isEmpty();
    }

    // Starts the program, waits for its window, sends the signal and returns the
    // exit code (-1 when it did not end normally).
    int RunUntilSignal(int signal)
    {
        program_.setWorkingDirectory(folder_.path());
        program_.setProcessChannelMode(QProcess::ForwardedChannels);
        program_.start(File("lumidial"), {});
        if (!program_.waitForStarted(10000))
            return -1;
        const bool shown =
            QTest::qWaitFor([&] { return program_.state() == QProcess::Running && WindowShown(); }, 30000);
        EXPECT_TRUE(shown) << "the clock window did not appear";
        ::kill(static_cast<pid_t>(program_.processId()), signal);
        if (!program_.waitForFinished(30000) || program_.exitStatus() != QProcess::NormalExit)
            return -1;
        return program_.exitCode();
    }

    QTemporaryDir folder_;
    QProcess program_;
};

TEST_F(LumidialProgramTest, SignalEndsLikeTheExitCommand)
{
    struct Case
    {
        int signal;
        const char* name;
        QByteArray ini;
    };
    const Case cases[] = {
        {SIGTERM, "SIGTERM", lmd::test::QuietIni("Zoom=110\n")},
        {SIGINT, "SIGINT", lmd::test::QuietIni("Zoom=110\n")},
        // Ended while the splash is still up: it goes too, nothing is left behind.
        {SIGTERM, "SIGTERM during the splash",
         "[GENERAL]\nSplash=1\nZoom=110\n[MOJIBAN]\nUseShaderMojiban=0\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(lmd::test::WriteFile(File("LMD.ini"), c.ini));
        EXPECT_EQ(RunUntilSignal(c.signal), 0);
        EXPECT_EQ(lmd::test::MissingSettingsKeys(File("LMD.ini")), QStringList());
        EXPECT_TRUE(lmd::test::ReadFile(File("LMD.ini")).contains("Zoom=110"));
    }
}

TEST_F(LumidialProgramTest, TestIniIsUsedAndLmdIniLeftAlone)
{
    const QByteArray normal = "[GENERAL]\nSplash=1\nZoom=150\n";
    ASSERT_TRUE(lmd::test::WriteFile(File("LMD.ini"), normal));
    ASSERT_TRUE(lmd::test::WriteFile(File("LMD_test.ini"), lmd::test::QuietIni()));
    EXPECT_EQ(RunUntilSignal(SIGTERM), 0);
    EXPECT_EQ(lmd::test::ReadFile(File("LMD.ini")), normal);
    EXPECT_EQ(lmd::test::MissingSettingsKeys(File("LMD_test.ini")), QStringList());
}

} // namespace
