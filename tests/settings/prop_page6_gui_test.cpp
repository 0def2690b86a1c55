// The SNTP dialog on the display, asking a responder that the test runs on the
// loopback interface. No test sends anything beyond this machine: host names
// are answered by a table (settings/host_lookup.h), the presets' own hosts
// never resolve.
#include "platform/desktop.h"
#include "settings/host_lookup.h"
#include "settings/prop_page6.h"
#include "tests/controls/pixels_fixture.h"
#include "tests/support/screens.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QNetworkDatagram>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTest>
#include <QTimer>
#include <QUdpSocket>
#include <gtest/gtest.h>

#include <cstdlib>

namespace {

constexpr std::uint32_t k2024 = 0xE93C7F00u; // 2024-01-01 00:00:00 UTC in NTP seconds
const QString k2024Text = QStringLiteral("Mon Jan  1 00:00:00 2024");

const QString kNoServerName = QStringLiteral("サーバ名が入力されていません。");
const QString kLookupFailed = QStringLiteral("サーバのIPアドレスの取得に失敗しました。");
const QString kTimedOut = QStringLiteral("3秒以内にSNTPｻｰﾊﾞから応答がありませんでした。");
const QString kReceiveFailed = QStringLiteral("受信に失敗しました。");

// What the responder sends back for each request.
enum class Answer
{
    Good,         // a version 4 server reply with the transmit seconds
    Silent,       // nothing
    Short,        // the first 44 bytes of a good reply
    Long,         // a good reply with 20 bytes more
    ZeroTime,     // a good reply with transmit seconds 0
    WrongMode,    // mode 3, as a client's request
    WrongVersion, // version 0
    KissOfDeath,  // stratum 0
    Garbage,      // 48 bytes of 0xFF
    WrongAddress, // a good reply from 127.0.0.2
    WrongPort,    // a good reply from another port of 127.0.0.1
};

// An SNTP server on the loopback interface, on a port of its own. It stops by
// itself after a few requests or ten seconds, whichever comes first.
class Responder : public QObject
{
public:
    explicit Responder(Answer answer, const QHostAddress& address = QHostAddress::LocalHost)
        : answer_(answer), socket_(this), other_(this)
    {
        bound_ = socket_.bind(address, 0);
        const QHostAddress otherAddress =
            answer == Answer::WrongAddress ? QHostAddress(QStringLiteral("127.0.0.2")) : address;
        other_.bind(otherAddress, 0);
        connect(&socket_, &QUdpSocket::readyRead, this, [this] { Serve(); });
        QTimer::singleShot(10000, this, [this] { socket_.close(); });
    }

    bool Bound() const { return bound_; }
    quint16 Port() const { return socket_.localPort(); }
    QString Text() const
    {
        const QHostAddress address = socket_.localAddress();
        return address.protocol() == QAbstractSocket::IPv6Protocol
                   ? QStringLiteral("[%1]:%2").arg(address.toString()).arg(Port())
                   : QStringLiteral("%1:%2").arg(address.toString()).arg(Port());
    }
    std::vector<QByteArray> requests;

private:
    static QByteArray Reply(std::uint32_t seconds, std::uint8_t first = 0x24, std::uint8_t stratum = 2)
    {
        QByteArray reply(48, '\0');
        reply[0] = static_cast<char>(first);
        reply[1] = static_cast<char>(stratum);
        for (int i = 0; i < 4; ++i)
            reply[40 + i] = static_cast<char>(seconds >> (24 - 8 * i));
        return reply;
    }

    void Serve()
    {
        while (socket_.hasPendingDatagrams()) {
            const QNetworkDatagram request = socket_.receiveDatagram();
            requests.push_back(request.data());
            if (requests.size() > 8)
                socket_.close();
            QUdpSocket* from = &socket_;
            QByteArray reply = Reply(k2024);
            switch (answer_) {
            case Answer::Good:
                break;
            case Answer::Silent:
                continue;
            case Answer::Short:
                reply.truncate(44);
                break;
            case Answer::Long:
                reply.append(20, '\0');
                break;
            case Answer::ZeroTime:
                reply = Reply(0);
                break;
            case Answer::WrongMode:
                reply = Reply(k2024, 0x23);
                break;
            case Answer::WrongVersion:
                reply = Reply(k2024, 0x04);
                break;
            case Answer::KissOfDeath:
                reply = Reply(k2024, 0x24, 0);
                break;
            case Answer::Garbage:
                reply.fill('\xFF');
                break;
            case Answer::WrongAddress:
            case Answer::WrongPort:
                from = &other_;
                break;
            }
            from->writeDatagram(reply, request.senderAddress(), request.senderPort());
        }
    }

