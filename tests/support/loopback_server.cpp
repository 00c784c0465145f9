#include "support/loopback_server.h"

#include <cerrno>
#include <stdexcept>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int StopCheckMs = 20;

// Waits for input on fd; false when the server stops first. Input that has
// already arrived is still taken after the stop.
bool WaitReadable(int fd, const std::atomic<bool>& stopping) {
    for (;;) {
        pollfd entry{fd, POLLIN, 0};
        int ready = ::poll(&entry, 1, StopCheckMs);
        if (ready > 0)
            return true;
        if (stopping || (ready < 0 && errno != EINTR))
            return false;
    }
}

int ListenOnLoopback(int& port) {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        throw std::runtime_error("cannot create a listening socket");
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(fd, 8) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        ::close(fd);
        throw std::runtime_error("cannot listen on 127.0.0.1");
    }
    port = ntohs(address.sin_port);
    return fd;
}

} // namespace

ServerConnection::~ServerConnection() {
    Close();
}

std::optional<std::string> ServerConnection::ReadLine() {
    for (;;) {
        std::size_t end = m_buffer.find('\n');
        if (end != std::string::npos) {
            std::string line = m_buffer.substr(0, end);
            m_buffer.erase(0, end + 1);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            return line;
        }
        if (m_fd < 0 || !WaitReadable(m_fd, m_stopping))
            return std::nullopt;
        char chunk[4096];
        ssize_t received = ::recv(m_fd, chunk, sizeof chunk, 0);
        if (received <= 0)
            return std::nullopt;
        m_buffer.append(chunk, static_cast<std::size_t>(received));
    }
}

void ServerConnection::Send(const std::string& bytes) {
    std::size_t done = 0;
    while (m_fd >= 0 && done < bytes.size()) {
        ssize_t sent = ::send(m_fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (sent <= 0)
            return;
        done += static_cast<std::size_t>(sent);
    }
}

void ServerConnection::Stall() {
    while (ReadLine()) {
    }
}

void ServerConnection::Close() {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

LoopbackServer::LoopbackServer(Handler handler) : m_handler(std::move(handler)) {
    m_listenFd = ListenOnLoopback(m_port);
    m_thread = std::thread([this] { Run(); });
}

LoopbackServer::~LoopbackServer() {
    Stop();
}

void LoopbackServer::Stop() {
    m_stopping = true;
    if (m_thread.joinable())
        m_thread.join();
    if (m_listenFd >= 0)
        ::close(m_listenFd);
    m_listenFd = -1;
}

void LoopbackServer::Run() {
    while (WaitReadable(m_listenFd, m_stopping)) {
        int fd = ::accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            continue;
        ++m_accepted;
        ServerConnection connection(fd, m_stopping);
        m_handler(connection);
    }
}

int UnusedLoopbackPort() {
    int port = 0;
    int fd = ListenOnLoopback(port);
    ::close(fd);
    return port;
}
