// The branching plants: the L-system's rewriting against counts of its rules
// (uniform choices, closed-form bounds after seven rewrites, a well-formed
// alphabet), the tree's three frames, and the fern's recursion against the
// count its length thresholds give.
#include "demos/apps/barnsley_fern.h"
#include "demos/apps/lsystem_tree.h"
#include "platform/crt.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <string>

namespace {

std::size_t Count(const std::string& text, char symbol)
{
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), symbol));
}

// |observed - n p| within five standard deviations of a binomial count.
void ExpectBinomial(std::size_t observed, std::size_t n, double p, const char* what)
{
    const double mean = static_cast<double>(n) * p;
    const double sigma = std::sqrt(static_cast<double>(n) * p * (1 - p));
    EXPECT_NEAR(static_cast<double>(observed), mean, 5 * sigma) << what;
}

class LsystemTest : public ::testing::Test
{
protected:
    LsystemTest() { crt::srand(3); }
};

TEST_F(LsystemTest, SymbolsWithoutRulesAreCopied)
{
    EXPECT_EQ(gaLsystemTree::rewrite("+-[]BCx"), "+-[]BCx");
    EXPECT_EQ(gaLsystemTree::rewrite(""), "");
}

TEST_F(LsystemTest, StemDoublesThreeTimesInFour)
{
    constexpr std::size_t n = 12000;
    const std::string next = gaLsystemTree::rewrite(std::string(n, 'F'));
    EXPECT_EQ(Count(next, 'F'), next.size());
    ExpectBinomial(next.size() - n, n, 0.75, "doubled stems");
}

// The three apex rules hold 4, 3 and 4 A and 3, 2 and 4 brackets, and are 20, 13
// and 21 symbols long: the counts of A and "[" tell how often each was chosen.
TEST_F(LsystemTest, ApexRulesAreChosenUniformly)
{
    constexpr std::size_t n = 9000;
    const std::string next = gaLsystemTree::rewrite(std::string(n, 'A'));
    const std::size_t second = 4 * n - Count(next, 'A');
    const std::size_t third = Count(next, '[') + second - 3 * n;
    const std::size_t first = n - second - third;
    ExpectBinomial(first, n, 1.0 / 3, "F-[[A]+A]+F[+FA]-ABC");
    ExpectBinomial(second, n, 1.0 / 3, "F[+A]F[-A]ABC");
    ExpectBinomial(third, n, 1.0 / 3, "F[+[FA[-A]F]][-A]FABC");
    EXPECT_EQ(next.size(), 20 * first + 13 * second + 21 * third);
    EXPECT_EQ(Count(next, 'B'), n);
    EXPECT_EQ(Count(next, 'C'), n);
}

// After seven rewrites of "A": only the rules' alphabet, balanced brackets, and
// counts within the closed forms: every rewrite turns each A into 3 or 4 of
// them and adds one B and one C per A, so #A lies in [3^7, 4^7] and
// #B = #C in [1 + 3 + ... + 3^6, 1 + 4 + ... + 4^6].
TEST_F(LsystemTest, SevenRewritesGiveAWellFormedStringWithinTheClosedFormCounts)
{
    for (int tree = 0; tree < 3; ++tree) {
        const std::string symbols = gaLsystemTree::generate();
        EXPECT_EQ(symbols.find_first_not_of("FAB+-[]C"), std::string::npos);
        int depth = 0;
        for (const char symbol : symbols) {
            depth += symbol == '[' ? 1 : symbol == ']' ? -1 : 0;
            ASSERT_GE(depth, 0);
        }
        EXPECT_EQ(depth, 0);
        EXPECT_GE(Count(symbols, 'A'), 2187u);
        EXPECT_LE(Count(symbols, 'A'), 16384u);
        EXPECT_EQ(Count(symbols, 'B'), Count(symbols, 'C'));
        EXPECT_GE(Count(symbols, 'B'), 1093u);
        EXPECT_LE(Count(symbols, 'B'), 5461u);
        EXPECT_GT(symbols.size(), 10000u); // tens of thousands of symbols
    }
}

