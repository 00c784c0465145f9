// A whole SMTP delivery against a server whose every byte comes from the
// input: greeting, EHLO or HELO, AUTH, RSET, MAIL, RCPT, DATA, QUIT. The
// client finishes or stops with a transport error, never sends the password
// in clear, and, once it sent the message, sent it dot-stuffed and ended.
// The first input byte chooses authentication, EHLO and STARTTLS.
#include "mail/mail_message.h"
#include "mail/smtp_client.h"
#include "platform/mail_transport_error.h"
#include "support/fuzz_check.h"
#include "support/scripted_peer.h"

#include <cstddef>
#include <cstdint>

namespace {

constexpr char Password[] = "pass-word";

void Deliver(SmtpClient& smtp) {
    MailMessage message;
    message.RawRead = message.RawWrite = true;
    message.ReadFromText("From: a@example.org\r\nSubject: held\r\n\r\nfirst\r\n.\r\n");
    message.BodyLines = {"first", ".", "..last"};
    smtp.Connect(5000);
    smtp.SendWithEnvelope(message);
    smtp.Disconnect();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    static ScriptedPeer peer;
    peer.Serve(std::string(reinterpret_cast<const char*>(data) + 1, size - 1));
    {
        SmtpClient smtp;
        smtp.Host = "127.0.0.1";
        smtp.Port = peer.Port();
        smtp.ReadTimeout = 5000;
        smtp.Username = "user";
        smtp.Password = Password;
        smtp.Authentication = data[0] & 1 ? SmtpAuthentication::Login : SmtpAuthentication::None;
        smtp.UseEhlo = data[0] & 2;
        // The plain half of STARTTLS: EHLO, the command and its answer.
        if (data[0] & 4)
            smtp.Security = ConnectionSecurity::StartTls;
        smtp.HeloName = "client.example.org";
        smtp.EnvelopeFrom = "a@example.org";
        smtp.EnvelopeTo = "b@example.org";
        try {
            Deliver(smtp);
        } catch (const MailTransportError&) {
        }
    }
    std::string heard = peer.Finish();
    FUZZ_CHECK(heard.find(Password) == std::string::npos);
    size_t body = heard.find("\r\n\r\nfirst\r\n");
    if (body != std::string::npos)
        FUZZ_CHECK(heard.find("\r\nfirst\r\n..\r\n...last\r\n.\r\n", body) != std::string::npos);
    return 0;
}
