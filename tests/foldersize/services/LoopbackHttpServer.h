// LoopbackHttpServer.h: a tiny HTTP server on 127.0.0.1 in its own thread for download tests;
// answers scripted routes and records the request lines it received.
#pragma once

#include <QByteArray>
#include <QString>

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct HttpRoute {
    int status = 200;
    QByteArray body;
    bool sendContentLength = true;
    int chunkSize = 0;       // 0: the body in one write
    int chunkDelayMs = 0;    // pause after each chunk
    qint64 closeAfter = -1;  // >= 0: close the connection after that many body bytes
    QByteArray extraHeaders; // further header lines, each ending in CR LF
};

class LoopbackHttpServer {
public:
    LoopbackHttpServer();
    ~LoopbackHttpServer();

    // Routes are matched by the request target's path and query (for proxy requests the part
    // after the host). Unknown targets get 404.
    void setRoute(const std::string& target, const HttpRoute& route);
    quint16 port() const { return m_port; }
    QString base() const; // "127.0.0.1:<port>"
    std::vector<std::string> requestLines() const;
    int connectionsSeen() const { return m_connections.load(); }

    // A port on 127.0.0.1 on which nothing listens.
    static quint16 closedPort();

private:
    void run();
    void serve(int fd);

    int m_listen = -1;
    quint16 m_port = 0;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_connections{0};
    mutable std::mutex m_mutex;
    std::map<std::string, HttpRoute> m_routes;
    std::vector<std::string> m_requestLines;
    std::thread m_thread;
};
