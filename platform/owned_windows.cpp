#include "platform/owned_windows.h"

#include "platform/window_list.h"
#include "platform/x11_window.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QEventLoop>
#include <QExposeEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

// Xlib last: its macros clash with Qt names.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace platform {

namespace {

// The top-level widget whose window owns window, or null.
QWidget* OwnerOf(const QWidget& window)
{
    const QWindow* const handle = window.windowHandle();
    const QWindow* const owner = handle ? handle->transientParent() : nullptr;
    if (!owner)
        return nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->windowHandle() == owner)
            return widget;
    }
    return nullptr;
}

bool Owns(const QWidget& owner, const QWidget& window)
{
    for (const QWidget* up = OwnerOf(window); up; up = OwnerOf(*up)) {
        if (up == &owner)
            return true;
    }
    return false;
}

// The shown windows that owner owns, directly or through others, bottom to
// top as they stand now.
std::vector<QWidget*> ShownOwnedWindows(const QWidget& owner)
{
    std::vector<QWidget*> owned;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible() && CurrentXWindow(*widget) && Owns(owner, *widget))
            owned.push_back(widget);
    }
    if (owned.size() < 2)
        return owned;
    const std::vector<TopLevelWindow> stacking = EnumTopLevelWindows(); // topmost first
    const auto depth = [&](const QWidget* widget) {
        const WindowId id = CurrentXWindow(*widget);
        return std::find_if(stacking.begin(), stacking.end(),
                            [id](const TopLevelWindow& w) { return w.id == id; }) -
               stacking.begin();
    };
    std::stable_sort(owned.begin(), owned.end(),
                     [&](const QWidget* a, const QWidget* b) { return depth(a) > depth(b); });
    return owned;
}

// WM_TRANSIENT_FOR of the window's X window: its owner's X window as it is now.
void NameOwner(const QWidget& window, const QWidget& owner)
{
    Display* const display = XDisplay();
    const unsigned long id = CurrentXWindow(window);
    const unsigned long ownerId = CurrentXWindow(owner);
    if (!display || !id || !ownerId)
        return;
    XSetTransientForHint(display, id, ownerId);
    XFlush(display);
}

// Puts the shown window just above the shown sibling: directly without a
// window manager, as a request to it (ICCCM 4.1.5) under one.
void StackAbove(const QWidget& window, const QWidget& sibling)
{
    Display* const display = XDisplay();
    const unsigned long id = CurrentXWindow(window);
    const unsigned long siblingId = CurrentXWindow(sibling);
    if (!display || !id || !siblingId)
        return;
    XWindowChanges changes{};
    changes.sibling = siblingId;
    changes.stack_mode = Above;
    XReconfigureWMWindow(display, id, DefaultScreen(display), CWSibling | CWStackMode, &changes);
    XFlush(display);
}

// Follows the shows of an owned window and of an owner.
class OwnershipWatch final : public QObject
{
public:
    static constexpr const char* kName = "lmd-owned-windows";

    static void Install(QWidget& widget)
    {
        if (!widget.findChild<OwnershipWatch*>(QString::fromLatin1(kName), Qt::FindDirectChildrenOnly))
            new OwnershipWatch(widget); // owned by the widget, as its child
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // After show() mapped the X window (a new one, too). A window mapped
        // shows on top of its owner's other windows; its own go above it.
        if (watched == &widget_ && event->type() == QEvent::ShowToParent) {
            Restack();
            WatchExposure();
            awaitingExposure_ = true;
            return false;
        }
        // A window manager takes the window over between the map and its
        // first exposure, and reads WM_TRANSIENT_FOR of the owned windows
        // only for windows it already manages: named and stacked before
        // that, they may stay in a lower layer than a stays-on-top owner.
        // So once more when the window first shows on the screen.
        // (Xlib's Expose macro hides QEvent's name: the event's class tells.)
        if (awaitingExposure_ && watched == exposureSource_ && dynamic_cast<const QExposeEvent*>(event) &&
            exposureSource_->isExposed()) {
            awaitingExposure_ = false;
            Restack();
        }
        return false;
    }

private:
    explicit OwnershipWatch(QWidget& widget) : QObject(&widget), widget_(widget)
    {
        setObjectName(QString::fromLatin1(kName));
        widget.installEventFilter(this);
    }

