#include "mail/smtp_client.h"

#include "mail/mail_message.h"
#include "mail/smtp_reply.h"
#include "platform/host_name.h"
#include "platform/mail_transport_error.h"
#include "records/base64.h"
#include "records/text_helpers.h"

#include <algorithm>
#include <initializer_list>

namespace {

// More lines than any real reply has; the rest is read but not kept.
constexpr std::size_t MaxReplyLines = 1000;

// "Service not available, closing transmission channel".
constexpr int ClosingChannel = 421;

// A line break inside an address would let it smuggle commands of its own.
void CheckEnvelopeAddress(const std::string& address) {
    if (std::any_of(address.begin(), address.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; }))
        throw MailTransportError("Invalid envelope address.");
}

} // namespace

void SmtpClient::Connect(int timeoutMilliseconds) {
    m_authenticated = false;
    try {
        Greet(timeoutMilliseconds);
    } catch (const MailTransportError&) {
        m_socket.Close();
        throw;
    }
}

void SmtpClient::Greet(int timeoutMilliseconds) {
    m_socket.SetReadTimeout(ReadTimeout);
    m_socket.Connect(Host, Port, timeoutMilliseconds);
    if (Security == ConnectionSecurity::Tls)
        m_socket.StartTls(Host);
    Expect(ReadReply(), {220});
    m_announcedMechanisms.clear();
    std::string name = HeloName.empty() ? DefaultHeloName() : HeloName;
    if (Security == ConnectionSecurity::StartTls)
        UpgradeToTls(name);
    if (UseEhlo || Security == ConnectionSecurity::StartTls) {
        SmtpReply reply = Command("EHLO " + name);
        if (reply.Code == 250) {
            AddAnnouncedMechanisms(reply, m_announcedMechanisms);
            return;
        }
    }
    Expect(Command("HELO " + name), {250});
}

// Before anything else is said: a server that cannot encrypt is refused,
// never used in clear. What it announced in clear is forgotten.
void SmtpClient::UpgradeToTls(const std::string& name) {
    SmtpReply reply = Command("EHLO " + name);
    Expect(reply, {250});
    bool offered = std::any_of(reply.Lines.begin(), reply.Lines.end(),
                               [](const std::string& line) { return UpperAscii(TextBefore(line, " ")) == "STARTTLS"; });
    if (!offered)
        throw MailTransportError("The SMTP server does not offer STARTTLS.");
    Expect(Command("STARTTLS"), {220});
    m_socket.StartTls(Host);
}

bool SmtpClient::Announced(const std::string& mechanism) const {
    return std::find(m_announcedMechanisms.begin(), m_announcedMechanisms.end(), mechanism) !=
           m_announcedMechanisms.end();
}

// Servers that check the greeting refuse a bare host name ("vm"): the
// fully qualified name when the system has one, else the address literal of
// our end of the connection (RFC 5321 4.1.1.1).
std::string SmtpClient::DefaultHeloName() const {
    std::string name = FullyQualifiedHostName();
    return name.empty() ? m_socket.LocalAddressLiteral() : name;
}

void SmtpClient::SendWithEnvelope(MailMessage& message) {
    CheckEnvelopeAddress(EnvelopeFrom);
    CheckEnvelopeAddress(EnvelopeTo);
    Command("RSET");
    if (Authentication == SmtpAuthentication::Login && !m_authenticated)
        Authenticate();
    Expect(Command("MAIL FROM:<" + EnvelopeFrom + ">"), {250});
    Expect(Command("RCPT TO:<" + EnvelopeTo + ">"), {250, 251});
    Expect(Command("DATA"), {354});
    message.SetExtraHeader("X-Mailer", MailAgent);
    std::string text;
    message.WriteTo(text);
    if (!text.empty() && text.back() != '\n')
        text += "\r\n";
    m_socket.Write(text + ".\r\n");
    Expect(ReadReply(), {250});
}

// PLAIN (RFC 4616) takes one round trip; LOGIN is for the servers that
// offer only it. Without either the transaction goes on unauthenticated.
void SmtpClient::Authenticate() {
    if (Announced("PLAIN"))
        AuthenticatePlain();
    else if (Announced("LOGIN"))
        AuthenticateLogin();
}

void SmtpClient::AuthenticatePlain() {
    std::string credentials = std::string(1, '\0') + Username + std::string(1, '\0') + Password;
    Expect(CommandMasked("AUTH PLAIN " + Base64Encode(credentials), "AUTH PLAIN (credentials)"), {235});
    m_authenticated = true;
}

void SmtpClient::AuthenticateLogin() {
    Expect(Command("AUTH LOGIN"), {334});
    Expect(CommandMasked(Base64Encode(Username), "(user name)"), {334});
    Expect(CommandMasked(Base64Encode(Password), "(password)"), {235});
    m_authenticated = true;
}

void SmtpClient::Disconnect() {
    m_authenticated = false;
    if (!m_socket.Connected())
        return;
    try {
        m_socket.WriteLine("QUIT");
    } catch (const MailTransportError&) {
        m_socket.Close();
        throw;
    }
    m_socket.Close();
}

void SmtpClient::Expect(const SmtpReply& reply, std::initializer_list<int> codes) {
    if (std::find(codes.begin(), codes.end(), reply.Code) != codes.end())
        return;
    // The server is going away: this connection carries nothing more.
    if (reply.Code == ClosingChannel)
        m_socket.Close();
    std::string text = reply.Text();
    throw MailTransportError(text.empty() ? std::to_string(reply.Code) : text);
}

SmtpReply SmtpClient::Command(const std::string& line) {
    m_socket.WriteLine(line);
    return ReadReply();
}

SmtpReply SmtpClient::CommandMasked(const std::string& line, const std::string& transcriptText) {
    m_socket.WriteLineMasked(line, transcriptText);
    return ReadReply();
}

SmtpReply SmtpClient::ReadReply() {
    SmtpReply reply;
    for (;;) {
        std::string line = m_socket.ReadLine();
        m_socket.SkipRestOfLine();
        if (AddSmtpReplyLine(reply, line)) {
            // The rest of a broken reply would be taken for the replies to
            // later commands.
            if (!reply.Valid) {
                m_socket.Close();
                throw MailTransportError("Invalid reply from SMTP server: " + line);
            }
            return reply;
        }
        if (reply.Lines.size() > MaxReplyLines)
            reply.Lines.pop_back();
    }
}
