// The ticker strip on the test display: how copies move, start and retire,
// hovering that pauses and paints the entry red, and a click that opens its
// link; a headline thousands of strips long is drawn as it would be whole, yet
// a paint hands the paint engine only what is in view.
#include "platform/desktop.h"
#include "rss/scroll_link.h"
#include "tests/rss/qt_test_helpers.h"
#include "tests/support/screens.h"

#include <QPaintEngine>
#include <QPainter>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>

namespace {

// A headline of length characters: words, figures and punctuation over and over.
QString LongTitle(qsizetype length, const QString& words = QStringLiteral("Markets rally 4.2% as rates hold; "))
{
    QString title;
    title.reserve(length + words.size());
    while (title.size() < length)
        title += words;
    title.truncate(length);
    return title;
}

// A paint device that keeps, for each text item a paint hands to its engine,
// the item's width in pixels (glyph runs arrive without one).
class TextItemRecorder : public QPaintDevice
{
public:
    explicit TextItemRecorder(QSize size) : m_size(size) {}
    QPaintEngine* paintEngine() const override { return &m_engine; }
    const std::vector<qreal>& Widths() const { return m_engine.widths; }

protected:
    int metric(PaintDeviceMetric metric) const override
    {
        switch (metric) {
        case PdmWidth:
            return m_size.width();
        case PdmHeight:
            return m_size.height();
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return 96;
        case PdmDepth:
            return 32;
        case PdmDevicePixelRatioScaled:
            return static_cast<int>(devicePixelRatioFScale());
        default:
            return 1;
        }
    }

private:
    class Engine : public QPaintEngine
    {
    public:
        Engine() : QPaintEngine(AllFeatures) {}
        bool begin(QPaintDevice*) override { return true; }
        bool end() override { return true; }
        void updateState(const QPaintEngineState&) override {}
        void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
        void drawTextItem(const QPointF&, const QTextItem& item) override { widths.push_back(item.width()); }
        Type type() const override { return User; }
        std::vector<qreal> widths;
    };
    QSize m_size;
    mutable Engine m_engine;
};

// A strip of the ticker's size on a white top-level window, shown.
class ScrollLinkTest : public ::testing::Test
{
protected:
    ScrollLinkTest()
    {
        m_window.resize(420, 40);
        m_link = new CScrollLink(&m_window);
        m_link->setGeometry(10, 10, 390, 23);
        m_link->SetBackColor(0xFFFFFF);
        m_window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&m_window));
    }
    void Ticks(int count)
    {
        for (int i = 0; i < count; ++i)
            m_link->OnTimer();
    }
    int Left() const { return m_link->TextRect().left(); }
    int Right() const { return m_link->TextRect().left() + m_link->TextRect().width(); }
    int X(int entry, std::size_t copy = 0) const
    {
        return m_link->Entries()[std::size_t(entry)].m_positions[copy];
    }
    int Width(int entry) const { return m_link->Entries()[std::size_t(entry)].m_size.width(); }
    // The middle of entry's first copy, in the strip.
    QPoint Middle(int entry) const { return {X(entry) + Width(entry) / 2, m_link->height() / 2}; }

    // The strip as the widget paints it.
    QImage Shot() const { return m_link->grab().toImage().convertToFormat(QImage::Format_RGB32); }
    // What the strip shows when every copy on it is drawn whole, as one line of
    // text in the bold font, vertically centred in the text area, clipped to it.
    QImage DrawnWhole() const
    {
        QImage picture(m_link->size(), QImage::Format_RGB32);
        picture.fill(Qt::white);
        QPainter painter(&picture);
        painter.setClipRect(m_link->TextRect());
        QFont bold = m_link->font();
        bold.setWeight(QFont::Bold);
        painter.setFont(bold);
        for (std::size_t i = 0; i < m_link->Entries().size(); ++i) {
            const CTextFrame& entry = m_link->Entries()[i];
            painter.setPen(entry.m_strLink.isEmpty() ? QColor(Qt::black) : QColor(0, 0, 255));
            for (const int x : entry.m_positions)
                painter.drawText(QRect(x, m_link->TextRect().top(), Right() - x, m_link->TextRect().height()),
                                 Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, entry.m_strText);
        }
        return picture;
    }
    // The text area of a picture of the strip.
    QImage TextArea(const QImage& picture) const { return picture.copy(m_link->TextRect()); }

    QWidget m_window;
    CScrollLink* m_link;
};

