#pragma once
// CPropPage8: the settings page "文字盤2" (template 209): the dot-matrix digital
// readout on or off, its seconds, and its colours (a preset group or two
// colours of one's own), with an LED preview of the own colours. Changes go
// into the live settings at once; colour changes are posted to the clock
// window (WM_DOT_COLORS_CHANGED), the checks are read at every frame.
#include "settings/property_page.h"

#include <array>

class CColorButton;
class CMatrixStatic;
class QComboBox;

class CPropPage8 : public CPropertyPage
{
public:
    static constexpr int IDD = 209;
    static constexpr int IDC_CHECK_DIGITAL = 1006;
    static constexpr int IDC_CHECK_SECONDS = 1127;
    static constexpr int IDC_COLOR_GROUP = 1120;
    static constexpr int IDC_GROUP_CUSTOM = 1129; // then labels 1130 "ON色", 1131 "OFF色"
    static constexpr int IDC_COLOR_ON = 1065;
    static constexpr int IDC_COLOR_OFF = 1066;
    static constexpr int IDC_PREVIEW = 1067;

    // The colour group of one's own colours.
    static constexpr int kCustomColorGroup = 3;
    // The preview's background until the first colour choice.
    static constexpr platform::COLORREF kPreviewBackground = 0xF0F0F0;

    explicit CPropPage8(QWidget* parent = nullptr);

    // The page as data (template 209).
    static const platform::DialogTemplate& Template();

    bool OnInitDialog() override;

    CMatrixStatic& Preview() const { return *m_preview; }

protected:
    void DoDataExchange(platform::DataExchange& dx) override;

private:
    void OnDigitalClicked();
    void OnSecondsClicked();
    void OnColorGroup(int index);
    void OnColorMessage(unsigned message, platform::COLORREF colour, int id);
    // 1127 and the combo follow the readout's switch; the colour buttons, the
    // group box and its labels are enabled only with the readout on and the
    // group of one's own colours.
    void EnableControls() const;

    int m_bDigital;
    int m_bDigiSec;
    std::array<CColorButton*, 2> m_colorButtons{};
    QComboBox* m_comboGroup = nullptr;
    CMatrixStatic* m_preview = nullptr;
};
