#include "settings/prop_page6.h"

#include "platform/desktop.h"
#include "settings/host_lookup.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QNetworkDatagram>
#include <QPushButton>
#include <QStyle>
#include <QUdpSocket>
#include <algorithm>

using namespace platform;

namespace {

constexpr int kMargin = 7; // dialog units between the controls and the dialog's edge

const QString kQueryText = QStringLiteral("時間取得");
const QString kCancelText = QStringLiteral("Cancel");

// The error messages of a query.
const QString kNoServerName = QStringLiteral("サーバ名が入力されていません。");
const QString kSocketFailed = QStringLiteral("Socketの作成に失敗しました。");
const QString kLookupFailed = QStringLiteral("サーバのIPアドレスの取得に失敗しました。");
const QString kSendFailed = QStringLiteral("送信に失敗しました。");
const QString kSocketEventFailed = QStringLiteral("Socketイベントの通知でエラーが発生しました。");
const QString kTimedOut = QStringLiteral("3秒以内にSNTPｻｰﾊﾞから応答がありませんでした。");
const QString kReceiveFailed = QStringLiteral("受信に失敗しました。");
const QString kTimeFailed = QStringLiteral("時刻の取得に失敗しました。");

// An error box modal to the dialog.
void ShowError(QWidget& dialog, const QString& message)
{
    MessageBox(&dialog, message, QStringLiteral("Error"), MB_ICONERROR);
}

// The address to ask among those of a name: the first IPv4 one, else the first.
QHostAddress ChooseAddress(const QList<QHostAddress>& addresses)
{
    const auto v4 = std::find_if(addresses.begin(), addresses.end(), [](const QHostAddress& a) {
        return a.protocol() == QAbstractSocket::IPv4Protocol;
    });
    return v4 != addresses.end() ? *v4 : addresses.front();
}

} // namespace

const DialogTemplate& PropPage6Template()
{
    static const DialogTemplate dialog{
        QStringLiteral("SNTP"),
        {261, 150},
        {
            // The labels reach up to the controls' column, so their text fits in
            // the stand-in fonts, which run wider than the Windows ones.
            {-1, ControlKind::Static, {23, 13, 65, 8}, 0, QStringLiteral("SNTPサーバ")},
            {IDC_SNTP_SERVER, ControlKind::ComboBox, {90, 10, 110, 73}, CBS_DROPDOWNLIST | WS_TABSTOP, {}},
            {IDC_SNTP_QUERY, ControlKind::PushButton, {90, 34, 50, 14}, WS_TABSTOP, kQueryText},
            {-1, ControlKind::Static, {22, 62, 66, 8}, 0, QStringLiteral("SNTPサーバの時刻")},
            {IDC_SNTP_SERVER_TIME, ControlKind::Edit, {90, 60, 110, 14}, ES_READONLY | WS_TABSTOP, {}},
            {-1, ControlKind::Static, {24, 88, 64, 8}, 0, QStringLiteral("PC時刻")},
            {IDC_SNTP_PC_TIME, ControlKind::Edit, {90, 86, 110, 14}, ES_READONLY | WS_TABSTOP, {}},
        },
    };
    return dialog;
}

CPropPage6::CPropPage6(QWidget* parent, std::vector<SntpServer> presets)
    : QDialog(parent), m_presets(std::move(presets)), m_timers(this, [this](int id) { OnTimer(id); })
{
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    m_controls = std::make_unique<DialogControls>(this, PropPage6Template());
    connect(QueryButton(), &QPushButton::clicked, this, [this] { OnQueryButton(); });
    OnInitDialog();
}

CPropPage6::~CPropPage6()
{
    CancelSntpQuery();
}

QComboBox* CPropPage6::ServerList() const
{
    return m_controls->ItemAs<QComboBox>(IDC_SNTP_SERVER);
}

QPushButton* CPropPage6::QueryButton() const
{
    return m_controls->ItemAs<QPushButton>(IDC_SNTP_QUERY);
}

void CPropPage6::OnInitDialog()
{
    setWindowIcon(style()->standardIcon(QStyle::SP_MessageBoxInformation));
    QComboBox* const list = ServerList();
    for (const SntpServer& server : m_presets)
        list->addItem(server.label);
    list->setCurrentIndex(0);
    // Wide enough to show the longest label whole in the stand-in fonts, which
    // run wider than the Windows ones, up to the dialog's margin.
    const int right = width() - DluToPixelsX(kMargin);
    list->setSizeAdjustPolicy(QComboBox::AdjustToContents); // the size it asks for counts every label
    list->resize(
        std::clamp(list->sizeHint().width(), list->width(), std::max(list->width(), right - list->x())),
        list->height());
    UpdateData(false);
}

void CPropPage6::DoDataExchange(DataExchange& dx)
{
    DDX_Text(dx, IDC_SNTP_SERVER_TIME, m_strServerTime);
    DDX_Text(dx, IDC_SNTP_PC_TIME, m_strPcTime);
}

void CPropPage6::UpdateData(bool saveAndValidate)
{
    DataExchange dx(*m_controls, saveAndValidate);
    DoDataExchange(dx);
}

void CPropPage6::SetButtonText()
{
    QueryButton()->setText(IsQuerying() ? kCancelText : kQueryText);
}

