// The about dialog's fixed data: where ResizePage puts a page for each tab
// placement, and the credits texts as the pages show them.
#include "about/about_dlg.h"
#include "about/tab_ctrl_ssl.h"

#include <gtest/gtest.h>

namespace {

TEST(PageRectInTabsTest, PlacesThePageBesideTheTabRows)
{
    struct Case
    {
        const char* name;
        unsigned style;
        int rows;
        QSize item;
        QRect expected;
    };
    // A 300 x 200 client area; the tabs take rows x item height (or width when
    // vertical) and the page keeps a 4-pixel margin all round.
    const Case cases[] = {
        {"top", 0, 1, {60, 20}, {4, 24, 292, 172}},
        {"top, two rows", 0, 2, {60, 20}, {4, 44, 292, 152}},
        {"bottom", TCS_BOTTOM, 1, {60, 20}, {4, 4, 292, 172}},
        {"vertical, left", TCS_VERTICAL, 1, {22, 70}, {26, 4, 270, 192}},
        {"vertical, right", TCS_VERTICAL | TCS_RIGHT, 1, {22, 70}, {4, 4, 270, 192}},
        {"vertical, three rows", TCS_VERTICAL, 3, {22, 70}, {70, 4, 226, 192}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PageRectInTabs(c.style, c.rows, c.item, 300, 200), c.expected) << c.name;
}

TEST(AboutTextsTest, DedicationBlockIsElevenRowsOfTwentySeven)
{
    const QString text = about::DedicationText();
    ASSERT_EQ(text.size(), 297);
    const auto row = [&](int n) { return text.mid((n - 1) * 27, 27); };
    EXPECT_EQ(row(2), QStringLiteral(" Lumidial").leftJustified(27));
    EXPECT_EQ(row(4), QStringLiteral("  produced by TOBELIN").leftJustified(27));
    EXPECT_EQ(row(6), QStringLiteral("  Dedicated to my father.").leftJustified(27));
    for (int n : {1, 3, 5, 7, 8, 9, 10, 11})
        EXPECT_EQ(row(n), QString(27, u' ')) << "row " << n;
}

TEST(AboutTextsTest, CreditsTextsReadExactly)
{
    EXPECT_EQ(about::StaffText(), QStringLiteral("\t< Lumidial  Staff >\n\n\r== Planning & Produce ==:\nTOBELIN\n"
                                                 "\r== Frame Design ==:\nTobelin\n\n\n\r Dedicated to my father. \n"));
    EXPECT_EQ(about::CrawlLines(),
              QStringList({"<< Lumidial Staff >>", "", "== Planning & Produce ==", "TOBELIN", "",
                           "== Frame Design ==", "Tobelin", " ", " ", "Dedicated to my father.", " "}));
    const QString m = QString(QChar(1));
    EXPECT_EQ(about::RevealLines(),
              QStringList({"Lumidial Staff", m + " 2", "== Planning & Produce ==", "TOBELIN", m + " 2",
                           "== Frame Design ==", "Tobelin", m + " 2", " Dedicated to my father. ", m + " 5"}));
}

TEST(AboutTextsTest, TenCaptionsInTabOrder)
{
    const auto& captions = about::TabCaptions();
    EXPECT_EQ(captions[0], QStringLiteral("アプリ名"));
    EXPECT_EQ(captions[1], QStringLiteral("Credit_1"));
    EXPECT_EQ(captions[2], QStringLiteral("Credit_2"));
    EXPECT_EQ(captions[3], QStringLiteral("Credit_3"));
    EXPECT_EQ(captions[6], QStringLiteral("Teapot"));
    EXPECT_EQ(captions[7], QStringLiteral("Specter"));
    EXPECT_EQ(captions[8], QStringLiteral("海"));
    EXPECT_EQ(captions[9], QStringLiteral("水滴"));
    EXPECT_FALSE(captions[4].isEmpty());
    EXPECT_FALSE(captions[5].isEmpty());
}

} // namespace
