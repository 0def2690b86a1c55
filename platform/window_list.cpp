#include "platform/window_list.h"

#include <QGuiApplication>
#include <algorithm>
#include <memory>

// Xlib last: its macros clash with Qt names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace platform {
namespace {

// Memory that Xlib hands out and XFree releases.
struct XFreeDeleter
{
    void operator()(void* data) const
    {
        if (data)
            XFree(data);
    }
};
template <typename T> using XPtr = std::unique_ptr<T, XFreeDeleter>;

// A class hint whose two strings are released with it.
struct ClassHint : XClassHint
{
    ClassHint() : XClassHint{nullptr, nullptr} {}
    ~ClassHint()
    {
        XFreeDeleter()(res_name);
        XFreeDeleter()(res_class);
    }
    ClassHint(const ClassHint&) = delete;
    ClassHint& operator=(const ClassHint&) = delete;
};

// Windows may go away while they are listed; the requests about them then fail.
// For its life the trap turns such errors into failed calls instead of letting
// a handler end the process.
class ErrorTrap
{
public:
    explicit ErrorTrap(Display* display) : display_(display)
    {
        XSync(display_, False);
        previous_ = XSetErrorHandler(&Ignore);
    }
    ~ErrorTrap()
    {
        XSync(display_, False);
        XSetErrorHandler(previous_);
    }
    ErrorTrap(const ErrorTrap&) = delete;
    ErrorTrap& operator=(const ErrorTrap&) = delete;

private:
    static int Ignore(Display*, XErrorEvent*) { return 0; }

    Display* display_;
    XErrorHandler previous_ = nullptr;
};

Display* XDisplay()
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->display() : nullptr;
}

// A property's items (format 32 gives longs, 8 gives bytes); empty when missing.
template <typename T>
std::vector<T> ReadProperty(Display* display, Window window, const char* name, Atom type)
{
    Atom actualType = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* raw = nullptr;
    const Atom property = XInternAtom(display, name, False);
    const int status = XGetWindowProperty(display, window, property, 0, 1 << 20, False, type, &actualType,
                                          &format, &count, &remaining, &raw);
    const XPtr<unsigned char> data(raw);
    if (status != Success || !data || actualType == None)
        return {};
    const auto* items = reinterpret_cast<const T*>(data.get());
    return std::vector<T>(items, items + count);
}

bool HasAtom(Display* display, Window window, const char* property, const char* value)
{
    const std::vector<long> atoms = ReadProperty<long>(display, window, property, XA_ATOM);
    const Atom wanted = XInternAtom(display, value, False);
    return std::any_of(atoms.begin(), atoms.end(), [wanted](long atom) { return Atom(atom) == wanted; });
}

QString Title(Display* display, Window window)
{
    const std::vector<char> utf8 =
        ReadProperty<char>(display, window, "_NET_WM_NAME", XInternAtom(display, "UTF8_STRING", False));
    if (!utf8.empty())
        return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    char* raw = nullptr;
    XFetchName(display, window, &raw);
    const XPtr<char> name(raw);
    return name ? QString::fromLocal8Bit(name.get()) : QString();
}

QString ClassName(Display* display, Window window)
{
    if (HasAtom(display, window, "_NET_WM_WINDOW_TYPE", "_NET_WM_WINDOW_TYPE_DESKTOP"))
        return QStringLiteral("Progman");
    ClassHint hint;
    if (!XGetClassHint(display, window, &hint) || !hint.res_class)
        return {};
    return QString::fromLocal8Bit(hint.res_class);
}

bool Minimized(Display* display, Window window)
{
    constexpr long kIconicState = 3;
    if (HasAtom(display, window, "_NET_WM_STATE", "_NET_WM_STATE_HIDDEN"))
        return true;
    const Atom wmState = XInternAtom(display, "WM_STATE", False);
    const std::vector<long> state = ReadProperty<long>(display, window, "WM_STATE", wmState);
    return !state.empty() && state[0] == kIconicState;
}

// The window that holds `window` among the root's children: the window
// manager's frame around a client, or the window itself.
Window OutermostAncestor(Display* display, Window window)
{
    for (;;) {
        Window root = 0;
        Window parent = 0;
        Window* rawChildren = nullptr;
        unsigned count = 0;
        if (!XQueryTree(display, window, &root, &parent, &rawChildren, &count))
            return window;
        const XPtr<Window> children(rawChildren);
        if (parent == root || parent == 0)
            return window;
        window = parent;
    }
}

// Whether the window was still there to be described.
bool Describe(Display* display, Window window, TopLevelWindow& out)
{
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, window, &attributes))
        return false;
    XWindowAttributes outer{};
    if (!XGetWindowAttributes(display, OutermostAncestor(display, window), &outer))
        return false;
    out.id = window;
    out.visible = attributes.map_state == IsViewable && outer.map_state == IsViewable;
    out.minimized = Minimized(display, window);
    out.title = Title(display, window);
    out.className = ClassName(display, window);
    Window owner = 0;
    out.owner = XGetTransientForHint(display, window, &owner) ? owner : 0;
    out.rect =
        QRect(outer.x, outer.y, outer.width + 2 * outer.border_width, outer.height + 2 * outer.border_width);
    return true;
}

// Top-level windows, bottom of the stack first.
std::vector<Window> StackBottomUp(Display* display, Window root)
{
    const std::vector<long> managed =
        ReadProperty<long>(display, root, "_NET_CLIENT_LIST_STACKING", XA_WINDOW);
    if (!managed.empty())
        return std::vector<Window>(managed.begin(), managed.end());
    Window rootReturn = 0;
    Window parent = 0;
    Window* rawChildren = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, root, &rootReturn, &parent, &rawChildren, &count))
        return {};
    const XPtr<Window> children(rawChildren);
    return std::vector<Window>(children.get(), children.get() + count);
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
    Display* display = XDisplay();
    if (!display)
        return {};
    const ErrorTrap trap(display);
    const std::vector<Window> stack = StackBottomUp(display, DefaultRootWindow(display));
    std::vector<TopLevelWindow> windows;
    windows.reserve(stack.size());
    for (auto it = stack.rbegin(); it != stack.rend(); ++it) {
        TopLevelWindow window;
        if (Describe(display, *it, window))
            windows.push_back(std::move(window));
    }
    DropStandInOwners(windows);
    return windows;
}

} // namespace platform
