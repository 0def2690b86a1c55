#pragma once
// The ways actors are drawn besides the plain picture of ActorDisplayer: a
// flash that flickers out over the actor's second half of life, and a picture
// that shrinks to nothing at four fifths of it.
#include "demos/fireworks/actor.h"

// Drawn every frame while the progress is below one half (with probability
// 0.9), then ever more rarely.
class FlashActorDisplayer : public ActorDisplayer
{
public:
    using ActorDisplayer::ActorDisplayer;
    void draw(const Actor& actor) override;
};

// Scaled by sqrt((limit - progress) / limit) times the actor's scale; nothing
// once the progress passes the limit.
class ShrinkActorDisplayer : public ActorDisplayer
{
public:
    static constexpr float kDefaultLimit = 0.8f;

    explicit ShrinkActorDisplayer(gaImage_<unsigned char> image, float limit = kDefaultLimit)
        : ActorDisplayer(std::move(image)), m_limit(limit)
    {
    }
    void draw(const Actor& actor) override;

private:
    const float m_limit;
};
