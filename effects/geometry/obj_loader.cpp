#include "effects/geometry/obj_loader.h"

#include "platform/crt.h"
#include "platform/run_time_files.h"

#include <array>
#include <charconv>
#include <cmath>
#include <iostream>
#include <limits>
#include <new>
#include <optional>
#include <sstream>
#include <string_view>

namespace {

// The whitespace-separated tokens of a line, one at a time.
class Tokens
{
public:
    explicit Tokens(std::string_view line) : m_rest(line) {}

    // The next token, or an empty view at the end of the line.
    std::string_view Next()
    {
        const auto begin = m_rest.find_first_not_of(" \t\r\v\f");
        if (begin == std::string_view::npos) {
            m_rest = {};
            return {};
        }
        m_rest.remove_prefix(begin);
        const auto end = std::min(m_rest.find_first_of(" \t\r\v\f"), m_rest.size());
        const std::string_view token = m_rest.substr(0, end);
        m_rest.remove_prefix(end);
        return token;
    }

private:
    std::string_view m_rest;
};

// The number a token starts with, whatever the locale; 0 when it starts with none.
float ParseFloat(std::string_view token)
{
    if (!token.empty() && token.front() == '+')
        token.remove_prefix(1);
    float value = 0.0f;
    const auto result = std::from_chars(token.data(), token.data() + token.size(), value);
    return result.ec == std::errc() ? value : 0.0f;
}

// The 0-based index of a reference when vertexCount vertices have been read so
// far (a negative reference counts back from them); nothing for 0 or a reference
// before the first vertex. Indices past the end are checked once all vertices are known.
std::optional<unsigned> ResolveReference(long long reference, unsigned vertexCount)
{
    if (reference == 0)
        return std::nullopt;
    const long long index = reference > 0 ? reference - 1 : static_cast<long long>(vertexCount) + reference;
    if (index < 0 || index > std::numeric_limits<unsigned>::max())
        return std::nullopt;
    return static_cast<unsigned>(index);
}

enum class LineKind
{
    Vertex,
    Face,
    Other,
};

LineKind Kind(std::string_view first)
{
    if (first == "v")
        return LineKind::Vertex;
    if (first == "f")
        return LineKind::Face;
    return LineKind::Other;
}

// Reads one face line (its keyword taken); false when the face must be skipped.
bool ReadFace(Tokens& tokens, unsigned vertexCount, std::array<unsigned, 3>& face)
{
    for (unsigned& index : face) {
        const std::string_view token = tokens.Next();
        if (token.empty())
            return false;
        // The leading integer, as atoi reads it ("7" of "7/2/5"; no digits give 0).
        const auto resolved = ResolveReference(crt::atoi(token), vertexCount);
        if (!resolved)
            return false;
        index = *resolved;
    }
    return true;
}

// Drops the faces that name a vertex past the end of the list; returns how many.
std::size_t DropOutOfRangeFaces(ObjMesh& mesh)
{
    const unsigned count = mesh.VertexCount();
    std::size_t kept = 0;
    for (std::size_t f = 0; f + 2 < mesh.faces.size(); f += 3) {
        if (mesh.faces[f] < count && mesh.faces[f + 1] < count && mesh.faces[f + 2] < count) {
            for (std::size_t k = 0; k < 3; ++k)
                mesh.faces[kept + k] = mesh.faces[f + k];
            kept += 3;
        }
    }
    const std::size_t dropped = (mesh.faces.size() - kept) / 3;
    mesh.faces.resize(kept);
    return dropped;
}

void ComputeNormals(ObjMesh& mesh)
{
    const std::vector<float>& p = mesh.positions;
    std::vector<float>& n = mesh.normals;
    n.assign(p.size(), 0.0f);
    for (std::size_t f = 0; f < mesh.faces.size(); f += 3) {
        const std::size_t a = 3 * std::size_t{mesh.faces[f]};
        const std::size_t b = 3 * std::size_t{mesh.faces[f + 1]};
        const std::size_t c = 3 * std::size_t{mesh.faces[f + 2]};
        const float ux = p[b] - p[a], uy = p[b + 1] - p[a + 1], uz = p[b + 2] - p[a + 2];
        const float vx = p[c] - p[a], vy = p[c + 1] - p[a + 1], vz = p[c + 2] - p[a + 2];
        // Not normalised: the face's weight is its area.
        const float nx = uy * vz - uz * vy, ny = uz * vx - ux * vz, nz = ux * vy - uy * vx;
        for (const std::size_t v : {a, b, c}) {
            n[v] += nx;
            n[v + 1] += ny;
            n[v + 2] += nz;
        }
    }
    for (std::size_t v = 0; v < n.size(); v += 3) {
        const float length = std::sqrt(n[v] * n[v] + n[v + 1] * n[v + 1] + n[v + 2] * n[v + 2]);
        if (length != 0.0f) {
            n[v] /= length;
            n[v + 1] /= length;
            n[v + 2] /= length;
        }
    }
}

} // namespace

bool ReadObjModel(std::istream& stream, const std::string& name, ObjMesh& mesh)
{
    // First pass: count, so the arrays are allocated once.
    std::size_t vertexLines = 0, faceLines = 0;
    std::string line;
    while (std::getline(stream, line)) {
        Tokens tokens(line);
        switch (Kind(tokens.Next())) {
        case LineKind::Vertex:
            ++vertexLines;
            break;
        case LineKind::Face:
            ++faceLines;
            break;
        case LineKind::Other:
            break;
        }
    }

    ObjMesh result;
    try {
        result.positions.reserve(vertexLines * 3);
        result.faces.reserve(faceLines * 3);
    } catch (const std::bad_alloc&) {
        mesh = ObjMesh();
        return false;
    }

    // Second pass: fill.
    stream.clear();
    stream.seekg(0);
    std::size_t badFaces = 0;
    while (std::getline(stream, line)) {
        Tokens tokens(line);
        switch (Kind(tokens.Next())) {
        case LineKind::Vertex:
            for (int k = 0; k < 3; ++k)
                result.positions.push_back(ParseFloat(tokens.Next()));
            break;
        case LineKind::Face: {
            std::array<unsigned, 3> face{};
            if (ReadFace(tokens, result.VertexCount(), face))
                result.faces.insert(result.faces.end(), face.begin(), face.end());
            else
                ++badFaces;
            break;
        }
        case LineKind::Other:
            break;
        }
    }
    if (stream.bad())
        std::cerr << "Warning: Can't read OBJ file: " << name << '\n';

    badFaces += DropOutOfRangeFaces(result);
    if (badFaces > 0)
        std::cerr << "Warning: " << badFaces << " faces with bad vertex indices skipped in OBJ file: " << name
                  << '\n';
    ComputeNormals(result);
    mesh = std::move(result);
    return true;
}

bool LoadObjModel(const std::string& fileName, ObjMesh& mesh)
{
    const platform::FileRead file =
        platform::ReadRunTimeFile(QString::fromStdString(fileName), platform::FileKind::Model);
    if (!file.Ok()) {
        std::cerr << "Error: Can't open OBJ file: " << fileName << '\n';
        return false;
    }
    std::istringstream stream(file.bytes.toStdString());
    return ReadObjModel(stream, fileName, mesh);
}
