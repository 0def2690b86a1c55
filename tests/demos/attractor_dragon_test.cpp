// The Gumowski-Mira attractor's map and parameter sweep, and the dragon
// curves' two maps (checked as the classical curves they draw) and their walk.
#include "demos/apps/dragon_curve.h"
#include "demos/apps/gmoski_mira.h"
#include "tests/demos/app_frames.h"

#include <cmath>
#include <gtest/gtest.h>
#include <map>
#include <utility>
#include <vector>

namespace {

using lmd::test::AppFrames;

// --- Gumowski-Mira ---------------------------------------------------------------

TEST(GmoskiMiraTest, FirstFiveIteratesFollowTheMap)
{
    const double a = 0.007, b = 0.05, c = -0.47;
    // f(t) = c t + 2 (1 - c) t^2 / (1 + t^2) = c t + 2.94 t^2 / (1 + t^2) for c = -0.47.
    const auto f = [&](double t) { return -0.47 * t + 2.94 * t * t / (1 + t * t); };
    double x = 0.1, y = 0.1;
    gaGmoskiMira::Point p{0.1, 0.1};
    for (int step = 1; step <= 5; ++step) {
        const double nx = y * (1 + a - a * b * y * y) + f(x);
        const double ny = f(nx) - x;
        x = nx;
        y = ny;
        p = gaGmoskiMira::iterate(p, {a, b, c});
        EXPECT_NEAR(p.x, x, 1e-12) << step;
        EXPECT_NEAR(p.y, y, 1e-12) << step;
    }
    // The first step by hand: f(0.1) = -0.047 + 0.0294 / 1.01 = -0.0178911;
    // x1 = 0.1 + 0.0007 * (1 - 0.0005) + f(0.1) = 0.0828086.
    const gaGmoskiMira::Point first = gaGmoskiMira::iterate({0.1, 0.1}, {a, b, c});
    EXPECT_NEAR(first.x, 0.0828086, 1e-6);
}

TEST(GmoskiMiraTest, SweepMovesBAfterCPassesOneAndResetsRestoreTheStart)
{
    AppFrames<gaGmoskiMira> run;
    gaGmoskiMira& demo = *run.app;
    EXPECT_EQ(demo.core().frameRate, 60);
    EXPECT_TRUE(demo.core().autoBackground);
    run.BlindFrames(1469);
    EXPECT_NEAR(demo.params().c, 0.999, 1e-9);
    EXPECT_NEAR(demo.params().b, 0.05, 1e-12);
    run.BlindFrames(1); // c passed 1
    EXPECT_NEAR(demo.params().a, 0.007, 1e-12);
    EXPECT_NEAR(demo.params().b, 0.051, 1e-12);
    EXPECT_NEAR(demo.params().c, -0.47, 1e-12);
    run.BlindFrames(5);

    demo.keyPressed('x');
    EXPECT_NEAR(demo.params().c, -0.465, 1e-9); // other keys do nothing
    demo.keyPressed('c');
    EXPECT_EQ(demo.params().b, 0.05);
    EXPECT_EQ(demo.params().c, -0.47);

    run.BlindFrames(3);
    demo.mousePressed(1, 2, GA_BUTTON_RIGHT);
    EXPECT_EQ(demo.params().c, -0.47);
    EXPECT_TRUE(demo.core().running);
    demo.mousePressed(1, 2, GA_BUTTON_LEFT);
    EXPECT_FALSE(demo.core().running); // the host's frames pause
    demo.mousePressed(1, 2, GA_BUTTON_LEFT);
    EXPECT_TRUE(demo.core().running);
}

// --- dragon curves -------------------------------------------------------------------

// The images of the segment from (0, 0) to (1, 0) under every composition of n
// of the two maps: the level-n polygon of the curve.
std::vector<std::pair<gaDragonCurve::Point, gaDragonCurve::Point>> Level(double a, int n)
{
    std::vector<std::pair<gaDragonCurve::Point, gaDragonCurve::Point>> segments = {{{0, 0}, {1, 0}}};
    for (int level = 0; level < n; ++level) {
        std::vector<std::pair<gaDragonCurve::Point, gaDragonCurve::Point>> next;
        for (const auto& [from, to] : segments)
            for (const int branch : {0, 1})
                next.push_back({gaDragonCurve::map(from, a, branch), gaDragonCurve::map(to, a, branch)});
        segments = std::move(next);
    }
    return segments;
}

std::pair<long long, long long> Key(const gaDragonCurve::Point& p)
{
    return {std::llround(p.x * (1 << 20)), std::llround(p.y * (1 << 20))};
}

TEST(DragonCurveTest, MapsBuildAPathOfTwoToTheNSegmentsFromZeroToOne)
{
    struct Case
    {
        const char* name;
        double a;
        bool selfAvoiding; // the Heighway dragon never runs along an edge twice
    };
    const Case cases[] = {{"Heighway dragon", 1.0, true}, {"Levy C curve", -1.0, false}};
    for (const Case& c : cases) {
        for (int n = 1; n <= 10; ++n) {
            SCOPED_TRACE(std::string(c.name) + " level " + std::to_string(n));
            const auto segments = Level(c.a, n);
            ASSERT_EQ(segments.size(), std::size_t{1} << n);
            // Every segment is 2^(-n/2) long; the ends of all segments pair up
            // except (0, 0) and (1, 0): one path from 0 to 1.
            std::map<std::pair<long long, long long>, int> ends;
            std::map<std::pair<std::pair<long long, long long>, std::pair<long long, long long>>, int> edges;
            for (const auto& [from, to] : segments) {
                EXPECT_NEAR(std::hypot(to.x - from.x, to.y - from.y), std::pow(2.0, -n / 2.0), 1e-12);
                ++ends[Key(from)];
                ++ends[Key(to)];
                ++edges[std::minmax(Key(from), Key(to))];
            }
            for (const auto& [point, count] : ends) {
                const bool terminal = point == Key({0, 0}) || point == Key({1, 0});
                EXPECT_EQ(count % 2, terminal ? 1 : 0) << point.first << ", " << point.second;
            }
            EXPECT_EQ(ends[Key({0, 0})], 1);
            EXPECT_EQ(ends[Key({1, 0})], 1);
            if (c.selfAvoiding)
                EXPECT_EQ(edges.size(), segments.size());
        }
    }
}

TEST(DragonCurveTest, FirstFrameStepsToTheHeighwayDragonAndTheWalkTurnsAtOneAndAHalf)
{
    AppFrames<gaDragonCurve> run;
    gaDragonCurve& demo = *run.app;
    EXPECT_EQ(demo.core().frameRate, 0); // no setup of its own
    run.BlindFrames(1);                  // frame number 0
    EXPECT_NEAR(demo.a(), 1.0, 1e-9);
    EXPECT_STREQ(gaDragonCurve::curveName(demo.a()), "  Heighway dragon curve");
    run.BlindFrames(9);
    EXPECT_NEAR(demo.a(), 1.0, 1e-9); // until the next multiple of 10

    // Two passes: the walk turns at the first value at or beyond +-1.5 and
    // meets each named curve once per pass.
    double highest = 0, lowest = 0;
    int heighway = 0, levy = 0;
    double last = demo.a();
    for (int frame = 10; frame < 10 + 10 * 60; ++frame) {
        run.BlindFrames(1);
        if (demo.a() != last) {
            last = demo.a();
            highest = std::max(highest, last);
            lowest = std::min(lowest, last);
            heighway += std::string(gaDragonCurve::curveName(last)).find("Heighway") != std::string::npos;
            levy += std::string(gaDragonCurve::curveName(last)).find("Levy") != std::string::npos;
        }
    }
    EXPECT_NEAR(highest, 1.5, 1e-9);
    EXPECT_NEAR(lowest, -1.5, 1e-9);
    // 60 steps from 1.0: up to 1.5, down to -1.5 and up to 1.0 again; each
    // label on the way down and up.
    EXPECT_EQ(heighway, 2);
    EXPECT_EQ(levy, 2);
}

TEST(DragonCurveTest, TwoLeftClicksPauseAndResumeTheWalkInItsDirection)
{
    AppFrames<gaDragonCurve> run;
    gaDragonCurve& demo = *run.app;
    run.BlindFrames(1);
    demo.mousePressed(0, 0, GA_BUTTON_RIGHT); // nothing
    EXPECT_EQ(demo.direction(), 1);
    demo.mousePressed(0, 0, GA_BUTTON_LEFT);
    EXPECT_EQ(demo.direction(), 0);
    const double paused = demo.a();
    run.BlindFrames(30);
    EXPECT_EQ(demo.a(), paused);
    demo.mousePressed(0, 0, GA_BUTTON_LEFT);
    EXPECT_EQ(demo.direction(), 1);
    run.BlindFrames(10);
    EXPECT_NEAR(demo.a(), paused + 0.1, 1e-9);
}

} // namespace
