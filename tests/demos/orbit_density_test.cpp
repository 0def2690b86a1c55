// The orbit-density fractals: escape of known orbits, the comma-grouped
// counter, the Buddhabrot's symmetry and empty picture, and the Nebulabrot's
// bands, workers and histograms against a plain single-thread sweep.
#include "demos/apps/buddhabrot.h"
#include "demos/apps/nebulabrot.h"
#include "demos/apps/orbit.h"
#include "platform/crt.h"
#include "tests/demos/app_frames.h"
#include "tests/demos/canvas_fixture.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <gtest/gtest.h>
#include <numeric>
#include <system_error>
#include <thread>
#include <vector>

namespace {

using lmd::test::AppFrames;

// --- escape ---------------------------------------------------------------------------

struct EscapeCase
{
    const char* name;
    double cr;
    double ci;
    int expected; // first n with |z_n| > 2, 0 for never
};

TEST(OrbitTest, KnownOrbitsEscapeWhenTheirIteratesLeaveTheDisc)
{
    const EscapeCase cases[] = {
        {"origin stays", 0, 0, 0},
        {"c = -1 cycles 0, -1", -1, 0, 0},
        {"c = -2 sits on |z| = 2", -2, 0, 0},
        {"c = i cycles i, -1 + i, -i", 0, 1, 0},
        {"c = 1: 1, 2, 5", 1, 0, 3},
        {"c = 0.5: 0.5, 0.75, 1.0625, 1.6289, 3.1533", 0.5, 0, 5},
        {"c = 2 + 2i at once", 2, 2, 1},
    };
    for (const EscapeCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(EscapeIteration(c.cr, c.ci, 2000), c.expected);
        EXPECT_EQ(EscapeIteration(static_cast<float>(c.cr), static_cast<float>(c.ci), 200), c.expected);
    }
    EXPECT_EQ(EscapeIteration(0.5, 0.0, 4), 0); // the limit ends the test first
}

// --- Buddhabrot ------------------------------------------------------------------------------

TEST(BuddhabrotTest, FormatWithCommaGroupsThreeDigits)
{
    const std::pair<int, const char*> cases[] = {
        {0, "0"},
        {999, "999"},
        {1000, "1,000"},
        {1234567, "1,234,567"},
        {1000000, "1,000,000"},
        {-1234, "-1,234"},
        {2147483647, "2,147,483,647"},
    };
    for (const auto& [value, text] : cases)
        EXPECT_EQ(gaBuddhabrot::formatWithComma(value), text) << value;
}

TEST(BuddhabrotTest, SeededHistogramIsMirrorSymmetricAcrossTheRealAxis)
{
    crt::srand(1);
    AppFrames<gaBuddhabrot> run;
    gaBuddhabrot& demo = *run.app;
    EXPECT_EQ(demo.core().frameRate, 15);
    EXPECT_FALSE(demo.core().autoBackground);
    for (int frame = 0; frame < 300; ++frame)
        demo.sample();

    // The imaginary axis runs across the columns: fold them about the middle in
    // blocks of 30 columns and compare each block with its mirror.
    const int n = demo.gridSize();
    constexpr int kBlock = 30;
    std::vector<long long> blocks(static_cast<std::size_t>(n / kBlock));
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            blocks[static_cast<std::size_t>(j / kBlock)] +=
                demo.histogram()[static_cast<std::size_t>(i * n + j)];
    const long long total = std::accumulate(blocks.begin(), blocks.end(), 0LL);
    ASSERT_GT(total, 1000000);
    long long asymmetry = 0;
    for (std::size_t b = 0; b < blocks.size() / 2; ++b)
        asymmetry += std::llabs(blocks[b] - blocks[blocks.size() - 1 - b]);
    EXPECT_LT(static_cast<double>(asymmetry) / static_cast<double>(total), 0.05);
    EXPECT_GT(demo.exposures(), 0);
    EXPECT_LT(demo.exposures(), 300 * 10000);
}

// --- Nebulabrot -------------------------------------------------------------------------------

TEST(NebulabrotTest, BandsCoverEveryRowOnce)
{
    const std::vector<std::pair<int, int>> expected = {{0, 2046}, {2046, 4093}, {4093, 6139}, {6139, 8186}};
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(gaNebulabrot::band(k, 8186, 4), expected[static_cast<std::size_t>(k)]);

    for (const int rows : {0, 1, 3, 4, 7, 100, 8186}) {
        for (const int workers : {1, 2, 4, 5}) {
            std::vector<int> covered(static_cast<std::size_t>(rows));
            for (int k = 0; k < workers; ++k) {
                const auto [first, end] = gaNebulabrot::band(k, rows, workers);
                for (int row = first; row < end; ++row)
                    ++covered.at(static_cast<std::size_t>(row));
            }
            EXPECT_TRUE(std::all_of(covered.begin(), covered.end(), [](int c) { return c == 1; }))
                << rows << " rows, " << workers << " workers";
        }
    }
}

// The sweep written out on one thread: every grid point whose orbit leaves the
// radius-2 disc within 2000 steps is traced for 2001 steps from z = c, and each
// point inside the window counts in the channels whose step limit it is under.
struct Histograms
{
    std::vector<int> red, green, blue;
};

Histograms SingleThreadSweep(int columns, int rows, int width, int height)
{
    const std::size_t cells = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    Histograms h{std::vector<int>(cells), std::vector<int>(cells), std::vector<int>(cells)};
    for (int i = 0; i < rows; ++i) {
        const double ci = -2.0 + 4.0 * i / rows;
        for (int j = 0; j < columns; ++j) {
            const double cr = -2.5 + 4.0 * j / columns;
            double x = 0, y = 0;
            bool escapes = false;
            for (int n = 0; n <= 2000 && !escapes; ++n) {
                escapes = x * x + y * y > 4;
                const double nx = x * x - y * y + cr;
                y = 2 * x * y + ci;
                x = nx;
            }
            if (!escapes)
                continue;
            x = cr;
            y = ci;
            for (int l = 0; l <= 2000; ++l) {
                const double nx = x * x - y * y + cr;
                y = 2 * x * y + ci;
                x = nx;
                if (!(x >= -2.5 && x <= 1.5 && y >= -2.0 && y <= 2.0))
                    continue;
                const long px = std::lround((x + 2.5) / 4.0 * (width - 1));
                const long py = std::lround((y + 2.0) / 4.0 * (height - 1));
                const auto cell = static_cast<std::size_t>(py * width + px);
                h.red[cell] += l < 2000;
                h.green[cell] += l < 200;
                h.blue[cell] += l < 20;
            }
        }
    }
    return h;
}

std::vector<int> Loads(const std::vector<std::atomic<int>>& histogram)
{
    std::vector<int> values;
    for (const std::atomic<int>& cell : histogram)
        values.push_back(cell.load());
    return values;
}

bool WaitUntil(const std::function<bool()>& done, std::chrono::seconds limit = std::chrono::seconds(60))
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::yield();
    }
    return true;
}

