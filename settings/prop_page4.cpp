#include "settings/prop_page4.h"

#include "controls/color_edit.h"
#include "controls/shade_button_vq.h"
#include "settings/choosers.h"
#include "settings/page_settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTimeEdit>
#include <QWheelEvent>

using namespace platform;

namespace {

const QStringList kTimings = {
    QStringLiteral("毎日"),   QStringLiteral("月-土"),   QStringLiteral("月-金"),   QStringLiteral("毎週日"),
    QStringLiteral("毎週月"), QStringLiteral("毎週火"),  QStringLiteral("毎週水"),  QStringLiteral("毎週木"),
    QStringLiteral("毎週金"), QStringLiteral("毎週土"),  QStringLiteral("1回だけ"), QStringLiteral("日付指定"),
};

constexpr std::size_t At(int i)
{
    return static_cast<std::size_t>(i);
}

AlarmSetting& Alarm(int i)
{
    return LiveSettings().Alarms.at(At(i));
}

// The controls of the nine rows, 45 dialog units apart.
std::vector<ControlTemplate> AlarmRows()
{
    std::vector<ControlTemplate> rows;
    for (int k = 0; k < kAlarmCount; ++k) {
        const int y = 45 * k;
        rows.push_back({CPropPage4::IDC_SWITCH + k, ControlKind::CheckBox, {20, 10 + y, 45, 10}, WS_TABSTOP,
                        QStringLiteral("アラーム%1").arg(k + 1)});
        rows.push_back(
            {CPropPage4::IDC_TIMING + k, ControlKind::ComboBox, {78, 8 + y, 48, 121}, CBS_DROPDOWNLIST | WS_TABSTOP, {}});
        rows.push_back({CPropPage4::IDC_DATE + k, ControlKind::Custom,
                        k == 0 ? QRect(141, 7, 40, 15) : QRect(142, 6 + y, 40, 15), WS_DISABLED | WS_TABSTOP, {}});
        rows.push_back({CPropPage4::IDC_TIME + k, ControlKind::Custom, {190, k == 0 ? 7 : 6 + y, 40, 15}, WS_TABSTOP, {}});
        rows.push_back({CPropPage4::IDC_MESSAGE + k, ControlKind::Custom, {20, 27 + y, 200, 14}, WS_TABSTOP, {}});
        rows.push_back({CPropPage4::IDC_COLOR + k, ControlKind::Custom, {220, 27 + y, 15, 14}, WS_TABSTOP, {}});
    }
    return rows;
}

// A date for the picker: this year's month and day when they make a date,
// else today (the picker does not take an invalid date).
QDate PickerDate(int month, int day)
{
    const QDate today = QDate::currentDate();
    const QDate date(today.year(), month, day);
    return date.isValid() ? date : today;
}

} // namespace

const DialogTemplate& CPropPage4::Template()
{
    static const DialogTemplate page{QString(), {261, 424}, AlarmRows()};
    return page;
}

CPropPage4::CPropPage4(QWidget* parent) : CPropertyPage(Template(), parent), m_nDarkThreshold(CurrentPageSettings().darkThreshold)
{
    for (int i = 0; i < kAlarmCount; ++i) {
        const AlarmSetting& alarm = Alarm(i);
        m_bSwitch[At(i)] = alarm.Enable;
        m_strMessage[At(i)] = alarm.AlarmMsg;

        m_combos[At(i)] = Item<QComboBox>(IDC_TIMING + i);
        m_dates[At(i)] = new QDateEdit;
        Replace(IDC_DATE + i, m_dates[At(i)]);
        m_times[At(i)] = new QTimeEdit;
        Replace(IDC_TIME + i, m_times[At(i)]);
        m_edits[At(i)] = new CColorEdit;
        Replace(IDC_MESSAGE + i, m_edits[At(i)]);
        m_colorButtons[At(i)] = new CShadeButtonVq;
        Replace(IDC_COLOR + i, m_colorButtons[At(i)]);
    }
    m_scrollBar = new QScrollBar(Qt::Vertical, this);
    m_scrollBar->setTracking(false); // a dragged thumb scrolls when released
}

void CPropPage4::DoDataExchange(DataExchange& dx)
{
    for (int i = 0; i < kAlarmCount; ++i) {
        DDX_Check(dx, IDC_SWITCH + i, m_bSwitch[At(i)]);
        CColorEdit& edit = *m_edits[At(i)];
        if (dx.m_bSaveAndValidate)
            m_strMessage[At(i)] = edit.toPlainText();
        else if (edit.toPlainText() != m_strMessage[At(i)])
            edit.setPlainText(m_strMessage[At(i)]);
    }
}

bool CPropPage4::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    for (int i = 0; i < kAlarmCount; ++i)
        InitRow(i);
    m_scrollBar->setRange(0, kMaxScroll);
    m_scrollBar->setPageStep(1);
    m_scrollBar->raise();
    connect(m_scrollBar, &QScrollBar::valueChanged, this, [this](int position) { OnScroll(position); });
    return true;
}

