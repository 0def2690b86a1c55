// The settings dialog on the test display: the launcher's pages in the tree,
// pages made on first selection, OK, Cancel, the close box and Escape, the
// caption bar and the dialog's place.
#include "platform/resources.h"
#include "settings/prefs_static.h"
#include "settings/settings_dialog.h"
#include "settings/settings_pages.h"
#include "tests/settings/settings_fixture.h"
#include "tests/support/screens.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QTreeWidget>
#include <QWindow>
#include <memory>

namespace {

using namespace lmd::test;

// What the stub pages saw, by page index.
struct PageLog
{
    int made = 0;
    int inits = 0;
    int saves = 0; // data exchanges from the controls
    int destroyed = 0;
};

// A page with one check box that logs its life.
class StubPage : public CPropertyPage
{
public:
    StubPage(QWidget* parent, PageLog& log) : CPropertyPage(Template(), parent), log_(log) { ++log_.made; }
    ~StubPage() override { ++log_.destroyed; }

    static const platform::DialogTemplate& Template()
    {
        static const platform::DialogTemplate page{
            QString(), {260, 160}, {{100, platform::ControlKind::CheckBox, {10, 10, 60, 10}, 0, "check"}}};
        return page;
    }

    bool OnInitDialog() override
    {
        ++log_.inits;
        return CPropertyPage::OnInitDialog();
    }

protected:
    void DoDataExchange(platform::DataExchange& dx) override
    {
        if (dx.m_bSaveAndValidate)
            ++log_.saves;
        platform::DDX_Check(dx, 100, check_);
    }

private:
    PageLog& log_;
    int check_ = 0;
};

class SettingsDialogTest : public SettingsPageTest
{
protected:
    // A dialog of four stub pages, opening on page `initial`.
    CSettingsDialog& Open(int initial)
    {
        dialog = std::make_unique<CSettingsDialog>();
        for (int i = 0; i < 4; ++i)
            dialog->AddPage([this, i](QWidget* parent) { return std::make_unique<StubPage>(parent, logs[i]); },
                            300 + i, QStringLiteral("page %1").arg(i));
        dialog->SetTitle("LMD Settings");
        dialog->SetLogoText("LMD");
        dialog->SetInitialPage(initial);
        dialog->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
        return *dialog;
    }

    void SelectInTree(int index)
    {
        QTreeWidget* tree = dialog->Tree();
        const QRect item = tree->visualItemRect(tree->topLevelItem(index));
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, item.center());
    }

    QPushButton* Button(int id) const { return dialog->Controls().ItemAs<QPushButton>(id); }

    PageLog logs[4];
    std::unique_ptr<CSettingsDialog> dialog;
};

// The launcher's seven pages in order, with images 0 to 6 of the strip; the
// first page shows on opening with its caption in the caption bar.
TEST_F(SettingsDialogTest, LauncherPagesInTreeOrderWithTheirImages)
{
    const ImageList images = LoadImageList("TREE_ITEM_IMAGE", 16, 0x000000);
    ASSERT_EQ(images.size(), 8u);
    const QImage strip = platform::LoadBitmap("TREE_ITEM_IMAGE").convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(strip.size(), QSize(128, 16));
    // The mask: exactly the strip's black pixels are transparent.
    for (int i = 0; i < 8; ++i) {
        const QImage image = images[i].pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
        int transparent = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const bool black = (strip.pixel(i * 16 + x, y) & 0xFFFFFF) == 0;
                EXPECT_EQ(qAlpha(image.pixel(x, y)) == 0, black) << i << " " << x << "," << y;
                transparent += black;
            }
        EXPECT_GT(transparent, 0) << i;
        EXPECT_LT(transparent, 256 - 40) << i; // a picture, not an empty square
    }

    CSettingsDialog launcher;
    AddSettingsPages(launcher);
    launcher.SetTreeImageList(images);
    launcher.SetTitle("LMD Settings");
    launcher.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&launcher));
    const QStringList captions = {"文字盤1", "文字盤2", "フレーム", "エフェクト", "全般", "アラーム", "バージョン"};
    const int templates[] = {202, 209, 203, 208, 204, 205, 206};
    QTreeWidget* tree = launcher.Tree();
    ASSERT_EQ(tree->topLevelItemCount(), 7);
    for (int i = 0; i < 7; ++i) {
        const QTreeWidgetItem* item = tree->topLevelItem(i);
        EXPECT_EQ(item->text(0), captions[i]);
        EXPECT_EQ(launcher.PageInfo(i).nTemplateID, templates[i]);
        EXPECT_EQ(item->icon(0).pixmap(16, 16).toImage(), images[i].pixmap(16, 16).toImage()) << i;
    }
    EXPECT_EQ(tree->currentItem(), tree->topLevelItem(0));
    EXPECT_EQ(launcher.CaptionBar()->Text(), "文字盤1");
    EXPECT_EQ(launcher.windowTitle(), "LMD Settings");
    EXPECT_FALSE(launcher.windowIcon().isNull());
    SaveScreen(launcher.grab().toImage(), "settings_dialog");
    launcher.reject();
}

