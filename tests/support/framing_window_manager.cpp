#include "tests/support/framing_window_manager.h"

#include <QTimer>
#include <cstdlib>
#include <vector>
#include <xcb/xcb.h>

namespace lmd::test {

namespace {

template <typename T> using Reply = std::unique_ptr<T, decltype(&std::free)>;

constexpr uint32_t kFrameEvents = XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;

} // namespace

FramingWindowManager::FramingWindowManager(const QString& display, int framingMs) : framingMs_(framingMs)
{
    int screenNumber = 0;
    connection_ = xcb_connect(display.toLatin1().constData(), &screenNumber);
    if (xcb_connection_has_error(connection_))
        return;
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection_));
    for (int n = 0; n < screenNumber && screens.rem; ++n)
        xcb_screen_next(&screens);
    root_ = screens.data->root;
    // Only one client may redirect the root window's children: the window manager.
    const Reply<xcb_generic_error_t> refused(
        xcb_request_check(connection_, xcb_change_window_attributes_checked(
                                           connection_, root_, XCB_CW_EVENT_MASK, &kFrameEvents)),
        &std::free);
    if (refused)
        return;
    notifier_ =
        std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(connection_), QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, [this] { HandleEvents(); });
    HandleEvents();
}

FramingWindowManager::~FramingWindowManager()
{
    notifier_.reset();
    xcb_disconnect(connection_);
}

void FramingWindowManager::HandleEvents()
{
    while (xcb_generic_event_t* const raw = xcb_poll_for_event(connection_)) {
        const Reply<xcb_generic_event_t> event(raw, &std::free);
        switch (event->response_type & 0x7F) {
        case XCB_MAP_REQUEST:
            OnMapRequest(*reinterpret_cast<const xcb_map_request_event_t*>(raw));
            break;
        case XCB_CONFIGURE_REQUEST:
            OnConfigureRequest(*reinterpret_cast<const xcb_configure_request_event_t*>(raw));
            break;
        case XCB_UNMAP_NOTIFY: // the program's own unmap, or the one it sends the root (ICCCM withdraw)
            Unframe(reinterpret_cast<const xcb_unmap_notify_event_t*>(raw)->window);
            break;
        case XCB_DESTROY_NOTIFY:
            Unframe(reinterpret_cast<const xcb_destroy_notify_event_t*>(raw)->window);
            break;
        default: // errors included: a window gone meanwhile
            break;
        }
    }
    xcb_flush(connection_);
}

void FramingWindowManager::OnMapRequest(const xcb_map_request_event_t& request)
{
    const xcb_window_t client = request.window;
    if (frames_.count(client))
        return;
    const Reply<xcb_get_geometry_reply_t> place(
        xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, client), nullptr), &std::free);
    if (!place)
        return;
    // The frame, made at (0, 0) with the window at its top-left corner.
    const xcb_window_t frame = xcb_generate_id(connection_);
    xcb_create_window(connection_, XCB_COPY_FROM_PARENT, frame, root_, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &kFrameEvents);
    xcb_reparent_window(connection_, client, frame, 0, 0);
    // A handle of the frame (an input-only pixel in its corner), made above the
    // window and then stacked below it, as frames with decorations do: the X
    // server tells the window of its new stacking place, while the frame still
    // stands at (0, 0).
    const xcb_window_t handle = xcb_generate_id(connection_);
    xcb_create_window(connection_, 0, handle, frame, 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                      XCB_COPY_FROM_PARENT, 0, nullptr);
    xcb_map_window(connection_, handle);
    const uint32_t above = XCB_STACK_MODE_ABOVE;
    xcb_configure_window(connection_, client, XCB_CONFIG_WINDOW_STACK_MODE, &above);
    frames_[client] = {frame, place->x, place->y};
    xcb_flush(connection_);
    QTimer::singleShot(framingMs_, this, [this, client, frame] { Place(client, frame); });
}

