// The time query's pieces without the network: presets, server texts, the
// request, the reply check, the time conversion and the ctime text.
#include "settings/time_query.h"

#include <QDateTime>
#include <QTimeZone>
#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// A 48-byte reply: leap 0, version 4, mode 4, stratum 2, the transmit seconds.
QByteArray Reply(std::uint32_t seconds, std::uint8_t first = 0x24, std::uint8_t stratum = 2)
{
    QByteArray reply(kSntpPacketSize, '\0');
    reply[0] = static_cast<char>(first);
    reply[1] = static_cast<char>(stratum);
    for (int i = 0; i < 4; ++i)
        reply[40 + i] = static_cast<char>(seconds >> (24 - 8 * i));
    return reply;
}

std::int64_t UtcSeconds(int year, int month, int day, int hour = 0, int minute = 0, int second = 0)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second), QTimeZone::utc()).toSecsSinceEpoch();
}

// Runs with TZ set to a zone, and puts the previous one back.
class ScopedTimeZone
{
public:
    explicit ScopedTimeZone(const char* zone)
    {
        if (const char* old = std::getenv("TZ"))
            previous_ = old;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~ScopedTimeZone()
    {
        previous_.empty() ? unsetenv("TZ") : setenv("TZ", previous_.c_str(), 1);
        tzset();
    }

private:
    std::string previous_;
};

TEST(TimeQueryTest, PresetsAreTheFiveProvidersInListOrder)
{
    const std::vector<SntpServer>& presets = SntpPresets();
    ASSERT_EQ(presets.size(), 5u);
    const QString labels[] = {"Google Public NTP", "MFEED時刻情報提供サービス", "豊橋技術科学大学", "東京大学",
                              "東北大学"};
    for (std::size_t i = 0; i < presets.size(); ++i) {
        EXPECT_EQ(presets[i].label, labels[i]);
        // Each stands for a host name that names a server by itself.
        const auto server = ParseSntpServerText(presets[i].host);
        ASSERT_TRUE(server) << presets[i].host.toStdString();
        EXPECT_EQ(server->port, 123);
        EXPECT_TRUE(server->host.contains('.'));
    }
}

TEST(TimeQueryTest, ServerTextsReadAsHostAndPort)
{
    struct Case
    {
        const char* text;
        std::optional<SntpServerText> expected;
    };
    using T = SntpServerText;
    const Case cases[] = {
        {"ntp.example.org", T{"ntp.example.org", 123}},
        {"  ntp.example.org  ", T{"ntp.example.org", 123}},
        {"ntp.example.org:1230", T{"ntp.example.org", 1230}},
        {"192.0.2.7", T{"192.0.2.7", 123}},
        {"192.0.2.7:5000", T{"192.0.2.7", 5000}},
        {"h:1", T{"h", 1}},
        {"h:65535", T{"h", 65535}},
        {"::1", T{"::1", 123}},
        {"2001:db8::7", T{"2001:db8::7", 123}},
        {"[2001:db8::7]", T{"2001:db8::7", 123}},
        {"[2001:db8::7]:5000", T{"2001:db8::7", 5000}},
        // Texts that name no server.
        {"", std::nullopt},
        {"   ", std::nullopt},
        {":123", std::nullopt},
        {"h:", std::nullopt},
        {"h:0", std::nullopt},
        {"h:-1", std::nullopt},
        {"h:65536", std::nullopt},
        {"h:99999999999", std::nullopt},
        {"h:12x", std::nullopt},
        {"h:abc", std::nullopt},
        {"h:+5", std::nullopt},
        {"[2001:db8::7", std::nullopt},
        {"[2001:db8::7]x", std::nullopt},
        {"[2001:db8::7]:", std::nullopt},
        {"[]:123", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseSntpServerText(QString::fromUtf8(c.text)), c.expected) << c.text;
}

TEST(TimeQueryTest, RequestIsVersionOneClientAndZeros)
{
    const auto request = SntpRequest();
    ASSERT_EQ(request.size(), 48u);
    EXPECT_EQ(request[0], 0x0B);
    for (std::size_t i = 1; i < request.size(); ++i)
        EXPECT_EQ(request[i], 0) << i;
}

TEST(TimeQueryTest, TransmitSecondsBecomeUnixTimeAcrossTheEraChange)
{
    struct Case
    {
        std::uint32_t ntp;
        std::int64_t unix;
    };
    const Case cases[] = {
        {0x83AA7E80u, 0},                              // 1970-01-01 00:00:00
        {0xE93C7F00u, UtcSeconds(2024, 1, 1)},         // 2024-01-01 00:00:00
        {0xFFFFFFFFu, UtcSeconds(2036, 2, 7, 6, 28, 15)}, // the last second of the first era
        {0x00000001u, UtcSeconds(2036, 2, 7, 6, 28, 17)}, // one second into the next
        {0x83AA7E7Fu, UtcSeconds(2106, 2, 7, 6, 28, 15)}, // the largest time the 32 bits carry
    };
    for (const Case& c : cases)
        EXPECT_EQ(SntpToUnixSeconds(c.ntp), c.unix) << std::hex << c.ntp;
}

TEST(TimeQueryTest, OnlyAServersAnswerGivesItsTransmitSeconds)
{
    struct Case
    {
        const char* what;
        QByteArray datagram;
        std::optional<std::uint32_t> seconds;
    };
    QByteArray longer = Reply(0xE93C7F00u);
    longer.append(20, '\0'); // an authenticator behind the packet
    const Case cases[] = {
        {"version 4 server", Reply(0xE93C7F00u), 0xE93C7F00u},
        {"version 1 server", Reply(0xE93C7F00u, 0x0C), 0xE93C7F00u},
        {"version 3, leap second ahead", Reply(0xE93C7F00u, 0x5C), 0xE93C7F00u},
        {"stratum 1", Reply(1u, 0x24, 1), 1u},
        {"stratum 15", Reply(1u, 0x24, 15), 1u},
        {"zero transmit time", Reply(0), std::nullopt},
        {"kiss of death (stratum 0)", Reply(0xE93C7F00u, 0x24, 0), std::nullopt},
        {"stratum 16 (unsynchronised)", Reply(0xE93C7F00u, 0x24, 16), std::nullopt},
        {"mode 3 (a client's request echoed)", Reply(0xE93C7F00u, 0x23), std::nullopt},
        {"mode 5 (broadcast)", Reply(0xE93C7F00u, 0x25), std::nullopt},
        {"version 0", Reply(0xE93C7F00u, 0x04), std::nullopt},
        {"version 7", Reply(0xE93C7F00u, 0x3C), std::nullopt},
        {"44 bytes", Reply(0xE93C7F00u).first(44), std::nullopt},
        {"47 bytes", Reply(0xE93C7F00u).first(47), std::nullopt},
        {"empty", QByteArray(), std::nullopt},
        {"68 bytes", longer, std::nullopt},
        {"all ones", QByteArray(48, '\xFF'), std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SntpTransmitSeconds(c.datagram), c.seconds) << c.what;
}

TEST(TimeQueryTest, CtimeTextIsTheCLibrarysInLocalTime)
{
    {
        const ScopedTimeZone utc("UTC");
        EXPECT_EQ(CtimeText(0), QString("Thu Jan  1 00:00:00 1970"));
        EXPECT_EQ(CtimeText(UtcSeconds(2024, 1, 1)), QString("Mon Jan  1 00:00:00 2024"));
        EXPECT_EQ(CtimeText(UtcSeconds(2106, 2, 7, 6, 28, 15)), QString("Sun Feb  7 06:28:15 2106"));
    }
    {
        const ScopedTimeZone tokyo("JST-9");
        EXPECT_EQ(CtimeText(UtcSeconds(2024, 1, 1)), QString("Mon Jan  1 09:00:00 2024"));
    }
    // Beyond what the text can hold: no text rather than a wrong one.
    EXPECT_EQ(CtimeText(std::numeric_limits<std::time_t>::max()), std::nullopt);
}

} // namespace
