// The real lumidial program, run from a folder of its own: however it is ended
// (a signal, the exit command, the display going away) and whatever is open at
// the time, it ends at once with every setting saved, once.
#include "app/alarm_dlg.h"
#include "platform/dialog.h"
#include "tests/app/lmd_app_fixture.h"
#include "tests/support/framing_window_manager.h"
#include "tests/support/hostile_files.h"
#include "tests/support/screens.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTime>
#include <csignal>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <xcb/xcb.h>

namespace {

// How long an ended program may take to be gone. Ending takes a fraction of a
// second (the figure each test prints); a program that hangs never ends, so a
// bound this far off tells the two apart on a busy machine too.
constexpr int kEndBoundMs = 10000;

// Runs a tool and returns its standard output ("" when it failed).
QString Tool(const QString& program, const QStringList& arguments, const QProcessEnvironment& environment)
{
    QProcess tool;
    tool.setProcessEnvironment(environment);
    tool.start(program, arguments);
    if (!tool.waitForFinished(20000) || tool.exitStatus() != QProcess::NormalExit || tool.exitCode() != 0)
        return {};
    return QString::fromLocal8Bit(tool.readAllStandardOutput());
}

// A copy of the program in a temporary folder, so its INI files live there,
// with its data folders beside it (each file a link to the built one, so a
// test can put something else in a file's place).
class LumidialProgramTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder_.isValid());
        const QDir built(QCoreApplication::applicationDirPath());
        ASSERT_TRUE(QFile::exists(built.filePath("lumidial"))) << "build the lumidial target first";
        ASSERT_TRUE(QFile::copy(built.filePath("lumidial"), File("lumidial")));
        for (const QString data : {"shaders", "_misc", "assets"}) {
            ASSERT_TRUE(QDir(folder_.path()).mkdir(data));
            const QDir source(built.filePath(data));
            for (const QString& name : source.entryList(QDir::Files))
                ASSERT_TRUE(QFile::link(source.filePath(name), File(data + '/' + name)));
        }
        environment_ = QProcessEnvironment::systemEnvironment();
    }
    void TearDown() override { Kill(); }

    // Ends a program that a failed case left running.
    void Kill()
    {
        if (program_.state() != QProcess::NotRunning) {
            program_.kill();
            program_.waitForFinished(5000);
        }
    }

    // The settings keys the saved file lacks, for messages.
    std::string MissingKeys(const char* name = "LMD.ini") const
    {
        return lmd::test::MissingSettingsKeys(File(name)).join(' ').toStdString();
    }
    QString File(const QString& name) const { return QDir(folder_.path()).filePath(name); }

    // Starts an X server of the test's own, which the test can take away or freeze,
    // and has the program use it; returns its display name ("" when it did not start).
    QString UseOwnDisplay(QProcess& server)
    {
        server.start("Xvfb", {"-displayfd", "1", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"});
        if (!server.waitForStarted(10000) ||
            !QTest::qWaitFor([&] { return server.canReadLine() || server.state() != QProcess::Running; },
                             20000) ||
            !server.canReadLine())
            return {};
        const QString display = ':' + QString::fromLatin1(server.readLine()).trimmed();
        environment_.insert("DISPLAY", display);
        return display;
    }

    // A FIFO in place of a file of the folder.
    void MakeFifo(const QString& name)
    {
        QFile::remove(File(name));
        ASSERT_EQ(::mkfifo(QFile::encodeName(File(name)).constData(), 0600), 0) << name.toStdString();
    }

    QString Xdotool(const QStringList& arguments) const { return Tool("xdotool", arguments, environment_); }

    // The program's visible windows, or those whose name matches the pattern.
    QStringList Windows(const QString& name = {}) const
    {
        QStringList arguments = {"search", "--all", "--onlyvisible", "--pid",
                                 QString::number(program_.processId())};
        if (!name.isEmpty())
            arguments += {"--name", name};
        return Xdotool(arguments).split('\n', Qt::SkipEmptyParts);
    }

    // Clicks a button at a point of the screen, for real. (The server takes the
    // move before the click, so the click lands there without waiting for the
    // move to be reported; a move to where the pointer rests is never reported.)
    void Click(QPoint point, int button) const
    {
        Xdotool({"mousemove", QString::number(point.x()), QString::number(point.y()), "click",
                 QString::number(button)});
    }

    // A window's rectangle on the screen.
    QRect Geometry(const QString& window) const
    {
        QRect rect;
        for (const QString& line : Xdotool({"getwindowgeometry", "--shell", window}).split('\n')) {
            const QStringList pair = line.split('=');
            if (pair.size() != 2)
                continue;
            const int value = pair[1].toInt();
            if (pair[0] == "X")
                rect.moveLeft(value);
            else if (pair[0] == "Y")
                rect.moveTop(value);
            else if (pair[0] == "WIDTH")
                rect.setWidth(value);
            else if (pair[0] == "HEIGHT")
                rect.setHeight(value);
        }
        return rect;
    }

    // The clock window, once it is shown ("" when it did not appear): of the
    // program's windows of the clock's class, the largest (the tray icon's
    // window may carry the class as well).
    QString WaitForClock()
    {
        QString clock;
        [[maybe_unused]] const bool settled = QTest::qWaitFor(
            [&] {
                if (program_.state() != QProcess::Running)
                    return true;
                int largest = 0;
                for (const QString& window :
                     Xdotool({"search", "--all", "--onlyvisible", "--pid",
                              QString::number(program_.processId()), "--class", "LMDClass"})
                         .split('\n', Qt::SkipEmptyParts)) {
                    const QSize size = Geometry(window).size();
                    if (size.width() > 32 && size.width() * size.height() > largest) {
                        largest = size.width() * size.height();
                        clock = window;
                    }
                }
                return !clock.isEmpty();
            },
            60000);
        return clock;
    }

    // The tray icon's window ("" when there is none).
    QString TrayIcon() const
    {
        for (const QString& window : Windows()) {
            const QSize size = Geometry(window).size();
            if (size.width() > 0 && size.width() <= 32 && size.height() <= 32)
                return window;
        }
        return {};
    }

    // Starts the program with the INI text and waits for its clock window.
    QString Start(const QByteArray& ini)
    {
        Kill();
        EXPECT_TRUE(lmd::test::WriteFile(File("LMD.ini"), ini));
        return Launch();
    }

    // Starts the program with the folder as it stands and waits for its clock window.
    QString Launch()
    {
        Kill();
        program_.setProcessEnvironment(environment_);
        program_.setWorkingDirectory(folder_.path());
        program_.setProcessChannelMode(QProcess::MergedChannels);
        program_.start(File("lumidial"), {});
        if (!program_.waitForStarted(10000))
            return {};
        const QString clock = WaitForClock();
        EXPECT_FALSE(clock.isEmpty()) << "the clock window did not appear";
        return clock;
    }

    // Waits for the program to end and returns its exit code (-1 when it
    // crashed or did not end); prints how long the end took. LeakSanitizer's
    // own pass at the exit now and then crashes while it reads another
    // thread's memory (see tests/support/run_test): that says nothing about
    // the program, which had ended well, so it counts as the program's 0.
    int WaitForEnd(const char* what, int boundMs = kEndBoundMs)
    {
        QElapsedTimer ending;
        ending.start();
        const bool ended = program_.waitForFinished(boundMs);
        output_ = QString::fromLocal8Bit(program_.readAll());
        std::printf("[ program ] %s: ended after %lld ms\n", what, static_cast<long long>(ending.elapsed()));
        if (!ended || program_.exitStatus() != QProcess::NormalExit)
            return -1;
        if (program_.exitCode() != 0 && output_.contains("LeakSanitizer has encountered a fatal error") &&
            !output_.contains("LeakSanitizer: detected memory leaks")) {
            std::printf("[ program ] LeakSanitizer's own pass crashed at the exit\n");
            return 0;
        }
        return program_.exitCode();
    }

    int EndWithSignal(int signal, int boundMs = kEndBoundMs)
    {
        ::kill(static_cast<pid_t>(program_.processId()), signal);
        return WaitForEnd(strsignal(signal), boundMs);
    }

    QTemporaryDir folder_;
    QProcess program_;
    QProcessEnvironment environment_;
    QString output_; // what the program wrote, once it has ended
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
        {SIGHUP, "SIGHUP", lmd::test::QuietIni("Zoom=110\n")},
        {SIGQUIT, "SIGQUIT", lmd::test::QuietIni("Zoom=110\n")},
        // Ended while the splash is still up: it goes too, nothing is left behind.
        {SIGTERM, "SIGTERM during the splash",
         "[GENERAL]\nSplash=1\nZoom=110\n[MOJIBAN]\nUseShaderMojiban=0\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_FALSE(Start(c.ini).isEmpty());
        EXPECT_EQ(EndWithSignal(c.signal), 0);
        EXPECT_EQ(MissingKeys(), "");
        EXPECT_TRUE(lmd::test::ReadFile(File("LMD.ini")).contains("Zoom=110"));
    }
}

TEST_F(LumidialProgramTest, TestIniIsUsedAndLmdIniLeftAlone)
{
    const QByteArray normal = "[GENERAL]\nSplash=1\nZoom=150\n";
    ASSERT_TRUE(lmd::test::WriteFile(File("LMD_test.ini"), lmd::test::QuietIni()));
    ASSERT_FALSE(Start(normal).isEmpty());
    EXPECT_EQ(EndWithSignal(SIGTERM), 0);
    EXPECT_EQ(lmd::test::ReadFile(File("LMD.ini")), normal);
    EXPECT_EQ(MissingKeys("LMD_test.ini"), "");
}

// Alarms 1 and 2 ring now and in the next minute, so one of them rings within
// a few seconds of the start whenever the test runs.
QByteArray RingingAlarmsSection()
{
    const QTime now = QTime::currentTime();
    const QTime next = now.addSecs(60);
    return "[ALARM]\n" + QStringLiteral("Enable1=1\nNotifyTiming1=0\nHourMin1=%1\nAlarmMsg1=first\n"
                                        "Enable2=1\nNotifyTiming2=0\nHourMin2=%2\nAlarmMsg2=second\n")
                             .arg(now.toString("HH:mm"), next.toString("HH:mm"))
                             .toUtf8();
}

QByteArray RingingAlarmsIni(const QByteArray& generalLines = {})
{
    return lmd::test::QuietIni(generalLines) + RingingAlarmsSection();
}

// The alarm popup's window name: "Lumidialアラーム No.1" or "No.2".
const QString kPopupName = QStringLiteral("No\\.[12]$");

TEST_F(LumidialProgramTest, EveryEndEndsTheProgramAtOnceFromAnyState)
{
    // What is open when the program is ended.
    const auto popupOpen = [this](const QString&) {
        return QTest::qWaitFor([&] { return !Windows(kPopupName).isEmpty(); }, 90000);
    };
    const auto alarmSnoozed = [&](const QString& clock) {
        if (!popupOpen(clock))
            return false;
        // A real click on the popup's snooze button ("再通知"): the popup goes and
        // its snooze timer runs (five minutes, the first choice). Near a minute's
        // turn both alarms may be up, one over the other: the click closes the
        // one on top, so the count of popups is what must drop.
        const QStringList popups = Windows(kPopupName);
        const QString popup = popups.value(0);
        const QRect window = Geometry(popup);
        const int frame = platform::GetSystemMetrics(platform::SM_CXFIXEDFRAME);
        const QPoint client =
            window.topLeft() + QPoint(frame, frame + platform::GetSystemMetrics(platform::SM_CYCAPTION));
        QRect button;
        for (const platform::ControlTemplate& control : AlarmDialogTemplate().controls)
            if (control.id == IDC_ALARM_SNOOZE)
                button = platform::MapDialogRect(control.rect).translated(client);
        // The popup opens at the clock's top-left corner, over the clock kept on
        // top, and stays above it: the middle of the button takes the click.
        Click(button.center(), 1);
        return QTest::qWaitFor([&] { return Windows(kPopupName).size() < popups.size(); }, 20000);
    };
    // A menu opened by a real click: a new window of the program.
    const auto menuBy = [this](const std::function<void()>& click) {
        const qsizetype before = Windows().size();
        click();
        return QTest::qWaitFor([&] { return Windows().size() > before; }, 20000);
    };
    const auto clockMenu = [&](const QString& clock) {
        return menuBy([&] { Click(Geometry(clock).center(), 3); });
    };
    // The tray icon's menu (an alarm popup covers the clock's own).
    const auto trayMenu = [&](const QString&) {
        const QString icon = TrayIcon();
        return !icon.isEmpty() && menuBy([&] { Click(Geometry(icon).center(), 1); });
    };
    const auto hintUp = [&](const QString& clock) {
        if (!clockMenu(clock))
            return false;
        // "ステルスMode", the sixth item reached from the top.
        Xdotool({"key", "Down", "Down", "Down", "Down", "Down", "Down", "Return"});
        return QTest::qWaitFor([&] { return !Windows("^HINT$").isEmpty(); }, 20000);
    };
    // How the program is ended: a signal, or the exit command chosen from a
    // menu by its key ("終了(&X)").
    const auto exitCommandFrom = [this](const std::function<bool(const QString&)>& menu) {
        return [this, menu](const QString& clock) {
            if (!menu(clock))
                return -1;
            Xdotool({"key", "x"});
            return WaitForEnd("the exit command");
        };
    };
    const auto bySignal = [this](int number) {
        return [this, number](const QString&) { return EndWithSignal(number); };
    };
    const auto nothing = [](const QString&) { return true; };

    struct Case
    {
        const char* name;
        bool alarms; // alarms ring now
        std::function<bool(const QString& clock)> open;
        std::function<int(const QString& clock)> end;
    };
    const Case cases[] = {
        {"alarm popup open, SIGTERM", true, popupOpen, bySignal(SIGTERM)},
        {"alarm popup open, SIGINT", true, popupOpen, bySignal(SIGINT)},
        {"alarm popup open, SIGHUP", true, popupOpen, bySignal(SIGHUP)},
        {"alarm popup open, SIGQUIT", true, popupOpen, bySignal(SIGQUIT)},
        {"alarm popup open, exit command", true, popupOpen, exitCommandFrom(trayMenu)},
        {"alarm snoozed, SIGTERM", true, alarmSnoozed, bySignal(SIGTERM)},
        {"alarm snoozed, exit command", true, alarmSnoozed, exitCommandFrom(clockMenu)},
        {"exit command from the clock's menu", false, nothing, exitCommandFrom(clockMenu)},
        {"menu open, SIGTERM", false, clockMenu, bySignal(SIGTERM)},
        {"tray menu open, SIGINT", false, trayMenu, bySignal(SIGINT)},
        {"stealth hint up, SIGTERM", false, hintUp, bySignal(SIGTERM)},
    };
    lmd::test::SaveCounter saves(folder_.path(), "LMD.ini");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QByteArray ini = c.alarms ? RingingAlarmsIni("Zoom=110\n") : lmd::test::QuietIni("Zoom=110\n");
        const QString clock = Start(ini);
        ASSERT_FALSE(clock.isEmpty());
        saves.Take();
        ASSERT_TRUE(c.open(clock)) << "could not bring the program into the state";
        EXPECT_EQ(c.end(clock), 0) << output_.toStdString();
        EXPECT_EQ(saves.Take(), 1);
        EXPECT_EQ(MissingKeys(), "");
        EXPECT_TRUE(lmd::test::ReadFile(File("LMD.ini")).contains("Zoom=110"));
        // Ended while the hint was up, stealth mode stays off.
        EXPECT_TRUE(lmd::test::ReadFile(File("LMD.ini")).contains("Stealth=0"));
    }
}

