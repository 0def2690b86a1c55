#include "settings/prop_page1.h"

#include "controls/color_button.h"
#include "controls/colour_popup.h"
#include "platform/messages.h"
#include "settings/page_settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>

using namespace platform;

namespace {

constexpr int kCustomHandColors = 2;

// The hand colour settings, by colour button (hour, minute, second).
constexpr std::array<ColourField, 3> kHandColors = {&AppSettings::HourColor, &AppSettings::MinColor,
                                                                &AppSettings::SecondColor};

} // namespace

const DialogTemplate& CPropPage1::Template()
{
    static const DialogTemplate page{
        QString(),
        {260, 160},
        {
            {IDC_CHECK_HANDS, ControlKind::CheckBox, {23, 30, 54, 10}, WS_TABSTOP, QStringLiteral("時計を表示")},
            {IDC_CHECK_DATE, ControlKind::CheckBox, {140, 30, 54, 10}, WS_TABSTOP, QStringLiteral("日付を表示")},
            {-1, ControlKind::GroupBox, {20, 50, 225, 64}, 0, QStringLiteral("針の色")},
            {IDC_RADIO_DEFAULT, ControlKind::RadioButton, {33, 64, 45, 10}, WS_GROUP | WS_TABSTOP,
             QStringLiteral("デフォルト")},
            {1048, ControlKind::RadioButton, {123, 64, 69, 10}, 0, QStringLiteral("フレーム色を反映")},
            {1049, ControlKind::RadioButton, {33, 79, 48, 10}, 0, QStringLiteral("個別指定")},
            {IDC_LABEL_HOUR, ControlKind::Static, {39, 95, 17, 8}, WS_GROUP, QStringLiteral("時針")},
            {IDC_COLOR_HOUR, ControlKind::PushButton, {59, 93, 40, 14}, WS_TABSTOP, QStringLiteral("...")},
            {1130, ControlKind::Static, {105, 95, 17, 8}, 0, QStringLiteral("分針")},
            {1054, ControlKind::PushButton, {126, 93, 40, 14}, WS_TABSTOP, QStringLiteral("...")},
            {1131, ControlKind::Static, {173, 95, 17, 8}, 0, QStringLiteral("秒針")},
            {1055, ControlKind::PushButton, {194, 93, 40, 14}, WS_TABSTOP, QStringLiteral("...")},
            {-1, ControlKind::Static, {23, 10, 42, 8}, 0, QStringLiteral("文字盤タイプ")},
            {IDC_CLOCK_FACE, ControlKind::ComboBox, {71, 8, 69, 43}, CBS_DROPDOWNLIST | WS_TABSTOP, {}},
        },
    };
    return page;
}

CPropPage1::CPropPage1(QWidget* parent)
    : CPropertyPage(Template(), parent), m_bHands(LiveSettings().ClockHands), m_bDate(LiveSettings().Date),
      m_nHandsColorKind(LiveSettings().HandsColorKind)
{
    for (std::size_t i = 0; i < m_colorButtons.size(); ++i) {
        const int id = IDC_COLOR_HOUR + static_cast<int>(i);
        m_colorButtons[i] = new CColorButton;
        Replace(id, m_colorButtons[i]);
        connect(m_colorButtons[i], &CColorButton::Notify, this,
                [this](unsigned message, COLORREF colour, int from) { OnColorMessage(message, colour, from); });
    }
    m_comboFace = Item<QComboBox>(IDC_CLOCK_FACE);
}

void CPropPage1::DoDataExchange(DataExchange& dx)
{
    DDX_Check(dx, IDC_CHECK_HANDS, m_bHands);
    DDX_Check(dx, IDC_CHECK_DATE, m_bDate);
    DDX_Radio(dx, IDC_RADIO_DEFAULT, m_nHandsColorKind);
}

bool CPropPage1::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    const AppSettings& settings = LiveSettings();
    m_comboFace->addItems({QStringLiteral("LM_Clock"), QStringLiteral("スイス鉄道時計"), QStringLiteral("７セグ表示")});
    m_comboFace->setCurrentIndex(settings.ClockFace);
    for (std::size_t i = 0; i < m_colorButtons.size(); ++i)
        InitColourButton(*m_colorButtons[i], kHandColors[i]);
    if (settings.HandsColorKind != kCustomHandColors)
        EnableHandColors(false);

    for (const int id : {IDC_CHECK_HANDS, IDC_CHECK_DATE})
        connect(Item<QCheckBox>(id), &QCheckBox::clicked, this, [this] { OnCheckClicked(); });
    for (const int id : Controls().RadioGroup(IDC_RADIO_DEFAULT))
        connect(Item<QRadioButton>(id), &QRadioButton::clicked, this, [this] { OnHandsColorKind(); });
    connect(m_comboFace, &QComboBox::activated, this, [this](int index) { OnClockFace(index); });
    return true;
}

void CPropPage1::EnableHandColors(bool enable) const
{
    EnableItems({IDC_COLOR_HOUR, 1054, 1055, IDC_LABEL_HOUR, 1130, 1131}, enable);
}

void CPropPage1::OnCheckClicked()
{
    UpdateData(true);
    LiveSettings().ClockHands = m_bHands != 0;
    LiveSettings().Date = m_bDate != 0;
}

void CPropPage1::OnHandsColorKind()
{
    UpdateData(true);
    LiveSettings().HandsColorKind = m_nHandsColorKind;
    EnableHandColors(m_nHandsColorKind == kCustomHandColors);
    PostAppMessage(WM_SET_HANDS_COLOR, static_cast<WPARAM>(m_nHandsColorKind));
}

void CPropPage1::OnColorMessage(unsigned message, COLORREF colour, int id)
{
    const std::size_t index = static_cast<std::size_t>(id - IDC_COLOR_HOUR);
    if (index < kHandColors.size() && StoreChosenColour(message, colour, kHandColors[index]))
        PostAppMessage(WM_SET_HANDS_COLOR, kCustomHandColors);
}

void CPropPage1::OnClockFace(int index)
{
    LiveSettings().ClockFace = index;
    PostAppMessage(WM_SET_CLOCK_FACE, static_cast<WPARAM>(index));
}
