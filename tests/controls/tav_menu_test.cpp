// The owner-drawn menu's bookkeeping: template reading, records kept in step
// with the items, mnemonic answers and the lighten arithmetic. Nothing here
// measures text, so no display is needed.
#include "controls/tav_menu.h"
#include "tests/controls/menu_template_fixture.h"

#include <gtest/gtest.h>

namespace {

using lmd::test::MenuTemplateWriter;
using namespace lmd::test;

TEST(MenuTemplateTest, ReadsItemsWithFlagsIdsAndTexts)
{
    const MenuTemplate decoded = DecodeMenuTemplate(SampleMenuTemplate());
    ASSERT_TRUE(decoded.error.isEmpty()) << decoded.error.toStdString();
    struct Expected
    {
        unsigned flags;
        unsigned id;
        const char16_t* text;
    };
    const Expected expected[] = {
        {MF_POPUP, 0, u"&File"},
        {0, ID_OPEN, u"&Open\tCtrl+O"},
        {MF_GRAYED, ID_SAVE_AS, u"&Save As...\tCtrl+Shift+S"},
        {0, 0, u""},
        {MF_POPUP, 0, u"&Recent"},
        {0, ID_RECENT_ONE, u"&One"},
        {MF_END, ID_RECENT_TWO, u"&Two"},
        {MF_END, ID_EXIT, u"E&xit\tAlt+F4"},
        {MF_POPUP | MF_END, 0, u"&Help"},
        {MF_END, ID_ABOUT, u"&About"},
    };
    ASSERT_EQ(decoded.items.size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(decoded.items[i].flags, expected[i].flags);
        EXPECT_EQ(decoded.items[i].id, expected[i].id);
        EXPECT_EQ(decoded.items[i].text, QString::fromUtf16(expected[i].text));
    }
}

TEST(MenuTemplateTest, HeaderOffsetSkipsToTheItemsAndTrailingBytesAreIgnored)
{
    MenuTemplateWriter writer;
    writer.bytes.clear();
    writer.Word(0).Word(4).Word(0xBEEF).Word(0xBEEF); // four bytes of extra header
    writer.Popup(QStringLiteral("設定"), MF_END).Item(QStringLiteral("終了(&X)"), 7, MF_END).Word(0xFFFF);
    const MenuTemplate decoded = DecodeMenuTemplate(writer.bytes);
    ASSERT_TRUE(decoded.error.isEmpty()) << decoded.error.toStdString();
    ASSERT_EQ(decoded.items.size(), 2u);
    EXPECT_EQ(decoded.items[0].text, QStringLiteral("設定"));
    EXPECT_EQ(decoded.items[1].text, QStringLiteral("終了(&X)"));
    EXPECT_EQ(decoded.items[1].id, 7u);
}

// Every way a template can be cut short or malformed is refused with a reason,
// without reading past its end (the sanitizer watches the reads).
TEST(MenuTemplateTest, RefusesTruncatedAndMalformedTemplates)
{
    const QByteArray sample = SampleMenuTemplate();
    QByteArray deep = MenuTemplateWriter().bytes;
    for (int level = 0; level < 40; ++level)
        deep += MenuTemplateWriter().Popup(QStringLiteral("p"), MF_END).bytes.mid(4);
    struct Case
    {
        const char* name;
        QByteArray bytes;
        const char* reason;
    };
    const Case cases[] = {
        {"empty", {}, "shorter than its header"},
        {"half a header", QByteArray("\0\0", 2), "shorter than its header"},
        {"extended template", QByteArray("\1\0\4\0", 4) + sample.mid(4), "version 1"},
        {"offset past the end", QByteArray("\0\0\x10\0", 4), "start past its end"},
        {"no items", QByteArray("\0\0\0\0", 4), "ends inside item 1"},
        {"flags cut in half", sample.left(5), "ends inside item 1"},
        {"id missing", sample.left(20), "ends inside item 2"}, // header, "&File", flags of "&Open"
        {"text without its end", sample.left(sample.size() - 2), "ends inside item 10"},
        {"a level never ended", MenuTemplateWriter().Popup(QStringLiteral("a"), MF_END).Item(QStringLiteral("b"), 1).bytes,
         "ends inside item 3"},
        {"nested without end", deep, "nests more than 32 levels"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const MenuTemplate decoded = DecodeMenuTemplate(c.bytes);
        EXPECT_TRUE(decoded.items.empty());
        EXPECT_TRUE(decoded.error.contains(QLatin1String(c.reason))) << decoded.error.toStdString();
    }
}

TEST(MenuTemplateTest, BadTemplateLeavesTheMenuAsItWas)
{
    TavMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    ASSERT_TRUE(menu.AppendItem(QStringLiteral("&Keep"), 0, 5));
    EXPECT_FALSE(menu.LoadMenu(SampleMenuTemplate().left(20)));
    EXPECT_FALSE(menu.LoadMenu(platform::ResourceId("NO_SUCH_MENU")));
    ASSERT_EQ(menu.GetMenuItemCount(), 1);
    EXPECT_EQ(menu.Items().at(0)->text, QStringLiteral("&Keep"));
}

// A popup menu of commands, as a button's menu would hold.
class TavMenuTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(menu.CreatePopupMenu());
        ASSERT_TRUE(menu.AppendItem(QStringLiteral("&Open"), 0, ID_OPEN));
        ASSERT_TRUE(menu.AppendItem(QStringLiteral("Save &As"), MF_GRAYED, ID_SAVE_AS));
        ASSERT_TRUE(menu.AppendItem({}, 0, 0));
        ASSERT_TRUE(menu.AppendItem(QStringLiteral("設定(&S)..."), 0, 300));
        ASSERT_TRUE(menu.AppendItem(QStringLiteral("E&xit\tAlt+F4"), 0, ID_EXIT));
    }

