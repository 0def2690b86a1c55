#include "rss/rss_tickers.h"

#include "platform/owned_windows.h"
#include "rss/rss_dlg.h"

#include <algorithm>

RssTickers::~RssTickers()
{
    for (const QPointer<CRssDlg>& ticker : m_tickers)
        delete ticker.data();
}

CRssDlg* RssTickers::Open(QWidget& owner)
{
    std::erase_if(m_tickers, [](const QPointer<CRssDlg>& ticker) { return ticker.isNull(); });
    auto* ticker = new CRssDlg(m_limits); // deleted by its close, or by this object
    ticker->setAttribute(Qt::WA_DeleteOnClose);
    platform::SetOwner(*ticker, owner);
    m_tickers.emplace_back(ticker);
    ticker->OnInitDialog();
    return ticker;
}

int RssTickers::Count() const
{
    return static_cast<int>(std::count_if(m_tickers.begin(), m_tickers.end(),
                                          [](const QPointer<CRssDlg>& ticker) { return !ticker.isNull(); }));
}
