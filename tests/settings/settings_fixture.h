#pragma once
// What the settings tests share: a main window that records the messages the
// pages post to it, fresh live settings handed to the pages, and real input on
// the pages' controls (clicks, and colour choices through the colour button's
// popup). Header only: the gui suites include it.
#include "controls/color_button.h"
#include "controls/colour_popup.h"
#include "platform/messages.h"
#include "settings/page_settings.h"
#include "settings/settings_dialog.h"
#include "tests/support/shown_windows.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace lmd::test {

// One message as the main window received it.
struct Posted
{
    unsigned message;
    platform::WPARAM wParam;
    platform::LPARAM lParam;
    std::string text = {}; // empty when the message carries none
    bool operator==(const Posted&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Posted& p)
{
    out << std::hex << "{0x" << p.message << ", " << std::dec << p.wParam << ", " << p.lParam;
    if (!p.text.empty())
        out << ", \"" << p.text << "\"";
    return out << "}";
}

// Registered as the main window for its life; records every message it gets.
class RecordingMainWindow : public QObject
{
public:
    RecordingMainWindow() { platform::RegisterMainWindow(this); }
    ~RecordingMainWindow() override { platform::RegisterMainWindow(nullptr); }

    // The messages received so far, after the posted ones have arrived.
    const std::vector<Posted>& Messages()
    {
        QCoreApplication::sendPostedEvents(this);
        return messages_;
    }
    // The messages that have arrived so far: those sent (at once), without the
    // posted ones still on their way.
    const std::vector<Posted>& Arrived() const { return messages_; }
    void Clear()
    {
        QCoreApplication::sendPostedEvents(this);
        messages_.clear();
    }

protected:
    bool event(QEvent* event) override
    {
        if (event->type() != platform::AppMessageEvent::EventType())
            return QObject::event(event);
        const auto& m = static_cast<const platform::AppMessageEvent&>(*event);
        messages_.push_back({m.message, m.wParam, m.lParam, m.text ? *m.text : std::string()});
        return true;
    }

private:
    std::vector<Posted> messages_;
};

// Fresh live settings and a recording main window for each test.
class SettingsPageTest : public ::testing::Test
{
protected:
    AppSettings& Settings() { return live; }

    AppSettings live;
    ScopedPageSettings pageSettings{live, QStringLiteral("9.87"), 150};
    RecordingMainWindow mainWindow;
};

// Makes a page as the dialog does (set-up, then shown); what it posted on the
// way is dropped.
template <typename Page> std::unique_ptr<Page> OpenPage(RecordingMainWindow& mainWindow)
{
    auto page = std::make_unique<Page>();
    page->OnInitDialog();
    page->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(page.get()));
    mainWindow.Clear();
    return page;
}

// Clicks a button (check box, radio button, push button) in its middle.
inline void Click(QWidget* widget)
{
    ASSERT_NE(widget, nullptr);
    QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(8, widget->height() / 2));
}

// Selects a combo box entry with the keyboard, as a user does.
inline void ChooseEntry(QComboBox* combo, int index)
{
    ASSERT_NE(combo, nullptr);
    combo->setFocus();
    while (combo->currentIndex() < index)
        QTest::keyClick(combo, Qt::Key_Down);
    while (combo->currentIndex() > index)
        QTest::keyClick(combo, Qt::Key_Up);
}

// How a colour choice in the popup ends.
enum class Choice
{
    Cell,        // the cell at the given index, with Enter
    DefaultBox,  // the default box ("自動"), with Enter
    Escape,      // cancelled with Escape
};

// Opens the button's popup with a click and ends it with the keyboard.
inline void ChooseColour(CColorButton* button, Choice choice, int cell = 0)
{
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowActive(button->window())); // as a user's click finds it
    QTest::mouseClick(button, Qt::LeftButton);
    CColourPopup* popup = button->Popup();
    ASSERT_NE(popup, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(popup));
    if (choice == Choice::Escape) {
        QTest::keyClick(popup, Qt::Key_Escape);
    } else {
        // Up from nothing reaches the default box; Right from there walks the cells.
        QTest::keyClick(popup, Qt::Key_Up);
        if (choice == Choice::Cell)
            for (int i = 0; i <= cell; ++i)
                QTest::keyClick(popup, Qt::Key_Right);
        QTest::keyClick(popup, Qt::Key_Return);
    }
    EXPECT_FALSE(button->IsPopupOpen());
}

// Runs the modal settings dialog that `open` starts: `steps` run inside the
// dialog's own event loop and end it (a dialog a failed step left open is
// cancelled). True once the dialog has ended after its steps.
inline bool RunSettingsDialog(const std::function<void()>& open,
                              const std::function<void(CSettingsDialog&)>& steps)
{
    bool done = false;
    QTimer watch; // fires inside the dialog's own event loop, once it runs
    watch.setInterval(10);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        auto* dialog = ShownWindow<CSettingsDialog>();
        if (!dialog || !QTest::qWaitForWindowExposed(dialog))
            return;
        watch.stop();
        steps(*dialog);
        if (dialog->isVisible())
            dialog->reject();
        done = true;
    });
    watch.start();
    open();
    return QTest::qWaitFor([&] { return done; }, 60000);
}

} // namespace lmd::test
