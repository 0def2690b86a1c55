// The settings command on the running clock: the dialog opens from the clock's
// menu, the clock shows every change while it is open, Cancel puts the
// settings and the picture back and leaves the INI file alone, OK rewrites it,
// and the next opening starts on the page that was current.
#include "settings/prefs_static.h"
#include "settings/settings_dialog.h"
#include "tests/app/clock_screen_fixture.h"
#include "tests/app/lmd_app_fixture.h"
#include "tests/settings/settings_fixture.h"
#include "tests/support/screens.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QTreeWidget>
#include <QWindow>
#include <csignal>
#include <functional>

// Last: it brings Xlib, whose macros clash with Qt names.
#include "tests/app/clock_window_fixture.h"
#include "tests/support/shown_windows.h"

namespace {

using namespace lmd::test;

class SettingsLaunchTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        platform::paths::SetExeDirOverride(folder.path());
        backdrop = std::make_unique<SolidBackdrop>(QRect(0, 0, 1000, 800));
        backdrop->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(backdrop.get()));
        ASSERT_TRUE(QTest::qWaitFor(
            [] { return Colour(platform::CaptureScreen(QRect(600, 500, 4, 4)).Image(), 1, 1) == kDesktop; }));
        ASSERT_TRUE(WriteFile(Ini(), "[GENERAL]\nSplash=0\nStartX=210\nStartY=170\nTopMost=1\nZoom=100\n"
                                     "[FRAME]\nFrame=1\nFrameType=1\n"
                                     "[MOJIBAN]\nUseShaderMojiban=0\nClockHands=1\nDigitalWatch=1\n"
                                     "DotColorGroup=1\nHandsColorKind=0\n[EFFECT]\nImageFolderPath=" +
                                         folder.path().toUtf8() + "\n"));
        mainWindow = theApp.InitInstance();
        ASSERT_TRUE(mainWindow);
        clock = mainWindow.get();
        clock->SetTimeSource([] { return LocalDateTime{2024, 5, 17, 10, 9, 36, 0}; });
        ASSERT_TRUE(QTest::qWaitForWindowExposed(clock));
    }

    void TearDown() override
    {
        // Ends the run as main does: ExitInstance, then the main window goes.
        if (theApp.m_pMainWnd)
            theApp.ExitInstance();
        mainWindow.reset();
        backdrop.reset();
        platform::paths::SetExeDirOverride(QString());
    }

    QString Ini() const { return QDir(folder.path()).filePath("LMD.ini"); }
    QImage Screen() const { return platform::CaptureScreen(clock->geometry()).Image(); }

    // The clock's picture once it has stopped changing.
    QImage SteadyScreen() const
    {
        QImage last;
        EXPECT_TRUE(QTest::qWaitFor([&] {
            const QImage now = Screen();
            const bool same = now == last;
            last = now;
            return same;
        }));
        return last;
    }

    // Runs the settings command from the clock's menu; `steps` run inside the
    // open dialog and end it. Returns when the dialog has ended.
    void RunSettings(const std::function<void(CSettingsDialog&)>& steps)
    {
        EXPECT_TRUE(RunSettingsDialog(
            [this] {
                QTest::mouseClick(clock, Qt::RightButton, {},
                                  QPoint(clock->width() / 2, clock->height() / 2));
                QMenu* menu = OpenMenu();
                ASSERT_NE(menu, nullptr);
                lmd::test::Click(*menu, ID_SETTINGS);
            },
            steps));
    }

    static void Select(CSettingsDialog& dialog, int page)
    {
        QTreeWidget* tree = dialog.Tree();
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                          tree->visualItemRect(tree->topLevelItem(page)).center());
        ASSERT_EQ(dialog.CurrentPageIndex(), page);
    }

    template <typename T> static T* Item(CSettingsDialog& dialog, int page, int id)
    {
        return dialog.PageInfo(page).pWnd->Item<T>(id);
    }

    QTemporaryDir folder;
    std::unique_ptr<SolidBackdrop> backdrop;
    std::unique_ptr<CLumidial> mainWindow; // owned here, as main owns it
    CLumidial* clock = nullptr;
};

