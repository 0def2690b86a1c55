// The colour button and its popup on the test display: the notifications and
// their order, placement near the screen's bottom, tooltips, drawing.
#include "controls/color_button.h"
#include "controls/colour_popup.h"
#include "platform/dialog.h"
#include "tests/support/screens.h"
#include "tests/support/shown_windows.h"

#include <QColorDialog>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <gtest/gtest.h>
#include <vector>

namespace {

using platform::COLORREF;

struct Note
{
    unsigned message;
    COLORREF colour;
    int id;
    bool operator==(const Note&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Note& n)
{
    return out << std::hex << "{0x" << n.message << ", 0x" << n.colour << ", " << std::dec << n.id << "}";
}

constexpr COLORREF kPink = 0xCBC0FF;
constexpr COLORREF kRed = 0x0000FF;
constexpr int kId = 1042;

class ColourButtonTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        window.setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
        window.setGeometry(100, 100, 200, 80);
        button = new CColorButton(&window);
        button->setGeometry(10, 10, 60, 22);
        button->setProperty("controlId", kId);
        button->SetDefaultText(QStringLiteral("自動"));
        button->SetCustomText(QStringLiteral("その他..."));
        QObject::connect(button, &CColorButton::Notify, [this](unsigned m, COLORREF c, int id) {
            notes.push_back({m, c, id});
        });
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    void TearDown() override
    {
        if (CColourPopup* popup = button->Popup())
            popup->close();
    }

    CColourPopup* Open()
    {
        QTest::mouseClick(button, Qt::LeftButton);
        CColourPopup* popup = button->Popup();
        if (popup) {
            EXPECT_TRUE(QTest::qWaitForWindowExposed(popup));
        }
        return popup;
    }

    static QPoint Centre(const QRect& r) { return r.center(); }

    // Moves the pointer over a point of the popup until the popup has seen it.
    // The pointer is really moved, so a move to where it already is reports
    // nothing: every other try goes one pixel further (inside the same cell).
    static void MoveTo(CColourPopup* popup, QPoint point)
    {
        const auto seen = [&] { return popup->CurrentSelection() == popup->SelectionAt(point); };
        for (int i = 0; i < 10 && !seen(); ++i) {
            QTest::mouseMove(popup, point + QPoint(i % 2, i % 2));
            QTest::qWaitFor(seen, 200);
        }
        EXPECT_EQ(popup->CurrentSelection(), popup->SelectionAt(point));
    }

    QWidget window;
    CColorButton* button = nullptr;
    std::vector<Note> notes;
};

TEST_F(ColourButtonTest, ChoosingTheSameColourReportsNoChange)
{
    button->SetColor(kPink);
    CColourPopup* popup = Open();
    ASSERT_NE(popup, nullptr);
    EXPECT_TRUE(button->IsPopupOpen());
    EXPECT_EQ(popup->ChosenSelection(), 24);
    MoveTo(popup, Centre(popup->CellRect(24)));
    QTest::mouseClick(popup, Qt::LeftButton, {}, Centre(popup->CellRect(24)));
    const std::vector<Note> expected = {
        {WM_COLOR_DROPDOWN, kPink, kId},
        {WM_COLOR_CHANGED, kPink, kId},
        {WM_COLOR_CLOSEUP, kPink, kId},
        {WM_COLOR_SELECTED, kPink, kId},
    };
    EXPECT_EQ(notes, expected);
    EXPECT_FALSE(button->IsPopupOpen());
    QTRY_VERIFY(button->Popup() == nullptr); // it deletes itself
}

TEST_F(ColourButtonTest, ChoosingANewColourReportsTheChangeLast)
{
    button->SetColor(kPink);
    CColourPopup* popup = Open();
    ASSERT_NE(popup, nullptr);
    MoveTo(popup, Centre(popup->CellRect(24)));
    MoveTo(popup, Centre(popup->CellRect(16)));
    QTest::mouseClick(popup, Qt::LeftButton, {}, Centre(popup->CellRect(16)));
    const std::vector<Note> expected = {
        {WM_COLOR_DROPDOWN, kPink, kId}, {WM_COLOR_CHANGED, kPink, kId}, {WM_COLOR_CHANGED, kRed, kId},
        {WM_COLOR_CLOSEUP, kRed, kId},   {WM_COLOR_SELECTED, kRed, kId}, {WM_COLOR_CHANGED, kRed, kId},
    };
    EXPECT_EQ(notes, expected);
    EXPECT_EQ(button->GetColor(), kRed);
}

TEST_F(ColourButtonTest, EscapeCancelsWithTheInitialColour)
{
    button->SetColor(kPink);
    CColourPopup* popup = Open();
    ASSERT_NE(popup, nullptr);
    QTest::keyClick(popup, Qt::Key_Right); // nothing selected: the custom box first
    QTest::keyClick(popup, Qt::Key_Right); // the default box
    QTest::keyClick(popup, Qt::Key_Right); // cell 0, black
    EXPECT_EQ(popup->CurrentSelection(), 0);
    QTest::keyClick(popup, Qt::Key_Escape);
    const std::vector<Note> expected = {
        {WM_COLOR_DROPDOWN, kPink, kId},
        {WM_COLOR_CHANGED, kPink, kId}, // custom box: the initial colour
        {WM_COLOR_CHANGED, CLR_DEFAULT, kId},
        {WM_COLOR_CHANGED, 0x000000, kId}, // default box, black
        {WM_COLOR_CLOSEUP, kPink, kId},
        {WM_COLOR_CANCELLED, kPink, kId},
    };
    EXPECT_EQ(notes, expected);
    EXPECT_EQ(button->GetColor(), kPink);
}

TEST_F(ColourButtonTest, DefaultBoxReportsTheMarkerAndThePatchShowsTheDefaultColour)
{
    button->SetColor(kRed);
    button->SetDefaultColor(0x00FFFF); // yellow
    CColourPopup* popup = Open();
    ASSERT_NE(popup, nullptr);
    const QPoint box = Centre(popup->DefaultBoxRect());
    MoveTo(popup, box);
    EXPECT_EQ(popup->CurrentSelection(), DEFAULT_BOX_VALUE);
    QTest::mouseClick(popup, Qt::LeftButton, {}, box);
    const std::vector<Note> expected = {
        {WM_COLOR_DROPDOWN, kRed, kId},       {WM_COLOR_CHANGED, CLR_DEFAULT, kId},
        {WM_COLOR_CLOSEUP, CLR_DEFAULT, kId}, {WM_COLOR_SELECTED, CLR_DEFAULT, kId},
        {WM_COLOR_CHANGED, CLR_DEFAULT, kId},
    };
    EXPECT_EQ(notes, expected);
    EXPECT_EQ(button->GetColor(), CLR_DEFAULT);
    const QImage shown = button->grab().toImage();
    lmd::test::SaveScreen(shown, QStringLiteral("colour_button_default"));
    EXPECT_EQ(platform::FromPixel(shown.pixel(10, 11)), 0x00FFFFu);
}

TEST_F(ColourButtonTest, ReleaseOutsideCancelsAndTrackSelectionFallsBack)
{
    button->SetColor(kPink);
    button->SetTrackSelection(true);
    CColourPopup* popup = Open();
    ASSERT_NE(popup, nullptr);
    MoveTo(popup, Centre(popup->CellRect(16)));
    EXPECT_EQ(button->GetColor(), kRed); // the patch follows the mouse
    const QPoint outside(popup->width() + 30, popup->height() + 30);
    QTest::mousePress(popup, Qt::LeftButton, {}, outside);
    EXPECT_NE(button->Popup(), nullptr); // a press outside does not end it
    QTest::mouseRelease(popup, Qt::LeftButton, {}, outside);
    EXPECT_EQ(notes.back(), (Note{WM_COLOR_CANCELLED, kPink, kId}));
    EXPECT_EQ(button->GetColor(), kPink);
}

TEST_F(ColourButtonTest, CustomBoxOpensTheColourDialogAndItsCancelCancels)
{
    button->SetColor(0x123456); // not in the table: the custom box is the chosen one
    CColourPopup* popup = Open();
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->ChosenSelection(), CUSTOM_BOX_VALUE);
    const QPoint box = Centre(popup->CustomBoxRect());
    MoveTo(popup, box);
    EXPECT_EQ(notes.back(), (Note{WM_COLOR_CHANGED, 0x123456, kId}));
    bool sawDialog = false;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto* dialog = lmd::test::ShownWindow<QColorDialog>()) {
            sawDialog = true;
            dialog->reject();
        }
    });
    closer.start(20);
    QTest::mouseClick(popup, Qt::LeftButton, {}, box);
    EXPECT_TRUE(sawDialog);
    EXPECT_EQ(notes.back(), (Note{WM_COLOR_CANCELLED, 0x123456, kId}));
}

