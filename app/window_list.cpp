#include "app/window_list.h"

#include <algorithm>

bool WindowInfo::Differs(const WindowInfo& other) const
{
    return className != other.className || title != other.title || rect != other.rect;
}

std::vector<WindowInfo> OverlappingWindows(const std::vector<platform::TopLevelWindow>& windows,
                                           const QRect& clockRect, const QString& clockClass, bool dropAbove)
{
    std::vector<WindowInfo> list;
    for (const platform::TopLevelWindow& window : windows) {
        if (window.visible && !window.minimized && window.rect.intersects(clockRect))
            list.push_back({window.rect, window.title, window.className});
    }
    if (dropAbove) {
        const auto clock = std::find_if(list.begin(), list.end(),
                                        [&](const WindowInfo& info) { return info.className == clockClass; });
        if (clock != list.end())
            list.erase(list.begin(), clock);
    }
    return list;
}

int RecapturesFor(const std::vector<WindowInfo>& previous, const std::vector<WindowInfo>& current,
                  bool oneForAnyChange)
{
    if (previous.size() != current.size())
        return 1;
    int changes = 0;
    for (std::size_t i = 0; i < current.size(); ++i) {
        if (previous[i].Differs(current[i])) {
            if (oneForAnyChange)
                return 1;
            ++changes;
        }
    }
    return changes;
}

std::vector<platform::TopLevelWindow> WindowsBelow(const std::vector<platform::TopLevelWindow>& windows,
                                                   platform::WindowId clock, const QRect& clockRect)
{
    std::vector<platform::TopLevelWindow> below;
    const auto self =
        std::find_if(windows.begin(), windows.end(),
                     [clock](const platform::TopLevelWindow& window) { return window.id == clock; });
    if (self == windows.end())
        return below;
    int walked = 0;
    for (auto it = std::next(self); it != windows.end() && walked < kMaxWindowsBelow; ++it, ++walked) {
        if (it->visible && !it->minimized && it->owner == 0 && !it->title.isEmpty() &&
            it->className != QLatin1String("Progman") && it->rect.intersects(clockRect))
            below.push_back(*it);
    }
    return below;
}
