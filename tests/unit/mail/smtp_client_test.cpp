#include "mail/smtp_client.h"

#include "mail/mail_message.h"
#include "platform/mail_transport_error.h"
#include "support/fake_smtp_server.h"
#include "support/transport_errors.h"

#include <gtest/gtest.h>

#include <regex>

namespace {

using Lines = std::vector<std::string>;

void Configure(SmtpClient& client, const FakeSmtpServer& server, SmtpAuthentication auth = SmtpAuthentication::Login) {
    client.Host = "127.0.0.1";
    client.Port = server.Port();
    client.ReadTimeout = 10000;
    client.HeloName = "client.example";
    client.Username = "user";
    client.Password = "secret";
    client.Authentication = auth;
    client.EnvelopeFrom = "";
    client.EnvelopeTo = "me@example.com";
}

// A raw message whose body has a lone "." line and a line starting with ".".
void FillRaw(MailMessage& message) {
    message.RawRead = message.RawWrite = true;
    message.HeaderLines = {"From: Ann <ann@example.com>", "To: me@example.com", "Subject: hello"};
    message.BodyLines = {"first", ".", ".hidden", "", "last"};
}

const std::string RawOnTheWire = "From: Ann <ann@example.com>\r\n"
                                 "To: me@example.com\r\n"
                                 "Subject: hello\r\n"
                                 "\r\n"
                                 "first\r\n"
                                 "..\r\n"
                                 "..hidden\r\n"
                                 "\r\n"
                                 "last\r\n";

TEST(SmtpClient, GreetsWithEhloAndRecordsTheMechanisms) {
    FakeSmtpServer server;
    SmtpClient client;
    Configure(client, server);
    client.Connect(10000);
    EXPECT_TRUE(client.Connected());
    EXPECT_EQ(client.AnnouncedMechanisms(), (Lines{"PLAIN", "LOGIN"}));
    client.Disconnect();
    server.Stop();
    EXPECT_EQ(server.Commands(), (Lines{"EHLO client.example", "QUIT"}));
}

TEST(SmtpClient, AnEmptyHeloNameGivesAQualifiedNameOrTheAddressLiteral) {
    FakeSmtpServer server;
    SmtpClient client;
    Configure(client, server);
    client.HeloName.clear();
    client.Connect(10000);
    server.Stop();
    // Never a bare host name, which servers checking the greeting refuse.
    std::regex qualified(R"(EHLO (\[127\.0\.0\.1\]|[A-Za-z0-9-]+(\.[A-Za-z0-9-]+)+))");
    EXPECT_TRUE(std::regex_match(server.Commands().front(), qualified)) << server.Commands().front();
}

TEST(SmtpClient, SendsTheTransactionInItsExactOrder) {
    FakeSmtpServer server;
    SmtpClient client;
    Configure(client, server);
    client.Connect(10000);
    MailMessage message;
    FillRaw(message);
    client.SendWithEnvelope(message);
    EXPECT_TRUE(client.Authenticated());
    client.Disconnect();
    EXPECT_FALSE(client.Authenticated());
    server.Stop();
    EXPECT_EQ(server.Commands(), (Lines{"EHLO client.example", "RSET", "AUTH PLAIN AHVzZXIAc2VjcmV0", "MAIL FROM:<>",
                                        "RCPT TO:<me@example.com>", "DATA", "QUIT"}));
    EXPECT_EQ(server.Messages(), (Lines{RawOnTheWire}));
}

TEST(SmtpClient, ASecondMessageOnTheConnectionDoesNotAuthenticateAgain) {
    FakeSmtpServer server;
    SmtpClient client;
    Configure(client, server);
    client.Connect(10000);
    MailMessage message;
    FillRaw(message);
    client.SendWithEnvelope(message);
    client.EnvelopeFrom = "owner@example.com";
    client.SendWithEnvelope(message);
    server.Stop();
    Lines commands = server.Commands();
    Lines second(commands.begin() + 6, commands.end());
    EXPECT_EQ(second, (Lines{"RSET", "MAIL FROM:<owner@example.com>", "RCPT TO:<me@example.com>", "DATA"}));
    EXPECT_EQ(server.Messages().size(), 2u);
}

TEST(SmtpClient, RefusedEhloFallsBackToHeloWithoutAuthentication) {
    FakeSmtpOptions options;
    options.RefuseEhlo = true;
    FakeSmtpServer server(options);
    SmtpClient client;
    Configure(client, server, SmtpAuthentication::Login);
    client.Connect(10000);
    EXPECT_TRUE(client.AnnouncedMechanisms().empty());
    MailMessage message;
    FillRaw(message);
    client.SendWithEnvelope(message);
    EXPECT_FALSE(client.Authenticated());
    server.Stop();
    EXPECT_EQ(server.Commands(), (Lines{"EHLO client.example", "HELO client.example", "RSET", "MAIL FROM:<>",
                                        "RCPT TO:<me@example.com>", "DATA"}));
}

TEST(SmtpClient, AuthenticatesOnlyWhenAskedAndAnnouncedPreferringPlain) {
    struct Case {
        const char* name;
        std::string authLine;
        SmtpAuthentication auth;
        std::string command; // empty: no authentication
    };
    const Case cases[] = {
        {"login announced", "AUTH LOGIN", SmtpAuthentication::Login, "AUTH LOGIN"},
        {"announced with =", "AUTH=LOGIN", SmtpAuthentication::Login, "AUTH LOGIN"},
        {"plain preferred", "AUTH LOGIN PLAIN", SmtpAuthentication::Login, "AUTH PLAIN AHVzZXIAc2VjcmV0"},
        {"not asked", "AUTH LOGIN", SmtpAuthentication::None, ""},
        {"neither announced", "AUTH CRAM-MD5", SmtpAuthentication::Login, ""},
        {"no AUTH at all", "", SmtpAuthentication::Login, ""},
    };
    for (const Case& c : cases) {
        FakeSmtpOptions options;
        options.AuthLine = c.authLine;
        FakeSmtpServer server(options);
        SmtpClient client;
        Configure(client, server, c.auth);
        client.Connect(10000);
        MailMessage message;
        FillRaw(message);
        client.SendWithEnvelope(message);
        server.Stop();
        Lines commands = server.Commands();
        auto authentications = std::count_if(commands.begin(), commands.end(),
                                             [](const std::string& line) { return line.rfind("AUTH", 0) == 0; });
        EXPECT_EQ(authentications, c.command.empty() ? 0 : 1) << c.name;
        if (!c.command.empty()) {
            EXPECT_EQ(commands[2], c.command) << c.name;
        }
        EXPECT_EQ(client.Authenticated(), !c.command.empty()) << c.name;
        EXPECT_EQ(server.Messages().size(), 1u) << c.name;
    }
}

TEST(SmtpClient, RejectedLoginFailsTheMessage) {
    FakeSmtpServer server;
    SmtpClient client;
    Configure(client, server);
    client.Password = "wrong";
    client.Connect(10000);
    MailMessage message;
    FillRaw(message);
    EXPECT_EQ(ErrorOf([&] { client.SendWithEnvelope(message); }), "5.7.8 Error: authentication failed");
    EXPECT_FALSE(client.Authenticated());
    EXPECT_TRUE(client.Connected());
}

TEST(SmtpClient, RecipientReplies251AcceptedAnd252Refused) {
    struct Case {
        std::string reply;
        std::string error;
    };
    const Case cases[] = {
        {"250 2.1.5 Ok", "(no error)"},
        {"251 User not local; will forward", "(no error)"},
        {"252 Cannot VRFY user, but will accept message", "Cannot VRFY user, but will accept message"},
        {"550 5.1.1 User unknown", "5.1.1 User unknown"},
    };
    for (const Case& c : cases) {
        FakeSmtpOptions options;
        options.RcptReply = c.reply;
        FakeSmtpServer server(options);
        SmtpClient client;
        Configure(client, server);
        client.Connect(10000);
        MailMessage message;
        FillRaw(message);
        EXPECT_EQ(ErrorOf([&] { client.SendWithEnvelope(message); }), c.error) << c.reply;
        server.Stop();
        EXPECT_EQ(server.Messages().size(), c.error == "(no error)" ? 1u : 0u) << c.reply;
    }
}

TEST(SmtpClient, AFailedMessageLeavesTheConnectionForTheNextOne) {
    FakeSmtpServer server;
    server.On("RCPT TO:<nobody@example.com>", Reaction::Answer("550 5.1.1 User unknown"));
    SmtpClient client;
    Configure(client, server);
    client.Connect(10000);
    MailMessage message;
    FillRaw(message);
    client.EnvelopeTo = "nobody@example.com";
    EXPECT_EQ(ErrorOf([&] { client.SendWithEnvelope(message); }), "5.1.1 User unknown");
    client.EnvelopeTo = "me@example.com";
    client.SendWithEnvelope(message);
    server.Stop();
    EXPECT_EQ(server.Connections(), 1);
    Lines commands = server.Commands();
    EXPECT_EQ(commands[5], "RSET");
    EXPECT_EQ(server.Messages().size(), 1u);
}

TEST(SmtpClient, NegativeRepliesCarryTheServerText) {
    struct Case {
        const char* command;
        std::string reply;
        std::string error;
    };
    const Case cases[] = {
        {"MAIL", "553 5.7.1 Sender rejected", "5.7.1 Sender rejected"},
        {"DATA", "554 5.5.1 Error: no valid recipients", "5.5.1 Error: no valid recipients"},
        {"MAIL", "451", "451"},
    };
    for (const Case& c : cases) {
        FakeSmtpServer server;
        server.On(c.command, Reaction::Answer(c.reply));
        SmtpClient client;
        Configure(client, server);
        client.Connect(10000);
        MailMessage message;
        FillRaw(message);
        EXPECT_EQ(ErrorOf([&] { client.SendWithEnvelope(message); }), c.error) << c.reply;
    }
}

TEST(SmtpClient, FailedGreetingClosesTheConnection) {
    struct Case {
        const char* name;
        FakeSmtpOptions options;
        std::string heloReply;
        std::string error;
    };
    FakeSmtpOptions busy;
    busy.Greeting = "554 5.3.2 Service busy";
    FakeSmtpOptions noEhlo;
    noEhlo.RefuseEhlo = true;
    const Case cases[] = {
        {"greeting", busy, "", "5.3.2 Service busy"},
        {"helo", noEhlo, "501 5.5.4 Syntax: HELO hostname", "5.5.4 Syntax: HELO hostname"},
    };
    for (const Case& c : cases) {
        FakeSmtpServer server(c.options);
        if (!c.heloReply.empty())
            server.On("HELO", Reaction::Answer(c.heloReply));
        SmtpClient client;
        Configure(client, server);
        EXPECT_EQ(ErrorOf([&] { client.Connect(10000); }), c.error) << c.name;
        EXPECT_FALSE(client.Connected()) << c.name;
    }
}

TEST(SmtpClient, RefusedConnectionCarriesTheSocketError) {
    SmtpClient client;
    client.Host = "127.0.0.1";
    client.Port = UnusedLoopbackPort();
    EXPECT_EQ(ErrorOf([&] { client.Connect(5000); }), "Socket Error # 111\r\nConnection refused.");
}

TEST(SmtpClient, SilenceBeyondTheReadTimeoutFails) {
    FakeSmtpServer server;
    server.On("MAIL", Reaction::Silence());
    SmtpClient client;
    Configure(client, server);
    client.ReadTimeout = 300;
    client.Connect(10000);
    MailMessage message;
    FillRaw(message);
    EXPECT_EQ(ErrorOf([&] { client.SendWithEnvelope(message); }), "Read Timeout");
}

TEST(SmtpClient, EnvelopeAddressesWithLineBreaksAreRefused) {
    for (const std::string bad : {"a@example.com\r\nRCPT TO:<b@example.com>", "a@example.com\n", "a\r"}) {
        FakeSmtpServer server;
        SmtpClient client;
        Configure(client, server);
        client.Connect(10000);
        MailMessage message;
        FillRaw(message);
        client.EnvelopeFrom = bad;
        EXPECT_EQ(ErrorOf([&] { client.SendWithEnvelope(message); }), "Invalid envelope address.");
        client.EnvelopeFrom.clear();
        client.EnvelopeTo = bad;
        EXPECT_EQ(ErrorOf([&] { client.SendWithEnvelope(message); }), "Invalid envelope address.");
        server.Stop();
        EXPECT_EQ(server.Commands(), (Lines{"EHLO client.example"}));
    }
}

TEST(SmtpClient, MailAgentBecomesTheExtraHeaderButARawMessageGoesAsStored) {
    FakeSmtpServer server;
    SmtpClient client;
    Configure(client, server);
    client.MailAgent = "Quorvane";
    client.Connect(10000);
    MailMessage message;
    FillRaw(message);
    client.SendWithEnvelope(message);
    EXPECT_EQ(message.ExtraHeaders, (Lines{"X-Mailer: Quorvane"}));
    client.MailAgent.clear();
    client.SendWithEnvelope(message);
    EXPECT_TRUE(message.ExtraHeaders.empty());
    server.Stop();
    EXPECT_EQ(server.Messages(), (Lines{RawOnTheWire, RawOnTheWire}));
}

TEST(SmtpClient, TheTranscriptNeverShowsTheLoginData) {
    for (const char* authLine : {"AUTH PLAIN", "AUTH LOGIN"}) {
        FakeSmtpOptions options;
        options.AuthLine = authLine;
        FakeSmtpServer server(options);
        std::vector<std::string> transcript;
        SetProtocolTranscript([&](const std::string& line) { transcript.push_back(line); });
        SmtpClient client;
        Configure(client, server);
        client.Connect(10000);
        MailMessage message;
        FillRaw(message);
        client.SendWithEnvelope(message);
        client.Disconnect();
        SetProtocolTranscript(nullptr);
        EXPECT_TRUE(client.AnnouncedMechanisms().size() == 1) << authLine;
        for (const std::string& line : transcript) {
            for (const char* secret : {"dXNlcg==", "c2VjcmV0", "AHVzZXIAc2VjcmV0"})
                EXPECT_EQ(line.find(secret), std::string::npos) << line;
        }
    }
}

TEST(SmtpClient, DisconnectSendsQuitOnlyWhenConnected) {
    FakeSmtpServer server;
    SmtpClient client;
    Configure(client, server);
    client.Disconnect();
    client.Connect(10000);
    client.Disconnect();
    client.Disconnect();
    server.Stop();
    EXPECT_EQ(server.Commands(), (Lines{"EHLO client.example", "QUIT"}));
}

} // namespace
