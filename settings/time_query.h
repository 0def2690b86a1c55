#pragma once
// The pieces of the SNTP time query that need no network: the preset servers,
// reading a server text ("host", "host:port", "[v6]:port"), the 48-byte client
// request, the check of a reply and the conversion of its transmit time, and
// the C library's text of a time.
#include <QByteArray>
#include <QString>
#include <QStringView>
#include <array>
#include <cstdint>
#include <ctime>
#include <optional>
#include <vector>

// One preset: the label the server list shows and the host it stands for.
struct SntpServer
{
    QString label;
    QString host;
};

// The five presets, in list order.
const std::vector<SntpServer>& SntpPresets();

inline constexpr int kSntpPort = 123;
inline constexpr int kSntpPacketSize = 48;

// A server text read as host and port.
struct SntpServerText
{
    QString host;
    int port = kSntpPort;

    bool operator==(const SntpServerText&) const = default;
};

// Reads a server text, blanks around it ignored: "host" or "host:port", an IPv6
// address alone ("2001:db8::1") or in brackets with or without a port
// ("[2001:db8::1]:1230"). The port is decimal digits only, 1 to 65535; without
// one it is 123. Nothing (no host, a bad port, a broken bracket) when the text
// cannot name a server.
std::optional<SntpServerText> ParseSntpServerText(QStringView text);

// The client request: leap indicator 0, version 1, mode 3 (client) in the first
// byte (0x0B), the other 47 bytes zero.
std::array<std::uint8_t, kSntpPacketSize> SntpRequest();

// The seconds of a reply's transmit time (bytes 40 to 43, big-endian), when the
// datagram is a server's answer: exactly 48 bytes, mode 4 (server), version 1
// to 4, stratum 1 to 15 and a transmit time whose seconds are not zero.
// Nothing for anything else (a kiss-of-death, a short or garbled datagram).
std::optional<std::uint32_t> SntpTransmitSeconds(const QByteArray& datagram);

// NTP seconds (since 1900, in the era the 32 bits wrap in) as seconds since
// 1970-01-01 00:00 UTC: (ntp + 2085978496) mod 2^32, which is ntp - 2208988800
// for the era up to 2036 and carries on into the next era up to 2106.
std::int64_t SntpToUnixSeconds(std::uint32_t ntpSeconds);

// The C library's ctime text of a time in local time, without the line break
// ("Thu Jan  1 09:00:00 1970"); nothing when the time cannot be converted.
std::optional<QString> CtimeText(std::time_t time);
