// The owner-drawn menu with text: templates loaded with their accelerators
// lined up, item sizes, items drawn in both styles and checked pixel by
// pixel, and a button's menu opened and chosen from with real input.
#include "controls/button_vq.h"
#include "controls/tav_menu.h"
#include "tests/controls/menu_template_fixture.h"
#include "tests/controls/pixels_fixture.h"
#include "tests/support/screens.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace {

using namespace lmd::test;

constexpr QRgb kFace = 0xFFF0F0F0;
constexpr QRgb kWindow = 0xFFFFFFFF;
constexpr QRgb kHighlight = 0xFF0078D7;
constexpr QRgb kShadow = 0xFFA0A0A0;
constexpr QRgb kBlack = 0xFF000000;
constexpr QRgb kMagenta = 0xFFFF00FF; // never drawn by the menu
constexpr QRgb kCheckBox = 0xFFD8EAF9; // highlight lightened by 0.85: 216, 234, 249
constexpr QRgb kSelection = 0xFFB2D6F3; // highlight lightened by 0.7: 178, 214, 243

int Width(const QString& text)
{
    return QFontMetrics(TavMenu::MenuFont()).horizontalAdvance(text);
}

QImage Picture(QRgb colour)
{
    QImage picture(TavMenu::kIconWidth, TavMenu::kIconHeight, QImage::Format_RGB32);
    picture.fill(colour);
    return picture;
}

std::vector<QPoint> PixelsOf(const QImage& image, const QRect& area, QRgb colour)
{
    std::vector<QPoint> points;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixel(x, y) == colour)
                points.emplace_back(x, y);
    return points;
}

int Darkest(const QImage& image, const QRect& area)
{
    int darkest = 255;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb p = image.pixel(x, y);
            darkest = std::min({darkest, qRed(p), qGreen(p), qBlue(p)});
        }
    return darkest;
}

