// The about dialog on the display: its ten tabs, the LED page it opens on,
// switching pages with clicks and keys, the rippling pictures' pages, what the
// Control key chooses, and that every way of closing it frees all its controls.
#include "about/about_dlg.h"
#include "about/about_templates.h"
#include "controls/matrix_static.h"
#include "platform/crt.h"
#include "platform/desktop.h"
#include "platform/paths.h"
#include "platform/resources.h"
#include "tests/about/about_dialog_fixture.h"
#include "tests/support/hostile_files.h"
#include "tests/support/screens.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <ctime>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

// Pixels of one colour (a Windows colour value) inside a rectangle of a picture.
int CountColour(const QImage& picture, const QRect& area, platform::COLORREF colour)
{
    const QRgb wanted = platform::ToPixel(colour);
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += (picture.pixel(x, y) | 0xFF000000u) == wanted;
    return n;
}

class AboutDlgTest : public ::testing::Test
{
protected:
    void Open() { lmd::test::OpenAboutDialog(dialog); }

    CTabCtrlSSL& Tabs() const { return *dialog->TabCtrl(); }

    void ClickTab(int index)
    {
        QTabBar* const bar = Tabs().TabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
    }

    // Only the page of tab index is visible.
    bool OnlyPageShown(int index) const
    {
        for (int i = 0; i < Tabs().GetItemCount(); ++i) {
            if (Tabs().GetPage(i)->isVisible() != (i == index))
                return false;
        }
        return true;
    }

    // The dialog as the screen shows it.
    QImage Screen() const
    {
        const QRect frame(dialog->mapToGlobal(QPoint(0, 0)), dialog->size());
        return lmd::test::GrabScreen().copy(frame);
    }

    platform::ScopedRecordingDesktop desktop;
    std::unique_ptr<CAboutDlg> dialog;
};

TEST_F(AboutDlgTest, OpensOnTheNamePageWithTenTabs)
{
    Open();
    ASSERT_EQ(Tabs().GetItemCount(), 10);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(Tabs().GetItemText(i), about::TabCaptions()[static_cast<std::size_t>(i)]);
    EXPECT_EQ(Tabs().GetItemText(0), QStringLiteral("アプリ名"));
    EXPECT_EQ(Tabs().GetCurSel(), 0);
    EXPECT_TRUE(OnlyPageShown(0));
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("About"));
    EXPECT_EQ(dialog->size(), QSize(345, 325)); // 230 x 200 dialog units

    CMatrixStatic* const name = dialog->NameDisplay();
    CMatrixStatic* const block = dialog->DedicationDisplay();
    ASSERT_TRUE(name && block);
    EXPECT_EQ(name->DisplayText(), QStringLiteral("Lumidial"));
    EXPECT_EQ(name->CharsPerLine(), 21);
    EXPECT_EQ(name->LineCount(), 1);
    EXPECT_EQ(name->LitColor(), 0x32FF00u);
    EXPECT_EQ(name->UnlitColor(), 0x1E6700u);
    EXPECT_EQ(name->BackgroundColor(), 0x000000u);
    EXPECT_EQ(block->DisplayText(), about::DedicationText());
    EXPECT_EQ(block->CharsPerLine(), 27);
    EXPECT_EQ(block->LineCount(), 7);
    EXPECT_EQ(block->BackgroundColor(), 0x42B5A5u);
    // Seven rows of 11 x 15 cells inside a 2-pixel edge.
    EXPECT_EQ(block->size(), QSize(27 * 11 + 4, 7 * 15 + 4));

    // On screen: both displays in their own colours.
    const QImage shot = Screen();
    lmd::test::SaveScreen(shot, "about-0");
    const QRect nameArea(name->mapTo(dialog.get(), QPoint(2, 2)), QSize(80, name->height() - 4));
    EXPECT_GT(CountColour(shot, nameArea, 0x32FF00), 40) << "lit dots of the product name";
    EXPECT_GT(CountColour(shot, nameArea, 0x1E6700), 40) << "unlit dots";
    const QRect blockArea(block->mapTo(dialog.get(), QPoint(2, 2)), block->size() - QSize(4, 4));
    EXPECT_GT(CountColour(shot, blockArea, 0x42B5A5), blockArea.width() * blockArea.height() / 4);
    EXPECT_GT(CountColour(shot, blockArea, 0x000000), 40) << "lit dots of the dedication";
}

