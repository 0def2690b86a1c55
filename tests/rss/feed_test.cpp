// Feed download and parse: feeds served by a loopback HTTP server that the test
// starts, and by file URLs; the walk's element rules; failures with their texts;
// encodings; hostile documents.
#include "rss/feed.h"
#include "tests/rss/http_server_fixture.h"
#include "tests/rss/qt_test_helpers.h"
#include "tests/support/hostile_files.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

using lmd::test::LoopbackHttpServer;

const QByteArray kRss2 = R"(<?xml version="1.0" encoding="UTF-8"?>
<rss version="2.0" xmlns:dc="http://purl.org/dc/elements/1.1/">
  <channel>
    <title>Channel Title</title>
    <link>https://example.org/</link>
    <description>Channel description</description>
    <language>en</language>
    <copyright>(c) Example</copyright>
    <ttl>30</ttl>
    <image>
      <title>Image Title</title>
      <url>https://example.org/logo.png</url>
      <link>https://example.org/</link>
      <width>88</width>
      <height>31</height>
    </image>
    <item>
      <title><![CDATA[First <b>item</b> & more]]></title>
      <link>https://example.org/1</link>
      <category>old</category>
      <category>new</category>
      <dc:subject>tagged</dc:subject>
      <pubDate>Mon, 07 Dec 2026 10:00:00 GMT</pubDate>
    </item>
    <item>
      <title>Second &amp; last</title>
      <link>https://example.org/2</link>
      <subject>plain subject</subject>
      <author>me@example.org</author>
      <language>fr</language>
    </item>
    <item/>
  </channel>
</rss>
)";

class FeedTest : public ::testing::Test
{
protected:
    CFeed Load(const QString& url, const DownloadLimits& limits = {}) const
    {
        return CFeed(url, m_folder.path(), limits);
    }
    QString WriteFile(const QString& name, const QByteArray& bytes) const
    {
        const QString path = m_folder.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
    QString Serve(const QByteArray& path, const QByteArray& body)
    {
        m_server.Route(path, {200, body});
        return m_server.Url(path);
    }
    QStringList FolderFiles() const { return QDir(m_folder.path()).entryList(QDir::Files | QDir::Hidden); }

    QTemporaryDir m_folder;
    LoopbackHttpServer m_server;
};

TEST_F(FeedTest, Rss2ChannelItemsAndImageFromTheServer)
{
    const CFeed feed = Load(Serve("/feed.xml", kRss2));
    EXPECT_EQ(feed.m_strError, "");

    // The channel's own title, link and description, not an image's or an item's.
    EXPECT_EQ(feed.m_source.title, "Channel Title");
    EXPECT_EQ(feed.m_source.link, "https://example.org/");
    EXPECT_EQ(feed.m_source.description, "Channel description");
    EXPECT_EQ(feed.m_source.copyright, "(c) Example");
    EXPECT_EQ(feed.m_source.ttl, "30");
    // An item's "language" overwrites the channel's: the rule has no depth.
    EXPECT_EQ(feed.m_source.language, "fr");
    EXPECT_EQ(feed.m_source.imageTitle, "Image Title");
    EXPECT_EQ(feed.m_source.imageUrl, "https://example.org/logo.png");
    EXPECT_EQ(feed.m_source.imageWidth, "88");
    EXPECT_EQ(feed.m_source.imageHeight, "31");

    ASSERT_EQ(feed.m_items.size(), 3u); // the empty item too
    const CFeedItem& first = feed.m_items[0];
    EXPECT_EQ(first.title, "First <b>item</b> & more"); // CDATA as plain text
    EXPECT_EQ(first.link, "https://example.org/1");
    EXPECT_EQ(first.category, "new"); // the second wins
    EXPECT_EQ(first.subject, "");     // "dc:subject" is not "subject"
    EXPECT_EQ(first.pubDate, "Mon, 07 Dec 2026 10:00:00 GMT");
    EXPECT_EQ(feed.m_items[1].title, "Second & last");
    EXPECT_EQ(feed.m_items[1].subject, "plain subject");
    EXPECT_EQ(feed.m_items[1].author, "me@example.org");
    EXPECT_EQ(feed.m_items[2], CFeedItem{});

    // The download is kept as lmd_rss.xml, and no temporary file is left.
    EXPECT_EQ(FolderFiles(), QStringList{"lmd_rss.xml"});
    QFile kept(m_folder.filePath("lmd_rss.xml"));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), kRss2);
}

