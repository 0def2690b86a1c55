#pragma once
// The Wavefront OBJ loader of the OpenGL scenes: vertex ("v") and face ("f")
// lines only, with vertex normals computed from the faces. Messages go to the
// standard error stream.
#include <istream>
#include <string>
#include <vector>

struct ObjMesh
{
    std::vector<float> positions; // x, y, z per vertex
    std::vector<float> normals;   // unit normal per vertex; (0, 0, 0) for a vertex of no face
    std::vector<unsigned> faces;  // three 0-based vertex indices per triangle, all valid

    unsigned VertexCount() const { return static_cast<unsigned>(positions.size() / 3); }
    unsigned FaceCount() const { return static_cast<unsigned>(faces.size() / 3); }
};

// Reads an OBJ file into mesh (replacing its content). A "v" line gives a vertex
// from its first three numbers (missing ones read as 0); an "f" line gives a
// triangle of its first three vertex references (the first number of each
// token, so "7", "7/2" and "7//3" all name vertex 7; later tokens are ignored).
// References count from 1; negative ones count back from the last vertex read
// so far (-1 is the latest). A face with fewer than three references, a
// reference of 0 or one outside the vertex list is skipped with a warning.
// Each vertex normal is the normalised sum of the unnormalised normals of its
// faces, so larger faces weigh more.
//
// A file that cannot be opened gives false with a message and leaves mesh as it
// was; a read error part way gives a warning and the part read so far.
bool LoadObjModel(const std::string& fileName, ObjMesh& mesh);

// The same from a seekable stream (read twice: once to count, once to fill);
// name only appears in messages.
bool ReadObjModel(std::istream& stream, const std::string& name, ObjMesh& mesh);
