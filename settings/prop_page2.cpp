#include "settings/prop_page2.h"

#include "controls/shade_button_vq.h"
#include "platform/messages.h"
#include "platform/paths.h"
#include "settings/choosers.h"
#include "settings/page_settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>

using namespace platform;

const QString CPropPage2::kFileFilter = QStringLiteral(
    "全てのイメージ|*.bmp;*.png;*.jpg|ビットマップファイル(*.bmp)|*.bmp|PNGファイル(*.png)|*.png|"
    "JPEGファイル(*.jpg)|*.jpg||");
const QString CPropPage2::kFileTitle = QStringLiteral("フレームイメージ選択");

namespace {

// The frames by FrameType.
const QStringList kFrameNames = {
    QStringLiteral("百式"),           QStringLiteral("ボンダイブルー"),     QStringLiteral("ブルーベリー"),
    QStringLiteral("グレープ"),       QStringLiteral("ライム"),             QStringLiteral("ストロベリー"),
    QStringLiteral("タンジェリン"),   QStringLiteral("インディゴ"),         QStringLiteral("グラファイト"),
    QStringLiteral("スノー"),         QStringLiteral("セージ"),             QStringLiteral("ルビー"),
    QStringLiteral("フラワーパワー"), QStringLiteral("ブルーダルメシアン"), QStringLiteral("ジャガー"),
    QStringLiteral("パンサー"),       QStringLiteral("Shader_Frame"),       QStringLiteral("外部イメージファイル"),
};

// The hands take the frame's colour with this HandsColorKind.
constexpr int kFrameHandColors = 1;

} // namespace

QString FileNamePart(const QString& path)
{
    const qsizetype slash = std::max(path.lastIndexOf(u'\\'), path.lastIndexOf(u'/'));
    return path.mid(slash + 1);
}

const DialogTemplate& CPropPage2::Template()
{
    static const DialogTemplate page{
        QString(),
        {260, 150},
        {
            {IDC_CHECK_FRAME, ControlKind::CheckBox, {29, 10, 63, 10}, WS_TABSTOP, QStringLiteral("フレームを表示")},
            {-1, ControlKind::Static, {40, 31, 52, 10}, 0, QStringLiteral("フレームの種類")},
            {IDC_FRAME_TYPE, ControlKind::ComboBox, {105, 30, 90, 175}, CBS_DROPDOWNLIST | WS_TABSTOP, {}},
            {IDC_EXT_LABEL, ControlKind::Static, {15, 56, 54, 17}, WS_DISABLED,
             QStringLiteral("外部イメージ(BMP,PNG,JPEG)")},
            {IDC_FILE_NAME, ControlKind::Edit, {71, 58, 140, 14}, ES_READONLY | WS_DISABLED | WS_TABSTOP, {}},
            {IDC_FOLDER, ControlKind::PushButton, {213, 58, 18, 14}, WS_DISABLED | WS_TABSTOP, {}},
            {IDC_GRADATION, ControlKind::CheckBox, {87, 79, 84, 10}, WS_DISABLED | WS_TABSTOP,
             QStringLiteral("グラデーションを付ける")},
        },
    };
    return page;
}

CPropPage2::CPropPage2(QWidget* parent)
    : CPropertyPage(Template(), parent), m_bFrame(LiveSettings().Frame), m_bGradation(LiveSettings().Gradation),
      m_strFileName(FileNamePart(LiveSettings().ExtFramePath))
{
    m_comboFrame = Item<QComboBox>(IDC_FRAME_TYPE);
    // The label's text takes its box's two lines.
    auto* label = Item<QLabel>(IDC_EXT_LABEL);
    label->setWordWrap(true);
    label->resize(MapDialogRect(Controls().Template(IDC_EXT_LABEL)->rect).size());
    m_folderButton = new CShadeButtonVq;
    Replace(IDC_FOLDER, m_folderButton);
}

void CPropPage2::DoDataExchange(DataExchange& dx)
{
    DDX_Check(dx, IDC_CHECK_FRAME, m_bFrame);
    DDX_Text(dx, IDC_FILE_NAME, m_strFileName);
    DDX_Check(dx, IDC_GRADATION, m_bGradation);
}

bool CPropPage2::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    m_comboFrame->addItems(kFrameNames);
    m_comboFrame->setCurrentIndex(LiveSettings().FrameType);
    m_nExtIndex = m_comboFrame->count() - 1;
    EnableExternalControls(LiveSettings().FrameType == m_nExtIndex);
    ShadePictureButton(*m_folderButton, "IDB_FOLDER");

    connect(Item<QCheckBox>(IDC_CHECK_FRAME), &QCheckBox::clicked, this, [this] { OnFrameClicked(); });
    connect(m_comboFrame, &QComboBox::activated, this, [this](int index) { OnFrameType(index); });
    connect(m_folderButton, &QPushButton::clicked, this, [this] { OnFolder(); });
    connect(Item<QCheckBox>(IDC_GRADATION), &QCheckBox::clicked, this, [this] { OnGradation(); });
    return true;
}

void CPropPage2::EnableExternalControls(bool enable) const
{
    EnableItems({IDC_EXT_LABEL, IDC_FILE_NAME, IDC_FOLDER, IDC_GRADATION}, enable);
}

void CPropPage2::OnFrameClicked()
{
    UpdateData(true);
    LiveSettings().Frame = m_bFrame != 0;
}

void CPropPage2::OnFrameType(int index)
{
    EnableExternalControls(index == m_nExtIndex);
    PostAppMessage(WM_SET_FRAME_TYPE, static_cast<WPARAM>(index));
    if (LiveSettings().HandsColorKind == kFrameHandColors)
        PostAppMessage(WM_SET_HANDS_COLOR, kFrameHandColors);
}

void CPropPage2::OnFolder()
{
    const FileChooserRequest request{kFileTitle, kFileFilter, paths::InExeDir(QStringLiteral("assets")),
                                     QStringLiteral("bmp")};
    const std::optional<QString> path = PageChoosers().ChooseFile(this, request);
    if (!path)
        return;
    LiveSettings().ExtFramePath = *path;
    m_strFileName = FileNamePart(*path);
    UpdateData(false);
    ApplyExternalFrame();
}

void CPropPage2::OnGradation()
{
    UpdateData(true);
    LiveSettings().Gradation = m_bGradation != 0;
    ApplyExternalFrame();
}

void CPropPage2::ApplyExternalFrame() const
{
    const AppSettings& settings = LiveSettings();
    SendAppMessage(WM_CREATE_EXT_FRAME, settings.Gradation ? 1 : 0, 0,
                   std::make_unique<std::string>(settings.ExtFramePath.toStdString()));
    PostAppMessage(WM_SET_FRAME_TYPE, static_cast<WPARAM>(m_nExtIndex));
}
