#pragma once

#include "support/loopback_server.h"
#include "support/scripted_reactions.h"

#include <mutex>
#include <set>
#include <string>
#include <vector>

// A POP3 server on loopback for tests: a mailbox of whole messages, one
// login, STAT, TOP, RETR, DELE and QUIT as RFC 1939 has them (marked messages
// are removed only by QUIT), every command recorded. Reactions scripted with
// On() replace the normal answer (a "-ERR", a stall, a dropped connection).
class FakePop3Server {
public:
    // Each message is a whole message text with CR LF lines.
    explicit FakePop3Server(std::vector<std::string> messages, std::string greeting = "+OK fake POP3 server ready");
    ~FakePop3Server() { Stop(); }

    void On(const std::string& command, Reaction reaction) { m_script.On(command, std::move(reaction)); }
    // What CAPA announces; without a call CAPA is answered "-ERR", as by a
    // server from before CAPA.
    void Announce(std::vector<std::string> capabilities);
    // TLS from the first byte (implicit) or after STLS, which CAPA then
    // announces; call before the client connects.
    void UseTls(ServerTls tls, bool implicit);

    int Port() const { return m_server.Port(); }
    std::vector<std::string> Commands() const { return m_script.Commands(); }
    // The messages still on the server.
    std::vector<std::string> Mailbox() const;
    int Connections() const { return m_server.ConnectionsAccepted(); }
    // Takes what the client sent before it went away (a QUIT not waited
    // for) and stops; call before looking at the mailbox.
    void Stop() { m_server.Stop(); }

    static constexpr const char* User = "user";
    static constexpr const char* Password = "secret";

private:
    void Serve(ServerConnection& connection);
    // The normal answer; false when the session ends.
    bool Answer(ServerConnection& connection, const std::string& command);
    void SendMessageLines(ServerConnection& connection, int number, bool headerOnly);
    bool ValidNumber(const std::string& argument, int& index) const;

    mutable std::mutex m_mutex;
    std::vector<std::string> m_messages;
    std::string m_greeting;
    std::vector<std::string> m_capabilities;
    bool m_capa = false;
    ServerTls m_tls;
    bool m_implicitTls = false;
    ScriptedReactions m_script;
    // Per connection.
    std::string m_user;
    bool m_loggedIn = false;
    std::set<int> m_marked;
    LoopbackServer m_server;
};
