#pragma once
// The start-up splash: the "SPLASH" picture with the version and the author,
// centred on the work area, held for 2 s and then faded out in steps of 5 every
// 50 ms. A click closes it at once. It deletes itself when closed; hold it in a
// QPointer.
#include <QBasicTimer>
#include <QImage>
#include <QSize>
#include <QString>
#include <QWidget>

class CSplashWnd final : public QWidget
{
public:
    static constexpr int kHoldMs = 2000;            // timer 1
    static constexpr int kFadeStepMs = 50;          // timer 2
    static constexpr int kFadeStep = 5;             // alpha taken off per step
    static constexpr int kCloseBelow = 10;          // alpha at which the fade ends
    static constexpr QSize kFallbackSize{264, 184}; // window size without the picture

    // The splash with the "SPLASH" picture, or with the given one (a null picture
    // gives a plain splash of kFallbackSize that still shows its texts).
    explicit CSplashWnd(const QString& version);
    CSplashWnd(const QString& version, QImage bitmap);

    // Sizes and centres the window on the work area, shows it on top and starts
    // the hold.
    void Create(const QRect& workArea);

    int Alpha() const { return m_nAlpha; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void CloseLater();

    QString m_strVersion;
    QImage m_bitmap;
    int m_nWidth;
    int m_nHeight;
    int m_nAlpha = 255;
    QBasicTimer m_holdTimer;
    QBasicTimer m_fadeTimer;
};
