#pragma once

#include "mail/pop3_reply.h"
#include "platform/tcp_socket.h"

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
};

// One POP3 (RFC 1939) conversation over plain TCP. Only USER, PASS, STAT,
// TOP, RETR, DELE and QUIT are ever sent.
//
// Call order:
//   Connect()                      greeting, USER, PASS
//   CountMessages()                STAT; messages are then numbered 1..count
//   RetrieveHeader(n, message)     TOP n 0, for each n in turn
//   RetrieveMessage(n, message)    RETR n (quarantined messages)
//   DeleteMessage(n)               DELE n: only marks the message
//   Disconnect()                   QUIT, its "+OK" awaited, and close: commits
// ConnectOnly() is Connect() then Disconnect() (POP before SMTP); a failed
// QUIT does not matter there.
//
// A session that is destroyed without Disconnect() closes the socket without
// QUIT, so the server keeps every message of the session, marked or not.
//
// Errors: every call raises MailTransportError. A negative reply carries the
// server's text after "-ERR" (RETR excepted: it returns false); the socket
// failures carry the texts of TcpSocket ("Connect timed out.",
// "Read Timeout", "Host not found.", "Connection Closed Gracefully.",
// "Socket Error # ..."); a status line that is neither "+OK" nor "-ERR"
// raises "Invalid reply from POP3 server: " + the line; a STAT count that is
// not a number raises "Invalid STAT reply: " + the reply text. Disconnect()
// raises when the session is no longer connected or QUIT is not answered
// "+OK": the deletions may not have happened. "Read Timeout" also ends a
// multi-line reply that arrives slower than MinimumTransferRate bytes per
// time-out. After a negative reply the session can go on (so a failed TOP
// still allows DELE and QUIT); after any other failure the connection is
// closed without QUIT, so the server keeps every message.
class Pop3Session {
public:
    explicit Pop3Session(Pop3Settings settings);
    ~Pop3Session() = default;
    Pop3Session(const Pop3Session&) = delete;
    Pop3Session& operator=(const Pop3Session&) = delete;

    void Connect();
    int CountMessages();
    // Appends the header block of message n to message.HeaderLines (empty
    // lines dropped) and parses the header fields. Returns true.
    bool RetrieveHeader(int number, MailMessage& message);
    // Reads message n into HeaderLines and BodyLines as received, dot-stuffing
    // removed, and parses the header fields. False on "-ERR", the message
    // left untouched.
    bool RetrieveMessage(int number, MailMessage& message);
    bool DeleteMessage(int number);
    void Disconnect();
    void ConnectOnly();

    bool Connected() const { return m_socket.Connected(); }

    // A multi-line reply slower than this many bytes per time-out is given up.
    static constexpr std::size_t MinimumTransferRate = 1024;

private:
    // Sends a command and reads its status line.
    std::string Command(const std::string& line);
    std::string CommandMasked(const std::string& line, const std::string& transcriptText);
    // A status line; the part of an over-long one beyond the line limit is
    // dropped.
    std::string ReadStatusLine();
    // The parsed status line; one that breaks the protocol closes the
    // connection and raises.
    Pop3Reply ParseStatus(const std::string& statusLine);
    std::string ExpectPositive(const std::string& statusLine);
    // Reads the lines of a multi-line reply up to ".", unstuffed.
    std::vector<std::string> ReadMultiLine();

    Pop3Settings m_settings;
    TcpSocket m_socket;
};
