#include "platform/tcp_socket.h"

#include "platform/event_pump.h"
#include "platform/mail_transport_error.h"
#include "platform/tls_channel.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <string_view>
#include <system_error>
#include <utility>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int PumpSliceMs = 250;
constexpr std::size_t ReceiveChunk = 65536;
constexpr char ClosedGracefullyText[] = "Connection Closed Gracefully.";

ProtocolTranscript& TranscriptSink() {
    static ProtocolTranscript sink;
    return sink;
}

void Transcribe(const char* direction, const std::string& text) {
    if (TranscriptSink())
        TranscriptSink()(direction + text);
}

std::string SocketErrorText(int error) {
    std::string description = std::system_category().message(error);
    if (description.empty() || description.back() != '.')
        description += '.';
    return "Socket Error # " + std::to_string(error) + "\r\n" + description;
}

Clock::time_point DeadlineAfter(int milliseconds) {
    return Clock::now() + std::chrono::milliseconds(std::max(milliseconds, 0));
}

enum class Wait { Ready, TimedOut, Failed };

// Waits until fd is ready for events or the deadline passes, in slices short
// enough to keep the user interface alive; error receives errno on Failed.
Wait WaitUntilReady(int fd, short events, Clock::time_point deadline, int& error) {
    for (;;) {
        auto remaining = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        int slice = static_cast<int>(std::clamp<long long>(remaining, 0, PumpSliceMs));
        pollfd entry{fd, events, 0};
        int ready = ::poll(&entry, 1, slice);
        error = errno;
        Pump();
        if (ready > 0)
            return Wait::Ready;
        if (ready < 0 && error != EINTR)
            return Wait::Failed;
        if (remaining <= 0)
            return Wait::TimedOut;
    }
}

struct AddressList {
    addrinfo* first = nullptr;
    ~AddressList() {
        if (first)
            ::freeaddrinfo(first);
    }
};

void Resolve(const std::string& host, int port, AddressList& addresses) {
    if (host.empty())
        throw MailTransportError("Host not found.");
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    int result = ::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &addresses.first);
    if (result == EAI_SYSTEM)
        throw MailTransportError(SocketErrorText(errno));
    if (result != 0)
        throw MailTransportError("Host not found.");
}

// Closes a descriptor unless it is released: no path out of a connection
// attempt, the event pump throwing included, leaks one.
class DescriptorGuard {
public:
    explicit DescriptorGuard(int fd) : m_fd(fd) {}
    ~DescriptorGuard() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    DescriptorGuard(const DescriptorGuard&) = delete;
    DescriptorGuard& operator=(const DescriptorGuard&) = delete;
    int Get() const { return m_fd; }
    int Release() { return std::exchange(m_fd, -1); }

private:
    int m_fd;
};

// One connection attempt. Returns the connected descriptor, or -1 with the
// error in lastError; throws "Connect timed out." when the deadline passes.
int TryConnect(const addrinfo& address, Clock::time_point deadline, int& lastError) {
    DescriptorGuard fd(
        ::socket(address.ai_family, address.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, address.ai_protocol));
    if (fd.Get() < 0) {
        lastError = errno;
        return -1;
    }
    // Pipelined commands are small writes made while earlier ones are
    // unanswered: Nagle's algorithm would hold each until the last one is
    // acknowledged, a round trip later, halving what a window achieves.
    int on = 1;
    ::setsockopt(fd.Get(), IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    if (::connect(fd.Get(), address.ai_addr, address.ai_addrlen) == 0)
        return fd.Release();
    if (errno != EINPROGRESS) {
        lastError = errno;
        return -1;
    }
    int error = 0;
    Wait wait = WaitUntilReady(fd.Get(), POLLOUT, deadline, error);
    if (wait != Wait::Ready)
        throw MailTransportError(wait == Wait::TimedOut ? "Connect timed out." : SocketErrorText(error));
    socklen_t length = sizeof error;
    if (::getsockopt(fd.Get(), SOL_SOCKET, SO_ERROR, &error, &length) != 0)
        error = errno;
    if (error == 0)
        return fd.Release();
    lastError = error;
    return -1;
}

} // namespace

void SetProtocolTranscript(ProtocolTranscript sink) {
    TranscriptSink() = std::move(sink);
}

TcpSocket::TcpSocket() = default;

TcpSocket::~TcpSocket() {
    Close();
}

