#include "support/fake_pop3_server.h"

#include <cstdlib>

namespace {

std::vector<std::string> LinesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

std::string ArgumentOf(const std::string& command) {
    std::size_t space = command.find(' ');
    return space == std::string::npos ? std::string() : command.substr(space + 1);
}

bool Is(const std::string& command, const char* verb) {
    std::size_t length = std::char_traits<char>::length(verb);
    return command.compare(0, length, verb) == 0 && (command.size() == length || command[length] == ' ');
}

} // namespace

FakePop3Server::FakePop3Server(std::vector<std::string> messages, std::string greeting)
    : m_messages(std::move(messages)), m_greeting(std::move(greeting)),
      m_server([this](ServerConnection& connection) { Serve(connection); }) {}

std::vector<std::string> FakePop3Server::Mailbox() const {
    std::lock_guard lock(m_mutex);
    return m_messages;
}

void FakePop3Server::Announce(std::vector<std::string> capabilities) {
    std::lock_guard lock(m_mutex);
    m_capabilities = std::move(capabilities);
    m_capa = true;
}

void FakePop3Server::UseTls(ServerTls tls, bool implicit) {
    std::lock_guard lock(m_mutex);
    m_tls = std::move(tls);
    m_implicitTls = implicit;
    if (!implicit) {
        m_capabilities.push_back("STLS");
        m_capa = true;
    }
}

void FakePop3Server::Serve(ServerConnection& connection) {
    m_user.clear();
    m_loggedIn = false;
    m_marked.clear();
    if (m_implicitTls && !connection.StartTls(m_tls))
        return;
    connection.SendLine(m_greeting);
    ServeCommands(connection, m_script, [&](const std::string& command) { return Answer(connection, command); });
}

bool FakePop3Server::Answer(ServerConnection& connection, const std::string& command) {
    std::string argument = ArgumentOf(command);
    int index = 0;
    if (Is(command, "QUIT")) {
        std::lock_guard lock(m_mutex);
        for (auto marked = m_marked.rbegin(); marked != m_marked.rend(); ++marked)
            m_messages.erase(m_messages.begin() + *marked);
        connection.SendLine("+OK bye");
        connection.Close();
        return false;
    }
    if (Is(command, "CAPA") && m_capa) {
        std::string reply = "+OK capability list follows\r\n";
        for (const std::string& capability : m_capabilities)
            reply += capability + "\r\n";
        connection.Send(reply + ".\r\n");
    } else if (Is(command, "STLS") && m_tls.Enabled() && !m_implicitTls) {
        connection.SendLine("+OK Begin TLS negotiation");
        return connection.StartTls(m_tls);
    } else if (Is(command, "USER")) {
        m_user = argument;
        connection.SendLine("+OK");
    } else if (Is(command, "PASS")) {
        m_loggedIn = m_user == User && argument == Password;
        connection.SendLine(m_loggedIn ? "+OK logged in" : "-ERR [AUTH] Authentication failed.");
    } else if (!m_loggedIn) {
        connection.SendLine("-ERR not logged in");
    } else if (Is(command, "STAT")) {
        std::lock_guard lock(m_mutex);
        std::size_t count = 0, size = 0;
        for (std::size_t i = 0; i < m_messages.size(); ++i) {
            if (!m_marked.count(static_cast<int>(i))) {
                ++count;
                size += m_messages[i].size();
            }
        }
        connection.SendLine("+OK " + std::to_string(count) + " " + std::to_string(size));
    } else if ((Is(command, "RETR") || Is(command, "TOP")) &&
               ValidNumber(argument.substr(0, argument.find(" ")), index)) {
        SendMessageLines(connection, index, Is(command, "TOP"));
    } else if (Is(command, "DELE") && ValidNumber(argument, index)) {
        m_marked.insert(index);
        connection.SendLine("+OK marked");
    } else if (Is(command, "RETR") || Is(command, "TOP") || Is(command, "DELE")) {
        connection.SendLine("-ERR no such message");
    } else {
        connection.SendLine("-ERR unknown command");
    }
    return true;
}

void FakePop3Server::SendMessageLines(ServerConnection& connection, int index, bool headerOnly) {
    std::string text;
    {
        std::lock_guard lock(m_mutex);
        text = m_messages[index];
    }
    std::string reply = "+OK\r\n";
    for (const std::string& line : LinesOf(text)) {
        reply += (!line.empty() && line.front() == '.' ? "." : "") + line + "\r\n";
        // TOP n 0 sends the header and the empty line after it.
        if (headerOnly && line.empty())
            break;
    }
    connection.Send(reply + ".\r\n");
}

bool FakePop3Server::ValidNumber(const std::string& argument, int& index) const {
    std::lock_guard lock(m_mutex);
    int number = std::atoi(argument.c_str());
    index = number - 1;
    return number >= 1 && number <= static_cast<int>(m_messages.size()) && !m_marked.count(index);
}
