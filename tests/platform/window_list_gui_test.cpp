// The desktop's window list under a window manager (the test display runs
// openbox): order, titles, rectangles, visibility, minimised state, owners,
// and windows that are gone by the time they are described.
#include "platform/window_list.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QTest>
#include <QWidget>
#include <algorithm>
#include <gtest/gtest.h>
#include <memory>
#include <vector>
#include <xcb/xcb.h>

// Xlib last: its macros clash with Qt names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace {

const platform::TopLevelWindow* Find(const std::vector<platform::TopLevelWindow>& windows,
                                     const QWidget& window)
{
    for (const platform::TopLevelWindow& entry : windows)
        if (entry.id == window.winId())
            return &entry;
    return nullptr;
}

int IndexOf(const std::vector<platform::TopLevelWindow>& windows, const QWidget& window)
{
    const platform::TopLevelWindow* entry = Find(windows, window);
    return entry ? static_cast<int>(entry - windows.data()) : -1;
}

std::unique_ptr<QWidget> ShowWindow(const QString& title, const QRect& rect)
{
    auto window = std::make_unique<QWidget>(nullptr, Qt::Tool | Qt::FramelessWindowHint);
    window->setWindowTitle(title);
    window->setGeometry(rect);
    window->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    return window;
}

TEST(WindowListTest, ListsWindowsTopmostFirstWithTitleClassAndPlace)
{
    const auto lower = ShowWindow(QStringLiteral("下の窓 lower"), QRect(100, 120, 200, 150));
    const auto upper = ShowWindow(QStringLiteral("upper"), QRect(150, 160, 80, 60));

    ASSERT_TRUE(QTest::qWaitFor([&] {
        const auto windows = platform::EnumTopLevelWindows();
        return IndexOf(windows, *upper) >= 0 && IndexOf(windows, *upper) < IndexOf(windows, *lower);
    }));
    std::vector<platform::TopLevelWindow> windows = platform::EnumTopLevelWindows();
    const platform::TopLevelWindow* entry = Find(windows, *lower);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->title, QStringLiteral("下の窓 lower"));
    EXPECT_FALSE(entry->className.isEmpty());
    EXPECT_EQ(entry->rect, QRect(100, 120, 200, 150));
    EXPECT_TRUE(entry->visible);
    EXPECT_FALSE(entry->minimized);
    EXPECT_EQ(entry->owner, 0u); // the toolkit's hidden group leader is no owner

    lower->raise();
    EXPECT_TRUE(QTest::qWaitFor([&] {
        const auto now = platform::EnumTopLevelWindows();
        return IndexOf(now, *lower) < IndexOf(now, *upper);
    }));
}

TEST(WindowListTest, MinimisedHiddenAndOwnedWindows)
{
    const auto owner = ShowWindow(QStringLiteral("owner"), QRect(300, 300, 120, 90));
    QDialog owned(owner.get());
    owned.setWindowTitle(QStringLiteral("owned"));
    owned.setGeometry(320, 320, 100, 60);
    owned.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&owned));
    ASSERT_TRUE(QTest::qWaitFor([&] {
        const auto windows = platform::EnumTopLevelWindows();
        const platform::TopLevelWindow* entry = Find(windows, owned);
        return entry && entry->owner == owner->winId();
    }));

    auto normal = std::make_unique<QWidget>();
    normal->setWindowTitle(QStringLiteral("normal"));
    normal->setGeometry(500, 300, 120, 90);
    normal->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(normal.get()));
    normal->showMinimized();
    EXPECT_TRUE(QTest::qWaitFor([&] {
        const auto windows = platform::EnumTopLevelWindows();
        const platform::TopLevelWindow* entry = Find(windows, *normal);
        return entry && entry->minimized && !entry->visible;
    }));

    owner->hide();
    EXPECT_TRUE(QTest::qWaitFor([&] {
        const auto windows = platform::EnumTopLevelWindows();
        const platform::TopLevelWindow* entry = Find(windows, *owner);
        return !entry || !entry->visible;
    }));
}

