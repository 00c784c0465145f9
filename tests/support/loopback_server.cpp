#include "support/loopback_server.h"

#include <openssl/err.h>
#include <openssl/ssl.h>

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

int ListenOnLoopback(int& port, bool ipv6) {
    int fd = ::socket(ipv6 ? AF_INET6 : AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        throw std::runtime_error("cannot create a listening socket");
    sockaddr_storage storage{};
    socklen_t length = 0;
    if (ipv6) {
        auto* address = reinterpret_cast<sockaddr_in6*>(&storage);
        address->sin6_family = AF_INET6;
        address->sin6_addr = in6addr_loopback;
        length = sizeof *address;
    } else {
        auto* address = reinterpret_cast<sockaddr_in*>(&storage);
        address->sin_family = AF_INET;
        address->sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        length = sizeof *address;
    }
    auto* address = reinterpret_cast<sockaddr*>(&storage);
    if (::bind(fd, address, length) != 0 || ::listen(fd, 8) != 0 || ::getsockname(fd, address, &length) != 0) {
        ::close(fd);
        throw std::runtime_error(ipv6 ? "cannot listen on ::1" : "cannot listen on 127.0.0.1");
    }
    port = ntohs(ipv6 ? reinterpret_cast<sockaddr_in6*>(&storage)->sin6_port
                      : reinterpret_cast<sockaddr_in*>(&storage)->sin_port);
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
        bool buffered = m_ssl && SSL_pending(m_ssl) > 0;
        if (m_fd < 0 || (!buffered && !WaitReadable(m_fd, m_stopping)))
            return std::nullopt;
        char chunk[4096];
        ssize_t received = m_ssl ? SSL_read(m_ssl, chunk, sizeof chunk) : ::recv(m_fd, chunk, sizeof chunk, 0);
        if (received <= 0)
            return std::nullopt;
        m_buffer.append(chunk, static_cast<std::size_t>(received));
    }
}

void ServerConnection::Send(const std::string& bytes) {
    std::size_t done = 0;
    while (m_fd >= 0 && done < bytes.size()) {
        ssize_t sent = m_ssl ? SSL_write(m_ssl, bytes.data() + done, static_cast<int>(bytes.size() - done))
                             : ::send(m_fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (sent <= 0)
            return;
        done += static_cast<std::size_t>(sent);
    }
}

void ServerConnection::Stall() {
    while (ReadLine()) {
    }
}

bool ServerConnection::StartTls(const ServerTls& tls) {
    SSL_CTX* context = SSL_CTX_new(TLS_server_method());
    bool ready = context && SSL_CTX_use_certificate_chain_file(context, tls.Certificate.c_str()) == 1 &&
                 SSL_CTX_use_PrivateKey_file(context, tls.Key.c_str(), SSL_FILETYPE_PEM) == 1;
    if (ready) {
        m_ssl = SSL_new(context);
        ready = m_ssl && SSL_set_fd(m_ssl, m_fd) == 1 && SSL_accept(m_ssl) == 1;
    }
    SSL_CTX_free(context); // the session keeps its own reference
    ERR_clear_error();
    return ready;
}

void ServerConnection::Close() {
    if (m_ssl) {
        SSL_free(m_ssl);
        m_ssl = nullptr;
    }
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

LoopbackServer::LoopbackServer(Handler handler, bool ipv6) : m_handler(std::move(handler)) {
    m_listenFd = ListenOnLoopback(m_port, ipv6);
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
    int fd = ListenOnLoopback(port, false);
    ::close(fd);
    return port;
}
