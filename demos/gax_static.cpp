#include "demos/gax_static.h"

#include "demos/core/base_app.h"

#include <QMouseEvent>
#include <QPainter>

namespace {

constexpr int kEdgeWidth = 2; // the sunken client edge
constexpr int kNoButton = -1;

// The demos' number of a mouse button; kNoButton for those they do not get.
int DemoButton(Qt::MouseButton button)
{
    return button == Qt::LeftButton ? GA_BUTTON_LEFT : button == Qt::RightButton ? GA_BUTTON_RIGHT : kNoButton;
}

} // namespace

CGaxStatic::CGaxStatic(QWidget* parent) : QFrame(parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(kEdgeWidth);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
    setCursor(Qt::PointingHandCursor);
}

CGaxStatic::~CGaxStatic() = default;

void CGaxStatic::CreateBackBuffer()
{
    m_painter.reset();
    m_nWidth = contentsRect().width();
    m_nHeight = contentsRect().height();
    m_bmpBack = QImage(m_nWidth, m_nHeight, QImage::Format_RGB32);
    m_bmpBack.fill(Qt::black);
    if (!m_bmpBack.isNull())
        m_painter = std::make_unique<QPainter>(&m_bmpBack);
}

QPainter& CGaxStatic::FramePainter()
{
    if (!m_painter) // a canvas without its size yet draws into a buffer of none
        CreateBackBuffer();
    m_painter->resetTransform();
    return *m_painter;
}

void CGaxStatic::OnKeyDown(int key)
{
    if (!m_pApp)
        return;
    m_pApp->MakeCurrent();
    m_pApp->keyPressed(key);
}

void CGaxStatic::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    QPainter painter(this);
    painter.drawImage(contentsRect().topLeft(), m_bmpBack);
}

QPoint CGaxStatic::ClientPoint(const QMouseEvent& event) const
{
    return event.position().toPoint() - contentsRect().topLeft();
}

// A button pressed over the canvas keeps the mouse for the canvas until it is
// released (the window system's implicit grab): a drag that leaves the canvas
// goes on reaching the demo with coordinates outside it, which the demos clamp
// to the canvas or take as they are, and the release ends the drag wherever it
// happens, so no drag is left held. Moves without a button come only while the
// pointer is over the canvas.
void CGaxStatic::mousePressEvent(QMouseEvent* event)
{
    OnButton(*event, true);
}

void CGaxStatic::mouseReleaseEvent(QMouseEvent* event)
{
    OnButton(*event, false);
}

void CGaxStatic::OnButton(const QMouseEvent& event, bool down)
{
    const int button = DemoButton(event.button());
    if (button == GA_BUTTON_LEFT)
        m_bLButtonHeld = down;
    if (!m_pApp || button == kNoButton)
        return;
    const QPoint point = ClientPoint(event);
    m_pApp->MakeCurrent();
    if (down) {
        m_pApp->mouseX = point.x();
        m_pApp->mouseY = point.y();
        m_pApp->mousePressed(point.x(), point.y(), button);
    } else {
        m_pApp->mouseReleased(point.x(), point.y(), button);
    }
}

void CGaxStatic::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_pApp)
        return;
    const QPoint point = ClientPoint(*event);
    m_pApp->MakeCurrent();
    if (m_bLButtonHeld)
        m_pApp->mouseDragged(point.x(), point.y(), GA_BUTTON_LEFT);
    else
        m_pApp->mouseMoved(point.x(), point.y());
}
