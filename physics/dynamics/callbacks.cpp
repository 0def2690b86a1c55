#include "physics/dynamics/callbacks.h"

#include "physics/dynamics/fixture.h"

bool phContactFilter::ShouldCollide(phParticleSystem*, int32_t, int32_t)
{
    return true;
}

bool phContactFilter::ShouldCollide(phFixture*, phParticleSystem*, int32_t)
{
    return true;
}

bool phContactFilter::ShouldCollide(phFixture* fixtureA, phFixture* fixtureB)
{
    const phFilter& a = fixtureA->GetFilterData();
    const phFilter& b = fixtureB->GetFilterData();
    if (a.groupIndex == b.groupIndex && a.groupIndex != 0) {
        return a.groupIndex > 0;
    }
    return (a.maskBits & b.categoryBits) != 0 && (a.categoryBits & b.maskBits) != 0;
}

phContactFilter* phGetDefaultContactFilter()
{
    static phContactFilter filter;
    return &filter;
}

phContactListener* phGetDefaultContactListener()
{
    static phContactListener listener;
    return &listener;
}
