#pragma once
// The fireworks demo: every 240 frames a rocket rises from the bottom of the
// canvas under gravity and air drag, trailing wobbling specks, and bursts twice
// near the end of its life into a sphere of sparks of one colour that flicker
// out while dropping gunpowder. A translucent dark-blue gradient laid over the
// previous frame every frame leaves fading trails. While a mouse button is held
// an overlay shows the frame rate, the number of particles and the sprites.
//
// Every rocket, speck and spark is one of the 4096 actors of the demo's pool,
// made at set-up and recycled; a spawn that finds the pool empty is skipped.
#include "demos/core/base_app.h"
#include "demos/fireworks/actor.h"
#include "demos/fireworks/backgrounds.h"

#include <memory>

class fireworks : public gaBaseApp
{
public:
    fireworks();
    ~fireworks() override;

    void setup() override;
    void draw() override;
    void mousePressed(int x, int y, int button) override;
    void mouseReleased(int x, int y, int button) override;

    // A round glow of size by size pixels in the colour (red, green, blue) x 255
    // (each kept to its low 8 bits): opaque within `core` pixels of the middle,
    // fading to intensity / 255 of full at half the size.
    static gaImage_<unsigned char> makeParticleImage(float red, float green, float blue, float intensity, float core,
                                                      int size);

    // The pooled actors in use, pending ones included (the overlay's count).
    int particleCount() const;

private:
    void setupPool();
    void setupPhysics();
    void setupBuilders();
    void drawInfo() const;
    void launchRocket();

    int m_frameRate = 30;
    std::unique_ptr<ActorList> m_actorList;
    std::unique_ptr<PhysicsWorld> m_physicsWorld;
    std::unique_ptr<ObjectPool> m_objectPool;
    std::unique_ptr<AbstractBackground> m_background;
    std::unique_ptr<ActorBuilder> m_rocketBuilder;
    bool m_showInfo = false;
};
