#pragma once
// The program's top-level windows as a test looks at them on the display:
// the one of a kind that is shown (how a test finds the dialog a modal run
// has open: the runs are modal to their owner only, so Qt knows no modal
// widget), where one stands in the stacking order, and which ones the real
// presses of the mouse button reached.
#include <QApplication>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <cstddef>
#include <optional>
#include <vector>

namespace lmd::test {

// The shown top-level window of type T, or null; the last one Qt lists when
// there are several.
template <typename T> T* ShownWindow()
{
    T* found = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* window = dynamic_cast<T*>(widget); window && window->isVisible())
            found = window;
    }
    return found;
}

// Where the window stands in the desktop's stacking order, 0 on top; nullopt
// when the desktop does not list it.
std::optional<std::ptrdiff_t> StackingDepth(const QWidget& window);

// Whether upper stands above lower, waiting up to a few seconds for the
// window manager to have done its part.
bool StandsAbove(const QWidget& upper, const QWidget& lower);

// The top-level windows that real presses of a mouse button reached (a
// second click at the same place soon after comes as a double click: it
// counts too), from its making on.
class PressRecorder : public QObject
{
public:
    PressRecorder();
    bool Reached(const QWidget& window) const;

protected:
    bool eventFilter(QObject* receiver, QEvent* event) override;

private:
    std::vector<QPointer<QWidget>> windows_;
};

// Whether a real click at the point of the screen reaches the window.
bool ClickReaches(QPoint point, const QWidget& window);

} // namespace lmd::test