    Answer answer_;
    QUdpSocket socket_;
    QUdpSocket other_;
    bool bound_ = false;
};

class PropPage6Test : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // ctime texts in UTC, so they can be written down.
        if (const char* tz = std::getenv("TZ"))
            previousTz_ = tz;
        setenv("TZ", "UTC", 1);
        tzset();
    }
    void TearDown() override
    {
        previousTz_.empty() ? unsetenv("TZ") : setenv("TZ", previousTz_.c_str(), 1);
        tzset();
    }

    void Show(CPropPage6& dialog)
    {
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    }

    // Starts a query of a server text through the dialog's own entry point,
    // as the button does with the chosen preset's host.
    static void Query(CPropPage6& dialog, const QString& text) { dialog.StartSntpQuery(text); }

    std::vector<QString> Messages() const
    {
        std::vector<QString> texts;
        for (const auto& box : desktop->messageBoxes) {
            EXPECT_EQ(box.caption, "Error");
            EXPECT_EQ(box.style, platform::MB_ICONERROR);
            texts.push_back(box.text);
        }
        return texts;
    }

    // Waits until the query has ended.
    static bool Ended(const CPropPage6& dialog, int timeoutMs = 5000)
    {
        return QTest::qWaitFor([&] { return !dialog.IsQuerying(); }, timeoutMs);
    }

    platform::ScopedRecordingDesktop desktop;
    settings::ScopedTableHostLookup lookup;
    std::string previousTz_;
};

TEST_F(PropPage6Test, AGoodReplyShowsTheServersTimeBesideThePcs)
{
    Responder responder(Answer::Good);
    ASSERT_TRUE(responder.Bound());
    CPropPage6 dialog;
    Show(dialog);
    EXPECT_EQ(dialog.windowTitle(), "SNTP");
    EXPECT_EQ(dialog.QueryButton()->text(), "時間取得");

    const std::time_t before = std::time(nullptr);
    Query(dialog, responder.Text());
    EXPECT_EQ(dialog.QueryButton()->text(), "Cancel");
    ASSERT_TRUE(Ended(dialog));
    const std::time_t after = std::time(nullptr);

    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(dialog.QueryButton()->text(), "時間取得");
    // The request: 0x0B and 47 zero bytes.
    ASSERT_EQ(responder.requests.size(), 1u);
    QByteArray expected(48, '\0');
    expected[0] = 0x0B;
    EXPECT_EQ(responder.requests[0], expected);
    // Both times as the C library writes them, in their edits.
    const auto* serverEdit = dialog.findChild<QLineEdit*>("control1044");
    const auto* pcEdit = dialog.findChild<QLineEdit*>("control1043");
    ASSERT_TRUE(serverEdit && pcEdit);
    EXPECT_EQ(serverEdit->text(), k2024Text);
    const QString pc = pcEdit->text();
    EXPECT_TRUE(pc == CtimeText(before) || pc == CtimeText(after)) << pc.toStdString();
    EXPECT_FALSE(dialog.IsTimerRunning());
    lmd::test::SaveScreen(dialog.grab().toImage(), "prop_page6_good_reply");
}

TEST_F(PropPage6Test, EveryHostileReplyIsAReceiveFailureAndShowsNoTime)
{
    const std::pair<Answer, const char*> cases[] = {
        {Answer::Short, "short"},
        {Answer::Long, "long"},
        {Answer::ZeroTime, "zero time"},
        {Answer::WrongMode, "wrong mode"},
        {Answer::WrongVersion, "wrong version"},
        {Answer::KissOfDeath, "stratum 0"},
        {Answer::Garbage, "garbage"},
        {Answer::WrongAddress, "from another address"},
        {Answer::WrongPort, "from another port"},
    };
    CPropPage6 dialog;
    Show(dialog);
    for (const auto& [answer, what] : cases) {
        desktop->messageBoxes.clear();
        Responder responder(answer);
        ASSERT_TRUE(responder.Bound());
        Query(dialog, responder.Text());
        ASSERT_TRUE(Ended(dialog)) << what;
        EXPECT_EQ(responder.requests.size(), 1u) << what;
        EXPECT_EQ(Messages(), std::vector<QString>{kReceiveFailed}) << what;
        EXPECT_TRUE(dialog.ServerTimeText().isEmpty()) << what;
        EXPECT_TRUE(dialog.PcTimeText().isEmpty()) << what;
        EXPECT_FALSE(dialog.IsTimerRunning()) << what;
        EXPECT_EQ(dialog.QueryButton()->text(), "時間取得") << what;
    }
}

