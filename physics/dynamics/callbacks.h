// The engine's callback interfaces: contact filter, contact listener, box-query
// callback and debug drawing, with their default behaviour.
#pragma once

#include "physics/collision/manifold.h"
#include "physics/common/math.h"

#include <cstdint>

class phContact;
class phFixture;
class phParticleSystem;
struct phParticleContact;
struct phParticleBodyContact;

// The impulses the solver applied at a contact's points.
struct phContactImpulse
{
    float normalImpulses[phMaxManifoldPoints] = {};
    float tangentImpulses[phMaxManifoldPoints] = {};
    int32_t count = 0;
};

// Decides which fixtures may collide.
class phContactFilter
{
public:
    virtual ~phContactFilter() = default;
    virtual bool ShouldCollide(phParticleSystem* system, int32_t indexA, int32_t indexB);
    virtual bool ShouldCollide(phFixture* fixture, phParticleSystem* system, int32_t index);
    // Equal non-zero groups decide alone (positive: always, negative: never);
    // otherwise each mask must accept the other's category.
    virtual bool ShouldCollide(phFixture* fixtureA, phFixture* fixtureB);
};

// Told about contacts while the world steps (the world is locked meanwhile).
class phContactListener
{
public:
    virtual ~phContactListener() = default;
    virtual void BeginContact(phParticleSystem*, phParticleContact*) {}
    virtual void BeginContact(phParticleSystem*, phParticleBodyContact*) {}
    virtual void BeginContact(phContact*) {}
    virtual void EndContact(phParticleSystem*, int32_t, int32_t) {}
    virtual void EndContact(phFixture*, phParticleSystem*, int32_t) {}
    virtual void EndContact(phContact*) {}
    virtual void PreSolve(phContact*, const phLocalManifold*) {}
    virtual void PostSolve(phContact*, const phContactImpulse*) {}
};

// Receives the fixtures (and particles) a box query finds.
class phQueryCallback
{
public:
    virtual ~phQueryCallback() = default;
    // Return false to stop the query.
    virtual bool ReportFixture(phFixture* fixture) = 0;
    virtual bool ReportParticle(const phParticleSystem*, int32_t) { return false; }
    virtual bool ShouldQueryParticleSystem(const phParticleSystem*) { return true; }
};

struct phColor
{
    float r = 0.5f;
    float g = 0.5f;
    float b = 0.5f;
    float a = 1.0f;
};

// Debug drawing, implemented by the caller.
class phDraw
{
public:
    virtual ~phDraw() = default;
    virtual void DrawPolygon(const phVector* vertices, int32_t count, const phColor& color) = 0;
    virtual void DrawSolidPolygon(const phVector* vertices, int32_t count, const phColor& color) = 0;
    virtual void DrawCircle(const phVector& center, float radius, const phColor& color) = 0;
    virtual void DrawSolidCircle(const phVector& center, float radius, const phVector& axis,
                                 const phColor& color) = 0;
    virtual void DrawParticles(const phVector* centers, float radius, const phColor* colors,
                               int32_t count) = 0;
    virtual void DrawSegment(const phVector& p1, const phVector& p2, const phColor& color) = 0;
    virtual void DrawTransform(const phTransform& xf) = 0;
};

// The process-wide defaults every world starts with.
phContactFilter* phGetDefaultContactFilter();
phContactListener* phGetDefaultContactListener();