TEST(TavMenuLoadTest, TemplateBuildsTheMenuTreeWithAlignedAccelerators)
{
    TavMenu menu;
    ASSERT_TRUE(menu.LoadMenu(SampleMenuTemplate()));

    // The top level is a plain menu bar of two popups.
    ASSERT_EQ(menu.GetMenuItemCount(), 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(menu.GetItem(i)->flags, MF_POPUP);
        EXPECT_EQ(menu.GetItem(i)->data, nullptr);
        EXPECT_EQ(menu.Items()[static_cast<std::size_t>(i)]->flags, MF_BYPOSITION | MF_POPUP);
    }
    EXPECT_EQ(menu.GetItem(0)->text, QStringLiteral("&File"));
    EXPECT_EQ(menu.GetItem(1)->text, QStringLiteral("&Help"));

    auto* const file = dynamic_cast<TavMenu*>(menu.GetSubMenu(0));
    auto* const help = dynamic_cast<TavMenu*>(menu.GetSubMenu(1));
    ASSERT_TRUE(file && help);
    EXPECT_TRUE(TavMenu::IsOwnerDrawnMenu(file));
    EXPECT_TRUE(TavMenu::IsOwnerDrawnMenu(help));
    ASSERT_EQ(file->GetMenuItemCount(), 5);
    const unsigned fileFlags[] = {MF_OWNERDRAW, MF_OWNERDRAW | MF_GRAYED, MF_OWNERDRAW | MF_SEPARATOR,
                                  MF_OWNERDRAW | MF_POPUP, MF_OWNERDRAW};
    const unsigned fileIds[] = {ID_OPEN, ID_SAVE_AS, 0, 0, ID_EXIT};
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(file->GetItem(i)->flags, fileFlags[i]);
        EXPECT_EQ(file->GetItem(i)->id, fileIds[i]);
        EXPECT_EQ(file->GetItem(i)->data, file->Items()[static_cast<std::size_t>(i)].get());
    }
    auto* const recent = dynamic_cast<TavMenu*>(file->GetSubMenu(3));
    ASSERT_NE(recent, nullptr);
    EXPECT_EQ(file->Items()[3]->text, QStringLiteral("&Recent"));
    ASSERT_EQ(recent->GetMenuItemCount(), 2);
    EXPECT_EQ(recent->Items()[0]->text, QStringLiteral("&One"));
    EXPECT_EQ(recent->GetItem(1)->id, ID_RECENT_TWO);
    ASSERT_EQ(help->GetMenuItemCount(), 1);
    EXPECT_EQ(help->Items()[0]->text, QStringLiteral("&About"));

    // Accelerators: every label before a tab is padded with the fewest blanks
    // that make it as wide as the widest label of its menu and a blank.
    const QString labels[] = {QStringLiteral("&Open"), QStringLiteral("&Save As..."), QString(),
                              QStringLiteral("&Recent"), QStringLiteral("E&xit")};
    const QString accelerators[] = {QStringLiteral("Ctrl+O"), QStringLiteral("Ctrl+Shift+S"), {}, {},
                                    QStringLiteral("Alt+F4")};
    int widest = 0;
    for (const QString& label : labels)
        widest = std::max(widest, Width(label + QLatin1Char(' ')));
    for (int i : {0, 1, 4}) {
        SCOPED_TRACE(i);
        const QString text = file->Items()[static_cast<std::size_t>(i)]->text;
        const QString padded = text.section(QLatin1Char('\t'), 0, 0);
        EXPECT_EQ(text.section(QLatin1Char('\t'), 1), accelerators[i]);
        ASSERT_TRUE(padded.startsWith(labels[i]));
        EXPECT_EQ(padded.mid(labels[i].size()).trimmed(), QString());
        EXPECT_GE(Width(padded), widest);
        if (padded.size() > labels[i].size()) {
            EXPECT_LT(Width(padded.chopped(1)), widest);
        }
    }
    EXPECT_GT(file->Items()[0]->text.indexOf(QLatin1Char('\t')), labels[0].size()); // "&Open" was padded

    // An item appended to the loaded menu bar stays a plain one.
    ASSERT_TRUE(menu.AppendItem(QStringLiteral("&Window"), 0, 77));
    EXPECT_EQ(menu.GetItem(2)->flags, 0u);
    EXPECT_EQ(menu.GetItem(2)->text, QStringLiteral("&Window"));
}

// A popup of one item of each kind, drawn one item at a time onto a picture.
class TavMenuDrawTest : public ::testing::Test
{
protected:
    enum Row
    {
        kPlain,
        kChecked,
        kRadio,
        kSeparator,
        kGrayed,
        kPictured,
        kThreePictures,
        kTwoTone,
    };

    void SetUp() override
    {
        ASSERT_TRUE(menu.CreatePopupMenu());
        menu.AppendItem(QStringLiteral("&Open\tCtrl+O"), 0, ID_OPEN);
        menu.AppendItem(QStringLiteral("&Wrap lines"), MF_CHECKED, 500);
        menu.AppendItem(QStringLiteral("&Radio"), MF_CHECKED | MFT_RADIOCHECK, 501);
        menu.AppendItem({}, 0, 0);
        menu.AppendItem(QStringLiteral("Save &As..."), MF_GRAYED, ID_SAVE_AS);
        menu.AppendItem(QStringLiteral("&Picture"), 0, 502);
        menu.AppendItem(QStringLiteral("&Three"), 0, 503);
        menu.AppendItem(QStringLiteral("T&wo tone"), 0, 504);
        menu.SetItemImages(kPictured, {Picture(0xFFFF0000)}, 0);
        menu.SetItemImages(kThreePictures, {Picture(0xFFFF0000), Picture(0xFF00FF00), Picture(0xFF0000FF)}, 0);
        QImage twoTone = Picture(0xFFFF0000);
        for (int y = 0; y < twoTone.height(); ++y)
            for (int x = 8; x < twoTone.width(); ++x)
                twoTone.setPixel(x, y, 0xFFFFFF00);
        menu.SetItemImages(kTwoTone, {twoTone}, 0);
    }