void CPropPage4::InitRow(int i)
{
    const AlarmSetting& alarm = Alarm(i);

    QDateEdit& date = *m_dates[At(i)];
    date.setDisplayFormat(QStringLiteral("MM/dd"));
    date.setCalendarPopup(true);
    date.setDate(PickerDate(alarm.Month, alarm.Day));
    date.setEnabled(alarm.NotifyTiming == kDatedTiming);
    if (alarm.NotifyTiming == kDatedTiming)
        OnDateChanged(i); // a dated alarm keeps the date it shows

    QTimeEdit& time = *m_times[At(i)];
    time.setDisplayFormat(QStringLiteral("HH:mm"));
    time.setTime(QTime(alarm.Hour, alarm.Minute));

    CColorEdit& edit = *m_edits[At(i)];
    edit.setReadOnly(false);
    edit.setLineWrapMode(QTextEdit::NoWrap);
    edit.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    edit.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    edit.setTabChangesFocus(true);
    edit.installEventFilter(this);
    ShowBackColor(i);

    QComboBox& combo = *m_combos[At(i)];
    combo.addItems(kTimings);
    combo.setCurrentIndex(alarm.NotifyTiming);

    ShadePictureButton(*m_colorButtons[At(i)], "IDB_COLOR");

    connect(Item<QCheckBox>(IDC_SWITCH + i), &QCheckBox::clicked, this, [this, i] { OnSwitchClicked(i); });
    connect(&combo, &QComboBox::activated, this, [this, i](int timing) { OnTiming(i, timing); });
    // Typed or picked from the calendar, a date is stored alike.
    connect(&date, &QDateEdit::dateChanged, this, [this, i] { OnDateChanged(i); });
    connect(&time, &QTimeEdit::timeChanged, this, [this, i] { OnTimeChanged(i); });
    connect(&edit, &QTextEdit::textChanged, this, [this, i] { OnMessageChanged(i); });
    connect(m_colorButtons[At(i)], &QPushButton::clicked, this, [this, i] { OnColor(i); });
}

void CPropPage4::ShowBackColor(int i) const
{
    CColorEdit& edit = *m_edits[At(i)];
    const COLORREF back = Alarm(i).BackColor;
    edit.SetBackgroundColor(back);
    edit.SetTextColor(AlarmTextColor(back, m_nDarkThreshold));
}

void CPropPage4::OnSwitchClicked(int i)
{
    UpdateData(true);
    Alarm(i).Enable = m_bSwitch[At(i)] != 0;
}

void CPropPage4::OnTiming(int i, int timing)
{
    Alarm(i).NotifyTiming = timing;
    m_dates[At(i)]->setEnabled(timing == kDatedTiming);
    if (timing == kDatedTiming)
        OnDateChanged(i);
}

void CPropPage4::OnDateChanged(int i)
{
    const QDate date = m_dates[At(i)]->date();
    Alarm(i).Month = date.month();
    Alarm(i).Day = date.day();
}

void CPropPage4::OnTimeChanged(int i)
{
    const QTime time = m_times[At(i)]->time();
    Alarm(i).Hour = time.hour();
    Alarm(i).Minute = time.minute();
}

void CPropPage4::OnMessageChanged(int i)
{
    UpdateData(true);
    // One line: a line break would end the value in the settings file.
    Alarm(i).AlarmMsg = QString(m_strMessage[At(i)]).replace(u'\n', u' ');
}

void CPropPage4::OnColor(int i)
{
    const std::optional<COLORREF> colour = PageChoosers().ChooseColor(this, Alarm(i).BackColor);
    if (!colour)
        return;
    Alarm(i).BackColor = *colour;
    ShowBackColor(i);
}

void CPropPage4::OnScroll(int position)
{
    const int dy = (m_nScrollPos - position) * kScrollStep;
    m_nScrollPos = position;
    for (QWidget* control : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (control != m_scrollBar)
            control->move(control->pos() + QPoint(0, dy));
}

void CPropPage4::resizeEvent(QResizeEvent* event)
{
    CPropertyPage::resizeEvent(event);
    const int width = GetSystemMetrics(SM_CXVSCROLL);
    m_scrollBar->setGeometry(this->width() - width, 0, width, height());
}

void CPropPage4::wheelEvent(QWheelEvent* event)
{
    // One row per notch: away from the user scrolls up.
    const int delta = event->angleDelta().y();
    m_scrollBar->triggerAction(delta > 0 ? QAbstractSlider::SliderSingleStepSub : QAbstractSlider::SliderSingleStepAdd);
    event->accept();
}

bool CPropPage4::eventFilter(QObject* watched, QEvent* event)
{
    // The message edits hold one line: Enter does not break it.
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && qobject_cast<QTextEdit*>(watched))
            return true;
    }
    return CPropertyPage::eventFilter(watched, event);
}
