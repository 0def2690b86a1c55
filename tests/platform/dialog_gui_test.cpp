#include "platform/dialog.h"
#include "tests/support/screens.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSlider>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using namespace platform;

enum : int
{
    IDC_ENABLE = 1001,
    IDC_FACE0 = 1010,
    IDC_FACE1,
    IDC_FACE2,
    IDC_SIZE0 = 1020,
    IDC_SIZE1,
    IDC_ZOOM = 1030,
    IDC_NAME = 1031,
    IDC_MESSAGE = 1032,
    IDC_ALPHA = 1033,
    IDC_KIND = 1034,
    IDC_PREVIEW = 1040,
    IDOK_BUTTON = 1,
};

DialogTemplate SampleTemplate()
{
    return {"サンプル設定",
            {200, 150},
            {
                {-1, ControlKind::GroupBox, {7, 7, 90, 50}, WS_GROUP, "文字盤"},
                {IDC_FACE0, ControlKind::RadioButton, {14, 18, 70, 10}, WS_GROUP | WS_TABSTOP, "Classic"},
                {IDC_FACE1, ControlKind::RadioButton, {14, 30, 70, 10}, 0, "Modern"},
                {IDC_FACE2, ControlKind::RadioButton, {14, 42, 70, 10}, 0, "Plain"},
                {IDC_SIZE0, ControlKind::RadioButton, {104, 18, 60, 10}, WS_GROUP | WS_TABSTOP, "Small"},
                {IDC_SIZE1, ControlKind::RadioButton, {104, 30, 60, 10}, 0, "Large"},
                {IDC_ENABLE, ControlKind::CheckBox, {7, 62, 90, 10}, WS_GROUP | WS_TABSTOP, "有効にする"},
                {-1, ControlKind::Static, {7, 77, 40, 8}, WS_GROUP, "Zoom:"},
                {IDC_ZOOM, ControlKind::Edit, {50, 75, 40, 14}, WS_TABSTOP | ES_NUMBER, ""},
                {IDC_NAME, ControlKind::Edit, {100, 75, 90, 14}, WS_TABSTOP | WS_DISABLED, ""},
                {IDC_MESSAGE, ControlKind::Edit, {7, 93, 120, 30}, WS_TABSTOP | ES_MULTILINE, ""},
                {IDC_ALPHA, ControlKind::Slider, {130, 93, 63, 15}, WS_TABSTOP, ""},
                {IDC_KIND, ControlKind::ComboBox, {130, 110, 63, 60}, WS_TABSTOP | CBS_DROPDOWNLIST, ""},
                {IDC_PREVIEW, ControlKind::Custom, {170, 7, 23, 23}, 0, ""},
                {IDOK_BUTTON, ControlKind::DefPushButton, {143, 129, 50, 14}, WS_TABSTOP, "OK"},
            }};
}

TEST(DialogUnitsTest, FixedBaseSixByThirteen)
{
    EXPECT_EQ(DluToPixelsX(4), 6);
    EXPECT_EQ(DluToPixelsY(8), 13);
    EXPECT_EQ(DluToPixelsX(7), 11);  // 10.5 rounds up
    EXPECT_EQ(DluToPixelsY(7), 11);  // 11.375
    EXPECT_EQ(DluToPixelsY(14), 23); // 22.75
    EXPECT_EQ(MapDialogRect(QRect(7, 7, 50, 14)), QRect(11, 11, 75, 23));
    EXPECT_EQ(DluToPixelsX(-7), -11);
}

TEST(DialogTest, TemplateBecomesPlacedWidgets)
{
    QDialog dialog;
    const DialogControls controls(&dialog, SampleTemplate());
    EXPECT_EQ(dialog.windowTitle(), "サンプル設定");
    EXPECT_EQ(dialog.size(), QSize(300, 244));
    EXPECT_EQ(controls.Item(IDC_FACE1)->geometry(), QRect(21, 49, 105, 16));
    EXPECT_NE(controls.ItemAs<QRadioButton>(IDC_FACE0), nullptr);
    EXPECT_NE(controls.ItemAs<QPlainTextEdit>(IDC_MESSAGE), nullptr);
    EXPECT_NE(controls.ItemAs<QLineEdit>(IDC_ZOOM), nullptr);
    EXPECT_EQ(controls.Item(9999), nullptr);
    EXPECT_FALSE(controls.Item(IDC_NAME)->isEnabled());
    EXPECT_TRUE(controls.Item(IDC_ZOOM)->isEnabled());
    // A combo box is as tall as one line, not its drop-down list.
    EXPECT_LT(controls.Item(IDC_KIND)->height(), DluToPixelsY(60));
    EXPECT_EQ(QFontInfo(controls.Item(IDC_ENABLE)->font()).family(), "Noto Sans CJK JP");

    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    lmd::test::SaveScreen(dialog.grab().toImage(), "platform_dialog_template");
}