    QImage Draw(int row, unsigned state, int width = 200) const
    {
        const TavMenuData* const data = menu.Items()[static_cast<std::size_t>(row)].get();
        MEASUREITEMSTRUCT measure;
        measure.itemData = data;
        menu.MeasureItem(measure);
        QImage image(width, measure.itemHeight, QImage::Format_RGB32);
        image.fill(kMagenta);
        QPainter painter(&image);
        DRAWITEMSTRUCT draw;
        draw.itemID = data->id;
        draw.itemState = state;
        draw.hDC = &painter;
        draw.rcItem = image.rect();
        draw.hwndItem = &menu;
        draw.itemData = data;
        menu.DrawItem(draw);
        return image;
    }

    TavMenu menu;
};

TEST_F(TavMenuDrawTest, FlatSizesFollowTheTextAndTheIconColumn)
{
    const auto measure = [this](int row) {
        MEASUREITEMSTRUCT m;
        m.itemData = menu.Items()[static_cast<std::size_t>(row)].get();
        menu.MeasureItem(m);
        return QSize(m.itemWidth, m.itemHeight);
    };
    // Separator: max((15 + 7) / 2, 20 / 2) high and no width of its own.
    EXPECT_EQ(measure(kSeparator), QSize(0, 11));
    // Items: 7 + 16 + text + 8 wide, max(20, 7 + 15) high; a tab counts as a
    // blank and the icon width that the accelerator keeps from the edge.
    EXPECT_EQ(measure(kPlain), QSize(31 + Width(QStringLiteral("&Open Ctrl+O")) + 16, 22));
    EXPECT_EQ(measure(kGrayed), QSize(31 + Width(QStringLiteral("Save &As...")), 22));
    EXPECT_EQ(measure(kChecked), QSize(31 + Width(QStringLiteral("&Wrap lines")), 22));
}

TEST_F(TavMenuDrawTest, FlatCheckMarkAndRadioDotSitInAFramedBoxOfTheColumn)
{
    // The 16 x 16 box centred in the 23-pixel column of a 22-pixel item, rounded: (4, 3).
    const QRect box(4, 3, 16, 16);
    struct Case
    {
        int row;
        std::vector<QPoint> mark;
    };
    std::vector<QPoint> tick; // seven strokes of three from (box + 5, box + 4)
    const int drop[7] = {2, 3, 4, 3, 2, 1, 0};
    for (int column = 0; column < 7; ++column)
        for (int k = 0; k < 3; ++k)
            tick.emplace_back(box.left() + 5 + column, box.top() + 4 + drop[column] + k);
    std::vector<QPoint> dot; // a 6 x 6 disc from the same corner
    for (int row = 0; row < 6; ++row)
        for (int column = 0; column < 6; ++column)
            if (!((row == 0 || row == 5) && (column == 0 || column == 5)))
                dot.emplace_back(box.left() + 5 + column, box.top() + 4 + row);
    const auto byRow = [](const QPoint& a, const QPoint& b) { return std::pair(a.y(), a.x()) < std::pair(b.y(), b.x()); };
    std::sort(tick.begin(), tick.end(), byRow);
    std::sort(dot.begin(), dot.end(), byRow);

    for (const Case& c : {Case{kChecked, tick}, Case{kRadio, dot}}) {
        SCOPED_TRACE(c.row);
        const QImage image = Draw(c.row, ODS_CHECKED);
        EXPECT_EQ(BoundsOf(image, QRect(0, 0, 23, 22), [](QRgb p) { return p == kHighlight; }), box);
        EXPECT_EQ(image.pixel(box.left() + 1, box.top() + 1), kCheckBox);
        EXPECT_EQ(PixelsOf(image, box, kBlack), c.mark);
        EXPECT_EQ(image.pixel(1, 1), kFace);
        EXPECT_EQ(image.pixel(22, 20), kFace);
        EXPECT_EQ(image.pixel(23, 1), kWindow);
        EXPECT_TRUE(PixelsOf(image, image.rect(), kMagenta).empty());
    }
}

