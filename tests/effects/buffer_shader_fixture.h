#pragma once
// Helpers of the buffer-pass and cube-map renderer tests: the texels of a float
// buffer texture, a program folder of the test's own, and a desktop double that
// lets a test act while a message box is "open".
#include "effects/multi_pass_renderer.h"
#include "platform/desktop.h"
#include "platform/gl.h"
#include "tests/effects/shader_gl_fixture.h"

#include <QImage>
#include <QTemporaryDir>
#include <array>
#include <functional>
#include <memory>
#include <string>

namespace lmd::test {

// Texel (x, y) of a 2D float texture (RGBA) of the context (made current, then released).
std::array<float, 4> ReadTexel(platform::GlContext& context, unsigned texture, int x, int y);

// A renderer probe that also reads its float textures and shows its buffer
// passes (each accessor only for renderers that have that pass).
template <class Renderer> class PassProbe : public Probe<Renderer>
{
public:
    const BufferPass& BufferA() const { return this->m_bufferA; }
    const BufferPass& BufferB() const { return this->m_bufferB; }
    const BufferPass& BufferC() const { return this->m_bufferC; }
    const BufferPass& BufferD() const { return this->m_bufferD; }
    std::array<float, 4> Texel(unsigned texture, int x = 0, int y = 0)
    {
        return ReadTexel(this->m_context, texture, x, y);
    }
};

// A program folder of its own for one test (platform::paths::ExeDir() points at
// it) with "shaders/shader_common.vert" copied from the real one; the real
// folder comes back at the end.
class ProgramFolder
{
public:
    ProgramFolder();
    ~ProgramFolder();
    ProgramFolder(const ProgramFolder&) = delete;
    ProgramFolder& operator=(const ProgramFolder&) = delete;

    // Writes a text file or a picture at a path relative to the folder.
    void Write(const QString& relativePath, const std::string& text) const;
    void Save(const QString& relativePath, const QImage& picture) const;
    void Remove(const QString& relativePath) const;

private:
    QTemporaryDir m_dir;
};

// A picture of one colour.
QImage SolidPicture(int width, int height, QColor colour);

// A desktop double whose message box runs a callback (as the events of a modal
// box's loop would) and records the texts; Alt as a test sets it.
class ModalDesktop final : public platform::DesktopActions
{
public:
    std::function<void()> whileOpen;
    std::vector<QString> texts;
    bool altDown = false;

    void PlaySystemSound(const QString&) override {}
    bool OpenWithAssociatedProgram(const QString&) override { return true; }
    bool LockWorkstation() override { return true; }
    int MessageBox(QWidget*, const QString& text, const QString&, unsigned) override;
    QString PicturesFolder() override { return {}; }
    QPoint CursorPos() override { return {}; }
    bool IsKeyDown(platform::Key key) override { return key == platform::Key::Alt && altDown; }
};

// Installs a ModalDesktop for the life of the object.
class ScopedModalDesktop
{
public:
    ScopedModalDesktop();
    ~ScopedModalDesktop();
    ScopedModalDesktop(const ScopedModalDesktop&) = delete;
    ScopedModalDesktop& operator=(const ScopedModalDesktop&) = delete;
    ModalDesktop* operator->() const { return m_desktop; }

private:
    ModalDesktop* m_desktop;
    std::unique_ptr<platform::DesktopActions> m_previous;
};

} // namespace lmd::test
