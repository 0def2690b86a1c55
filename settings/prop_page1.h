#pragma once
// CPropPage1: the settings page "文字盤1" (template 202): the hands and the date
// window on or off, the hand colours (default, the frame's colour, or one
// colour per hand) and the dial type. Each change goes into the live settings
// at once; the hand colours and the dial type are also posted to the clock
// window (WM_SET_HANDS_COLOR, WM_SET_CLOCK_FACE), the checks are read by the
// clock at every frame.
#include "settings/property_page.h"

#include <array>

class CColorButton;
class QComboBox;

class CPropPage1 : public CPropertyPage
{
public:
    static constexpr int IDD = 202;
    static constexpr int IDC_CHECK_HANDS = 1004;
    static constexpr int IDC_CHECK_DATE = 1005;
    static constexpr int IDC_RADIO_DEFAULT = 1047; // then 1048 frame colour, 1049 one colour per hand
    static constexpr int IDC_LABEL_HOUR = 1129;    // then 1130 minute, 1131 second
    static constexpr int IDC_COLOR_HOUR = 1053;    // then 1054 minute, 1055 second
    static constexpr int IDC_CLOCK_FACE = 1134;

    explicit CPropPage1(QWidget* parent = nullptr);

    // The page as data (template 202).
    static const platform::DialogTemplate& Template();

    bool OnInitDialog() override;

protected:
    void DoDataExchange(platform::DataExchange& dx) override;

private:
    void OnCheckClicked();
    void OnHandsColorKind();
    void OnColorMessage(unsigned message, platform::COLORREF colour, int id);
    void OnClockFace(int index);
    void EnableHandColors(bool enable) const;

    int m_bHands;
    int m_bDate;
    int m_nHandsColorKind;
    std::array<CColorButton*, 3> m_colorButtons{};
    QComboBox* m_comboFace = nullptr;
};
