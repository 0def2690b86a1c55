#pragma once
// COpenGLRoutine: a small fixed-function OpenGL scene laid over the layer's
// source, with the scenes C3DTriForce, CAngel, C3DCylinder and the lens
// CMetalSurface. Placeholders until the OpenGL routines land: they make no
// context and draw nothing.
#include "platform/surface.h"

struct ObjMesh;
class CDIBSectionLite;

class COpenGLRoutine
{
public:
    virtual ~COpenGLRoutine() = default;

    // 0, or the system error when no GL context could be made.
    int Create(const platform::Surface*, int, int) { return 0; }
    // One frame of the scene over source into target.
    void Render(platform::Surface&, const platform::Surface&) {}
};

class C3DTriForce : public COpenGLRoutine
{
};

class CAngel : public COpenGLRoutine
{
};

class C3DCylinder : public COpenGLRoutine
{
};

class CMetalSurface : public COpenGLRoutine
{
public:
    // The lens model (not owned); null draws only the background.
    void SetMesh(const ObjMesh*) {}
    // Uploads the 256 x 256 sphere-map picture as the scene's texture.
    void LoadSphereMap(const CDIBSectionLite&) {}
    void DrawScene() {}
    // The scene's picture.
    const platform::Surface& Picture() const { return m_picture; }

private:
    platform::Surface m_picture;
};
