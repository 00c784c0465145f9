#include "support/scripted_peer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

ScriptedPeer::ScriptedPeer() {
    m_listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (m_listener < 0 || bind(m_listener, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
        listen(m_listener, 16) != 0 || getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &size) != 0)
        throw std::runtime_error("cannot listen on 127.0.0.1");
    m_port = ntohs(address.sin_port);
}

ScriptedPeer::~ScriptedPeer() {
    if (m_thread.joinable())
        Finish();
    close(m_listener);
}

void ScriptedPeer::Serve(std::string bytes) {
    m_bytes = std::move(bytes);
    m_heard.clear();
    m_stopping = false;
    m_thread = std::thread([this] { Run(); });
}

std::string ScriptedPeer::Finish() {
    m_stopping = true;
    m_thread.join();
    return m_heard;
}

// Waits in short steps so that a client that never connected cannot hold
// the peer; a client that did connect is in the backlog by the time
// Finish is called, and is still served.
void ScriptedPeer::Run() {
    pollfd ready{m_listener, POLLIN, 0};
    while (poll(&ready, 1, 10) == 0) {
        if (m_stopping)
            return;
    }
    int fd = accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0)
        return;
    Converse(fd);
    close(fd);
}

void ScriptedPeer::Converse(int fd) {
    size_t sent = 0;
    while (sent < m_bytes.size()) {
        ssize_t n = send(fd, m_bytes.data() + sent, m_bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            break;
        sent += static_cast<size_t>(n);
    }
    shutdown(fd, SHUT_WR);
    char buffer[4096];
    ssize_t n;
    while ((n = recv(fd, buffer, sizeof buffer, 0)) > 0)
        m_heard.append(buffer, static_cast<size_t>(n));
}
