#pragma once
// CPropPage3: the settings page "全般" (template 204): the splash at start,
// the top-most state, the window's opacity and the display size. Top-most
// state and opacity change the clock window at once (WM_SET_TOPMOST and
// WM_SET_ALPHA, sent); the zoom slider (a CBitmapSlider) sends the zoom in
// whole tens while it moves, so the clock resizes as it is dragged.
#include "settings/property_page.h"

class CBitmapSlider;
class QLineEdit;
class QSlider;

class CPropPage3 : public CPropertyPage
{
public:
    static constexpr int IDD = 204;
    static constexpr int IDC_CHECK_SPLASH = 1013;
    static constexpr int IDC_CHECK_TOPMOST = 1014;
    static constexpr int IDC_ALPHA = 1015;
    static constexpr int IDC_ALPHA_VALUE = 1022;
    static constexpr int IDC_ZOOM_VALUE = 1023;
    static constexpr int IDC_ZOOM = 1128;

    // The zoom slider's range in percent.
    static constexpr int kMinZoom = 50;
    static constexpr int kMaxZoom = 600;

    explicit CPropPage3(QWidget* parent = nullptr);

    // The page as data (template 204).
    static const platform::DialogTemplate& Template();

    bool OnInitDialog() override;

    CBitmapSlider& ZoomSlider() const { return *m_slider; }

protected:
    void DoDataExchange(platform::DataExchange& dx) override;

private:
    void OnSplashClicked();
    void OnTopMostClicked();
    void OnAlpha(int alpha);
    // A move of the zoom slider: the zoom in whole tens is shown and, when it
    // differs from the last one sent, sent to the clock window.
    void OnZoomMoved(int position);

    int m_bSplash;
    int m_bTopMost;
    int m_nLastZoom = 0;
    QSlider* m_alpha = nullptr;
    CBitmapSlider* m_slider = nullptr;
};

// The zoom a slider position stands for: the position in whole tens, rounded down.
constexpr int ZoomStep(int position)
{
    return position / 10 * 10;
}
