#include "app/alarm_dlg.h"

#include "app/alarms.h"
#include "controls/color_edit.h"
#include "controls/shade_button_vq.h"
#include "platform/desktop.h"
#include "platform/messages.h"
#include "platform/owned_windows.h"
#include "platform/resources.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QTextDocument>
#include <QWindow>

using namespace platform;

namespace {

// The window frame around the client area: a fixed dialog frame and a caption.
int FrameWidth()
{
    return GetSystemMetrics(SM_CXFIXEDFRAME);
}
int CaptionHeight()
{
    return GetSystemMetrics(SM_CYCAPTION);
}

constexpr int kCornerSize = 20;

} // namespace

const DialogTemplate& AlarmDialogTemplate()
{
    static const DialogTemplate dialog{
        QStringLiteral("Lumidialアラーム"),
        {181, 85},
        {
            {IDC_ALARM_TIME, ControlKind::Edit, {2, 2, 175, 14}, ES_READONLY, {}},
            {IDC_ALARM_MESSAGE,
             ControlKind::Edit,
             {2, 18, 175, 38},
             ES_READONLY | ES_MULTILINE | ES_CENTER,
             {}},
            {IDC_ALARM_SNOOZE_LIST,
             ControlKind::ComboBox,
             {2, 65, 52, 135},
             CBS_DROPDOWNLIST | WS_TABSTOP,
             {}},
            {IDC_ALARM_SNOOZE,
             ControlKind::PushButton,
             {57, 65, 50, 14},
             WS_TABSTOP,
             QStringLiteral("再通知")},
            {IDC_ALARM_CLOSE,
             ControlKind::DefPushButton,
             {125, 65, 52, 14},
             WS_TABSTOP,
             QStringLiteral("閉じる")},
        },
    };
    return dialog;
}

QString FormatAlarmTimeLine(const QDateTime& time)
{
    static const QLocale japanese(QLocale::Japanese, QLocale::Japan);
    return QStringLiteral("%1  %2 (%3) に通知")
        .arg(time.toString(QStringLiteral("HH:mm")), time.toString(QStringLiteral("yyyy/MM/dd")),
             japanese.dayName(time.date().dayOfWeek(), QLocale::LongFormat));
}

CAlarmDlg::CAlarmDlg(int index, QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::FramelessWindowHint), m_nIndex(index), m_client(new QWidget(this))
{
    setAttribute(Qt::WA_DeleteOnClose, false); // the clock window owns it
}

CAlarmDlg::~CAlarmDlg() = default;

QRect CAlarmDlg::CaptionRect() const
{
    return {FrameWidth(), FrameWidth(), width() - 2 * FrameWidth(), CaptionHeight()};
}

void CAlarmDlg::Create()
{
    m_controls = std::make_unique<DialogControls>(m_client, AlarmDialogTemplate());
    // The message edit, snooze and close buttons are the controls' own kinds.
    m_editMessage = new CColorEdit;
    m_controls->Replace(IDC_ALARM_MESSAGE, m_editMessage);
    m_btnSnooze = new CShadeButtonVq(m_controls->Template(IDC_ALARM_SNOOZE)->text);
    m_controls->Replace(IDC_ALARM_SNOOZE, m_btnSnooze);
    m_btnClose = new CShadeButtonVq(m_controls->Template(IDC_ALARM_CLOSE)->text, nullptr, true);
    m_controls->Replace(IDC_ALARM_CLOSE, m_btnClose);
    connect(m_btnSnooze, &QAbstractButton::clicked, this, [this] { OnSnooze(); });
    connect(m_btnClose, &QAbstractButton::clicked, this, [this] { accept(); });

    m_client->move(FrameWidth(), FrameWidth() + CaptionHeight());
    setFixedSize(m_client->width() + 2 * FrameWidth(),
                 m_client->height() + 2 * FrameWidth() + CaptionHeight());
    OnCreate();
    OnInitDialog();
}

void CAlarmDlg::OnCreate()
{
    // A rounded window: 20 by 20 corners over the whole window, caption included.
    QPainterPath path;
    path.addRoundedRect(QRectF(0, 0, width(), height()), kCornerSize / 2.0, kCornerSize / 2.0);
    setMask(QRegion(path.toFillPolygon().toPolygon()));
}

void CAlarmDlg::DoDataExchange(DataExchange& dx)
{
    DDX_Text(dx, IDC_ALARM_TIME, m_strTime);
}