// Started at a saved place with the default settings (the dial shader on),
// start after start, the clock turns its points into screen points from where
// it really stands from the first click on: its menu opens at the cursor, an
// alarm popup at the clock's top-left corner, and the end saves the place the
// clock stood at. So under openbox, where it depends on how the program's
// steps and the window manager's meet whether the program handles an event
// while the clock's frame is half built, and under a window manager that
// frames windows as openbox does but takes its time about it and tells the
// window of its stacking meanwhile, so that the program always does.
TEST_F(LumidialProgramTest, WhatTheClockOpensGoesWhereItReallyStandsFromTheStart)
{
    const QRect face(600, 300, 260, 260); // zoom 200
    const QByteArray ini = "[GENERAL]\nStartX=600\nStartY=300\nZoom=200\n[MOJIBAN]\nUseShaderMojiban=1\n" +
                           RingingAlarmsSection();
    for (const bool slowFraming : {false, true}) {
        SCOPED_TRACE(slowFraming ? "slow framing" : "openbox");
        QProcess server;
        std::unique_ptr<lmd::test::FramingWindowManager> manager;
        if (slowFraming) {
            const QString display = UseOwnDisplay(server);
            ASSERT_FALSE(display.isEmpty());
            manager = std::make_unique<lmd::test::FramingWindowManager>(display, 500);
            ASSERT_TRUE(manager->IsRunning());
        }
        for (int start = 0; start < 5; ++start) {
            SCOPED_TRACE(testing::Message() << "start " << start);
            const QString clock = Start(ini);
            ASSERT_FALSE(clock.isEmpty());
            ASSERT_EQ(Geometry(clock), face);

            // The first click, on the face below where the alarm popup will
            // cover it; a new point each time (xdotool waits long for a move
            // to where the pointer is already). The menu is the new window
            // that is no alarm popup.
            const QPoint cursor = face.topLeft() + QPoint(100 + 15 * start, 220);
            const QStringList before = Windows();
            Click(cursor, 3);
            QString menu;
            ASSERT_TRUE(QTest::qWaitFor(
                [&] {
                    const QStringList popups = Windows(kPopupName);
                    for (const QString& window : Windows())
                        if (!before.contains(window) && !popups.contains(window))
                            menu = window;
                    return !menu.isEmpty();
                },
                20000));
            EXPECT_EQ(Geometry(menu).topLeft(), cursor);
            Xdotool({"key", "Escape"});

            ASSERT_TRUE(QTest::qWaitFor([&] { return !Windows(kPopupName).isEmpty(); }, 90000));
            EXPECT_EQ(Geometry(Windows(kPopupName).value(0)).topLeft(), face.topLeft());

            EXPECT_EQ(EndWithSignal(SIGTERM), 0) << output_.toStdString();
            EXPECT_EQ(MissingKeys(), "");
            const QByteArray saved = lmd::test::ReadFile(File("LMD.ini"));
            EXPECT_TRUE(saved.contains("StartX=600\n") && saved.contains("StartY=300\n"))
                << saved.toStdString();
        }
    }
}

