#include "rss/feed_loader.h"

#include <QMetaObject>

CFeedLoader::CFeedLoader(QObject* context, DownloadLimits limits)
    : m_context(context), m_limits(limits), m_generation(std::make_shared<unsigned>(0))
{
}

CFeedLoader::~CFeedLoader()
{
    Cancel();
}

void CFeedLoader::Cancel()
{
    ++*m_generation; // whatever is still on its way is stale now
    m_loading = false;
    if (m_cancel)
        m_cancel->Cancel();
    if (m_worker.joinable())
        m_worker.join();
    m_cancel.reset();
}

void CFeedLoader::Start(const QString& url, const QString& folder, Done done)
{
    Cancel();
    m_loading = true;
    m_cancel = std::make_shared<DownloadCancel>();
    auto finish = [this, generation = *m_generation, current = std::weak_ptr<const unsigned>(m_generation),
                   done = std::move(done)](CFeed& feed) {
        const auto now = current.lock();
        if (!now || *now != generation)
            return; // cancelled, replaced, or the loader is gone
        m_loading = false;
        done(feed);
    };
    m_worker = std::thread([context = m_context, limits = m_limits, url, folder, cancel = m_cancel,
                            finish = std::move(finish)]() mutable {
        auto feed = std::make_shared<CFeed>(url, folder, limits, cancel.get());
        if (cancel->IsCancelled())
            return;
        // The context is alive: its loader joins this thread before it goes.
        QMetaObject::invokeMethod(
            context, [feed = std::move(feed), finish = std::move(finish)]() mutable { finish(*feed); },
            Qt::QueuedConnection);
    });
}
