#pragma once
// The main window's message API: other parts of the program (effects, dialogs,
// tickers) talk to the clock window through these WM_APP-range messages,
// delivered as custom QEvents to the one registered main window.
#include <QEvent>
#include <QObject>

#include <cstdint>
#include <memory>
#include <string>

namespace platform {

// Message values as the clock defines them.
enum AppMessage : unsigned {
    WM_RECAPTURE_BACKGROUND = 0x8000,
    WM_TRAY_NOTIFY = 0x8001,
    WM_SET_ZOOM = 0x8002,
    WM_SET_FRAME_TYPE = 0x8003,
    WM_DOT_COLORS_CHANGED = 0x8004,
    WM_SET_HANDS_COLOR = 0x8005,
    WM_SET_CLOCK_FACE = 0x8006,
    WM_SET_FILTER = 0x800A,
    WM_SET_IMAGE_SOURCE = 0x800B,
    WM_SHOW_ERROR = 0x800C,
    WM_ALARM_CLOSED = 0x8014,
    WM_ALARM_SNOOZE = 0x8015,
    WM_DEMO_CLOSED = 0x8028,
    WM_OPEN_DEMO = 0x8029,
    // The window's own state, sent by the settings pages so that it changes at once.
    WM_SET_TOPMOST = 0x8030, // wParam 1: kept above other windows; 0: not
    WM_SET_ALPHA = 0x8031,   // wParam: the constant alpha (its low 8 bits count)
    // Rebuilds the external frame from the image the text names (none: the
    // default picture), with gradation when wParam is 1; does not select it.
    WM_CREATE_EXT_FRAME = 0x8032,
};

using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

// One message in flight. A text travels with its message and is freed with it
// (WM_SHOW_ERROR's error text, WM_SET_IMAGE_SOURCE's folder), so it is never
// lost or leaked, whether or not the message is delivered.
class AppMessageEvent final : public QEvent {
public:
    static QEvent::Type EventType();

    AppMessageEvent(unsigned message, WPARAM wParam, LPARAM lParam, std::unique_ptr<std::string> text);

    unsigned message;
    WPARAM wParam;
    LPARAM lParam;
    std::unique_ptr<std::string> text; // UTF-8; null when the message carries none
    LRESULT result = 0;                // set by the receiver (SendAppMessage returns it)
};

// The window that receives the messages (the clock window); null unregisters.
// The receiver handles AppMessageEvent in its QObject::event().
void RegisterMainWindow(QObject* window);
QObject* MainWindow();

// Queued delivery on the GUI thread. Safe from any thread. Returns false when no
// main window is registered (the text is freed then).
bool PostAppMessage(unsigned message, WPARAM wParam = 0, LPARAM lParam = 0,
                    std::unique_ptr<std::string> text = nullptr);

// Immediate delivery (GUI thread only); returns the receiver's result, 0 when none.
LRESULT SendAppMessage(unsigned message, WPARAM wParam = 0, LPARAM lParam = 0,
                       std::unique_ptr<std::string> text = nullptr);

} // namespace platform