TEST_F(AboutDlgTest, EveryTabShowsItsPageAlone)
{
    Open();
    for (int i = 1; i < 10; ++i) {
        ClickTab(i);
        ASSERT_EQ(Tabs().GetCurSel(), i);
        EXPECT_TRUE(OnlyPageShown(i)) << "tab " << i;
        QTest::qWait(60); // two frames of the animated pages, for the pictures
        if (i == 3)       // the reveal's first line, after its first delay
            QTRY_VERIFY_WITH_TIMEOUT(dialog->Reveal()->m_strRevealed == about::RevealLines()[0], 15000);
        lmd::test::SaveScreen(Screen(), QStringLiteral("about-%1").arg(i));
    }
    ClickTab(0);
    EXPECT_TRUE(OnlyPageShown(0));
}

TEST_F(AboutDlgTest, TheCrawlRunsSlowerThanItsSetUp)
{
    Open();
    ASSERT_TRUE(dialog->Crawl());
    EXPECT_EQ(dialog->Crawl()->m_nStarSpeed, 2);
    EXPECT_EQ(dialog->Crawl()->m_nScrollSpeed, 3);
    EXPECT_TRUE(dialog->Clouds()->m_bSteering);
}

TEST_F(AboutDlgTest, ArrowKeysOnTheTabsSwitchPages)
{
    Open();
    QTabBar* const bar = Tabs().TabBar();
    bar->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(bar->hasFocus()); // no page child takes the focus from it
    QTest::keyClick(bar, Qt::Key_Right);
    EXPECT_EQ(Tabs().GetCurSel(), 1);
    EXPECT_TRUE(OnlyPageShown(1));
    QTest::keyClick(bar, Qt::Key_Right);
    QTest::keyClick(bar, Qt::Key_Right);
    EXPECT_TRUE(OnlyPageShown(3));
    QTest::keyClick(bar, Qt::Key_Left);
    EXPECT_TRUE(OnlyPageShown(2));
}

TEST_F(AboutDlgTest, PicturePagesRippleTheirPictures)
{
    platform::paths::SetExeDirOverride(QString()); // the pictures beside the test program
    Open();
    ClickTab(4);
    CSpecialFXCtrl* const lake = dialog->FirstPicture();
    ASSERT_TRUE(lake && lake->isVisible());
    // The picture control sits where the page's static was: 7,7 dialog units.
    EXPECT_EQ(lake->pos(), QPoint(11, 11));
    const QImage picture = platform::LoadBitmap(153);
    ASSERT_EQ(picture.size(), QSize(336, 225));
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return lake->Frame().Image().pixel(30, 30) == picture.pixel(30, 30); }));
    // The picture is wider than the control (clipped) and lower (grey below).
    EXPECT_EQ(lake->Frame().GetPixel(30, 230), 0xF0F0F0u);
    QTest::mouseClick(lake, Qt::LeftButton, {}, QPoint(100, 100));
    EXPECT_EQ(lake->CurrentPicture(), 0); // one picture only

    ClickTab(5);
    CSpecialFXCtrl* const tiles = dialog->SecondPicture();
    ASSERT_TRUE(tiles && tiles->isVisible());
    QTest::mouseClick(tiles, Qt::LeftButton, {}, QPoint(100, 100));
    EXPECT_EQ(tiles->CurrentPicture(), 1) << "the second picture comes from assets/moon_reeds_2.png";
    QTest::mouseClick(tiles, Qt::LeftButton, {}, QPoint(100, 100));
    EXPECT_EQ(tiles->CurrentPicture(), 0);
}

