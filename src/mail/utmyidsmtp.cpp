#include "mail/utmyidsmtp.h"

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

void Expect(const SmtpReply& reply, std::initializer_list<int> codes) {
    if (std::find(codes.begin(), codes.end(), reply.Code) != codes.end())
        return;
    std::string text = reply.Text();
    throw MailTransportError(text.empty() ? std::to_string(reply.Code) : text);
}

// A line break inside an address would let it smuggle commands of its own.
void CheckEnvelopeAddress(const std::string& address) {
    if (std::any_of(address.begin(), address.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; }))
        throw MailTransportError("Invalid envelope address.");
}

} // namespace

void TMyidSmtp::Connect(int timeoutMilliseconds) {
    m_authenticated = false;
    try {
        Greet(timeoutMilliseconds);
    } catch (const MailTransportError&) {
        m_socket.Close();
        throw;
    }
}

void TMyidSmtp::Greet(int timeoutMilliseconds) {
    m_socket.SetReadTimeout(ReadTimeout);
    m_socket.Connect(Host, Port, timeoutMilliseconds);
    Expect(ReadReply(), {220});
    m_announcedMechanisms.clear();
    std::string name = HeloName.empty() ? DefaultHeloName() : HeloName;
    if (UseEhlo) {
        SmtpReply reply = Command("EHLO " + name);
        if (reply.Code == 250) {
            AddAnnouncedMechanisms(reply, m_announcedMechanisms);
            return;
        }
    }
    Expect(Command("HELO " + name), {250});
}

// Servers that check the greeting refuse a bare host name ("vm"): the
// fully qualified name when the system has one, else the address literal of
// our end of the connection (RFC 5321 4.1.1.1).
std::string TMyidSmtp::DefaultHeloName() const {
    std::string name = FullyQualifiedHostName();
    return name.empty() ? m_socket.LocalAddressLiteral() : name;
}

void TMyidSmtp::SendWithEnvelope(MailMessage& message) {
    CheckEnvelopeAddress(EnvelopeFrom);
    CheckEnvelopeAddress(EnvelopeTo);
    Command("RSET");
    bool loginAnnounced = std::any_of(m_announcedMechanisms.begin(), m_announcedMechanisms.end(),
                                      [](const std::string& mechanism) { return mechanism == "LOGIN"; });
    if (AuthenticationType == atLogin && loginAnnounced && !m_authenticated)
        AuthenticateLogin();
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

void TMyidSmtp::AuthenticateLogin() {
    Expect(Command("AUTH LOGIN"), {334});
    Expect(CommandMasked(Base64Encode(Username), "(user name)"), {334});
    Expect(CommandMasked(Base64Encode(Password), "(password)"), {235});
    m_authenticated = true;
}

void TMyidSmtp::Disconnect() {
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

SmtpReply TMyidSmtp::Command(const std::string& line) {
    m_socket.WriteLine(line);
    return ReadReply();
}

SmtpReply TMyidSmtp::CommandMasked(const std::string& line, const std::string& transcriptText) {
    m_socket.WriteLineMasked(line, transcriptText);
    return ReadReply();
}

SmtpReply TMyidSmtp::ReadReply() {
    SmtpReply reply;
    for (;;) {
        std::string line = m_socket.ReadLine();
        m_socket.SkipRestOfLine();
        if (AddSmtpReplyLine(reply, line))
            return reply;
        if (reply.Lines.size() > MaxReplyLines)
            reply.Lines.pop_back();
    }
}
