#include "settings/prop_page3.h"

#include "controls/bitmap_slider.h"
#include "platform/messages.h"
#include "settings/page_settings.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QSlider>

using namespace platform;

const DialogTemplate& CPropPage3::Template()
{
    static const DialogTemplate page{
        QString(),
        {260, 150},
        {
            {IDC_CHECK_SPLASH, ControlKind::CheckBox, {20, 10, 97, 10}, WS_TABSTOP,
             QStringLiteral("起動時にタイトルロゴ表示")},
            {IDC_CHECK_TOPMOST, ControlKind::CheckBox, {20, 35, 68, 10}, WS_TABSTOP, QStringLiteral("常に手前に表示")},
            {-1, ControlKind::Static, {20, 60, 25, 8}, 0, QStringLiteral("透明度")},
            {-1, ControlKind::Static, {21, 85, 48, 8}, 0, QStringLiteral("表示倍率 [%]")},
            {IDC_ALPHA, ControlKind::Slider, {83, 57, 129, 18}, WS_TABSTOP, {}},
            {IDC_ALPHA_VALUE, ControlKind::Edit, {215, 56, 24, 14}, ES_READONLY, {}},
            {IDC_ZOOM_VALUE, ControlKind::Edit, {215, 82, 24, 14}, ES_READONLY, {}},
            {IDC_ZOOM, ControlKind::Custom, {74, 83, 15, 13}, WS_TABSTOP, {}},
        },
    };
    return page;
}

CPropPage3::CPropPage3(QWidget* parent)
    : CPropertyPage(Template(), parent), m_bSplash(LiveSettings().Splash), m_bTopMost(LiveSettings().TopMost)
{
    m_alpha = Item<QSlider>(IDC_ALPHA);
    m_slider = new CBitmapSlider;
    Replace(IDC_ZOOM, m_slider);
}

void CPropPage3::DoDataExchange(DataExchange& dx)
{
    DDX_Check(dx, IDC_CHECK_SPLASH, m_bSplash);
    DDX_Check(dx, IDC_CHECK_TOPMOST, m_bTopMost);
}

bool CPropPage3::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    const AppSettings& settings = LiveSettings();

    m_alpha->setRange(15, 255);
    m_alpha->setTickInterval(24);
    m_alpha->setTickPosition(QSlider::TicksBelow);
    m_alpha->setValue(settings.Alpha);
    Item<QLineEdit>(IDC_ALPHA_VALUE)->setText(QString::number(settings.Alpha));
    Item<QLineEdit>(IDC_ZOOM_VALUE)->setText(QString::number(settings.Zoom));

    m_slider->SetChannelBitmaps(300, 301);
    m_slider->SetThumbBitmaps(302, 303, true);
    m_slider->DrawFocusRect(false);
    m_slider->SetRange(kMinZoom, kMaxZoom);
    m_slider->SetPos(settings.Zoom);
    m_slider->SetMargins(2, 3, 2, 0);

    connect(Item<QCheckBox>(IDC_CHECK_SPLASH), &QCheckBox::clicked, this, [this] { OnSplashClicked(); });
    connect(Item<QCheckBox>(IDC_CHECK_TOPMOST), &QCheckBox::clicked, this, [this] { OnTopMostClicked(); });
    connect(m_alpha, &QSlider::valueChanged, this, [this](int alpha) { OnAlpha(alpha); });
    // Key moves are reported only as MOVED; they change the zoom like drags do.
    connect(m_slider, &CBitmapSlider::Notify, this, [this](unsigned message, int, int position) {
        if (message == WM_BITMAPSLIDER_MOVING || message == WM_BITMAPSLIDER_MOVED)
            OnZoomMoved(position);
    });
    return true;
}

void CPropPage3::OnSplashClicked()
{
    UpdateData(true);
    LiveSettings().Splash = m_bSplash != 0;
}

void CPropPage3::OnTopMostClicked()
{
    UpdateData(true);
    LiveSettings().TopMost = m_bTopMost != 0;
    SendAppMessage(WM_SET_TOPMOST, LiveSettings().TopMost ? 1 : 0);
}

void CPropPage3::OnAlpha(int alpha)
{
    LiveSettings().Alpha = alpha;
    SendAppMessage(WM_SET_ALPHA, static_cast<WPARAM>(alpha));
    Item<QLineEdit>(IDC_ALPHA_VALUE)->setText(QString::number(alpha));
}

void CPropPage3::OnZoomMoved(int position)
{
    const int zoom = ZoomStep(position);
    Item<QLineEdit>(IDC_ZOOM_VALUE)->setText(QString::number(zoom));
    if (zoom == m_nLastZoom)
        return;
    m_nLastZoom = zoom;
    SendAppMessage(WM_SET_ZOOM, static_cast<WPARAM>(zoom));
}
