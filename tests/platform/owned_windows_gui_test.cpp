// Owned windows and modal runs on the test display: an owned window stands
// above its owner, kept on top or not, through the owner's raises, hides and
// re-created X windows; clicks on it reach it where it covers the owner. A
// modal run keeps its owner from input and nothing else.
//
// The stacking cases run under the test display's window manager (openbox),
// and once more, in a process of their own, on an X display without any.
#include "platform/owned_windows.h"
#include "platform/x11_window.h"
#include "tests/support/shown_windows.h"
#include "tests/support/xdotool.h"

#include <QCoreApplication>
#include <QDialog>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <vector>

// Xlib last: its macros clash with Qt names.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

using namespace lmd::test;

constexpr const char* kNoWindowManager = "LMD_TEST_WITHOUT_WINDOW_MANAGER";

// The X window the window's WM_TRANSIENT_FOR names (0 for none).
unsigned long TransientFor(const QWidget& window)
{
    Window owner = 0;
    if (!XGetTransientForHint(platform::XDisplay(), platform::CurrentXWindow(window), &owner))
        return 0;
    return owner;
}

// A clock-like owner (frameless tool window kept on top) and a dialog it owns
// that overlaps it.
class OwnedWindowsStackingTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        owner.setGeometry(200, 200, 300, 300);
        owner.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));
        owned.setGeometry(350, 350, 300, 200);
        platform::SetOwner(owned, owner);
        owned.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&owned));
    }

    // Where the two overlap, and so where a click tells which one is on top.
    static constexpr QPoint kOverlap{420, 420};

    void ExpectOwnedOnTop(const char* after)
    {
        SCOPED_TRACE(after);
        EXPECT_EQ(TransientFor(owned), platform::CurrentXWindow(owner));
        EXPECT_TRUE(StandsAbove(owned, owner));
        EXPECT_TRUE(ClickReaches(kOverlap, owned));
    }

    QWidget owner{nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint};
    QDialog owned;
};

TEST_F(OwnedWindowsStackingTest, TheOwnedWindowStaysAboveItsOwnerKeptOnTop)
{
    ExpectOwnedOnTop("shown");

    owner.raise();
    platform::RaiseOwnedWindows(owner);
    ExpectOwnedOnTop("the owner raised");

    // Hidden and shown again.
    owner.hide();
    owner.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));
    ExpectOwnedOnTop("the owner hidden and shown again");

    // A changed stays-on-top flag gives the owner a new X window, twice.
    for (const bool onTop : {false, true}) {
        const unsigned long before = platform::CurrentXWindow(owner);
        owner.setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
        owner.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));
        ASSERT_NE(platform::CurrentXWindow(owner), before);
        ExpectOwnedOnTop(onTop ? "kept on top again" : "no longer kept on top");
    }
}

TEST_F(OwnedWindowsStackingTest, WhatAnOwnedWindowOwnsStaysAboveBoth)
{
    QDialog second;
    second.setGeometry(450, 400, 200, 200);
    platform::SetOwner(second, owned);
    second.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&second));
    EXPECT_TRUE(StandsAbove(second, owned));

    owner.hide();
    owner.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));
    EXPECT_TRUE(StandsAbove(owned, owner));
    EXPECT_TRUE(StandsAbove(second, owned));
    EXPECT_TRUE(ClickReaches({500, 450}, second));
}