// Pixels of the colour within the columns [from, to) of a picture.
int CountColour(const QImage& picture, int from, int to, const std::function<bool(QColor)>& is)
{
    int count = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = std::max(from, 0); x < std::min(to, picture.width()); ++x)
            count += is(picture.pixelColor(x, y));
    return count;
}
// The number of pixels in which two pictures of one size differ.
int Differing(const QImage& a, const QImage& b)
{
    EXPECT_EQ(a.size(), b.size());
    int count = 0;
    for (int y = 0; y < std::min(a.height(), b.height()); ++y)
        for (int x = 0; x < std::min(a.width(), b.width()); ++x)
            count += a.pixel(x, y) != b.pixel(x, y);
    return count;
}
bool IsRed(QColor c)
{
    return c.red() > 180 && c.green() < 90 && c.blue() < 90;
}
bool IsBlue(QColor c)
{
    return c.blue() > 180 && c.red() < 90 && c.green() < 90;
}

TEST_F(ScrollLinkTest, CopiesMoveStartWithTheGapAndRetire)
{
    EXPECT_FALSE(m_link->StartScroll()); // nothing to show
    EXPECT_FALSE(m_link->IsScrolling());
    m_link->AddLink("First headline", "https://example.org/1");
    m_link->AddLink("Second", "https://example.org/2");
    m_link->AddLink("Third one here", "");
    ASSERT_TRUE(m_link->StartScroll());
    EXPECT_TRUE(m_link->IsScrolling());
    EXPECT_EQ(Right(), 388); // 390 wide, inset by 2
    EXPECT_EQ(m_link->Active(), std::vector<int>{0});
    EXPECT_EQ(X(0), Right()); // just outside, sliding in
    const int w0 = Width(0);
    ASSERT_GT(w0, 40);

    // One pixel a tick; the next entry starts once the gap behind the first
    // exceeds 50 pixels: Right - t + w0 + 50 < Right, first at t = w0 + 51.
    Ticks(w0 + 50);
    EXPECT_EQ(X(0), Right() - (w0 + 50));
    EXPECT_EQ(m_link->Active(), std::vector<int>{0});
    Ticks(1);
    EXPECT_EQ(m_link->Active(), (std::vector<int>{0, 1}));
    EXPECT_EQ(X(1), Right());
    EXPECT_EQ(X(1) - (X(0) + w0), 51);

    // The first leaves once its right end reaches the text area's left edge:
    // Right - t + w0 <= Left, at t = Right - Left + w0.
    const int leaves = Right() - Left() + w0;
    Ticks(leaves - 1 - (w0 + 51));
    ASSERT_EQ(m_link->Active().front(), 0);
    EXPECT_EQ(X(0) + w0, Left() + 1);
    const std::size_t copies = m_link->Entries()[0].m_positions.size(); // it may have come round again
    Ticks(1);
    EXPECT_NE(m_link->Active().front(), 0);
    EXPECT_EQ(m_link->Entries()[0].m_positions.size(), copies - 1);

    // Clear keeps the timer but drops everything; a new start begins at entry 0.
    m_link->Clear();
    EXPECT_TRUE(m_link->Active().empty());
    EXPECT_TRUE(m_link->IsScrolling());
    Ticks(3); // moves nothing, and does not fail
    m_link->AddLink("Again", "");
    ASSERT_TRUE(m_link->StartScroll());
    EXPECT_EQ(X(0), Right());
}

// A list shorter than the strip comes round again while its last copy is
// still on it: the same entry is then on the strip twice.
TEST_F(ScrollLinkTest, AShortListWrapsAroundWithTwoCopiesOfAnEntry)
{
    m_link->AddLink("A", "");
    ASSERT_TRUE(m_link->StartScroll());
    const int w = Width(0);
    Ticks(w + 51);
    EXPECT_EQ(m_link->Active(), (std::vector<int>{0, 0}));
    ASSERT_EQ(m_link->Entries()[0].m_positions.size(), 2u);
    EXPECT_EQ(X(0, 1) - X(0, 0), w + 51);
    Ticks(w + 51);
    EXPECT_EQ(m_link->Active().size(), 3u);
}

