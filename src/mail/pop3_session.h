#pragma once

#include "mail/pop3_reply.h"
#include "platform/connection_security.h"
#include "platform/tcp_socket.h"

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

class MailMessage;

// What one POP3 session needs, passed in by its caller (the account scan
// takes it from the account and the Timeout setting).
struct Pop3Settings {
    std::string Host;
    int Port = 110;
    std::string User;
    std::string Password;
    // Limit for connecting and for every wait for data.
    int TimeoutMs = 60000;
    ConnectionSecurity Security = ConnectionSecurity::None;
    // Commands may be sent ahead when the server announces PIPELINING.
    bool AllowPipelining = true;
};

// One POP3 (RFC 1939) conversation, in clear or over TLS (implicit, or
// upgraded with STLS, RFC 2595). Only USER, PASS, CAPA, STLS, STAT, TOP,
// RETR, DELE and QUIT are ever sent.
//
// Call order:
//   Connect()                      [TLS] greeting, [CAPA, STLS, TLS], USER,
//                                  PASS, CAPA (RFC 2449; "-ERR": none)
//   CountMessages()                STAT; messages are then numbered 1..count
//   ReadAhead(last)                optional: TOP commands up to message
//                                  last may be sent ahead
//   RetrieveHeader(n, message)     TOP n 0, for each n in turn
//   RetrieveMessage(n, message)    RETR n (quarantined messages)
//   DeleteMessages(numbers, done)  DELE each: only marks the messages
//   Disconnect()                   QUIT, its "+OK" awaited, and close: commits
// ConnectOnly() is Connect() then Disconnect() (POP before SMTP); a failed
// QUIT does not matter there.
//
// When the server announces PIPELINING, a window of commands is kept in
// flight and each reply is handled as it arrives; what the caller sees, and
// in what order, is the same as one command at a time.
//
// A session that is destroyed without Disconnect() closes the socket without
// QUIT, so the server keeps every message of the session, marked or not.
//
// Errors: every call raises MailTransportError. A negative reply carries the
// server's text after "-ERR" (RETR excepted: it returns false); the socket
// failures carry the texts of TcpSocket ("Connect timed out.",
// "Read Timeout", "Host not found.", "Connection Closed Gracefully.",
// "Socket Error # ...", "certificate verify failed: ...", "TLS handshake
// failed: ..."); a server asked for STLS that does not offer it raises
// "The POP3 server does not offer STLS." before the password is sent; a
// status line that is neither "+OK" nor "-ERR" raises "Invalid reply from
// POP3 server: " + the line; a STAT count that is not a number raises
// "Invalid STAT reply: " + the reply text. Disconnect() raises when the
// session is no longer connected or QUIT is not answered "+OK": the
// deletions may not have happened. "Read Timeout" also ends a multi-line
// reply that arrives slower than MinimumTransferRate bytes per time-out.
// After a negative reply the session can go on (so a failed TOP still allows
// DELE and QUIT); after any other failure the connection is closed without
// QUIT, so the server keeps every message.
class Pop3Session {
public:
    explicit Pop3Session(Pop3Settings settings);
    ~Pop3Session() = default;
    Pop3Session(const Pop3Session&) = delete;
    Pop3Session& operator=(const Pop3Session&) = delete;

    void Connect();
    int CountMessages();
    void ReadAhead(int lastNumber) { m_readAheadLimit = lastNumber; }
    // Appends the header block of message n to message.HeaderLines (empty
    // lines dropped) and parses the header fields. Returns true.
    bool RetrieveHeader(int number, MailMessage& message);
    // Reads message n into HeaderLines and BodyLines as received, dot-stuffing
    // removed, and parses the header fields. False on "-ERR", the message
    // left untouched.
    bool RetrieveMessage(int number, MailMessage& message);
    bool DeleteMessage(int number);
    // Marks each message for deletion, in order; done(number, error) follows
    // each reply, with the error text empty on success. Raises nothing itself.
    void DeleteMessages(const std::vector<int>& numbers,
                        const std::function<void(int number, const std::string& error)>& done);
    void Disconnect();
    void ConnectOnly();

    bool Connected() const { return m_socket.Connected(); }
    // What the server announced to CAPA after the login, upper-case words.
    bool HasCapability(const std::string& name) const;
    bool Pipelining() const { return m_settings.AllowPipelining && HasCapability("PIPELINING"); }

    // A multi-line reply slower than this many bytes per time-out is given up.
    static constexpr std::size_t MinimumTransferRate = 1024;
    // Commands kept in flight at most when pipelining.
    static constexpr std::size_t Window = 32;

private:
    enum class Kind { Status, Capabilities, Top, Retr, Dele, Quit };
    struct Reply {
        Pop3Reply Status;
        std::vector<std::string> Lines;
    };
    struct InFlight {
        Kind What;
        int Number;
    };

    std::vector<std::string> ReadCapabilities();
    void UpgradeToTls();
    // Sends a command whose reply is read later, in order.
    void Send(const std::string& line, Kind kind, int number = 0);
    void SendMasked(const std::string& line, const std::string& transcriptText);
    // Reads replies in order up to the one of (kind, number); read-ahead
    // header replies on the way are kept for RetrieveHeader.
    Reply Await(Kind kind, int number = 0);
    Reply ReadNextReply();
    // Sends the TOP commands the window allows, n's among them.
    void SendHeaderRequests(int number);
    // A status line; the part of an over-long one beyond the line limit is
    // dropped.
    std::string ReadStatusLine();
    // The parsed status line; one that breaks the protocol closes the
    // connection and raises.
    Pop3Reply ParseStatus(const std::string& statusLine);
    static std::string ExpectPositive(const Reply& reply);
    // Reads the lines of a multi-line reply up to ".", unstuffed.
    std::vector<std::string> ReadMultiLine();

    Pop3Settings m_settings;
    TcpSocket m_socket;
    std::vector<std::string> m_capabilities;
    std::deque<InFlight> m_inFlight;
    std::map<int, Reply> m_readAhead;
    int m_readAheadLimit = 0;
    int m_nextHeaderRequest = 1;
};