// Every stacking case again, on an X display of its own that no window
// manager runs on: the program keeps the order itself.
TEST(OwnedWindowsWithoutWindowManagerTest, EveryStackingCaseHolds)
{
    if (qEnvironmentVariableIsSet(kNoWindowManager))
        GTEST_SKIP() << "runs the stacking cases only";
    QProcess server;
    server.start("Xvfb", {"-displayfd", "1", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"});
    ASSERT_TRUE(server.waitForStarted(10000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.canReadLine(); }, 20000));
    const QString display = ':' + QString::fromLatin1(server.readLine()).trimmed();

    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", display);
    environment.insert(kNoWindowManager, "1");
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(QCoreApplication::applicationFilePath(), {"--gtest_filter=OwnedWindowsStackingTest.*"});
    ASSERT_TRUE(child.waitForFinished(300000));
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(child.exitCode(), 0);
    server.terminate();
    server.waitForFinished(10000);
}

// --- modal runs --------------------------------------------------------------------

// An owner with a button, another window with a button, and a dialog.
class ModalRunTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (auto [window, place] :
             {std::pair{&owner, QPoint(100, 100)}, std::pair{&other, QPoint(700, 100)}}) {
            window->setGeometry(QRect(place, QSize(200, 120)));
            window->show();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
        }
        ownerButton->setGeometry(20, 20, 120, 40);
        otherButton->setGeometry(20, 20, 120, 40);
        QObject::connect(otherButton, &QPushButton::clicked, [this] { ++otherClicks; });
        QObject::connect(ownerButton, &QPushButton::clicked, [this] { ++ownerClicks; });
        dialog.setGeometry(400, 400, 200, 100);
    }

    static QPoint Centre(const QWidget& widget) { return widget.mapToGlobal(widget.rect().center()); }
    static void Click(const QWidget& widget) { lmd::test::Click(Centre(widget)); }

    QWidget owner;
    QWidget other;
    QPushButton* ownerButton = new QPushButton("owner", &owner);
    QPushButton* otherButton = new QPushButton("other", &other);
    QDialog dialog;
    int ownerClicks = 0;
    int otherClicks = 0;
};

TEST_F(ModalRunTest, OnlyTheOwnerWaitsForTheDialog)
{
    std::optional<int> result;
    QTimer::singleShot(0, &dialog, [&] {
        EXPECT_FALSE(owner.isEnabled());
        EXPECT_EQ(dialog.windowModality(), Qt::NonModal);
        EXPECT_EQ(dialog.windowHandle()->transientParent(), owner.windowHandle());
        // Real clicks, the owner's first: had it taken its click, that would
        // have come before the other window's.
        Click(*ownerButton);
        Click(*otherButton);
        EXPECT_TRUE(QTest::qWaitFor([&] { return otherClicks == 1; }, 5000));
        EXPECT_EQ(ownerClicks, 0);
        dialog.done(7);
    });
    result = platform::RunModal(dialog, ownerButton); // a child names its window
    EXPECT_EQ(result, 7);
    EXPECT_TRUE(owner.isEnabled());
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(ModalRunTest, OpenModalReturnsAtOnceAndTellsTheEnd)
{
    struct Case
    {
        const char* name;
        std::function<void(QDialog&)> end;
        int result;
    };
    const Case cases[] = {
        {"accept", [](QDialog& d) { d.accept(); }, QDialog::Accepted},
        {"reject", [](QDialog& d) { d.reject(); }, QDialog::Rejected},
        {"close box", [](QDialog& d) { d.close(); }, QDialog::Rejected},
        {"plain hide", [](QDialog& d) { d.hide(); }, QDialog::Rejected},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<int> told;
        platform::OpenModal(dialog, &owner, [&](int result) { told.push_back(result); });
        ASSERT_TRUE(dialog.isVisible());
        EXPECT_FALSE(owner.isEnabled());
        c.end(dialog);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !told.empty(); }, 5000));
        QTest::qWait(20); // a second word would come in the next turns of the loop
        EXPECT_EQ(told, std::vector<int>{c.result});
        EXPECT_TRUE(owner.isEnabled());
    }
}

TEST_F(ModalRunTest, ADialogGoneBeforeItsEndFreesItsOwnerAndTellsNothing)
{
    bool told = false;
    auto gone = std::make_unique<QDialog>();
    platform::OpenModal(*gone, &owner, [&](int) { told = true; });
    EXPECT_FALSE(owner.isEnabled());
    gone.reset();
    QTest::qWait(20); // nor in the next turns of the loop
    EXPECT_TRUE(owner.isEnabled());
    EXPECT_FALSE(told);

    // An owner disabled before the run stays so after it.
    owner.setEnabled(false);
    QTimer::singleShot(0, &dialog, [this] { dialog.accept(); });
    EXPECT_EQ(platform::RunModal(dialog, &owner), QDialog::Accepted);
    EXPECT_FALSE(owner.isEnabled());
}

} // namespace
