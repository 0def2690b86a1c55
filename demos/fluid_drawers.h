#pragma once
// Pictures of a fluid (nvq::fluid::Solver) on the demo canvas. DrawerBase
// renders one of four views: colour (the dye), motion (velocity as red and
// green), speed (grey) into a buffer of one pixel per interior cell, which the
// texture side uploads and stretches over the requested rectangle; and
// vectors, short line segments drawn straight with the core. DrawerGl is the
// texture side on the core's gaTexture.
//
// A byte of the buffer views is min(value, 255) truncated to an integer and
// kept to its low byte (negative values wrap). The drawer does not own its
// solver; after the solver's grid changes, setup must run again (until then
// the buffer views draw nothing).
#include "demos/core/image.h"
#include "physics/fluid/solver.h"

#include <vector>

namespace nvq::fluid {

class DrawerBase : public gaBaseDraws
{
public:
    enum Mode : int
    {
        kColor = 0,
        kMotion = 1,
        kSpeed = 2,
        kVectors = 3,
    };

    // Takes the solver (not owned) and sizes the buffer and texture to its grid.
    Solver* setup(Solver* fluid);
    // The view of mode over (x, y, w, h); nothing when disabled, without a
    // solver or for a mode outside 0 to 3.
    void draw(float x, float y, float w, float h) override;
    // Over the whole canvas.
    void draw(float x, float y) override;

    // The buffer views' pixels, rows top to bottom, R G B (and 255 with alpha).
    const std::vector<unsigned char>& getPixels() const { return pixels; }
    int bytesPerPixel() const { return withAlpha ? 4 : 3; }

    bool enabled = true;
    bool invert = false;     // colour view: every channel 255 - value
    float brightness = 1.0f; // gain of every view
    float vectorThreshold = 0.0f;
    float vectorScale = 1.0f;
    int vectorStep = 0; // cells skipped between vectors
    int mode = kColor;
    int textureFormat = 6407; // an OpenGL format number, handed to the texture
    bool withAlpha = false;   // a fourth byte per pixel, always 255

protected:
    virtual void allocateTexture() = 0;
    virtual void uploadPixels() = 0;
    virtual void blitTexture(float x, float y, float w, float h) = 0;

    Solver* solver = nullptr;
    std::vector<unsigned char> pixels;

private:
    // Fills the buffer with one pixel per interior cell from value(cell index,
    // pixel) and shows it.
    template <typename Pixel> void drawBuffer(float x, float y, float w, float h, Pixel pixel);
    void drawColor(float x, float y, float w, float h);
    void drawMotion(float x, float y, float w, float h);
    void drawSpeed(float x, float y, float w, float h);
    void drawVectors(float x, float y, float w);
};

class DrawerGl : public DrawerBase
{
public:
    float getHeight() const override { return texture.getHeight(); }
    float getWidth() const override { return texture.getWidth(); }
    const gaTexture& getTexture() const { return texture; }

protected:
    void allocateTexture() override;
    void uploadPixels() override;
    void blitTexture(float x, float y, float w, float h) override;

private:
    gaTexture texture;
};

} // namespace nvq::fluid
