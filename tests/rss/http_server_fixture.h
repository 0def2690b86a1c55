#pragma once
// A small HTTP server on the loopback interface (127.0.0.1, a free port) for
// the feed tests. It runs on threads of its own from construction to
// destruction, answers each request from a table of routes (404 for unknown
// paths) and closes the connection after each reply. A route may hold its
// reply until Release(), to stand for a slow or hanging server; a held
// connection also ends when the client hangs up, when the server goes, or,
// unanswered, after 20 s.
// Everything is bounded: requests are read for at most a few seconds and
// 64 KiB, and destruction stops and joins every thread.
#include <QByteArray>
#include <QString>
#include <atomic>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace lmd::test {

class LoopbackHttpServer
{
public:
    struct Reply
    {
        Reply(int status = 200, QByteArray body = {}, QByteArray location = {}, bool hold = false)
            : status(status), body(std::move(body)), location(std::move(location)), hold(hold)
        {
        }
        int status;
        QByteArray body;     // sent as application/rss+xml
        QByteArray location; // sent as Location (redirects)
        bool hold;           // wait for Release() before replying
    };

    LoopbackHttpServer();
    ~LoopbackHttpServer();
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

    void Route(const QByteArray& path, Reply reply);
    // http://127.0.0.1:<port><path>
    QString Url(const QByteArray& path) const;
    int Port() const { return m_port; }

    // Requests received for a path so far.
    int Requests(const QByteArray& path) const;
    // Connections waiting for Release() now.
    int Held() const { return m_held.load(); }
    // Held connections the client closed before they were answered.
    int HungUp() const { return m_hungUp.load(); }
    // Lets every held reply (and later ones) go out.
    void Release();

private:
    void AcceptLoop();
    void Serve(int client);
    Reply Lookup(const QByteArray& path);
    bool WaitForRelease(int client);

    int m_listener = -1;
    int m_wake[2] = {-1, -1};
    int m_port = 0;
    std::atomic<bool> m_stopping{false};
    std::atomic<bool> m_released{false};
    std::atomic<int> m_held{0};
    std::atomic<int> m_hungUp{0};
    mutable std::mutex m_mutex;
    std::map<QByteArray, Reply> m_routes;
    std::map<QByteArray, int> m_requests;
    std::vector<std::thread> m_connections;
    std::thread m_acceptor;
};

// A loopback port on which nothing listens (connections are refused).
int RefusedPort();

} // namespace lmd::test
