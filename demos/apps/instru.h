#pragma once
// gaAppInstru, "Gravity Garden": every mouse release adds a small physics box
// in a world without gravity; each box is pulled toward a fixed point at the
// canvas centre and toward the boxes made before it, so the boxes swirl round
// the centre. Boxes show as pulsing glows joined by fading lines; a glow at the
// centre pulses with the sum of theirs. 'c' clears the boxes.
#include "demos/core/base_app.h"
#include "demos/core/image.h"
#include "demos/physics_wrappers.h"

#include <cstdint>
#include <memory>
#include <vector>

// A box of the garden with a pulsing picture size and a glow that fades with
// its distance from the canvas centre.
class CustomRect : public gaxPhysicsRect
{
public:
    CustomRect();
    // size = sin(speed × t × 10) × 20 + 40 at the elapsed time t; glow =
    // (1 - distance to the centre / 400) × 0.2, not below 0.
    void update() override;

    float speed = 0.0f;
    float size = 0.0f;
    float glow = 0.0f;
};

class gaAppInstru : public gaBaseApp
{
public:
    void setup() override;
    void update() override;
    void draw() override;
    void keyPressed(int key) override;
    void mouseReleased(int x, int y, int button) override;
    void windowResized(int width, int height) override;

    // The alpha of the line between two boxes this far apart (pixels, below
    // 300): the low byte of int(300 - distance).
    static std::uint32_t lineAlpha(float distance);

    const std::vector<std::shared_ptr<CustomRect>>& getBoxes() const { return boxes; }
    const gaxPhysicsRect& getCentre() const { return centre; }

private:
    gaxPhysics physics; // before the shapes: they go first
    std::vector<std::shared_ptr<CustomRect>> boxes;
    gaxPhysicsRect centre; // static, 1 by 1 pixel
    gaImage_<unsigned char> emitter;
    gaImage_<unsigned char> particle;
};
