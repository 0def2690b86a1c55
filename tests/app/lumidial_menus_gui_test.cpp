// The clock's menus, tray icon, tooltip, stealth mode with its hint, and the
// outward commands (lock, feed-list editing), on the test display.
#include "app/hint_dlg.h"
#include "app/lumidial.h"
#include "platform/desktop.h"
#include "platform/dialog.h"
#include "platform/resources.h"
#include "platform/x11_window.h"
#include "tests/app/clock_window_fixture.h"
#include "tests/support/screens.h"
#include "tests/support/shown_windows.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QStyleHints>
#include <QSystemTrayIcon>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace {

using namespace lmd::test;

// The names of the effect codes 0 to 29 as the menus list them.
const QStringList kEffectNames = {"そのまま",
                                  "カラーフィルタ",
                                  "モノクロ",
                                  "セピア",
                                  "Warping",
                                  "すりガラス",
                                  "モザイク",
                                  "Sketch",
                                  "旅の扉",
                                  "小雨",
                                  "Flame",
                                  "notebook",
                                  "流れる雲",
                                  "MATRIX",
                                  "Liquid Metalball",
                                  "トライフォース",
                                  "PS3",
                                  "イメージ再生",
                                  "Metallic",
                                  "ファーファー",
                                  "Polka Pixels",
                                  "Glitch",
                                  "Glass Droplets",
                                  "River",
                                  "Sea",
                                  "Dots Loader",
                                  "Rain Screen",
                                  "Flurry",
                                  "Mystify",
                                  "外部シェーダー"};

// One line per item: "<id> <text>" with "[x]" for a check mark ("[ ]" for an
// empty check box, which no item should show) and
// "+pic" for a picture; "---" for a separator; "> <text>" opens a popup whose
// items follow indented.
QStringList Dump(const QMenu& menu, const QString& indent = {})
{
    QStringList lines;
    for (const QAction* action : menu.actions()) {
        if (action->isSeparator()) {
            lines << indent + "---";
            continue;
        }
        QString line = indent;
        if (action->menu())
            line += "> " + action->text();
        else
            line += QString::number(action->data().toInt()) + " " + action->text();
        if (action->isCheckable())
            line += action->isChecked() ? " [x]" : " [ ]";
        if (!action->icon().isNull())
            line += " +pic";
        lines << line;
        if (action->menu())
            lines << Dump(*action->menu(), indent + "  ");
    }
    return lines;
}

// The popup menu of the clock as the table says, with the given items checked.
QStringList ExpectedPopup(int back, int middle, int front, int zoomId, bool stealth)
{
    QStringList lines{"40002 設定...(&S) +pic"};
    const char* const titles[] = {"奥側 - エフェクト", "中間 - エフェクト", "手前 - エフェクト"};
    const int checked[] = {back, middle, front};
    for (int layer = 0; layer < 3; ++layer) {
        lines << QStringLiteral("> %1 +pic").arg(QString::fromUtf8(titles[layer]));
        for (int code = 0; code < 30; ++code)
            lines << QStringLiteral("  %1 %2%3")
                         .arg(layer * 40 + code)
                         .arg(kEffectNames[code], code == checked[layer] ? " [x]" : "");
    }
    lines << "---"
          << "> 表示倍率 +pic";
    for (int id = 40100; id <= 40112; ++id)
        lines << QStringLiteral("  %1 %2%%3")
                     .arg(id)
                     .arg((id - 40100) * 10 + 80)
                     .arg(id == zoomId ? " [x]" : "");
    lines << "---" << QStringLiteral("40006 ステルスMode%1 +pic").arg(stealth ? " [x]" : "") << "---"
          << "40007 RSS +pic"
          << "40008 RSS 設定編集... +pic"
          << "---"
          << "40000 終了(&X) +pic";
    return lines;
}

using ClockMenuTest = ClockWindowTest;