TEST_F(ColourButtonTest, NearTheBottomOfTheScreenItOpensAboveTheButton)
{
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    window.move(300, screen.bottom() - 60);
    QTRY_COMPARE(window.pos(), QPoint(300, screen.bottom() - 60));
    CColourPopup* popup = Open();
    ASSERT_NE(popup, nullptr);
    const QPoint buttonTop = button->mapToGlobal(QPoint(0, 0));
    EXPECT_EQ(popup->geometry().left(), buttonTop.x());
    EXPECT_EQ(popup->geometry().top() + popup->height(), buttonTop.y());
    lmd::test::SaveScreen(lmd::test::GrabScreen().copy(popup->geometry().adjusted(-20, -20, 20, 60)),
                          QStringLiteral("colour_popup_above"));
}

TEST_F(ColourButtonTest, CellTooltipNamesTheColour)
{
    CColourPopup* popup = Open();
    ASSERT_NE(popup, nullptr);
    const QPoint at = Centre(popup->CellRect(24));
    QHelpEvent help(QEvent::ToolTip, at, popup->mapToGlobal(at));
    QApplication::sendEvent(popup, &help);
    QTRY_VERIFY(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text(), QStringLiteral("Pink"));
    QTest::keyClick(popup, Qt::Key_Escape);
}

TEST_F(ColourButtonTest, PopupDrawsItsCellsAndMarksTheChosenOne)
{
    button->SetColor(kPink);
    CColourPopup* popup = Open();
    ASSERT_NE(popup, nullptr);
    const QImage shown = popup->grab().toImage();
    lmd::test::SaveScreen(shown, QStringLiteral("colour_popup"));
    for (int i = 0; i < kColourCount; ++i) {
        const QPoint c = popup->CellRect(i).center();
        EXPECT_EQ(platform::FromPixel(shown.pixel(c)), kColourTable[static_cast<std::size_t>(i)].crColour)
            << i;
    }
    // The chosen cell sits on the highlight colour with a sunken edge.
    const QRect chosen = popup->CellRect(24);
    EXPECT_EQ(shown.pixel(chosen.left() + 1, chosen.top() + 1), 0xFFFFFFFFu);
    EXPECT_EQ(platform::FromPixel(shown.pixel(chosen.topLeft())),
              platform::GetSysColor(platform::COLOR_BTNSHADOW));
    // The default box lies above the grid and the custom box below it.
    EXPECT_LT(popup->DefaultBoxRect().bottom(), popup->CellRect(0).top());
    EXPECT_GT(popup->CustomBoxRect().top(), popup->CellRect(39).bottom());
    QTest::keyClick(popup, Qt::Key_Escape);
}

} // namespace