QString CPropPage6::SelectedHostText() const
{
    const int index = ServerList()->currentIndex();
    return index >= 0 && index < static_cast<int>(m_presets.size()) ? m_presets[index].host : QString();
}

void CPropPage6::OnQueryButton()
{
    if (IsQuerying()) {
        CancelSntpQuery();
        return;
    }
    StartSntpQuery(SelectedHostText());
}

void CPropPage6::StartSntpQuery(const QString& hostText)
{
    CancelSntpQuery(); // one query at a time
    const std::optional<SntpServerText> server = ParseSntpServerText(hostText);
    if (!server) {
        ShowError(*this, kNoServerName);
        return;
    }
    m_nPort = server->port;
    m_socket = new QUdpSocket(this);
    SetButtonText();
    const QHostAddress literal(server->host);
    if (!literal.isNull()) {
        SendSntpRequest(literal);
        return;
    }
    m_lookupId = settings::HostLookupService().Start(
        server->host, this, [this](int id, const QList<QHostAddress>& addresses) { OnHostResolved(id, addresses); });
}

void CPropPage6::OnHostResolved(int lookupId, const QList<QHostAddress>& addresses)
{
    // The answer to a lookup that is no longer ours (cancelled, replaced) is
    // ignored before anything else, so it can never end a newer query.
    if (lookupId != m_lookupId || !IsQuerying())
        return;
    m_lookupId = 0;
    if (addresses.isEmpty()) {
        Fail(kLookupFailed);
        return;
    }
    SendSntpRequest(ChooseAddress(addresses));
}

void CPropPage6::SendSntpRequest(const QHostAddress& address)
{
    m_serverAddress = address;
    const bool v6 = address.protocol() == QAbstractSocket::IPv6Protocol;
    if (!m_socket->bind(v6 ? QHostAddress::AnyIPv6 : QHostAddress::AnyIPv4, 0)) {
        Fail(kSocketFailed);
        return;
    }
    const auto request = SntpRequest();
    const qint64 sent = m_socket->writeDatagram(reinterpret_cast<const char*>(request.data()),
                                                static_cast<qint64>(request.size()), m_serverAddress,
                                                static_cast<quint16>(m_nPort));
    if (sent != static_cast<qint64>(request.size())) {
        Fail(kSendFailed);
        return;
    }
    // Listened to from here on: a failed send reports its own error above, once.
    connect(m_socket, &QUdpSocket::readyRead, this, [this] { ReceiveSntpReply(); });
    connect(m_socket, &QUdpSocket::errorOccurred, this, [this] { OnSntpSocketError(); });
    m_timers.SetTimer(TIMER_SNTP_TIMEOUT, kTimeoutMs);
}

void CPropPage6::OnSntpSocketError()
{
    if (IsQuerying())
        Fail(kSocketEventFailed);
}

void CPropPage6::ReceiveSntpReply()
{
    if (!IsQuerying() || !m_socket->hasPendingDatagrams())
        return;
    // One byte more than a reply, so a longer datagram shows as too long.
    const QNetworkDatagram reply = m_socket->receiveDatagram(kSntpPacketSize + 1);
    const bool fromServer =
        reply.senderAddress().isEqual(m_serverAddress, QHostAddress::ConvertV4MappedToIPv4) &&
        reply.senderPort() == m_nPort;
    const std::optional<std::uint32_t> seconds =
        reply.isValid() && fromServer ? SntpTransmitSeconds(reply.data()) : std::nullopt;
    if (!seconds) {
        Fail(kReceiveFailed);
        return;
    }
    CancelSntpQuery(); // the query is over
    const std::optional<QString> serverTime = CtimeText(static_cast<std::time_t>(SntpToUnixSeconds(*seconds)));
    if (!serverTime) {
        ShowError(*this, kTimeFailed);
        return;
    }
    m_strServerTime = *serverTime;
    m_strPcTime = CtimeText(std::time(nullptr)).value_or(QString());
    UpdateData(false);
}

void CPropPage6::OnTimer(int id)
{
    if (id == TIMER_SNTP_TIMEOUT)
        Fail(kTimedOut);
}

void CPropPage6::Fail(const QString& message)
{
    CancelSntpQuery();
    ShowError(*this, message);
}

void CPropPage6::CancelSntpQuery()
{
    m_timers.KillTimer(TIMER_SNTP_TIMEOUT);
    if (m_lookupId != 0) {
        settings::HostLookupService().Abort(m_lookupId);
        m_lookupId = 0;
    }
    if (m_socket) {
        // The socket may be the one whose signal is being handled: it goes once
        // that is over (or with the dialog).
        disconnect(m_socket, nullptr, this, nullptr);
        m_socket->close();
        m_socket->deleteLater();
        m_socket = nullptr;
    }
    QueryButton()->setText(kQueryText);
}

void CPropPage6::done(int result)
{
    CancelSntpQuery(); // closing the dialog ends a running query
    QDialog::done(result);
}

void CPropPage6::keyPressEvent(QKeyEvent* event)
{
    // Enter ends the dialog (OK) unless a button has the focus: then it presses it.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (auto* button = qobject_cast<QPushButton*>(focusWidget()))
            button->click();
        else
            accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