TEST_F(ClockMenuTest, PopupMenuListsEveryItemWithItsChecks)
{
    const platform::ScopedRecordingDesktop desktop; // an effect's error box, if any
    AppSettings& settings = theApp.AppSettings;
    settings.EffectPtn0 = 3;
    settings.EffectPtn1 = 80; // a code outside the menu: nothing checked
    settings.EffectPtn2 = 29;
    settings.Zoom = 120;
    CLumidial& window = ShowClock();

    struct Case
    {
        int zoom;
        int zoomId; // 0: no zoom item checked
        bool stealth;
    };
    for (const Case& c : {Case{120, 40104, false}, Case{75, 40100, true}, Case{70, 0, false},
                          Case{205, 40112, false}, Case{210, 0, false}}) {
        platform::SendAppMessage(platform::WM_SET_ZOOM, static_cast<platform::WPARAM>(c.zoom));
        settings.Stealth = c.stealth;
        QTest::mouseClick(&window, Qt::RightButton, {}, QPoint(window.width() / 2, window.height() / 2));
        QMenu* menu = OpenMenu();
        ASSERT_NE(menu, nullptr) << c.zoom;
        EXPECT_EQ(Dump(*menu), ExpectedPopup(3, 80, 29, c.zoomId, c.stealth)) << c.zoom;
        EXPECT_EQ(menu->pos(), window.mapToGlobal(QPoint(window.width() / 2, window.height() / 2)));
        CloseMenu(menu);
    }
    settings.Stealth = false;

    // The clock's menu opened with a real click, and its popup at a position.
    const auto openPopup = [&window](int position) -> std::pair<QMenu*, QMenu*> {
        QTest::mouseClick(&window, Qt::RightButton, {}, QPoint(20, 60));
        QMenu* menu = OpenMenu();
        if (!menu)
            return {};
        QAction* popup = menu->actions().at(position);
        if (!popup->menu())
            return {menu, nullptr};
        menu->setActiveAction(popup);
        QTest::keyClick(menu, Qt::Key_Right);
        EXPECT_TRUE(QTest::qWaitFor([&] { return popup->menu()->isVisible(); }));
        return {menu, popup->menu()};
    };

    // A chosen item is carried out once the menu has closed.
    const auto [menu, zoomPopup] = openPopup(5);
    ASSERT_NE(zoomPopup, nullptr);
    lmd::test::SaveScreen(menu->grab().toImage(), "clock_popup_menu");
    lmd::test::SaveScreen(zoomPopup->grab().toImage(), "clock_popup_menu_zoom");
    Click(*zoomPopup, 40103); // 110 %
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.Zoom() == 110; }));

    // The back layer's effects: only the chosen one carries a mark.
    const auto [backMenu, backPopup] = openPopup(1);
    ASSERT_NE(backPopup, nullptr);
    lmd::test::SaveScreen(backPopup->grab().toImage(), "clock_popup_menu_back_effects");
    CloseMenu(backMenu);
}

TEST_F(ClockMenuTest, TooltipShowsZoomAndEffectsInItsFormat)
{
    const platform::ScopedRecordingDesktop desktop;
    AppSettings& settings = theApp.AppSettings;
    settings.Zoom = 120;
    settings.EffectPtn0 = 0;
    settings.EffectPtn1 = 80;
    settings.EffectPtn2 = 29;
    CLumidial& window = ShowClock();
    EXPECT_EQ(window.toolTip(),
              "表示倍率：120% \r\n※ホイールで変更可 \r\n奥側：そのまま \r\n中間：検証用 \r\n"
              "手前：外部シェーダー     ");

    // Shown, the text takes five lines, as with plain line feeds.
    const QLabel shown(window.toolTip());
    QString lineFeeds = window.toolTip();
    lineFeeds.replace("\r\n", "\n");
    EXPECT_EQ(shown.sizeHint(), QLabel(lineFeeds).sizeHint());
    EXPECT_GT(shown.sizeHint().height(), 4 * shown.fontMetrics().height());

    window.OnCommand(ID_EFFECT_MIDDLE + 2);
    platform::SendAppMessage(platform::WM_SET_ZOOM, 90);
    EXPECT_EQ(window.toolTip(),
              "表示倍率：90% \r\n※ホイールで変更可 \r\n奥側：そのまま \r\n中間：モノクロ \r\n"
              "手前：外部シェーダー     ");

    struct Case
    {
        int code;
        const char* name;
    };
    for (const Case& c : {Case{-1, "検証用"}, Case{0, "そのまま"}, Case{17, "イメージ再生"},
                          Case{29, "外部シェーダー"}, Case{30, "検証用"}, Case{50, "検証用"}})
        EXPECT_EQ(GetEffectName(c.code), QString::fromUtf8(c.name)) << c.code;
}