TEST_F(LumidialProgramTest, FifoInPlaceOfAFileNeitherHangsNorStopsTheClock)
{
    // The clock's picture on the screen changes (the second hand moves). An
    // error box, whenever it comes, stands above the clock that owns it: it is
    // moved aside, and the watch starts again.
    const auto draws = [this](const QString& clock) {
        const QRect area = Geometry(clock);
        const auto covering = [&] {
            QStringList found;
            for (const QString& window : Windows())
                if (window != clock && Geometry(window).intersects(area))
                    found += window;
            return found;
        };
        QImage first;
        return QTest::qWaitFor(
            [&] {
                const QStringList before = covering();
                for (const QString& window : before)
                    Xdotool({"windowmove", window, "900", "700"});
                const QImage now = lmd::test::GrabScreen().copy(area);
                const bool covered = !before.isEmpty() || !covering().isEmpty();
                if (covered || first.isNull()) {
                    first = covered ? QImage() : now;
                    return false;
                }
                return now != first;
            },
            30000);
    };
    struct Case
    {
        const char* name;
        const char* fifo;
        QByteArray lines; // [GENERAL] lines, then other sections
    };
    const Case cases[] = {
        {"ExtFramePath", "frame.png", "[FRAME]\nFrameType=17\nExtFramePath=frame.png\n"},
        {"ExtTexture", "assets/texture.png", "[FRAME]\nFrameType=16\nExtTexture=texture.png\n"},
        {"ExtShader", "shaders/mine.frag", "[EFFECT]\nEffectPtn0=29\nExtShader=mine\n"},
        {"lens.obj", "assets/lens.obj", "[EFFECT]\nEffectPtn0=18\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MakeFifo(c.fifo);
        const QString clock = Start(lmd::test::QuietIni() + c.lines);
        ASSERT_FALSE(clock.isEmpty());
        EXPECT_TRUE(draws(clock));
        lmd::test::SaveScreen(lmd::test::GrabScreen().copy(Geometry(clock).adjusted(-10, -10, 10, 10)),
                              QStringLiteral("program_fifo_%1").arg(c.name));
        EXPECT_EQ(EndWithSignal(SIGTERM), 0) << output_.toStdString();
        EXPECT_EQ(MissingKeys(), "");
        QFile::remove(File(c.fifo));
    }
}

TEST_F(LumidialProgramTest, ASettingsFileThatIsNoFileGivesTheDefaultsAndIsLeftAsItIs)
{
    const QString ini = File("LMD.ini");
    for (const lmd::test::HostileCase& c : lmd::test::kHostileFiles) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(lmd::test::PlaceHostileFile(ini, c.kind, platform::FileKind::Settings,
                                                lmd::test::QuietIni("Zoom=110\n")));
        struct stat before
        {
        };
        ASSERT_EQ(::lstat(QFile::encodeName(ini).constData(), &before), 0);
        const QString clock = Launch();
        ASSERT_FALSE(clock.isEmpty());
        EXPECT_EQ(Geometry(clock).width(), 130) << "the default zoom";
        EXPECT_EQ(EndWithSignal(SIGTERM), 0) << output_.toStdString();
        EXPECT_TRUE(output_.contains("LMD.ini is not read")) << output_.toStdString();
        EXPECT_TRUE(output_.contains("could not be saved")) << output_.toStdString();
        struct stat after
        {
        };
        ASSERT_EQ(::lstat(QFile::encodeName(ini).constData(), &after), 0);
        EXPECT_EQ(after.st_ino, before.st_ino);
        EXPECT_EQ(after.st_mode, before.st_mode);
        EXPECT_EQ(after.st_size, before.st_size);
    }
    lmd::test::ClearPath(ini);
}

