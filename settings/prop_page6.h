#pragma once
// CPropPage6 ("SNTP", template 207): asks a time server for the current time
// with one SNTP request over UDP and shows the server's time beside the PC's.
// It only shows the two times; the PC's clock is never changed.
//
// A query runs on the GUI thread: the host lookup (settings/host_lookup.h) and
// the socket report through the event loop, and a 3-second timer ends a query
// that gets no answer. Only one query runs at a time; the button that starts it
// cancels it. Every failure ends the query and shows its message in an error
// box (no owner, caption "Error"); the dialog stays open for another try.
#include "platform/dialog.h"
#include "platform/timers.h"
#include "settings/time_query.h"

#include <QDialog>
#include <QHostAddress>
#include <memory>
#include <vector>

class QComboBox;
class QPushButton;
class QUdpSocket;

// Control ids of template 207.
enum PropPage6Control : int
{
    IDC_SNTP_SERVER = 1041,
    IDC_SNTP_QUERY = 1042,
    IDC_SNTP_PC_TIME = 1043,
    IDC_SNTP_SERVER_TIME = 1044,
};

// Template 207.
const platform::DialogTemplate& PropPage6Template();

class CPropPage6 : public QDialog
{
public:
    static constexpr int TIMER_SNTP_TIMEOUT = 10;
    static constexpr int kTimeoutMs = 3000;

    // The presets fill the server list, a drop-down list (the five of
    // SntpPresets by default).
    explicit CPropPage6(QWidget* parent = nullptr, std::vector<SntpServer> presets = SntpPresets());
    ~CPropPage6() override;

    // Starts a query of a server text ("host", "host:port", an address); shows
    // the refusal when the text names no server.
    void StartSntpQuery(const QString& hostText);
    // Ends the running query, if any: timer, lookup and socket.
    void CancelSntpQuery();

    // A query runs (the socket is open).
    bool IsQuerying() const { return m_socket != nullptr; }
    bool IsLookingUp() const { return m_lookupId != 0; }
    bool IsTimerRunning() const { return m_timers.IsRunning(TIMER_SNTP_TIMEOUT); }

    QComboBox* ServerList() const;
    QPushButton* QueryButton() const;
    const QString& ServerTimeText() const { return m_strServerTime; }
    const QString& PcTimeText() const { return m_strPcTime; }

protected:
    void done(int result) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void OnInitDialog();
    void DoDataExchange(platform::DataExchange& dx);
    void UpdateData(bool saveAndValidate);
    void OnQueryButton();
    // The host of the preset chosen in the server list; empty with none.
    QString SelectedHostText() const;
    void OnHostResolved(int lookupId, const QList<QHostAddress>& addresses);
    void SendSntpRequest(const QHostAddress& address);
    void OnSntpSocketError();
    void ReceiveSntpReply();
    void OnTimer(int id);
    // Cancels the query and shows an error box.
    void Fail(const QString& message);
    void SetButtonText();

    std::vector<SntpServer> m_presets;
    std::unique_ptr<platform::DialogControls> m_controls;
    platform::TimerSet m_timers;
    int m_lookupId = 0; // the running lookup, 0 when none
    QUdpSocket* m_socket = nullptr; // a child of the dialog while a query runs
    int m_nPort = kSntpPort;
    QHostAddress m_serverAddress;
    QString m_strServerTime;
    QString m_strPcTime;
};