TEST_F(ClockMenuTest, TrayIconDocksItsMenuOpensAndADoubleClickRecaptures)
{
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        GTEST_SKIP() << "no notification area on this display";
    const platform::ScopedRecordingDesktop desktop;
    theApp.AppSettings.Stealth = true;
    CLumidial& window = ShowClock();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window.TrayIcon()->geometry().isEmpty(); }));
    const QPoint icon = window.TrayIcon()->geometry().center();
    desktop->cursorPos = icon;

    ASSERT_TRUE(
        Xdotool({"mousemove", "--sync", QString::number(icon.x()), QString::number(icon.y()), "click", "1"}));
    QMenu* menu = OpenMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(Dump(*menu), QStringList({"40002 設定...(&S) +pic", "40005 ロック +pic",
                                        "40006 ステルスMode [x] +pic", "---", "40000 終了(&X) +pic"}));
    Click(*menu, ID_LOCK);
    EXPECT_TRUE(QTest::qWaitFor([&] { return desktop->locks == 1; }));

    // The right button opens the same menu.
    ASSERT_TRUE(Xdotool({"click", "3"}));
    menu = OpenMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(Dump(*menu).size(), 5);
    CloseMenu(menu);

    // A real double click re-captures, and opens no menu on its way.
    const MessageCounter recaptures(window, platform::WM_RECAPTURE_BACKGROUND);
    const MessageCounter trayMessages(window, platform::WM_TRAY_NOTIFY);
    const int interval = QGuiApplication::styleHints()->mouseDoubleClickInterval();
    ASSERT_TRUE(Xdotool({"mousemove", "--sync", QString::number(icon.x()), QString::number(icon.y()), "click",
                         "--repeat", "2", "--delay", QString::number(interval / 4), "1"}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return recaptures.count == 1; }));
    QTest::qWait(interval + 200); // a menu would open once the double-click time is over
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    EXPECT_EQ(trayMessages.count, 1);
    platform::PostAppMessage(platform::WM_TRAY_NOTIFY, 2, TRAY_LBUTTONDBLCLK); // not our icon
    QTest::qWait(200);
    EXPECT_EQ(recaptures.count, 1);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
}

TEST_F(ClockMenuTest, FeedListOpensWithItsPathAsOneArgumentAndLockIsRecorded)
{
    const platform::ScopedRecordingDesktop desktop;
    CLumidial& window = ShowClock();
    const QString exeDir = folder.filePath("my clock");
    ASSERT_TRUE(QDir().mkpath(exeDir));
    platform::paths::SetExeDirOverride(exeDir);

    // No feed list yet: nothing to open.
    window.OnCommand(ID_RSS_EDIT);
    EXPECT_TRUE(desktop->opened.empty());

    QFile list(exeDir + "/lmd_rss.ini");
    ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    list.close();
    window.OnCommand(ID_RSS_EDIT);
    ASSERT_EQ(desktop->opened.size(), 1u);
    EXPECT_EQ(desktop->opened[0], exeDir + "/lmd_rss.ini");
    EXPECT_EQ(platform::OpenCommand(desktop->opened[0]).arguments, QStringList{exeDir + "/lmd_rss.ini"});

    window.OnCommand(ID_LOCK);
    EXPECT_EQ(desktop->locks, 1);
}

// Answers each hint dialog that opens: ticks its box when asked to, and closes it
// with OK or from its title bar.
class HintAnswerer
{
public:
    HintAnswerer(bool tick, bool ok) : tick_(tick), ok_(ok)
    {
        timer_.setInterval(20);
        QObject::connect(&timer_, &QTimer::timeout, [this] { Answer(); });
        timer_.start();
    }
    int shown = 0;
    std::function<void(CHintDlg&)> inspect;

private:
    void Answer()
    {
        auto* hint = lmd::test::ShownWindow<CHintDlg>();
        if (!hint || !hint->isVisible())
            return;
        ++shown;
        if (inspect)
            inspect(*hint);
        if (tick_)
            QTest::mouseClick(hint->Controls().ItemAs<QCheckBox>(CHintDlg::IDC_CHECK_HIDE), Qt::LeftButton);
        if (ok_)
            QTest::mouseClick(hint->Controls().ItemAs<QPushButton>(1), Qt::LeftButton);
        else
            hint->reject();
    }

    bool tick_;
    bool ok_;
    QTimer timer_;
};

TEST_F(ClockMenuTest, HintShowsOnceWhenTickedAndEveryTimeWhenNot)
{
    CLumidial& window = ShowClock();
    struct Case
    {
        bool tick;
        bool ok;
        int shownInThreeSwitchOns;
    };
    for (const Case& c : {Case{true, false, 1}, Case{true, true, 1}, Case{false, true, 3}}) {
        CHintDlg::SetSuppressed(false);
        theApp.AppSettings.Stealth = false;
        HintAnswerer answerer(c.tick, c.ok);
        for (int round = 0; round < 3; ++round) {
            window.OnCommand(ID_STEALTH);
            EXPECT_TRUE(theApp.AppSettings.Stealth);
            window.OnCommand(ID_STEALTH); // switching off never shows it
            EXPECT_FALSE(theApp.AppSettings.Stealth);
        }
        EXPECT_EQ(answerer.shown, c.shownInThreeSwitchOns) << c.tick << c.ok;
    }
    CHintDlg::SetSuppressed(false);
}

