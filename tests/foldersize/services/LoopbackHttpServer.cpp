// LoopbackHttpServer.cpp: blocking-socket server thread bound to the loopback address only.
#include "tests/foldersize/services/LoopbackHttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstring>

namespace {

bool sendAll(int fd, const char* data, size_t size)
{
    while (size > 0) {
        const ssize_t n = ::send(fd, data, size, MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

int bindLoopback(quint16* port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    const int one = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    socklen_t len = sizeof addr;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    *port = ntohs(addr.sin_port);
    return fd;
}

} // namespace

LoopbackHttpServer::LoopbackHttpServer()
{
    m_listen = bindLoopback(&m_port);
    ::listen(m_listen, 16);
    m_thread = std::thread([this] { run(); });
}

LoopbackHttpServer::~LoopbackHttpServer()
{
    m_stop = true;
    m_thread.join();
    ::close(m_listen);
}

quint16 LoopbackHttpServer::closedPort()
{
    quint16 port = 0;
    const int fd = bindLoopback(&port);
    ::close(fd);
    return port;
}

void LoopbackHttpServer::setRoute(const std::string& target, const HttpRoute& route)
{
    std::lock_guard lock(m_mutex);
    m_routes[target] = route;
}

QString LoopbackHttpServer::base() const { return QStringLiteral("127.0.0.1:%1").arg(m_port); }

std::vector<std::string> LoopbackHttpServer::requestLines() const
{
    std::lock_guard lock(m_mutex);
    return m_requestLines;
}

void LoopbackHttpServer::run()
{
    while (!m_stop) {
        pollfd p{m_listen, POLLIN, 0};
        if (::poll(&p, 1, 50) <= 0)
            continue;
        const int fd = ::accept(m_listen, nullptr, nullptr);
        if (fd < 0)
            continue;
        ++m_connections;
        serve(fd);
        ::close(fd);
    }
}

void LoopbackHttpServer::serve(int fd)
{
    std::string request;
    char buffer[4096];
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (request.find("\r\n\r\n") == std::string::npos) {
        if (m_stop || std::chrono::steady_clock::now() > deadline)
            return;
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 50) <= 0)
            continue;
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0)
            return;
        request.append(buffer, static_cast<size_t>(n));
    }
    const std::string line = request.substr(0, request.find("\r\n"));
    std::string target = line.substr(line.find(' ') + 1);
    target = target.substr(0, target.find(' '));
    if (target.rfind("http://", 0) == 0) {
        const size_t slash = target.find('/', 7);
        target = slash == std::string::npos ? "/" : target.substr(slash);
    }

    HttpRoute route;
    {
        std::lock_guard lock(m_mutex);
        m_requestLines.push_back(line);
        auto it = m_routes.find(target);
        if (it != m_routes.end()) {
            route = it->second;
        } else {
            route.status = 404;
            route.body = "<html>Not Found</html>";
        }
    }

    std::string head = "HTTP/1.1 " + std::to_string(route.status) + (route.status == 200 ? " OK" : " Error") +
        "\r\nConnection: close\r\n";
    if (route.sendContentLength)
        head += "Content-Length: " + std::to_string(route.body.size()) + "\r\n";
    head += route.extraHeaders.toStdString();
    head += "\r\n";
    if (!sendAll(fd, head.data(), head.size()))
        return;

    qint64 limit =
        route.closeAfter >= 0 ? std::min<qint64>(route.closeAfter, route.body.size()) : route.body.size();
    const qint64 chunk = route.chunkSize > 0 ? route.chunkSize : std::max<qint64>(limit, 1);
    for (qint64 sent = 0; sent < limit && !m_stop;) {
        const qint64 n = std::min(chunk, limit - sent);
        if (!sendAll(fd, route.body.constData() + sent, static_cast<size_t>(n)))
            return;
        sent += n;
        if (route.chunkDelayMs > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(route.chunkDelayMs));
    }
    ::shutdown(fd, SHUT_WR);
}
