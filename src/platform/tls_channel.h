#pragma once

#include <cstddef>
#include <memory>
#include <string>

// One TLS client session (OpenSSL) over a connected non-blocking socket.
// TLS 1.2 or newer; the server's certificate is verified against OpenSSL's
// default verify paths (so SSL_CERT_FILE and SSL_CERT_DIR apply) and checked
// against the host name (or address) the account names; SNI is sent for
// names. It never waits: every call says what it needs the socket to become
// ready for, and the caller polls, with its own time-outs and event pump.
//
// Errors: MailTransportError. A certificate that fails verification gives
// "certificate verify failed: " + OpenSSL's reason ("certificate has
// expired", "hostname mismatch", "unable to get local issuer certificate",
// ...); other handshake failures "TLS handshake failed: " + the reason; a
// peer that closes gives "Connection Closed Gracefully.".
class TlsChannel {
public:
    enum class Want { Nothing, Read, Write };

    TlsChannel(int fd, const std::string& hostName);
    ~TlsChannel();
    TlsChannel(const TlsChannel&) = delete;
    TlsChannel& operator=(const TlsChannel&) = delete;

    // One step of the handshake; Nothing when it is complete.
    Want Handshake();
    // Bytes read (0 with want set when the socket must become ready first).
    std::size_t Read(char* data, std::size_t size, Want& want);
    // Bytes written (0 with want set when the socket must become ready first).
    std::size_t Write(const char* data, std::size_t size, Want& want);
    // Sends the closing alert without waiting for the peer's.
    void Shutdown();

private:
    struct State;
    std::unique_ptr<State> m_state;
};
