// The overlap check's and the diagnostic list's choice of windows, on made-up
// desktops (topmost first).
#include "app/window_list.h"

#include <gtest/gtest.h>

namespace {

const QRect kClock(100, 100, 130, 130);

platform::TopLevelWindow Window(platform::WindowId id, const QString& className, const QRect& rect,
                                const QString& title = QStringLiteral("title"))
{
    platform::TopLevelWindow window;
    window.id = id;
    window.visible = true;
    window.className = className;
    window.title = title;
    window.rect = rect;
    return window;
}

std::vector<QString> Classes(const std::vector<WindowInfo>& list)
{
    std::vector<QString> classes;
    for (const WindowInfo& info : list)
        classes.push_back(info.className);
    return classes;
}

TEST(OverlappingWindowsTest, KeepsShownWindowsUnderTheClockAndDropsThoseAbove)
{
    std::vector<platform::TopLevelWindow> desktop = {
        Window(1, "Above", QRect(90, 90, 20, 20)),
        Window(2, "LMDClass", kClock),
        Window(3, "Hidden", kClock),
        Window(4, "Minimised", kClock),
        Window(5, "Away", QRect(230, 100, 50, 50)), // touches the clock's right edge only
        Window(6, "Under", QRect(0, 0, 101, 101)),
        Window(7, "Progman", QRect(0, 0, 1920, 1080)),
    };
    desktop[2].visible = false;
    desktop[3].minimized = true;

    EXPECT_EQ(Classes(OverlappingWindows(desktop, kClock, "LMDClass", false)),
              (std::vector<QString>{"Above", "LMDClass", "Under", "Progman"}));
    EXPECT_EQ(Classes(OverlappingWindows(desktop, kClock, "LMDClass", true)),
              (std::vector<QString>{"LMDClass", "Under", "Progman"}));
    // Without the clock in the list nothing counts as above it.
    desktop.erase(desktop.begin() + 1);
    EXPECT_EQ(Classes(OverlappingWindows(desktop, kClock, "LMDClass", true)),
              (std::vector<QString>{"Above", "Under", "Progman"}));
}

TEST(RecapturesForTest, OneForAnyChangeOrOnePerChangedPlace)
{
    const std::vector<WindowInfo> before = {{kClock, "Lumidial", "LMDClass"},
                                            {QRect(0, 0, 200, 200), "a", "A"},
                                            {QRect(0, 0, 900, 900), "b", "B"}};
    struct Case
    {
        const char* what;
        std::vector<WindowInfo> after;
        int timed;
        int manual;
    };
    std::vector<WindowInfo> title = before;
    title[1].title = "a2";
    std::vector<WindowInfo> rectAndClass = before;
    rectAndClass[1].rect.translate(1, 0);
    rectAndClass[2].className = "C";
    std::vector<WindowInfo> shorter(before.begin(), before.end() - 1);
    const Case cases[] = {
        {"same", before, 0, 0},    {"title", title, 1, 1},         {"two places", rectAndClass, 1, 2},
        {"length", shorter, 1, 1}, {"from nothing", before, 1, 1},
    };
    for (const Case& c : cases) {
        const std::vector<WindowInfo>& previous =
            std::string(c.what) == "from nothing" ? std::vector<WindowInfo>{} : before;
        EXPECT_EQ(RecapturesFor(previous, c.after, true), c.timed) << c.what;
        EXPECT_EQ(RecapturesFor(previous, c.after, false), c.manual) << c.what;
    }
}

TEST(WindowsBelowTest, KeepsTitledUnownedShownWindowsUnderTheClockWithinTheWalk)
{
    std::vector<platform::TopLevelWindow> desktop = {
        Window(1, "Above", kClock),
        Window(2, "LMDClass", kClock, "Lumidial"),
        Window(3, "Kept", kClock),
        Window(4, "Owned", kClock),
        Window(5, "Untitled", kClock, QString()),
        Window(6, "Progman", kClock),
        Window(7, "Hidden", kClock),
        Window(8, "Minimised", kClock),
        Window(9, "Away", QRect(500, 500, 10, 10)),
    };
    desktop[3].owner = 3;
    desktop[6].visible = false;
    desktop[7].minimized = true;
    // Filler windows down to the last one the walk reaches, and one beyond it.
    while (desktop.size() < 2 + kMaxWindowsBelow - 1)
        desktop.push_back(Window(100 + desktop.size(), "Filler", QRect(900, 900, 5, 5)));
    desktop.push_back(Window(5000, "Last", kClock));
    desktop.push_back(Window(5001, "Beyond", kClock));

    std::vector<QString> kept;
    for (const platform::TopLevelWindow& window : WindowsBelow(desktop, 2, kClock))
        kept.push_back(window.className);
    EXPECT_EQ(kept, (std::vector<QString>{"Kept", "Last"}));
    EXPECT_TRUE(WindowsBelow(desktop, 12345, kClock).empty()); // the clock not listed
}

} // namespace