TEST_F(PropPage6Test, ASilentServerTimesOutAfterThreeSeconds)
{
    Responder responder(Answer::Silent);
    CPropPage6 dialog;
    Show(dialog);
    Query(dialog, responder.Text());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !responder.requests.empty(); }));
    EXPECT_TRUE(dialog.IsTimerRunning());
    EXPECT_TRUE(Messages().empty());
    ASSERT_TRUE(Ended(dialog, 8000));
    EXPECT_EQ(Messages(), std::vector<QString>{kTimedOut});
    EXPECT_FALSE(dialog.IsTimerRunning());
    EXPECT_TRUE(QTest::qWaitFor([&] { return dialog.findChildren<QUdpSocket*>().isEmpty(); }));
}

TEST_F(PropPage6Test, ServerTextsThatNameNoServerAreRefusedBeforeAnySocket)
{
    CPropPage6 dialog;
    Show(dialog);
    for (const QString& text : {QStringLiteral("127.0.0.1:70000"), QStringLiteral("127.0.0.1:0"),
                                QStringLiteral(":123"), QStringLiteral("127.0.0.1:-1"), QStringLiteral("   ")}) {
        desktop->messageBoxes.clear();
        Query(dialog, text);
        EXPECT_FALSE(dialog.IsQuerying()) << text.toStdString();
        EXPECT_EQ(Messages(), std::vector<QString>{kNoServerName}) << text.toStdString();
        EXPECT_EQ(dialog.QueryButton()->text(), "時間取得");
    }
    EXPECT_TRUE(lookup->asked.empty());
}

TEST_F(PropPage6Test, AnUnresolvableNameFailsAtOnce)
{
    CPropPage6 dialog;
    Show(dialog);
    Query(dialog, "no-such-host.test");
    ASSERT_TRUE(Ended(dialog));
    EXPECT_EQ(Messages(), std::vector<QString>{kLookupFailed});
    EXPECT_EQ(lookup->asked, std::vector<QString>{"no-such-host.test"});
}

TEST_F(PropPage6Test, NamesAreLookedUpAndTheirIpv4AddressAsked)
{
    Responder responder(Answer::Good);
    // The name has an IPv6 address first; the IPv4 one is asked.
    lookup->table["sntp.test"] = {QHostAddress("2001:db8::7"), QHostAddress::LocalHost};
    CPropPage6 dialog(nullptr, {{"Loopback", QStringLiteral("sntp.test:%1").arg(responder.Port())}});
    Show(dialog);
    EXPECT_EQ(dialog.ServerList()->currentText(), "Loopback");
    QTest::mouseClick(dialog.QueryButton(), Qt::LeftButton);
    EXPECT_TRUE(dialog.IsLookingUp());
    ASSERT_TRUE(Ended(dialog));
    EXPECT_EQ(lookup->asked, std::vector<QString>{"sntp.test"});
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(dialog.ServerTimeText(), k2024Text);
}

// The server list is a drop-down list of the presets, not a text box, and
// shows each one's label whole once chosen: the text it draws in its field
// spans as much as the label's letters do in its font.
TEST_F(PropPage6Test, TheListIsADropDownListShowingEachPresetWhole)
{
    CPropPage6 dialog;
    Show(dialog);
    QComboBox* const list = dialog.ServerList();
    EXPECT_FALSE(list->isEditable());
    EXPECT_EQ(list->lineEdit(), nullptr);
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Home);
    for (int i = 0; i < list->count(); ++i) {
        if (i > 0)
            QTest::keyClick(list, Qt::Key_Down);
        const QString label = SntpPresets()[i].label;
        SCOPED_TRACE(label.toStdString());
        ASSERT_EQ(list->currentText(), label);
        QStyleOptionComboBox option;
        option.initFrom(list);
        option.currentText = label;
        const QRect field =
            list->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, list);
        const QImage shown = list->grab(field).toImage();
        const QRect ink = lmd::test::BoundsOf(shown, shown.rect(), [](QRgb p) { return qGray(p) < 160; });
        EXPECT_GE(ink.width(), list->fontMetrics().tightBoundingRect(label).width() - 3);
        if (i == 1)
            lmd::test::SaveScreen(dialog.grab().toImage(), QStringLiteral("prop_page6_mfeed"));
    }
}