Display* XDisplay()
{
    return qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->display();
}

// The window manager's list of its windows, bottom of the stack first.
std::vector<unsigned long> ClientStack()
{
    Display* display = XDisplay();
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(display, DefaultRootWindow(display),
                       XInternAtom(display, "_NET_CLIENT_LIST_STACKING", False), 0, 1 << 20, False, XA_WINDOW,
                       &type, &format, &count, &remaining, &data);
    const auto* windows = reinterpret_cast<const unsigned long*>(data);
    std::vector<unsigned long> stack(windows, windows + (data ? count : 0));
    XFree(data);
    return stack;
}

void SetClientStack(const std::vector<unsigned long>& stack)
{
    Display* display = XDisplay();
    XChangeProperty(display, DefaultRootWindow(display),
                    XInternAtom(display, "_NET_CLIENT_LIST_STACKING", False), XA_WINDOW, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(stack.data()), static_cast<int>(stack.size()));
    XSync(display, False);
}

// Counts the X errors that reach the process: through Xlib's error handler, or
// as error events in Qt's event loop (which hands them to native event filters
// before it logs them).
class XErrorWatch : public QAbstractNativeEventFilter
{
public:
    XErrorWatch()
    {
        errors_ = 0;
        previous_ = XSetErrorHandler([](Display*, XErrorEvent*) {
            ++errors_;
            return 0;
        });
        QCoreApplication::instance()->installNativeEventFilter(this);
    }
    ~XErrorWatch() override
    {
        QCoreApplication::instance()->removeNativeEventFilter(this);
        XSetErrorHandler(previous_);
    }
    XErrorWatch(const XErrorWatch&) = delete;
    XErrorWatch& operator=(const XErrorWatch&) = delete;

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override
    {
        if (type == "xcb_generic_event_t" &&
            (static_cast<xcb_generic_event_t*>(message)->response_type & 0x7f) == 0)
            ++errors_;
        return false;
    }

    // The errors so far, once every reply and event up to now has been handled.
    int Errors()
    {
        XSync(XDisplay(), False);
        QTest::qWait(100);
        return errors_;
    }

private:
    static inline int errors_ = 0;
    XErrorHandler previous_ = nullptr;
};

// The window list while the manager's list names `extra` windows as well, on
// top of its own; no X error may reach the process meanwhile. The server is
// held meanwhile so that the manager cannot rewrite its list in between.
std::vector<platform::TopLevelWindow> ListWithExtraClients(const std::vector<unsigned long>& extra)
{
    Display* display = XDisplay();
    XErrorWatch watch;
    XGrabServer(display);
    const std::vector<unsigned long> stack = ClientStack();
    std::vector<unsigned long> withExtra = stack;
    withExtra.insert(withExtra.end(), extra.begin(), extra.end());
    SetClientStack(withExtra);
    std::vector<platform::TopLevelWindow> windows = platform::EnumTopLevelWindows();
    SetClientStack(stack);
    XUngrabServer(display);
    EXPECT_EQ(watch.Errors(), 0);
    return windows;
}

const platform::TopLevelWindow* FindId(const std::vector<platform::TopLevelWindow>& windows, unsigned long id)
{
    const auto entry = std::find_if(windows.begin(), windows.end(),
                                    [id](const platform::TopLevelWindow& window) { return window.id == id; });
    return entry == windows.end() ? nullptr : &*entry;
}

