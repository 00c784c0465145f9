#pragma once

#include "platform/connection_security.h"
#include "platform/tcp_socket.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

class MailMessage;
struct SmtpReply;

enum class SmtpAuthentication { None, Login };

// The SMTP (RFC 2821) client every message of the program leaves through.
// The envelope never comes from the message: the caller sets EnvelopeFrom
// (empty gives the null reverse-path "MAIL FROM:<>") and the one EnvelopeTo
// before each message.
//
// Call order:
//   Connect(timeout)          greeting 220; EHLO (250 records the AUTH
//                             mechanisms), else HELO (250)
//   SendWithEnvelope(message) any number of times: RSET; AUTH LOGIN once per
//                             connection when asked for and announced; MAIL
//                             FROM; RCPT TO (250 or 251); DATA (354); the
//                             message with dot-stuffing; "." (250)
//   Disconnect()              QUIT, not awaited; close
//
// Errors: MailTransportError. An unexpected reply code raises the server's
// reply text (a 421 also closes the connection); a reply line without a
// three-digit code closes the connection and raises "Invalid reply from SMTP
// server: " + the line; socket failures the texts of TcpSocket ("Connect
// timed out.", "Read Timeout", "Host not found.", "Connection Closed
// Gracefully.", "Socket Error # ...", "certificate verify failed: ...",
// "TLS handshake failed: ..."); a server asked for STARTTLS that does not
// offer it raises "The SMTP server does not offer STARTTLS."; an envelope
// address holding a line break or other control character raises "Invalid
// envelope address." before anything is sent for that message. A failed
// Connect closes the connection; a failed SendWithEnvelope keeps it open
// unless the socket itself failed, and the next message starts with RSET.
class SmtpClient {
public:
    std::string Host;
    std::int32_t Port = 25;
    // Limit for each wait on a server reply, in milliseconds.
    std::int32_t ReadTimeout = 60000;
    std::string Username;
    std::string Password;
    SmtpAuthentication Authentication = SmtpAuthentication::None;
    ConnectionSecurity Security = ConnectionSecurity::None;
    // The name given in EHLO/HELO; empty means this machine's fully
    // qualified name, else the address literal of the local end.
    std::string HeloName;
    bool UseEhlo = true;
    // "X-Mailer" of composed messages; empty means none.
    std::string MailAgent;
    std::string EnvelopeFrom;
    std::string EnvelopeTo;

    SmtpClient() = default;
    SmtpClient(const SmtpClient&) = delete;
    SmtpClient& operator=(const SmtpClient&) = delete;

    void Connect(int timeoutMilliseconds);
    void SendWithEnvelope(MailMessage& message);
    void Disconnect();

    bool Connected() const { return m_socket.Connected(); }
    // AUTH PLAIN or LOGIN has succeeded on the current connection.
    bool Authenticated() const { return m_authenticated; }
    // Mechanisms of the EHLO reply, upper-case, without duplicates.
    const std::vector<std::string>& AnnouncedMechanisms() const { return m_announcedMechanisms; }

private:
    void Greet(int timeoutMilliseconds);
    void Authenticate();
    std::string DefaultHeloName() const;
    void AuthenticateLogin();
    void AuthenticatePlain();
    void UpgradeToTls(const std::string& name);
    bool Announced(const std::string& mechanism) const;
    SmtpReply Command(const std::string& line);
    SmtpReply CommandMasked(const std::string& line, const std::string& transcriptText);
    SmtpReply ReadReply();
    // Raises unless the reply has one of codes; a 421 also closes.
    void Expect(const SmtpReply& reply, std::initializer_list<int> codes);

    TcpSocket m_socket;
    bool m_authenticated = false;
    std::vector<std::string> m_announcedMechanisms;
};
