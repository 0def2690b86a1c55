#include "platform/window_list.h"

#include <QByteArray>
#include <QGuiApplication>
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <numeric>
#include <optional>
#include <span>
#include <string_view>
#include <xcb/xcb.h>

// Xlib last: its macros clash with Qt names.
#include <X11/Xlib.h>

// The list is read over Qt's own connection in a handful of round trips,
// whatever the number of windows: every request about every window is sent
// before the first reply is waited for. A request about a window that went
// away meanwhile fails; its error comes back with its reply and is dropped
// there, so none reaches Qt's event loop.
namespace platform {
namespace {

struct FreeDeleter
{
    void operator()(void* data) const { std::free(data); }
};
// A reply that xcb hands out and free releases; null when the request failed.
template <typename T> using Reply = std::unique_ptr<T, FreeDeleter>;

// Waits for the reply to a request. The error of a failed request (say, about
// a window gone meanwhile) comes back here instead and is dropped.
template <typename T, typename Cookie>
Reply<T> Collect(xcb_connection_t* connection, T* (*reply)(xcb_connection_t*, Cookie, xcb_generic_error_t**),
                 Cookie cookie)
{
    xcb_generic_error_t* error = nullptr;
    Reply<T> result(reply(connection, cookie, &error));
    std::free(error);
    return result;
}

constexpr uint32_t kMaxPropertyLength = 1 << 20; // in 32-bit units

xcb_get_property_cookie_t RequestProperty(xcb_connection_t* connection, xcb_window_t window,
                                          xcb_atom_t property, xcb_atom_t type)
{
    return xcb_get_property(connection, 0, window, property, type, 0, kMaxPropertyLength);
}

using Property = Reply<xcb_get_property_reply_t>;

// A property's items of format 32 (atoms, windows, numbers); empty when missing.
std::span<const uint32_t> Values(const Property& property)
{
    if (!property || property->format != 32)
        return {};
    return {static_cast<const uint32_t*>(xcb_get_property_value(property.get())), property->value_len};
}

// A property's bytes of format 8 (text); empty when missing.
QByteArray Bytes(const Property& property)
{
    if (!property || property->format != 8)
        return {};
    return {static_cast<const char*>(xcb_get_property_value(property.get())),
            xcb_get_property_value_length(property.get())};
}

bool Contains(const Property& property, xcb_atom_t atom)
{
    const std::span<const uint32_t> values = Values(property);
    return std::find(values.begin(), values.end(), atom) != values.end();
}

enum AtomName
{
    ClientListStacking,
    NetWmWindowType,
    NetWmWindowTypeDesktop,
    NetWmName,
    Utf8String,
    NetWmState,
    NetWmStateHidden,
    WmState,
    AtomCount
};
constexpr std::array<std::string_view, AtomCount> kAtomNames{"_NET_CLIENT_LIST_STACKING",
                                                             "_NET_WM_WINDOW_TYPE",
                                                             "_NET_WM_WINDOW_TYPE_DESKTOP",
                                                             "_NET_WM_NAME",
                                                             "UTF8_STRING",
                                                             "_NET_WM_STATE",
                                                             "_NET_WM_STATE_HIDDEN",
                                                             "WM_STATE"};
using Atoms = std::array<xcb_atom_t, AtomCount>;

Atoms InternAtoms(xcb_connection_t* connection)
{
    std::array<xcb_intern_atom_cookie_t, AtomCount> cookies{};
    std::transform(kAtomNames.begin(), kAtomNames.end(), cookies.begin(), [&](std::string_view name) {
        return xcb_intern_atom(connection, 0, static_cast<uint16_t>(name.size()), name.data());
    });
    Atoms atoms{};
    std::transform(cookies.begin(), cookies.end(), atoms.begin(), [&](xcb_intern_atom_cookie_t cookie) {
        const auto reply = Collect(connection, xcb_intern_atom_reply, cookie);
        return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    });
    return atoms;
}

// The properties read from every window, each asked for with its type.
enum WindowProperty
{
    WindowType,
    NetName,
    Name,
    Class,
    NetState,
    State,
    TransientFor,
    PropertyCount
};
using Properties = std::array<Property, PropertyCount>;

struct PropertyRequest
{
    xcb_atom_t property;
    xcb_atom_t type;
};

std::array<PropertyRequest, PropertyCount> WindowProperties(const Atoms& atoms)
{
    return {{{atoms[NetWmWindowType], XCB_ATOM_ATOM},
             {atoms[NetWmName], atoms[Utf8String]},
             {XCB_ATOM_WM_NAME, XCB_ATOM_STRING},
             {XCB_ATOM_WM_CLASS, XCB_ATOM_STRING},
             {atoms[NetWmState], XCB_ATOM_ATOM},
             {atoms[WmState], atoms[WmState]},
             {XCB_ATOM_WM_TRANSIENT_FOR, XCB_ATOM_WINDOW}}};
}

QString Title(const Properties& properties)
{
    const QByteArray utf8 = Bytes(properties[NetName]);
    if (!utf8.isEmpty())
        return QString::fromUtf8(utf8);
    // WM_NAME in the locale's encoding, read as a C string.
    return QString::fromLocal8Bit(Bytes(properties[Name]).constData());
}

QString ClassName(const Properties& properties, const Atoms& atoms)
{
    if (Contains(properties[WindowType], atoms[NetWmWindowTypeDesktop]))
        return QStringLiteral("Progman");
    // WM_CLASS holds the instance name and then the class name, each ended by a NUL.
    const QByteArray names = Bytes(properties[Class]);
    const qsizetype end = names.indexOf('\0');
    return end < 0 ? QString() : QString::fromLocal8Bit(names.constData() + end + 1);
}

bool Minimized(const Properties& properties, const Atoms& atoms)
{
    constexpr uint32_t kIconicState = 3;
    const std::span<const uint32_t> state = Values(properties[State]);
    return Contains(properties[NetState], atoms[NetWmStateHidden]) ||
           (!state.empty() && state[0] == kIconicState);
}

WindowId Owner(const Properties& properties)
{
    const std::span<const uint32_t> owner = Values(properties[TransientFor]);
    return owner.empty() ? 0 : owner[0];
}

// Top-level windows, topmost first.
std::vector<xcb_window_t> StackTopDown(xcb_connection_t* connection, xcb_window_t root, const Atoms& atoms)
{
    const Property managed =
        Collect(connection, xcb_get_property_reply,
                RequestProperty(connection, root, atoms[ClientListStacking], XCB_ATOM_WINDOW));
    const std::span<const uint32_t> stacking = Values(managed);
    if (!stacking.empty())
        return {stacking.rbegin(), stacking.rend()};
    const auto tree = Collect(connection, xcb_query_tree_reply, xcb_query_tree(connection, root));
    if (!tree)
        return {};
    const std::span<const xcb_window_t> children(xcb_query_tree_children(tree.get()),
                                                 xcb_query_tree_children_length(tree.get()));
    return {children.rbegin(), children.rend()};
}

// For each window the one that holds it among the root's children: the window
// manager's frame around a client, or the window itself. The tree is climbed
// one level at a time for all windows at once.
std::vector<xcb_window_t> OutermostAncestors(xcb_connection_t* connection, std::vector<xcb_window_t> windows)
{
    std::vector<std::size_t> climbing(windows.size());
    std::iota(climbing.begin(), climbing.end(), std::size_t{0});
    while (!climbing.empty()) {
        std::vector<xcb_query_tree_cookie_t> cookies;
        cookies.reserve(climbing.size());
        for (const std::size_t index : climbing)
            cookies.push_back(xcb_query_tree(connection, windows[index]));
        std::vector<std::size_t> higher;
        for (std::size_t i = 0; i < climbing.size(); ++i) {
            const auto tree = Collect(connection, xcb_query_tree_reply, cookies[i]);
            if (tree && tree->parent != tree->root && tree->parent != XCB_WINDOW_NONE) {
                windows[climbing[i]] = tree->parent;
                higher.push_back(climbing[i]);
            }
        }
        climbing = std::move(higher);
    }
    return windows;
}

// The requests about one window, sent before any reply is collected.
struct Requests
{
    xcb_get_window_attributes_cookie_t attributes;
    std::array<xcb_get_property_cookie_t, PropertyCount> properties;
    xcb_get_window_attributes_cookie_t outerAttributes{};
    xcb_get_geometry_cookie_t outerGeometry{};
};

Requests RequestAbout(xcb_connection_t* connection, xcb_window_t window,
                      const std::array<PropertyRequest, PropertyCount>& properties)
{
    Requests requests{xcb_get_window_attributes(connection, window), {}};
    std::transform(properties.begin(), properties.end(), requests.properties.begin(),
                   [&](const PropertyRequest& request) {
                       return RequestProperty(connection, window, request.property, request.type);
                   });
    return requests;
}

// Collects every reply to `requests`; the window when it was still there to
// be described.
std::optional<TopLevelWindow> Describe(xcb_connection_t* connection, xcb_window_t window,
                                       const Requests& requests, const Atoms& atoms)
{
    const auto attributes = Collect(connection, xcb_get_window_attributes_reply, requests.attributes);
    Properties properties;
    std::transform(requests.properties.begin(), requests.properties.end(), properties.begin(),
                   [&](xcb_get_property_cookie_t cookie) {
                       return Collect(connection, xcb_get_property_reply, cookie);
                   });
    const auto outer = Collect(connection, xcb_get_window_attributes_reply, requests.outerAttributes);
    const auto geometry = Collect(connection, xcb_get_geometry_reply, requests.outerGeometry);
    if (!attributes || !outer || !geometry)
        return std::nullopt;
    const int border = geometry->border_width;
    return TopLevelWindow{
        .id = window,
        .visible =
            attributes->map_state == XCB_MAP_STATE_VIEWABLE && outer->map_state == XCB_MAP_STATE_VIEWABLE,
        .minimized = Minimized(properties, atoms),
        .title = Title(properties),
        .className = ClassName(properties, atoms),
        .owner = Owner(properties),
        .rect = QRect(geometry->x, geometry->y, geometry->width + 2 * border, geometry->height + 2 * border)};
}

// Toolkits make their windows transient for the root or for a hidden group
// leader so that window managers treat them as dialogs; only a window that is
// itself on the desktop (shown or minimised) counts as an owner.
void DropStandInOwners(std::vector<TopLevelWindow>& windows)
{
    for (TopLevelWindow& window : windows) {
        const auto owner = std::find_if(windows.begin(), windows.end(), [&](const TopLevelWindow& other) {
            return other.id == window.owner;
        });
        if (owner == windows.end() || !(owner->visible || owner->minimized))
            window.owner = 0;
    }
}

} // namespace

std::vector<TopLevelWindow> EnumTopLevelWindows()
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection() || !x11->display())
        return {};
    xcb_connection_t* connection = x11->connection();
    const Atoms atoms = InternAtoms(connection);
    const std::vector<xcb_window_t> stack =
        StackTopDown(connection, DefaultRootWindow(x11->display()), atoms);

    const auto properties = WindowProperties(atoms);
    std::vector<Requests> requests;
    requests.reserve(stack.size());
    for (const xcb_window_t window : stack)
        requests.push_back(RequestAbout(connection, window, properties));
    const std::vector<xcb_window_t> outer = OutermostAncestors(connection, stack);
    for (std::size_t i = 0; i < stack.size(); ++i) {
        requests[i].outerAttributes = xcb_get_window_attributes(connection, outer[i]);
        requests[i].outerGeometry = xcb_get_geometry(connection, outer[i]);
    }

    std::vector<TopLevelWindow> windows;
    windows.reserve(stack.size());
    for (std::size_t i = 0; i < stack.size(); ++i)
        if (std::optional<TopLevelWindow> window = Describe(connection, stack[i], requests[i], atoms))
            windows.push_back(std::move(*window));
    DropStandInOwners(windows);
    return windows;
}

} // namespace platform