TEST(DialogTest, LabelsAreNarrowedAndMadeTallEnoughToFitTheirText)
{
    struct Case
    {
        QRect dlu;
        unsigned style;
        QString text;
        bool narrowed;
    };
    const Case cases[] = {
        {{0, 0, 50, 10}, 0, QStringLiteral("イメージフォルダ"), true},
        {{0, 0, 54, 17}, 0, QStringLiteral("外部イメージ(BMP,PNG,JPEG)"), true},
        {{0, 0, 52, 10}, SS_RIGHT, QStringLiteral("フォルダ"), false},
        {{0, 0, 40, 8}, 0, QStringLiteral("Zoom:"), false},
        {{0, 0, 67, 8}, 0, QStringLiteral("再生時間間隔 [sec]"), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        QDialog dialog;
        const DialogControls controls(&dialog, {"", {100, 40}, {{7, ControlKind::Static, c.dlu, c.style, c.text}}});
        const auto* label = controls.ItemAs<QLabel>(7);
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->font().stretch() != dialog.font().stretch(), c.narrowed);
        const int flags = static_cast<int>(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0);
        const QRect needed =
            QFontMetrics(label->font()).boundingRect(QRect(QPoint(), label->size()), flags, label->text());
        EXPECT_LE(needed.width(), label->width());
        EXPECT_LE(needed.height(), label->height()); // every line whole, to the bottom of its lowest letters
    }
}

TEST(DialogTest, RadioGroupsFollowWsGroupRuns)
{
    QDialog dialog;
    const DialogControls controls(&dialog, SampleTemplate());
    EXPECT_EQ(controls.RadioGroup(IDC_FACE0), (std::vector<int>{IDC_FACE0, IDC_FACE1, IDC_FACE2}));
    EXPECT_EQ(controls.RadioGroup(IDC_SIZE0), (std::vector<int>{IDC_SIZE0, IDC_SIZE1}));

    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    auto* face2 = controls.ItemAs<QRadioButton>(IDC_FACE2);
    auto* size0 = controls.ItemAs<QRadioButton>(IDC_SIZE0);
    QTest::mouseClick(size0, Qt::LeftButton);
    QTest::mouseClick(face2, Qt::LeftButton);
    QTest::mouseClick(controls.Item(IDC_FACE1), Qt::LeftButton);
    // Exclusive inside a run, independent between runs.
    EXPECT_FALSE(face2->isChecked());
    EXPECT_TRUE(controls.ItemAs<QRadioButton>(IDC_FACE1)->isChecked());
    EXPECT_TRUE(size0->isChecked());
}