TEST_F(FeedTest, FileUrlsAndRedirectsLoadToo)
{
    const QString path = WriteFile("local.xml", kRss2);
    EXPECT_EQ(Load(QUrl::fromLocalFile(path).toString()).m_items.size(), 3u);

    Serve("/real.xml", kRss2);
    m_server.Route("/moved", {302, {}, "/real.xml"});
    const CFeed moved = Load(m_server.Url("/moved"));
    EXPECT_EQ(moved.m_strError, "");
    EXPECT_EQ(moved.m_items.size(), 3u);
}

// Element names are compared exactly, as written; RSS 1.0 keeps its items
// beside the channel; Atom's entries are not items and bring no message.
TEST_F(FeedTest, OtherFormatsFollowTheSameRules)
{
    struct Case
    {
        const char* name;
        QByteArray xml;
        std::vector<QString> titles;
    };
    const Case cases[] = {
        {"rss 1.0",
         R"(<?xml version="1.0"?>
<rdf:RDF xmlns:rdf="http://www.w3.org/1999/02/22-rdf-syntax-ns#" xmlns="http://purl.org/rss/1.0/">
  <channel rdf:about="https://example.org/"><title>One</title></channel>
  <item rdf:about="https://example.org/a"><title>A</title><link>https://example.org/a</link></item>
  <item rdf:about="https://example.org/b"><title>B</title><link>https://example.org/b</link></item>
</rdf:RDF>)",
         {"A", "B"}},
        {"atom",
         R"(<?xml version="1.0"?>
<feed xmlns="http://www.w3.org/2005/Atom"><title>Atom</title>
  <entry><title>E</title><link href="https://example.org/e"/></entry></feed>)",
         {}},
        {"case matters",
         R"(<rss><channel><Item><title>no</title></Item><ITEM/><item><Title>x</Title></item></channel></rss>)",
         {""}},
        {"prefixed item",
         R"(<rss xmlns:x="urn:x"><channel><x:item><title>no</title></x:item></channel></rss>)",
         {}},
        {"internal entity",
         R"(<!DOCTYPE rss [<!ENTITY co "Acme">]><rss><channel><item><title>&co; news</title></item></channel></rss>)",
         {"Acme news"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CFeed feed = Load(QUrl::fromLocalFile(WriteFile("case.xml", c.xml)).toString());
        EXPECT_EQ(feed.m_strError, "");
        std::vector<QString> titles;
        for (const CFeedItem& item : feed.m_items)
            titles.push_back(item.title);
        EXPECT_EQ(titles, c.titles);
    }
}

