#include "demos/core/base_app.h"

#include <QPainter>

gaBaseApp::gaBaseApp() : m_core(std::make_unique<gaxCore>())
{
    MakeCurrent();
}

gaBaseApp::~gaBaseApp()
{
    m_core->running = true;
    if (currentCore == m_core.get())
        currentCore = nullptr;
}

void gaBaseApp::draw()
{
    const gaxCore& state = core();
    if (state.autoBackground && state.graphics)
        state.graphics->fillRect(QRect(0, 0, canvasWidth, canvasHeight), QColor::fromRgba(state.backgroundColor));
}

void gaBaseApp::mousePressed(int x, int y, int /*button*/)
{
    mouseX = x;
    mouseY = y;
}

gaFrameScope::gaFrameScope(const gaBaseApp& app, QPainter& painter) : m_core(app.core())
{
    app.MakeCurrent();
    currentGraphics = &painter;
    m_core.graphics = &painter;
}

gaFrameScope::~gaFrameScope()
{
    currentGraphics = nullptr;
    m_core.graphics = nullptr;
}
