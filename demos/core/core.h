#pragma once
// The 2D application core of the demos: one drawing state per app (gaxCore),
// reached with the frame's painter through process-wide pointers, so that the
// drawing calls are free functions without a context argument.
//
// Contract:
// - Colours are 32-bit ARGB (alpha in bits 24-31, then red, green, blue).
// - Every call reads the state that currentCore points to and does nothing
//   without one. Drawing goes to currentGraphics, which is set only while the
//   DEMO dialog runs a frame; outside a frame the drawing calls draw nothing and
//   the transform calls change only the state's records.
// - Shapes are drawn without antialiasing; circles and ellipses fill integer
//   boxes (values truncated toward zero), text is placed by the top-left corner
//   of its first line.
// - Two transform mechanisms: the translate/scale stack (gaPushMatrix ...
//   gaPopMatrix) changes the painter's world transform at once; the matrix stack
//   (gaPushTransform ... gaRestoreTransform) changes only gaxCore::matrix, which
//   the ...Transformed calls put on the painter and leave there for the calls
//   that follow in the same frame.
// - Everything runs on the user-interface thread.
#include <QTransform>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class QPainter;

// One level of the translate/scale stack.
struct gaOffset
{
    float x = 0.0f;
    float y = 0.0f;
    float scale = 1.0f;
};

inline constexpr int kSavedMatrixCount = 64;

// The drawing state of one app.
struct gaxCore
{
    bool running = true;            // update and draw run only while set
    QPainter* graphics = nullptr;   // the frame's painter, during a frame
    bool autoBackground = true;     // fill the canvas with backgroundColor before draw
    std::uint32_t backgroundColor = 0xFF000000;
    float frameRate = 0.0f;         // what the demo asks for; the frame loop keeps 32 ms
    std::int64_t frameNum = 0;      // the dialog's frame counter after the last frame
    int drawFromCenter = 0;         // images and textures centred on their point
    std::uint32_t drawColor = 0xFF7F7F7F;
    float lineWidth = 1.0f;         // in world units
    gaOffset offset;                // the current level of the translate/scale stack
    std::vector<gaOffset> offsetStack;
    QTransform matrix;              // the current matrix of the matrix calls
    std::vector<QTransform> matrixStack;                       // gaPushTransform / gaPopTransform
    std::array<QTransform, kSavedMatrixCount> savedMatrices{}; // gaSaveTransform / gaRestoreTransform
    int savedTop = -1;              // the last used slot; -1 none
};

// Process-wide values (user-interface thread only).
extern gaxCore* currentCore;      // the state of the app being run
extern QPainter* currentGraphics; // the frame's painter; null outside a frame
extern int canvasWidth;           // the canvas client size in pixels
extern int canvasHeight;

// --- setters ----------------------------------------------------------------------
void gaSetColor(std::uint32_t argb);
void gaSetBackgroundColor(std::uint32_t argb);
void gaSetBackgroundAuto(bool on);
void gaSetFrameRate(float rate);
void gaSetLineWidth(float width);
void gaSetDrawFromCenter(int on);

// --- drawing ----------------------------------------------------------------------
// Filled rectangle of drawColor at (x, y), w by h.
void gaDrawRectangle(float x, float y, float w, float h);
// Filled ellipse in the box (int(x - r), int(y - r), int(r + r), int(r + r)).
void gaDrawCircle(float x, float y, float r);
// Filled ellipse in the box (int(x - w / 2), int(y - h / 2), int(w), int(h)).
void gaDrawEllipse(float x, float y, float w, float h);
// Line with a pen of drawColor and lineWidth, flat ends.
void gaDrawLine(float x1, float y1, float x2, float y2);
// UTF-8 text (at most 255 UTF-16 units), "Times New Roman" 10 points, its
// first line's top-left corner at (x, y); line breaks start new lines.
void gaDrawString(const std::string& text, float x, float y);
// The same three after the painter's world transform became gaxCore::matrix.
void gaDrawEllipseTransformed(float x, float y, float w, float h);
void gaDrawLineTransformed(float x1, float y1, float x2, float y2);
void gaDrawRectangleTransformed(float x, float y, float w, float h);

// --- translate/scale stack ----------------------------------------------------------
// Saves the current level and starts a new one at (0, 0, 1).
void gaPushMatrix();
// The current level's x and y become (x, y); the world transform becomes a pure
// translation by the sum over all levels (scale and rotation dropped).
void gaTranslate(float x, float y);
// The current level's scale becomes s; the world transform is scaled (acting
// first) by the product of the saved levels' scales and s.
void gaScale(float s);
// The current level becomes the sums and product of the saved levels (taken
// before the top one goes); the world transform that translation and scale.
// An empty stack resets the level and the world transform.
void gaPopMatrix();

// --- matrix stack (gaxCore::matrix only) -----------------------------------------------
void gaPushTransform();
void gaTranslateTransform(float x, float y); // acts in the current local space
void gaRotateTransform(float radians);       // clockwise on screen for positive angles
// The current matrix becomes the top of the stack (identity when it is empty).
void gaPopTransform();
// 64 slots: a save beyond the 64th and a restore with nothing saved do nothing.
void gaSaveTransform();
void gaRestoreTransform();

// --- time, random numbers, text ---------------------------------------------------------
// Seconds since the first call in the process, in whole milliseconds (0 first).
float gaGetElapsedTime();
// A number from min(a, b) up to just below max(a, b), from crt::rand().
float gaRandom(float a, float b);
std::string gaToString(int value);

// --- frame-rate readout -------------------------------------------------------------------
// Frames per second from the interval since the previous call: 1000 divided by
// the interval in milliseconds (counted in whole microseconds), truncated. One
// previous reading serves the whole process (the overlays of several demos share
// it); it is 0 before the first call, whose interval therefore runs from the
// clock's epoch and gives 0. An interval shorter than a microsecond, or a clock
// that went back, gives 0.
int measuredFrameRate();
// The clock measuredFrameRate reads: the system time in 100-ns ticks. Setting
// one (null: the system clock again) also forgets the previous reading.
using gaTickClock = std::int64_t (*)();
void gaSetTickClock(gaTickClock clock);

// --- colours and vectors ------------------------------------------------------------------

// The four components as floats holding the byte values (0 to 255).
struct gaFloatColor
{
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    float a = 0.0f;
};

struct gaColor
{
    unsigned char r = 0;
    unsigned char g = 0;
    unsigned char b = 0;
    unsigned char a = 0;

    // Hue, saturation, brightness and alpha on a 0 to 255 scale. A hue outside
    // 0 to 255 leaves red, green and blue as they were.
    void setHsb(float hue, float saturation, float brightness, float alpha);
    gaFloatColor toFloats() const { return {float(r), float(g), float(b), float(a)}; }
    // As a drawing colour (ARGB).
    std::uint32_t argb() const { return std::uint32_t(a) << 24 | std::uint32_t(r) << 16 | std::uint32_t(g) << 8 | b; }
};

struct gaVec2f
{
    float x = 0.0f;
    float y = 0.0f;

    float length() const;
    // Divides by the length when it is above 0; a zero vector stays.
    void normalize();
    gaVec2f& operator+=(const gaVec2f& v) { x += v.x; y += v.y; return *this; }
    gaVec2f& operator-=(const gaVec2f& v) { x -= v.x; y -= v.y; return *this; }
    gaVec2f& operator*=(float s) { x *= s; y *= s; return *this; }
    friend gaVec2f operator+(gaVec2f a, const gaVec2f& b) { return a += b; }
    friend gaVec2f operator-(gaVec2f a, const gaVec2f& b) { return a -= b; }
    friend gaVec2f operator*(gaVec2f a, float s) { return a *= s; }
};

struct gaVec3f
{
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;

    float length() const;
    void normalize();
    gaVec3f& operator+=(const gaVec3f& v) { x += v.x; y += v.y; z += v.z; return *this; }
    gaVec3f& operator-=(const gaVec3f& v) { x -= v.x; y -= v.y; z -= v.z; return *this; }
    gaVec3f& operator*=(float s) { x *= s; y *= s; z *= s; return *this; }
    friend gaVec3f operator+(gaVec3f a, const gaVec3f& b) { return a += b; }
    friend gaVec3f operator-(gaVec3f a, const gaVec3f& b) { return a -= b; }
    friend gaVec3f operator*(gaVec3f a, float s) { return a *= s; }
};
