#include "mail/account_connection.h"

#include "mail/utmyidsmtp.h"
#include "platform/mail_transport_error.h"
#include "records/program_settings.h"
#include "records/uObjects.h"

Pop3Settings Pop3SettingsFor(const TAccountItem& account) {
    Pop3Settings settings;
    settings.Host = account.Server;
    settings.Port = account.Port;
    settings.User = account.Login;
    settings.Password = account.Password;
    settings.TimeoutMs = TimeoutMilliseconds(ProgramSettings);
    settings.Security = account.POP3Security;
    return settings;
}

void ConfigureSmtpClient(TMyidSmtp& client, const TAccountItem& account, int timeoutMs) {
    client.Host = account.SMTPServer;
    client.Port = account.SMTPPort;
    client.ReadTimeout = timeoutMs;
    client.Security = account.SMTPSecurity;
    if (account.SMTPAuth) {
        client.Username = account.SMTPSameAsIncoming ? account.Login : account.SMTPLogin;
        client.Password = account.SMTPSameAsIncoming ? account.Password : account.SMTPPassword;
        client.AuthenticationType = atLogin;
    } else {
        client.AuthenticationType = atNone;
    }
}

ConnectionTestResult TestAccountConnection(const TAccountItem& account) {
    ConnectionTestResult result;
    try {
        Pop3Session session(Pop3SettingsFor(account));
        session.Connect();
        session.Disconnect();
    } catch (const MailTransportError& error) {
        result.Pop3Error = error.what();
    }
    try {
        TMyidSmtp client;
        ConfigureSmtpClient(client, account, TimeoutMilliseconds(ProgramSettings));
        client.Connect(TimeoutMilliseconds(ProgramSettings));
        client.Disconnect();
    } catch (const MailTransportError& error) {
        result.SmtpError = error.what();
    }
    return result;
}

std::string ConnectionTestText(const TAccountItem& account, const ConnectionTestResult& result) {
    std::string text = "Incoming mail (POP3): ";
    text += result.Pop3Error.empty() ? "logged in as " + account.Login + "." : result.Pop3Error;
    text += "\r\nOutgoing mail (SMTP): ";
    if (!result.SmtpError.empty())
        text += result.SmtpError;
    else
        text += account.SMTPAuth ? "connected and logged in." : "connected.";
    return text;
}
