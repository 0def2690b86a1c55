#include "app/hint_dlg.h"

#include "platform/resources.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <algorithm>

namespace {

constexpr int IDOK = 1;
constexpr int IDC_STATIC = -1;
constexpr int kIconSize = 32;
constexpr int kRightMarginDlu = 7; // right of the OK button

bool& SuppressedFlag()
{
    static bool suppressed = false;
    return suppressed;
}

} // namespace

const platform::DialogTemplate& CHintDlg::Template()
{
    using platform::ControlKind;
    // A picture's text names the bitmap it shows; the picture takes the bitmap's size.
    static const platform::DialogTemplate dialog{
        QStringLiteral("HINT"),
        QSize(227, 189),
        {
            {IDOK, ControlKind::DefPushButton, QRect(170, 168, 50, 14), platform::WS_TABSTOP,
             QStringLiteral("OK")},
            {IDC_STATIC, ControlKind::Picture, QRect(33, 41, 0, 0), 0, QStringLiteral("HINT_TASKTRAY_MENU")},
            {IDC_STATIC, ControlKind::Picture, QRect(31, 152, 0, 0), 0, QStringLiteral("HINT_CTRL")},
            {IDC_STATIC, ControlKind::Static, QRect(31, 12, 120, 11), 0,
             QStringLiteral("■ステルスModeの解除操作について")},
            {IDC_STATIC, ControlKind::Static, QRect(16, 29, 147, 11), 0,
             QStringLiteral("１．タスクトレイのアイコンメニューから解除する")},
            {IDC_STATIC, ControlKind::Static, QRect(16, 129, 204, 11), 0,
             QStringLiteral("２．CTRLキーを押下している間、ステルスModeが解除されるので")},
            {IDC_STATIC, ControlKind::Static, QRect(25, 140, 117, 11), 0,
             QStringLiteral("そのまま本体メニューから解除する")},
            {IDC_STATIC_ICON, ControlKind::Picture, QRect(7, 7, 20, 20), 0, {}},
            {IDC_CHECK_HIDE, ControlKind::CheckBox, QRect(65, 170, 80, 11), platform::WS_TABSTOP,
             QStringLiteral("次回から表示しない")},
        },
    };
    return dialog;
}

bool CHintDlg::Suppressed()
{
    return SuppressedFlag();
}

void CHintDlg::SetSuppressed(bool suppressed)
{
    SuppressedFlag() = suppressed;
}

CHintDlg::CHintDlg(QWidget* parent) : QDialog(parent), m_controls(this, Template())
{
    if (auto* ok = m_controls.ItemAs<QPushButton>(IDOK))
        connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    // The choice holds at once, however the dialog is closed afterwards.
    if (auto* check = m_controls.ItemAs<QCheckBox>(IDC_CHECK_HIDE))
        connect(check, &QCheckBox::clicked, this, [this] { UpdateData(true); });
    OnInitDialog();
}

void CHintDlg::DoDataExchange(platform::DataExchange& dx)
{
    platform::DDX_Check(dx, IDC_CHECK_HIDE, m_bCheck);
}

bool CHintDlg::UpdateData(bool saveAndValidate)
{
    platform::DataExchange dx(m_controls, saveAndValidate);
    DoDataExchange(dx);
    return !dx.Failed();
}

void CHintDlg::OnInitDialog()
{
    SetPictures();
    WidenTexts();
    if (auto* icon = m_controls.ItemAs<QLabel>(IDC_STATIC_ICON))
        icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(kIconSize, kIconSize));
    UpdateData(false);
}

void CHintDlg::WidenTexts()
{
    // The texts were laid out for narrower Windows fonts: a line that does not
    // fit its box runs on to the right instead of wrapping out of sight, and
    // the dialog widens where a line would reach its edge, keeping the
    // template's right margin.
    const int margin = platform::DluToPixelsX(kRightMarginDlu);
    int needed = width();
    for (auto* label : findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
        if (label->text().isEmpty())
            continue; // a picture
        label->setWordWrap(false);
        label->resize(std::max(label->sizeHint().width(), label->width()), label->height());
        needed = std::max(needed, label->x() + label->width() + margin);
    }
    setFixedSize(needed, height());
}

void CHintDlg::SetPictures()
{
    // The controls are the dialog's children in template order.
    const QList<QWidget*> children = findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    const auto& controls = Template().controls;
    for (qsizetype i = 0; i < children.size() && i < static_cast<qsizetype>(controls.size()); ++i) {
        const platform::ControlTemplate& control = controls[static_cast<std::size_t>(i)];
        auto* label = qobject_cast<QLabel*>(children[i]);
        if (control.kind != platform::ControlKind::Picture || control.text.isEmpty() || !label)
            continue;
        const QPixmap picture = QPixmap::fromImage(platform::LoadBitmap(control.text));
        label->setPixmap(picture);
        label->resize(picture.size());
    }
}
