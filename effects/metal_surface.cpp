// clang-format off
#include <GL/glew.h> // before every other OpenGL header
// clang-format on
#include "effects/dib_section_lite.h"
#include "effects/geometry/obj_loader.h"
#include "effects/opengl_routine.h"


namespace {

constexpr unsigned kTextureName = 2; // a fixed name: the context holds no other texture
constexpr std::size_t kSilver = 1;
constexpr float kLensDistance = 21.0f;

} // namespace

CMetalSurface::~CMetalSurface()
{
    WithContext([this] { ReleaseScene(); });
}

void CMetalSurface::ReleaseScene()
{
    if (m_nTexture != 0)
        glDeleteTextures(1, &m_nTexture);
    m_nTexture = 0;
}

int CMetalSurface::InitScene()
{
    SetUpCamera();
    glClearColor(0.3f, 0.3f, 0.3f, 0.0f);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, m_lightColour.data());
    glLightfv(GL_LIGHT0, GL_SPECULAR, m_lightColour.data());
    glLightfv(GL_LIGHT0, GL_AMBIENT, m_ambient.data());
    m_texturePixels.assign(std::size_t{kSphereSize} * kSphereSize * 4, 0);
    m_nTexture = kTextureName;
    m_materials = {
        {{0.247f, 0.2f, 0.075f, 1.0f}, {0.752f, 0.606f, 0.226f, 1.0f}, {0.628f, 0.556f, 0.366f, 1.0f}, 51.2f},
        {{0.192f, 0.192f, 0.192f, 1.0f},
         {0.508f, 0.508f, 0.508f, 1.0f},
         {0.508f, 0.508f, 0.508f, 1.0f},
         51.2f},
        {{0.191f, 0.074f, 0.023f, 1.0f},
         {0.704f, 0.27f, 0.083f, 1.0f},
         {0.257f, 0.138f, 0.086f, 1.0f},
         12.8f},
    };
    return 0;
}

void CMetalSurface::LoadSphereMap(const CDIBSectionLite& picture)
{
    const std::uint32_t* pixels = picture.GetPixels();
    if (pixels == nullptr || picture.GetWidth() != kSphereSize || picture.GetHeight() != kSphereSize ||
        m_texturePixels.size() != std::size_t{kSphereSize} * kSphereSize * 4)
        return;
    // Bottom row first, as both the buffer and GL keep them; bytes red, green, blue, 255.
    std::uint8_t* out = m_texturePixels.data();
    for (std::size_t i = 0; i < std::size_t{kSphereSize} * kSphereSize; ++i, out += 4) {
        const std::uint32_t p = pixels[i];
        out[0] = static_cast<std::uint8_t>(p >> 16);
        out[1] = static_cast<std::uint8_t>(p >> 8);
        out[2] = static_cast<std::uint8_t>(p);
        out[3] = 255;
    }
    WithContext([this] {
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
        glBindTexture(GL_TEXTURE_2D, m_nTexture);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, kSphereSize, kSphereSize, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                     m_texturePixels.data());
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
        glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    });
}

void CMetalSurface::DrawScene()
{
    DrawFrame([this] {
        // The texture matrix turns the sphere map about its centre (by 0 degrees).
        glMatrixMode(GL_TEXTURE);
        glLoadIdentity();
        glTranslatef(0.5f, 0.5f, 0.0f);
        glRotatef(0.0f, 0.0f, 0.0f, 1.0f);
        glTranslatef(-0.5f, -0.5f, 0.0f);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glLightfv(GL_LIGHT0, GL_POSITION, m_lightPosition.data());
        // The lens faces +x in its file: turned towards the eye, well in front of it.
        glTranslatef(0.0f, 0.0f, -kLensDistance);
        glRotatef(-90.0f, 0.0f, 1.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        if (m_pMesh == nullptr || m_pMesh->FaceCount() == 0 || m_materials.size() <= kSilver)
            return;
        const Material& silver = m_materials[kSilver];
        glMaterialfv(GL_FRONT, GL_AMBIENT, silver.ambient.data());
        glMaterialfv(GL_FRONT, GL_DIFFUSE, silver.diffuse.data());
        glMaterialfv(GL_FRONT, GL_SPECULAR, silver.specular.data());
        glMaterialf(GL_FRONT, GL_SHININESS, silver.shininess);
        glBindTexture(GL_TEXTURE_2D, m_nTexture);
        glEnable(GL_TEXTURE_2D);
        glEnable(GL_TEXTURE_GEN_S);
        glEnable(GL_TEXTURE_GEN_T);
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_NORMAL_ARRAY);
        glVertexPointer(3, GL_FLOAT, 0, m_pMesh->positions.data());
        glNormalPointer(GL_FLOAT, 0, m_pMesh->normals.data());
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(m_pMesh->faces.size()), GL_UNSIGNED_INT,
                       m_pMesh->faces.data());
        glDisableClientState(GL_VERTEX_ARRAY);
        glDisableClientState(GL_NORMAL_ARRAY);
        glDisable(GL_TEXTURE_GEN_S);
        glDisable(GL_TEXTURE_GEN_T);
        glDisable(GL_TEXTURE_2D);
    });
}
