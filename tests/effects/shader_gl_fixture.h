#pragma once
// Helpers of the shader renderer tests: a stand-in main window that records the
// posted error texts, shader and texture files written beside the test program
// for one test, and access to a renderer's GL state.
#include "effects/shader_renderer.h"
#include "platform/surface.h"

#include <QObject>
#include <QString>
#include <string>
#include <vector>

namespace lmd::test {

// Registered as the main window for its lifetime; keeps the text of every
// WM_SHOW_ERROR delivered to it.
class ErrorSink : public QObject
{
public:
    ErrorSink();
    ~ErrorSink() override;
    // Delivers what has been posted so far and returns all texts received.
    const std::vector<std::string>& Errors();

protected:
    bool event(QEvent* event) override;

private:
    std::vector<std::string> m_errors;
};

// Files written under the test program's folder (e.g. "shaders/t_pass.frag")
// and removed again at the end of the test.
class DataFiles
{
public:
    DataFiles() = default;
    ~DataFiles();
    DataFiles(const DataFiles&) = delete;
    DataFiles& operator=(const DataFiles&) = delete;

    void Write(const QString& relativePath, const std::string& text);
    // Saves an image (format by extension) and returns its full path.
    QString Save(const QString& relativePath, const QImage& image);

private:
    std::vector<QString> m_paths;
};

// A fragment shader in the style of the effect shaders: GLSL 1.20 with the
// texture coordinate of shader_common.vert; body is the rest of the file.
std::string FragmentShader(const std::string& body);

// The renderer's own GL error flag (made current, then released).
template <class Renderer> class Probe : public Renderer
{
public:
    unsigned GlError();
    unsigned Program() const { return this->m_program; }
    unsigned FileTexture() const { return this->m_fileTexture; }
};
unsigned CurrentGlError(platform::GlContext& context);
template <class Renderer> unsigned Probe<Renderer>::GlError()
{
    return CurrentGlError(this->m_context);
}

// A surface whose every pixel differs from its neighbours: red from x, green
// from y, blue from both.
platform::Surface PatternSurface(int width, int height);

// Colour channels of a stored pixel.
struct Rgb8
{
    int r, g, b;
};
Rgb8 Channels(std::uint32_t pixel);

} // namespace lmd::test