TEST_F(ScrollLinkTest, HoverPausesPaintsRedAndAClickOpensTheLink)
{
    platform::ScopedRecordingDesktop desktop;
    m_link->AddLink("Linked headline", "https://example.org/story?id=7");
    m_link->AddLink("Plain", "");
    m_link->AddLink("Local file", "file:///etc/passwd");
    ASSERT_TRUE(m_link->StartScroll());
    Ticks(Width(0) + 60); // the first entry well inside, the second just started

    const QPoint over = Middle(0);
    QTest::mouseMove(m_link, over);
    WAIT_UNTIL(m_link->IsPaused());
    EXPECT_FALSE(m_link->IsScrolling());
    EXPECT_EQ(m_link->HoverIndex(), 0);

    // The hovered entry is painted red; the rest of the strip has no red.
    const QImage shot = m_link->grab().toImage();
    lmd::test::SaveScreen(shot, "rss_scroll_link_hover");
    EXPECT_GT(CountColour(shot, X(0), X(0) + Width(0), IsRed), 20);
    EXPECT_EQ(CountColour(shot, X(0) + Width(0), shot.width(), IsRed), 0);
    const int pausedAt = X(0);

    QTest::mouseClick(m_link, Qt::LeftButton, {}, over);
    EXPECT_EQ(desktop->opened, std::vector<QString>{"https://example.org/story?id=7"});

    // Off the entries (in the gap) the scroll resumes and the red goes.
    QTest::mouseMove(m_link, QPoint(X(0) + Width(0) + 20, m_link->height() / 2));
    WAIT_UNTIL(!m_link->IsPaused());
    EXPECT_TRUE(m_link->IsScrolling());
    WAIT_UNTIL(X(0) < pausedAt); // the timer moves it again
    m_link->repaint();
    const QImage after = m_link->grab().toImage();
    EXPECT_EQ(CountColour(after, 0, after.width(), IsRed), 0);

    // A click over the gap, over an entry without a link, or over a link that
    // is not a web address opens nothing.
    QTest::mouseClick(m_link, Qt::LeftButton, {}, QPoint(X(0) + Width(0) + 20, m_link->height() / 2));
    m_link->Clear();
    m_link->AddLink("Plain", "");
    m_link->AddLink("Local file", "file:///etc/passwd");
    ASSERT_TRUE(m_link->StartScroll());
    Ticks(Width(0) + 60 + Width(1) + 60);
    for (const int entry : {0, 1}) {
        QTest::mouseMove(m_link, Middle(entry));
        WAIT_EQ(m_link->HoverIndex(), entry);
        WAIT_UNTIL(m_link->IsPaused());
        QTest::mouseClick(m_link, Qt::LeftButton, {}, Middle(entry));
        QTest::mouseMove(&m_window, QPoint(2, 2)); // leaves the strip: resumes
        WAIT_UNTIL(!m_link->IsPaused());
    }
    EXPECT_EQ(desktop->opened.size(), 1u);
}

