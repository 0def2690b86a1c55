#pragma once
// What the shader pages draw with, loaded into the GL context current on the
// calling thread: GLSL programs built from a vertex and a fragment file, 2D
// textures from picture files, and the uniforms the pages feed.
//
// A load either replaces the caller's object or leaves it exactly as it was:
// the old program or texture is deleted only once its successor exists, so a
// failed load keeps the page drawing what it drew.
//
// GL names are plain unsigned ints (GLuint), so this header needs no GL header.
#include <QString>
#include <string>

namespace about {

// The shader of the stage (GL_VERTEX_SHADER or GL_FRAGMENT_SHADER) compiled
// from the source, or 0 when it does not compile (its info log goes to the
// standard error stream).
unsigned CompileGlslStage(unsigned stage, const std::string& source);

// The vertex attributes a program is linked with: "position" at location 0,
// and "texcoord" at location 1 for the pages that feed texture coordinates.
enum class QuadAttributes
{
    Position,
    PositionAndTexcoord,
};

// Reads both files (a missing, special or empty file counts as empty),
// compiles the two stages and links them with the attributes bound. True when
// program was replaced (its previous program deleted); otherwise everything
// made on the way is deleted and program keeps its value.
bool LoadProgram(unsigned& program, const std::string& vertexPath, const std::string& fragmentPath,
                 QuadAttributes attributes);

// The largest side the upload takes: pictures beyond it are scaled down.
int MaxTextureSide();

// Loads the picture file into a new 2D texture (RGBA, linear filters; the
// picture's top row is row 0 of the texture). Any picture format becomes 32-bit
// pixels in packed rows, scaled down (keeping its proportions) when a side
// exceeds MaxTextureSide(), so the upload reads exactly the pixels it names.
// True when texture was replaced (the previous texture deleted); false, with
// texture unchanged, when the file is missing, not a regular file or not a
// picture.
bool LoadTexture(unsigned& texture, const QString& path);

// Deletes the program or texture when the name is not 0, and zeroes it.
void DeleteProgram(unsigned& program);
void DeleteTexture(unsigned& texture);

// The declared type of the program's active uniform of that name (GL_FLOAT,
// GL_FLOAT_VEC2 ...), or 0 when the program has no such active uniform.
unsigned ActiveUniformType(unsigned program, const char* name);

// The uniforms of a program the pages feed, looked up once per program: the
// locations (-1 when the program has none) and the number of components
// "iResolution" is declared with (2 or 3; 0 for none or another type).
struct ShaderUniforms
{
    int time = -1;
    int resolution = -1;
    int resolutionComponents = 0;
    int mouse = -1;
    int channel0 = -1;

    static ShaderUniforms Of(unsigned program);
};

// Sets "iResolution" of the program in use as declared: a vec2 gets (width,
// height), a vec3 (width, height, 1.0); any other declaration is left alone.
void SetResolution(const ShaderUniforms& uniforms, int width, int height);

} // namespace about
