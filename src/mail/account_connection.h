#pragma once

#include "mail/pop3_session.h"

#include <string>

class Account;
class SmtpClient;

// The POP3 session settings of an account: its server, port, login,
// password and security, and the Timeout setting.
Pop3Settings Pop3SettingsFor(const Account& account);

// An SMTP client set up for the account: its outgoing server, port and
// security, and its login when the server wants one.
void ConfigureSmtpClient(SmtpClient& client, const Account& account, int timeoutMs);

// "Test connection": a POP3 login and an SMTP greeting (with its login when
// the account asks for one), each ended at once. Nothing is read, sent or
// deleted. An empty error means that side worked.
struct ConnectionTestResult {
    std::string Pop3Error;
    std::string SmtpError;
    bool Ok() const { return Pop3Error.empty() && SmtpError.empty(); }
};
ConnectionTestResult TestAccountConnection(const Account& account);

// The result as the user reads it, one line per server.
std::string ConnectionTestText(const Account& account, const ConnectionTestResult& result);