    // Each record is the item data of the item at its position.
    void ExpectRecordsMatchItems()
    {
        ASSERT_EQ(static_cast<int>(menu.Items().size()), menu.GetMenuItemCount());
        for (int i = 0; i < menu.GetMenuItemCount(); ++i) {
            SCOPED_TRACE(i);
            const MenuItem& item = *menu.GetItem(i);
            EXPECT_EQ(item.data, menu.Items()[static_cast<std::size_t>(i)].get());
            EXPECT_TRUE(item.flags & MF_OWNERDRAW);
        }
    }

    TavMenu menu;
};

TEST_F(TavMenuTest, AppendedItemsAreOwnerDrawnWithTheirRecords)
{
    ExpectRecordsMatchItems();
    EXPECT_EQ(menu.GetItem(1)->flags, MF_GRAYED | MF_OWNERDRAW);
    EXPECT_EQ(menu.GetItem(2)->flags, MF_SEPARATOR | MF_OWNERDRAW);
    EXPECT_EQ(menu.Items()[2]->flags, MF_SEPARATOR | MF_OWNERDRAW);
    EXPECT_EQ(menu.Items()[4]->text, QStringLiteral("E&xit\tAlt+F4"));
}

TEST_F(TavMenuTest, MnemonicsAnswerThePositionOfTheFirstMatch)
{
    struct Case
    {
        char16_t character;
        platform::LRESULT answer;
    };
    const Case cases[] = {
        {u'o', MAKELRESULT(0, MNC_EXECUTE)}, {u'O', MAKELRESULT(0, MNC_EXECUTE)},
        {u'a', MAKELRESULT(1, MNC_EXECUTE)}, // grayed items answer too
        {u's', MAKELRESULT(3, MNC_EXECUTE)}, {u'x', MAKELRESULT(4, MNC_EXECUTE)},
        {u'e', 0}, // "E&xit" has no "&e"
        {u'q', 0}, {u'&', 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.character));
        EXPECT_EQ(TavMenu::FindMnemonicItem(QChar(c.character), MF_POPUP, &menu), c.answer);
    }
    // Only popups of a TavMenu answer.
    CMenu plain;
    plain.CreatePopupMenu();
    plain.AppendMenu({MF_STRING, 1, nullptr, QStringLiteral("&Open"), nullptr});
    EXPECT_EQ(TavMenu::FindMnemonicItem(u'o', 0, &menu), 0);
    EXPECT_EQ(TavMenu::FindMnemonicItem(u'o', MF_POPUP, &plain), 0);
    EXPECT_EQ(TavMenu::FindMnemonicItem(u'o', MF_POPUP, nullptr), 0);
}

TEST_F(TavMenuTest, MnemonicsFollowItemsAddedBehindTheMenusBack)
{
    ASSERT_TRUE(menu.InsertMenu(0, {MF_STRING, 400, nullptr, QStringLiteral("&New"), nullptr}));
    EXPECT_EQ(TavMenu::FindMnemonicItem(u'n', MF_POPUP, &menu), MAKELRESULT(0, MNC_EXECUTE));
    EXPECT_EQ(TavMenu::FindMnemonicItem(u'o', MF_POPUP, &menu), MAKELRESULT(1, MNC_EXECUTE));
    ExpectRecordsMatchItems();
}

