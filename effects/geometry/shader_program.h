#pragma once
// Building a GLSL program from shader files, for the OpenGL code that draws with
// its own shaders. Messages (missing files, compile and link logs) go to the
// standard error stream. A GL context must be current. GL names are plain
// unsigned ints (GLuint), so this header needs no GL header.
#include <string>

// Compiles the vertex shader file and, when fragmentFile is not null, the
// fragment shader file, and links them. Returns the program, or 0 on any failure
// (nothing is left behind).
unsigned BuildShaderProgram(const char* vertexFile, const char* fragmentFile);

// Hands the content of the file to the shader object as its source. Returns
// true when the file could not be read (with a message); false on success.
bool ReadShaderSource(unsigned shader, const std::string& fileName);

// Writes "Compile Error in <file>" when the shader did not compile, and the
// shader's info log when it has one. Returns whether it compiled.
bool PrintShaderInfoLog(unsigned shader, const std::string& fileName);
