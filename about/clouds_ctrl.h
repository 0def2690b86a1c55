#pragma once
// CCloudsCtrl: a sky of drifting clouds with a credits text rising across it.
// Three seamless 256 x 256 cloud maps (midpoint displacement on a torus) are
// stretched to the control's size and scrolled at related speeds; their
// average, looked up in a blue-to-white palette, is the sky. The text is
// drawn once, black on white, and laid over each frame so that its strokes
// show white (destination OR NOT source). With steering on, the mouse's last
// move sets the drift.
//
// The owner sets the text (and the steering) and calls PreSubclassWindow once
// the control has its place; a 50 ms timer composes a frame from then on. A
// frame reuses its buffers.
#include "platform/surface.h"
#include "platform/timers.h"

#include <QString>
#include <QWidget>
#include <array>
#include <cstdint>
#include <vector>

class CCloudsCtrl : public QWidget
{
public:
    static constexpr int kTimerId = 1;
    static constexpr int kTimerMs = 50;
    static constexpr int kMapSize = 256;

    explicit CCloudsCtrl(QWidget* parent = nullptr);

    // Set-up: layers, text picture, palette, first frame and the timer. An empty
    // client area sets up nothing.
    void PreSubclassWindow();
    // One frame: offsets moved, sky drawn, text laid over, text raised.
    void ComposeFrame();

    // One 256 x 256 map (row-major, M[y][x] at y * 256 + x) from crt::rand.
    static void GenerateMap(std::vector<int>& map, int roughness);
    // The map sampled to a w x h layer; the map's first index follows the column.
    static void SampleMap(const std::vector<int>& map, int w, int h, std::vector<int>& layer);

    QString m_strText;
    int m_bSteering = 0;

    struct Offsets
    {
        int x1, y1, x2, y2, x3, y3;
        bool operator==(const Offsets&) const = default;
    };
    Offsets GetOffsets() const { return {m_x1, m_y1, m_x2, m_y2, m_x3, m_y3}; }
    int DriftX() const { return m_dx; }
    int DriftY() const { return m_dy; }
    int TextPosition() const { return m_nTextPos; }
    const platform::Surface& Frame() const { return m_frame; }
    const std::vector<int>& Layer(int i) const { return m_layers[static_cast<std::size_t>(i)]; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void RenderText();
    void UpdateOffsets();

    platform::Surface m_text; // black text on white, the client's size
    int m_nTextPos = 0;
    platform::Surface m_frame;
    std::array<std::vector<int>, 3> m_layers;
    int m_x1 = 0, m_y1 = 0, m_x2 = 0, m_y2 = 0, m_x3 = 0, m_y3 = 0;
    int m_dx = 2, m_dy = 1;
    int m_defaultDx = 2, m_defaultDy = 1;
    int m_lastX = 0, m_lastY = 0;
    std::array<std::uint32_t, 256> m_palette{}; // grey level to sky pixel
    int m_nRoughness = 8;
    int m_nSteerSpeed = 2;
    int m_nWidth = 0;
    int m_nHeight = 0;
    std::vector<int> m_map;              // work map of the generator
    platform::TimerSet m_timers;
};
