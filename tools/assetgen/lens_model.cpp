// The lens model of the metal-lens effect, "assets/lens.obj": a lens in a
// rounded ring, as a closed surface of revolution about the x axis, its domed
// face towards +x (the effect turns +x towards the eye). The profile runs from
// the front pole over the dome, the ring and the edge to the back pole; it is
// swept around the axis in equal steps. Triangles wind counter-clockwise seen
// from outside, so the normals the loader derives point outwards.
#include "tools/assetgen/assetgen.h"

#include <charconv>
#include <cmath>
#include <string>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kSegments = 72; // steps around the axis
constexpr double kDomeRadius = 6.4;
constexpr double kDomeHeight = 1.6; // above the ring's base plane
constexpr double kRingCentre = 7.1; // distance of the ring's tube from the axis
constexpr double kRingTube = 0.7;
constexpr double kBase = 0.7;       // half the thickness at the edge
constexpr double kBackHeight = 0.8; // depth of the back's shallow dome

struct ProfilePoint
{
    double r, x;
};

// Height above the rim of a spherical cap of the given rim radius and centre height.
double Sag(double r, double rimRadius, double height)
{
    const double sphere = (rimRadius * rimRadius + height * height) / (2.0 * height);
    return std::sqrt(sphere * sphere - r * r) - (sphere - height);
}

std::vector<ProfilePoint> Profile()
{
    std::vector<ProfilePoint> profile;
    constexpr int kDomeSteps = 16;
    for (int i = 0; i <= kDomeSteps; ++i) {
        const double r = kDomeRadius * i / kDomeSteps;
        profile.push_back({r, kBase + Sag(r, kDomeRadius, kDomeHeight)});
    }
    // The ring: half a tube from its inner side over the top to its outer side.
    constexpr int kRingSteps = 12;
    for (int i = 1; i <= kRingSteps; ++i) {
        const double angle = kPi * (1.0 - static_cast<double>(i) / kRingSteps);
        profile.push_back({kRingCentre + kRingTube * std::cos(angle), kBase + kRingTube * std::sin(angle)});
    }
    const double edge = kRingCentre + kRingTube;
    constexpr int kEdgeSteps = 4;
    for (int i = 1; i <= kEdgeSteps; ++i)
        profile.push_back({edge, kBase - 2.0 * kBase * i / kEdgeSteps});
    constexpr int kBackSteps = 16;
    for (int i = 1; i <= kBackSteps; ++i) {
        const double r = edge * (1.0 - static_cast<double>(i) / kBackSteps);
        profile.push_back({r, -kBase - Sag(r, edge, kBackHeight)});
    }
    return profile;
}

// Five decimals, with a point whatever the locale.
void AppendVertex(std::string& obj, double x, double y, double z)
{
    obj += 'v';
    for (const double value : {x, y, z}) {
        char number[32];
        const auto end =
            std::to_chars(number, number + sizeof number, value, std::chars_format::fixed, 5).ptr;
        obj += ' ';
        obj.append(number, end);
    }
    obj += '\n';
}

void AppendFace(std::string& obj, int a, int b, int c)
{
    obj += "f " + std::to_string(a) + ' ' + std::to_string(b) + ' ' + std::to_string(c) + '\n';
}

std::string LensObj()
{
    const std::vector<ProfilePoint> profile = Profile();
    const int rings = static_cast<int>(profile.size()) - 2; // between the two poles
    std::string obj = "# Lumidial lens: a domed lens in a rounded ring, facing +x\n";

    // Vertex numbers (1-based): front pole, rings of kSegments, back pole.
    AppendVertex(obj, profile.front().x, 0.0, 0.0);
    for (int i = 1; i <= rings; ++i) {
        for (int j = 0; j < kSegments; ++j) {
            const double angle = 2.0 * kPi * j / kSegments;
            AppendVertex(obj, profile[i].x, profile[i].r * std::cos(angle), profile[i].r * std::sin(angle));
        }
    }
    AppendVertex(obj, profile.back().x, 0.0, 0.0);
    const int frontPole = 1;
    const int backPole = 2 + rings * kSegments;
    const auto at = [](int ring, int segment) { return 2 + (ring - 1) * kSegments + segment % kSegments; };

    // Along the profile, then around: (profile step) x (turn) points outwards.
    for (int j = 0; j < kSegments; ++j)
        AppendFace(obj, frontPole, at(1, j), at(1, j + 1));
    for (int i = 1; i < rings; ++i) {
        for (int j = 0; j < kSegments; ++j) {
            AppendFace(obj, at(i, j), at(i + 1, j), at(i + 1, j + 1));
            AppendFace(obj, at(i, j), at(i + 1, j + 1), at(i, j + 1));
        }
    }
    for (int j = 0; j < kSegments; ++j)
        AppendFace(obj, at(rings, j), backPole, at(rings, j + 1));
    return obj;
}

} // namespace

LMD_ASSET_GENERATOR(lens_model)
{
    const std::string obj = LensObj();
    out.DataFile("assets/lens.obj", QByteArray(obj.data(), static_cast<qsizetype>(obj.size())));
}