TEST_F(LumidialProgramTest, FileSizeLimitGivesTheWarningAndKeepsTheOldFile)
{
    // A limit far below the saved file: the save fails (EFBIG), it does not
    // end the process (SIGXFSZ).
    program_.setChildProcessModifier([] {
        struct rlimit limit
        {
            512, 512
        };
        ::setrlimit(RLIMIT_FSIZE, &limit);
    });
    const QByteArray old = lmd::test::QuietIni("Zoom=110\n");
    ASSERT_FALSE(Start(old).isEmpty());
    EXPECT_EQ(EndWithSignal(SIGTERM), 0);
    EXPECT_TRUE(output_.contains("could not be saved")) << output_.toStdString();
    EXPECT_EQ(lmd::test::ReadFile(File("LMD.ini")), old);
    EXPECT_EQ(QDir(folder_.path()).entryList({".LMD.ini.*"}, QDir::Files | QDir::Hidden), QStringList());
}

TEST_F(LumidialProgramTest, LosingTheDisplaySavesTheSettingsAndEndsCleanly)
{
    QProcess server;
    ASSERT_FALSE(UseOwnDisplay(server).isEmpty());

    struct Case
    {
        const char* name;
        QByteArray ini;
    };
    // With the dial shader, the effects and the frame shader, GL contexts are
    // alive when the display goes.
    const Case c{"GL contexts alive", "[GENERAL]\nSplash=0\nZoom=110\n[FRAME]\nFrameType=16\n[MOJIBAN]"
                                      "\nUseShaderMojiban=1\n[EFFECT]\nEffectPtn0=4\n"};
    SCOPED_TRACE(c.name);
    ASSERT_FALSE(Start(c.ini).isEmpty());
    server.terminate();
    ASSERT_TRUE(server.waitForFinished(10000));

    const int code = WaitForEnd("losing the display");
    EXPECT_TRUE(code == 0 || code == 1) << code << "\n" << output_.toStdString();
    EXPECT_TRUE(output_.contains("the connection to the display was lost")) << output_.toStdString();
    EXPECT_FALSE(output_.contains("Sanitizer")) << output_.toStdString();
    EXPECT_EQ(MissingKeys(), "");
    EXPECT_TRUE(lmd::test::ReadFile(File("LMD.ini")).contains("Zoom=110"));
}

