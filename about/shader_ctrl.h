#pragma once
// CShaderCtrl: the common part of the about dialog's shader demos. Each runs a
// full-screen fragment shader in the Shadertoy convention on its own OpenGL
// context: a quad covering the control, drawn with the uniforms "iTime" (seconds,
// advanced by 0.016 on every tick of a 16 ms timer, not by the clock),
// "iResolution" (the client size, as the shader declares it: vec2, or vec3 with
// 1.0 last) and, when the control has a texture, "iChannel0" on unit 0.
//
// The owner calls PreSubclassWindow once the control has its place: the time
// starts at 0 and the timer runs from then on (without it the control never
// animates). The GL part sets itself up when the control is first shown:
// shaders from the "shaders" folder beside the executable and textures from the
// "assets" folder. What fails is told in a message box (platform/desktop.h) and
// the control keeps running with what it had; after a failed GLEW start it has
// no timer and draws nothing.
//
// The demos that can be clicked write "Click to change shader" over the picture
// in a 12-pixel monospaced bitmap font, with its raster position 200 pixels
// below the top edge (so a control lower than 200 pixels shows no text).
#include "about/gl_ctrl.h"
#include "about/shader_gl.h"
#include "platform/timers.h"

#include <QString>

class CShaderCtrl : public CGLCtrl
{
public:
    static constexpr int kTimerId = 1;
    static constexpr int kTimerMs = 16;
    static constexpr float kTimeStep = 0.016f;
    static constexpr int kFontLists = 256;
    static constexpr int kTextRaise = 200; // the text's raster position: height - 200
    static constexpr const char* kClickText = "Click to change shader";

    // The files of one state: vertex and fragment shader in "shaders", and a
    // texture in "assets" (null for none).
    struct ShaderSet
    {
        const char* vertex;
        const char* fragment;
        const char* texture;
    };

    ~CShaderCtrl() override;

    // Starts the time at 0 and the 16 ms timer.
    void PreSubclassWindow();

    float Time() const { return m_fTime; }
    unsigned Program() const { return m_program; }
    unsigned Texture() const { return m_texture; }
    const ShaderSet& CurrentSet() const { return m_set; }
    bool FontReady() const { return m_bFontReady != 0; }
    unsigned FontListBase() const { return m_nFontBase; }

protected:
    // What a demo feeds its shaders with.
    struct Features
    {
        about::QuadAttributes attributes; // Position: an orb's bare quad
        bool clickText;                   // the overlay text and its font
    };
    CShaderCtrl(const ShaderSet& first, Features features, QWidget* parent);

    // Replaces the program with one of the two files of the shaders folder;
    // true when it was replaced (the old one stays otherwise).
    bool LoadProgram(const char* vertexFile, const char* fragmentFile);
    // Replaces the texture with the file of the assets folder; true when it was replaced.
    bool LoadTexture(const char* fileName);
    // A click's switch: loads the set's program and texture (saying what failed)
    // and draws the next frame with them.
    void SwitchTo(const ShaderSet& set);

    // Sets the uniforms of the program in use; a demo with uniforms of its own
    // adds them after the common ones.
    virtual void FeedUniforms();
    const about::ShaderUniforms& Uniforms() const { return m_uniforms; }

    // Says what went wrong in a message box, once the current event is handled
    // (set-up runs inside a paint, which a modal box must not re-enter).
    void Report(const QString& text);

    bool event(QEvent* event) override;
    void SetUpGL() override;
    void PaintGL() override;
    void FreeGL() override;

private:
    void Initialise();
    void MakeFontLists();
    void DrawQuad() const;
    void DrawClickText() const;
    std::string ShaderPath(const char* file) const;

    const Features m_features;
    ShaderSet m_set; // the state loaded at set-up and by the last click
    float m_fTime = 0;
    unsigned m_program = 0;
    unsigned m_texture = 0;
    about::ShaderUniforms m_uniforms;
    unsigned m_nFontBase = 0;
    unsigned char m_bFontReady = 0;
    bool m_bGlReady = false; // the context is set up with GLEW
    platform::TimerSet m_timers{this};
};
