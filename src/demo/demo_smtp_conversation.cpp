#include "demo/demo_smtp_conversation.h"

#include "records/text_helpers.h"

#include <optional>
#include <stdexcept>

namespace {

// The address between "<" and ">" after a "FROM:" or "TO:"; nullopt when
// the brackets are missing.
std::optional<std::string> PathOf(const std::string& argument) {
    size_t open = argument.find('<');
    size_t close = argument.find('>', open == std::string::npos ? 0 : open);
    if (open == std::string::npos || close == std::string::npos)
        return std::nullopt;
    return argument.substr(open + 1, close - open - 1);
}

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() && SameText(text.substr(0, prefix.size()), prefix);
}

} // namespace

void DemoSmtpConversation::Reset() {
    m_haveSender = false;
    m_sender.clear();
    m_recipients.clear();
    m_data.clear();
    m_tooLarge = false;
}

std::string DemoSmtpConversation::OnLine(const std::string& line) {
    if (!m_inData)
        return Command(line);
    if (line == ".")
        return EndOfData();
    // Transparency: a leading "." was doubled by the client.
    std::string content = line.rfind('.', 0) == 0 ? line.substr(1) : line;
    if (m_data.size() + content.size() + 2 > MaximumMessageSize)
        m_tooLarge = true;
    else
        m_data += content + "\r\n";
    return {};
}

std::string DemoSmtpConversation::EndOfData() {
    m_inData = false;
    std::string reply = "250 2.0.0 Ok: delivered\r\n";
    if (m_tooLarge) {
        reply = "552 5.3.4 Message too big\r\n";
    } else {
        try {
            for (const std::string& recipient : m_recipients)
                m_store.Deliver(m_sender, recipient, m_data);
        } catch (const std::runtime_error&) {
            reply = "451 4.3.0 Cannot store the message\r\n";
        }
    }
    Reset();
    return reply;
}

std::string DemoSmtpConversation::Command(const std::string& line) {
    std::string verb = UpperAscii(TextBefore(line, " "));
    std::string argument = line.size() > verb.size() ? line.substr(verb.size() + 1) : std::string();
    if (verb == "EHLO") {
        m_greeted = true;
        Reset();
        return "250-demo.quorvane.test\r\n250-8BITMIME\r\n250 SIZE " + std::to_string(MaximumMessageSize) + "\r\n";
    }
    if (verb == "HELO") {
        m_greeted = true;
        Reset();
        return "250 demo.quorvane.test\r\n";
    }
    if (verb == "QUIT") {
        m_finished = true;
        return "221 2.0.0 Bye\r\n";
    }
    if (verb == "NOOP")
        return "250 2.0.0 Ok\r\n";
    if (verb == "RSET") {
        Reset();
        return "250 2.0.0 Ok\r\n";
    }
    if (!m_greeted)
        return "503 5.5.1 Say EHLO or HELO first\r\n";
    if (verb == "MAIL") {
        std::optional<std::string> path = PathOf(argument);
        if (!StartsWithNoCase(argument, "FROM:") || !path)
            return "501 5.5.4 Syntax: MAIL FROM:<address>\r\n";
        Reset();
        m_haveSender = true;
        m_sender = *path;
        return "250 2.1.0 Ok\r\n";
    }
    if (verb == "RCPT") {
        std::optional<std::string> path = PathOf(argument);
        if (!m_haveSender)
            return "503 5.5.1 MAIL first\r\n";
        if (!StartsWithNoCase(argument, "TO:") || !path)
            return "501 5.5.4 Syntax: RCPT TO:<address>\r\n";
        if (DemoMailStore::MailboxOf(*path).empty() || path->find('@') == std::string::npos)
            return "550 5.1.1 No such mailbox\r\n";
        m_recipients.push_back(*path);
        return "250 2.1.5 Ok\r\n";
    }
    if (verb == "DATA") {
        if (m_recipients.empty())
            return "503 5.5.1 RCPT first\r\n";
        m_inData = true;
        return "354 End data with <CR><LF>.<CR><LF>\r\n";
    }
    return "502 5.5.2 Command not recognised\r\n";
}
