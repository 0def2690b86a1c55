// The OBJ loader: the lines it reads, the faces it keeps or skips, normals
// weighted by face area, its messages, the generated lens model, and thousands
// of mangled files that must never read or write out of bounds.
#include "effects/geometry/obj_loader.h"
#include "tests/effects/geometry/cerr_capture.h"
#include "tests/support/hostile_files.h"

#include <QTemporaryDir>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string_view>

namespace {

using lmd::test::CerrCapture;

ObjMesh Read(const std::string& text)
{
    std::istringstream in(text);
    ObjMesh mesh;
    EXPECT_TRUE(ReadObjModel(in, "test.obj", mesh));
    return mesh;
}

std::array<float, 3> Normal(const ObjMesh& mesh, unsigned v)
{
    return {mesh.normals[3 * v], mesh.normals[3 * v + 1], mesh.normals[3 * v + 2]};
}

void ExpectNormal(const ObjMesh& mesh, unsigned v, std::array<float, 3> expected)
{
    const auto n = Normal(mesh, v);
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(n[i], expected[i], 1e-6f) << "vertex " << v << " component " << i;
}

const std::string kTriangle = "v 0 0 0\nv 1 0 0\nv 0 1 0\n";

} // namespace

TEST(ObjLoaderTest, FacesFromTheirFirstThreeReferences)
{
    struct Case
    {
        const char* name;
        std::string text;
        std::vector<unsigned> faces;
        bool warns;
    };
    const Case cases[] = {
        {"plain", kTriangle + "f 1 2 3\n", {0, 1, 2}, false},
        {"texture and normal references", kTriangle + "f 1/1/1 2/2/2 3/3/3\n", {0, 1, 2}, false},
        {"normal reference only", kTriangle + "f 1//4 2//5 3//6\n", {0, 1, 2}, false},
        {"polygon keeps its first triangle", kTriangle + "v 1 1 0\nf 1 2 3 4\n", {0, 1, 2}, false},
        {"relative references", kTriangle + "f -3 -2 -1\n", {0, 1, 2}, false},
        {"relative to the vertices read so far",
         kTriangle + "f -3 -2 -1\nv 5 5 5\nf -1 -2 -3\n",
         {0, 1, 2, 3, 2, 1},
         false},
        {"CR LF and tabs", "v 0 0 0\r\nv\t1 0 0\r\nv 0 1 0 1\r\nf\t1 2\t3\r\n", {0, 1, 2}, false},
        {"other lines ignored",
         "# lens\no part\nvn 0 0 1\nvt 0 1\ng x\nusemtl m\n\n" + kTriangle + "vf 1 2 3\nf 3 1 2\n",
         {2, 0, 1},
         false},
        {"index 0", kTriangle + "f 0 1 2\nf 1 2 3\n", {0, 1, 2}, true},
        {"past the last vertex", kTriangle + "f 1 2 4\nf 1 2 3\n", {0, 1, 2}, true},
        {"far past it", kTriangle + "f 1 2 99999999999999999999\n", {}, true},
        {"relative before the first vertex", kTriangle + "f -4 -2 -1\n", {}, true},
        {"relative with no vertex yet", "f -1 -1 -1\n" + kTriangle, {}, true},
        {"two references", kTriangle + "f 1 2\n", {}, true},
        {"no references", kTriangle + "f\n", {}, true},
        {"not a number", kTriangle + "f a b c\n", {}, true},
        {"forward reference", "f 1 2 3\n" + kTriangle, {0, 1, 2}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CerrCapture messages;
        const ObjMesh mesh = Read(c.text);
        EXPECT_EQ(mesh.faces, c.faces);
        EXPECT_EQ(mesh.normals.size(), mesh.positions.size());
        const bool warned =
            messages.Text().find("faces with bad vertex indices skipped in OBJ file: test.obj") !=
            std::string::npos;
        EXPECT_EQ(warned, c.warns) << messages.Text();
    }
}

TEST(ObjLoaderTest, VerticesFromTheirFirstThreeNumbers)
{
    const ObjMesh mesh = Read("v 1.5 -2 3e2 7\nv +4 .5\nv 1,5 2 3\n");
    ASSERT_EQ(mesh.VertexCount(), 3u);
    const std::vector<float> expected = {1.5f, -2.0f, 300.0f, 4.0f, 0.5f, 0.0f, 1.0f, 2.0f, 3.0f};
    EXPECT_EQ(mesh.positions, expected);
}

TEST(ObjLoaderTest, NormalsAreAreaWeightedAndUnit)
{
    // One triangle: every vertex has the face's normal.
    const ObjMesh triangle = Read(kTriangle + "v 5 5 5\nf 1 2 3\n");
    ASSERT_EQ(triangle.VertexCount(), 4u);
    ASSERT_EQ(triangle.FaceCount(), 1u);
    for (unsigned v = 0; v < 3; ++v)
        ExpectNormal(triangle, v, {0, 0, 1});
    ExpectNormal(triangle, 3, {0, 0, 0}); // used by no face

    // Vertex 1 is shared by a face of area 2 facing +z and one of area 0.5
    // facing +y: its normal leans four to one towards +z.
    const ObjMesh pair = Read("v 0 0 0\nv 2 0 0\nv 0 2 0\nv 0 0 1\nv 1 0 0\nf 1 2 3\nf 1 4 5\n");
    const float k = 1.0f / std::sqrt(17.0f);
    ExpectNormal(pair, 0, {0, k, 4 * k});
    ExpectNormal(pair, 1, {0, 0, 1});
    ExpectNormal(pair, 3, {0, 1, 0});
}

TEST(ObjLoaderTest, FilesAndTheirMessages)
{
    QTemporaryDir dir;
    const std::string path = dir.filePath("model.obj").toStdString();
    std::ofstream(path) << kTriangle << "f 1 2 3\n";

    CerrCapture messages;
    ObjMesh mesh;
    ASSERT_TRUE(LoadObjModel(path, mesh));
    EXPECT_EQ(mesh.FaceCount(), 1u);
    EXPECT_EQ(messages.Text(), "");

    // A missing file: false, a message, and the mesh as it was.
    const std::string missing = dir.filePath("missing.obj").toStdString();
    EXPECT_FALSE(LoadObjModel(missing, mesh));
    EXPECT_EQ(messages.Text(), "Error: Can't open OBJ file: " + missing + "\n");
    EXPECT_EQ(mesh.FaceCount(), 1u);
    EXPECT_EQ(mesh.VertexCount(), 3u);

    // What is no model file fails at once the same way.
    const std::string hostile = dir.filePath("hostile.obj").toStdString();
    for (const lmd::test::HostileCase& c : lmd::test::kHostileFiles) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(lmd::test::PlaceHostileFile(QString::fromStdString(hostile), c.kind, platform::FileKind::Model,
                                                QByteArray::fromStdString(kTriangle + "f 1 3 2\nf 1 2 3\n")));
        messages.Clear();
        EXPECT_FALSE(LoadObjModel(hostile, mesh));
        EXPECT_EQ(messages.Text(), "Error: Can't open OBJ file: " + hostile + "\n");
        EXPECT_EQ(mesh.FaceCount(), 1u);
    }
}

