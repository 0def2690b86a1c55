#pragma once
// CGLCtrl: the base of the about dialog's OpenGL controls. A QOpenGLWidget
// with a compatibility-profile context (OpenGL 2.1 or later asked for),
// double-buffered RGBA with a depth buffer; GLEW is initialised once in that
// context before SetUpGL runs.
//
// A derived control implements the hooks; each runs with the control's context
// current:
//   SetUpGL()          once the context exists (again after Qt made a new one)
//   PaintGL()          each paint, into the widget's framebuffer, which is bound
//                      (bind defaultFramebufferObject() again after using another)
//   ResizeGL(w, h)     after SetUpGL and on every size change, in device pixels
//   FreeGL()           before the context goes: delete every GL object made since
//                      SetUpGL
// The base cannot reach FreeGL from its own destructor (the derived part is gone
// by then), so a control whose FreeGL frees anything calls ReleaseGL() in its
// destructor. ReleaseGL also runs when Qt is about to drop the context (the
// widget moving to another window); it does nothing when nothing is set up.
//
// A file that makes GL calls includes <GL/glew.h> before this header (GLEW must
// come before every other OpenGL header, and QOpenGLWidget pulls one in).
#include <QOpenGLWidget>
#include <string>

class CGLCtrl : public QOpenGLWidget
{
public:
    explicit CGLCtrl(QWidget* parent = nullptr);
    ~CGLCtrl() override;

    // Whether GLEW initialised in this control's context (after the first
    // SetUpGL), and GLEW's error text when it did not.
    bool GlewReady() const { return m_glewReady; }
    const std::string& GlewError() const { return m_glewError; }

protected:
    virtual void SetUpGL() = 0;
    virtual void PaintGL() = 0;
    virtual void ResizeGL(int width, int height);
    virtual void FreeGL();

    // Makes the context current, runs FreeGL and releases the context; once per
    // SetUpGL.
    void ReleaseGL();

private:
    void initializeGL() final;
    void paintGL() final;
    void resizeGL(int width, int height) final;

    bool m_glSetUp = false;
    bool m_glewReady = false;
    std::string m_glewError;
};
