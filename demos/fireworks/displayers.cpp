#include "demos/fireworks/displayers.h"

#include "demos/core/core.h"

#include <cmath>

void FlashActorDisplayer::draw(const Actor& actor)
{
    const float u = gaRandom(0.0f, 1.0f);
    const float q = 1.0f - actor.progress();
    const float t = q > 0.5f ? 0.9f : q * 2.0f * 0.9f;
    if (t > u)
        m_image.draw(actor.x, actor.y);
}

void ShrinkActorDisplayer::draw(const Actor& actor)
{
    const float p = actor.progress();
    if (p > m_limit)
        return;
    gaPushMatrix();
    gaTranslate(actor.x, actor.y);
    gaScale(std::pow((m_limit - p) / m_limit, 0.5f) * actor.scale);
    m_image.draw(0.0f, 0.0f);
    gaPopMatrix();
}
