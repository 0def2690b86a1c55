#pragma once
// gaNebulabrot: the density of escaping Mandelbrot orbits over a fixed grid of
// sample points, one colour channel per orbit length (red up to 2000 steps,
// green up to 200, blue up to 20). Four worker threads sweep a band of grid
// rows each into shared atomic histograms; the user-interface thread repaints
// whatever they hold every frame, with the progress and, once all are done, the
// time it took.
//
// Threads: the workers only read the demo's parameters (fixed after
// construction) and add to the histograms (relaxed increments). Worker 0 stores
// its progress (relaxed); each worker counts itself finished with a release
// increment that the repaint reads with acquire. Destroying the demo sets the
// stop flag, which the workers read at every sample and traced point, and joins
// them: no worker outlives its demo.
#include "demos/core/base_app.h"

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <utility>
#include <vector>

class gaNebulabrot : public gaBaseApp
{
public:
    static constexpr int kSampleGrid = 8186;
    static constexpr int kWorkers = 4;

    // The image is canvasWidth x canvasHeight as they are now; the sample grid
    // has the given columns (real axis) and rows (imaginary axis).
    explicit gaNebulabrot(int sampleColumns = kSampleGrid, int sampleRows = kSampleGrid);
    ~gaNebulabrot() override;

    void setup() override;
    void draw() override;

    // Sweeps worker k's band of grid rows (on worker thread k).
    void renderWorker(int k);

    // Rows first to end (exclusive) of worker k's band.
    static std::pair<int, int> band(int k, int rows, int workers);

    int imageWidth() const { return m_width; }
    int imageHeight() const { return m_height; }
    const std::vector<std::atomic<int>>& red() const { return m_red; }
    const std::vector<std::atomic<int>>& green() const { return m_green; }
    const std::vector<std::atomic<int>>& blue() const { return m_blue; }
    bool finished() const { return m_finished.load(std::memory_order_acquire) >= m_workerCount; }
    int workersRunning() const { return static_cast<int>(m_workers.size()); }

protected:
    // Starts the thread of worker k; throws std::system_error when the system
    // cannot start one.
    virtual std::thread startWorker(int k);

private:
    void trace(double cr, double ci);
    void count(double re, double im, int step);
    void stopWorkers();
    void repaintHistograms() const;
    void drawStatus();

    const int m_width;
    const int m_height;
    const double m_minRe = -2.5; // the plot window
    const double m_minIm = -2.0;
    const double m_maxRe = 1.5;
    const double m_maxIm = 2.0;
    const int m_redSteps = 2000; // channel step limits
    const int m_greenSteps = 200;
    const int m_blueSteps = 20;
    const int m_traceLength = 2000;
    const int m_escapeLength = 2000;
    const bool m_traceBounded = false; // trace the orbits that stay instead of those that escape
    const int m_workerCount = kWorkers;
    const double m_sampleMinRe = -2.5; // the sample window
    const double m_sampleMinIm = -2.0;
    const double m_sampleMaxRe = 1.5;
    const double m_sampleMaxIm = 2.0;
    const int m_columns;
    const int m_rows;
    std::atomic<int> m_finished{0};
    std::vector<std::atomic<int>> m_red;
    std::vector<std::atomic<int>> m_green;
    std::vector<std::atomic<int>> m_blue;
    std::vector<std::thread> m_workers;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_progress{0}; // percent of worker 0's band
    std::chrono::steady_clock::time_point m_start;
    std::chrono::steady_clock::time_point m_end;
    bool m_endRecorded = false;
    bool m_startFailed = false;
};