TEST_F(TavMenuDrawTest, FlatSelectionFillsAndFramesTheWholeItem)
{
    const QImage image = Draw(kPlain, ODS_SELECTED);
    EXPECT_EQ(image.pixel(0, 0), kHighlight);
    EXPECT_EQ(image.pixel(199, 21), kHighlight);
    EXPECT_EQ(image.pixel(1, 1), kSelection);
    EXPECT_EQ(image.pixel(198, 20), kSelection);
    EXPECT_LT(Darkest(image, QRect(31, 0, 100, 22)), 0x30); // the text in the menu text colour
}

TEST_F(TavMenuDrawTest, FlatGrayedItemIsNeverSelectedAndWrittenInGrayText)
{
    const QImage image = Draw(kGrayed, ODS_GRAYED | ODS_SELECTED);
    EXPECT_TRUE(PixelsOf(image, image.rect(), kSelection).empty());
    EXPECT_TRUE(PixelsOf(image, image.rect(), kHighlight).empty());
    EXPECT_EQ(image.pixel(1, 1), kFace);
    EXPECT_EQ(image.pixel(24, 1), kWindow);
    const QRect text(31, 0, 169, 22);
    EXPECT_GE(Darkest(image, text), 0x6D); // nothing darker than the gray text
    EXPECT_LT(Darkest(image, text), 0xA0); // but the text is there
    EXPECT_TRUE(PixelsOf(image, image.rect(), kMagenta).empty());
}

TEST_F(TavMenuDrawTest, FlatSeparatorIsAnEtchedLineRightOfTheColumn)
{
    const QImage image = Draw(kSeparator, 0);
    ASSERT_EQ(image.height(), 11);
    for (int y = 0; y < 11; ++y) {
        SCOPED_TRACE(y);
        EXPECT_EQ(BoundsOf(image, QRect(0, y, 200, 1), [](QRgb p) { return p != kFace; }).left(), 23);
        const QRgb expected = y == 5 ? kShadow : kWindow; // the etched line's light half is the window's white
        EXPECT_EQ(PixelsOf(image, QRect(23, y, 177, 1), expected).size(), 177u);
    }
}

TEST_F(TavMenuDrawTest, FlatPicturesAreCentredInTheColumn)
{
    const auto colourBounds = [](const QImage& image, QRgb colour) {
        return BoundsOf(image, image.rect(), [colour](QRgb p) { return p == colour; });
    };
    // One picture at ((23 - 16) / 2, (22 - 15) / 2) rounded.
    EXPECT_EQ(colourBounds(Draw(kPictured, 0), 0xFFFF0000), QRect(4, 4, 16, 15));
    // Three pictures: the second when idle; when selected the third as a
    // shadow one pixel down-right and the first one pixel up-left over it.
    const QImage idle = Draw(kThreePictures, 0);
    EXPECT_EQ(colourBounds(idle, 0xFF00FF00), QRect(4, 4, 16, 15));
    EXPECT_TRUE(colourBounds(idle, 0xFFFF0000).isNull());
    const QImage hot = Draw(kThreePictures, ODS_SELECTED);
    EXPECT_EQ(colourBounds(hot, 0xFFFF0000), QRect(3, 3, 16, 15));
    EXPECT_EQ(colourBounds(hot, 0xFF0000FF), QRect(5, 5, 16, 15));
    EXPECT_EQ(hot.pixel(10, 10), 0xFFFF0000u);
}