// Whatever the length of the headline in view, the strip shows what drawing
// it whole would show, and each tick moves that picture one pixel left, also
// where the headline's layout is cut into pieces.
TEST_F(ScrollLinkTest, AHeadlineOfAnyLengthIsDrawnAsWholeAndMovesAPixelATick)
{
    struct Case
    {
        const char* name;
        std::vector<QString> titles;
    };
    const Case cases[] = {
        {"a normal feed", {"First headline", "Second", "Third one here", "Fourth and last"}},
        {"350,000 characters", {LongTitle(350'000), "After it"}},
        {"Japanese and Latin", {LongTitle(20'000, QStringLiteral("東京の天気は晴れ、Tokyo: sunny 25°C。")), "後"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_link->Clear();
        for (const QString& title : c.titles)
            m_link->AddLink(title, title.size() > 100 ? "https://example.org/long" : "");
        ASSERT_TRUE(m_link->StartScroll());
        Ticks(Right() - Left() + 700); // the first headline well past its start
        EXPECT_EQ(Differing(TextArea(Shot()), TextArea(DrawnWhole())), 0);

        QImage before = TextArea(Shot());
        for (int tick = 0; tick < 2 * CTextStrip::kBandWidth + 3; ++tick) {
            Ticks(1);
            const QImage after = TextArea(Shot());
            const int w = after.width() - 1;
            ASSERT_EQ(Differing(after.copy(0, 0, w, after.height()), before.copy(1, 0, w, before.height())), 0)
                << "tick " << tick;
            before = after;
        }
        EXPECT_EQ(Differing(TextArea(Shot()), TextArea(DrawnWhole())), 0);
        lmd::test::SaveScreen(Shot(), QStringLiteral("rss_scroll_link_%1").arg(c.titles.front().size()));
    }
}

// The cost of a paint must not grow with the headline: it hands the paint
// engine no text wider than a few strips, where drawing the headline whole
// lays out and hands over all of it, every tick.
TEST_F(ScrollLinkTest, APaintHandsOverOnlyWhatIsInView)
{
    for (const qsizetype length : {qsizetype{30}, qsizetype{350'000}}) {
        SCOPED_TRACE(length);
        m_link->Clear();
        m_link->AddLink(LongTitle(length), "https://example.org/");
        ASSERT_TRUE(m_link->StartScroll());
        Ticks(Right() - Left() + 100);
        TextItemRecorder recorder(m_link->size());
        m_link->render(&recorder);
        const std::vector<qreal>& widths = recorder.Widths();
        ASSERT_FALSE(widths.empty()); // the headline is drawn
        EXPECT_LE(*std::max_element(widths.begin(), widths.end()), 3 * m_link->width());
    }
}

// After a headline thousands of strips long has passed, the next entry comes,
// is drawn, and hovering and clicking it open its link; the long headline's
// layout is kept only while the headline is on the strip.
TEST_F(ScrollLinkTest, TheEntryAfterALongHeadlineShowsAndOpens)
{
    platform::ScopedRecordingDesktop desktop;
    m_link->AddLink(LongTitle(100'000), "https://example.org/long");
    m_link->AddLink("Next story", "https://example.org/next");
    m_link->AddLink(LongTitle(2'000), "https://example.org/third");
    ASSERT_TRUE(m_link->StartScroll());
    const int w0 = Width(0);
    ASSERT_GT(w0, 100 * m_link->width());
    int ticks = Right() - Left() + 100; // the long headline fills the strip
    Ticks(ticks);
    m_link->repaint();
    EXPECT_TRUE(m_link->Entries()[0].m_strip.has_value());

    // Entry 1 starts 51 pixels behind the long one (see the first test), and
    // the third as soon as the short second leaves a gap.
    Ticks(w0 + 51 + 150 - ticks);
    ASSERT_EQ(m_link->Active(), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(X(1), Right() - 150);
    const QImage shot = Shot();
    EXPECT_GT(CountColour(shot, X(1), X(1) + Width(1), IsBlue), 20);
    EXPECT_EQ(Differing(TextArea(shot), TextArea(DrawnWhole())), 0);

    // The long headline leaves; the third has started behind the second.
    ticks = Right() - Left() + w0;
    Ticks(ticks - (w0 + 51 + 150));
    ASSERT_EQ(m_link->Active(), (std::vector<int>{1, 2}));
    EXPECT_EQ(X(1), Left() + 51);
    EXPECT_TRUE(m_link->Entries()[0].m_positions.empty());
    EXPECT_FALSE(m_link->Entries()[0].m_strip.has_value());

    QTest::mouseMove(m_link, Middle(1));
    WAIT_UNTIL(m_link->IsPaused());
    EXPECT_EQ(m_link->HoverIndex(), 1);
    const QImage hovered = Shot();
    lmd::test::SaveScreen(hovered, "rss_scroll_link_after_long");
    EXPECT_GT(CountColour(hovered, X(1), X(1) + Width(1), IsRed), 20);
    EXPECT_EQ(CountColour(hovered, X(1) + Width(1), hovered.width(), IsRed), 0);
    QTest::mouseClick(m_link, Qt::LeftButton, {}, Middle(1));
    EXPECT_EQ(desktop->opened, std::vector<QString>{"https://example.org/next"});
}

} // namespace
