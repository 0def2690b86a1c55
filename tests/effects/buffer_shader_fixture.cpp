// clang-format off
#include <GL/glew.h> // before every other OpenGL header
// clang-format on
#include "tests/effects/buffer_shader_fixture.h"

#include "platform/paths.h"

#include <QDir>
#include <QFile>
#include <cassert>
#include <vector>

namespace lmd::test {

std::array<float, 4> ReadTexel(platform::GlContext& context, unsigned texture, int x, int y)
{
    const platform::GlCurrent current(context);
    std::array<float, 4> texel{-1, -1, -1, -1};
    if (!current || !texture)
        return texel;
    glBindTexture(GL_TEXTURE_2D, texture);
    GLint width = 0, height = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    std::vector<float> all(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_FLOAT, all.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    const auto at =
        (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)) * 4;
    for (std::size_t i = 0; i < 4; ++i)
        texel[i] = all[at + i];
    return texel;
}

ProgramFolder::ProgramFolder()
{
    const QString common = platform::paths::InExeDir(QStringLiteral("shaders/shader_common.vert"));
    QDir(m_dir.path()).mkpath(QStringLiteral("shaders"));
    QDir(m_dir.path()).mkpath(QStringLiteral("_misc"));
    QDir(m_dir.path()).mkpath(QStringLiteral("assets"));
    const bool copied = QFile::copy(common, m_dir.filePath(QStringLiteral("shaders/shader_common.vert")));
    assert(copied);
    (void)copied;
    platform::paths::SetExeDirOverride(m_dir.path());
}

ProgramFolder::~ProgramFolder()
{
    platform::paths::SetExeDirOverride(QString());
}

void ProgramFolder::Write(const QString& relativePath, const std::string& text) const
{
    QFile file(m_dir.filePath(relativePath));
    const bool opened = file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    assert(opened);
    (void)opened;
    file.write(text.data(), static_cast<qint64>(text.size()));
}

void ProgramFolder::Save(const QString& relativePath, const QImage& picture) const
{
    const bool saved = picture.save(m_dir.filePath(relativePath));
    assert(saved);
    (void)saved;
}

void ProgramFolder::Remove(const QString& relativePath) const
{
    QFile::remove(m_dir.filePath(relativePath));
}

QImage SolidPicture(int width, int height, QColor colour)
{
    QImage picture(width, height, QImage::Format_RGB888);
    picture.fill(colour);
    return picture;
}

int ModalDesktop::MessageBox(QWidget*, const QString& text, const QString&, unsigned)
{
    texts.push_back(text);
    if (whileOpen)
        whileOpen();
    return platform::IDOK;
}

ScopedModalDesktop::ScopedModalDesktop()
{
    auto desktop = std::make_unique<ModalDesktop>();
    m_desktop = desktop.get();
    m_previous = platform::SetDesktopActions(std::move(desktop));
}

ScopedModalDesktop::~ScopedModalDesktop()
{
    platform::SetDesktopActions(std::move(m_previous));
}

} // namespace lmd::test
