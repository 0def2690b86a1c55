#include "settings/time_query.h"

#include <QtEndian>

namespace {

constexpr std::uint32_t kUnixEpochInNtpEra = 2085978496u; // 2^32 - 2208988800
constexpr int kTransmitSecondsAt = 40;

// The mode, version and stratum fields of a packet.
int Mode(std::uint8_t first)
{
    return first & 0x7;
}
int Version(std::uint8_t first)
{
    return (first >> 3) & 0x7;
}

// A port: 1 to 5 decimal digits with a value of 1 to 65535.
std::optional<int> ParsePort(QStringView text)
{
    if (text.isEmpty() || text.size() > 5)
        return std::nullopt;
    int port = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        port = port * 10 + (c.unicode() - u'0');
    }
    if (port < 1 || port > 65535)
        return std::nullopt;
    return port;
}

std::optional<SntpServerText> Server(QStringView host, int port)
{
    if (host.isEmpty())
        return std::nullopt;
    return SntpServerText{host.toString(), port};
}

std::optional<SntpServerText> Server(QStringView host, QStringView port)
{
    const std::optional<int> number = ParsePort(port);
    if (!number)
        return std::nullopt;
    return Server(host, *number);
}

} // namespace

const std::vector<SntpServer>& SntpPresets()
{
    static const std::vector<SntpServer> presets{
        {QStringLiteral("Google Public NTP"), QStringLiteral("time.google.com")},
        {QStringLiteral("MFEED時刻情報提供サービス"), QStringLiteral("ntp.jst.mfeed.ad.jp")},
        {QStringLiteral("豊橋技術科学大学"), QStringLiteral("ntp.tut.ac.jp")},
        {QStringLiteral("東京大学"), QStringLiteral("ntp.nc.u-tokyo.ac.jp")},
        {QStringLiteral("東北大学"), QStringLiteral("ntp.tohoku.ac.jp")},
    };
    return presets;
}

std::optional<SntpServerText> ParseSntpServerText(QStringView text)
{
    text = text.trimmed();
    if (text.startsWith(u'[')) {
        // "[address]" or "[address]:port"
        const qsizetype close = text.indexOf(u']');
        if (close < 0)
            return std::nullopt;
        const QStringView host = text.sliced(1, close - 1);
        const QStringView rest = text.sliced(close + 1);
        if (rest.isEmpty())
            return Server(host, kSntpPort);
        if (!rest.startsWith(u':'))
            return std::nullopt;
        return Server(host, rest.sliced(1));
    }
    const qsizetype colon = text.indexOf(u':');
    if (colon < 0)
        return Server(text, kSntpPort);
    if (text.indexOf(u':', colon + 1) >= 0)
        return Server(text, kSntpPort); // a bare IPv6 address
    return Server(text.first(colon), text.sliced(colon + 1));
}

std::array<std::uint8_t, kSntpPacketSize> SntpRequest()
{
    std::array<std::uint8_t, kSntpPacketSize> request{};
    request[0] = 0x0B; // leap indicator 0, version 1, mode 3 (client)
    return request;
}

std::optional<std::uint32_t> SntpTransmitSeconds(const QByteArray& datagram)
{
    if (datagram.size() != kSntpPacketSize)
        return std::nullopt;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(datagram.constData());
    const int version = Version(bytes[0]);
    const int stratum = bytes[1];
    if (Mode(bytes[0]) != 4 || version < 1 || version > 4 || stratum < 1 || stratum > 15)
        return std::nullopt;
    const std::uint32_t seconds = qFromBigEndian<std::uint32_t>(bytes + kTransmitSecondsAt);
    if (seconds == 0)
        return std::nullopt;
    return seconds;
}

std::int64_t SntpToUnixSeconds(std::uint32_t ntpSeconds)
{
    return static_cast<std::uint32_t>(ntpSeconds + kUnixEpochInNtpEra);
}

std::optional<QString> CtimeText(std::time_t time)
{
    char text[64];
    if (!ctime_r(&time, text))
        return std::nullopt;
    return QString::fromLatin1(text).trimmed();
}
