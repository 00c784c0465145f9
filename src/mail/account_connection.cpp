#include "mail/account_connection.h"

#include "mail/smtp_client.h"
#include "platform/mail_transport_error.h"
#include "records/account.h"
#include "records/program_settings.h"

Pop3Settings Pop3SettingsFor(const Account& account) {
    Pop3Settings settings;
    settings.Host = account.Server;
    settings.Port = account.Port;
    settings.User = account.Login;
    settings.Password = account.Password;
    settings.TimeoutMs = TimeoutMilliseconds(ProgramSettings);
    settings.Security = account.POP3Security;
    return settings;
}

void ConfigureSmtpClient(SmtpClient& client, const Account& account, int timeoutMs) {
    client.Host = account.SMTPServer;
    client.Port = account.SMTPPort;
    client.ReadTimeout = timeoutMs;
    client.Security = account.SMTPSecurity;
    if (account.SMTPAuth) {
        client.Username = account.SMTPSameAsIncoming ? account.Login : account.SMTPLogin;
        client.Password = account.SMTPSameAsIncoming ? account.Password : account.SMTPPassword;
        client.Authentication = SmtpAuthentication::Login;
    } else {
        client.Authentication = SmtpAuthentication::None;
    }
}

ConnectionTestResult TestAccountConnection(const Account& account) {
    ConnectionTestResult result;
    try {
        Pop3Session session(Pop3SettingsFor(account));
        session.Connect();
        session.Disconnect();
    } catch (const MailTransportError& error) {
        result.Pop3Error = error.what();
    }
    try {
        SmtpClient client;
        ConfigureSmtpClient(client, account, TimeoutMilliseconds(ProgramSettings));
        client.Connect(TimeoutMilliseconds(ProgramSettings));
        client.Disconnect();
    } catch (const MailTransportError& error) {
        result.SmtpError = error.what();
    }
    return result;
}

std::string ConnectionTestText(const Account& account, const ConnectionTestResult& result) {
    std::string text = "Incoming mail (POP3): ";
    text += result.Pop3Error.empty() ? "logged in as " + account.Login + "." : result.Pop3Error;
    text += "\r\nOutgoing mail (SMTP): ";
    if (!result.SmtpError.empty())
        text += result.SmtpError;
    else
        text += account.SMTPAuth ? "connected and logged in." : "connected.";
    return text;
}