class NebulabrotGridTest : public ::testing::Test
{
protected:
    static constexpr int kColumns = 90;
    static constexpr int kRows = 70;
    static constexpr int kWidth = 48;
    static constexpr int kHeight = 48;
    template <class App> using Frames = AppFrames<App, kWidth>; // the image is the canvas
};

TEST_F(NebulabrotGridTest, FourWorkersCountExactlyWhatOneThreadCounts)
{
    Frames<gaNebulabrot> run(kColumns, kRows);
    const gaNebulabrot& demo = *run.app;
    EXPECT_EQ(demo.imageWidth(), kWidth);
    EXPECT_EQ(demo.workersRunning(), 4);
    ASSERT_TRUE(WaitUntil([&] { return demo.finished(); }));

    const Histograms reference = SingleThreadSweep(kColumns, kRows, kWidth, kHeight);
    const std::vector<int> red = Loads(demo.red());
    const std::vector<int> green = Loads(demo.green());
    const std::vector<int> blue = Loads(demo.blue());
    EXPECT_EQ(red, reference.red);
    EXPECT_EQ(green, reference.green);
    EXPECT_EQ(blue, reference.blue);
    for (std::size_t cell = 0; cell < red.size(); ++cell)
        ASSERT_TRUE(red[cell] >= green[cell] && green[cell] >= blue[cell]) << cell;
    EXPECT_GT(std::accumulate(blue.begin(), blue.end(), 0), 0);
}

TEST(NebulabrotTest, DestroyingWhileRenderingStopsAndJoinsTheWorkers)
{
    canvasWidth = 480;
    canvasHeight = 480;
    auto demo = std::make_unique<gaNebulabrot>();
    demo->MakeCurrent();
    demo->setup();
    ASSERT_TRUE(WaitUntil([&] {
        const auto& red = demo->red();
        return std::any_of(red.begin(), red.end(), [](const std::atomic<int>& c) { return c.load() > 0; });
    }));
    EXPECT_FALSE(demo->finished());
    const auto before = std::chrono::steady_clock::now();
    demo.reset();
    const auto joined =
        std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - before);
    std::printf("workers joined in %lld us\n", static_cast<long long>(joined.count()));
}

} // namespace