TEST_F(ClockMenuTest, HintDialogFollowsItsTemplate)
{
    CHintDlg hint;
    EXPECT_EQ(hint.windowTitle(), "HINT");
    // 227 by 189 dialog units, wider where a text needs it: every text shows
    // whole, inside the dialog.
    EXPECT_GE(hint.width(), 341);
    EXPECT_EQ(hint.height(), 307);
    for (const QLabel* label : hint.findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
        if (label->text().isEmpty())
            continue;
        EXPECT_GE(label->width(), label->sizeHint().width()) << label->text().toStdString();
        EXPECT_LE(label->geometry().right(), hint.width() - 10) << label->text().toStdString();
    }
    const auto* ok = hint.Controls().ItemAs<QPushButton>(1);
    ASSERT_NE(ok, nullptr);
    EXPECT_TRUE(ok->isDefault());
    EXPECT_EQ(ok->geometry(), QRect(255, 273, 75, 23));
    const auto* check = hint.Controls().ItemAs<QCheckBox>(CHintDlg::IDC_CHECK_HIDE);
    ASSERT_NE(check, nullptr);
    EXPECT_EQ(check->text(), "次回から表示しない");
    EXPECT_FALSE(check->isChecked());
    const auto* icon = hint.Controls().ItemAs<QLabel>(CHintDlg::IDC_STATIC_ICON);
    ASSERT_NE(icon, nullptr);
    EXPECT_FALSE(icon->pixmap().isNull());

    // The two pictures at their places, at the size of their bitmaps, and the texts.
    QStringList texts;
    std::vector<QRect> pictures;
    for (const QLabel* label : hint.findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
        if (!label->text().isEmpty())
            texts << label->text();
        else if (!label->pixmap().isNull() && label != icon)
            pictures.push_back(label->geometry());
    }
    EXPECT_EQ(texts, QStringList({"■ステルスModeの解除操作について",
                                  "１．タスクトレイのアイコンメニューから解除する",
                                  "２．CTRLキーを押下している間、ステルスModeが解除されるので",
                                  "そのまま本体メニューから解除する"}));
    ASSERT_EQ(pictures.size(), 2u);
    EXPECT_EQ(pictures[0], QRect(QPoint(50, 67), platform::LoadBitmap("HINT_TASKTRAY_MENU").size()));
    EXPECT_EQ(pictures[1], QRect(QPoint(47, 247), platform::LoadBitmap("HINT_CTRL").size()));
    lmd::test::SaveScreen(hint.grab().toImage(), "clock_stealth_hint");
}

// A window under the clock that counts the clicks it receives.
class ClickTarget : public QWidget
{
public:
    explicit ClickTarget(const QRect& rect) : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint)
    {
        setGeometry(rect);
    }
    int clicks = 0;

protected:
    void mousePressEvent(QMouseEvent*) override { ++clicks; }
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), Qt::darkCyan); }
};

// Switches the stealth mode on and brings the pointer from off the clock onto
// its centre (returned), where the hole opens.
QPoint OpenStealthHole(CLumidial& window)
{
    window.OnCommand(ID_STEALTH);
    EXPECT_TRUE(theApp.AppSettings.Stealth);
    const QPoint centre = window.geometry().center();
    EXPECT_TRUE(Xdotool({"mousemove", "--sync", "700", "600"}));
    EXPECT_TRUE(Xdotool({"mousemove", "--sync", QString::number(centre.x()), QString::number(centre.y())}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window.HoleRegion().isEmpty(); }));
    return centre;
}

