// Time of one tick of the ticker on the display: its copies move a pixel and
// the strip repaints its text area, as the ticker's timer does 60 times a second.
// BM_TickerTick/<chars>: twenty headlines of the ticker's own font and size,
// the first of <chars> characters (60: a normal feed; 350000: a headline
// thousands of strips long), that first headline filling the strip.
#include "platform/dialog.h"
#include "rss/scroll_link.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QWindow>
#include <benchmark/benchmark.h>

namespace {

QString Headline(int length)
{
    const QString words = QStringLiteral("Markets rally 4.2% as rates hold; 東京は晴れ。");
    QString text;
    while (text.size() < length)
        text += words;
    text.truncate(length);
    return text;
}

void BM_TickerTick(benchmark::State& state)
{
    QWidget window;
    window.resize(420, 40);
    auto* ticker = new CScrollLink(&window);
    ticker->setFont(platform::WindowsFont(QStringLiteral("ＭＳ Ｐゴシック"), 9));
    ticker->setGeometry(10, 10, 390, 23);
    ticker->SetBackColor(0xFFFFFF);
    window.show();
    QDeadlineTimer deadline(5000); // until the window is on the screen, where paints go
    while (!(window.windowHandle() && window.windowHandle()->isExposed()) && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    if (deadline.hasExpired()) {
        state.SkipWithError("the window was never shown");
        return;
    }

    ticker->AddLink(Headline(static_cast<int>(state.range(0))), QStringLiteral("https://example.org/0"));
    for (int i = 1; i < 20; ++i)
        ticker->AddLink(Headline(60), QStringLiteral("https://example.org/%1").arg(i));
    ticker->StartScroll();
    for (int i = 0; i < 500; ++i) // the first headline across the strip
        ticker->OnTimer();
    ticker->repaint(); // its layout made, once
    for (auto _ : state) {
        ticker->OnTimer();
        ticker->repaint(ticker->TextRect());
    }
}
BENCHMARK(BM_TickerTick)->Arg(60)->Arg(350'000)->Unit(benchmark::kMicrosecond);

} // namespace
