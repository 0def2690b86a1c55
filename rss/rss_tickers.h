#pragma once
// RssTickers: the RSS tickers the clock has opened. Each command opens one
// more; every ticker is independent. A ticker deletes itself once it has
// closed (at the next turn of the event loop, never inside a handler or a
// message box of its own); those still open when this object goes are deleted
// with it. Either way each is deleted exactly once, and its worker ends first.
#include "rss/feed_download.h"

#include <QPointer>
#include <vector>

class CRssDlg;
class QWidget;

class RssTickers
{
public:
    explicit RssTickers(DownloadLimits limits = {}) : m_limits(limits) {}
    ~RssTickers();
    RssTickers(const RssTickers&) = delete;
    RssTickers& operator=(const RssTickers&) = delete;

    // Opens a new ticker beside the clock, owned by owner (the clock's
    // window), and returns it.
    CRssDlg* Open(QWidget& owner);
    // The tickers open now.
    int Count() const;

private:
    DownloadLimits m_limits;
    std::vector<QPointer<CRssDlg>> m_tickers;
};
