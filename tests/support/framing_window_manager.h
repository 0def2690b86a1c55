#pragma once
// A window manager of the tests' own, for an X display of their own. It frames
// windows the way openbox does: a window asked to be mapped goes into a frame
// made at (0, 0), where the frame's decoration is stacked below it (the X
// server tells the window so), and the frame goes to the window's place only
// afterwards, with nothing said to the window when that place is the one it
// asked for. It only takes its time between the two steps, so that what the
// window's program handles meanwhile meets the frame half built, every time.
// Framed windows' configure requests are carried out on the frame and
// answered as ICCCM asks (a ConfigureNotify sent in root coordinates); a
// window that is unmapped leaves its frame for the root window at its place.
#include <QObject>
#include <QSocketNotifier>
#include <QString>
#include <map>
#include <memory>

struct xcb_connection_t;
struct xcb_map_request_event_t;
struct xcb_configure_request_event_t;

namespace lmd::test {

class FramingWindowManager : public QObject
{
public:
    // Manages the display (":N"), taking `framingMs` between a window's
    // reparenting and its frame's move; runs in this thread's event loop.
    FramingWindowManager(const QString& display, int framingMs);
    ~FramingWindowManager() override;
    FramingWindowManager(const FramingWindowManager&) = delete;
    FramingWindowManager& operator=(const FramingWindowManager&) = delete;

    // Whether it manages the display (false when the display cannot be opened
    // or another window manager runs there).
    bool IsRunning() const { return notifier_ != nullptr; }

private:
    void HandleEvents();
    void OnMapRequest(const xcb_map_request_event_t& request);
    void OnConfigureRequest(const xcb_configure_request_event_t& request);
    void Place(unsigned client, unsigned frame);
    void Unframe(unsigned client);
    void TellPlace(unsigned client);

    // A framed window's frame and the place the window asked for.
    struct Frame
    {
        unsigned frame;
        int x;
        int y;
    };

    xcb_connection_t* connection_ = nullptr;
    unsigned root_ = 0;
    int framingMs_;
    std::map<unsigned, Frame> frames_; // by the framed window
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace lmd::test
