#pragma once
// CSpectralCtrl: a model that refracts and reflects a room, inside that room.
// The room is a box of half size 250 drawn with the "replace" program from a
// strip of the six "room3" pictures; the model (an OBJ file from the assets
// folder, else a torus) is drawn 200 units in front of the eye with the
// "refract" program, which looks the bent and mirrored directions up in a cube
// map of the same pictures, turned with the room. A left-drag turns the model,
// a right-drag the room and what the model shows of it, the wheel scales the
// model (CTrackballCtrl). Paints on demand only.
//
// It needs OpenGL 2.1: with an older version, or when GLEW fails, it shows one
// message (caption "ggInit") and stays empty.
#include "about/room_box.h"
#include "about/trackball_ctrl.h"
#include "effects/geometry/obj_loader.h"

#include <QByteArray>

namespace about {

// Whether an OpenGL version string ("4.5 (Compatibility Profile) Mesa ...")
// starts with a version of 2.1 or later; its leading number is read the same
// in every locale. A null or unreadable string is too old.
bool SupportsGl21(const char* version);

} // namespace about

class CSpectralCtrl : public CTrackballCtrl
{
public:
    static constexpr int kFaceSide = 256;
    static constexpr float kSkyHalf = 250.0f;
    static const QString kOldGlMessage;   // "OpenGL Version 2.1 以降に..."
    static const QString kGlewMessage;    // "GLEW の初期化に失敗しました"
    static const QString kMessageCaption; // "ggInit"

    explicit CSpectralCtrl(QWidget* parent = nullptr);
    ~CSpectralCtrl() override;

    // The model file in the assets folder; set before the control is first shown.
    void SetModelName(const QByteArray& name) { m_modelName = name; }
    const QByteArray& ModelName() const { return m_modelName; }

    // The process-wide zoom factor of the model (1.0 at program start; apart
    // from the teapot's).
    static double ZoomFactor();

    // Set when the scene was set up; the control draws only then.
    bool IsReady() const { return m_bReady; }
    // The model as loaded (empty: the torus is drawn).
    const ObjMesh& Model() const { return m_model; }

protected:
    void SetUpGL() override;
    void PaintGL() override;
    void ResizeGL(int width, int height) override;
    void FreeGL() override;

private:
    bool CheckGl();
    void LoadModel();
    void DrawModel() const;

    QByteArray m_modelName = "stanford_bunny.obj";
    bool m_bReady = false;
    ObjMesh m_model;
    const about::RoomBox m_sky;
    unsigned m_strip = 0;
    unsigned m_cubeMap = 0;
    unsigned m_replaceProgram = 0;
    unsigned m_refractProgram = 0;
    int m_textureLocation = -1;
    int m_cubeMapLocation = -1;
    // The model in buffer objects, uploaded once: positions, normals, indices.
    unsigned m_positionBuffer = 0;
    unsigned m_normalBuffer = 0;
    unsigned m_indexBuffer = 0;
};
