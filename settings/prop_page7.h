#pragma once
// CPropPage7: the settings page "エフェクト" (template 208): the colour
// filter's colour and strength, and the image slideshow's folder, interval
// and subfolder search. Filter and slideshow changes are posted to the clock
// window (WM_SET_FILTER, WM_SET_IMAGE_SOURCE); the subfolder search is read at
// the next folder scan.
#include "settings/property_page.h"

#include <QElapsedTimer>
#include <QString>
#include <optional>

class CColorButton;
class QLineEdit;
class QSlider;

class CPropPage7 : public CPropertyPage
{
public:
    static constexpr int IDD = 208;
    static constexpr int IDC_FILTER_COLOR = 1046;
    static constexpr int IDC_STRENGTH = 1015;
    static constexpr int IDC_STRENGTH_VALUE = 1022;
    static constexpr int IDC_IMAGE_FOLDER = 1056;
    static constexpr int IDC_FOLDER = 1011;
    static constexpr int IDC_INTERVAL = 1057;
    static constexpr int IDC_INTERVAL_SPIN = 1058;
    static constexpr int IDC_SEARCH_SUB = 1059;

    // The interval's range in seconds.
    static constexpr int kMinInterval = 1;
    static constexpr int kMaxInterval = 600;

    static const QString kFolderTitle;

    explicit CPropPage7(QWidget* parent = nullptr);

    // The page as data (template 208).
    static const platform::DialogTemplate& Template();

    bool OnInitDialog() override;

protected:
    void DoDataExchange(platform::DataExchange& dx) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnColorMessage(unsigned message, platform::COLORREF colour);
    void OnStrength(int value);
    void OnFolder();
    void OnIntervalChanged();
    void OnSearchSubClicked();
    // One step of the up-down control (held arrows step faster: 10 after 5
    // seconds, 100 after 10), within the interval's range.
    void StepInterval(int direction);

    QString m_strFolder;
    int m_bSearchSub;
    CColorButton* m_colorButton = nullptr;
    QSlider* m_slider = nullptr;
    QLineEdit* m_editInterval = nullptr;
    QElapsedTimer m_held; // how long an arrow of the up-down control is held
};

// The interval as typed: its value when it is a whole number of seconds in
// 1 .. 600, else nothing.
std::optional<int> ParseInterval(const QString& text);