// A signal ends the program with its settings saved even when its GUI thread
// never turns again: here every X request that waits for a reply hangs, as the
// test holds its own X server grabbed.
TEST_F(LumidialProgramTest, ASignalEndsTheProgramWhoseDisplayIsFrozen)
{
    QProcess server;
    ASSERT_FALSE(UseOwnDisplay(server).isEmpty());
    ASSERT_FALSE(Start(lmd::test::QuietIni("Zoom=110\n")).isEmpty());
    lmd::test::SaveCounter saves(folder_.path(), "LMD.ini");

    xcb_connection_t* const grabber =
        xcb_connect(qPrintable(environment_.value("DISPLAY")), nullptr);
    ASSERT_EQ(xcb_connection_has_error(grabber), 0);
    xcb_grab_server(grabber);
    free(xcb_get_input_focus_reply(grabber, xcb_get_input_focus(grabber), nullptr)); // the grab holds
    // A program stuck on its way out is given ten seconds from the signal.
    const int code = EndWithSignal(SIGTERM, 3 * kEndBoundMs);
    xcb_disconnect(grabber); // the grab ends with the connection

    EXPECT_NE(code, -1) << "still running, or crashed\n" << output_.toStdString();
    EXPECT_EQ(saves.Take(), 1);
    EXPECT_EQ(MissingKeys(), "");
    EXPECT_TRUE(lmd::test::ReadFile(File("LMD.ini")).contains("Zoom=110"));
}

} // namespace