void FramingWindowManager::Place(unsigned client, unsigned frame)
{
    const auto framed = frames_.find(client);
    if (framed == frames_.end() || framed->second.frame != frame)
        return; // unmapped or gone meanwhile
    const Reply<xcb_get_geometry_reply_t> size(
        xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, client), nullptr), &std::free);
    if (!size)
        return;
    const uint32_t place[] = {static_cast<uint32_t>(framed->second.x),
                              static_cast<uint32_t>(framed->second.y), size->width, size->height};
    xcb_configure_window(connection_, frame,
                         XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH |
                             XCB_CONFIG_WINDOW_HEIGHT,
                         place);
    xcb_map_window(connection_, client);
    xcb_map_window(connection_, frame);
    HandleEvents(); // also those read with the reply above
}

void FramingWindowManager::OnConfigureRequest(const xcb_configure_request_event_t& request)
{
    const auto framed = frames_.find(request.window);
    if (framed == frames_.end()) {
        // Not framed: carried out as asked, the values in the order of their mask bits.
        std::vector<uint32_t> values;
        const auto add = [&](uint16_t bit, uint32_t value) {
            if (request.value_mask & bit)
                values.push_back(value);
        };
        add(XCB_CONFIG_WINDOW_X, static_cast<uint32_t>(request.x));
        add(XCB_CONFIG_WINDOW_Y, static_cast<uint32_t>(request.y));
        add(XCB_CONFIG_WINDOW_WIDTH, request.width);
        add(XCB_CONFIG_WINDOW_HEIGHT, request.height);
        add(XCB_CONFIG_WINDOW_BORDER_WIDTH, request.border_width);
        add(XCB_CONFIG_WINDOW_SIBLING, request.sibling);
        add(XCB_CONFIG_WINDOW_STACK_MODE, request.stack_mode);
        xcb_configure_window(connection_, request.window, request.value_mask, values.data());
        return;
    }
    // Framed: the frame takes the place, frame and window the size.
    Frame& frame = framed->second;
    if (request.value_mask & XCB_CONFIG_WINDOW_X)
        frame.x = request.x;
    if (request.value_mask & XCB_CONFIG_WINDOW_Y)
        frame.y = request.y;
    const uint32_t place[] = {static_cast<uint32_t>(frame.x), static_cast<uint32_t>(frame.y)};
    xcb_configure_window(connection_, frame.frame, XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y, place);
    const uint16_t sizeMask = request.value_mask & (XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT);
    std::vector<uint32_t> size;
    if (sizeMask & XCB_CONFIG_WINDOW_WIDTH)
        size.push_back(request.width);
    if (sizeMask & XCB_CONFIG_WINDOW_HEIGHT)
        size.push_back(request.height);
    if (sizeMask) {
        xcb_configure_window(connection_, frame.frame, sizeMask, size.data());
        xcb_configure_window(connection_, request.window, sizeMask, size.data());
    }
    TellPlace(request.window);
}

void FramingWindowManager::TellPlace(unsigned client)
{
    const Frame& frame = frames_.at(client);
    const Reply<xcb_get_geometry_reply_t> size(
        xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, client), nullptr), &std::free);
    if (!size)
        return;
    // An event goes out as 32 bytes, more than the event's own structure holds.
    char buffer[32] = {};
    auto* const notify = reinterpret_cast<xcb_configure_notify_event_t*>(buffer);
    notify->response_type = XCB_CONFIGURE_NOTIFY;
    notify->event = client;
    notify->window = client;
    notify->x = static_cast<int16_t>(frame.x);
    notify->y = static_cast<int16_t>(frame.y);
    notify->width = size->width;
    notify->height = size->height;
    xcb_send_event(connection_, 0, client, XCB_EVENT_MASK_STRUCTURE_NOTIFY, buffer);
}

void FramingWindowManager::Unframe(unsigned client)
{
    const auto framed = frames_.find(client);
    if (framed == frames_.end())
        return;
    const Frame frame = framed->second;
    frames_.erase(framed);
    // A window destroyed meanwhile makes the reparent fail: its error is dropped.
    xcb_reparent_window(connection_, client, root_, static_cast<int16_t>(frame.x),
                        static_cast<int16_t>(frame.y));
    xcb_destroy_window(connection_, frame.frame);
}

} // namespace lmd::test
