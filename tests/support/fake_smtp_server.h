#pragma once

#include "support/loopback_server.h"
#include "support/scripted_reactions.h"

#include <mutex>
#include <string>
#include <vector>

// What the fake SMTP server says and accepts.
struct FakeSmtpOptions {
    std::string Greeting = "220 fake.example ESMTP";
    // EHLO answered "502" instead of "250": the client must fall back to HELO.
    bool RefuseEhlo = false;
    // The AUTH line of the EHLO reply; empty announces no mechanism.
    std::string AuthLine = "AUTH PLAIN LOGIN";
    std::string RcptReply = "250 2.1.5 Ok";
    // The Base64 lines AUTH LOGIN accepts ("user", "secret"); AUTH PLAIN
    // accepts the same name and password.
    std::string User64 = "dXNlcg==";
    std::string Password64 = "c2VjcmV0";
    // TLS from the first byte (implicit), or STARTTLS announced by EHLO.
    ServerTls Tls;
    bool ImplicitTls = false;
};

// An SMTP server on loopback for tests: greeting, EHLO/HELO, AUTH LOGIN,
// RSET, MAIL, RCPT, DATA and QUIT, every command line recorded (the AUTH
// lines too), every message kept as the data lines received between DATA
// and "." (still dot-stuffed, each ended by CR LF). Reactions scripted with
// On() replace the normal answer to a command.
class FakeSmtpServer {
public:
    explicit FakeSmtpServer(FakeSmtpOptions options = {});
    ~FakeSmtpServer() { Stop(); }

    void On(const std::string& command, Reaction reaction) { m_script.On(command, std::move(reaction)); }

    int Port() const { return m_server.Port(); }
    std::vector<std::string> Commands() const { return m_script.Commands(); }
    std::vector<std::string> Messages() const;
    int Connections() const { return m_server.ConnectionsAccepted(); }
    // Takes what the client sent before it went away, then stops.
    void Stop() { m_server.Stop(); }

private:
    void Serve(ServerConnection& connection);
    bool Answer(ServerConnection& connection, const std::string& command);
    void Authenticate(ServerConnection& connection);
    void ReceiveData(ServerConnection& connection);

    FakeSmtpOptions m_options;
    ScriptedReactions m_script;
    mutable std::mutex m_mutex;
    std::vector<std::string> m_messages;
    LoopbackServer m_server;
};