void CAlarmDlg::OnInitDialog()
{
    setWindowIcon(LoadIcon("LMD_ICON_ALARM"));
    setWindowTitle(QStringLiteral("Lumidialアラーム No.%1").arg(m_nIndex + 1));
    m_strTime = FormatAlarmTimeLine(m_openedAt.isValid() ? m_openedAt : QDateTime::currentDateTime());

    // Two lines of the large font fit the box, as in a multi-line edit without
    // scroll bars: no bars, and the text starts right at the border.
    m_editMessage->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_editMessage->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_editMessage->document()->setDocumentMargin(1);
    m_editMessage->SetCentered(true);
    m_editMessage->SetBackgroundColor(m_crBack);
    m_editMessage->SetTextColor(AlarmTextColor(m_crBack, m_nDarkThreshold));

    m_fontSmall = WindowsFont(QStringLiteral("Meiryo UI"), 10);
    m_fontLarge = WindowsFont(QStringLiteral("Meiryo UI"), 15);
    m_fontCaption = WindowsFont(QStringLiteral("Meiryo UI"), 9);
    TimeLine()->setFont(m_fontSmall);
    m_editMessage->setFont(m_fontLarge);

    QComboBox* const list = SnoozeList();
    for (const SnoozeChoice& choice : kSnoozeChoices)
        list->addItem(QString::fromUtf8(choice.text));
    list->setCurrentIndex(0);

    m_btnSnooze->SetButtonBitmap(LoadBitmap("IDB_BELL"));
    m_btnSnooze->SetShade(CShadeButtonVq::SHS_SOFTBUMP, 8, 10, 0, 0);
    m_btnSnooze->SetFlat(false);
    m_btnClose->SetButtonBitmap(LoadBitmap("IDB_CLOSE"));
    m_btnClose->SetShade(CShadeButtonVq::SHS_METAL, 8, 10, 0, 0);
    m_btnClose->SetFlat(false);

    DataExchange dx(*m_controls, false);
    DoDataExchange(dx);
}

void CAlarmDlg::SetMessage(const QString& text)
{
    m_editMessage->setPlainText(text);
}

QLineEdit* CAlarmDlg::TimeLine() const
{
    return m_controls ? m_controls->ItemAs<QLineEdit>(IDC_ALARM_TIME) : nullptr;
}

QComboBox* CAlarmDlg::SnoozeList() const
{
    return m_controls ? m_controls->ItemAs<QComboBox>(IDC_ALARM_SNOOZE_LIST) : nullptr;
}

void CAlarmDlg::accept()
{
    PostAppMessage(WM_ALARM_CLOSED, static_cast<WPARAM>(m_nIndex), 0);
    QDialog::accept();
}

void CAlarmDlg::reject()
{
    // Escape does not close the popup: only its buttons answer it.
}

void CAlarmDlg::closeEvent(QCloseEvent* event)
{
    // No close box: a close asked for by the window system is not an answer either.
    event->ignore();
}

void CAlarmDlg::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange)
        update(CaptionRect()); // the caption shows whether the popup is active
}

void CAlarmDlg::OnSnooze()
{
    PostAppMessage(WM_ALARM_SNOOZE, static_cast<WPARAM>(m_nIndex), SnoozeDelay(SnoozeList()->currentIndex()));
}

void CAlarmDlg::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), SysQColor(COLOR_BTNFACE));
    const QRect caption = CaptionRect();
    painter.fillRect(caption,
                     SysQColor(isActiveWindow() ? COLOR_GRADIENTACTIVECAPTION : COLOR_INACTIVECAPTION));
    painter.setFont(m_fontCaption);
    painter.setPen(SysQColor(isActiveWindow() ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
    painter.drawText(caption.adjusted(kCornerSize / 2, 0, 0, 0),
                     Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, windowTitle());
    painter.setPen(SysQColor(COLOR_ACTIVEBORDER));
    painter.setBrush(Qt::NoBrush);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), kCornerSize / 2.0,
                            kCornerSize / 2.0);
}

void CAlarmDlg::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !CaptionRect().contains(event->position().toPoint())) {
        QDialog::mousePressEvent(event);
        return;
    }
    // The caption moves the window: by the window manager when there is one.
    if (windowHandle() && windowHandle()->startSystemMove())
        return;
    m_dragOffset = event->globalPosition().toPoint() - pos();
}

void CAlarmDlg::mouseMoveEvent(QMouseEvent* event)
{
    if (m_dragOffset)
        move(event->globalPosition().toPoint() - *m_dragOffset);
    QDialog::mouseMoveEvent(event);
}

void CAlarmDlg::mouseReleaseEvent(QMouseEvent* event)
{
    m_dragOffset.reset();
    QDialog::mouseReleaseEvent(event);
}

std::unique_ptr<CAlarmDlg> CreateAlarmPopup(QWidget& clock, int index, const AlarmSetting& alarm,
                                            int darkThreshold)
{
    auto popup = std::make_unique<CAlarmDlg>(index);
    popup->m_crBack = alarm.BackColor;
    popup->m_nDarkThreshold = darkThreshold;
    popup->Create();
    popup->SetMessage(alarm.AlarmMsg);
    // At the clock's top-left corner, brought to the front once; owned by the
    // clock, it stays above it.
    platform::SetOwner(*popup, clock);
    popup->move(clock.geometry().topLeft()); // the clock is a frameless top-level window
    popup->show();
    popup->raise();
    popup->activateWindow();
    // Asynchronous: no sound device or theme only means no sound.
    PlaySystemSound(QStringLiteral("Notification.Reminder"));
    return popup;
}