TEST(DialogTest, DataExchangeBothWays)
{
    QDialog dialog;
    const DialogControls controls(&dialog, SampleTemplate());
    controls.ItemAs<QComboBox>(IDC_KIND)->addItems({"fixed", "frame", "custom"});
    controls.ItemAs<QSlider>(IDC_ALPHA)->setRange(0, 255);

    bool enable = true;
    int face = 2;
    int size = -1;
    int zoom = 150;
    QString message = "line 1\nline 2";
    int alpha = 200;
    int kind = 1;
    auto exchange = [&](bool save) {
        DataExchange dx(controls, save);
        DDX_Check(dx, IDC_ENABLE, enable);
        DDX_Radio(dx, IDC_FACE0, face);
        DDX_Radio(dx, IDC_SIZE0, size);
        DDX_Text(dx, IDC_ZOOM, zoom);
        DDX_Text(dx, IDC_MESSAGE, message);
        DDX_Slider(dx, IDC_ALPHA, alpha);
        DDX_CBIndex(dx, IDC_KIND, kind);
        return !dx.Failed();
    };
    ASSERT_TRUE(exchange(false));
    EXPECT_TRUE(controls.ItemAs<QCheckBox>(IDC_ENABLE)->isChecked());
    EXPECT_TRUE(controls.ItemAs<QRadioButton>(IDC_FACE2)->isChecked());
    EXPECT_EQ(controls.ItemAs<QLineEdit>(IDC_ZOOM)->text(), "150");

    // The user changes everything, then the dialog reads it back.
    controls.ItemAs<QCheckBox>(IDC_ENABLE)->setChecked(false);
    controls.ItemAs<QRadioButton>(IDC_FACE0)->setChecked(true);
    controls.ItemAs<QRadioButton>(IDC_SIZE1)->setChecked(true);
    controls.ItemAs<QLineEdit>(IDC_ZOOM)->setText(" 80 ");
    controls.ItemAs<QPlainTextEdit>(IDC_MESSAGE)->setPlainText("wake up");
    controls.ItemAs<QSlider>(IDC_ALPHA)->setValue(99);
    controls.ItemAs<QComboBox>(IDC_KIND)->setCurrentIndex(2);
    ASSERT_TRUE(exchange(true));
    EXPECT_FALSE(enable);
    EXPECT_EQ(face, 0);
    EXPECT_FALSE(controls.ItemAs<QRadioButton>(IDC_FACE2)->isChecked());
    EXPECT_EQ(size, 1);
    EXPECT_EQ(zoom, 80);
    EXPECT_EQ(message, "wake up");
    EXPECT_EQ(alpha, 99);
    EXPECT_EQ(kind, 2);

    // Unreadable numbers fail the exchange and keep the variable.
    controls.ItemAs<QLineEdit>(IDC_ZOOM)->setText("");
    DataExchange dx(controls, true);
    DDX_Text(dx, IDC_ZOOM, zoom);
    EXPECT_TRUE(dx.Failed());
    EXPECT_EQ(dx.FailedId(), IDC_ZOOM);
    EXPECT_EQ(zoom, 80);
}

TEST(DialogTest, ReplaceTakesThePlaceholdersPlace)
{
    QDialog dialog;
    DialogControls controls(&dialog, SampleTemplate());
    auto* preview = new QLabel("P");
    controls.Replace(IDC_PREVIEW, preview);
    EXPECT_EQ(controls.Item(IDC_PREVIEW), preview);
    EXPECT_EQ(preview->parentWidget(), &dialog);
    EXPECT_EQ(preview->geometry(), MapDialogRect(QRect(170, 7, 23, 23)));
}

TEST(SystemLookTest, Windows10ColoursMetricsAndFonts)
{
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), 0xF0F0F0u);
    EXPECT_EQ(GetSysColor(COLOR_BTNSHADOW), 0xA0A0A0u);
    EXPECT_EQ(GetSysColor(COLOR_BTNHIGHLIGHT), 0xFFFFFFu);
    EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), 0xD77800u); // RGB(0, 120, 215)
    EXPECT_EQ(SysQColor(COLOR_HIGHLIGHT), QColor(0, 120, 215));
    EXPECT_EQ(GetSysColor(COLOR_3DDKSHADOW), 0x696969u);
    EXPECT_EQ(GetSysColor(COLOR_GRAYTEXT), 0x6D6D6Du);
    EXPECT_EQ(GetSysColor(-1), 0u);
    EXPECT_EQ(GetSysColor(31), 0u);

    EXPECT_EQ(GetSystemMetrics(SM_CXEDGE), 2);
    EXPECT_EQ(GetSystemMetrics(SM_CYMENU), 20);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1280); // the test display
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 1024);

    EXPECT_EQ(MapFontFamily("Meiryo UI"), "Noto Sans CJK JP");
    EXPECT_EQ(MapFontFamily("ms shell dlg"), "Noto Sans CJK JP");
    EXPECT_EQ(MapFontFamily("ＭＳ Ｐゴシック"), "Noto Sans CJK JP");
    EXPECT_EQ(MapFontFamily("Times New Roman"), "Liberation Serif");
    EXPECT_EQ(MapFontFamily("Arial"), "Liberation Sans");
    EXPECT_EQ(MapFontFamily("Consolas"), "Liberation Mono");
    EXPECT_EQ(MapFontFamily("Tahoma"), "DejaVu Sans");
    EXPECT_EQ(MapFontFamily("Some Font"), "Some Font");
    // Every mapped family is installed.
    for (const char* face : {"Meiryo UI", "Times New Roman", "Arial", "Courier", "Verdana"})
        EXPECT_EQ(QFontInfo(WindowsFont(face, 10)).family(), MapFontFamily(face)) << face;
    const QFont splash = WindowsFont("Meiryo UI", 10, 600);
    EXPECT_EQ(splash.pixelSize(), 13); // MulDiv(10, 96, 72)
    EXPECT_EQ(splash.weight(), QFont::DemiBold);
}

} // namespace