TEST_F(TavMenuDrawTest, FlatPicturesComeFromTheSharedCommandPictures)
{
    TavMenu::AddCommandImage(700, Picture(0xFF00FFFF));
    menu.AppendItem(QStringLiteral("&Shared"), 0, 700);
    const QImage image = Draw(static_cast<int>(menu.Items().size()) - 1, 0);
    TavMenu::RemoveCommandImages();
    EXPECT_EQ(BoundsOf(image, image.rect(), [](QRgb p) { return p == 0xFF00FFFF; }), QRect(4, 4, 16, 15));
}

TEST_F(TavMenuDrawTest, ClassicStyleRaisesBoxesAndEmbossesGrayedItems)
{
    menu.SetDrawStyle(TavMenu::DrawStyle::Classic);
    // Selected and checked: the highlight starts right of the 20 x 19 box at (0, 1).
    const QImage checked = Draw(kChecked, ODS_SELECTED | ODS_CHECKED);
    EXPECT_EQ(checked.pixel(20, 10), kFace);
    EXPECT_EQ(checked.pixel(21, 10), kHighlight);
    EXPECT_EQ(checked.pixel(0, 1), kShadow);   // sunken edge: shadow on top and left
    EXPECT_EQ(checked.pixel(19, 19), kWindow); // highlight at the bottom right
    EXPECT_EQ(checked.pixel(4, 1 + 4 + 2), kBlack);
    EXPECT_EQ(checked.pixel(10, 1 + 4), kBlack);
    EXPECT_FALSE(PixelsOf(checked, QRect(25, 0, 100, 22), kWindow).empty()); // text in the highlight text colour

    // Grayed and idle: the text embossed, white one pixel down-right of the gray.
    const QImage grayed = Draw(kGrayed, ODS_GRAYED);
    const QRect text(25, 0, 120, 22);
    EXPECT_FALSE(PixelsOf(grayed, text, kWindow).empty());
    EXPECT_GE(Darkest(grayed, text), 0x6D);
    EXPECT_LT(Darkest(grayed, text), 0xA0);

    // Separator: the etched line across the whole item.
    const QImage separator = Draw(kSeparator, 0);
    EXPECT_EQ(PixelsOf(separator, QRect(0, 5, 200, 1), kShadow).size(), 200u);
    EXPECT_EQ(PixelsOf(separator, QRect(0, 6, 200, 1), kWindow).size(), 200u);
    EXPECT_EQ(separator.pixel(0, 0), kFace);
}

TEST_F(TavMenuDrawTest, ClassicDisabledPicturesInBothMethods)
{
    menu.SetDrawStyle(TavMenu::DrawStyle::Classic);
    // The picture goes 2 pixels inside the box at (0, 1): red on the left
    // eight columns, yellow on the right, at (2, 3).
    const QImage masked = Draw(kTwoTone, ODS_GRAYED);
    EXPECT_EQ(masked.pixel(1, 2), 0xFFF9F9F9); // the idle box: the face lightened by 0.6
    EXPECT_EQ(masked.pixel(2, 3), kShadow);    // red is ink
    EXPECT_EQ(masked.pixel(17, 3), kShadow);   // and so is yellow: neither face nor highlight
    EXPECT_EQ(masked.pixel(18, 10), kWindow);  // the highlight copy shows one pixel further
    EXPECT_EQ(masked.pixel(10, 18), kWindow);

    menu.SetDisabledImageStyle(TavMenu::DisabledImageStyle::MonochromeDib);
    const QImage dib = Draw(kTwoTone, ODS_GRAYED);
    EXPECT_EQ(dib.pixel(2, 3), kShadow);  // red is nearer black: ink
    EXPECT_EQ(dib.pixel(17, 3), kFace);   // yellow is nearer white: the filled box shows
    EXPECT_EQ(dib.pixel(10, 10), kWindow); // the highlight copy of the red half's right edge
    EXPECT_EQ(dib.pixel(12, 10), kFace);
}

