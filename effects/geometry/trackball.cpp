#include "effects/geometry/trackball.h"

#include <cmath>

namespace gg {

namespace {
constexpr float kFullTurn = 6.283185f; // radians per window width dragged
}

GgTrackball::GgTrackball()
{
    m_current.ToMatrix(m_matrix);
    m_dragRotation = m_current;
}

void GgTrackball::Drag(int x, int y)
{
    if (!m_dragging)
        return;
    const float dx = static_cast<float>(x - m_startX) * m_scaleX;
    const float dy = static_cast<float>(y - m_startY) * m_scaleY;
    const float length = std::sqrt(dx * dx + dy * dy);
    if (length == 0.0f)
        return;
    GgQuaternion drag;
    drag.SetAxisAngle(dy, dx, 0.0f, length * kFullTurn);
    m_dragRotation = drag * m_current;
    m_dragRotation.ToMatrix(m_matrix);
}

void GgTrackball::EndDrag(int x, int y)
{
    Drag(x, y);
    if (!m_dragging)
        return;
    const float norm = m_dragRotation.Norm();
    m_current = m_dragRotation;
    if (norm > 0.0f) {
        m_current.x /= norm;
        m_current.y /= norm;
        m_current.z /= norm;
        m_current.w /= norm;
    }
    m_dragging = false;
}

} // namespace gg
