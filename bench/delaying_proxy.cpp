#include "delaying_proxy.h"

#include <arpa/inet.h>
#include <condition_variable>
#include <deque>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <stdexcept>
#include <string>
#include <sys/socket.h>
#include <unistd.h>
#include <utility>

namespace {

using Clock = std::chrono::steady_clock;

sockaddr_in Loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

// Small writes leave at once, as the delay is all the line should add.
void NoDelay(int fd) {
    int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

bool SendAll(int fd, const std::string& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

// Copies from one socket to the other, each chunk sent delay after it was
// read; the end of the input (an empty chunk) half-closes the output.
void Forward(int from, int to, std::chrono::milliseconds delay) {
    std::mutex mutex;
    std::condition_variable ready;
    std::deque<std::pair<Clock::time_point, std::string>> line;
    std::thread writer([&] {
        for (bool open = true;;) {
            std::unique_lock<std::mutex> lock(mutex);
            ready.wait(lock, [&] { return !line.empty(); });
            auto [due, bytes] = std::move(line.front());
            line.pop_front();
            lock.unlock();
            std::this_thread::sleep_until(due);
            if (bytes.empty()) {
                ::shutdown(to, SHUT_WR);
                return;
            }
            // After a failed send the rest is read and dropped, so the
            // reader still sees the end.
            open = open && SendAll(to, bytes);
        }
    });
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(from, buffer, sizeof buffer);
        std::string bytes = n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string();
        {
            std::lock_guard<std::mutex> lock(mutex);
            line.emplace_back(Clock::now() + delay, bytes);
        }
        ready.notify_one();
        if (n <= 0)
            break;
    }
    writer.join();
}

} // namespace

DelayingProxy::DelayingProxy(int targetPort, std::chrono::milliseconds delay)
    : m_targetPort(targetPort), m_delay(delay) {
    m_listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = Loopback(0);
    socklen_t length = sizeof address;
    if (m_listener < 0 || ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(m_listener, 16) != 0 || ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        throw std::runtime_error("the delaying proxy cannot listen");
    m_port = ntohs(address.sin_port);
    m_acceptor = std::thread([this] { Accept(); });
}

DelayingProxy::~DelayingProxy() {
    m_stopping = true;
    ::shutdown(m_listener, SHUT_RDWR); // wakes accept()
    m_acceptor.join();
    ::close(m_listener);
    for (std::thread& connection : m_connections)
        connection.join();
}

void DelayingProxy::Accept() {
    for (;;) {
        int client = ::accept(m_listener, nullptr, nullptr);
        if (m_stopping) {
            if (client >= 0)
                ::close(client);
            return;
        }
        if (client < 0)
            continue;
        std::lock_guard<std::mutex> lock(m_mutex);
        m_connections.emplace_back([this, client] { Serve(client); });
    }
}

void DelayingProxy::Serve(int client) {
    int server = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in target = Loopback(m_targetPort);
    if (server >= 0 && ::connect(server, reinterpret_cast<sockaddr*>(&target), sizeof target) == 0) {
        NoDelay(client);
        NoDelay(server);
        std::thread upstream([&] { Forward(client, server, m_delay); });
        Forward(server, client, m_delay);
        upstream.join();
    }
    if (server >= 0)
        ::close(server);
    ::close(client);
}
