#pragma once
// The GLEW side of GlContext (gl.cpp), called from its Qt side (gl_qt.cpp). The
// two live in separate files because GLEW's and Qt OpenGL's headers cannot be
// included together.
#include <string>

namespace platform::gl_internal {

// Initialises GLEW (experimental mode on) for the current context; on failure
// returns false with GLEW's error text in error.
bool InitGlew(std::string& error);

// A framebuffer of width x height with an RGBA8 colour buffer, cleared to zero,
// and optionally a depth-stencil buffer; left bound. False (and nothing left
// behind) when it is not complete.
bool CreateFramebuffer(int width, int height, bool depth, unsigned& framebuffer, unsigned& color,
                       unsigned& depthBuffer);
void DeleteFramebuffer(unsigned& framebuffer, unsigned& color, unsigned& depthBuffer);
void BindFramebuffer(unsigned framebuffer);
void ReadFramebuffer(unsigned framebuffer, int x, int y, int width, int height, void* pixels);

} // namespace platform::gl_internal