TEST_F(FeedTest, FailuresGiveTheirTextsAndNoItems)
{
    const QString missing = m_server.Url("/missing.xml");
    const QString refused = QStringLiteral("http://127.0.0.1:%1/feed.xml").arg(lmd::test::RefusedPort());
    m_server.Route("/error", {500, kRss2});
    const QString serverError = m_server.Url("/error");
    const QString secret = WriteFile("secret.xml", kRss2);
    m_server.Route("/to-file", {302, {}, QUrl::fromLocalFile(secret).toEncoded()});
    const QString toFile = m_server.Url("/to-file"); // a server may not reach local files
    const QString malformed = Serve("/bad.xml", "<rss><channel><item><title>x</channel></rss>");
    const QString notXml = Serve("/empty.xml", "");
    const QString fifo = m_folder.filePath("fifo.xml");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString fifoUrl = QUrl::fromLocalFile(fifo).toString();

    struct Case
    {
        QString url;
        QString error;
    };
    const Case cases[] = {
        {missing, "Failed to download " + missing},
        {refused, "Failed to download " + refused},
        {serverError, "Failed to download " + serverError},
        {toFile, "Failed to download " + toFile},
        {fifoUrl, "Failed to download " + fifoUrl}, // never opened: it would block
        {QStringLiteral("ftp://127.0.0.1/feed.xml"), "Failed to download ftp://127.0.0.1/feed.xml"},
        {QString(), "Failed to download "},
        {malformed, "Failed to load XML Document"},
        {notXml, "Failed to load XML Document"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url.toStdString());
        const CFeed feed = Load(c.url);
        EXPECT_EQ(feed.m_strError, c.error);
        EXPECT_TRUE(feed.m_items.empty());
    }
    // Failed downloads leave no temporary file behind.
    EXPECT_FALSE(FolderFiles().join(' ').contains("lmd_rss.xml."));
}

TEST_F(FeedTest, ARepliesBeyondTheSizeLimitIsRefused)
{
    DownloadLimits limits;
    limits.maxBytes = kRss2.size() - 1;
    const QString url = Serve("/feed.xml", kRss2);
    EXPECT_EQ(Load(url, limits).m_strError, "Failed to download " + url);
    limits.maxBytes = kRss2.size();
    EXPECT_EQ(Load(url, limits).m_items.size(), 3u);
}

TEST_F(FeedTest, AShiftJisFeedDecodes)
{
    const QString title = QStringLiteral("東京の天気・ニュース");
    QStringEncoder shiftJis("Shift_JIS");
    ASSERT_TRUE(shiftJis.isValid());
    const QByteArray body = "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?><rss><channel><title>" +
                            QByteArray(shiftJis(QStringLiteral("チャンネル"))) + "</title><item><title>" +
                            QByteArray(shiftJis(title)) + "</title></item></channel></rss>";
    ASSERT_FALSE(body.contains(title.toUtf8()));
    const CFeed feed = Load(Serve("/sjis.xml", body));
    EXPECT_EQ(feed.m_strError, "");
    EXPECT_EQ(feed.m_source.title, QStringLiteral("チャンネル"));
    ASSERT_EQ(feed.m_items.size(), 1u);
    EXPECT_EQ(feed.m_items[0].title, title);
}

// External entities and DTDs are never read, local or remote; an entity bomb
// ends quickly with bounded text.
TEST_F(FeedTest, HostileDocumentsLeakNothingAndStayBounded)
{
    const QByteArray secret = "TOP-SECRET-7f3a";
    const QString secretPath = WriteFile("secret.txt", secret);
    const QByteArray secretUrl = QUrl::fromLocalFile(secretPath).toEncoded();
    m_server.Route("/evil.dtd", {200, "<!ENTITY leak \"" + secret + "\">"});
    const QByteArray dtdUrl = m_server.Url("/evil.dtd").toUtf8();

    const QByteArray documents[] = {
        "<!DOCTYPE rss [<!ENTITY xxe SYSTEM \"" + secretUrl +
            "\">]><rss><channel><title>&xxe;</title><item><title>&xxe;</title></item></channel></rss>",
        "<!DOCTYPE rss [<!ENTITY % ext SYSTEM \"" + dtdUrl +
            "\"> %ext;]><rss><channel><item><title>&leak;</title></item></channel></rss>",
        "<!DOCTYPE rss SYSTEM \"" + dtdUrl +
            "\"><rss><channel><item><title>&leak;</title></item></channel></rss>",
    };
    for (const QByteArray& document : documents) {
        SCOPED_TRACE(document.toStdString());
        const CFeed feed = Load(Serve("/xxe.xml", document));
        EXPECT_FALSE(feed.m_source.title.contains(QString::fromLatin1(secret)));
        for (const CFeedItem& item : feed.m_items)
            EXPECT_FALSE(item.title.contains(QString::fromLatin1(secret)));
    }
    EXPECT_EQ(m_server.Requests("/evil.dtd"), 0);

    QByteArray bomb = "<!DOCTYPE rss [<!ENTITY a0 \"lolololololololololololololololololololol\">";
    for (int level = 1; level <= 12; ++level)
        bomb += QStringLiteral("<!ENTITY a%1 \"%2\">")
                    .arg(level)
                    .arg(QStringLiteral("&a%1;").arg(level - 1).repeated(10))
                    .toUtf8();
    bomb +=
        "]><rss><channel><title>&a12;</title><item><title>&a12;</title><description>&a11;&a12;</description>"
        "</item></channel></rss>";
    const CFeed feed = Load(Serve("/bomb.xml", bomb));
    EXPECT_LE(feed.m_source.title.size(), CFeed::kMaxFieldChars);
    for (const CFeedItem& item : feed.m_items) {
        EXPECT_LE(item.title.size(), CFeed::kMaxFieldChars);
        EXPECT_LE(item.description.size(), CFeed::kMaxFieldChars);
    }
}

