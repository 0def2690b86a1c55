#pragma once
// CPropPage4: the settings page "アラーム" (template 205): the nine alarms,
// one row each: the switch, the repetition, the date (for "日付指定"), the
// time, the message and the message's background colour. Every change is
// written into the live alarm records at once; nothing is posted, since the
// clock checks the alarms from the settings every three seconds.
//
// The rows are taller than the page area: a scroll bar at the page's right
// moves them in steps of one row (60 pixels), from position 0 to 7.
#include "settings/property_page.h"

#include <QString>
#include <array>

class CColorEdit;
class CShadeButtonVq;
class QComboBox;
class QDateEdit;
class QScrollBar;
class QTimeEdit;

class CPropPage4 : public CPropertyPage
{
public:
    static constexpr int IDD = 205;
    // Row i's controls: id + i.
    static constexpr int IDC_SWITCH = 1024;
    static constexpr int IDC_TIMING = 1068;
    static constexpr int IDC_TIME = 1077;
    static constexpr int IDC_MESSAGE = 1086;
    static constexpr int IDC_COLOR = 1095;
    static constexpr int IDC_DATE = 1104;

    // The repetition that uses the date ("日付指定").
    static constexpr int kDatedTiming = 11;
    // The scroll range (the last position shows the last rows) and one step.
    static constexpr int kMaxScroll = 7;
    static constexpr int kScrollStep = 60;

    explicit CPropPage4(QWidget* parent = nullptr);

    // The page as data (template 205).
    static const platform::DialogTemplate& Template();

    bool OnInitDialog() override;

    QScrollBar* ScrollBar() const { return m_scrollBar; }
    CColorEdit* MessageEdit(int i) const { return m_edits[static_cast<std::size_t>(i)]; }

protected:
    void DoDataExchange(platform::DataExchange& dx) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void InitRow(int i);
    void OnSwitchClicked(int i);
    void OnTiming(int i, int timing);
    void OnDateChanged(int i);
    void OnTimeChanged(int i);
    void OnMessageChanged(int i);
    void OnColor(int i);
    // The message edit's background and its text colour (white on dark, black on light).
    void ShowBackColor(int i) const;
    // The rows follow the scroll bar.
    void OnScroll(int position);

    std::array<int, 9> m_bSwitch{};
    std::array<QString, 9> m_strMessage;
    std::array<CColorEdit*, 9> m_edits{};
    std::array<QDateEdit*, 9> m_dates{};
    std::array<QTimeEdit*, 9> m_times{};
    std::array<QComboBox*, 9> m_combos{};
    std::array<CShadeButtonVq*, 9> m_colorButtons{};
    QScrollBar* m_scrollBar = nullptr;
    int m_nScrollPos = 0;
    int m_nDarkThreshold;
};
