#include "settings/prop_page5.h"

#include "controls/shade_button_vq.h"
#include "controls/static_ex.h"
#include "platform/desktop.h"
#include "platform/messages.h"
#include "platform/owned_windows.h"
#include "platform/paths.h"
#include "platform/resources.h"
#include "settings/page_settings.h"
#include "settings/prop_page6.h"

#include <QLabel>

using namespace platform;

const QString kMakerWebAddress = QStringLiteral("tobelin.example/lumidial/");
const QString kReadMeFileName = QStringLiteral("LMD_ReadMe.txt");

namespace {

const QString kFrameDesigner = QStringLiteral("Tobelin");

std::function<void(QWidget&)>& AboutDialogRunner()
{
    static std::function<void(QWidget&)> run;
    return run;
}

} // namespace

void SetAboutDialogRunner(std::function<void(QWidget& owner)> run)
{
    AboutDialogRunner() = std::move(run);
}

void RunAboutDialog(QWidget& owner)
{
    if (const auto& run = AboutDialogRunner())
        run(owner);
}

QString VersionPageText(const QString& version)
{
    return QStringLiteral("== Lumidial == \n\n◆Version %1 \n\n■Created by Tobelin \n\n●Frame Designed by %2")
        .arg(version, kFrameDesigner);
}

const DialogTemplate& CPropPage5::Template()
{
    static const DialogTemplate page{
        QStringLiteral("バージョン"),
        {260, 167},
        {
            {IDC_PICTURE, ControlKind::Picture, {7, 7, 15, 13}, 0, {}},
            {IDC_VERSION_TEXT, ControlKind::Static, {116, 7, 137, 83}, SS_SUNKEN, {}},
            {IDC_README, ControlKind::PushButton, {22, 98, 40, 14}, WS_TABSTOP, QStringLiteral("Read Me")},
            {IDC_ABOUT, ControlKind::PushButton, {22, 114, 40, 14}, WS_TABSTOP, QStringLiteral("About...")},
            {-1, ControlKind::Static, {115, 98, 16, 8}, 0, QStringLiteral("URL:")},
            {IDC_LINK, ControlKind::Static, {135, 97, 76, 13}, WS_TABSTOP, QStringLiteral("official website")},
            {IDC_DEMO, ControlKind::PushButton, {22, 137, 40, 14}, WS_TABSTOP, QStringLiteral("DEMO")},
            {IDC_SNTP, ControlKind::PushButton, {193, 137, 40, 14}, WS_TABSTOP, QStringLiteral("SNTP")},
        },
    };
    return page;
}

CPropPage5::CPropPage5(QWidget* parent) : CPropertyPage(Template(), parent)
{
}

QLabel* CPropPage5::Link() const
{
    return Item<QLabel>(IDC_LINK);
}

void CPropPage5::DoDataExchange(DataExchange& dx)
{
    DDX_Text(dx, IDC_VERSION_TEXT, m_strVersionText);
}

CShadeButtonVq* CPropPage5::SubclassButton(int id, int shadeKind)
{
    auto* button = new CShadeButtonVq(Controls().Template(id)->text);
    Replace(id, button);
    button->SetShade(shadeKind, 8, 10, 0, 0); // flat: a border only while hovered
    return button;
}

bool CPropPage5::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    // The picture static is subclassed: its ripples start.
    m_picture = new CStaticEx(LoadBitmap("AUTHOR"));
    Replace(IDC_PICTURE, m_picture);

    connect(SubclassButton(IDC_README, CShadeButtonVq::SHS_SOFTBUMP), &QPushButton::clicked, this,
            [this] { OnReadMe(); });
    connect(SubclassButton(IDC_ABOUT, CShadeButtonVq::SHS_METAL), &QPushButton::clicked, this,
            [this] { OnAbout(); });
    connect(SubclassButton(IDC_DEMO, CShadeButtonVq::SHS_HARDBUMP), &QPushButton::clicked, this,
            [this] { OnDemo(); });
    connect(SubclassButton(IDC_SNTP, CShadeButtonVq::SHS_DIAGSHADE), &QPushButton::clicked, this,
            [this] { OnSntp(); });

    m_strVersionText = VersionPageText(CurrentPageSettings().version);
    UpdateData(false);

    // The link: underlined, opened through the desktop's opener.
    QLabel* const link = Link();
    const QString address = QStringLiteral("https://") + kMakerWebAddress;
    link->setTextFormat(Qt::RichText);
    link->setText(QStringLiteral("<a href=\"%1\">%2</a>")
                      .arg(address.toHtmlEscaped(), Controls().Template(IDC_LINK)->text.toHtmlEscaped()));
    link->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    link->setCursor(Qt::PointingHandCursor);
    link->setToolTip(QStringLiteral("Lumidial official website (Tobelin)"));
    connect(link, &QLabel::linkActivated, this, [this](const QString& url) { OnLink(url); });
    return true;
}

void CPropPage5::OnReadMe()
{
    // The read-me lies beside the executable; without it nothing happens.
    const QString path = paths::InExeDir(kReadMeFileName);
    if (paths::Exists(path))
        OpenWithAssociatedProgram(path);
}

void CPropPage5::OnAbout()
{
    RunAboutDialog(*window());
}

void CPropPage5::OnDemo()
{
    PostAppMessage(WM_OPEN_DEMO, 0, 0);
}

void CPropPage5::OnSntp()
{
    // Modal to the settings dialog only.
    CPropPage6 dialog;
    RunModal(dialog, window());
}

void CPropPage5::OnLink(const QString& address)
{
    OpenWithAssociatedProgram(address);
}