// Zoom, frame, alpha, hands, dots and dial changed while the dialog is open
// show at once; Cancel brings back the picture, the settings and the file.
TEST_F(SettingsLaunchTest, CancelPutsEverythingBack)
{
    const QImage before = SteadyScreen();
    const AppSettings saved = theApp.AppSettings;
    const QByteArray iniBefore = ReadFile(Ini());
    QImage during;

    RunSettings([&](CSettingsDialog& dialog) {
        EXPECT_EQ(dialog.CurrentPageIndex(), 0); // the first opening of the run
        // The dial page: one colour per hand, a red hour hand, the seven-segment dial.
        Click(Item<QRadioButton>(dialog, 0, 1049));
        ChooseColour(Item<CColorButton>(dialog, 0, 1053), Choice::Cell, 16);
        ChooseEntry(Item<QComboBox>(dialog, 0, 1134), 2);
        // The readout page: own colours, a yellow lit colour.
        Select(dialog, 1);
        ChooseEntry(Item<QComboBox>(dialog, 1, 1120), 3);
        ChooseColour(Item<CColorButton>(dialog, 1, 1065), Choice::Cell, 26);
        // What the frame and general pages do: another frame, the zoom, the alpha.
        platform::PostAppMessage(platform::WM_SET_FRAME_TYPE, 5);
        platform::SendAppMessage(platform::WM_SET_ZOOM, 150);
        theApp.AppSettings.Alpha = 200;
        clock->setWindowOpacity(200 / 255.0);
        // The clock follows while the dialog is open: its timers run and it paints.
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return clock->IsTimerRunning(TIMER_REPAINT) && clock->Zoom() == 150; }));
        EXPECT_EQ(theApp.AppSettings.HourColor, kColourTable[16].crColour);
        EXPECT_EQ(theApp.AppSettings.ClockFace, 2);
        EXPECT_EQ(theApp.AppSettings.DotMatrixOnColor, kColourTable[26].crColour);
        during = SteadyScreen();
        // Modal to the clock only: a click on the clock opens no menu, while
        // another window of the program (an alarm popup, say) still takes clicks.
        QTest::mouseClick(clock, Qt::RightButton, {}, QPoint(clock->width() / 2, clock->height() / 2));
        QTest::qWait(0);
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
        QWidget other(nullptr, Qt::Tool);
        other.setGeometry(900, 100, 80, 30);
        QPushButton* button = new QPushButton("ok", &other);
        button->resize(80, 30);
        other.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&other));
        int clicks = 0;
        QObject::connect(button, &QPushButton::clicked, [&] { ++clicks; });
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_EQ(clicks, 1);
        // Another settings command (from the tray menu) brings this dialog up again.
        clock->OnCommand(ID_SETTINGS);
        EXPECT_EQ(ShownWindow<CSettingsDialog>(), &dialog);
        int dialogs = 0;
        for (QWidget* window : QApplication::topLevelWidgets())
            dialogs += window->isVisible() && dynamic_cast<CSettingsDialog*>(window) != nullptr;
        EXPECT_EQ(dialogs, 1);
        QTest::mouseClick(dialog.Controls().Item(CSettingsDialog::IDCANCEL), Qt::LeftButton);
    });

    SaveScreen(during, "settings_cancel_during");
    EXPECT_EQ(during.size(), QSize(195, 195));
    EXPECT_EQ(Saved(theApp.AppSettings, folder.filePath("live.ini")),
              Saved(saved, folder.filePath("saved.ini")));
    EXPECT_EQ(ReadFile(Ini()), iniBefore);
    EXPECT_DOUBLE_EQ(clock->windowOpacity(), 1.0);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return clock->Zoom() == 100 && clock->IsTimerRunning(TIMER_REPAINT); }));
    const QImage after = SteadyScreen();
    SaveScreen(before, "settings_cancel_before");
    SaveScreen(after, "settings_cancel_after");
    EXPECT_EQ(after, before);
}

// The external frame of before comes back from the settings of before: its
// picture and its gradation, whatever the dialog left.
TEST_F(SettingsLaunchTest, CancelRebuildsTheExternalFrameFromTheRestoredSettings)
{
    QImage picture(64, 64, QImage::Format_RGB32);
    picture.fill(qRgb(200, 60, 30));
    const QString path = folder.filePath("frame.png");
    ASSERT_TRUE(picture.save(path));
    AppSettings& settings = theApp.AppSettings;
    settings.ExtFramePath = path;
    settings.Gradation = true;
    clock->CreateExtFrame(path, true);
    platform::SendAppMessage(platform::WM_SET_FRAME_TYPE, kExternalFrameSlot);
    const QImage frame = clock->FrameBitmap(kExternalFrameSlot);

    RunSettings([&](CSettingsDialog& dialog) {
        // What the frame page does: another picture, no gradation.
        settings.ExtFramePath.clear();
        settings.Gradation = false;
        clock->CreateExtFrame(settings.ExtFramePath, settings.Gradation);
        EXPECT_NE(clock->FrameBitmap(kExternalFrameSlot), frame);
        QTest::mouseClick(dialog.Controls().Item(CSettingsDialog::IDCANCEL), Qt::LeftButton);
    });
    EXPECT_EQ(settings.ExtFramePath, path);
    EXPECT_TRUE(settings.Gradation);
    EXPECT_EQ(clock->FrameBitmap(kExternalFrameSlot), frame);
}

// OK saves the INI file at once; the next opening starts on the page that was
// current when the dialog closed.
TEST_F(SettingsLaunchTest, OkSavesAndTheNextOpeningKeepsThePage)
{
    RunSettings([&](CSettingsDialog& dialog) {
        Select(dialog, 1);
        Click(Item<QCheckBox>(dialog, 1, 1127)); // the readout's seconds on
        QTest::mouseClick(dialog.Controls().Item(CSettingsDialog::IDOK), Qt::LeftButton);
    });
    AppSettings stored;
    LoadAppSettings(stored, Ini());
    EXPECT_TRUE(stored.DigiSec);
    EXPECT_EQ(Saved(stored, folder.filePath("stored.ini")),
              Saved(theApp.AppSettings, folder.filePath("live.ini")));

    RunSettings([&](CSettingsDialog& dialog) {
        EXPECT_EQ(dialog.CurrentPageIndex(), 1);
        EXPECT_EQ(dialog.CaptionBar()->Text(), "文字盤2");
        QTest::keyClick(&dialog, Qt::Key_Escape); // ignored
        EXPECT_TRUE(dialog.isVisible());
        Select(dialog, 4);
        dialog.windowHandle()->close(); // the close box
    });
    RunSettings([&](CSettingsDialog& dialog) { EXPECT_EQ(dialog.CurrentPageIndex(), 4); });
}

} // namespace

