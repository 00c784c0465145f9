#pragma once

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <thread>

struct ssl_st;

// The certificate and key files a test server proves itself with.
struct ServerTls {
    std::string Certificate;
    std::string Key;
    bool Enabled() const { return !Certificate.empty(); }
};

// The server side of one accepted connection, used by a handler on the
// server's thread. Plain blocking POSIX calls, independent of the client
// code under test. Every wait also ends when the server stops.
class ServerConnection {
public:
    ServerConnection(int fd, const std::atomic<bool>& stopping) : m_fd(fd), m_stopping(stopping) {}
    ~ServerConnection();
    ServerConnection(const ServerConnection&) = delete;
    ServerConnection& operator=(const ServerConnection&) = delete;

    // The next line without CR LF; nullopt when the client closed the
    // connection or the server stops.
    std::optional<std::string> ReadLine();
    // Bytes as given; SendLine appends CR LF. Failures are ignored (a client
    // that went away is the client's business).
    void Send(const std::string& bytes);
    void SendLine(const std::string& line) { Send(line + "\r\n"); }
    // Answers nothing until the client closes or the server stops.
    void Stall();
    // The server side of a TLS handshake; from then on every line is
    // encrypted. False when the client gave up (it refused the certificate).
    bool StartTls(const ServerTls& tls);
    // Closes at once (a dropped connection).
    void Close();

private:
    int m_fd;
    const std::atomic<bool>& m_stopping;
    std::string m_buffer;
    ssl_st* m_ssl = nullptr;
};

// A TCP server on 127.0.0.1 (or ::1) with a port of the system's choosing.
// Accepted connections are handled one after another on one thread by the
// handler. Throws std::runtime_error when it cannot listen.
class LoopbackServer {
public:
    using Handler = std::function<void(ServerConnection&)>;

    explicit LoopbackServer(Handler handler, bool ipv6 = false);
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    int Port() const { return m_port; }
    int ConnectionsAccepted() const { return m_accepted; }
    // Ends every wait of the handler and joins the thread.
    void Stop();

private:
    void Run();

    Handler m_handler;
    int m_listenFd = -1;
    int m_port = 0;
    std::atomic<bool> m_stopping{false};
    std::atomic<int> m_accepted{0};
    std::thread m_thread;
};

// A port on 127.0.0.1 where nothing listens: connecting is refused.
int UnusedLoopbackPort();
