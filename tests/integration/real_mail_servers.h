#pragma once

// The real servers that mail_servers.sh starts on loopback (Dovecot for
// POP3, Postfix for SMTP): their ports, password and folders, read from the
// file named by QUORVANE_MAIL_SERVERS, and mailbox helpers the real-server
// tests share.

#include "mail/pop3_session.h"
#include "support/test_certificates.h"

#include <map>
#include <string>

struct MailServers {
    std::map<std::string, std::string> values;

    std::string operator[](const std::string& key) const;
    int Number(const std::string& key) const;
};

// Read once; holds "SKIP" with the reason when the servers were not started.
const MailServers& Servers();

// CI sets CI=true: there a missing server is a failure, never a skip.
bool UnderCi();

// Skips when the servers could not be started here (no root, not
// installed); under CI that is a failure, never a silent skip.
#define REQUIRE_MAIL_SERVERS()                                                                                         \
    if (!Servers()["SKIP"].empty()) {                                                                                  \
        if (UnderCi())                                                                                                 \
            FAIL() << Servers()["SKIP"];                                                                               \
        GTEST_SKIP() << Servers()["SKIP"];                                                                             \
    }

// Points SSL_CERT_FILE at the servers' test CA (CA_FILE) for the life of the
// object, as a user would for a server with a certificate of their own CA.
class TrustServersCa : public TrustTestCa {
public:
    TrustServersCa() : TrustTestCa(Servers()["CA_FILE"]) {}
};

std::string AddressOf(const std::string& user);
Pop3Settings Pop3For(const std::string& user);

// The number of messages in the user's mailbox.
int CountOf(const std::string& user);

// Delivery and the expunge after QUIT finish on the servers' own time:
// asks again until the mailbox holds count messages or a generous limit
// passes. Returns the last count seen.
int WaitForCount(const std::string& user, int count);

// Puts a message (CR LF or LF lines) straight into the user's Maildir, as a
// delivery agent does, so that it reaches the POP3 server exactly as given.
void DeliverToMaildir(const std::string& user, const std::string& text);
