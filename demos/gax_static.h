#pragma once
// CGaxStatic: the DEMO dialog's canvas. A control with a 2-pixel sunken edge
// whose client area shows a back buffer of the same size; every frame the
// current demo draws into the back buffer through the 2D core, and the canvas
// shows it when it paints. Mouse input over the canvas and the dialog's keys go
// to the current demo, in client coordinates (the client area starts inside
// the edge); a drag begun over the canvas stays the canvas's until its button
// is released, also outside.
#include <QFrame>
#include <QImage>

#include <memory>

class QPainter;
class gaBaseApp;

class CGaxStatic : public QFrame
{
public:
    explicit CGaxStatic(QWidget* parent = nullptr);
    ~CGaxStatic() override;

    // The back buffer at the client size (opaque black), once the control has
    // its size.
    void CreateBackBuffer();
    int CanvasWidth() const { return m_nWidth; }
    int CanvasHeight() const { return m_nHeight; }
    const QImage& BackBuffer() const { return m_bmpBack; }

    // The painter of the back buffer for one frame, with no transform.
    QPainter& FramePainter();

    // The app that input goes to (not owned); null: none.
    void SetApp(gaBaseApp* app) { m_pApp = app; }
    gaBaseApp* App() const { return m_pApp; }

    // A key for the app: keyPressed with the code as given.
    void OnKeyDown(int key);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    QPoint ClientPoint(const QMouseEvent& event) const;
    // A button went down or up over the canvas: the left-button flag, then the app.
    void OnButton(const QMouseEvent& event, bool down);

    QImage m_bmpBack;
    std::unique_ptr<QPainter> m_painter; // open on m_bmpBack for the canvas's life
    int m_nWidth = 0;
    int m_nHeight = 0;
    gaBaseApp* m_pApp = nullptr;
    bool m_bLButtonHeld = false; // the left button went down over the canvas
};