namespace {

// A stream buffer that serves its text and then fails, as a device does on a read error.
class FailingBuffer : public std::streambuf
{
public:
    explicit FailingBuffer(std::string text) : m_text(std::move(text)) { Reset(); }

protected:
    int_type underflow() override { throw std::runtime_error("read error"); }
    pos_type seekpos(pos_type pos, std::ios_base::openmode) override
    {
        if (pos != 0)
            return pos_type(off_type(-1));
        Reset();
        return pos;
    }
    pos_type seekoff(off_type off, std::ios_base::seekdir dir, std::ios_base::openmode which) override
    {
        return dir == std::ios_base::beg ? seekpos(off, which) : pos_type(off_type(-1));
    }

private:
    void Reset() { setg(m_text.data(), m_text.data(), m_text.data() + m_text.size()); }
    std::string m_text;
};

} // namespace

TEST(ObjLoaderTest, ReadErrorKeepsWhatWasRead)
{
    FailingBuffer buffer(kTriangle + "f 1 2 3\nv 9 9");
    std::istream in(&buffer);
    CerrCapture messages;
    ObjMesh mesh;
    ASSERT_TRUE(ReadObjModel(in, "broken.obj", mesh));
    EXPECT_EQ(messages.Text(), "Warning: Can't read OBJ file: broken.obj\n");
    EXPECT_EQ(mesh.FaceCount(), 1u);
    EXPECT_GE(mesh.VertexCount(), 3u);
}