TEST_F(LsystemTest, ThreeTreesOnThreeFramesThenTheLoopStopsUntilALeftClick)
{
    canvasWidth = 480;
    canvasHeight = 480;
    gaLsystemTree app;
    app.setup();
    ASSERT_EQ(app.strings().size(), 3u);
    EXPECT_NE(app.strings()[0], app.strings()[1]);
    const auto strings = app.strings();
    for (int frame = 1; frame <= 3; ++frame) {
        app.draw();
        EXPECT_EQ(app.nextTree(), frame);
        EXPECT_TRUE(app.core().running);
        EXPECT_EQ(app.core().matrixStack.size(), 0u) << "a tree leaves its pushes balanced";
        EXPECT_TRUE(app.core().matrix.isIdentity());
    }
    EXPECT_FALSE(app.core().autoBackground);
    app.draw();
    EXPECT_FALSE(app.core().running);

    app.mousePressed(10, 10, 2); // the right button does nothing
    EXPECT_FALSE(app.core().running);
    app.mousePressed(10, 10, 0);
    EXPECT_TRUE(app.core().running);
    EXPECT_EQ(app.nextTree(), 0);
    EXPECT_EQ(app.strings(), strings); // the same strings, drawn anew
}

// The recursion the fern's thresholds imply, counted apart from the drawing: a
// stem of length len calls itself at 0.8 len while scale x len > 5 and two side
// fronds at 4 len / 9 while 4 len > 9.
struct Recursion
{
    int calls = 0;
    int deepest = 0;
};

void CountBranches(float len, int scale, int depth, Recursion& total)
{
    ++total.calls;
    total.deepest = std::max(total.deepest, depth);
    if (static_cast<float>(scale) * len > 5)
        CountBranches(len * 0.8f, scale, depth + 1, total);
    if (4 * len > 9) {
        CountBranches(4 * len / 9, scale, depth + 1, total);
        CountBranches(4 * len / 9, scale, depth + 1, total);
    }
}

TEST(BarnsleyFernTest, RecursionPerFrameFollowsTheLengthThresholds)
{
    canvasWidth = 480;
    canvasHeight = 480;
    gaBarnsleyFern2 app;
    app.setup();
    EXPECT_EQ(app.branchLenThreshScale(), 2);
    app.draw();
    EXPECT_EQ(app.lastRecursion().deepest, 19);
    EXPECT_NEAR(app.lastRecursion().calls, 8400, 400);
    EXPECT_EQ(app.core().savedTop, -1) << "every save is restored";
    EXPECT_TRUE(app.core().matrix.isIdentity());

    // Right clicks stop at 0; then the main stem never recurses. Left clicks raise it.
    for (const int button : {2, 2, 2, 2, 0, 0, 0}) {
        app.mousePressed(100, 100, button);
        app.draw();
        Recursion expected;
        CountBranches(100, app.branchLenThreshScale(), 1, expected);
        EXPECT_EQ(app.lastRecursion().calls, expected.calls) << "scale " << app.branchLenThreshScale();
        EXPECT_EQ(app.lastRecursion().deepest, expected.deepest) << "scale " << app.branchLenThreshScale();
        EXPECT_EQ(app.core().savedTop, -1);
    }
    EXPECT_EQ(app.branchLenThreshScale(), 3);
}

TEST(BarnsleyFernTest, ScaleZeroLeavesOnlyTheSideFronds)
{
    canvasWidth = 480;
    canvasHeight = 480;
    gaBarnsleyFern2 app;
    app.mousePressed(0, 0, 2);
    app.mousePressed(0, 0, 2);
    app.mousePressed(0, 0, 2);
    EXPECT_EQ(app.branchLenThreshScale(), 0);
    app.draw();
    // Fronds of 100 (4/9)^k while that exceeds 9/4: k = 0 to 4, a binary tree
    // of 1 + 2 + 4 + 8 + 16 + 32 calls, 6 deep.
    EXPECT_EQ(app.lastRecursion().calls, 63);
    EXPECT_EQ(app.lastRecursion().deepest, 6);
}

} // namespace
