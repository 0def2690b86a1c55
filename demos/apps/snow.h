#pragma once
// gaAppSnow, "降り積もる雪": snowballs fall from above the canvas as physics
// circles, bounce and pile up on a ground edge along its bottom, drawn as
// snowflakes or as plain discs. Dragging adds larger snowballs; the right
// button switches the look.
#include "demos/core/base_app.h"
#include "demos/core/image.h"
#include "demos/physics_wrappers.h"

#include <memory>
#include <vector>

class gaAppSnow : public gaBaseApp
{
public:
    void setup() override;
    void update() override;
    void draw() override;
    void mouseDragged(int x, int y, int button) override;
    void mousePressed(int x, int y, int button) override;

    const std::vector<std::shared_ptr<gaxPhysicsCircle>>& getSnowballs() const { return snowballs; }
    const gaxPhysics& getPhysics() const { return physics; }
    gaxPhysics& getPhysics() { return physics; }
    bool usesImage() const { return useImage; }

private:
    // A snowball of radius pixels at (x, y), dense and bouncy.
    std::shared_ptr<gaxPhysicsCircle> addSnowball(float x, float y, float radius);

    gaxPhysics physics; // before the snowballs: they go first
    std::vector<std::shared_ptr<gaxPhysicsCircle>> snowballs;
    gaImage_<unsigned char> snowImage;
    bool useImage = true;
};
