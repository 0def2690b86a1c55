#pragma once
// CFeed: one RSS feed fetched and turned into its channel header (CFeedSource)
// and its items (CFeedItem, in document order).
//
// Constructing a CFeed with a URL does all the work at once, on the calling
// thread: the feed is downloaded into a temporary file of its own in the
// download folder (the executable's folder by default), parsed, and the file
// then renamed to "lmd_rss.xml" there, so that no two loads ever read each
// other's half-written file. A failure leaves no items and sets m_strError to
// the text the user is shown ("Failed to download <URL>", "Failed to load XML
// Document"); the caller shows it.
//
// A feed keeps its first kMaxItems items (the parse ends before the next one,
// so that a longer feed takes no more memory) and cuts longer titles at
// kMaxTitleChars: what a ticker holds stays in proportion to what it can show.
//
// The walk over the document compares element names exactly, as written
// (qualified names such as "dc:subject" included, so that one never fills
// "subject"); see feed.cpp for the rules. The parse is safe against hostile
// feeds: no network access, no DTD load, no external entity is ever read, and
// the text that internal entities expand to is bounded.
#include "rss/feed_download.h"

#include <QString>
#include <vector>

struct _xmlNode;

struct CFeedItem
{
    QString author;
    QString category;
    QString description;
    QString link;
    QString pubDate;
    QString subject;
    QString title;
    bool operator==(const CFeedItem&) const = default;
};

struct CFeedSource
{
    QString copyright;
    QString description;
    QString generator;
    QString language;
    QString lastBuildDate;
    QString link;
    QString title;
    QString ttl;
    QString webMaster;
    // The channel's image.
    QString imageDescription;
    QString imageHeight;
    QString imageWidth;
    QString imageLink;
    QString imageTitle;
    QString imageUrl;
};

class CFeed
{
public:
    static constexpr const char* kFileName = "lmd_rss.xml";
    // The longest text taken for one field; the rest is dropped.
    static constexpr qsizetype kMaxFieldChars = 1024 * 1024;
    // The most items a feed keeps, the first in document order: far more than
    // real feeds carry, and a ticker takes well over an hour to show them all.
    static constexpr std::size_t kMaxItems = 1000;
    // The longest item title kept, in UTF-16 code units: a longer one is cut
    // and ends in "…". A title this long takes minutes to scroll past.
    static constexpr qsizetype kMaxTitleChars = 1000;
    // The most text (in UTF-8 bytes) that internal entities expand to in one
    // load, all fields together; later expansions give nothing.
    static constexpr long long kMaxEntityText = 4 * 1024 * 1024;

    CFeed() = default;
    // Loads the feed at url (see Load).
    explicit CFeed(const QString& url, const QString& folder = DefaultFolder(),
                   const DownloadLimits& limits = {}, DownloadCancel* cancel = nullptr);

    // Downloads url, parses it and walks it; everything earlier is dropped first.
    void Load(const QString& url, const QString& folder = DefaultFolder(), const DownloadLimits& limits = {},
              DownloadCancel* cancel = nullptr);
    // Parses a feed file already on disk. False (and no items) when it does not parse.
    bool Parse(const QString& path);

    // The executable's folder, where downloads go.
    static QString DefaultFolder();

    CFeedSource m_source;
    std::vector<CFeedItem> m_items;
    QString m_strError; // empty after a successful load

private:
    void ParseNode(_xmlNode* node);
    void ParseImage(_xmlNode* node);
    void ParseItem(_xmlNode* node);
    void Reset();

    int m_nDepth = 0;
    long long m_entityBudget = 0; // text and nodes internal entities may still expand to
};

// The texts shown for a failed load.
QString DownloadFailedText(const QString& url);
QString ParseFailedText();
