// The version page on the display: its text, its rippling picture and what
// each of its buttons and its link does (recorded, not done).
#include "controls/shade_button_vq.h"
#include "controls/static_ex.h"
#include "platform/desktop.h"
#include "platform/messages.h"
#include "platform/paths.h"
#include "platform/resources.h"
#include "settings/page_settings.h"
#include "settings/prop_page5.h"
#include "settings/prop_page6.h"
#include "tests/support/screens.h"
#include "tests/support/shown_windows.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// A stand-in clock window that records the messages posted to it.
class MessageSink : public QObject
{
public:
    std::vector<std::tuple<unsigned, platform::WPARAM, platform::LPARAM>> received;

    bool event(QEvent* e) override
    {
        if (e->type() != platform::AppMessageEvent::EventType())
            return QObject::event(e);
        const auto* m = static_cast<platform::AppMessageEvent*>(e);
        received.emplace_back(m->message, m->wParam, m->lParam);
        return true;
    }
};

class PropPage5Test : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CStaticEx::s_nTickCount = 1; // still water for a while
        platform::RegisterMainWindow(&sink);
        platform::paths::SetExeDirOverride(exeDir.path());
        page.OnInitDialog();
        page.move(100, 100);
        page.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
    }
    void TearDown() override
    {
        platform::RegisterMainWindow(nullptr);
        platform::paths::SetExeDirOverride(QString());
        SetAboutDialogRunner({});
    }

    void Click(int id) { QTest::mouseClick(page.GetDlgItem(id), Qt::LeftButton); }

    platform::ScopedRecordingDesktop desktop;
    MessageSink sink;
    QTemporaryDir exeDir;
    AppSettings live;
    ScopedPageSettings pageSettings{live, QStringLiteral("9.87"), 150};
    CPropPage5 page;
};

// The version handed to the pages stands in the text.
TEST_F(PropPage5Test, VersionTextReadsExactly)
{
    const QString expected =
        "== Lumidial == \n\n◆Version 9.87 \n\n■Created by Tobelin \n\n●Frame Designed by Tobelin";
    EXPECT_EQ(page.VersionText(), expected);
    const auto* label = qobject_cast<QLabel*>(page.GetDlgItem(CPropPage5::IDC_VERSION_TEXT));
    ASSERT_TRUE(label);
    EXPECT_EQ(label->text(), expected);
}

TEST_F(PropPage5Test, ThePictureRipplesAtItsPlaceAndTheButtonsAreShadedAndFlat)
{
    CStaticEx* const picture = page.Picture();
    ASSERT_TRUE(picture);
    EXPECT_EQ(page.GetDlgItem(CPropPage5::IDC_PICTURE), picture);
    // At 7, 7 dialog units, as large as the picture "AUTHOR".
    EXPECT_EQ(picture->geometry(), QRect(11, 11, 130, 130));
    const QImage author = platform::LoadBitmap("AUTHOR").convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(author.size(), QSize(130, 130));
    EXPECT_EQ(picture->grab().toImage().convertToFormat(QImage::Format_RGB32), author);

    for (const int id : {CPropPage5::IDC_README, CPropPage5::IDC_ABOUT, CPropPage5::IDC_DEMO, CPropPage5::IDC_SNTP}) {
        auto* button = dynamic_cast<CShadeButtonVq*>(page.GetDlgItem(id));
        ASSERT_TRUE(button) << id;
        EXPECT_TRUE(button->IsFlat());
        EXPECT_TRUE(button->NormalImage().IsValid());
    }
    lmd::test::SaveScreen(page.grab().toImage(), "prop_page5");
}

TEST_F(PropPage5Test, ReadMeOpensTheFileBesideTheProgramWhenItIsThere)
{
    Click(CPropPage5::IDC_README);
    EXPECT_TRUE(desktop->opened.empty()); // no file: nothing happens

    const QString path = exeDir.filePath("LMD_ReadMe.txt");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    Click(CPropPage5::IDC_README);
    EXPECT_EQ(desktop->opened, std::vector<QString>{path});
}

TEST_F(PropPage5Test, DemoAsksTheClockWindow)
{
    Click(CPropPage5::IDC_DEMO);
    EXPECT_TRUE(sink.received.empty()); // posted, not sent
    ASSERT_TRUE(QTest::qWaitFor([&] { return !sink.received.empty(); }));
    using Message = std::tuple<unsigned, platform::WPARAM, platform::LPARAM>;
    EXPECT_EQ(sink.received, (std::vector<Message>{{platform::WM_OPEN_DEMO, 0u, 0}}));
}

TEST_F(PropPage5Test, AboutRunsTheInstalledDialog)
{
    int runs = 0;
    SetAboutDialogRunner([&](QWidget& owner) {
        EXPECT_EQ(&owner, page.window());
        ++runs;
    });
    Click(CPropPage5::IDC_ABOUT);
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(desktop->messageBoxes.empty());
}

TEST_F(PropPage5Test, SntpOpensTheTimeQueryModally)
{
    // Looks for the modal dialog while it runs, and ends it with Escape.
    QString seen;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (auto* dialog = lmd::test::ShownWindow<CPropPage6>()) {
            seen = dialog->windowTitle();
            // Modal to the page's window only: that one takes no input meanwhile.
            EXPECT_FALSE(page.isEnabled());
            QTest::keyClick(dialog, Qt::Key_Escape);
        }
    });
    watch.start(20);
    Click(CPropPage5::IDC_SNTP); // returns once the dialog has ended
    EXPECT_EQ(seen, "SNTP");
    EXPECT_EQ(lmd::test::ShownWindow<CPropPage6>(), nullptr);
    EXPECT_TRUE(page.isEnabled());
}

TEST_F(PropPage5Test, TheLinkOpensTheMakersSite)
{
    QLabel* const link = page.Link();
    ASSERT_TRUE(link);
    EXPECT_FALSE(link->toolTip().isEmpty());
    // A click on the words of the link.
    const QPoint onText(link->fontMetrics().horizontalAdvance("official") / 2, link->height() / 2);
    QTest::mouseClick(link, Qt::LeftButton, {}, onText);
    EXPECT_EQ(desktop->opened, std::vector<QString>{"https://" + kMakerWebAddress});
}

} // namespace
