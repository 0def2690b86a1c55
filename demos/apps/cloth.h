#pragma once
// gaCloth: a mass-spring cloth hanging from its top row. One explicit step per
// frame: spring forces, then gravity, damping and motion of every free node.
// A press picks the nearest free node to drag (a drag out of the canvas holds
// it at the canvas's edge); in cut mode a press also removes the springs near
// it. 'x' toggles cut mode, 'r' rebuilds the cloth.
#include "demos/core/base_app.h"

#include <cstddef>
#include <optional>
#include <vector>

class gaCloth : public gaBaseApp
{
public:
    struct Node
    {
        float x = 0.0f;
        float y = 0.0f;
        float vx = 0.0f;
        float vy = 0.0f;
        float fx = 0.0f;
        float fy = 0.0f;
        bool fixed = false;
    };

    // Two nodes by their index in nodes().
    struct Spring
    {
        std::size_t a = 0;
        std::size_t b = 0;
        float rest = 0.0f;
        float stiffness = 0.0f;
    };

    void setup() override;
    void update() override;
    void draw() override;
    void keyPressed(int key) override;
    void mousePressed(int x, int y, int button) override;
    void mouseDragged(int x, int y, int button) override;
    void mouseReleased(int x, int y, int button) override;

    // Column by column, each top to bottom: node (i, j) is nodes()[i * rows() + j].
    const std::vector<Node>& nodes() const { return m_nodes; }
    const std::vector<Spring>& springs() const { return m_springs; }
    int columns() const { return m_columns; }
    int rows() const { return m_rows; }
    bool cutMode() const { return m_cutMode; }
    std::optional<std::size_t> draggedNode() const { return m_dragged; }

private:
    void buildCloth();
    void applySpringForces();
    void moveFreeNodes();
    void cutSprings();

    std::vector<Node> m_nodes;
    std::vector<Spring> m_springs;
    int m_spacing = 20;
    int m_columns = 0;
    int m_rows = 0;
    float m_stiffness = 0.28f;
    float m_damping = 0.95f;
    float m_gravityX = 0.0f;
    float m_gravityY = 0.1f;
    bool m_cutMode = false;
    bool m_cutPending = false;
    std::optional<std::size_t> m_dragged;
    int m_lastX = 0;
    int m_lastY = 0;
};
