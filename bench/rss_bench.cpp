// Time of reading a feed file into items, as the ticker's worker does after
// each download.
// BM_ParseFeed/<items>: an RSS 2.0 file of <items> items, each with a title,
// link, description, date and two categories (about 400 bytes an item).
#include "rss/feed.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

QByteArray LargeFeed(int items)
{
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><rss version=\"2.0\"><channel>"
                     "<title>Bench</title><link>https://example.org/</link><description>d</description>";
    for (int i = 0; i < items; ++i) {
        const QByteArray n = QByteArray::number(i);
        xml += "<item><title><![CDATA[Headline number " + n +
               " with some words]]></title>"
               "<link>https://example.org/news/" +
               n +
               "</link>"
               "<description>A short summary of story " +
               n +
               ", long enough to look like one &amp; more.</description>"
               "<pubDate>Mon, 07 Dec 2026 10:00:00 "
               "GMT</pubDate><category>world</category><category>news</category>"
               "</item>";
    }
    return xml + "</channel></rss>";
}

void BM_ParseFeed(benchmark::State& state)
{
    const QTemporaryDir folder;
    const QString path = folder.filePath("lmd_rss.xml");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        state.SkipWithError("no temporary file");
        return;
    }
    const QByteArray xml = LargeFeed(static_cast<int>(state.range(0)));
    file.write(xml);
    file.close();
    CFeed feed;
    for (auto _ : state) {
        feed.Parse(path);
        benchmark::DoNotOptimize(feed.m_items.data());
    }
    state.SetBytesProcessed(state.iterations() * xml.size());
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ParseFeed)->Arg(100)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace
