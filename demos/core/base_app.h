#pragma once
// gaBaseApp: the base of every demo app. It owns the app's drawing state
// (gaxCore) and offers the hooks the DEMO dialog calls on the user-interface
// thread: setup once after construction, update and draw every frame, and the
// mouse and key input of the canvas.
//
// Constructing an app makes its state the current one (currentCore). The host
// makes an app current again (MakeCurrent) before it calls any of its hooks, so
// an app only ever draws with its own state; destroying an app whose state is
// current leaves no current state.
#include "demos/core/core.h"

#include <memory>

// Mouse buttons of the mouse hooks.
enum gaMouseButton : int
{
    GA_BUTTON_LEFT = 0,
    GA_BUTTON_RIGHT = 2,
};

class gaBaseApp
{
public:
    gaBaseApp();
    virtual ~gaBaseApp();
    gaBaseApp(const gaBaseApp&) = delete;
    gaBaseApp& operator=(const gaBaseApp&) = delete;

    virtual void setup() {}
    virtual void update() {}
    // Fills the canvas with the background colour when auto-background is on.
    virtual void draw();
    virtual void keyPressed(int /*key*/) {}
    virtual void mouseMoved(int /*x*/, int /*y*/) {}
    virtual void mouseDragged(int /*x*/, int /*y*/, int /*button*/) {}
    // Stores the position in mouseX and mouseY.
    virtual void mousePressed(int x, int y, int button);
    virtual void mouseReleased(int /*x*/, int /*y*/, int /*button*/) {}
    // The host never calls it; an app may call it on itself.
    virtual void windowResized(int /*width*/, int /*height*/) {}

    gaxCore& core() const { return *m_core; }
    // Makes this app's state the current one.
    void MakeCurrent() const { currentCore = m_core.get(); }

    int mouseX = 0; // where a mouse button was last pressed
    int mouseY = 0;

private:
    const std::unique_ptr<gaxCore> m_core;
};

// One frame of an app: from construction to destruction the app's state is the
// current one and the painter is its graphics (currentGraphics and
// gaxCore::graphics), also when the frame leaves by an exception.
class gaFrameScope
{
public:
    gaFrameScope(const gaBaseApp& app, QPainter& painter);
    ~gaFrameScope();
    gaFrameScope(const gaFrameScope&) = delete;
    gaFrameScope& operator=(const gaFrameScope&) = delete;

private:
    gaxCore& m_core;
};
