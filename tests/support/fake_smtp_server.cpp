#include "support/fake_smtp_server.h"

#include "records/base64.h"

#include <cctype>

namespace {

// The command verb in upper case ("MAIL" of "mail FROM:<>").
std::string VerbOf(const std::string& command) {
    std::string verb = command.substr(0, command.find(' '));
    for (char& c : verb)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return verb;
}

} // namespace

FakeSmtpServer::FakeSmtpServer(FakeSmtpOptions options)
    : m_options(std::move(options)), m_server([this](ServerConnection& connection) { Serve(connection); }) {}

std::vector<std::string> FakeSmtpServer::Messages() const {
    std::lock_guard lock(m_mutex);
    return m_messages;
}

void FakeSmtpServer::Serve(ServerConnection& connection) {
    if (m_options.ImplicitTls && !connection.StartTls(m_options.Tls))
        return;
    connection.SendLine(m_options.Greeting);
    ServeCommands(connection, m_script, [&](const std::string& command) { return Answer(connection, command); });
}

bool FakeSmtpServer::Answer(ServerConnection& connection, const std::string& command) {
    std::string verb = VerbOf(command);
    if (verb == "EHLO" && !m_options.RefuseEhlo) {
        std::string reply = "250-fake.example\r\n";
        if (!m_options.AuthLine.empty())
            reply += "250-" + m_options.AuthLine + "\r\n";
        if (m_options.Tls.Enabled() && !m_options.ImplicitTls)
            reply += "250-STARTTLS\r\n";
        connection.Send(reply + "250-PIPELINING\r\n250 8BITMIME\r\n");
    } else if (verb == "EHLO") {
        connection.SendLine("502 5.5.2 Error: command not recognized");
    } else if (verb == "HELO") {
        connection.SendLine("250 fake.example");
    } else if (verb == "AUTH" && command == "AUTH LOGIN") {
        Authenticate(connection);
    } else if (verb == "AUTH" && command.rfind("AUTH PLAIN ", 0) == 0) {
        std::string expected = std::string(1, '\0') + Base64Decode(m_options.User64) + std::string(1, '\0') +
                               Base64Decode(m_options.Password64);
        bool accepted = Base64Decode(command.substr(11)) == expected;
        connection.SendLine(accepted ? "235 2.7.0 Authentication successful"
                                     : "535 5.7.8 Error: authentication failed");
    } else if (verb == "STARTTLS" && m_options.Tls.Enabled() && !m_options.ImplicitTls) {
        connection.SendLine("220 2.0.0 Ready to start TLS");
        return connection.StartTls(m_options.Tls);
    } else if (verb == "RSET" || verb == "MAIL") {
        connection.SendLine("250 2.0.0 Ok");
    } else if (verb == "RCPT") {
        connection.SendLine(m_options.RcptReply);
    } else if (verb == "DATA") {
        ReceiveData(connection);
    } else if (verb == "QUIT") {
        connection.SendLine("221 2.0.0 Bye");
        connection.Close();
        return false;
    } else {
        connection.SendLine("502 5.5.2 Error: command not recognized");
    }
    return true;
}

void FakeSmtpServer::Authenticate(ServerConnection& connection) {
    connection.SendLine("334 VXNlcm5hbWU6");
    auto user = connection.ReadLine();
    if (!user)
        return;
    m_script.Record(*user);
    connection.SendLine("334 UGFzc3dvcmQ6");
    auto password = connection.ReadLine();
    if (!password)
        return;
    m_script.Record(*password);
    bool accepted = *user == m_options.User64 && *password == m_options.Password64;
    connection.SendLine(accepted ? "235 2.7.0 Authentication successful" : "535 5.7.8 Error: authentication failed");
}

void FakeSmtpServer::ReceiveData(ServerConnection& connection) {
    connection.SendLine("354 End data with <CR><LF>.<CR><LF>");
    std::string data;
    while (auto line = connection.ReadLine()) {
        if (*line == ".") {
            {
                std::lock_guard lock(m_mutex);
                m_messages.push_back(data);
            }
            connection.SendLine("250 2.0.0 Ok: queued");
            return;
        }
        data += *line + "\r\n";
    }
}
