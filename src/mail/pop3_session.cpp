#include "mail/pop3_session.h"

#include "mail/mail_message.h"
#include "mail/pop3_reply.h"
#include "platform/mail_transport_error.h"

#include <algorithm>
#include <chrono>
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
    if (!ParseStatus(Command("RETR " + std::to_string(number))).Positive)
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
        throw MailTransportError("Not connected.");
    std::string reply;
    try {
        reply = Command("QUIT");
    } catch (const MailTransportError&) {
        m_socket.Close();
        throw;
    }
    m_socket.Close();
    ExpectPositive(reply);
}

void Pop3Session::ConnectOnly() {
    Connect();
    try {
        Disconnect();
    } catch (const MailTransportError&) {
        // The login, which is all the SMTP server asks for, has happened.
    }
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

Pop3Reply Pop3Session::ParseStatus(const std::string& statusLine) {
    Pop3Reply reply = ParsePop3Reply(statusLine);
    // What follows an unknown status line cannot be told apart from the
    // replies to later commands: going on would act on the wrong ones.
    if (!reply.Valid) {
        m_socket.Close();
        throw MailTransportError("Invalid reply from POP3 server: " + reply.Text);
    }
    return reply;
}

std::string Pop3Session::ExpectPositive(const std::string& statusLine) {
    Pop3Reply reply = ParseStatus(statusLine);
    if (!reply.Positive)
        throw MailTransportError(reply.Text);
    return reply.Text;
}

std::vector<std::string> Pop3Session::ReadMultiLine() {
    using Clock = std::chrono::steady_clock;
    const double timeoutMs = std::max(m_settings.TimeoutMs, 0);
    const Clock::time_point start = Clock::now();
    std::size_t received = 0;
    std::vector<std::string> lines;
    for (;;) {
        // Each line within the time-out, and the reply as a whole at no less
        // than MinimumTransferRate bytes per time-out.
        Clock::time_point now = Clock::now();
        double elapsedMs = std::chrono::duration<double, std::milli>(now - start).count();
        double allowedMs = timeoutMs * static_cast<double>(1 + received / MinimumTransferRate) - elapsedMs;
        auto waitMs = static_cast<long long>(std::clamp(allowedMs, 0.0, timeoutMs));
        std::string line = m_socket.ReadLine(now + std::chrono::milliseconds(waitMs));
        received += line.size() + 2;
        // The tail of a split long line is not the start of a line: it can be
        // neither the terminator nor stuffed, and joins the line it belongs to.
        if (m_socket.LastLineContinued() && !lines.empty()) {
            lines.back() += line;
            continue;
        }
        if (IsMultiLineEnd(line))
            return lines;
        lines.push_back(UnstuffLine(line));
    }
}
