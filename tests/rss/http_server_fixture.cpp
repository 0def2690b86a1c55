#include "tests/rss/http_server_fixture.h"

#include <QList>
#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace lmd::test {
namespace {

constexpr int kPollMs = 20;
constexpr int kRequestTimeoutMs = 5000;
constexpr int kMaxHoldMs = 20000; // a held reply gives up after this (no reply then)
constexpr qsizetype kMaxRequest = 64 * 1024;

int ListenOnLoopback(int& port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(fd, 16) != 0 || ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        if (fd >= 0)
            ::close(fd);
        return -1;
    }
    port = ntohs(address.sin_port);
    return fd;
}

const char* ReasonPhrase(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 301:
    case 302:
        return "Found";
    case 404:
        return "Not Found";
    default:
        return "Status";
    }
}

void SendAll(int fd, const QByteArray& data)
{
    qsizetype done = 0;
    while (done < data.size()) {
        const ssize_t n =
            ::send(fd, data.constData() + done, static_cast<size_t>(data.size() - done), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        done += n;
    }
}

} // namespace

LoopbackHttpServer::LoopbackHttpServer()
{
    m_listener = ListenOnLoopback(m_port);
    if (m_listener < 0 || ::pipe2(m_wake, O_CLOEXEC) != 0)
        return;
    m_acceptor = std::thread([this] { AcceptLoop(); });
}

LoopbackHttpServer::~LoopbackHttpServer()
{
    m_stopping = true;
    if (m_wake[1] >= 0) {
        const char byte = 1;
        [[maybe_unused]] const ssize_t written = ::write(m_wake[1], &byte, 1);
    }
    if (m_acceptor.joinable())
        m_acceptor.join();
    for (std::thread& connection : m_connections)
        connection.join();
    for (const int fd : {m_listener, m_wake[0], m_wake[1]}) {
        if (fd >= 0)
            ::close(fd);
    }
}

void LoopbackHttpServer::Route(const QByteArray& path, Reply reply)
{
    const std::lock_guard lock(m_mutex);
    m_routes[path] = std::move(reply);
}

QString LoopbackHttpServer::Url(const QByteArray& path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(m_port).arg(QString::fromLatin1(path));
}

int LoopbackHttpServer::Requests(const QByteArray& path) const
{
    const std::lock_guard lock(m_mutex);
    const auto it = m_requests.find(path);
    return it == m_requests.end() ? 0 : it->second;
}

void LoopbackHttpServer::Release()
{
    m_released = true;
}

void LoopbackHttpServer::AcceptLoop()
{
    while (!m_stopping) {
        pollfd fds[2] = {{m_listener, POLLIN, 0}, {m_wake[0], POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0 && errno != EINTR)
            return;
        if (m_stopping || !(fds[0].revents & POLLIN))
            continue;
        const int client = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0)
            continue;
        // Only this thread adds connections; the destructor joins them after it.
        m_connections.emplace_back([this, client] {
            Serve(client);
            ::close(client);
        });
    }
}

LoopbackHttpServer::Reply LoopbackHttpServer::Lookup(const QByteArray& path)
{
    const std::lock_guard lock(m_mutex);
    ++m_requests[path];
    const auto it = m_routes.find(path);
    if (it != m_routes.end())
        return it->second;
    return {404, "not found"};
}

bool LoopbackHttpServer::WaitForRelease(int client)
{
    ++m_held;
    bool answered = true;
    for (int waited = 0; !m_released && !m_stopping; waited += kPollMs) {
        if (waited >= kMaxHoldMs) {
            answered = false;
            break;
        }
        pollfd fd{client, POLLIN, 0};
        if (::poll(&fd, 1, kPollMs) > 0) {
            char byte = 0;
            if (::recv(client, &byte, 1, MSG_PEEK | MSG_DONTWAIT) <= 0) {
                ++m_hungUp; // the client went away
                answered = false;
                break;
            }
        }
    }
    --m_held;
    return answered && !m_stopping;
}

void LoopbackHttpServer::Serve(int client)
{
    QByteArray request;
    int waited = 0;
    while (!request.contains("\r\n\r\n") && request.size() < kMaxRequest && waited < kRequestTimeoutMs &&
           !m_stopping) {
        pollfd fd{client, POLLIN, 0};
        if (::poll(&fd, 1, kPollMs) <= 0) {
            waited += kPollMs;
            continue;
        }
        char buffer[4096];
        const ssize_t n = ::recv(client, buffer, sizeof buffer, 0);
        if (n <= 0)
            return;
        request.append(buffer, n);
    }
    const QList<QByteArray> words = request.left(request.indexOf("\r\n")).split(' ');
    if (words.size() < 2)
        return;
    const Reply reply = Lookup(words[1]);
    if (reply.hold && !WaitForRelease(client))
        return;
    QByteArray response = "HTTP/1.1 " + QByteArray::number(reply.status) + ' ' + ReasonPhrase(reply.status) +
                          "\r\nContent-Type: application/rss+xml" +
                          "\r\nContent-Length: " + QByteArray::number(reply.body.size()) +
                          "\r\nConnection: close\r\n";
    if (!reply.location.isEmpty())
        response += "Location: " + reply.location + "\r\n";
    response += "\r\n" + reply.body;
    SendAll(client, response);
}

int RefusedPort()
{
    int port = 0;
    const int fd = ListenOnLoopback(port);
    if (fd >= 0)
        ::close(fd); // closed before anyone connects: the port refuses
    return port;
}

} // namespace lmd::test
