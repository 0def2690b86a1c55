#include "demos/apps/nebulabrot.h"

#include "demos/apps/orbit.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <system_error>

namespace {

constexpr std::uint32_t kProgressColour = 0xFF99D9EA;
constexpr std::uint32_t kFinishedColour = 0xFFFFFFFF;

// min + (max - min) * t with t clamped to 0..1.
double Lerp(double min, double max, double t)
{
    if (t <= 0)
        return min;
    if (t >= 1)
        return max;
    return min + (max - min) * t;
}

// The nearest of 0..cells-1 to the fraction (clamped) of the way across.
int Cell(double fraction, int cells)
{
    return static_cast<int>(std::lround(std::clamp(fraction, 0.0, 1.0) * (cells - 1)));
}

int Maximum(const std::vector<std::atomic<int>>& histogram)
{
    int maximum = INT_MIN;
    for (const std::atomic<int>& cell : histogram)
        maximum = std::max(maximum, cell.load(std::memory_order_relaxed));
    return maximum;
}

// 255 x 2t / (1 + t) with t = count / maximum: 0 for no count, 255 at the maximum.
std::uint32_t ChannelByte(int count, int maximum)
{
    if (count <= 0 || maximum <= 0)
        return 0;
    const double t = static_cast<double>(count) / maximum;
    return static_cast<std::uint32_t>(255 * std::clamp(2 / (1 + 1 / t), 0.0, 1.0));
}

} // namespace

gaNebulabrot::gaNebulabrot(int sampleColumns, int sampleRows)
    : m_width(canvasWidth), m_height(canvasHeight), m_columns(sampleColumns), m_rows(sampleRows),
      m_red(static_cast<std::size_t>(m_width) * static_cast<std::size_t>(m_height)), m_green(m_red.size()),
      m_blue(m_red.size())
{
}

gaNebulabrot::~gaNebulabrot()
{
    stopWorkers();
}

std::pair<int, int> gaNebulabrot::band(int k, int rows, int workers)
{
    return {k * rows / workers, std::min((k + 1) * rows / workers, rows)};
}

void gaNebulabrot::setup()
{
    core().frameRate = 15;
    core().autoBackground = false;
    m_start = std::chrono::steady_clock::now();
    try {
        for (int k = 0; k < m_workerCount; ++k)
            m_workers.push_back(startWorker(k));
    } catch (const std::system_error&) {
        // Without all its workers the sweep would never finish: none runs.
        stopWorkers();
        m_startFailed = true;
    }
}

std::thread gaNebulabrot::startWorker(int k)
{
    return std::thread(&gaNebulabrot::renderWorker, this, k);
}

void gaNebulabrot::stopWorkers()
{
    m_stop.store(true, std::memory_order_relaxed);
    for (std::thread& worker : m_workers)
        worker.join();
    m_workers.clear();
}

void gaNebulabrot::renderWorker(int k)
{
    const auto [first, end] = band(k, m_rows, m_workerCount);
    for (int i = first; i < end; ++i) {
        if (k == 0)
            m_progress.store(100 * i / end, std::memory_order_relaxed);
        const double ci = Lerp(m_sampleMinIm, m_sampleMaxIm, static_cast<double>(i) / m_rows);
        for (int j = 0; j < m_columns; ++j) {
            if (m_stop.load(std::memory_order_relaxed))
                return;
            const double cr = Lerp(m_sampleMinRe, m_sampleMaxRe, static_cast<double>(j) / m_columns);
            const bool escapes = EscapeIteration(cr, ci, m_escapeLength) != 0;
            if (escapes != m_traceBounded)
                trace(cr, ci);
        }
    }
    m_finished.fetch_add(1, std::memory_order_release);
}

void gaNebulabrot::trace(double cr, double ci)
{
    double re = cr;
    double im = ci;
    for (int l = 0; l <= m_traceLength; ++l) {
        if (m_stop.load(std::memory_order_relaxed))
            return;
        const double next = re * re - im * im + cr;
        im = 2 * re * im + ci;
        re = next;
        if (!std::isfinite(re) || !std::isfinite(im))
            return; // it stays so: nothing further is counted
        if (re >= m_minRe && re <= m_maxRe && im >= m_minIm && im <= m_maxIm)
            count(re, im, l);
    }
}

void gaNebulabrot::count(double re, double im, int step)
{
    const int x = Cell((re - m_minRe) / (m_maxRe - m_minRe), m_width);
    const int y = Cell((im - m_minIm) / (m_maxIm - m_minIm), m_height);
    const auto cell =
        static_cast<std::size_t>(y) * static_cast<std::size_t>(m_width) + static_cast<std::size_t>(x);
    if (step < m_redSteps)
        m_red[cell].fetch_add(1, std::memory_order_relaxed);
    if (step < m_greenSteps)
        m_green[cell].fetch_add(1, std::memory_order_relaxed);
    if (step < m_blueSteps)
        m_blue[cell].fetch_add(1, std::memory_order_relaxed);
}

void gaNebulabrot::draw()
{
    gaSetColor(0xFF000000);
    gaDrawRectangle(0, 0, static_cast<float>(canvasWidth), static_cast<float>(canvasHeight));
    repaintHistograms();
    drawStatus();
}

void gaNebulabrot::repaintHistograms() const
{
    const int maxR = Maximum(m_red);
    const int maxG = Maximum(m_green);
    const int maxB = Maximum(m_blue);
    // A quarter turn: the real axis runs down, the imaginary axis from right to left.
    for (int i = 0; i < m_height; ++i) {
        for (int j = 0; j < m_width; ++j) {
            const auto cell =
                static_cast<std::size_t>(i) * static_cast<std::size_t>(m_width) + static_cast<std::size_t>(j);
            const std::uint32_t r = ChannelByte(m_red[cell].load(std::memory_order_relaxed), maxR);
            const std::uint32_t g = ChannelByte(m_green[cell].load(std::memory_order_relaxed), maxG);
            const std::uint32_t b = ChannelByte(m_blue[cell].load(std::memory_order_relaxed), maxB);
            gaSetColor(0xFF000000 | r << 16 | g << 8 | b);
            gaDrawRectangle(static_cast<float>(m_width - 1 - i), static_cast<float>(j), 1, 1);
        }
    }
}

void gaNebulabrot::drawStatus()
{
    if (m_startFailed) {
        gaSetColor(kFinishedColour);
        gaDrawString("Rendering threads could not be started.", 0, 0);
        return;
    }
    if (!finished()) {
        gaSetColor(kProgressColour);
        gaDrawString("Progress " + gaToString(m_progress.load(std::memory_order_relaxed)) + " %", 400, 0);
        return;
    }
    gaSetColor(kFinishedColour);
    gaDrawString("Finished rendering!", 0, 0);
    if (!m_endRecorded) {
        m_end = std::chrono::steady_clock::now();
        m_endRecorded = true;
    }
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(m_end - m_start).count();
    gaDrawString("Elapsed time: " + gaToString(static_cast<int>(seconds)) + " [sec]", 120, 0);
}
