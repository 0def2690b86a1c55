// The models of the about dialog's refraction page, laid into assets/ beside
// the executable. Both are made of closed, smoothly rounded pieces (super-
// quadrics: an exponent of 1 gives an ellipsoid, smaller ones flatten it
// towards a box or a cylinder), each wound counter-clockwise seen from
// outside, so the normals the loader derives point outwards. Both span about
// -40 to 40 units, the size the page's camera frames:
//   - "stanford_bunny.obj": a sitting rabbit facing +x: body, head, two long
//     ears laid back, cheeks, front paws, hind legs and a round tail;
//   - "LexusLFA.obj": a low two-seat sports car along x: a long flat body, a
//     glass-house set back, a rear wing and four wheels.
#include "tools/assetgen/assetgen.h"

#include <array>
#include <charconv>
#include <cmath>
#include <string>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Point
{
    double x, y, z;
};

// A superquadric piece: centre, half sizes, exponents across latitude
// (squareness from pole to pole) and longitude (squareness around), and a
// turn about the z axis (radians) applied before moving it to the centre.
struct Piece
{
    Point centre;
    Point half;
    double latitudeExponent;
    double longitudeExponent;
    double tiltZ = 0.0;
    bool axisAlongZ = false; // the poles on z (a wheel's axle) instead of y
};

double SignedPower(double value, double exponent)
{
    return std::copysign(std::pow(std::abs(value), exponent), value);
}

class Mesh
{
public:
    void Add(const Piece& piece, int latitudes, int longitudes)
    {
        const int first = static_cast<int>(m_points.size());
        for (int i = 0; i <= latitudes; ++i) {
            const double eta = -kPi / 2 + kPi * i / latitudes;
            for (int j = 0; j < longitudes; ++j) {
                const double omega = 2 * kPi * j / longitudes;
                const double ring = SignedPower(std::cos(eta), piece.latitudeExponent);
                Point p{piece.half.x * ring * SignedPower(std::cos(omega), piece.longitudeExponent),
                        piece.half.y * SignedPower(std::sin(eta), piece.latitudeExponent),
                        piece.half.z * ring * SignedPower(std::sin(omega), piece.longitudeExponent)};
                if (piece.axisAlongZ)
                    p = {p.x, p.z, p.y};
                const double c = std::cos(piece.tiltZ), s = std::sin(piece.tiltZ);
                m_points.push_back({piece.centre.x + c * p.x - s * p.y, piece.centre.y + s * p.x + c * p.y,
                                    piece.centre.z + p.z});
            }
        }
        const auto at = [&](int i, int j) { return first + i * longitudes + (j % longitudes); };
        for (int i = 0; i < latitudes; ++i) {
            for (int j = 0; j < longitudes; ++j) {
                Triangle(at(i, j), at(i + 1, j), at(i + 1, j + 1), piece.centre);
                Triangle(at(i, j), at(i + 1, j + 1), at(i, j + 1), piece.centre);
            }
        }
    }

    std::string Obj(const char* title) const
    {
        std::string obj = std::string("# ") + title + '\n';
        // Numbers with a point whatever the locale.
        char number[32];
        for (const Point& p : m_points) {
            obj += 'v';
            for (const double value : {p.x, p.y, p.z}) {
                obj += ' ';
                obj.append(
                    number,
                    std::to_chars(number, number + sizeof number, value, std::chars_format::fixed, 4).ptr);
            }
            obj += '\n';
        }
        for (const auto& t : m_triangles)
            obj += "f " + std::to_string(t[0] + 1) + ' ' + std::to_string(t[1] + 1) + ' ' +
                   std::to_string(t[2] + 1) + '\n';
        return obj;
    }

private:
    // A triangle wound to face away from the piece's centre; one that
    // collapsed to a line or a point (at a pole) is left out.
    void Triangle(int a, int b, int c, Point centre)
    {
        const Point& p = m_points[static_cast<std::size_t>(a)];
        const Point& q = m_points[static_cast<std::size_t>(b)];
        const Point& r = m_points[static_cast<std::size_t>(c)];
        const Point u{q.x - p.x, q.y - p.y, q.z - p.z};
        const Point v{r.x - p.x, r.y - p.y, r.z - p.z};
        const Point n{u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x};
        const double area = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
        if (area < 1e-9)
            return;
        const Point out{(p.x + q.x + r.x) / 3 - centre.x, (p.y + q.y + r.y) / 3 - centre.y,
                        (p.z + q.z + r.z) / 3 - centre.z};
        if (n.x * out.x + n.y * out.y + n.z * out.z >= 0)
            m_triangles.push_back({a, b, c});
        else
            m_triangles.push_back({a, c, b});
    }

    std::vector<Point> m_points;
    std::vector<std::array<int, 3>> m_triangles;
};

std::string Rabbit()
{
    Mesh mesh;
    mesh.Add({{-8, -12, 0}, {24, 20, 19}, 0.9, 1.0}, 32, 48); // body, sitting
    mesh.Add({{14, 12, 0}, {13, 12, 11}, 0.95, 1.0}, 28, 40); // head
    mesh.Add({{20, 7, 0}, {8, 6, 9}, 1.0, 1.0}, 16, 24);      // cheeks and muzzle
    mesh.Add({{26, 9, 0}, {2, 2, 2.5}, 1.0, 1.0}, 8, 12);     // nose
    for (const double side : {-1.0, 1.0}) {
        mesh.Add({{6, 32, 5 * side}, {5, 15, 2.5}, 1.0, 1.0, 0.45}, 24, 24); // ears, laid back
        mesh.Add({{12, -28, 9 * side}, {6, 4, 4}, 1.0, 1.0}, 12, 16);        // front paws
        mesh.Add({{-14, -26, 14 * side}, {16, 6, 7}, 0.8, 1.0}, 16, 24);     // hind legs
        mesh.Add({{20, 16, 6 * side}, {2, 2, 1.5}, 1.0, 1.0}, 8, 12);        // eyes
    }
    mesh.Add({{-32, -8, 0}, {6, 6, 6}, 1.0, 1.0}, 12, 16); // tail
    return mesh.Obj("Lumidial rabbit: a sitting rabbit facing +x, about 80 units tall");
}

std::string SportsCar()
{
    Mesh mesh;
    mesh.Add({{0, -2, 0}, {40, 7, 17}, 0.35, 0.3}, 24, 64); // body
    mesh.Add({{-3, 7, 0}, {15, 7, 13}, 0.6, 0.5}, 20, 48);  // glass-house
    mesh.Add({{-36, 9, 0}, {4, 1, 15}, 0.3, 0.3}, 8, 24);   // rear wing
    for (const double side : {-1.0, 1.0}) {
        mesh.Add({{-34, 4, 11 * side}, {1.2, 5, 1.2}, 1.0, 1.0}, 8, 12); // wing posts
        for (const double x : {-24.0, 25.0})
            mesh.Add({{x, -8, 15 * side}, {8, 3.5, 8}, 0.25, 1.0, 0.0, true}, 12, 40); // wheels
    }
    return mesh.Obj("Lumidial sports car: a low two-seater along x, about 80 units long");
}

} // namespace

LMD_ASSET_GENERATOR(room_models)
{
    for (const auto& [name, obj] :
         {std::pair{"assets/stanford_bunny.obj", Rabbit()}, std::pair{"assets/LexusLFA.obj", SportsCar()}})
        out.DataFile(QString::fromLatin1(name), QByteArray(obj.data(), static_cast<qsizetype>(obj.size())));
}
