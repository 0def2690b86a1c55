#include "demos/physics_wrappers.h"

#include "physics/collision/shape.h"

float pixelsPerMeter = 30.0f;

namespace {

constexpr float kPixelsPerMeter = 30.0f;
constexpr int kVelocityIterations = 8;
constexpr int kPositionIterations = 3;
constexpr double kRadiansPerDegree = 0.017453292519943295;
constexpr std::uint32_t kRadiusColour = 0xFF000000;
constexpr std::uint32_t kSleepVeilColour = 0x64FFFFFF;

phVector ToMeters(gaVec2f pixels)
{
    return {pixels.x / pixelsPerMeter, pixels.y / pixelsPerMeter};
}

} // namespace

// --- gaxPhysics -------------------------------------------------------------------------

void gaxPhysics::init(float framesPerSecond, float gx, float gy)
{
    allowSleep = true;
    pixelsPerMeter = kPixelsPerMeter;
    gravityX = gx;
    gravityY = gy;
    ground = nullptr;
    world = std::make_unique<phWorld>(phVector(gx, gy));
    world->SetAllowSleeping(allowSleep);
    fps = framesPerSecond;
    velocityIterations = kVelocityIterations;
    positionIterations = kPositionIterations;
    refreshParticleIterations();
}

void gaxPhysics::refreshParticleIterations()
{
    if (world)
        particleIterations = world->EstimateParticleIterations(fps > 0.0f ? 1.0f / fps : 0.0f);
}

void gaxPhysics::setFPS(float framesPerSecond)
{
    fps = framesPerSecond;
    refreshParticleIterations();
}

void gaxPhysics::setGravity(float x, float y)
{
    if (!world)
        return;
    world->SetGravity({x, y});
    refreshParticleIterations();
    for (phBody* body = world->GetBodyList(); body; body = body->GetNext())
        body->SetAwake(true);
}

void gaxPhysics::createGround(float x1, float y1, float x2, float y2)
{
    if (!world)
        return;
    if (ground && world->DestroyBody(ground))
        ground = nullptr;
    if (ground)
        return; // the world is stepping: the old ground stays
    ground = world->CreateBody(phBodyDesc{});
    if (!ground)
        return;
    phEdgeShape edge;
    edge.Set(ToMeters({x1, y1}), ToMeters({x2, y2}));
    phFixtureDesc desc;
    desc.shape = &edge;
    ground->CreateFixture(desc);
}

void gaxPhysics::update()
{
    if (world)
        world->Step(fps > 0.0f ? 1.0f / fps : 0.0f, velocityIterations, positionIterations,
                    particleIterations);
}

// --- gaxPhysicsBaseShape --------------------------------------------------------------------

gaxPhysicsBaseShape::~gaxPhysicsBaseShape()
{
    destroy();
}

template <typename Apply> void gaxPhysicsBaseShape::forEachFixture(Apply apply)
{
    if (!body)
        return;
    for (phFixture* f = body->GetFixtureList(); f; f = f->GetNext())
        apply(*f);
}

void gaxPhysicsBaseShape::setRestitution(float value)
{
    restitution = value;
    forEachFixture([value](phFixture& f) { f.SetRestitution(value); });
}

void gaxPhysicsBaseShape::setDensity(float value)
{
    density = value;
    forEachFixture([value](phFixture& f) { f.SetDensity(value); });
}

void gaxPhysicsBaseShape::setFriction(float value)
{
    friction = value;
    forEachFixture([value](phFixture& f) { f.SetFriction(value); });
}

void gaxPhysicsBaseShape::setMaterial(float densityValue, float restitutionValue, float frictionValue)
{
    setFriction(frictionValue);
    setDensity(densityValue);
    setRestitution(restitutionValue);
}

void gaxPhysicsBaseShape::setFilterData(const phFilter& filter)
{
    forEachFixture([&filter](phFixture& f) { f.SetFilterData(filter); });
}

void gaxPhysicsBaseShape::enableGravity(bool on)
{
    const float scale = on ? 1.0f : 0.0f;
    if (body)
        body->SetGravityScale(scale);
    else
        bodyDef.gravityScale = scale;
}

void gaxPhysicsBaseShape::setFixedRotation(bool on)
{
    if (body)
        body->SetFixedRotation(on);
    else
        bodyDef.fixedRotation = on;
}

void gaxPhysicsBaseShape::setPosition(gaVec2f position)
{
    setPosition(position.x, position.y);
}

void gaxPhysicsBaseShape::setPosition(float x, float y)
{
    if (!body)
        return;
    body->SetTransform(ToMeters({x, y}), body->GetAngle());
    body->SetAwake(true);
}

void gaxPhysicsBaseShape::setVelocity(gaVec2f velocity)
{
    setVelocity(velocity.x, velocity.y);
}

void gaxPhysicsBaseShape::setVelocity(float x, float y)
{
    if (body)
        body->SetLinearVelocity({x, y});
    else
        bodyDef.linearVelocity = {x, y};
}

