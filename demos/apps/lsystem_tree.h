#pragma once
// gaLsystemTree: three trees from a stochastic L-system, rewritten seven times
// at set-up and drawn as a turtle draws them, one tree a frame on white, with
// random segment lengths, turns and colours from three palettes (stem, leaf,
// blossom). After the third tree the frame loop stops until a left click,
// which draws the same strings again with new random numbers.
#include "demos/core/base_app.h"

#include <string>
#include <vector>

class gaLsystemTree : public gaBaseApp
{
public:
    static constexpr int kRewrites = 7;

    void setup() override;
    void draw() override;
    void mousePressed(int x, int y, int button) override;

    // One rewrite: every F and A replaced by one of its alternatives, chosen
    // uniformly at random; every other symbol copied.
    static std::string rewrite(const std::string& symbols);
    // The axiom "A" rewritten kRewrites times.
    static std::string generate();

    const std::vector<std::string>& strings() const { return m_strings; }
    int nextTree() const { return m_nextTree; }

private:
    void drawTree(const std::string& symbols) const;

    int m_size = 480;
    int m_treeCount = 3;
    int m_nextTree = 0;
    std::vector<std::string> m_strings;
    bool m_clearNext = true;
};