TEST_F(AboutDlgTest, WithoutTheSecondPictureFileAClickDoesNotSwitch)
{
    // The file missing, or something in its place that is no picture file:
    // the dialog opens at once all the same.
    const auto inFolder = [](const QString& folder) {
        return platform::paths::Normalize(folder + platform::paths::FromData(about::kSecondPictureName));
    };
    QFile real(inFolder(platform::paths::ExeDir()));
    ASSERT_TRUE(real.open(QIODevice::ReadOnly));
    const QByteArray picture = real.readAll();
    QTemporaryDir elsewhere;
    ASSERT_TRUE(QDir(elsewhere.path()).mkdir("assets"));
    const QString path = inFolder(elsewhere.path());
    std::vector<std::pair<std::string, std::optional<lmd::test::HostileFile>>> cases = {{"missing", {}}};
    for (const lmd::test::HostileCase& c : lmd::test::kHostileFiles)
        cases.emplace_back(c.name, c.kind);
    for (const auto& [name, hostile] : cases) {
        SCOPED_TRACE(name);
        if (hostile) {
            ASSERT_TRUE(lmd::test::PlaceHostileFile(path, *hostile, platform::FileKind::Picture, picture));
        }
        platform::paths::SetExeDirOverride(elsewhere.path());
        Open();
        platform::paths::SetExeDirOverride(QString());
        ClickTab(5);
        QTest::mouseClick(dialog->SecondPicture(), Qt::LeftButton, {}, QPoint(100, 100));
        EXPECT_EQ(dialog->SecondPicture()->CurrentPicture(), 0);
    }
}

TEST_F(AboutDlgTest, TheControlKeyChoosesTheSecondModel)
{
    Open();
    EXPECT_EQ(dialog->SpectralModel(), QByteArray("stanford_bunny.obj"));
    dialog.reset();
    desktop->controlDown = true;
    Open();
    EXPECT_EQ(dialog->SpectralModel(), QByteArray("LexusLFA.obj"));
}

TEST_F(AboutDlgTest, ConstructionSeedsTheGeneratorFromTheClock)
{
    const auto before = static_cast<unsigned>(std::time(nullptr));
    dialog = std::make_unique<CAboutDlg>();
    const auto after = static_cast<unsigned>(std::time(nullptr));
    const int drawn[3] = {crt::rand(), crt::rand(), crt::rand()};
    bool matched = false;
    for (unsigned seed = before; seed <= after && !matched; ++seed) {
        crt::srand(seed);
        const int expected[3] = {crt::rand(), crt::rand(), crt::rand()};
        matched = std::equal(std::begin(drawn), std::end(drawn), std::begin(expected));
    }
    EXPECT_TRUE(matched);
}

TEST_F(AboutDlgTest, APageIgnoresEnterAndEscape)
{
    Open();
    QWidget* const page = Tabs().GetPage(0);
    QTest::keyClick(page, Qt::Key_Escape);
    QTest::keyClick(page, Qt::Key_Return);
    EXPECT_TRUE(dialog->isVisible());
    // Escape on the dialog itself cancels it.
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
}

TEST_F(AboutDlgTest, ClosingFreesEveryControlTwentyTimesOver)
{
    for (int run = 0; run < 20; ++run) {
        CAboutDlg about;
        QPointer<QWidget> controls[] = {
            about.NameDisplay(), about.DedicationDisplay(), about.Clouds(),       about.Crawl(),
            about.Reveal(),      about.FirstPicture(),      about.SecondPicture()};
        QTimer::singleShot(0, &about, [&about, run] {
            if (run % 2 == 0)
                QTest::mouseClick(about.GetDlgItem(about::IDOK), Qt::LeftButton);
            else
                about.close(); // the close box
        });
        const int result = about.DoModal();
        EXPECT_EQ(result, run % 2 == 0 ? QDialog::Accepted : QDialog::Rejected);
        for (const auto& control : controls)
            EXPECT_TRUE(control.isNull()) << "run " << run;
        EXPECT_EQ(about.TabCtrl()->GetPage(0), nullptr);
    }
}

TEST_F(AboutDlgTest, TheProgramsExitEndsTheDialog)
{
    CAboutDlg about;
    QPointer<CSpecialFXCtrl> picture = about.FirstPicture();
    // As the clock's exit command ends the event loops (all of them, not only the
    // innermost) while the dialog runs.
    QTimer::singleShot(50, [] { QCoreApplication::exit(0); });
    about.DoModal();
    EXPECT_FALSE(about.isVisible());
    EXPECT_TRUE(picture.isNull());
}

} // namespace
