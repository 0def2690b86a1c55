#include "rss/feed_download.h"

#include <QFileInfo>
#include <QIODevice>
#include <QUrl>
#include <curl/curl.h>
#include <libxml/parser.h>
#include <memory>

namespace {

constexpr long kMaxRedirects = 10;
constexpr int kPollMs = 1000;

struct EasyDeleter
{
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct MultiDeleter
{
    void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
};

struct Sink
{
    QIODevice* out;
    long long remaining;
};

size_t WriteReply(char* data, size_t size, size_t count, void* user)
{
    auto* sink = static_cast<Sink*>(user);
    const auto bytes = static_cast<long long>(size * count);
    if (bytes > sink->remaining)
        return 0; // too large: curl ends the transfer as failed
    sink->remaining -= bytes;
    return sink->out->write(data, bytes) == bytes ? size * count : 0;
}

// A file URL must name a regular file: opening a FIFO blocks, a device never ends.
bool AcceptableUrl(const QString& url)
{
    const QUrl parsed(url, QUrl::StrictMode);
    if (!parsed.isValid())
        return false;
    const QString scheme = parsed.scheme().toLower();
    if (scheme == u"file")
        return QFileInfo(parsed.toLocalFile()).isFile();
    return scheme == u"http" || scheme == u"https";
}

} // namespace

// Ties a running transfer to its DownloadCancel for the transfer's life.
class TransferWatch
{
public:
    TransferWatch(DownloadCancel* cancel, CURLM* multi) : m_cancel(cancel)
    {
        if (m_cancel) {
            const std::lock_guard lock(m_cancel->m_mutex);
            m_cancel->m_multi = multi;
        }
    }
    ~TransferWatch()
    {
        if (m_cancel) {
            const std::lock_guard lock(m_cancel->m_mutex);
            m_cancel->m_multi = nullptr;
        }
    }
    TransferWatch(const TransferWatch&) = delete;
    TransferWatch& operator=(const TransferWatch&) = delete;

    bool Cancelled() const { return m_cancel && m_cancel->IsCancelled(); }

private:
    DownloadCancel* m_cancel;
};

void DownloadCancel::Cancel()
{
    m_cancelled.store(true, std::memory_order_release);
    const std::lock_guard lock(m_mutex);
    if (m_multi)
        curl_multi_wakeup(static_cast<CURLM*>(m_multi));
}

void InitFeedLibraries()
{
    static const bool done = [] {
        curl_global_init(CURL_GLOBAL_DEFAULT);
        xmlInitParser();
        return true;
    }();
    (void)done;
}

bool DownloadToDevice(const QString& url, QIODevice& out, const DownloadLimits& limits,
                      DownloadCancel* cancel)
{
    InitFeedLibraries();
    if (!AcceptableUrl(url) || (cancel && cancel->IsCancelled()))
        return false;
    const std::unique_ptr<CURL, EasyDeleter> easy(curl_easy_init());
    const std::unique_ptr<CURLM, MultiDeleter> multi(curl_multi_init());
    if (!easy || !multi)
        return false;
    const QByteArray address = url.toUtf8();
    Sink sink{&out, limits.maxBytes};
    CURL* const e = easy.get();
    curl_easy_setopt(e, CURLOPT_URL, address.constData());
    curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https,file");
    curl_easy_setopt(e, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(e, CURLOPT_MAXREDIRS, kMaxRedirects);
    curl_easy_setopt(e, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT_MS, limits.connectTimeoutMs);
    curl_easy_setopt(e, CURLOPT_TIMEOUT_MS, limits.totalTimeoutMs);
    curl_easy_setopt(e, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limits.maxBytes));
    curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(e, CURLOPT_ACCEPT_ENCODING, ""); // every encoding curl can decode
    curl_easy_setopt(e, CURLOPT_USERAGENT, "Lumidial");
    curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, &WriteReply);
    curl_easy_setopt(e, CURLOPT_WRITEDATA, &sink);
    if (curl_multi_add_handle(multi.get(), e) != CURLM_OK)
        return false;

    CURLcode result = CURLE_ABORTED_BY_CALLBACK;
    {
        const TransferWatch watch(cancel, multi.get());
        int running = 1;
        while (running > 0 && !watch.Cancelled()) {
            if (curl_multi_perform(multi.get(), &running) != CURLM_OK)
                break;
            if (running > 0 && curl_multi_poll(multi.get(), nullptr, 0, kPollMs, nullptr) != CURLM_OK)
                break;
        }
        int queued = 0;
        while (const CURLMsg* message = curl_multi_info_read(multi.get(), &queued)) {
            if (message->msg == CURLMSG_DONE && message->easy_handle == e)
                result = message->data.result;
        }
        if (watch.Cancelled())
            result = CURLE_ABORTED_BY_CALLBACK;
    }
    curl_multi_remove_handle(multi.get(), e);
    return result == CURLE_OK;
}
