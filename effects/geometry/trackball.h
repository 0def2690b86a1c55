#pragma once
// GgTrackball: a virtual trackball that turns pointer drags into rotations. A
// horizontal drag turns about the vertical (y) axis, a vertical drag about the
// x axis; a drag across the whole window turns by one full turn. Rotations of
// successive drags accumulate.
#include "effects/geometry/quaternion.h"

namespace gg {

class GgTrackball : public Gg
{
public:
    GgTrackball();

    // The window size in pixels (not zero): converts pixels to trackball units.
    void Region(int width, int height)
    {
        m_scaleX = 1.0f / static_cast<float>(width);
        m_scaleY = 1.0f / static_cast<float>(height);
    }

    // Starts a drag at the pointer position (window pixels); until the pointer
    // moves, the drag's rotation is the one of the finished drags.
    void BeginDrag(int x, int y)
    {
        m_startX = x;
        m_startY = y;
        m_dragging = true;
        m_dragRotation = m_current;
    }

    // While dragging: the rotation of the drag so far, combined with the finished
    // drags, becomes the matrix. A position equal to the start changes nothing.
    void Drag(int x, int y);

    // A last Drag, then the drag's rotation (normalised) becomes the rotation the
    // next drag starts from. Does nothing when no drag is in progress.
    void EndDrag(int x, int y);

    bool IsDragging() const { return m_dragging; }
    // The column-major rotation matrix for glMultMatrixf.
    const GgMatrix& GetMatrix() const { return m_matrix; }
    // The rotation of the finished drags.
    const GgQuaternion& GetQuaternion() const { return m_current; }

private:
    int m_startX = 0;
    int m_startY = 0;
    bool m_dragging = false;
    float m_scaleX = 1.0f;
    float m_scaleY = 1.0f;
    GgQuaternion m_current;      // rotation of the finished drags
    GgQuaternion m_dragRotation; // m_current combined with the drag in progress
    GgMatrix m_matrix{};
};

} // namespace gg