TEST_F(ClockMenuTest, StealthHoleFollowsThePointerAndLetsClicksThrough)
{
    CHintDlg::SetSuppressed(true);
    ClickTarget target(QRect(200, 160, 150, 150));
    target.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&target));
    CLumidial& window = ShowClock();

    // The pointer onto the clock: a rounded square hole opens around it.
    const QPoint centre = OpenStealthHole(window);
    ASSERT_FALSE(window.HoleRegion().isEmpty());
    const QPoint at = centre - window.geometry().topLeft();
    // At zoom 100: 52 by 52 around the pointer, corners cut, the middle open.
    EXPECT_EQ(window.HoleRegion().boundingRect(), QRect(at.x() - 26, at.y() - 26, 52, 52));
    EXPECT_FALSE(window.HoleRegion().contains(QPoint(at.x() - 26, at.y() - 26)));
    EXPECT_TRUE(window.HoleRegion().contains(QPoint(at.x() - 26, at.y())));
    EXPECT_TRUE(window.HoleRegion().contains(at));
    EXPECT_EQ(window.WindowRegion(), window.EllipseRegion().subtracted(window.HoleRegion()));
    // The X server holds the same shape for pixels and for the pointer.
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return ShapeRegion(window, XShape::Bounding) == window.WindowRegion(); }));
    EXPECT_EQ(ShapeRegion(window, XShape::Input), window.WindowRegion());

    // A click in the hole reaches the window beneath.
    ASSERT_TRUE(Xdotool({"click", "1"}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return target.clicks == 1; }));
    EXPECT_FALSE(window.IsDragging());

    // Off the clock, it is whole again.
    ASSERT_TRUE(Xdotool({"mousemove", "--sync", "700", "600"}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.HoleRegion().isEmpty(); }));
    EXPECT_EQ(window.WindowRegion(), window.EllipseRegion());
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return ShapeRegion(window, XShape::Input) == window.EllipseRegion(); }));

    // With Control held the pointer reaches the clock itself: its menu opens.
    ASSERT_TRUE(Xdotool({"keydown", "Control_L", "mousemove", "--sync", QString::number(centre.x()),
                         QString::number(centre.y())}));
    QTest::qWait(100); // moves with Control held leave the clock whole
    EXPECT_TRUE(window.HoleRegion().isEmpty());
    ASSERT_TRUE(Xdotool({"click", "3", "keyup", "Control_L"}));
    QMenu* menu = OpenMenu();
    ASSERT_NE(menu, nullptr);
    CloseMenu(menu);
    EXPECT_EQ(target.clicks, 1);

    // Switched off, the clock takes clicks again.
    window.OnCommand(ID_STEALTH);
    EXPECT_EQ(window.WindowRegion(), window.EllipseRegion());
    CHintDlg::SetSuppressed(false);
}

TEST_F(ClockMenuTest, StealthHoleOutlivesTheXWindowATopMostChangeReplaces)
{
    CHintDlg::SetSuppressed(true);
    ClickTarget target(QRect(200, 160, 150, 150));
    target.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&target));
    CLumidial& window = ShowClock();
    OpenStealthHole(window);

    // Qt makes a new X window for the changed flag: the hole is in its shapes
    // from the start, and a click in it still reaches the window beneath.
    for (int change = 0; change < 2; ++change) {
        SCOPED_TRACE(change);
        const unsigned long before = platform::CurrentXWindow(window);
        window.SetTopMost(!theApp.AppSettings.TopMost);
        theApp.AppSettings.TopMost = !theApp.AppSettings.TopMost;
        ASSERT_NE(platform::CurrentXWindow(window), before);
        ASSERT_FALSE(window.HoleRegion().isEmpty());
        EXPECT_EQ(ShapeRegion(window, XShape::Bounding), window.WindowRegion());
        EXPECT_EQ(ShapeRegion(window, XShape::Input), window.WindowRegion());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        ASSERT_TRUE(Xdotool({"click", "1"}));
        EXPECT_TRUE(QTest::qWaitFor([&] { return target.clicks == change + 1; }));
        EXPECT_FALSE(window.IsDragging());
    }
    window.OnCommand(ID_STEALTH);
    CHintDlg::SetSuppressed(false);
}

TEST_F(ClockMenuTest, StealthHoleSizeFollowsTheZoom)
{
    theApp.AppSettings.Zoom = 200;
    theApp.AppSettings.Stealth = true;
    CLumidial& window = ShowClock();
    const QPoint centre = window.geometry().center();
    ASSERT_TRUE(Xdotool({"mousemove", "--sync", "800", "650"}));
    ASSERT_TRUE(Xdotool({"mousemove", "--sync", QString::number(centre.x()), QString::number(centre.y())}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window.HoleRegion().isEmpty(); }));
    const QPoint at = centre - window.geometry().topLeft();
    EXPECT_EQ(window.HoleRegion().boundingRect(), QRect(at.x() - 52, at.y() - 52, 104, 104));
    ASSERT_TRUE(Xdotool({"mousemove", "--sync", "800", "650"}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.HoleRegion().isEmpty(); }));
}

} // namespace
