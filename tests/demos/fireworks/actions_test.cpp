// The fireworks' actions and displayers on small scenes: the two bursts of 225
// sparks, the trail's wobble and fade, gunpowder and flashes at the rates their
// laws give, and the shrinking sprite.
#include "demos/fireworks/actions.h"
#include "demos/fireworks/displayers.h"
#include "tests/demos/canvas_fixture.h"
#include "tests/demos/fireworks/scene_fixture.h"

#include <cmath>
#include <map>
#include <numbers>
#include <set>

namespace {

using lmd::test::InkBox;
using lmd::test::RecordingDisplayer;
using lmd::test::SceneTest;

class ActionsTest : public SceneTest
{
protected:
    ActionsTest() : SceneTest(ObjectPool::kCapacity) {}

    // A builder of the scene's pool with the given lifetime and actions.
    std::unique_ptr<ActorBuilder> Children(int lifetime, std::vector<std::shared_ptr<Action>> actions = {}) const
    {
        auto children = std::make_unique<ActorBuilder>(builder);
        children->lifetime = lifetime;
        children->actions = std::move(actions);
        return children;
    }

    // The listed actors other than `parent`, by the frame they were listed in.
    std::vector<Actor*> Others(const Actor& parent) const
    {
        std::vector<Actor*> others;
        for (Actor* const actor : list.actors())
            if (actor != &parent)
                others.push_back(actor);
        return others;
    }
};

TEST_F(ActionsTest, ExplodeBurstsTwiceWith225SparksOfOneColourEach)
{
    for (const int lifetime : {105, 120, 134, 100, 1, 0}) {
        std::vector<std::unique_ptr<ActorDisplayer>> colours;
        for (int i = 0; i < 11; ++i)
            colours.push_back(std::make_unique<RecordingDisplayer>());
        std::set<const ActorDisplayer*> offered;
        for (const auto& colour : colours)
            offered.insert(colour.get());
        auto explode = std::make_shared<ExplodeFireAction>(Children(1000), std::move(colours));
        ActorBuilder rockets = builder;
        rockets.actions = {explode};
        rockets.lifetime = lifetime;
        Actor& rocket = Add(rockets, 10, 300, 0, 0);

        // Bursts by the frame they happen in (the rocket's age then), the sparks
        // as they were spawned.
        std::map<int, std::vector<Actor>> bursts;
        for (int age = 0; age <= lifetime; ++age) {
            const int before = pool.inUseCount();
            Frame();
            const int spawned = pool.inUseCount() - before;
            if (spawned > 0) {
                list.commit(); // list them to look at them
                const std::vector<Actor*> others = Others(rocket);
                for (auto spark = others.end() - spawned; spark != others.end(); ++spark)
                    bursts[age].push_back(**spark);
            }
        }
        const int first = static_cast<int>(lifetime * 0.99);
        const std::vector<int> expectedAges =
            first == lifetime ? std::vector<int>{lifetime} : std::vector<int>{first, lifetime};
        std::vector<int> ages;
        for (const auto& [age, sparks] : bursts)
            ages.push_back(age);
        EXPECT_EQ(ages, expectedAges) << "lifetime " << lifetime;
        const std::size_t expectedSparks = first == lifetime ? 450 : 225;
        for (const auto& [age, sparks] : bursts) {
            ASSERT_EQ(sparks.size(), expectedSparks) << "lifetime " << lifetime << " at age " << age;
            std::set<const ActorDisplayer*> shown;
            double fastest = 0;
            for (const Actor& spark : sparks) {
                shown.insert(spark.displayer);
                EXPECT_EQ(spark.x, 10.0f) << "lifetime " << lifetime << " at age " << age;
                EXPECT_EQ(spark.y, 300.0f) << "lifetime " << lifetime << " at age " << age;
                EXPECT_EQ(spark.lifetime, 1000);
                fastest = std::max(fastest, std::hypot(double(spark.vx), double(spark.vy)));
            }
            const std::size_t colourCount = first == lifetime ? 2 : 1; // at most two when both fall together
            EXPECT_LE(shown.size(), colourCount);
            EXPECT_TRUE(offered.contains(*shown.begin()));
            if (first != lifetime) {
                // Spread over a sphere of the burst's speed: 400 or 150 pixels a second.
                const double speed = (age == first ? 400.0 : 150.0) / 30.0;
                EXPECT_LE(fastest, speed + 1e-4) << "age " << age;
                EXPECT_GE(fastest, speed * std::cos(2 * std::numbers::pi / 30)) << "age " << age;
            }
        }
        // Clear the scene for the next lifetime.
        for (Actor* const actor : list.actors())
            list.pendingRemove(*actor);
        list.commit();
        list.commit();
        ASSERT_EQ(pool.inUseCount(), 0);
    }
}

TEST_F(ActionsTest, BurnLeavesAWobblingFadingTrailUntilTheThreshold)
{
    auto burn = std::make_shared<BurnFireAction>(Children(15));
    ActorBuilder rockets = builder;
    rockets.lifetime = 100;
    Actor& rocket = Add(rockets, 4, 480, 0.5f, -3);
    list.commit();
    for (int age = 0; age <= 100; ++age) {
        rocket.age = age;
        app.core().frameNum = 1000 + age;
        const int before = pool.inUseCount();
        burn->apply(rocket);
        if (age > 60) { // past the threshold of 0.6
            EXPECT_EQ(pool.inUseCount(), before) << "age " << age;
            continue;
        }
        ASSERT_EQ(pool.inUseCount(), before + 1) << "age " << age;
        list.commit();
        const Actor& speck = *list.actors().back();
        const double fade = (0.6 - age / 100.0) / 0.6;
        // Three wobbles a second at 30 frames a second: a period of 10 frames.
        const double w = 3 * fade * std::sin(2 * std::numbers::pi * (1000 + age) / 10);
        EXPECT_NEAR(speck.scale, fade, 1e-5) << "age " << age;
        EXPECT_NEAR(speck.x - rocket.x, w, 1e-3) << "age " << age;
        EXPECT_NEAR(speck.vx - rocket.vx, -w, 1e-3) << "age " << age;
        EXPECT_EQ(speck.y, rocket.y);
        EXPECT_EQ(speck.vy, rocket.vy);
        EXPECT_EQ(speck.lifetime, 15);
        EXPECT_EQ(speck.list, &list);
    }
}

TEST_F(ActionsTest, GunpowderFallsMostOftenAtAFifthOfTheLife)
{
    auto gunpowder = std::make_shared<LeaveGunpowderFireAction>(Children(75));
    RecordingDisplayer look;
    ActorBuilder sparks = builder;
    sparks.lifetime = 100;
    sparks.displayer = std::shared_ptr<ActorDisplayer>(&look, [](ActorDisplayer*) {});
    const int n = 2000;
    // Probability of a speck per frame: p / 2 up to a fifth of the life, then (1 - p) / 10.
    struct Case
    {
        int lifetime;
        int age;
        double rate;
    };
    const Case cases[] = {{100, 0, 0.0}, {100, 10, 0.05}, {100, 19, 0.095}, {100, 20, 0.08},
                          {100, 60, 0.04}, {100, 100, 0.0}, {0, 50, 0.0}};
    for (const Case& c : cases) {
        sparks.lifetime = c.lifetime;
        Actor& spark = Add(sparks, 3, 4, 5, 6);
        spark.age = c.age;
        list.commit();
        int spawned = 0;
        for (int i = 0; i < n; ++i) {
            const int before = pool.inUseCount();
            gunpowder->apply(spark);
            spawned += pool.inUseCount() - before;
            list.commit();
            if (list.actors().back() != &spark) {
                const Actor& speck = *list.actors().back();
                EXPECT_EQ(speck.displayer, &look);
                EXPECT_EQ((std::vector<float>{speck.x, speck.y, speck.vx, speck.vy}), (std::vector<float>{3, 4, 5, 6}));
                EXPECT_EQ(speck.lifetime, 75);
                list.pendingRemove(*list.actors().back());
                list.commit();
            }
        }
        const double sigma = std::sqrt(n * c.rate * (1 - c.rate));
        EXPECT_NEAR(spawned, n * c.rate, 4 * sigma + 0.5) << "age " << c.age << " of " << c.lifetime;
        list.pendingRemove(spark);
        list.commit();
    }
}

TEST_F(ActionsTest, FlashesStaySteadyThenFlickerOut)
{
    // Draw probability: 0.9 while 1 - progress is above one half, then (1 - progress) x 1.8.
    struct Case
    {
        int age;
        double rate;
    };
    const Case cases[] = {{0, 0.9}, {40, 0.9}, {75, 0.45}, {90, 0.18}, {100, 0.0}};
    gaImage_<unsigned char> dot;
    dot.allocate(1, 1);
    dot.setColor(0, 0, 0xFFFFFFFF);
    FlashActorDisplayer flash(dot);
    QImage canvas(8, 8, QImage::Format_RGB32);
    QPainter painter(&canvas);
    const gaFrameScope frame(app, painter);
    Actor actor;
    actor.lifetime = 100;
    actor.x = 2;
    actor.y = 3;
    const int n = 4000;
    for (const Case& c : cases) {
        actor.age = c.age;
        int drawn = 0;
        for (int i = 0; i < n; ++i) {
            canvas.fill(Qt::black);
            flash.draw(actor);
            drawn += canvas.pixel(2, 3) == 0xFFFFFFFFu;
        }
        const double sigma = std::sqrt(n * c.rate * (1 - c.rate));
        EXPECT_NEAR(drawn, n * c.rate, 4 * sigma + 0.5) << "age " << c.age;
    }
}

TEST_F(ActionsTest, ShrinkingSpriteIsScaledBySquareRootOfTheLifeLeftToItsLimit)
{
    gaImage_<unsigned char> square;
    square.allocate(40, 40);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            square.setColor(x, y, 0xFFFFFFFF);
    ShrinkActorDisplayer shrink(square);
    QImage canvas(200, 200, QImage::Format_RGB32);
    QPainter painter(&canvas);
    const gaFrameScope frame(app, painter);
    gaSetDrawFromCenter(1);
    struct Case
    {
        int age;       // of 100
        float scale;   // the actor's
        double width;  // of the drawn square
    };
    const Case cases[] = {
        {0, 1.0f, 40},    // full size
        {60, 1.0f, 20},   // (0.8 - 0.6) / 0.8 = 1/4: half the size
        {60, 0.5f, 10},   // and the actor's own scale on top
        {20, 1.0f, 40 * std::sqrt(0.75)},
        {80, 1.0f, 0},    // at the limit: a point
        {81, 1.0f, 0},    // beyond it: nothing
    };
    Actor actor;
    actor.lifetime = 100;
    actor.x = 100;
    actor.y = 90;
    for (const Case& c : cases) {
        canvas.fill(Qt::black);
        actor.age = c.age;
        actor.scale = c.scale;
        shrink.draw(actor);
        const QRect ink = InkBox(canvas);
        if (c.width < 1) {
            EXPECT_TRUE(ink.isEmpty()) << "age " << c.age;
            continue;
        }
        EXPECT_NEAR(ink.width(), c.width, 1.01) << "age " << c.age;
        EXPECT_NEAR(ink.height(), c.width, 1.01) << "age " << c.age;
        EXPECT_NEAR(ink.center().x() + 0.5, 100, 1.01) << "age " << c.age; // centred on the actor
        EXPECT_NEAR(ink.center().y() + 0.5, 90, 1.01) << "age " << c.age;
        EXPECT_EQ(painter.worldTransform(), QTransform()); // the stack is back where it was
    }
}

} // namespace
