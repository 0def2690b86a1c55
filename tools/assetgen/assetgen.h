#pragma once
// The build-time artwork generator. Each asset group lives in its own file
// (tools/assetgen/<group>.cpp) and registers one function with
// LMD_ASSET_GENERATOR; the function draws its pictures and hands them to an
// Output, which places them:
//   - embedded resources (bitmaps, icons, cursors, other data), compiled into
//     lmd_resources and loaded through platform/resources.h by name or number;
//   - run-time data files beside the executable (assets/, _misc/).
// Everything must be deterministic: the same program draws the same bytes.
#include <QByteArray>
#include <QImage>
#include <QPoint>
#include <QString>
#include <vector>

namespace assetgen {

class Output
{
public:
    Output(QString resourceDir, QString dataDir);

    // A bitmap resource ("SPLASH", "150"): stored as PNG, loaded with platform::LoadBitmap.
    void Bitmap(const QString& name, const QImage& picture);
    // An icon resource: one picture per size (16, 32, 48 ...), loaded with platform::LoadIcon.
    void Icon(const QString& name, const std::vector<QImage>& sizes);
    // A cursor resource with its hot spot, loaded with platform::LoadCursor.
    void Cursor(const QString& name, const QImage& picture, QPoint hotSpot);
    // Any other embedded data of a kind ("menu", "text" ...), loaded with platform::LoadResource.
    void Resource(const QString& kind, const QString& name, const QByteArray& bytes);

    // A run-time data file at a path relative to the executable's folder, e.g.
    // "assets/snow.png" or "_misc/noise.bin".
    void DataFile(const QString& path, const QByteArray& bytes);
    // A picture data file; the format comes from the extension (png, bmp, jpg).
    void DataImage(const QString& path, const QImage& picture);

    // Reports a generator failure; the run then ends with a non-zero status.
    void Fail(const QString& message);

    // Writes the resource list (lmd_resources.qrc) naming every embedded file.
    // Returns false when anything failed.
    bool Finish();

private:
    void Embed(const QString& alias, const QString& file, const QByteArray& bytes);
    void Write(const QString& path, const QByteArray& bytes);

    QString resourceDir_;
    QString dataDir_;
    std::vector<std::pair<QString, QString>> embedded_; // alias, file relative to resourceDir_
    bool ok_ = true;
};

using Generator = void (*)(Output&);

// Adds a generator to the table at static-initialisation time. Generators run
// in the order of their group names.
struct Registration
{
    Registration(const char* group, Generator generate);
};

// Runs every registered generator into the two folders; returns the exit status.
int RunAll(const QString& resourceDir, const QString& dataDir);

// PNG bytes of a picture, without time stamps, so reruns give identical files.
QByteArray EncodePng(const QImage& picture);

} // namespace assetgen

// In a group file: LMD_ASSET_GENERATOR(splash) { out.Bitmap("SPLASH", ...); }
#define LMD_ASSET_GENERATOR(group)                                                                           \
    static void Generate_##group(assetgen::Output& out);                                                     \
    static const assetgen::Registration registration_##group(#group, &Generate_##group);                     \
    static void Generate_##group(assetgen::Output& out)