void TcpSocket::Connect(const std::string& host, int port, int timeoutMs) {
    Close();
    Clock::time_point deadline = DeadlineAfter(timeoutMs);
    AddressList addresses;
    Resolve(host, port, addresses);
    int lastError = ECONNREFUSED;
    for (addrinfo* address = addresses.first; address; address = address->ai_next) {
        int fd = TryConnect(*address, deadline, lastError);
        if (fd >= 0) {
            m_fd = fd;
            return;
        }
    }
    throw MailTransportError(SocketErrorText(lastError));
}

std::string TcpSocket::LocalAddressLiteral() const {
    sockaddr_storage local{};
    socklen_t length = sizeof local;
    if (m_fd < 0 || ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&local), &length) != 0)
        return {};
    char text[INET6_ADDRSTRLEN] = {};
    if (local.ss_family == AF_INET) {
        const auto& address = reinterpret_cast<const sockaddr_in&>(local);
        ::inet_ntop(AF_INET, &address.sin_addr, text, sizeof text);
        return "[" + std::string(text) + "]";
    }
    if (local.ss_family != AF_INET6)
        return {};
    const auto& address = reinterpret_cast<const sockaddr_in6&>(local);
    if (IN6_IS_ADDR_V4MAPPED(&address.sin6_addr)) {
        ::inet_ntop(AF_INET, &address.sin6_addr.s6_addr[12], text, sizeof text);
        return "[" + std::string(text) + "]";
    }
    ::inet_ntop(AF_INET6, &address.sin6_addr, text, sizeof text);
    return "[IPv6:" + std::string(text) + "]";
}

void TcpSocket::Close() {
    if (m_tls) {
        m_tls->Shutdown();
        m_tls.reset();
    }
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_buffer.clear();
    m_bufferStart = 0;
    m_splitPending = false;
}

void TcpSocket::Fail(const std::string& text) {
    Close();
    throw MailTransportError(text);
}

void TcpSocket::AwaitReady(short events, std::chrono::steady_clock::time_point deadline, const char* timeoutText) {
    int error = 0;
    Wait wait = WaitUntilReady(m_fd, events, deadline, error);
    if (wait == Wait::TimedOut)
        Fail(timeoutText);
    if (wait == Wait::Failed)
        Fail(SocketErrorText(error));
    // The event pump may have run code that closed this connection.
    if (m_fd < 0)
        throw MailTransportError("Not connected.");
}

std::string TcpSocket::ReadLine() {
    return ReadLine(DeadlineAfter(m_readTimeoutMs));
}

std::string TcpSocket::ReadLine(Clock::time_point deadline) {
    std::string line;
    while (!TakeLineFromBuffer(line))
        ReceiveMore(deadline);
    Transcribe("S: ", line);
    return line;
}

void TcpSocket::SkipRestOfLine() {
    while (m_splitPending)
        ReadLine();
}

bool TcpSocket::TakeLineFromBuffer(std::string& line) {
    std::size_t end = m_buffer.find('\n', m_bufferStart);
    std::size_t available = (end == std::string::npos ? m_buffer.size() : end) - m_bufferStart;
    if (end != std::string::npos) {
        std::size_t length = available;
        if (length > 0 && m_buffer[m_bufferStart + length - 1] == '\r')
            --length;
        if (length <= MaxLineLength) {
            line.assign(m_buffer, m_bufferStart, length);
            m_bufferStart = end + 1;
            m_lastLineContinued = m_splitPending;
            m_splitPending = false;
            return true;
        }
    } else if (available <= MaxLineLength + 1) {
        // A line of exactly the limit may still be waiting for its CR LF.
        return false;
    }
    line.assign(m_buffer, m_bufferStart, MaxLineLength);
    m_bufferStart += MaxLineLength;
    m_lastLineContinued = m_splitPending;
    m_splitPending = true;
    return true;
}

void TcpSocket::StartTls(const std::string& hostName) {
    if (m_fd < 0)
        throw MailTransportError("Not connected.");
    if (m_bufferStart < m_buffer.size())
        Fail("Unexpected data before the TLS handshake.");
    Clock::time_point deadline = DeadlineAfter(m_readTimeoutMs);
    try {
        m_tls = std::make_unique<TlsChannel>(m_fd, hostName);
        for (;;) {
            TlsChannel::Want want = m_tls->Handshake();
            if (want == TlsChannel::Want::Nothing)
                break;
            AwaitReady(want == TlsChannel::Want::Read ? POLLIN : POLLOUT, deadline, "Read Timeout");
        }
    } catch (const MailTransportError& error) {
        Fail(error.what());
    }
    Transcribe("C: ", "(TLS started)");
}

