#pragma once
// CAlarmDlg: the popup of a ringing alarm. A small rounded window with its own
// caption ("Lumidialアラーム No.n"), the time it opened, the alarm's message on
// the alarm's colour, a snooze choice with its button and a close button. It
// tells the clock window what the user chose (WM_ALARM_SNOOZE, WM_ALARM_CLOSED,
// posted to the main window); the clock window destroys it. Escape does
// nothing; Enter closes, as the close button does.
#include "platform/dialog.h"
#include "store/app_settings.h"

#include <QDateTime>
#include <QDialog>
#include <memory>
#include <optional>

class CColorEdit;
class CShadeButtonVq;
class QComboBox;
class QLineEdit;

// Control ids of dialog template 210.
enum AlarmDlgControl : int
{
    IDC_ALARM_CLOSE = 1, // IDOK
    IDC_ALARM_MESSAGE = 1033,
    IDC_ALARM_TIME = 1060,
    IDC_ALARM_SNOOZE = 1061,
    IDC_ALARM_SNOOZE_LIST = 1062,
};

// Template 210: the popup's client area and controls.
const platform::DialogTemplate& AlarmDialogTemplate();

// The time line: "%H:%M  %Y/%m/%d (%A) に通知" with the Japanese day name.
QString FormatAlarmTimeLine(const QDateTime& time);

class CAlarmDlg : public QDialog
{
public:
    // index: the alarm, 0 to 8.
    explicit CAlarmDlg(int index, QWidget* parent = nullptr);
    ~CAlarmDlg() override;

    // Set before Create: the message's background, the dark threshold, and the
    // time the popup shows (now when left invalid).
    platform::COLORREF m_crBack = 0xFFFFFF;
    int m_nDarkThreshold = 150;
    QDateTime m_openedAt;

    // Builds the window from template 210 and initialises it (OnInitDialog).
    void Create();

    int Index() const { return m_nIndex; }
    void SetMessage(const QString& text);

    QLineEdit* TimeLine() const;
    CColorEdit* MessageEdit() const { return m_editMessage; }
    QComboBox* SnoozeList() const;
    CShadeButtonVq* SnoozeButton() const { return m_btnSnooze; }
    CShadeButtonVq* CloseButton() const { return m_btnClose; }
    // The client area (below the caption), where the controls sit.
    QWidget* Client() const { return m_client; }

protected:
    void accept() override; // OnOK
    void reject() override; // Escape: nothing
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void OnCreate();
    void OnInitDialog();
    void DoDataExchange(platform::DataExchange& dx);
    void OnSnooze();
    QRect CaptionRect() const;

    const int m_nIndex;
    QString m_strTime;
    QWidget* m_client;
    std::unique_ptr<platform::DialogControls> m_controls;
    CColorEdit* m_editMessage = nullptr;
    CShadeButtonVq* m_btnSnooze = nullptr;
    CShadeButtonVq* m_btnClose = nullptr;
    QFont m_fontSmall;
    QFont m_fontLarge;
    QFont m_fontCaption;
    std::optional<QPoint> m_dragOffset; // while the caption is dragged by hand
};

// The popup of alarm index at the clock's top-left corner, owned by the clock
// (so above it), with the reminder sound. The caller owns it.
std::unique_ptr<CAlarmDlg> CreateAlarmPopup(QWidget& clock, int index, const AlarmSetting& alarm,
                                            int darkThreshold);
