#pragma once
// CStarWarsCtrl: credits lines rising into the distance over a star field.
// The lines are drawn flat into an off-screen picture, fading from white to
// black toward the top, and then copied row by row onto the frame, each row
// squeezed to a width proportional to its distance from the top edge (OR-ed
// onto the stars), which tilts the text into a trapezoid. The 100 stars move
// toward the viewer every frame and are projected with a perspective divide.
//
// The owner calls PreSubclassWindow once the control has its place and then
// adds the lines; star speed and scroll step may be written at any time. A
// 75 ms timer composes a frame; frames reuse their buffers, and each line is
// drawn once, when it is added.
#include "platform/surface.h"
#include "platform/timers.h"

#include <QFont>
#include <QString>
#include <QWidget>
#include <array>
#include <vector>

class CStarWarsCtrl : public QWidget
{
public:
    static constexpr int kTimerId = 1;
    static constexpr int kTimerMs = 75;
    static constexpr int kStarCount = 100;

    struct Star
    {
        int x, y, z;
    };

    explicit CStarWarsCtrl(QWidget* parent = nullptr);

    // Set-up: stars, text position, the scroll step calibrated by one timed
    // frame, the timer. An empty client area sets up nothing.
    void PreSubclassWindow();
    void AddLine(const QString& line);
    void ComposeFrame();

    // A star's depth after one frame: z - speed, wrapped into -255..255.
    static int MoveStar(int z, int speed);
    // A star's grey level: the low byte of 255 - z.
    static int StarGrey(int z);

    std::array<Star, kStarCount> m_stars{};
    int m_nStarSpeed = 30;
    int m_nScrollSpeed = 2;

    int TextPosition() const { return m_nTextPos; }
    const platform::Surface& Frame() const { return m_frame; }
    const QFont& Font() const { return m_font; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void DrawStars();
    void DrawCrawl();

    struct Line
    {
        platform::Surface mask; // the text in white on black
        int cx = 0;
        int cy = 0;
    };

    int m_nTextPos = 0;
    QFont m_font;
    std::vector<Line> m_lines;
    platform::Surface m_frame; // back buffer
    platform::Surface m_crawl; // the flat text of one frame
    platform::TimerSet m_timers;
};
