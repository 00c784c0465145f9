#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>

class TlsChannel;

// A TCP client connection for the line-based mail protocols (and HTTP/1.0).
// It knows lines, time-outs and the event pump, nothing of any protocol.
//
// Every wait (connect, read, write) happens in poll() slices of at most
// 250 ms, and the process-wide event pump (platform/event_pump.h) runs after
// each slice, so the user interface stays alive while the network waits.
//
// Failures raise MailTransportError with these texts:
//   "Host not found."                 the name cannot be resolved
//   "Connect timed out."              no connection within the time limit
//   "Read Timeout"                    no data within the read time-out
//   "Connection Closed Gracefully."   the peer closed the connection
//   "Socket Error # %d\r\n%s"         any other error: errno and its text,
//                                     ending with a full stop
// and, once StartTls has been called, the texts of TlsChannel
// ("certificate verify failed: ...", "TLS handshake failed: ...").
// After a failure the socket is closed.
class TcpSocket {
public:
    // A received line longer than this arrives as several lines of at most
    // this many characters.
    static constexpr std::size_t MaxLineLength = 16384;

    TcpSocket();
    ~TcpSocket();
    TcpSocket(const TcpSocket&) = delete;
    TcpSocket& operator=(const TcpSocket&) = delete;

    // Resolves host (a name, an IPv4 or an IPv6 address) and connects to the
    // first address that answers within timeoutMs in all. Closes any previous
    // connection first.
    void Connect(const std::string& host, int port, int timeoutMs);

    // The limit for each wait for data (and for a write to make progress).
    void SetReadTimeout(int timeoutMs) { m_readTimeoutMs = timeoutMs; }
    int ReadTimeout() const { return m_readTimeoutMs; }

    bool Connected() const { return m_fd >= 0; }

    // Encrypts the connection from here on: the TLS handshake, within the
    // read time-out, for a server that must prove it is hostName. Data the
    // peer sent before the handshake and not yet read is refused ("Unexpected
    // data before the TLS handshake."), so nothing sent in clear can pose as
    // an encrypted reply.
    void StartTls(const std::string& hostName);
    bool Encrypted() const { return m_tls != nullptr; }

    // The local end of the connection as an SMTP address literal (RFC 5321
    // 4.1.3): "[192.0.2.1]" or "[IPv6:2001:db8::1]"; empty when not connected.
    std::string LocalAddressLiteral() const;

    // The next line without its line end (CR LF, or a bare LF). The whole
    // line must arrive within the read time-out, or by deadline: a peer
    // sending a byte now and then cannot hold the connection for ever.
    std::string ReadLine();
    std::string ReadLine(std::chrono::steady_clock::time_point deadline);

    // True when the line last returned by ReadLine is the tail of a longer
    // line that was split at MaxLineLength, so a protocol does not take it
    // for the start of a line (a "." terminator or a reply code).
    bool LastLineContinued() const { return m_lastLineContinued; }

    // Reads and drops the rest of a line that arrived split, so a status
    // line of any length leaves the conversation in step.
    void SkipRestOfLine();

    // Reads up to size bytes of what the peer sends, bytes already buffered
    // first, waiting at most the read time-out; 0 once the peer has closed
    // the connection (the end of an HTTP/1.0 body).
    std::size_t ReadBlock(char* data, std::size_t size);

    // Sends line + CR LF. The masked variant shows transcriptText in the
    // protocol transcript instead of the line (passwords, AUTH data).
    void WriteLine(const std::string& line);
    void WriteLineMasked(const std::string& line, const std::string& transcriptText);

    // Sends bytes as they are (a message body); not shown in the transcript.
    void Write(const std::string& bytes);

    // Closes the connection at once; nothing is sent. Safe to call twice.
    void Close();

private:
    void SendAll(const char* data, std::size_t size);
    bool TakeLineFromBuffer(std::string& line);
    void ReceiveMore(std::chrono::steady_clock::time_point deadline);
    void AwaitReady(short events, std::chrono::steady_clock::time_point deadline, const char* timeoutText);
    [[noreturn]] void Fail(const std::string& text);
    // One read or write of at most size bytes, plain or encrypted; 0 when the
    // socket must first become ready for events.
    std::size_t ReceiveSome(char* data, std::size_t size, short& events);
    std::size_t SendSome(const char* data, std::size_t size, short& events);

    int m_fd = -1;
    std::unique_ptr<TlsChannel> m_tls;
    int m_readTimeoutMs = 60000;
    std::string m_buffer;
    std::size_t m_bufferStart = 0;
    bool m_lastLineContinued = false;
    bool m_splitPending = false;
};

// Debugging aid: a process-wide sink for the protocol conversation ("C: "
// lines sent, "S: " lines received). Off (empty) by default. Passwords and
// AUTH data never reach it: sessions send those through WriteLineMasked.
using ProtocolTranscript = std::function<void(const std::string& line)>;
void SetProtocolTranscript(ProtocolTranscript sink);