// Every kind of item in its states, in both styles (flat on the left of the
// contact sheet, classic on the right): each item paints its whole rectangle
// (the menu never draws magenta) and shows its text whole, from where the text
// starts to the label's end, or to the accelerator's right edge.
TEST_F(TavMenuDrawTest, BothStylesPaintEveryItemWithItsWholeText)
{
    struct Sample
    {
        int row;
        unsigned state;
    };
    const Sample samples[] = {{kPlain, 0},         {kPlain, ODS_SELECTED},  {kChecked, ODS_CHECKED},
                              {kRadio, ODS_CHECKED}, {kSeparator, 0},        {kGrayed, ODS_GRAYED},
                              {kPictured, 0},       {kThreePictures, ODS_SELECTED}, {kTwoTone, ODS_GRAYED}};
    QImage sheet(400, 200, QImage::Format_RGB32);
    sheet.fill(kMagenta);
    QPainter painter(&sheet);
    for (const TavMenu::DrawStyle style : {TavMenu::DrawStyle::Flat, TavMenu::DrawStyle::Classic}) {
        menu.SetDrawStyle(style);
        const bool flat = style == TavMenu::DrawStyle::Flat;
        const int textLeft = flat ? 31 : 25; // right of the icon column, or of the icon box
        int y = 0;
        for (const Sample& s : samples) {
            SCOPED_TRACE(testing::Message()
                         << (flat ? "flat" : "classic") << " row " << s.row << " state " << s.state);
            const QImage item = Draw(s.row, s.state);
            painter.drawImage(flat ? 0 : 200, y, item);
            y += item.height();
            EXPECT_TRUE(PixelsOf(item, item.rect(), kMagenta).empty());
            if (s.row == kSeparator)
                continue;
            const QString text = menu.Items()[static_cast<std::size_t>(s.row)]->text;
            const QRgb background = item.pixel(item.width() - 3, item.height() / 2);
            const QRect area(textLeft - 3, 2, item.width() - textLeft, item.height() - 4);
            const QRect ink = BoundsOf(item, area, [background](QRgb p) { return p != background; });
            const bool accelerator = text.contains(QLatin1Char('\t'));
            const int end = accelerator ? item.width() - TavMenu::kIconWidth
                                        : textLeft + Width(QString(text).remove(QLatin1Char('&')));
            EXPECT_NEAR(ink.left(), textLeft, 1);
            EXPECT_NEAR(ink.right() + 1, end, 2);
        }
    }
    painter.end();
    SaveScreen(sheet, QStringLiteral("tav_menu_items"));
}

// A button whose menu is the sample's "&File" popup.
class MenuButtonTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        window.setGeometry(60, 60, 240, 120);
        button = new CButtonVq(QStringLiteral("Menu"), &window);
        button->setGeometry(10, 10, 80, 24);
        QObject::connect(button, &CButtonVq::MenuCommand, [this](unsigned id) { commands.push_back(id); });
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    // Closes what a step left open, so that a menu that ignored its input
    // fails the test instead of holding it.
    static void CloseOpenPopups()
    {
        while (QWidget* const popup = QApplication::activePopupWidget())
            popup->close();
    }

    // Runs step with the open popup once one is open (other than after); the
    // menu's own loop holds the click that opened it meanwhile. When none opens
    // in time, whatever is open is closed.
    static void WhenPopupOpens(std::function<void(QMenu*)> step, const QWidget* after = nullptr)
    {
        auto* const timer = new QTimer;
        auto waited = std::make_shared<int>(0);
        QObject::connect(timer, &QTimer::timeout, [timer, step, after, waited] {
            auto* const popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            const bool open = popup && popup != after && popup->isVisible();
            if (!open && ++*waited < 500)
                return;
            timer->stop();
            timer->deleteLater();
            if (open)
                step(popup);
            else
                CloseOpenPopups();
        });
        timer->start(10);
    }

    QWidget window;
    CButtonVq* button = nullptr;
    std::vector<unsigned> commands;
};

