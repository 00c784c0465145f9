#include "mail/pop3_session.h"

#include "mail/mail_message.h"
#include "mail/pop3_reply.h"
#include "platform/mail_transport_error.h"

#include <utility>

Pop3Session::Pop3Session(Pop3Settings settings) : m_settings(std::move(settings)) {
    m_socket.SetReadTimeout(m_settings.TimeoutMs);
}

void Pop3Session::Connect() {
    m_socket.Connect(m_settings.Host, m_settings.Port, m_settings.TimeoutMs);
    ExpectPositive(ReadStatusLine());
    ExpectPositive(Command("USER " + m_settings.User));
    ExpectPositive(CommandMasked("PASS " + m_settings.Password, "PASS ****"));
}

int Pop3Session::CountMessages() {
    return ParseStatCount(ExpectPositive(Command("STAT")));
}

bool Pop3Session::RetrieveHeader(int number, MailMessage& message) {
    ExpectPositive(Command("TOP " + std::to_string(number) + " 0"));
    for (std::string& line : ReadMultiLine()) {
        if (!line.empty())
            message.HeaderLines.push_back(std::move(line));
    }
    message.ParseHeaderFields();
    return true;
}

bool Pop3Session::RetrieveMessage(int number, MailMessage& message) {
    if (!ParsePop3Reply(Command("RETR " + std::to_string(number))).Positive)
        return false;
    std::vector<std::string> lines = ReadMultiLine();
    bool inHeader = true;
    for (std::string& line : lines) {
        if (inHeader && line.empty())
            inHeader = false;
        else if (inHeader)
            message.HeaderLines.push_back(std::move(line));
        else
            message.BodyLines.push_back(std::move(line));
    }
    message.ParseHeaderFields();
    return true;
}

bool Pop3Session::DeleteMessage(int number) {
    ExpectPositive(Command("DELE " + std::to_string(number)));
    return true;
}

void Pop3Session::Disconnect() {
    if (!m_socket.Connected())
        return;
    try {
        m_socket.WriteLine("QUIT");
    } catch (const MailTransportError&) {
        // The server keeps the messages then; nothing is lost by going on.
    }
    m_socket.Close();
}

void Pop3Session::ConnectOnly() {
    Connect();
    Disconnect();
}

std::string Pop3Session::Command(const std::string& line) {
    m_socket.WriteLine(line);
    return ReadStatusLine();
}

std::string Pop3Session::CommandMasked(const std::string& line, const std::string& transcriptText) {
    m_socket.WriteLineMasked(line, transcriptText);
    return ReadStatusLine();
}

std::string Pop3Session::ReadStatusLine() {
    std::string line = m_socket.ReadLine();
    m_socket.SkipRestOfLine();
    return line;
}

std::string Pop3Session::ExpectPositive(const std::string& statusLine) {
    Pop3Reply reply = ParsePop3Reply(statusLine);
    if (!reply.Positive)
        throw MailTransportError(reply.Text);
    return reply.Text;
}

std::vector<std::string> Pop3Session::ReadMultiLine() {
    std::vector<std::string> lines;
    for (;;) {
        std::string line = m_socket.ReadLine();
        // The tail of a split long line is not the start of a line: it can be
        // neither the terminator nor stuffed.
        if (m_socket.LastLineContinued()) {
            lines.push_back(std::move(line));
            continue;
        }
        if (IsMultiLineEnd(line))
            return lines;
        lines.push_back(UnstuffLine(line));
    }
}
