#pragma once
// Backgrounds drawn under the actors: a picture made once at the canvas size
// and drawn with its top-left corner at (0, 0) every frame (the core's centre
// mode must be off).
#include "demos/core/core.h"
#include "demos/core/image.h"

class AbstractBackground
{
public:
    virtual ~AbstractBackground() = default;
    virtual void draw() = 0;
};

// A picture of width by height, opaque blue until a derived class paints it.
class PreRenderedBackground : public AbstractBackground
{
public:
    PreRenderedBackground(int width, int height);
    void draw() override;

protected:
    const float m_width;
    const float m_height;
    gaImage_<unsigned char> m_image;
};

// A vertical gradient with the hue and saturation of the bottom colour, its
// brightness running from the top colour's to the bottom colour's and darkened
// towards the top by t^exponent (t = row / height); every pixel carries the top
// colour's alpha, so a translucent gradient drawn each frame leaves fading
// trails of what was drawn before.
class GradationBackground : public PreRenderedBackground
{
public:
    GradationBackground(int width, int height, gaColor top, gaColor bottom, float exponent);
};
