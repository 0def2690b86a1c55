#pragma once
// Downloading a feed with libcurl: http, https and file URLs; redirects are
// followed (to http and https only, at most kMaxRedirects); an HTTP error status
// is a failure; connecting and the whole transfer have time limits; a reply
// larger than the byte limit is refused. A file URL must name a regular file
// (a FIFO or device would block or never end).
//
// A download can be cancelled from any thread through its DownloadCancel: the
// transfer wakes at once and ends as a failure.
#include "platform/run_time_files.h"

#include <QString>
#include <atomic>
#include <mutex>

class QIODevice;

// The largest feed the ticker takes, downloaded or parsed.
inline constexpr long long kMaxFeedBytes = platform::MaxFileBytes(platform::FileKind::Feed);

struct DownloadLimits
{
    long connectTimeoutMs = 10'000;
    long totalTimeoutMs = 60'000;
    long long maxBytes = kMaxFeedBytes;
};

class DownloadCancel
{
public:
    // Ends the download that runs with this object (and any later one) as soon
    // as possible. Any thread.
    void Cancel();
    bool IsCancelled() const { return m_cancelled.load(std::memory_order_acquire); }

private:
    friend class TransferWatch;
    std::atomic<bool> m_cancelled{false};
    std::mutex m_mutex;
    void* m_multi = nullptr; // the running transfer's curl multi handle
};

// Downloads url into out (open for writing). False on any failure, cancellation
// included; out may then hold part of the reply.
bool DownloadToDevice(const QString& url, QIODevice& out, const DownloadLimits& limits = {},
                      DownloadCancel* cancel = nullptr);

// libcurl and libxml2 set up for use on any thread; called by the first download
// or parse (and safe to call again).
void InitFeedLibraries();