TEST_F(TavMenuTest, SyncItemsKeepsRecordsOfKnownItemsInMenuOrder)
{
    const TavMenuData* const exitRecord = menu.Items()[4].get();
    // Exit moves to the front, Open goes, a string item and a separator come.
    ASSERT_TRUE(menu.RemoveMenu(4));
    ASSERT_TRUE(menu.InsertMenu(0, {MF_OWNERDRAW, ID_EXIT, nullptr, {}, exitRecord}));
    ASSERT_TRUE(menu.RemoveMenu(1));
    ASSERT_TRUE(menu.AppendMenu({MF_SEPARATOR, 0, nullptr, {}, nullptr}));
    ASSERT_TRUE(menu.AppendMenu({MF_CHECKED, 500, nullptr, QStringLiteral("&Wrap"), nullptr}));
    menu.SyncItems();

    ExpectRecordsMatchItems();
    const auto& records = menu.Items();
    ASSERT_EQ(records.size(), 6u);
    EXPECT_EQ(records[0].get(), exitRecord);
    EXPECT_EQ(records[0]->text, QStringLiteral("E&xit\tAlt+F4"));
    const unsigned ids[] = {ID_EXIT, ID_SAVE_AS, 0, 300, 0, 500};
    for (std::size_t i = 0; i < records.size(); ++i)
        EXPECT_EQ(records[i]->id, ids[i]) << i;
    EXPECT_EQ(records[5]->text, QStringLiteral("&Wrap"));
    EXPECT_EQ(records[5]->flags, MF_CHECKED | MF_OWNERDRAW | MF_BYPOSITION);
    EXPECT_EQ(menu.GetItem(5)->flags, MF_CHECKED | MF_OWNERDRAW);
    EXPECT_EQ(records[4]->flags, MF_SEPARATOR | MF_OWNERDRAW | MF_BYPOSITION);
    EXPECT_TRUE(records[4]->text.isEmpty());
}

TEST_F(TavMenuTest, ModifyItemReplacesTheRecordInPlace)
{
    ASSERT_TRUE(menu.ModifyItem(0, MF_BYPOSITION | MF_OWNERDRAW | MF_CHECKED, 600, QStringLiteral("&Reopen")));
    ExpectRecordsMatchItems();
    EXPECT_EQ(menu.GetItem(0)->id, 600u);
    EXPECT_TRUE(menu.GetItem(0)->flags & MF_CHECKED);
    EXPECT_EQ(TavMenu::FindMnemonicItem(u'r', MF_POPUP, &menu), MAKELRESULT(0, MNC_EXECUTE));
    EXPECT_EQ(TavMenu::FindMnemonicItem(u'o', MF_POPUP, &menu), 0);
    // Without MF_OWNERDRAW the item becomes a plain string.
    ASSERT_TRUE(menu.ModifyItem(1, MF_BYPOSITION, 601, QStringLiteral("Plain")));
    EXPECT_EQ(menu.GetItem(1)->data, nullptr);
    EXPECT_EQ(menu.GetItem(1)->text, QStringLiteral("Plain"));
    EXPECT_FALSE(menu.ModifyItem(9, MF_OWNERDRAW, 1, QStringLiteral("none")));
}

TEST_F(TavMenuTest, PopupsAreRegisteredUntilTheirMenuIsDestroyed)
{
    auto owned = std::make_unique<TavMenu>();
    owned->CreatePopupMenu();
    owned->AppendItem(QStringLiteral("&Inner"), 0, 9);
    const TavMenu* const submenu = owned.get();
    ASSERT_TRUE(menu.AppendItem(QStringLiteral("&More"), 0, std::move(owned)));
    EXPECT_EQ(menu.GetSubMenu(5), submenu);
    EXPECT_EQ(menu.GetItem(5)->flags, MF_POPUP | MF_OWNERDRAW);
    EXPECT_TRUE(TavMenu::IsOwnerDrawnMenu(submenu));
    EXPECT_FALSE(TavMenu::IsOwnerDrawnMenu(&menu));
    EXPECT_TRUE(menu.DestroyMenu());
    EXPECT_FALSE(TavMenu::IsOwnerDrawnMenu(submenu)); // and the sanitizer sees it freed
    EXPECT_FALSE(menu.IsMenu());
    EXPECT_TRUE(menu.Items().empty());
    EXPECT_FALSE(menu.DestroyMenu());
}

TEST_F(TavMenuTest, ItemsFindTheirCommandPictures)
{
    QImage picture(16, 15, QImage::Format_RGB32);
    picture.fill(Qt::red);
    TavMenu::AddCommandImage(999, picture);
    TavMenu::AddCommandImage(ID_OPEN, picture);
    ASSERT_TRUE(menu.AppendItem(QStringLiteral("Open again"), 0, ID_OPEN));
    EXPECT_EQ(menu.Items().back()->commandImageIndex, 1);
    EXPECT_EQ(menu.Items().front()->commandImageIndex, -1); // appended before the picture came
    TavMenu::RemoveCommandImages();
}

TEST(LightenColorTest, MovesEachChannelTowardWhiteByTheFactor)
{
    struct Case
    {
        platform::COLORREF colour;
        double factor;
        platform::COLORREF lightened;
    };
    const Case cases[] = {
        {0x000000, 0.6, platform::Rgb(153, 153, 153)},
        {platform::Rgb(0, 120, 215), 0.7, platform::Rgb(178, 214, 243)}, // 178.5, 214.5, 243
        {platform::Rgb(16, 32, 48), 0.5, platform::Rgb(135, 143, 151)},  // truncated halves
        {0x123456, 1.0, 0xFFFFFF},
        {0x123456, 0.0, 0x123456},
        {0x123456, -0.5, 0x123456},
        {0x123456, 1.5, 0x123456},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.factor);
        EXPECT_EQ(TavMenu::LightenColor(c.colour, c.factor), c.lightened);
    }
}

} // namespace
