#pragma once
// CPropPage2: the settings page "フレーム" (template 203): the frame on or off,
// which of the eighteen frames, and for the external-image frame its picture
// file and its gradation. The frame choice is posted to the clock window
// (WM_SET_FRAME_TYPE, which stores it); a new picture or gradation has the
// clock window rebuild the external frame at once (WM_CREATE_EXT_FRAME, sent)
// and selects it.
#include "settings/property_page.h"

#include <QString>

class CShadeButtonVq;
class QComboBox;

class CPropPage2 : public CPropertyPage
{
public:
    static constexpr int IDD = 203;
    static constexpr int IDC_CHECK_FRAME = 1008;
    static constexpr int IDC_FRAME_TYPE = 1009;
    static constexpr int IDC_FILE_NAME = 1010;
    static constexpr int IDC_FOLDER = 1011;
    static constexpr int IDC_GRADATION = 1012;
    static constexpr int IDC_EXT_LABEL = 1021;

    // The file chooser of the folder button.
    static const QString kFileFilter;
    static const QString kFileTitle;

    explicit CPropPage2(QWidget* parent = nullptr);

    // The page as data (template 203).
    static const platform::DialogTemplate& Template();

    bool OnInitDialog() override;

    // The combo's last entry: the external-image frame.
    int ExternalIndex() const { return m_nExtIndex; }

protected:
    void DoDataExchange(platform::DataExchange& dx) override;

private:
    void OnFrameClicked();
    void OnFrameType(int index);
    void OnFolder();
    void OnGradation();
    // Rebuilds the external frame from the settings and selects it.
    void ApplyExternalFrame() const;
    void EnableExternalControls(bool enable) const;

    int m_nExtIndex = 0;
    int m_bFrame;
    int m_bGradation;
    QString m_strFileName;
    QComboBox* m_comboFrame = nullptr;
    CShadeButtonVq* m_folderButton = nullptr;
};

// The name part of a path: after its last "\" or "/", the whole text without one.
QString FileNamePart(const QString& path);