    void Restack() const
    {
        if (const QWidget* const owner = OwnerOf(widget_))
            NameOwner(widget_, *owner);
        RaiseOwnedWindows(widget_);
    }

    // The widget's QWindow, which a change of window flags may replace.
    void WatchExposure()
    {
        QWindow* const handle = widget_.windowHandle();
        if (handle == exposureSource_)
            return;
        if (exposureSource_)
            exposureSource_->removeEventFilter(this);
        exposureSource_ = handle;
        if (handle)
            handle->installEventFilter(this);
    }

    QWidget& widget_;
    QPointer<QWindow> exposureSource_;
    bool awaitingExposure_ = false;
};

// One modal run of a dialog: keeps the owner disabled until the dialog
// finishes, then tells done. A child of the dialog, so it goes with it.
class ModalRun final : public QObject
{
public:
    ModalRun(QDialog& dialog, QWidget* owner, std::function<void(int)> done)
        : QObject(&dialog), dialog_(dialog), owner_(owner), done_(std::move(done))
    {
        if (owner_ && owner_->isEnabled())
            owner_->setEnabled(false);
        else
            owner_ = nullptr; // not ours to enable again
        connect(&dialog, &QDialog::finished, this, &ModalRun::Finish);
        dialog.installEventFilter(this);
    }
    ~ModalRun() override { EnableOwner(); }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        // Hidden without finishing (hide() rather than done()): finished, once
        // the hide has run its course and unless it was part of done().
        if (event->type() == QEvent::Hide && !event->spontaneous())
            QTimer::singleShot(0, this, [this] {
                if (!dialog_.isVisible())
                    Finish(dialog_.result());
            });
        return false;
    }

private:
    void Finish(int result)
    {
        if (finished_)
            return;
        finished_ = true;
        dialog_.removeEventFilter(this);
        EnableOwner();
        deleteLater();
        if (done_)
            std::exchange(done_, nullptr)(result);
    }

    void EnableOwner()
    {
        if (owner_)
            std::exchange(owner_, nullptr)->setEnabled(true);
    }

    QDialog& dialog_;
    QPointer<QWidget> owner_;
    std::function<void(int)> done_;
    bool finished_ = false;
};

} // namespace

void SetOwner(QWidget& window, QWidget& owner)
{
    QWidget& top = *owner.window();
    if (&top == &window || !window.isWindow())
        return;
    // Both need their QWindow; the owned one's transient parent is what Qt
    // writes into WM_TRANSIENT_FOR when it shows a dialog or tool window.
    window.winId();
    top.winId();
    window.windowHandle()->setTransientParent(top.windowHandle());
    OwnershipWatch::Install(window);
    OwnershipWatch::Install(top);
    if (window.isVisible()) {
        NameOwner(window, top);
        RaiseOwnedWindows(top);
    }
}

void RaiseOwnedWindows(QWidget& owner)
{
    if (!owner.isVisible())
        return;
    const QWidget* below = &owner;
    for (const QWidget* window : ShownOwnedWindows(owner)) {
        if (const QWidget* const directOwner = OwnerOf(*window))
            NameOwner(*window, *directOwner);
        StackAbove(*window, *below);
        below = window;
    }
}

void OpenModal(QDialog& dialog, QWidget* owner, std::function<void(int result)> done)
{
    QWidget* const top = owner ? owner->window() : nullptr;
    if (top)
        SetOwner(dialog, *top);
    dialog.setWindowModality(Qt::NonModal);
    dialog.setResult(QDialog::Rejected);
    new ModalRun(dialog, top, std::move(done)); // owned by the dialog, as its child
    dialog.show();
    dialog.raise();
    dialog.activateWindow();
}

int RunModal(QDialog& dialog, QWidget* owner)
{
    QEventLoop loop;
    bool finished = false;
    // The dialog may finish after this frame has gone (the program ended the
    // loop, the caller kept the dialog): then there is nothing to tell.
    const QPointer<QEventLoop> alive(&loop);
    OpenModal(dialog, owner, [alive, &finished](int) {
        if (!alive)
            return;
        finished = true;
        alive->quit();
    });
    if (!finished)
        loop.exec(QEventLoop::DialogExec);
    return finished ? dialog.result() : static_cast<int>(QDialog::Rejected);
}

} // namespace platform
