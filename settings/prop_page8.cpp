#include "settings/prop_page8.h"

#include "controls/color_button.h"
#include "controls/colour_popup.h"
#include "controls/matrix_static.h"
#include "platform/messages.h"
#include "settings/page_settings.h"

#include <QCheckBox>
#include <QComboBox>

using namespace platform;

namespace {

const QString kPreviewText = QStringLiteral("12;34");
constexpr int kPreviewStrip = 150;

// The readout colour settings, by colour button (lit dots, unlit dots).
constexpr std::array<ColourField, 2> kDotColors = {&AppSettings::DotMatrixOnColor,
                                                               &AppSettings::DotMatrixOffColor};

} // namespace

const DialogTemplate& CPropPage8::Template()
{
    static const DialogTemplate page{
        QString(),
        {260, 160},
        {
            {IDC_CHECK_DIGITAL, ControlKind::CheckBox, {10, 10, 79, 10}, WS_TABSTOP,
             QStringLiteral("デジタル時計を表示")},
            {IDC_CHECK_SECONDS, ControlKind::CheckBox, {25, 30, 46, 10}, WS_TABSTOP, QStringLiteral("秒を表示")},
            {IDC_COLOR_GROUP, ControlKind::ComboBox, {25, 50, 55, 64}, CBS_DROPDOWNLIST | WS_TABSTOP, {}},
            {IDC_GROUP_CUSTOM, ControlKind::GroupBox, {86, 58, 151, 60}, 0, QStringLiteral("個別指定")},
            {1130, ControlKind::Static, {92, 76, 19, 8}, 0, QStringLiteral("ON色")},
            {1131, ControlKind::Static, {92, 96, 22, 8}, 0, QStringLiteral("OFF色")},
            {IDC_COLOR_ON, ControlKind::PushButton, {117, 73, 40, 14}, WS_TABSTOP, QStringLiteral("...")},
            {IDC_COLOR_OFF, ControlKind::PushButton, {117, 94, 40, 14}, WS_TABSTOP, QStringLiteral("...")},
            {IDC_PREVIEW, ControlKind::Custom, {166, 81, 62, 18}, 0, {}},
        },
    };
    return page;
}

CPropPage8::CPropPage8(QWidget* parent)
    : CPropertyPage(Template(), parent), m_bDigital(LiveSettings().DigitalWatch), m_bDigiSec(LiveSettings().DigiSec)
{
    for (std::size_t i = 0; i < m_colorButtons.size(); ++i) {
        m_colorButtons[i] = new CColorButton;
        Replace(IDC_COLOR_ON + static_cast<int>(i), m_colorButtons[i]);
        connect(m_colorButtons[i], &CColorButton::Notify, this,
                [this](unsigned message, COLORREF colour, int id) { OnColorMessage(message, colour, id); });
    }
    m_preview = new CMatrixStatic;
    Replace(IDC_PREVIEW, m_preview);
    m_comboGroup = Item<QComboBox>(IDC_COLOR_GROUP);
}

void CPropPage8::DoDataExchange(DataExchange& dx)
{
    DDX_Check(dx, IDC_CHECK_DIGITAL, m_bDigital);
    DDX_Check(dx, IDC_CHECK_SECONDS, m_bDigiSec);
}

bool CPropPage8::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    const AppSettings& settings = LiveSettings();
    m_comboGroup->addItems(
        {QStringLiteral("Green系"), QStringLiteral("Blue系"), QStringLiteral("Olive系"), QStringLiteral("個別指定")});
    m_comboGroup->setCurrentIndex(settings.DotColorGroup);
    for (std::size_t i = 0; i < m_colorButtons.size(); ++i)
        InitColourButton(*m_colorButtons[i], kDotColors[i]);
    EnableControls();

    m_preview->SetGlyphBitmap(kPreviewStrip, 14, 20, 2, 2);
    m_preview->SetDotColors(settings.DotMatrixOnColor, settings.DotMatrixOffColor, kPreviewBackground);
    m_preview->SetCharsPerLine(static_cast<int>(kPreviewText.size()));
    m_preview->SetLineCount(1);
    m_preview->SetDisplayText(kPreviewText);

    connect(Item<QCheckBox>(IDC_CHECK_DIGITAL), &QCheckBox::clicked, this, [this] { OnDigitalClicked(); });
    connect(Item<QCheckBox>(IDC_CHECK_SECONDS), &QCheckBox::clicked, this, [this] { OnSecondsClicked(); });
    connect(m_comboGroup, &QComboBox::activated, this, [this](int index) { OnColorGroup(index); });
    return true;
}

void CPropPage8::EnableControls() const
{
    const AppSettings& settings = LiveSettings();
    EnableItems({IDC_CHECK_SECONDS, IDC_COLOR_GROUP}, settings.DigitalWatch);
    EnableItems({IDC_COLOR_ON, IDC_COLOR_OFF, IDC_GROUP_CUSTOM, 1130, 1131},
                settings.DigitalWatch && settings.DotColorGroup == kCustomColorGroup);
}

void CPropPage8::OnDigitalClicked()
{
    UpdateData(true);
    LiveSettings().DigitalWatch = m_bDigital != 0;
    EnableControls();
}

void CPropPage8::OnSecondsClicked()
{
    UpdateData(true);
    LiveSettings().DigiSec = m_bDigiSec != 0;
}

void CPropPage8::OnColorGroup(int index)
{
    LiveSettings().DotColorGroup = index;
    EnableControls();
    PostAppMessage(WM_DOT_COLORS_CHANGED);
}

void CPropPage8::OnColorMessage(unsigned message, COLORREF colour, int id)
{
    const std::size_t index = static_cast<std::size_t>(id - IDC_COLOR_ON);
    if (index >= kDotColors.size() || !StoreChosenColour(message, colour, kDotColors[index]))
        return;
    const AppSettings& settings = LiveSettings();
    m_preview->SetDotColors(settings.DotMatrixOnColor, settings.DotMatrixOffColor, GetSysColor(COLOR_BTNFACE));
    PostAppMessage(WM_DOT_COLORS_CHANGED);
}