// A compressed file is not unpacked behind the ticker's back (it could grow
// without bound): it does not parse.
TEST_F(FeedTest, ACompressedFileIsNotUnpacked)
{
    const QString plain = WriteFile("packed.xml", kRss2);
    QProcess gzip;
    gzip.start("gzip", {"-n", plain});
    ASSERT_TRUE(gzip.waitForFinished() && gzip.exitCode() == 0);
    const QString packed = QUrl::fromLocalFile(plain + ".gz").toString();
    const CFeed feed = Load(packed);
    EXPECT_EQ(feed.m_strError, "Failed to load XML Document");
    EXPECT_TRUE(feed.m_items.empty());
}

// What is no feed file where the feed should be fails at once, with no items.
TEST_F(FeedTest, WhatIsNoFeedFileDoesNotParse)
{
    const QString path = m_folder.filePath(CFeed::kFileName);
    for (const lmd::test::HostileCase& c : lmd::test::kHostileFiles) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(lmd::test::PlaceHostileFile(path, c.kind, platform::FileKind::Feed, kRss2));
        CFeed feed;
        EXPECT_FALSE(feed.Parse(path));
        EXPECT_TRUE(feed.m_items.empty());
        EXPECT_EQ(feed.m_source.title, "");
    }
}

// Entities that the parser lets through still expand within one budget per load.
TEST_F(FeedTest, EntityExpansionStaysWithinItsBudget)
{
    const QByteArray text(10000, 'x');
    QByteArray document = "<!DOCTYPE rss [<!ENTITY a0 \"" + text + "\"><!ENTITY a1 \"" +
                          QByteArray("&a0;").repeated(5) + "\"><!ENTITY a2 \"" +
                          QByteArray("&a1;").repeated(5) + "\">]><rss><channel>";
    constexpr int kItems = 100; // 250 KB each: 25 MB in all without the budget
    for (int i = 0; i < kItems; ++i)
        document += "<item><description>&a2;</description></item>";
    document += "</channel></rss>";
    const CFeed feed = Load(Serve("/entities.xml", document));
    EXPECT_EQ(feed.m_strError, "");
    ASSERT_EQ(feed.m_items.size(), std::size_t{kItems});
    EXPECT_EQ(feed.m_items[0].description, QString::fromLatin1(text.repeated(25)));
    long long total = 0;
    for (const CFeedItem& item : feed.m_items)
        total += item.description.size();
    EXPECT_LE(total, CFeed::kMaxEntityText);
    EXPECT_GT(total, CFeed::kMaxEntityText / 2);
}