// A page is made when its item is first selected and only hidden and shown
// after that; selecting the shown page again only shows it again.
TEST_F(SettingsDialogTest, PagesAreMadeOnFirstSelectionOnly)
{
    Open(2);
    EXPECT_EQ(logs[2].made, 1);
    EXPECT_EQ(logs[2].inits, 1);
    EXPECT_EQ(logs[0].made + logs[1].made + logs[3].made, 0);
    EXPECT_EQ(dialog->CurrentPageIndex(), 2);
    EXPECT_EQ(dialog->PageInfo(2).pWnd->geometry(), dialog->PageRect());

    SelectInTree(0);
    EXPECT_EQ(logs[0].made, 1);
    EXPECT_TRUE(dialog->PageInfo(0).pWnd->isVisible());
    EXPECT_FALSE(dialog->PageInfo(2).pWnd->isVisible());
    EXPECT_EQ(dialog->CaptionBar()->Text(), "page 0");
    SelectInTree(0);
    SelectInTree(2);
    SelectInTree(0);
    EXPECT_EQ(logs[0].made, 1);
    EXPECT_EQ(logs[2].made, 1);
    EXPECT_EQ(logs[0].inits, 1);
    EXPECT_EQ(dialog->CurrentPageIndex(), 0);
    EXPECT_EQ(logs[1].made + logs[3].made, 0);
}

// Escape does nothing; OK exchanges the data of the pages that were made,
// destroys them and keeps the current page's index for the next opening.
TEST_F(SettingsDialogTest, EscapeIsIgnoredAndOkSavesTheMadePages)
{
    Open(1);
    SelectInTree(3);
    QTest::keyClick(dialog->PageInfo(3).pWnd.get(), Qt::Key_Escape);
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(Button(CSettingsDialog::IDOK)->isDefault());

    QTest::mouseClick(Button(CSettingsDialog::IDOK), Qt::LeftButton);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    const int saves[] = {0, 1, 0, 1};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(logs[i].saves, saves[i]) << i;
        EXPECT_EQ(logs[i].destroyed, logs[i].made) << i;
        EXPECT_EQ(dialog->PageInfo(i).pWnd, nullptr);
    }
    EXPECT_EQ(dialog->InitialPage(), 3);
}

// The close box and "キャンセル" cancel without any data exchange, and keep
// the current page's index as well.
TEST_F(SettingsDialogTest, CloseBoxAndCancelCancel)
{
    for (const bool closeBox : {true, false}) {
        for (PageLog& log : logs)
            log = {};
        Open(0);
        SelectInTree(1);
        if (closeBox)
            dialog->windowHandle()->close(); // what the window manager's close box does
        else
            QTest::mouseClick(Button(CSettingsDialog::IDCANCEL), Qt::LeftButton);
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_EQ(dialog->result(), QDialog::Rejected);
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(logs[i].saves, 0) << i;
            EXPECT_EQ(logs[i].destroyed, logs[i].made) << i;
        }
        EXPECT_EQ(logs[0].made + logs[1].made, 2);
        EXPECT_EQ(dialog->InitialPage(), 1);
    }
}

// The dialog opens centred on the work area; the Apply button stays hidden.
TEST_F(SettingsDialogTest, CentredOnTheWorkArea)
{
    Open(0);
    const QRect work = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(dialog->pos(), QPoint(work.left() + (work.width() - dialog->width()) / 2,
                                    work.top() + (work.height() - dialog->height()) / 2));
    EXPECT_EQ(dialog->size(), QSize(527, 345)); // 351 x 212 dialog units
    EXPECT_FALSE(Button(CSettingsDialog::IDC_APPLY)->isVisible());
    EXPECT_FALSE(Button(CSettingsDialog::IDC_APPLY)->isEnabled());
}

// The caption bar: the gradient's bands where the rule puts them, "LMD"
// engraved at the right end, the caption at the left.
TEST_F(SettingsDialogTest, CaptionBarGradientAndLogo)
{
    Open(0);
    CPrefsStatic& bar = *dialog->CaptionBar();
    const QImage& background = bar.Background();
    const QSize size = bar.contentsRect().size();
    ASSERT_EQ(background.size(), size);
    const QImage plain = CaptionGradient(size.width(), size.height(), 0xF0F0F0);
    // Logo pixels: where the picture differs from the plain gradient.
    QRect logo;
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            if (background.pixel(x, y) != plain.pixel(x, y))
                logo |= QRect(x, y, 1, 1);
    ASSERT_FALSE(logo.isEmpty());
    EXPECT_GT(logo.left(), size.width() * 3 / 4);
    EXPECT_LE(logo.right(), size.width() - 5); // the highlight copy ends 1 pixel right of the text
    EXPECT_GE(logo.right(), size.width() - 8);
    EXPECT_LE(std::abs((logo.top() + logo.bottom()) / 2 - size.height() / 2), 2);
    const QImage shown = bar.grab().toImage();
    SaveScreen(shown, "settings_caption_bar");
    EXPECT_EQ(bar.Text(), "page 0");
}

} // namespace
