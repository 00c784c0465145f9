#include "demo/demo_pop3_conversation.h"

#include "records/text_helpers.h"

#include <optional>
#include <stdexcept>

namespace {

std::string Ok(const std::string& text) {
    return "+OK " + text + "\r\n";
}

std::string Err(const std::string& text) {
    return "-ERR " + text + "\r\n";
}

// The lines of a stored message, dot-stuffed, and the terminating ".".
std::string MultiLine(const std::vector<std::string>& lines) {
    std::string reply;
    for (const std::string& line : lines)
        reply += (line.rfind('.', 0) == 0 ? "." : "") + line + "\r\n";
    return reply + ".\r\n";
}

std::optional<int> Number(const std::string& text) {
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9' || value > 100000000)
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return text.empty() ? std::nullopt : std::optional<int>(value);
}

} // namespace

DemoPop3Conversation::DemoPop3Conversation(DemoMailStore& store, std::vector<DemoMailUser> users)
    : m_store(store), m_users(std::move(users)) {}

std::string DemoPop3Conversation::OnLine(const std::string& line) {
    std::string verb = UpperAscii(TextBefore(line, " "));
    std::string argument = line.size() > verb.size() ? line.substr(verb.size() + 1) : std::string();
    if (verb == "QUIT")
        return Quit();
    if (verb == "NOOP")
        return Ok("");
    if (verb == "CAPA")
        return "+OK capabilities follow\r\nUSER\r\nTOP\r\nUIDL\r\n.\r\n";
    return m_loggedIn ? Transaction(verb, argument) : Authorization(verb, argument);
}

std::string DemoPop3Conversation::Authorization(const std::string& verb, const std::string& argument) {
    if (verb == "USER") {
        m_user = argument;
        return Ok("send your password");
    }
    if (verb != "PASS")
        return Err("log in first");
    for (const DemoMailUser& user : m_users) {
        if (!m_user.empty() && user.Login == m_user && user.Password == argument) {
            m_mailbox = user.Address;
            m_messages = m_store.MessageNames(m_mailbox);
            m_loggedIn = true;
            return Ok("logged in, " + std::to_string(m_messages.size()) + " messages");
        }
    }
    m_user.clear();
    return Err("authentication failed");
}

int DemoPop3Conversation::MessageIndex(const std::string& argument) const {
    std::optional<int> number = Number(TextBefore(argument, " "));
    if (!number || *number < 1 || *number > static_cast<int>(m_messages.size()) || m_deleted.count(*number - 1))
        return -1;
    return *number - 1;
}

std::string DemoPop3Conversation::MessageText(int index) const {
    return m_store.Read(m_mailbox, m_messages[static_cast<size_t>(index)]);
}

std::string DemoPop3Conversation::Top(int index, int bodyLines) const {
    std::vector<std::string> lines = SplitLines(MessageText(index));
    std::vector<std::string> shown;
    size_t i = 0;
    for (; i < lines.size() && !lines[i].empty(); ++i)
        shown.push_back(lines[i]);
    if (i < lines.size())
        shown.push_back("");
    for (++i; i < lines.size() && bodyLines-- > 0; ++i)
        shown.push_back(lines[i]);
    return MultiLine(shown);
}

std::string DemoPop3Conversation::Transaction(const std::string& verb, const std::string& argument) {
    try {
        if (verb == "STAT") {
            size_t count = 0, octets = 0;
            for (size_t i = 0; i < m_messages.size(); ++i) {
                if (!m_deleted.count(static_cast<int>(i))) {
                    ++count;
                    octets += MessageText(static_cast<int>(i)).size();
                }
            }
            return Ok(std::to_string(count) + " " + std::to_string(octets));
        }
        if (verb == "LIST" || verb == "UIDL") {
            std::string reply = "+OK\r\n";
            for (size_t i = 0; i < m_messages.size(); ++i) {
                if (m_deleted.count(static_cast<int>(i)))
                    continue;
                reply += std::to_string(i + 1) + " " +
                         (verb == "LIST" ? std::to_string(MessageText(static_cast<int>(i)).size()) : m_messages[i]) +
                         "\r\n";
            }
            return reply + ".\r\n";
        }
        if (verb == "RSET") {
            m_deleted.clear();
            return Ok("");
        }
        int index = MessageIndex(argument);
        if (verb != "RETR" && verb != "TOP" && verb != "DELE")
            return Err("unknown command");
        if (index < 0)
            return Err("no such message");
        if (verb == "DELE") {
            m_deleted.insert(index);
            return Ok("marked");
        }
        if (verb == "RETR")
            return "+OK message follows\r\n" + MultiLine(SplitLines(MessageText(index)));
        std::string count = argument.find(' ') == std::string::npos ? "" : argument.substr(argument.find(' ') + 1);
        std::optional<int> lines = Number(count);
        if (!lines)
            return Err("TOP needs a message number and a line count");
        return "+OK top of message follows\r\n" + Top(index, *lines);
    } catch (const std::runtime_error& error) {
        return Err(error.what());
    }
}

std::string DemoPop3Conversation::Quit() {
    m_finished = true;
    if (!m_loggedIn)
        return Ok("bye");
    try {
        for (int index : m_deleted)
            m_store.Remove(m_mailbox, m_messages[static_cast<size_t>(index)]);
    } catch (const std::runtime_error& error) {
        return Err(error.what());
    }
    return Ok("bye, " + std::to_string(m_deleted.size()) + " messages removed");
}
