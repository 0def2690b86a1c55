#include "tests/support/shown_windows.h"

#include "platform/window_list.h"
#include "platform/x11_window.h"
#include "tests/support/xdotool.h"

#include <QEvent>
#include <QTest>
#include <algorithm>

namespace lmd::test {

std::optional<std::ptrdiff_t> StackingDepth(const QWidget& window)
{
    const platform::WindowId id = platform::CurrentXWindow(window);
    const std::vector<platform::TopLevelWindow> windows = platform::EnumTopLevelWindows();
    const auto found =
        std::find_if(windows.begin(), windows.end(), [id](const platform::TopLevelWindow& w) { return w.id == id; });
    if (id == 0 || found == windows.end())
        return std::nullopt;
    return found - windows.begin();
}

bool StandsAbove(const QWidget& upper, const QWidget& lower)
{
    return QTest::qWaitFor(
        [&] {
            const auto up = StackingDepth(upper);
            const auto down = StackingDepth(lower);
            return up && down && *up < *down;
        },
        5000);
}

PressRecorder::PressRecorder()
{
    qApp->installEventFilter(this);
}

bool PressRecorder::Reached(const QWidget& window) const
{
    return std::find(windows_.begin(), windows_.end(), &window) != windows_.end();
}

bool PressRecorder::eventFilter(QObject* receiver, QEvent* event)
{
    const bool press = event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick;
    if (press && event->spontaneous()) {
        if (auto* widget = qobject_cast<QWidget*>(receiver))
            windows_.emplace_back(widget->window());
    }
    return false;
}

bool ClickReaches(QPoint point, const QWidget& window)
{
    PressRecorder presses;
    Click(point);
    return QTest::qWaitFor([&] { return presses.Reached(window); }, 5000);
}

} // namespace lmd::test