TEST(ObjLoaderTest, GeneratedLensModelIsClosedAndWoundOutwards)
{
    // The model lies in assets/ beside the test program, as beside the clock.
    const std::string path =
        (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "assets/lens.obj").string();
    CerrCapture messages;
    ObjMesh lens;
    ASSERT_TRUE(LoadObjModel(path, lens));
    EXPECT_EQ(messages.Text(), "");
    ASSERT_GT(lens.FaceCount(), 1000u);

    // Closed and wound one way: every edge a -> b of a triangle is the edge
    // b -> a of exactly one other.
    std::map<std::pair<unsigned, unsigned>, int> edges;
    for (std::size_t f = 0; f < lens.faces.size(); f += 3)
        for (std::size_t k = 0; k < 3; ++k)
            ++edges[{lens.faces[f + k], lens.faces[f + (k + 1) % 3]}];
    for (const auto& [edge, count] : edges) {
        ASSERT_EQ(count, 1);
        ASSERT_EQ(edges.count({edge.second, edge.first}), 1u);
    }
    // Wound counter-clockwise from outside: the signed volume is positive.
    double volume = 0.0;
    for (std::size_t f = 0; f < lens.faces.size(); f += 3) {
        const float* a = &lens.positions[3 * lens.faces[f]];
        const float* b = &lens.positions[3 * lens.faces[f + 1]];
        const float* c = &lens.positions[3 * lens.faces[f + 2]];
        volume += (a[0] * (b[1] * c[2] - b[2] * c[1]) + a[1] * (b[2] * c[0] - b[0] * c[2]) +
                   a[2] * (b[0] * c[1] - b[1] * c[0])) /
                  6.0;
    }
    EXPECT_GT(volume, 0.0);
    // Every vertex lies on a face: its normal has unit length.
    float radius = 0.0f;
    for (unsigned v = 0; v < lens.VertexCount(); ++v) {
        const auto n = Normal(lens, v);
        EXPECT_NEAR(std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]), 1.0f, 1e-4f) << v;
        radius = std::max(radius, std::hypot(lens.positions[3 * v + 1], lens.positions[3 * v + 2]));
    }
    // It faces +x and fills most of the view from 21 units away (half-height 8.7).
    EXPECT_GT(radius, 6.5f);
    EXPECT_LT(radius, 8.7f);
}

namespace {

using namespace std::string_view_literals;

// Pieces the mutations insert: references of every kind, keywords, numbers at
// and beyond the limits, separators and line ends.
constexpr std::string_view kPieces[] = {
    " 0"sv,          " -1"sv,
    " 1"sv,          " -2147483648"sv,
    " 4294967296"sv, " 99999999999999999999"sv,
    "/"sv,           "//"sv,
    "\nf "sv,        "\nv "sv,
    "\n"sv,          "\r"sv,
    " nan"sv,        " inf"sv,
    " 1e39"sv,       " -0"sv,
    "f"sv,           "v"sv,
    " "sv,           "#"sv,
    "\0"sv,          "\t"sv,
    "-"sv,           "+"sv,
    "3/3/3"sv,       " 2147483647"sv,
    "."sv,           "e"sv,
    "vn"sv,          "\nf -1 -2 -3"sv,
};

const std::string kSeeds[] = {
    kTriangle + "f 1 2 3\n",
    "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 0 0 1\nf 1 2 3 4\nf -1 -2 -3\nf 1/1/1 2//2 5/5\n",
    "# cube\nv -1 -1 -1\nv 1 -1 -1\nv 1 1 -1\nv -1 1 -1\nv -1 -1 1\nv 1 -1 1\nv 1 1 1\nv -1 1 1\n"
    "vn 0 0 1\nf 1 2 3\nf 1 3 4\nf 5 6 7\nf 5 7 8\nf 1 5 8\nf 1 8 4\n",
};

std::string Mutate(std::string text, std::mt19937& rng)
{
    const auto pick = [&rng](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n)(rng); };
    const std::size_t count = 1 + pick(7);
    for (std::size_t m = 0; m < count; ++m) {
        const std::size_t at = pick(text.size());
        switch (pick(4)) {
        case 0: // insert a piece
            text.insert(at, kPieces[pick(std::size(kPieces) - 1)]);
            break;
        case 1: // overwrite a byte with any byte
            if (at < text.size())
                text[at] = static_cast<char>(pick(255));
            break;
        case 2: // delete a run
            text.erase(at, pick(12));
            break;
        case 3: // repeat a run
            text.insert(at, text.substr(pick(text.size()), pick(40)));
            break;
        default: // cut the end off
            text.resize(at);
            break;
        }
    }
    return text;
}

} // namespace

TEST(ObjLoaderTest, MangledFilesStayInBounds)
{
    std::mt19937 rng(20240517u);
    CerrCapture messages; // thousands of warnings
    std::size_t withFaces = 0;
    for (int iteration = 0; iteration < 20000; ++iteration) {
        const std::string text = Mutate(kSeeds[iteration % std::size(kSeeds)], rng);
        std::istringstream in(text);
        ObjMesh mesh;
        ASSERT_TRUE(ReadObjModel(in, "fuzz.obj", mesh));
        ASSERT_EQ(mesh.positions.size() % 3, 0u);
        ASSERT_EQ(mesh.normals.size(), mesh.positions.size());
        ASSERT_EQ(mesh.faces.size() % 3, 0u);
        for (const unsigned index : mesh.faces)
            ASSERT_LT(index, mesh.VertexCount()) << "input:\n" << text;
        withFaces += mesh.FaceCount() > 0;
        messages.Clear();
    }
    // The mutations leave many models usable, so the normal pass runs too.
    EXPECT_GT(withFaces, 1000u);
}