namespace {

// The real program, run from a folder of its own (its INI file lives there).
class SettingsProgramTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        const QString built = QDir(QCoreApplication::applicationDirPath()).filePath("lumidial");
        ASSERT_TRUE(QFile::exists(built)) << "build the lumidial target first";
        ASSERT_TRUE(QFile::copy(built, folder.filePath("lumidial")));
    }
    void TearDown() override
    {
        if (program.state() != QProcess::NotRunning) {
            program.kill();
            program.waitForFinished(5000);
        }
    }

    // The program's visible windows that match the xdotool search terms.
    QStringList VisibleWindows(const QStringList& terms = {})
    {
        QProcess search;
        search.start("xdotool", QStringList{"search", "--all", "--onlyvisible", "--pid",
                                            QString::number(program.processId())} +
                                    terms);
        search.waitForFinished(5000);
        return QString::fromLatin1(search.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    }

    bool Shows(const QStringList& terms) { return !VisibleWindows(terms).isEmpty(); }

    // A real click that opens a menu: true once the menu, a new window of the
    // program, shows (the tray icon's waits for a double click first).
    bool OpensAMenu(const QStringList& click)
    {
        const qsizetype before = VisibleWindows().size();
        return Xdotool(click) && QTest::qWaitFor([&] { return VisibleWindows().size() > before; }, 30000);
    }

    // The program's tray icon: its window of an icon's size among those of the
    // program's own class name (the dialogs have it too); empty when there is none.
    static QString TrayIconWindow()
    {
        QProcess search;
        search.start("xdotool", {"search", "--classname", "^lumidial$"});
        search.waitForFinished(5000);
        for (const QString& id :
             QString::fromLatin1(search.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts)) {
            QProcess geometry;
            geometry.start("xdotool", {"getwindowgeometry", "--shell", id});
            geometry.waitForFinished(5000);
            const QString shell = QString::fromLatin1(geometry.readAllStandardOutput());
            const auto value = [&](const QString& key) {
                return shell.section(key + '=', 1, 1).section('\n', 0, 0).toInt();
            };
            if (value("WIDTH") <= 32 && value("HEIGHT") <= 32 && value("WIDTH") > 1)
                return id;
        }
        return {};
    }

    QTemporaryDir folder;
    QProcess program;
};

// With the settings dialog open and a change made in it (the hands switched
// off), SIGTERM and the tray menu's exit command end the program normally: the
// dialog's own event loop ends with the program's, its change is taken back,
// and the file is saved with the settings of before.
TEST_F(SettingsProgramTest, ProgramEndsWhileTheDialogIsOpen)
{
    for (const bool signal : {true, false}) {
        SCOPED_TRACE(signal ? "SIGTERM" : "exit command");
        ASSERT_TRUE(WriteFile(folder.filePath("LMD.ini"), QuietIni("StartX=100\nStartY=100\nZoom=100\n")));
        program.setWorkingDirectory(folder.path());
        program.setProcessChannelMode(QProcess::ForwardedChannels);
        program.start(folder.filePath("lumidial"), {});
        ASSERT_TRUE(program.waitForStarted(10000));
        ASSERT_TRUE(QTest::qWaitFor([&] { return Shows({"--class", "LMDClass"}); }, 30000));
        // The clock's menu, its settings item by its key; then the first check
        // box of the page ("時計を表示") switched off from the keyboard.
        ASSERT_TRUE(OpensAMenu({"mousemove", "165", "165", "click", "3"}));
        ASSERT_TRUE(Xdotool({"key", "s"}));
        ASSERT_TRUE(QTest::qWaitFor([&] { return Shows({"--name", "LMD Settings"}); }, 30000));
        ASSERT_TRUE(Xdotool({"sleep", "0.3", "key", "Tab", "space"}));

        if (signal) {
            ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
        } else { // the tray menu's "終了(&X)"
            ASSERT_TRUE(OpensAMenu({"mousemove", "--window", TrayIconWindow(), "8", "8", "click", "1"}));
            ASSERT_TRUE(Xdotool({"key", "x"}));
        }
        ASSERT_TRUE(program.waitForFinished(30000));
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), 0);
        EXPECT_EQ(MissingSettingsKeys(folder.filePath("LMD.ini")), QStringList());
        AppSettings stored;
        LoadAppSettings(stored, folder.filePath("LMD.ini"));
        EXPECT_TRUE(stored.ClockHands);
    }
}

} // namespace