void gaxPhysicsBaseShape::setLinearDamping(float value)
{
    if (body)
        body->SetLinearDamping(value);
    else
        bodyDef.linearDamping = value;
}

void gaxPhysicsBaseShape::setAngularDamping(float value)
{
    if (body)
        body->SetAngularDamping(value);
    else
        bodyDef.angularDamping = value;
}

void gaxPhysicsBaseShape::addForce(gaVec2f direction, float scale)
{
    if (body)
        body->ApplyForce({direction.x * scale, direction.y * scale}, body->GetPosition());
}

void gaxPhysicsBaseShape::addImpulse(gaVec2f point, gaVec2f impulse)
{
    if (body && body->GetType() == phDynamicBody)
        body->ApplyLinearImpulse({impulse.x, impulse.y}, ToMeters(point));
}

void gaxPhysicsBaseShape::addRepulsionForce(gaVec2f point, float radius, float amount)
{
    if (!body)
        return;
    const phVector d = ToMeters(point) - body->GetPosition();
    if (radius > d.LengthSquared() && body->GetType() == phDynamicBody) {
        body->SetAwake(true);
        body->ApplyForce(-amount * d, body->GetWorldCenter());
    }
}

void gaxPhysicsBaseShape::destroy()
{
    // A world that is stepping refuses (a contact callback): the body stays ours.
    if (body && body->GetWorld()->DestroyBody(body)) {
        body = nullptr;
        alive = false;
    }
}

gaVec2f gaxPhysicsBaseShape::getPosition() const
{
    if (!body)
        return {};
    const phVector& c = body->GetWorldCenter();
    return {c.x * pixelsPerMeter, c.y * pixelsPerMeter};
}

void gaxPhysicsBaseShape::createBody(phWorld& world, const phShape& shape, phBodyDesc bodyDesc)
{
    fixture.shape = &shape;
    fixture.density = density;
    fixture.friction = friction;
    fixture.restitution = restitution;
    fixture.isSensor = false;
    bodyDesc.type = density != 0.0f ? phDynamicBody : phStaticBody;
    body = world.CreateBody(bodyDesc);
    if (body) {
        body->CreateFixture(fixture);
        alive = true;
    }
    fixture.shape = nullptr; // the fixture holds its own copy
}

// --- gaxPhysicsCircle -------------------------------------------------------------------------

void gaxPhysicsCircle::setup(phWorld* world, float x, float y, float radiusPixels)
{
    if (!world)
        return;
    radius = radiusPixels;
    phCircleShape circle;
    circle.m_radius = radiusPixels / pixelsPerMeter;
    bodyDef.position = ToMeters({x, y});
    createBody(*world, circle, bodyDef);
}

void gaxPhysicsCircle::draw()
{
    const phBody* const body = getBody();
    if (!body)
        return;
    const gaVec2f centre = getPosition();
    gaPushMatrix();
    gaTranslate(centre.x, centre.y);
    gaDrawCircle(0, 0, radius);
    gaSetColor(kRadiusColour);
    gaDrawLine(0, 0, radius, 0);
    if (!body->IsAwake()) {
        gaSetColor(kSleepVeilColour);
        gaDrawCircle(0, 0, radius);
    }
    gaPopMatrix();
}

// --- gaxPhysicsRect ---------------------------------------------------------------------------

void gaxPhysicsRect::setup(phWorld* world, float x, float y, float width, float height, float angleDegrees)
{
    if (!world)
        return;
    halfWidth = width / 2;
    halfHeight = height / 2;
    phPolygonShape box;
    box.SetAsBox(halfWidth / pixelsPerMeter, halfHeight / pixelsPerMeter);
    phBodyDesc fresh;
    fresh.position = ToMeters({x, y});
    fresh.angle = static_cast<float>(angleDegrees * kRadiansPerDegree);
    createBody(*world, box, fresh);
}

void gaxPhysicsRect::addAttractionPoint(gaVec2f point, float amount)
{
    phBody* const body = getBody();
    if (!body || body->GetType() != phDynamicBody)
        return;
    const phVector target = ToMeters(point);
    for (const phFixture* f = body->GetFixtureList(); f; f = f->GetNext()) {
        if (f->GetKind() != phShape::polygon)
            continue;
        const auto& polygon = static_cast<const phPolygonShape&>(*f->GetShape());
        for (int i = 0; i < polygon.m_count; ++i) {
            const phVector corner = phMul(body->GetTransform(), polygon.m_vertices[i]);
            body->SetAwake(true);
            body->ApplyForce(amount * (target - corner), target);
        }
    }
}

void gaxPhysicsRect::draw()
{
    if (!getBody())
        return;
    // No picture; the translation still passes through the translate/scale
    // stack, which leaves the painter's transform at the current level's.
    const gaVec2f centre = getPosition();
    gaPushMatrix();
    gaTranslate(centre.x, centre.y);
    gaPopMatrix();
}
