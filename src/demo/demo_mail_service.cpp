#include "demo/demo_mail_service.h"

#include "demo/demo_smtp_conversation.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <list>
#include <memory>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <variant>

namespace {

// A line longer than this ends the connection: no client of the demo sends one.
constexpr size_t MaximumLineLength = 1024 * 1024;
constexpr auto IdleLimit = std::chrono::minutes(10);

int ListenOnLoopback(int& port) {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        throw std::runtime_error(std::string("Cannot open a socket: ") + std::strerror(errno));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(fd, 16) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        int error = errno;
        ::close(fd);
        throw std::runtime_error(std::string("Cannot listen on 127.0.0.1: ") + std::strerror(error));
    }
    port = ntohs(address.sin_port);
    return fd;
}

// Sends everything, giving up on a client that stops reading.
bool SendAll(int fd, const std::string& bytes) {
    size_t sent = 0;
    while (sent < bytes.size()) {
        ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        sent += static_cast<size_t>(n);
    }
    return true;
}

class Connection {
public:
    Connection(int fd, std::variant<DemoPop3Conversation, DemoSmtpConversation> conversation)
        : m_fd(fd), m_conversation(std::move(conversation)), m_lastActive(std::chrono::steady_clock::now()) {
        timeval limit{30, 0};
        ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
        m_open = SendAll(fd, std::visit([](auto& c) { return c.Greeting(); }, m_conversation));
    }
    ~Connection() { ::close(m_fd); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    int Fd() const { return m_fd; }
    bool Open() const { return m_open; }
    bool Idle() const { return std::chrono::steady_clock::now() - m_lastActive > IdleLimit; }

    // Reads what arrived and answers every complete line.
    void OnReadable() {
        char buffer[65536];
        ssize_t n = ::recv(m_fd, buffer, sizeof buffer, 0);
        if (n <= 0) {
            m_open = n < 0 && (errno == EINTR || errno == EAGAIN);
            return;
        }
        m_lastActive = std::chrono::steady_clock::now();
        m_buffer.append(buffer, static_cast<size_t>(n));
        size_t start = 0;
        for (size_t end; m_open && (end = m_buffer.find('\n', start)) != std::string::npos; start = end + 1) {
            std::string line = m_buffer.substr(start, end - start);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            Answer(line);
        }
        m_buffer.erase(0, start);
        if (m_buffer.size() > MaximumLineLength)
            m_open = false;
    }

private:
    void Answer(const std::string& line) {
        std::string reply = std::visit([&line](auto& c) { return c.OnLine(line); }, m_conversation);
        if (!reply.empty() && !SendAll(m_fd, reply))
            m_open = false;
        if (std::visit([](auto& c) { return c.Finished(); }, m_conversation))
            m_open = false;
    }

    int m_fd;
    std::variant<DemoPop3Conversation, DemoSmtpConversation> m_conversation;
    std::chrono::steady_clock::time_point m_lastActive;
    std::string m_buffer;
    bool m_open = true;
};

int Accept(int listener) {
    int fd = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
    return fd;
}

} // namespace

void ServeDemoMail(int pop3Listener, int smtpListener, DemoMailStore& store, const std::vector<DemoMailUser>& users) {
    std::list<std::unique_ptr<Connection>> connections;
    for (;;) {
        std::vector<pollfd> watched = {{pop3Listener, POLLIN, 0}, {smtpListener, POLLIN, 0}};
        for (const auto& connection : connections)
            watched.push_back({connection->Fd(), POLLIN, 0});
        if (::poll(watched.data(), watched.size(), 1000) < 0 && errno != EINTR)
            ::_exit(1);
        auto it = connections.begin();
        for (size_t i = 2; i < watched.size(); ++i, ++it) {
            if (watched[i].revents & (POLLIN | POLLHUP | POLLERR))
                (*it)->OnReadable();
        }
        connections.remove_if([](const auto& connection) { return !connection->Open() || connection->Idle(); });
        if (watched[0].revents & POLLIN) {
            if (int fd = Accept(pop3Listener); fd >= 0)
                connections.push_back(std::make_unique<Connection>(fd, DemoPop3Conversation(store, users)));
        }
        if (watched[1].revents & POLLIN) {
            if (int fd = Accept(smtpListener); fd >= 0)
                connections.push_back(std::make_unique<Connection>(fd, DemoSmtpConversation(store)));
        }
    }
}

DemoMailService::DemoMailService(std::string storeFolder, std::vector<DemoMailUser> users)
    : m_storeFolder(std::move(storeFolder)), m_users(std::move(users)) {}

void DemoMailService::Start() {
    if (Running())
        return;
    DemoMailStore store(m_storeFolder);
    int pop3 = ListenOnLoopback(m_pop3Port);
    int smtp = -1;
    try {
        smtp = ListenOnLoopback(m_smtpPort);
    } catch (...) {
        ::close(pop3);
        throw;
    }
    pid_t parent = ::getpid();
    pid_t child = ::fork();
    if (child == 0) {
        // The service must not outlive the demo, however the demo ends.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent)
            ::_exit(0);
        ::signal(SIGINT, SIG_IGN);
        ServeDemoMail(pop3, smtp, store, m_users);
    }
    ::close(pop3);
    ::close(smtp);
    if (child < 0)
        throw std::runtime_error(std::string("Cannot start the demo mail service: ") + std::strerror(errno));
    m_child = child;
}

void DemoMailService::Stop() {
    if (!Running())
        return;
    ::kill(m_child, SIGTERM);
    int status = 0;
    while (::waitpid(m_child, &status, 0) < 0 && errno == EINTR) {
    }
    m_child = -1;
}