TEST(WindowListTest, SkipsWindowsGoneBeforeTheyAreDescribed)
{
    const auto lower = ShowWindow(QStringLiteral("below"), QRect(600, 100, 120, 80));
    const auto upper = ShowWindow(QStringLiteral("above"), QRect(640, 140, 120, 80));
    unsigned long gone = 0;
    {
        const auto window = ShowWindow(QStringLiteral("gone"), QRect(620, 120, 120, 80));
        gone = window->winId();
    }
    ASSERT_TRUE(QTest::qWaitFor([&] {
        const auto windows = platform::EnumTopLevelWindows();
        return Find(windows, *lower) && Find(windows, *upper) && !FindId(windows, gone);
    }));

    // The manager's list still names the destroyed window, topmost.
    const std::vector<platform::TopLevelWindow> windows = ListWithExtraClients({gone});
    EXPECT_EQ(FindId(windows, gone), nullptr);
    const platform::TopLevelWindow* below = Find(windows, *lower);
    const platform::TopLevelWindow* above = Find(windows, *upper);
    ASSERT_TRUE(below && above);
    EXPECT_LT(above, below);
    EXPECT_EQ(below->title, QStringLiteral("below"));
    EXPECT_EQ(below->rect, QRect(600, 100, 120, 80));
    EXPECT_EQ(above->title, QStringLiteral("above"));
    EXPECT_EQ(above->rect, QRect(640, 140, 120, 80));
}

// A bare X window, destroyed with its children when it goes.
class RawWindow
{
public:
    RawWindow(unsigned long parent, const QRect& rect, unsigned border)
    {
        XSetWindowAttributes attributes{};
        attributes.override_redirect = True; // no manager frames or moves it
        id_ = XCreateWindow(XDisplay(), parent, rect.x(), rect.y(), rect.width(), rect.height(), border,
                            CopyFromParent, InputOutput, CopyFromParent, CWOverrideRedirect, &attributes);
    }
    ~RawWindow() { XDestroyWindow(XDisplay(), id_); }
    RawWindow(const RawWindow&) = delete;
    RawWindow& operator=(const RawWindow&) = delete;

    unsigned long id() const { return id_; }

private:
    unsigned long id_ = 0;
};

// A window inside another (as a client inside its frame) takes the place of
// its outermost ancestor, border included, and is visible only when both are.
TEST(WindowListTest, NestedWindowTakesItsOutermostAncestorsPlace)
{
    Display* display = XDisplay();
    const RawWindow outer(DefaultRootWindow(display), QRect(50, 60, 300, 200), 4);
    const RawWindow middle(outer.id(), QRect(10, 20, 200, 150), 2);
    const RawWindow inner(middle.id(), QRect(5, 5, 100, 80), 1);
    const RawWindow single(DefaultRootWindow(display), QRect(400, 60, 90, 70), 3);
    XMapWindow(display, inner.id());
    XMapWindow(display, middle.id());
    XMapWindow(display, single.id());

    // The outer window is not mapped yet: nothing in it is viewable.
    std::vector<platform::TopLevelWindow> windows = ListWithExtraClients({inner.id(), single.id()});
    const platform::TopLevelWindow* nested = FindId(windows, inner.id());
    const platform::TopLevelWindow* alone = FindId(windows, single.id());
    ASSERT_TRUE(nested && alone);
    EXPECT_EQ(nested->rect, QRect(50, 60, 308, 208));
    EXPECT_FALSE(nested->visible);
    EXPECT_EQ(alone->rect, QRect(400, 60, 96, 76));
    EXPECT_TRUE(alone->visible);
    EXPECT_EQ(alone + 1, nested);

    XMapWindow(display, outer.id());
    windows = ListWithExtraClients({inner.id(), single.id()});
    nested = FindId(windows, inner.id());
    ASSERT_NE(nested, nullptr);
    EXPECT_EQ(nested->rect, QRect(50, 60, 308, 208));
    EXPECT_TRUE(nested->visible);

    XUnmapWindow(display, inner.id());
    windows = ListWithExtraClients({inner.id(), single.id()});
    nested = FindId(windows, inner.id());
    ASSERT_NE(nested, nullptr);
    EXPECT_FALSE(nested->visible);
}

} // namespace