std::size_t TcpSocket::ReceiveSome(char* data, std::size_t size, short& events) {
    events = POLLIN;
    if (m_tls) {
        TlsChannel::Want want = TlsChannel::Want::Nothing;
        std::size_t received = m_tls->Read(data, size, want);
        events = want == TlsChannel::Want::Write ? POLLOUT : POLLIN;
        return received;
    }
    ssize_t received = ::recv(m_fd, data, size, 0);
    int error = errno;
    if (received > 0)
        return static_cast<std::size_t>(received);
    if (received == 0)
        throw MailTransportError(ClosedGracefullyText);
    if (error != EAGAIN && error != EWOULDBLOCK && error != EINTR)
        throw MailTransportError(SocketErrorText(error));
    return 0;
}

void TcpSocket::ReceiveMore(Clock::time_point deadline) {
    if (m_fd < 0)
        throw MailTransportError("Not connected.");
    // Drop consumed lines before the buffer grows, so reading stays linear.
    m_buffer.erase(0, m_bufferStart);
    m_bufferStart = 0;
    for (;;) {
        std::size_t oldSize = m_buffer.size();
        m_buffer.resize(oldSize + ReceiveChunk);
        short events = POLLIN;
        std::size_t received = 0;
        try {
            received = ReceiveSome(m_buffer.data() + oldSize, ReceiveChunk, events);
        } catch (const MailTransportError& error) {
            m_buffer.resize(oldSize);
            Fail(error.what());
        }
        m_buffer.resize(oldSize + received);
        if (received > 0)
            return;
        AwaitReady(events, deadline, "Read Timeout");
    }
}

std::size_t TcpSocket::ReadBlock(char* data, std::size_t size) {
    if (m_bufferStart >= m_buffer.size()) {
        if (m_fd < 0)
            return 0;
        try {
            ReceiveMore(Clock::now() + std::chrono::milliseconds(m_readTimeoutMs));
        } catch (const MailTransportError& error) {
            // Closing is how an HTTP/1.0 server ends its body.
            if (std::string_view(error.what()) == ClosedGracefullyText)
                return 0;
            throw;
        }
    }
    std::size_t count = std::min(size, m_buffer.size() - m_bufferStart);
    std::memcpy(data, m_buffer.data() + m_bufferStart, count);
    m_bufferStart += count;
    return count;
}

void TcpSocket::WriteLine(const std::string& line) {
    WriteLineMasked(line, line);
}

void TcpSocket::WriteLineMasked(const std::string& line, const std::string& transcriptText) {
    Transcribe("C: ", transcriptText);
    std::string data = line + "\r\n";
    SendAll(data.data(), data.size());
}

void TcpSocket::Write(const std::string& bytes) {
    Transcribe("C: ", "(" + std::to_string(bytes.size()) + " bytes of message text)");
    SendAll(bytes.data(), bytes.size());
}

std::size_t TcpSocket::SendSome(const char* data, std::size_t size, short& events) {
    events = POLLOUT;
    if (m_tls) {
        TlsChannel::Want want = TlsChannel::Want::Nothing;
        std::size_t sent = m_tls->Write(data, size, want);
        events = want == TlsChannel::Want::Read ? POLLIN : POLLOUT;
        return sent;
    }
    ssize_t sent = ::send(m_fd, data, size, MSG_NOSIGNAL);
    int error = errno;
    if (sent > 0)
        return static_cast<std::size_t>(sent);
    if (sent < 0 && error != EAGAIN && error != EWOULDBLOCK && error != EINTR)
        throw MailTransportError(SocketErrorText(error));
    return 0;
}

void TcpSocket::SendAll(const char* data, std::size_t size) {
    if (m_fd < 0)
        throw MailTransportError("Not connected.");
    Clock::time_point deadline = DeadlineAfter(m_readTimeoutMs);
    while (size > 0) {
        short events = POLLOUT;
        std::size_t sent = 0;
        try {
            sent = SendSome(data, size, events);
        } catch (const MailTransportError& error) {
            Fail(error.what());
        }
        if (sent > 0) {
            data += sent;
            size -= sent;
            deadline = DeadlineAfter(m_readTimeoutMs);
            continue;
        }
        AwaitReady(events, deadline, "Write Timeout");
    }
}