TEST_F(PropPage6Test, TheListOffersTheFivePresetsAndAsksTheirHosts)
{
    lookup->holdAnswers = true; // nothing answers: no query goes out
    CPropPage6 dialog;
    Show(dialog);
    QComboBox* const list = dialog.ServerList();
    ASSERT_EQ(list->count(), 5);
    EXPECT_EQ(list->currentIndex(), 0);
    std::vector<QString> hosts;
    for (int i = 0; i < list->count(); ++i) {
        EXPECT_EQ(list->itemText(i), SntpPresets()[i].label);
        hosts.push_back(SntpPresets()[i].host);
        list->setCurrentIndex(i);
        QTest::mouseClick(dialog.QueryButton(), Qt::LeftButton); // starts
        EXPECT_TRUE(dialog.IsLookingUp());
        QTest::mouseClick(dialog.QueryButton(), Qt::LeftButton); // cancels
        EXPECT_FALSE(dialog.IsQuerying());
    }
    EXPECT_EQ(lookup->asked, hosts);
    EXPECT_EQ(lookup->aborted.size(), 5u);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(PropPage6Test, AStaleLookupAnswerNeverEndsANewerQuery)
{
    Responder responder(Answer::Good);
    lookup->holdAnswers = true;
    lookup->table["fresh.test"] = {QHostAddress::LocalHost}; // "stale.test" does not resolve
    CPropPage6 dialog;
    Show(dialog);
    Query(dialog, QStringLiteral("stale.test:%1").arg(responder.Port()));
    const int stale = lookup->LastId();
    QTest::mouseClick(dialog.QueryButton(), Qt::LeftButton); // cancel
    EXPECT_EQ(lookup->aborted, std::vector<int>{stale});
    Query(dialog, QStringLiteral("fresh.test:%1").arg(responder.Port()));
    const int fresh = lookup->LastId();
    ASSERT_NE(stale, fresh);

    // The cancelled lookup's failure arrives anyway (it was already on its way).
    lookup->Deliver(stale);
    QCoreApplication::processEvents();
    EXPECT_TRUE(dialog.IsQuerying());
    EXPECT_TRUE(dialog.IsLookingUp());
    EXPECT_TRUE(Messages().empty());

    lookup->Deliver(fresh);
    ASSERT_TRUE(Ended(dialog));
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(dialog.ServerTimeText(), k2024Text);
}

TEST_F(PropPage6Test, CancellingKeepsTheLastTimesShown)
{
    Responder good(Answer::Good);
    Responder silent(Answer::Silent);
    CPropPage6 dialog;
    Show(dialog);
    Query(dialog, good.Text());
    ASSERT_TRUE(Ended(dialog));
    const QString pc = dialog.PcTimeText();
    Query(dialog, silent.Text());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !silent.requests.empty(); }));
    EXPECT_EQ(dialog.QueryButton()->text(), "Cancel");
    QTest::mouseClick(dialog.QueryButton(), Qt::LeftButton);
    EXPECT_FALSE(dialog.IsQuerying());
    EXPECT_FALSE(dialog.IsTimerRunning());
    EXPECT_EQ(dialog.QueryButton()->text(), "時間取得");
    EXPECT_EQ(dialog.ServerTimeText(), k2024Text);
    EXPECT_EQ(dialog.PcTimeText(), pc);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(PropPage6Test, ClosingTheDialogDuringAQueryLeavesNothingRunning)
{
    Responder silent(Answer::Silent);
    {
        // Waiting for the reply: Escape ends the dialog and the query.
        CPropPage6 dialog;
        Show(dialog);
        Query(dialog, silent.Text());
        ASSERT_TRUE(QTest::qWaitFor([&] { return !silent.requests.empty(); }));
        ASSERT_TRUE(dialog.IsTimerRunning());
        QTest::keyClick(&dialog, Qt::Key_Escape);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_FALSE(dialog.IsQuerying());
        EXPECT_FALSE(dialog.IsTimerRunning());
        EXPECT_TRUE(QTest::qWaitFor([&] { return dialog.findChildren<QUdpSocket*>().isEmpty(); }));
    }
    {
        // Enter in the server list is OK: it ends the dialog and the query too.
        CPropPage6 dialog;
        Show(dialog);
        Query(dialog, silent.Text());
        ASSERT_TRUE(dialog.IsQuerying());
        dialog.ServerList()->setFocus();
        QTest::keyClick(dialog.ServerList(), Qt::Key_Return);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_FALSE(dialog.IsQuerying());
        EXPECT_FALSE(dialog.IsTimerRunning());
    }
    {
        // Looking up: closing aborts the lookup.
        lookup->holdAnswers = true;
        CPropPage6 dialog;
        Show(dialog);
        Query(dialog, "slow.test");
        ASSERT_TRUE(dialog.IsLookingUp());
        dialog.close();
        EXPECT_FALSE(dialog.IsQuerying());
        EXPECT_EQ(lookup->aborted, std::vector<int>{lookup->LastId()});
    }
    EXPECT_TRUE(Messages().empty());
}

TEST_F(PropPage6Test, AnIpv6ServerIsAskedAsTyped)
{
    Responder responder(Answer::Good, QHostAddress::LocalHostIPv6);
    if (!responder.Bound())
        GTEST_SKIP() << "no IPv6 loopback here";
    CPropPage6 dialog;
    Show(dialog);
    Query(dialog, responder.Text());
    ASSERT_TRUE(Ended(dialog));
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(dialog.ServerTimeText(), k2024Text);
    EXPECT_TRUE(lookup->asked.empty());
}

} // namespace
