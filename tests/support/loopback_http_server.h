#pragma once
// A small HTTP server on 127.0.0.1 for tests of the HTTP client and of what
// is built on it. It serves one connection at a time from its own thread;
// a handler decides what each request gets: an answer, raw bytes, a stream
// of junk, or nothing at all (the connection is held open until the server
// goes).

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace testsupport {

class LoopbackHttpServer {
public:
    // Gets the connection and the request's head (request line and headers);
    // returns true to close the connection, false to hold it open.
    using Handler = std::function<bool(int fd, const std::string& head)>;

    explicit LoopbackHttpServer(Handler handler) : m_handler(std::move(handler)) {
        m_listen = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (m_listen < 0)
            throw std::runtime_error("socket");
        int on = 1;
        ::setsockopt(m_listen, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        addr.sin_port = 0;
        if (::bind(m_listen, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
            ::listen(m_listen, 16) != 0)
            throw std::runtime_error("bind/listen");
        socklen_t len = sizeof addr;
        ::getsockname(m_listen, reinterpret_cast<sockaddr*>(&addr), &len);
        m_port = ntohs(addr.sin_port);
        if (::pipe2(m_stop, O_CLOEXEC) != 0)
            throw std::runtime_error("pipe");
        m_thread = std::thread([this] { serve(); });
    }

    ~LoopbackHttpServer() {
        char c = 1;
        [[maybe_unused]] ssize_t n = ::write(m_stop[1], &c, 1);
        m_thread.join();
        for (int fd : m_held)
            ::close(fd);
        ::close(m_listen);
        ::close(m_stop[0]);
        ::close(m_stop[1]);
    }

    int port() const { return m_port; }
    std::string base() const { return "http://127.0.0.1:" + std::to_string(m_port); }
    std::string url(const std::string& path) const { return base() + path; }

    // The first line of every request received so far.
    std::vector<std::string> requestLines() const {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_requests;
    }

    // Writes all of data; false when the peer went away.
    static bool sendAll(int fd, std::string_view data) {
        while (!data.empty()) {
            ssize_t n = ::send(fd, data.data(), data.size(), MSG_NOSIGNAL);
            if (n <= 0)
                return false;
            data.remove_prefix(static_cast<std::size_t>(n));
        }
        return true;
    }

    // A complete answer with a length.
    static Handler reply(int status, std::string body, std::string type = "text/plain") {
        return [=](int fd, const std::string&) {
            std::string head = "HTTP/1.1 " + std::to_string(status) +
                               " X\r\nContent-Type: " + type +
                               "\r\nContent-Length: " + std::to_string(body.size()) +
                               "\r\nConnection: close\r\n\r\n";
            sendAll(fd, head + body);
            return true;
        };
    }
    // Reads the request and never answers.
    static Handler silent() {
        return [](int, const std::string&) { return false; };
    }
    // A 200 answer without a length that streams bytes until the client
    // leaves (or total bytes were sent).
    static Handler endless(std::size_t total = std::size_t{1} << 30) {
        return [=](int fd, const std::string&) {
            if (!sendAll(fd, "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nConnection: "
                             "close\r\n\r\n"))
                return true;
            std::string chunk(64 * 1024, 'x');
            for (std::size_t sent = 0; sent < total; sent += chunk.size())
                if (!sendAll(fd, chunk))
                    break;
            return true;
        };
    }

private:
    void serve() {
        for (;;) {
            pollfd fds[2] = {{m_listen, POLLIN, 0}, {m_stop[0], POLLIN, 0}};
            if (::poll(fds, 2, -1) < 0)
                continue;
            if (fds[1].revents)
                return;
            int fd = ::accept4(m_listen, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd < 0)
                continue;
            // A client that stops reading cannot block the server for long.
            timeval limit{5, 0};
            ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
            std::string head = readHead(fd);
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_requests.push_back(head.substr(0, head.find("\r\n")));
            }
            if (m_handler(fd, head))
                ::close(fd);
            else
                m_held.push_back(fd);
        }
    }

    // Up to the blank line, waiting at most 5 s (a client that sends nothing).
    std::string readHead(int fd) {
        std::string head;
        char buffer[4096];
        while (head.find("\r\n\r\n") == std::string::npos && head.size() < 65536) {
            pollfd p{fd, POLLIN, 0};
            pollfd fds[2] = {p, {m_stop[0], POLLIN, 0}};
            if (::poll(fds, 2, 5000) <= 0 || fds[1].revents)
                break;
            ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
            if (n <= 0)
                break;
            head.append(buffer, static_cast<std::size_t>(n));
        }
        return head;
    }

    Handler m_handler;
    int m_listen = -1;
    int m_port = 0;
    int m_stop[2] = {-1, -1};
    std::thread m_thread;
    std::vector<int> m_held;
    mutable std::mutex m_mutex;
    std::vector<std::string> m_requests;
};

// A loopback port where nobody listens (connections are refused).
inline int unusedLoopbackPort() {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    socklen_t len = sizeof addr;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    ::close(fd);
    return ntohs(addr.sin_port);
}

} // namespace testsupport