// A title longer than the bound is cut, its last character an ellipsis, and
// never between the halves of a surrogate pair; shorter ones stay whole.
TEST_F(FeedTest, TitlesAreKeptUpToTheirBound)
{
    const qsizetype max = CFeed::kMaxTitleChars;
    const QString ellipsis(QChar(0x2026));
    const QString emoji = QString::fromUcs4(U"\U0001F600"); // two code units
    const QString fits = QString(max, u'a');
    struct Case
    {
        const char* name;
        QString title;
        QString kept;
    };
    const Case cases[] = {
        {"short", "Headline", "Headline"},
        {"exactly the bound", fits, fits},
        {"one more", fits + "b", QString(max - 1, u'a') + ellipsis},
        {"half a megabyte", QString(500'000, u'x'), QString(max - 1, u'x') + ellipsis},
        {"a pair across the cut", QString(max - 2, u'a') + emoji + "tail", QString(max - 2, u'a') + ellipsis},
        {"a pair before the cut", QString(max - 3, u'a') + emoji + "tail", QString(max - 3, u'a') + emoji + ellipsis},
    };
    QByteArray xml = "<rss><channel>";
    for (const Case& c : cases)
        xml += "<item><title>" + c.title.toUtf8() + "</title><link>https://example.org/</link></item>";
    xml += "</channel></rss>";
    const CFeed feed = Load(QUrl::fromLocalFile(WriteFile("titles.xml", xml)).toString());
    EXPECT_EQ(feed.m_strError, "");
    ASSERT_EQ(feed.m_items.size(), std::size(cases));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].name);
        const QString& title = feed.m_items[i].title;
        EXPECT_EQ(title.size(), cases[i].kept.size());
        EXPECT_TRUE(title == cases[i].kept) << "ends in \"" << title.right(8).toStdString() << '"';
        EXPECT_EQ(feed.m_items[i].link, "https://example.org/");
    }
}

// A 30 MB feed of 400,000 items, the first with a title of 500,000 characters:
// the feed keeps its first items up to the bound, each title within its own.
TEST_F(FeedTest, AHugeFeedKeepsItsFirstItemsUpToTheBound)
{
    constexpr int kItems = 400'000;
    QByteArray xml = "<?xml version=\"1.0\"?><rss version=\"2.0\"><channel><title>Huge</title>";
    xml.reserve(31'000'000);
    xml += "<item><title>" + QByteArray(500'000, 'w') + "</title><link>http://e.org/0</link></item>";
    for (int i = 1; i < kItems; ++i) {
        const QByteArray n = QByteArray::number(i);
        xml += "<item><title>Headline " + n + "</title><link>http://e.org/" + n + "</link></item>";
    }
    xml += "</channel></rss>";
    ASSERT_GT(xml.size(), 28'000'000);
    ASSERT_LT(xml.size(), kMaxFeedBytes);

    CFeed feed;
    ASSERT_TRUE(feed.Parse(WriteFile("huge.xml", xml)));
    EXPECT_EQ(feed.m_source.title, "Huge");
    ASSERT_EQ(feed.m_items.size(), CFeed::kMaxItems);
    EXPECT_EQ(feed.m_items[0].title.size(), CFeed::kMaxTitleChars);
    EXPECT_EQ(feed.m_items[1].title, "Headline 1");
    const std::size_t last = CFeed::kMaxItems - 1;
    EXPECT_EQ(feed.m_items[last].title, QStringLiteral("Headline %1").arg(last));
    EXPECT_EQ(feed.m_items[last].link, QStringLiteral("http://e.org/%1").arg(last));
}

// A second feed of its own in the same folder replaces lmd_rss.xml whole.
TEST_F(FeedTest, EachLoadReplacesTheKeptFileWhole)
{
    Load(Serve("/one.xml", kRss2));
    const QByteArray second = "<rss><channel><item><title>only</title></item></channel></rss>";
    EXPECT_EQ(Load(Serve("/two.xml", second)).m_items.size(), 1u);
    QFile kept(m_folder.filePath("lmd_rss.xml"));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), second);
    EXPECT_EQ(FolderFiles(), QStringList{"lmd_rss.xml"});
}

} // namespace
