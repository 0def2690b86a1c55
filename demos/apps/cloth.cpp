#include "demos/apps/cloth.h"

#include <algorithm>
#include <cmath>

namespace {

float Distance(const gaCloth::Node& node, float x, float y)
{
    return std::hypot(node.x - x, node.y - y);
}

} // namespace

void gaCloth::setup()
{
    gaSetFrameRate(60);
    m_spacing = 20;
    m_damping = 0.95f;
    m_cutMode = false;
    m_dragged.reset();
    m_cutPending = false;
    m_stiffness = 0.28f;
    m_gravityX = 0.0f;
    m_gravityY = 0.1f;
    buildCloth();
}

void gaCloth::buildCloth()
{
    m_nodes.clear();
    m_springs.clear();
    m_columns = std::max(canvasWidth / m_spacing, 0);
    m_rows = std::max(canvasHeight / m_spacing, 0);
    const auto rows = static_cast<std::size_t>(m_rows);
    m_nodes.reserve(static_cast<std::size_t>(m_columns) * rows);
    for (int i = 0; i < m_columns; ++i)
        for (int j = 0; j < m_rows; ++j)
            m_nodes.push_back(
                {static_cast<float>(m_spacing * i), static_cast<float>(m_spacing * j), 0, 0, 0, 0, j == 0});
    const auto link = [this](std::size_t a, std::size_t b) {
        m_springs.push_back(
            {a, b, std::hypot(m_nodes[b].x - m_nodes[a].x, m_nodes[b].y - m_nodes[a].y), m_stiffness});
    };
    for (std::size_t i = 0; i < static_cast<std::size_t>(m_columns); ++i)
        for (std::size_t j = 0; j < rows; ++j) {
            const std::size_t node = i * rows + j;
            if (i > 0)
                link(node, node - rows);
            if (j > 0)
                link(node, node - 1);
        }
}

void gaCloth::applySpringForces()
{
    for (const Spring& spring : m_springs) {
        Node& a = m_nodes[spring.a];
        Node& b = m_nodes[spring.b];
        const float dx = b.x - a.x;
        const float dy = b.y - a.y;
        const float length = std::sqrt(dx * dx + dy * dy);
        const float f = (length - spring.rest) * spring.stiffness;
        const float ux = length > 0 ? dx / length : dx;
        const float uy = length > 0 ? dy / length : dy;
        if (!a.fixed) {
            a.fx += f * ux;
            a.fy += f * uy;
        }
        if (!b.fixed) {
            b.fx -= f * ux;
            b.fy -= f * uy;
        }
    }
}

void gaCloth::moveFreeNodes()
{
    for (Node& node : m_nodes) {
        if (node.fixed)
            continue;
        node.fx += m_gravityX;
        node.fy += m_gravityY;
        node.vx = (node.vx + node.fx) * m_damping;
        node.vy = (node.vy + node.fy) * m_damping;
        node.fx = node.fy = 0;
        node.x += node.vx;
        node.y += node.vy;
    }
}

void gaCloth::cutSprings()
{
    const auto x = static_cast<float>(mouseX);
    const auto y = static_cast<float>(mouseY);
    const auto spacing = static_cast<float>(m_spacing);
    std::erase_if(m_springs, [&](const Spring& spring) {
        return Distance(m_nodes[spring.a], x, y) < spacing || Distance(m_nodes[spring.b], x, y) < spacing;
    });
}

void gaCloth::update()
{
    applySpringForces();
    moveFreeNodes();
    if (m_cutMode && m_cutPending)
        cutSprings();
    m_cutPending = false;
}

void gaCloth::draw()
{
    gaSetBackgroundColor(0xFF000000);
    gaSetColor(0xFFFFFFFF);
    for (const Spring& spring : m_springs) {
        const Node& a = m_nodes[spring.a];
        const Node& b = m_nodes[spring.b];
        gaDrawLine(a.x, a.y, b.x, b.y);
    }
    for (std::size_t i = 0; i < m_nodes.size(); ++i) {
        gaSetColor(m_dragged == i ? 0xFFFF0000 : 0xFF0000FF);
        gaDrawCircle(m_nodes[i].x, m_nodes[i].y, 2);
    }
    gaSetColor(0xFF75FF8D);
    gaDrawString("Drag the node to Pull the cloth. \n [x]: Cut mode  [r]: Reset", 0, 0);
}

void gaCloth::keyPressed(int key)
{
    if (key == 'x' || key == 'X') {
        m_cutMode = !m_cutMode;
    } else if (key == 'r' || key == 'R') {
        m_springs.clear();
        m_dragged.reset();
        m_cutPending = false;
        buildCloth();
    }
}

void gaCloth::mousePressed(int x, int y, int button)
{
    gaBaseApp::mousePressed(x, y, button);
    m_lastX = x;
    m_lastY = y;
    if (m_cutMode)
        m_cutPending = true;
    const float reach = static_cast<float>(m_spacing / 2);
    const auto picked = std::find_if(m_nodes.begin(), m_nodes.end(), [&](const Node& node) {
        return !node.fixed && Distance(node, static_cast<float>(x), static_cast<float>(y)) < reach;
    });
    if (picked != m_nodes.end())
        m_dragged = static_cast<std::size_t>(picked - m_nodes.begin());
}

void gaCloth::mouseDragged(int x, int y, int /*button*/)
{
    // A drag that leaves the canvas still arrives: the node stops at its edge.
    x = std::clamp(x, 0, std::max(canvasWidth - 1, 0));
    y = std::clamp(y, 0, std::max(canvasHeight - 1, 0));
    if (m_dragged) {
        Node& node = m_nodes[*m_dragged];
        node.x = static_cast<float>(x);
        node.y = static_cast<float>(y);
        node.vx = static_cast<float>(x - m_lastX) * 0.5f;
        node.vy = static_cast<float>(y - m_lastY) * 0.5f;
    }
    m_lastX = x;
    m_lastY = y;
}

void gaCloth::mouseReleased(int /*x*/, int /*y*/, int /*button*/)
{
    if (!m_dragged)
        return;
    Node& node = m_nodes[*m_dragged];
    node.vx *= 0.5f;
    node.vy *= 0.5f;
    m_dragged.reset();
}