TEST_F(MenuButtonTest, ButtonWithAnEmptyMenuShowsNothingAndGoesCleanly)
{
    auto empty = std::make_unique<CButtonVq>(QStringLiteral("Empty"), &window);
    empty->setGeometry(100, 10, 80, 24);
    empty->show();
    QTest::mouseClick(empty.get(), Qt::LeftButton);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    EXPECT_EQ(empty->OnMenuChar(u'x', MF_POPUP, &empty->Menu()), 0);
    empty.reset(); // the sanitizer's leak check sees anything the menu kept
    QCoreApplication::processEvents();
    EXPECT_TRUE(commands.empty());
}

TEST_F(MenuButtonTest, TypedMnemonicChoosesFromTheOwnerDrawnPopup)
{
    ASSERT_TRUE(button->Menu().LoadMenu(SampleMenuTemplate()));
    QImage shown;
    QRect open;
    std::vector<int> heights;
    WhenPopupOpens([&](QMenu* popup) {
        shown = popup->grab().toImage().convertToFormat(QImage::Format_RGB32);
        open = popup->actionGeometry(popup->actions().value(0));
        for (QAction* action : popup->actions())
            heights.push_back(popup->actionGeometry(action).height());
        QTest::keyClick(popup, Qt::Key_Q); // no item has "&q": the menu stays
        QTest::keyClick(popup, Qt::Key_X); // "E&xit"
        CloseOpenPopups();
    });
    QTest::mouseClick(button, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([this] { return !commands.empty(); }));
    EXPECT_EQ(commands, std::vector<unsigned>{ID_EXIT});
    EXPECT_EQ(heights, (std::vector<int>{22, 22, 11, 22, 22}));
    ASSERT_FALSE(shown.isNull());
    SaveScreen(shown, QStringLiteral("tav_menu_popup"));
    // The flat look: the face-coloured icon column beside the white text area.
    EXPECT_EQ(shown.pixel(open.left() + 1, open.top() + 1), kFace);
    EXPECT_EQ(shown.pixel(open.left() + 24, open.top() + 1), kWindow);
    EXPECT_EQ(shown.pixel(open.right() - 1, open.top() + 1), kWindow);
}

TEST_F(MenuButtonTest, MnemonicOpensASubmenuAndAClickChoosesInIt)
{
    ASSERT_TRUE(button->Menu().LoadMenu(SampleMenuTemplate()));
    WhenPopupOpens([](QMenu* file) {
        WhenPopupOpens(
            [](QMenu* recent) {
                if (QAction* const two = recent->actions().value(1))
                    QTest::mouseClick(recent, Qt::LeftButton, {}, recent->actionGeometry(two).center());
                CloseOpenPopups();
            },
            file);
        QTest::keyClick(file, Qt::Key_R);
    });
    QTest::mouseClick(button, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([this] { return !commands.empty(); }));
    EXPECT_EQ(commands, std::vector<unsigned>{ID_RECENT_TWO});
}

TEST_F(MenuButtonTest, GrayedItemIsNotChosenAndEscapeClosesWithoutACommand)
{
    ASSERT_TRUE(button->Menu().LoadMenu(SampleMenuTemplate()));
    bool closed = false;
    WhenPopupOpens([&closed](QMenu* popup) {
        QTest::keyClick(popup, Qt::Key_S); // "&Save As..." is grayed
        QTest::keyClick(popup, Qt::Key_Escape);
        closed = !QApplication::activePopupWidget();
        CloseOpenPopups();
    });
    QTest::mouseClick(button, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&closed] { return closed && !QApplication::activePopupWidget(); }));
    QCoreApplication::processEvents();
    EXPECT_TRUE(commands.empty());
}

} // namespace
