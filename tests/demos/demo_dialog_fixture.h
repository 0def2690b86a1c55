#pragma once
// Helpers of the DEMO dialog suites: demos that record what they are given, a
// stand-in main window that counts WM_DEMO_CLOSED, waits for frames and for
// pointer moves, the caption's close as the window manager sends it, and the
// dialogs that are open.
#include "demos/core/base_app.h"
#include "demos/demo_list.h"
#include "demos/gax_dlg.h"
#include "platform/messages.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QWidget>
#include <cstdint>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace lmd::test {

// What the recording demos of one entry saw (over every app the entry made).
struct DemoRecord
{
    int created = 0;
    int setups = 0;
    int destroyed = 0;
    int frames = 0;
    std::vector<std::int64_t> frameNumbers; // gaxCore::frameNum at each update
    std::vector<int> keys;
    std::vector<std::string> mouse;
    int pauseAtFrame = 0; // > 0: the demo clears its running flag in that frame
};

class RecordingDemo : public gaBaseApp
{
public:
    RecordingDemo(DemoRecord& record, std::uint32_t colour) : m_record(record), m_colour(colour)
    {
        ++m_record.created;
    }
    ~RecordingDemo() override { ++m_record.destroyed; }

    void setup() override { ++m_record.setups; }
    void update() override
    {
        ++m_record.frames;
        m_record.frameNumbers.push_back(core().frameNum);
        if (m_record.frames == m_record.pauseAtFrame)
            currentCore->running = false;
    }
    void draw() override
    {
        gaBaseApp::draw();
        gaSetColor(m_colour); // the left half, so the canvas can be told from its back buffer
        gaDrawRectangle(0, 0, 240, 480);
    }
    void keyPressed(int key) override { m_record.keys.push_back(key); }
    void mouseMoved(int x, int y) override { Note("moved", x, y, -1); }
    void mouseDragged(int x, int y, int button) override { Note("dragged", x, y, button); }
    void mousePressed(int x, int y, int button) override
    {
        gaBaseApp::mousePressed(x, y, button);
        Note("pressed", x, y, button);
    }
    void mouseReleased(int x, int y, int button) override { Note("released", x, y, button); }

private:
    void Note(const char* what, int x, int y, int button)
    {
        std::string line = std::string(what) + " " + std::to_string(x) + " " + std::to_string(y);
        if (button >= 0)
            line += " " + std::to_string(button);
        m_record.mouse.push_back(line);
    }

    DemoRecord& m_record;
    const std::uint32_t m_colour;
};

inline DemoEntry RecordingEntry(const char* name, DemoRecord& record, std::uint32_t colour = 0xFF3060A0)
{
    return {QString::fromUtf8(name),
            [&record, colour] { return std::make_unique<RecordingDemo>(record, colour); }};
}

// The main window as the DEMO dialog sees it: it counts WM_DEMO_CLOSED.
class MainWindowStub : public QObject
{
public:
    MainWindowStub() { platform::RegisterMainWindow(this); }
    ~MainWindowStub() override { platform::RegisterMainWindow(nullptr); }
    int demoClosed = 0;

protected:
    bool event(QEvent* event) override
    {
        if (event->type() == platform::AppMessageEvent::EventType() &&
            static_cast<platform::AppMessageEvent*>(event)->message == platform::WM_DEMO_CLOSED) {
            ++demoClosed;
            return true;
        }
        return QObject::event(event);
    }
};

// How long a wait on the dialog may last before the test gives up: the waits
// count frames and events, never time, and this bound is only reached by a
// dialog that stopped. A sanitized build on a loaded machine may take a tenth
// of a second or more for one frame of a heavy demo.
inline constexpr int kPatienceMs = 120000;

// Waits until the dialog has run `more` frames from now.
inline bool WaitForFrames(const CGaxDlg& dialog, int more)
{
    const int target = dialog.FrameCount() + more;
    return QTest::qWaitFor([&] { return dialog.FrameCount() >= target; }, kPatienceMs);
}

// The pointer moves a widget has been given. A move made through the X server
// (a warped pointer, xdotool) reaches the widget some time later, and moves
// still queued together reach it as one: a test that waits for each move
// before it makes the next gives the widget every move, in order.
class PointerMoves : public QObject
{
public:
    explicit PointerMoves(QWidget& widget) : m_widget(widget) { m_widget.installEventFilter(this); }
    ~PointerMoves() override { m_widget.removeEventFilter(this); }
    PointerMoves(const PointerMoves&) = delete;
    PointerMoves& operator=(const PointerMoves&) = delete;

    // Waits until the widget has had a move to the point (its own coordinates).
    bool WaitFor(QPoint point) const
    {
        return QTest::qWaitFor([&] { return m_last == point; }, kPatienceMs);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == &m_widget && event->type() == QEvent::MouseMove)
            m_last = static_cast<QMouseEvent*>(event)->position().toPoint();
        return QObject::eventFilter(watched, event);
    }

private:
    QWidget& m_widget;
    std::optional<QPoint> m_last;
};

// The caption's close button as the window manager passes it on:
// WM_DELETE_WINDOW to the window.
void SendCaptionClose(QWidget& window);

// A DEMO dialog running the demos (the seventeen unless others are given),
// shown and active.
inline std::unique_ptr<CGaxDlg> OpenDemoDialog(std::vector<DemoEntry> demos = MakeDemoList())
{
    auto dialog = std::make_unique<CGaxDlg>();
    dialog->Create(std::move(demos));
    dialog->show();
    dialog->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    return dialog;
}

// The DEMO dialogs that exist now (shown or hidden).
inline std::vector<CGaxDlg*> DemoDialogs()
{
    std::vector<CGaxDlg*> dialogs;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* dialog = dynamic_cast<CGaxDlg*>(widget))
            dialogs.push_back(dialog);
    return dialogs;
}

} // namespace lmd::test
