#include "mail/pop3_session.h"

#include "mail/mail_message.h"
#include "mail/pop3_reply.h"
#include "platform/mail_transport_error.h"
#include "records/text_helpers.h"

#include <algorithm>
#include <chrono>
#include <utility>

Pop3Session::Pop3Session(Pop3Settings settings) : m_settings(std::move(settings)) {
    m_socket.SetReadTimeout(m_settings.TimeoutMs);
}

void Pop3Session::Connect() {
    m_socket.Connect(m_settings.Host, m_settings.Port, m_settings.TimeoutMs);
    if (m_settings.Security == ConnectionSecurity::Tls)
        m_socket.StartTls(m_settings.Host);
    m_inFlight.push_back({Kind::Status, 0}); // the greeting
    ExpectPositive(Await(Kind::Status));
    if (m_settings.Security == ConnectionSecurity::StartTls)
        UpgradeToTls();
    Send("USER " + m_settings.User, Kind::Status);
    ExpectPositive(Await(Kind::Status));
    SendMasked("PASS " + m_settings.Password, "PASS ****");
    ExpectPositive(Await(Kind::Status));
    m_capabilities = ReadCapabilities();
}

std::vector<std::string> Pop3Session::ReadCapabilities() {
    Send("CAPA", Kind::Capabilities);
    Reply reply = Await(Kind::Capabilities);
    // "-ERR": a server from before CAPA, which has none of them.
    if (!reply.Status.Positive)
        return {};
    std::vector<std::string> capabilities;
    for (const std::string& line : reply.Lines)
        capabilities.push_back(UpperAscii(Trim(line)));
    return capabilities;
}

// Before the password goes out: a server that cannot encrypt is refused,
// never used in clear.
void Pop3Session::UpgradeToTls() {
    m_capabilities = ReadCapabilities();
    if (!HasCapability("STLS")) {
        m_socket.Close();
        throw MailTransportError("The POP3 server does not offer STLS.");
    }
    Send("STLS", Kind::Status);
    ExpectPositive(Await(Kind::Status));
    m_socket.StartTls(m_settings.Host);
    // What was announced in clear may have been forged.
    m_capabilities.clear();
}

bool Pop3Session::HasCapability(const std::string& name) const {
    return std::any_of(m_capabilities.begin(), m_capabilities.end(),
                       [&](const std::string& line) { return TextBefore(line, " ") == name; });
}

int Pop3Session::CountMessages() {
    Send("STAT", Kind::Status);
    return ParseStatCount(ExpectPositive(Await(Kind::Status)));
}

bool Pop3Session::RetrieveHeader(int number, MailMessage& message) {
    SendHeaderRequests(number);
    Reply reply;
    if (auto ready = m_readAhead.find(number); ready != m_readAhead.end()) {
        reply = std::move(ready->second);
        m_readAhead.erase(ready);
    } else {
        reply = Await(Kind::Top, number);
    }
    ExpectPositive(reply);
    for (std::string& line : reply.Lines) {
        if (!line.empty())
            message.HeaderLines.push_back(std::move(line));
    }
    message.ParseHeaderFields();
    return true;
}

void Pop3Session::SendHeaderRequests(int number) {
    auto requested = [&](int n) {
        return m_readAhead.count(n) > 0 || std::any_of(m_inFlight.begin(), m_inFlight.end(), [&](const InFlight& c) {
                   return c.What == Kind::Top && c.Number == n;
               });
    };
    if (Pipelining() && number <= m_readAheadLimit) {
        m_nextHeaderRequest = std::max(m_nextHeaderRequest, number);
        while (m_inFlight.size() < Window && m_nextHeaderRequest <= m_readAheadLimit) {
            int next = m_nextHeaderRequest++;
            if (!requested(next))
                Send("TOP " + std::to_string(next) + " 0", Kind::Top, next);
        }
    }
    if (!requested(number))
        Send("TOP " + std::to_string(number) + " 0", Kind::Top, number);
}

bool Pop3Session::RetrieveMessage(int number, MailMessage& message) {
    Send("RETR " + std::to_string(number), Kind::Retr, number);
    Reply reply = Await(Kind::Retr, number);
    if (!reply.Status.Positive)
        return false;
    bool inHeader = true;
    for (std::string& line : reply.Lines) {
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
    std::string failure;
    DeleteMessages({number}, [&](int, const std::string& error) { failure = error; });
    if (!failure.empty())
        throw MailTransportError(failure);
    return true;
}

void Pop3Session::DeleteMessages(const std::vector<int>& numbers,
                                 const std::function<void(int number, const std::string& error)>& done) {
    std::size_t window = Pipelining() ? Window : 1;
    std::size_t sent = 0;
    for (std::size_t handled = 0; handled < numbers.size(); ++handled) {
        std::string error;
        try {
            while (sent < numbers.size() && sent - handled < window) {
                Send("DELE " + std::to_string(numbers[sent]), Kind::Dele, numbers[sent]);
                ++sent;
            }
            Reply reply = Await(Kind::Dele, numbers[handled]);
            if (!reply.Status.Positive)
                error = reply.Status.Text.empty() ? std::string("-ERR") : reply.Status.Text;
        } catch (const MailTransportError& failure) {
            error = failure.what();
            sent = std::max(sent, handled + 1);
        }
        done(numbers[handled], error);
    }
}

void Pop3Session::Disconnect() {
    if (!m_socket.Connected())
        throw MailTransportError("Not connected.");
    Reply reply;
    try {
        Send("QUIT", Kind::Quit);
        reply = Await(Kind::Quit);
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

void Pop3Session::Send(const std::string& line, Kind kind, int number) {
    try {
        m_socket.WriteLine(line);
    } catch (const MailTransportError&) {
        m_inFlight.clear();
        m_readAhead.clear();
        throw;
    }
    m_inFlight.push_back({kind, number});
}

void Pop3Session::SendMasked(const std::string& line, const std::string& transcriptText) {
    m_socket.WriteLineMasked(line, transcriptText);
    m_inFlight.push_back({Kind::Status, 0});
}

Pop3Session::Reply Pop3Session::Await(Kind kind, int number) {
    try {
        for (;;) {
            if (m_inFlight.empty())
                throw MailTransportError("Not connected.");
            InFlight next = m_inFlight.front();
            Reply reply = ReadNextReply();
            if (next.What == kind && next.Number == number)
                return reply;
            if (next.What == Kind::Top)
                m_readAhead[next.Number] = std::move(reply);
        }
    } catch (const MailTransportError&) {
        // Whatever was in flight died with the connection.
        if (!m_socket.Connected()) {
            m_inFlight.clear();
            m_readAhead.clear();
        }
        throw;
    }
}

Pop3Session::Reply Pop3Session::ReadNextReply() {
    InFlight next = m_inFlight.front();
    m_inFlight.pop_front();
    Reply reply;
    reply.Status = ParseStatus(ReadStatusLine());
    bool multiLine = next.What == Kind::Capabilities || next.What == Kind::Top || next.What == Kind::Retr;
    if (reply.Status.Positive && multiLine)
        reply.Lines = ReadMultiLine();
    return reply;
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

std::string Pop3Session::ExpectPositive(const Reply& reply) {
    if (!reply.Status.Positive)
        throw MailTransportError(reply.Status.Text);
    return reply.Status.Text;
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
