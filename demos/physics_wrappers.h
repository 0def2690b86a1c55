#pragma once
// The demos' thin layer over the rigid-body engine, in canvas pixels:
// gaxPhysics owns one world, steps it at a fixed rate and can lay a static
// ground edge; a shape (gaxPhysicsCircle, gaxPhysicsRect) wraps one body with
// one fixture and offers material, position and velocity setters and forces.
//
// Lengths cross into the engine divided by pixelsPerMeter and come out
// multiplied by it; velocities, forces and impulses pass unscaled.
//
// Lifetime: shapes are set up against the wrapper's world and must go (or be
// destroyed) before that world does; demo apps declare the wrapper before
// their shapes. A shape whose set-up was refused has no body: its setters fill
// its descriptions and its body operations do nothing.
#include "demos/core/core.h"
#include "physics/dynamics/world.h"

#include <memory>
#include <string>

// Pixels per metre of every wrapper (30; set again by gaxPhysics::init).
extern float pixelsPerMeter;

class gaxPhysics
{
public:
    // A new world with the gravity (metres per second squared), stepped at fps
    // frames per second with 8 velocity and 3 position iterations. A world
    // made before is torn down, with its ground.
    void init(float fps, float gravityX, float gravityY);
    void setFPS(float framesPerSecond);
    // The world's gravity (the fields keep the values given to init); every
    // body is woken. Nothing without a world.
    void setGravity(float x, float y);
    // A static edge from (x1, y1) to (x2, y2) in pixels, replacing the previous
    // ground. Nothing without a world.
    void createGround(float x1, float y1, float x2, float y2);
    // One step of 1 / fps seconds (0 when fps is not above 0).
    void update();

    phWorld* getWorld() const { return world.get(); }
    phBody* getGround() const { return ground; }

    float fps = 0.0f;
    int velocityIterations = 0;
    int positionIterations = 0;
    int particleIterations = 1; // the world's estimate; 1 without particle systems
    float gravityX = 0.0f;
    float gravityY = 0.0f;
    bool allowSleep = false;

private:
    void refreshParticleIterations();

    std::unique_ptr<phWorld> world;
    phBody* ground = nullptr;
};

class gaxPhysicsBaseShape
{
public:
    gaxPhysicsBaseShape() = default;
    gaxPhysicsBaseShape(const gaxPhysicsBaseShape&) = delete;
    gaxPhysicsBaseShape& operator=(const gaxPhysicsBaseShape&) = delete;
    // Destroys the body when there is one.
    virtual ~gaxPhysicsBaseShape();

    // Stored in the shape (set-up copies them into the fixture) and set on
    // every fixture of the body; the body's mass is not recomputed.
    virtual void setRestitution(float value);
    virtual void setDensity(float value);
    virtual void setFriction(float value);
    // setFriction, setDensity, setRestitution.
    virtual void setMaterial(float density, float restitution, float friction);
    // On every fixture of the body. Before set-up, set fixture.filter instead.
    virtual void setFilterData(const phFilter& filter);
    // Gravity scale 1 or 0 (on the body, else in the body description).
    virtual void enableGravity(bool on);
    virtual void setFixedRotation(bool on);
    // Moves the body to (x, y) pixels keeping its angle, and wakes it.
    virtual void setPosition(gaVec2f position);
    virtual void setPosition(float x, float y);
    // Metres per second, unscaled (on the body, else in the body description).
    virtual void setVelocity(gaVec2f velocity);
    virtual void setVelocity(float x, float y);
    virtual void setLinearDamping(float value);
    virtual void setAngularDamping(float value);
    // The force direction × scale at the body's origin.
    virtual void addForce(gaVec2f direction, float scale);
    // An impulse at a point in pixels (dynamic bodies only).
    virtual void addImpulse(gaVec2f point, gaVec2f impulse);
    // When the squared distance in metres from the point (pixels) to the body's
    // origin is below radius, a force -d × amount at the centre of mass, d the
    // metres from the body to the point (dynamic bodies only).
    virtual void addRepulsionForce(gaVec2f point, float radius, float amount);
    // The body leaves its world; a shape without a body is left as it is.
    virtual void destroy();
    virtual void update() {}
    virtual void draw() {}

    // The body's world centre in pixels; (0, 0) without a body.
    gaVec2f getPosition() const;
    phBody* getBody() const { return body; }
    bool isAlive() const { return alive; }

    phFixtureDesc fixture;
    phBodyDesc bodyDef;
    std::string name = "unset";
    float density = 0.0f;
    float restitution = 0.0f;
    float friction = 0.0f;

protected:
    // The fixture description with the shape and this shape's material; the
    // body (dynamic unless the density is 0) is made from bodyDesc.
    void createBody(phWorld& world, const phShape& shape, phBodyDesc bodyDesc);

private:
    template <typename Apply> void forEachFixture(Apply apply);

    phBody* body = nullptr;
    bool alive = false;
};

class gaxPhysicsCircle : public gaxPhysicsBaseShape
{
public:
    // A circle of radius pixels centred on (x, y); nothing without a world. The
    // body takes the body description the setters filled.
    void setup(phWorld* world, float x, float y, float radius);
    // A disc of radius in the current colour with a black horizontal radius,
    // veiled in translucent white while the body sleeps. Leaves the colour changed.
    void draw() override;
    float getRadius() const { return radius; }

private:
    float radius = 0.0f;
};

class gaxPhysicsRect : public gaxPhysicsBaseShape
{
public:
    // A box of width by height pixels centred on (x, y), turned by angle
    // degrees; nothing without a world. The body starts from a fresh
    // description: damping, fixed rotation and gravity set before are not used.
    void setup(phWorld* world, float x, float y, float width, float height, float angleDegrees);
    // Pulls every corner toward the point (pixels): a force (point - corner) ×
    // amount in metres, applied at the point.
    void addAttractionPoint(gaVec2f point, float amount);
    // Draws nothing; demos draw their boxes themselves.
    void draw() override;
    float getHalfWidth() const { return halfWidth; }
    float getHalfHeight() const { return halfHeight; }

private:
    float halfWidth = 0.0f;
    float halfHeight = 0.0f;
};
