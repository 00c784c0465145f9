#include "records/account_address.h"

#include "records/account.h"

#include <gtest/gtest.h>

#include <utility>

TEST(DomainOfHost, KeepsTheLastTwoLabels) {
    const std::pair<const char*, const char*> cases[] = {
        {"pop.mail.example.com", "example.com"},
        {"mail.example.com", "example.com"},
        {"example.com", "example.com"},
        {"localhost", "localhost"},
        {"", ""},
        {"a.b.c.d.e", "d.e"},
    };
    for (const auto& [host, domain] : cases)
        EXPECT_EQ(DomainOfHost(host), domain) << host;
}

TEST(EffectiveAddress, FallsBackFromAddressToLoginAndServer) {
    struct Case {
        const char* email;
        const char* login;
        const char* server;
        const char* expected;
    } cases[] = {
        {"me@example.com", "other@else.com", "pop.x.org", "me@example.com"},
        {"not an address", "joe", "pop.mail.example.net", "joe@example.net"},
        {"", "joe@login.example", "pop.example.com", "joe@login.example"},
        {"bad@", "joe", "localhost", "joe@localhost"},
        {"bad@", "joe", "", "bad@"},
        {"", "", "", ""},
    };
    for (const auto& c : cases) {
        Account account;
        account.EmailAddress = c.email;
        account.Login = c.login;
        account.Server = c.server;
        EXPECT_EQ(EffectiveAddress(account), c.expected) << c.email << " " << c.login << " " << c.server;
    }
}
