// The desktop's window list under a window manager (the test display runs
// openbox): order, titles, rectangles, visibility, minimised state and owners.
#include "platform/window_list.h"

#include <QDialog>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

namespace {

const platform::TopLevelWindow* Find(const std::vector<platform::TopLevelWindow>& windows,
                                     const QWidget& window)
{
    for (const platform::TopLevelWindow& entry : windows)
        if (entry.id == window.winId())
            return &entry;
    return nullptr;
}

int IndexOf(const std::vector<platform::TopLevelWindow>& windows, const QWidget& window)
{
    const platform::TopLevelWindow* entry = Find(windows, window);
    return entry ? static_cast<int>(entry - windows.data()) : -1;
}

std::unique_ptr<QWidget> ShowWindow(const QString& title, const QRect& rect)
{
    auto window = std::make_unique<QWidget>(nullptr, Qt::Tool | Qt::FramelessWindowHint);
    window->setWindowTitle(title);
    window->setGeometry(rect);
    window->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    return window;
}

TEST(WindowListTest, ListsWindowsTopmostFirstWithTitleClassAndPlace)
{
    const auto lower = ShowWindow(QStringLiteral("下の窓 lower"), QRect(100, 120, 200, 150));
    const auto upper = ShowWindow(QStringLiteral("upper"), QRect(150, 160, 80, 60));

    ASSERT_TRUE(QTest::qWaitFor([&] {
        const auto windows = platform::EnumTopLevelWindows();
        return IndexOf(windows, *upper) >= 0 && IndexOf(windows, *upper) < IndexOf(windows, *lower);
    }));
    std::vector<platform::TopLevelWindow> windows = platform::EnumTopLevelWindows();
    const platform::TopLevelWindow* entry = Find(windows, *lower);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->title, QStringLiteral("下の窓 lower"));
    EXPECT_FALSE(entry->className.isEmpty());
    EXPECT_EQ(entry->rect, QRect(100, 120, 200, 150));
    EXPECT_TRUE(entry->visible);
    EXPECT_FALSE(entry->minimized);
    EXPECT_EQ(entry->owner, 0u); // the toolkit's hidden group leader is no owner

    lower->raise();
    EXPECT_TRUE(QTest::qWaitFor([&] {
        const auto now = platform::EnumTopLevelWindows();
        return IndexOf(now, *lower) < IndexOf(now, *upper);
    }));
}

TEST(WindowListTest, MinimisedHiddenAndOwnedWindows)
{
    const auto owner = ShowWindow(QStringLiteral("owner"), QRect(300, 300, 120, 90));
    QDialog owned(owner.get());
    owned.setWindowTitle(QStringLiteral("owned"));
    owned.setGeometry(320, 320, 100, 60);
    owned.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&owned));
    ASSERT_TRUE(QTest::qWaitFor([&] {
        const auto windows = platform::EnumTopLevelWindows();
        const platform::TopLevelWindow* entry = Find(windows, owned);
        return entry && entry->owner == owner->winId();
    }));

    auto normal = std::make_unique<QWidget>();
    normal->setWindowTitle(QStringLiteral("normal"));
    normal->setGeometry(500, 300, 120, 90);
    normal->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(normal.get()));
    normal->showMinimized();
    EXPECT_TRUE(QTest::qWaitFor([&] {
        const auto windows = platform::EnumTopLevelWindows();
        const platform::TopLevelWindow* entry = Find(windows, *normal);
        return entry && entry->minimized && !entry->visible;
    }));

    owner->hide();
    EXPECT_TRUE(QTest::qWaitFor([&] {
        const auto windows = platform::EnumTopLevelWindows();
        const platform::TopLevelWindow* entry = Find(windows, *owner);
        return !entry || !entry->visible;
    }));
}

} // namespace
