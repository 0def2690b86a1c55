#pragma once
// CFeedLoader: loads a CFeed on a worker thread of its own, so that a slow or
// hanging server never holds up the GUI thread, and hands the finished feed to
// a callback on the GUI thread (a queued call to the context object).
//
// One load at a time: starting another cancels the one running, whose result
// is then dropped. Destroying the loader cancels and joins the worker; the
// transfer wakes at once, so this takes no longer than the parse in progress.
// A result posted just before then is dropped with the context object's posted
// events, and a stale one (or one arriving after the loader has gone) is
// recognised by its load number: the callback never runs for a cancelled load.
#include "rss/feed.h"

#include <QObject>
#include <functional>
#include <memory>
#include <thread>

class CFeedLoader
{
public:
    using Done = std::function<void(CFeed& feed)>;

    // context: the GUI-thread object that receives the results (usually the
    // loader's owner); it must outlive the loader.
    CFeedLoader(QObject* context, DownloadLimits limits = {});
    ~CFeedLoader();
    CFeedLoader(const CFeedLoader&) = delete;
    CFeedLoader& operator=(const CFeedLoader&) = delete;

    // Loads url into folder on the worker; done runs on the context's thread.
    void Start(const QString& url, const QString& folder, Done done);
    // Cancels the running load; its result is dropped.
    void Cancel();
    bool IsLoading() const { return m_loading; }

private:
    QObject* m_context;
    DownloadLimits m_limits;
    std::shared_ptr<DownloadCancel> m_cancel;
    std::thread m_worker;
    std::shared_ptr<unsigned> m_generation; // number of the current load
    bool m_loading = false;
};
