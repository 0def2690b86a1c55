// The tab control on the display: its hooks in order, one page visible at a
// time, and each page's focus remembered across tab switches made with the mouse.
#include "about/about_templates.h"
#include "about/tab_ctrl_ssl.h"

#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QTabBar>
#include <QTest>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// Records every hook call, with what was visible at that moment.
class RecordingTabCtrl : public CTabCtrlSSL
{
public:
    using CTabCtrlSSL::CTabCtrlSSL;
    std::vector<std::string> calls;
    bool initResult = true;

protected:
    bool OnInitPage(int index, int pageId) override
    {
        Record("init", index, pageId);
        return initResult;
    }
    void OnActivatePage(int index, int pageId) override { Record("activate", index, pageId); }
    void OnDeactivatePage(int index, int pageId) override { Record("deactivate", index, pageId); }
    void OnDestroyPage(int index, int pageId) override { Record("destroy", index, pageId); }

private:
    void Record(const char* hook, int index, int pageId)
    {
        std::string visible;
        for (int i = 0; i < GetItemCount(); ++i) {
            if (GetPage(i) && GetPage(i)->isVisible())
                visible += std::to_string(i);
        }
        calls.push_back(std::string(hook) + " " + std::to_string(index) + "/" + std::to_string(pageId) +
                        " shown:" + visible);
    }
};

// A page with two edits, the first one on top.
QWidget* EditPage(QPointer<QLineEdit> (&edits)[2])
{
    auto* page = new QWidget;
    for (int i = 0; i < 2; ++i) {
        edits[i] = new QLineEdit(page);
        edits[i]->setGeometry(10, 10 + 30 * i, 120, 24);
    }
    return page;
}

class TabCtrlSSLTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        window.resize(400, 300);
        tabs = new RecordingTabCtrl(&window);
        tabs->setGeometry(10, 10, 360, 260);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    void ClickTab(int index)
    {
        QTabBar* const bar = tabs->TabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
    }

    QWidget window;
    RecordingTabCtrl* tabs = nullptr;
    QPointer<QLineEdit> first[2];
    QPointer<QLineEdit> second[2];
};

TEST_F(TabCtrlSSLTest, HooksRunInOrderAndOnlyTheSelectedPageShows)
{
    ASSERT_EQ(tabs->AddPage("one", 10, {EditPage(first), true}), 0);
    ASSERT_EQ(tabs->AddPage("two", 11, {EditPage(second), true}), 1);
    EXPECT_TRUE(tabs->GetPage(0)->isVisible());
    EXPECT_FALSE(tabs->GetPage(1)->isVisible());
    EXPECT_EQ(tabs->GetPage(2), nullptr);
    EXPECT_EQ(tabs->GetPage(-1), nullptr);

    ClickTab(1);
    ASSERT_EQ(tabs->GetCurSel(), 1);
    EXPECT_FALSE(tabs->GetPage(0)->isVisible());
    EXPECT_TRUE(tabs->GetPage(1)->isVisible());
    // The page fills the client area below the tabs with a 4-pixel margin.
    const int g = tabs->TabBar()->tabRect(1).height();
    EXPECT_EQ(tabs->GetPage(1)->geometry(), QRect(4, g + 4, 360 - 8, 260 - g - 8));

    QPointer<QWidget> page0 = tabs->GetPage(0);
    tabs->DestroyPages();
    EXPECT_TRUE(page0.isNull()); // owned by the tab control
    EXPECT_EQ(tabs->calls, (std::vector<std::string>{
                               "init 0/10 shown:",
                               "init 1/11 shown:0",
                               // the old page is still up while it hears of the change,
                               "deactivate 0/10 shown:0",
                               // and hidden before the new one shows
                               "activate 1/11 shown:1",
                               "destroy 1/11 shown:1",
                               "destroy 0/10 shown:",
                           }));
    EXPECT_EQ(tabs->GetItemCount(), 2); // the tabs stay; their pages are gone
    EXPECT_EQ(tabs->GetPage(0), nullptr);
}

TEST_F(TabCtrlSSLTest, EachPageGetsBackTheFocusItHadWhenLeft)
{
    tabs->AddPage("one", 10, {EditPage(first), true});
    tabs->AddPage("two", 11, {EditPage(second), true});
    // Each page starts with its topmost child.
    EXPECT_EQ(tabs->PageFocus(0), first[0]);
    EXPECT_EQ(tabs->PageFocus(1), second[0]);

    QTest::mouseClick(first[1], Qt::LeftButton);
    ASSERT_TRUE(first[1]->hasFocus());
    ClickTab(1);
    EXPECT_TRUE(second[0]->hasFocus());
    QTest::mouseClick(second[1], Qt::LeftButton);
    ClickTab(0);
    EXPECT_TRUE(first[1]->hasFocus()) << "focus went to " << QApplication::focusWidget();
    ClickTab(1);
    EXPECT_TRUE(second[1]->hasFocus());
}

TEST_F(TabCtrlSSLTest, TheTabsHandTheirFocusToThePage)
{
    tabs->AddPage("one", 10, {EditPage(first), true});
    tabs->AddPage("two", 11, {EditPage(second), true});
    QTest::mouseClick(first[1], Qt::LeftButton);
    ClickTab(1);
    ClickTab(0); // page 0 now remembers its second edit
    QTest::mouseClick(first[0], Qt::LeftButton);
    // Focus given to the tabs (as Tab from another control would) goes on to
    // the child the page remembers.
    tabs->TabBar()->setFocus(Qt::TabFocusReason);
    EXPECT_TRUE(QTest::qWaitFor([&] { return first[1]->hasFocus(); }));
}

TEST_F(TabCtrlSSLTest, AFalseInitKeepsTheCurrentFocusAsThePageFocus)
{
    QLineEdit outside(&window);
    outside.setGeometry(10, 275, 100, 20);
    outside.show();
    QTest::mouseClick(&outside, Qt::LeftButton);
    tabs->initResult = false;
    tabs->AddPage("one", 10, {EditPage(first), true});
    EXPECT_EQ(tabs->PageFocus(0), &outside);
}

TEST_F(TabCtrlSSLTest, MissingPagesAndTemplatesAddNoTab)
{
    EXPECT_EQ(tabs->AddPage("none", 1, {nullptr, true}), -1);
    EXPECT_EQ(tabs->AddTemplatePage("none", 1, 9999), -1);
    EXPECT_EQ(tabs->GetItemCount(), 0);
    EXPECT_EQ(tabs->AddTemplatePage("page", 7, about::IDD_PAGE_ONE), 0);
    auto* page = dynamic_cast<CTabPageSSL*>(tabs->GetPage(0));
    ASSERT_NE(page, nullptr);
    EXPECT_NE(page->GetDlgItem(about::IDC_PAGE_STATIC), nullptr);
}

TEST_F(TabCtrlSSLTest, APageTheControlDoesNotOwnSurvivesIt)
{
    QPointer<QWidget> kept = EditPage(first);
    tabs->AddPage("kept", 1, {kept, false});
    tabs->DestroyPages();
    ASSERT_FALSE(kept.isNull());
    EXPECT_FALSE(kept->isVisible());
    delete kept.data();
}

} // namespace
