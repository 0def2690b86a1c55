#pragma once
// Owned windows and modal runs, as the clock's windows need them.
//
// A window the clock opens (a dialog, a popup, a message box, a ticker) is
// owned by the window that opens it: it always stands above its owner, and
// while the owner is kept on top of other windows, so is it. Under a window
// manager that follows the freedesktop hints this is the window manager's work,
// told through WM_TRANSIENT_FOR, which names the owner's X window as it is now
// (Qt makes the owner a new X window when its stays-on-top flag changes; the
// owned windows follow). Without one, the owned windows are stacked just above
// their owner each time it or they show.
//
// A modal run is modal to its owner only: the owner takes no input while the
// dialog is up (it keeps painting); every other window of the program, the
// clock's menus and the tray icon's included, keeps working. Qt's own window
// modality is not used for it: Qt blocks every window related to the modal
// one through owners, and every window of the program is owned by the clock.
//
// Owned windows and modal dialogs are top-level widgets without a parent
// widget: a disabled owner would disable its child widgets, and a child widget
// would go with its parent.
#include <functional>

class QDialog;
class QWidget;

namespace platform {

// Makes owner's top-level window the owner of window, now and for every later
// show of either; a later call names another owner.
void SetOwner(QWidget& window, QWidget& owner);

// Stacks the shown windows that owner owns just above it, and theirs above
// them. Called after owner was raised; each show of the owner does it itself.
void RaiseOwnedWindows(QWidget& owner);

// Shows dialog as owned by owner (when given) and modal to it: owner is
// disabled until the dialog finishes (accept, reject, done, its close box, or
// a plain hide), then enabled again (if it was) and done gets the dialog's
// result. Returns at once. A dialog destroyed before it finished enables the
// owner and calls nothing.
void OpenModal(QDialog& dialog, QWidget* owner, std::function<void(int result)> done);

// The same, waiting in a local event loop until the dialog finishes; returns
// its result. The program's end ends the loop: then the dialog is still up,
// the result is QDialog::Rejected, and the caller's frame unwinds.
int RunModal(QDialog& dialog, QWidget* owner);

} // namespace platform
