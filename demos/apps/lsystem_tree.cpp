#include "demos/apps/lsystem_tree.h"

#include "demos/apps/canvas_fill.h"
#include "platform/crt.h"

#include <algorithm>
#include <array>
#include <span>
#include <string_view>

namespace {

constexpr float kQuarterPi = 0.39269909f; // the turn: pi / 8 plus or minus pi / 16
constexpr float kHalfTurn = 3.1415927f;

constexpr std::array<std::string_view, 4> kStemRules = {"FF", "FF", "FF", "F"};
constexpr std::array<std::string_view, 3> kApexRules = {
    "F-[[A]+A]+F[+FA]-ABC",
    "F[+A]F[-A]ABC",
    "F[+[FA[-A]F]][-A]FABC",
};

constexpr std::array<std::uint32_t, 4> kStemColors = {0xFF8B5A2B, 0xFFA0522D, 0xFF7B3F00, 0xFF6B4226};
constexpr std::array<std::uint32_t, 4> kLeafColors = {0xFF00AA00, 0xFF008000, 0xFFA0A000, 0xFF80AA80};
constexpr std::array<std::uint32_t, 4> kBlossomColors = {0xFFCC0000, 0xFF800000, 0xFFC00080, 0xFFCC5050};

// One of `count` choices from one random number, each as likely.
std::size_t RandomIndex(std::size_t count)
{
    const double scaled = static_cast<double>(crt::rand()) * static_cast<double>(count) / crt::RAND_MAX_VALUE;
    return static_cast<std::size_t>(scaled * 0.9999999);
}

// A number from 0 up to just below 1.
double RandomUnit()
{
    return static_cast<double>(crt::rand()) / crt::RAND_MAX_VALUE * 0.9999999;
}

template <std::size_t N> std::string_view Choose(const std::array<std::string_view, N>& rules)
{
    return rules[RandomIndex(N)];
}

void SetRandomColor(std::span<const std::uint32_t, 4> palette)
{
    gaSetColor(palette[RandomIndex(palette.size())]);
}

} // namespace

std::string gaLsystemTree::rewrite(const std::string& symbols)
{
    std::string next;
    next.reserve(symbols.size() * 3);
    for (const char symbol : symbols) {
        if (symbol == 'F')
            next += Choose(kStemRules);
        else if (symbol == 'A')
            next += Choose(kApexRules);
        else
            next += symbol;
    }
    return next;
}

std::string gaLsystemTree::generate()
{
    std::string symbols = "A";
    for (int i = 0; i < kRewrites; ++i)
        symbols = rewrite(symbols);
    return symbols;
}

void gaLsystemTree::setup()
{
    m_clearNext = true;
    gaSetLineWidth(1.0f);
    m_strings.clear();
    for (int i = 0; i < m_treeCount; ++i)
        m_strings.push_back(generate());
}

void gaLsystemTree::draw()
{
    StartPictureOnce(m_clearNext, 0xFFFFFFFF);
    if (m_nextTree < m_treeCount) {
        drawTree(m_strings[static_cast<std::size_t>(m_nextTree)]);
        ++m_nextTree;
    } else {
        core().running = false;
    }
    gaTranslate(0, 460);
    gaSetColor(0xFF808080);
    gaDrawString(" Left-click to create a new tree.", 0, 0);
}

void gaLsystemTree::drawTree(const std::string& symbols) const
{
    gaPushTransform();
    gaTranslateTransform(static_cast<float>(m_size / 2), static_cast<float>(m_size));
    gaRotateTransform(kHalfTurn);
    for (const char symbol : symbols) {
        const float len = gaRandom(-1, 1) * 3 * 0.5f + 3;
        const float m = gaRandom(-1, 1);
        const float sign = RandomUnit() < 0.5 ? -1.0f : 1.0f;
        const float turn = sign * (m * kQuarterPi * 0.5f + kQuarterPi);
        switch (symbol) {
        case '+':
            gaRotateTransform(-turn);
            break;
        case '-':
            gaRotateTransform(turn);
            break;
        case 'A':
        case 'F':
            SetRandomColor(kStemColors);
            gaDrawLineTransformed(0, 0, 0, len);
            gaTranslateTransform(0, len);
            break;
        case 'B': {
            gaPushTransform();
            SetRandomColor(kLeafColors);
            const float height = std::max(2.0f, gaRandom(2, 4)) * len;
            const float width = std::max(0.3f, gaRandom(0.3f, 1.5f)) * len;
            gaDrawEllipseTransformed(0, 0, width, height);
            gaPopTransform();
            break;
        }
        case 'C':
            if (RandomUnit() < 0.1) {
                gaPushTransform();
                SetRandomColor(kBlossomColors);
                const float d = std::max(1.0f, gaRandom(1, 3)) * len;
                gaDrawEllipseTransformed(0, -len, d, d);
                gaPopTransform();
            }
            break;
        case '[':
            gaPushTransform();
            break;
        case ']':
            gaPopTransform();
            break;
        default:
            break;
        }
    }
    gaPopTransform();
}

void gaLsystemTree::mousePressed(int x, int y, int button)
{
    gaBaseApp::mousePressed(x, y, button);
    if (button != GA_BUTTON_LEFT)
        return;
    m_nextTree = 0;
    m_clearNext = true;
    core().running = true;
}
