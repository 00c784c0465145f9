#include "mail/pop3_session.h"

#include "mail/mail_message.h"
#include "platform/mail_transport_error.h"
#include "support/fake_pop3_server.h"
#include "support/loopback_server.h"
#include "support/transport_errors.h"

#include <gtest/gtest.h>

#include <chrono>
#include <set>
#include <thread>

namespace {

const std::string First = "From: Ann <ann@example.com>\r\n"
                          "Subject: first\r\n"
                          "\r\n"
                          "line one\r\n"
                          ".dotted\r\n"
                          ".\r\n"
                          "\r\n"
                          "end\r\n";
const std::string Second = "From: bob@example.com\r\nSubject: second\r\n\r\nhello\r\n";
const std::string Third = "From: cy@example.com\r\nSubject: third\r\n\r\nbye\r\n";

Pop3Settings SettingsFor(const FakePop3Server& server, int timeoutMs = 10000) {
    return {"127.0.0.1", server.Port(), FakePop3Server::User, FakePop3Server::Password, timeoutMs};
}

using Lines = std::vector<std::string>;

TEST(Pop3Session, LogsInAndCounts) {
    FakePop3Server server({First, Second});
    Pop3Session session(SettingsFor(server));
    session.Connect();
    EXPECT_EQ(session.CountMessages(), 2);
    session.Disconnect();
    server.Stop();
    EXPECT_EQ(server.Commands(), (Lines{"USER user", "PASS secret", "CAPA", "STAT", "QUIT"}));
}

TEST(Pop3Session, StatCountsThatAreZeroOrEmpty) {
    for (const char* reply : {"+OK 0 0", "+OK"}) {
        FakePop3Server server({First});
        server.On("STAT", Reaction::Answer(reply));
        Pop3Session session(SettingsFor(server));
        session.Connect();
        EXPECT_EQ(session.CountMessages(), 0) << reply;
    }
}

TEST(Pop3Session, StatWithoutANumberFails) {
    FakePop3Server server({First});
    server.On("STAT", Reaction::Answer("+OK lots of mail"));
    Pop3Session session(SettingsFor(server));
    session.Connect();
    EXPECT_EQ(ErrorOf([&] { session.CountMessages(); }), "Invalid STAT reply: lots of mail");
}

TEST(Pop3Session, HeaderBlockHoldsNoEmptyLine) {
    FakePop3Server server({First});
    // Some servers put empty lines into a TOP reply; none may reach the header.
    server.On("TOP 1", Reaction::Answer("+OK\r\nSubject: odd\r\n\r\nX-A: 1\r\n\r\n."));
    Pop3Session session(SettingsFor(server));
    session.Connect();
    MailMessage message;
    message.RawRead = message.RawWrite = true;
    EXPECT_TRUE(session.RetrieveHeader(1, message));
    EXPECT_EQ(message.HeaderLines, (Lines{"Subject: odd", "X-A: 1"}));
    EXPECT_EQ(message.Subject, "odd");
    EXPECT_TRUE(message.BodyLines.empty());
}

TEST(Pop3Session, RetrievesHeadersInTurn) {
    FakePop3Server server({First, Second});
    Pop3Session session(SettingsFor(server));
    session.Connect();
    MailMessage message;
    message.RawRead = message.RawWrite = true;
    session.RetrieveHeader(1, message);
    EXPECT_EQ(message.HeaderLines, (Lines{"From: Ann <ann@example.com>", "Subject: first"}));
    EXPECT_EQ(message.Subject, "first");
    message.Clear();
    session.RetrieveHeader(2, message);
    EXPECT_EQ(message.Subject, "second");
    server.Stop();
    EXPECT_EQ(server.Commands(), (Lines{"USER user", "PASS secret", "CAPA", "TOP 1 0", "TOP 2 0"}));
}

TEST(Pop3Session, RetrievesTheMessageAsReceivedWithoutStuffing) {
    FakePop3Server server({First});
    Pop3Session session(SettingsFor(server));
    session.Connect();
    MailMessage message;
    message.RawRead = message.RawWrite = true;
    ASSERT_TRUE(session.RetrieveMessage(1, message));
    EXPECT_EQ(message.HeaderLines, (Lines{"From: Ann <ann@example.com>", "Subject: first"}));
    // On the wire these were "..dotted" and "..".
    EXPECT_EQ(message.BodyLines, (Lines{"line one", ".dotted", ".", "", "end"}));
    EXPECT_EQ(message.Subject, "first");
}

TEST(Pop3Session, AMessageWithoutBodyIsAllHeader) {
    FakePop3Server server({"Subject: only a header\r\nX-B: 2\r\n"});
    Pop3Session session(SettingsFor(server));
    session.Connect();
    MailMessage message;
    ASSERT_TRUE(session.RetrieveMessage(1, message));
    EXPECT_EQ(message.HeaderLines, (Lines{"Subject: only a header", "X-B: 2"}));
    EXPECT_TRUE(message.BodyLines.empty());
}

TEST(Pop3Session, NegativeRetrReturnsFalseAndTheSessionGoesOn) {
    FakePop3Server server({First, Second});
    server.On("RETR 1", Reaction::Answer("-ERR message is locked"));
    Pop3Session session(SettingsFor(server));
    session.Connect();
    MailMessage message;
    EXPECT_FALSE(session.RetrieveMessage(1, message));
    EXPECT_TRUE(message.HeaderLines.empty());
    EXPECT_TRUE(message.BodyLines.empty());
    EXPECT_TRUE(session.RetrieveMessage(2, message));
    EXPECT_EQ(message.Subject, "second");
}

TEST(Pop3Session, LongLinesArriveWholeAndTheirTailsAreNoTerminator) {
    std::string longHeader = "X-Long: " + std::string(21603, 'h');
    std::string longLine(40000, 'x');
    // The tail of this line is a lone "." after the split.
    std::string dotTail = std::string(16384, 'y') + ".";
    std::string text = "Subject: long\r\n" + longHeader + "\r\nMessage-ID: <m@x>\r\n\r\n" + longLine + "\r\n" +
                       dotTail + "\r\nlast\r\n";
    FakePop3Server server({text, Second});
    Pop3Session session(SettingsFor(server));
    session.Connect();
    MailMessage header;
    session.RetrieveHeader(1, header);
    EXPECT_EQ(header.HeaderLines, (Lines{"Subject: long", longHeader, "Message-ID: <m@x>"}));
    MailMessage message;
    ASSERT_TRUE(session.RetrieveMessage(1, message));
    EXPECT_EQ(message.HeaderLines, header.HeaderLines);
    EXPECT_EQ(message.BodyLines, (Lines{longLine, dotTail, "last"}));
    // The conversation is still in step.
    MailMessage next;
    session.RetrieveHeader(2, next);
    EXPECT_EQ(next.Subject, "second");
}

TEST(Pop3Session, AnOverLongStatusLineKeepsTheConversationInStep) {
    FakePop3Server server({First, Second});
    server.On("STAT", Reaction::Answer("+OK 2 320 " + std::string(40000, 'z')));
    Pop3Session session(SettingsFor(server));
    session.Connect();
    EXPECT_EQ(session.CountMessages(), 2);
    MailMessage message;
    session.RetrieveHeader(2, message);
    EXPECT_EQ(message.Subject, "second");
}

TEST(Pop3Session, NegativeRepliesCarryTheServerText) {
    struct Case {
        const char* command;
        std::function<void(Pop3Session&)> action;
        std::string error;
    };
    const Case cases[] = {
        {"USER", [](Pop3Session& s) { s.Connect(); }, "unknown user"},
        {"PASS", [](Pop3Session& s) { s.Connect(); }, "unknown user"},
        {"STAT", [](Pop3Session& s) { s.Connect(), s.CountMessages(); }, "unknown user"},
        {"TOP",
         [](Pop3Session& s) {
             MailMessage m;
             s.Connect(), s.RetrieveHeader(1, m);
         },
         "unknown user"},
        {"DELE", [](Pop3Session& s) { s.Connect(), s.DeleteMessage(1); }, "unknown user"},
    };
    for (const Case& c : cases) {
        FakePop3Server server({First});
        server.On(c.command, Reaction::Answer("-ERR unknown user"));
        Pop3Session session(SettingsFor(server));
        EXPECT_EQ(ErrorOf([&] { c.action(session); }), c.error) << c.command;
    }
}

TEST(Pop3Session, WrongPasswordAndNegativeGreetingFail) {
    FakePop3Server wrongPassword({First});
    Pop3Settings settings = SettingsFor(wrongPassword);
    settings.Password = "guess";
    Pop3Session session(settings);
    EXPECT_EQ(ErrorOf([&] { session.Connect(); }), "[AUTH] Authentication failed.");

    FakePop3Server busy({First}, "-ERR too many connections");
    Pop3Session second(SettingsFor(busy));
    EXPECT_EQ(ErrorOf([&] { second.Connect(); }), "too many connections");
}

TEST(Pop3Session, DeletionsTakeEffectOnlyThroughDisconnect) {
    FakePop3Server server({First, Second, Third});
    {
        Pop3Session session(SettingsFor(server));
        session.Connect();
        EXPECT_TRUE(session.DeleteMessage(1));
        EXPECT_TRUE(session.DeleteMessage(3));
        session.Disconnect();
        EXPECT_FALSE(session.Connected());
    }
    server.Stop();
    EXPECT_EQ(server.Mailbox(), (Lines{Second}));
    EXPECT_EQ(server.Commands().back(), "QUIT");
}

// A reply that is neither "+OK" nor "-ERR", or a QUIT without "+OK", leaves
// the deletions undone and the session closed.
TEST(Pop3Session, ABrokenOrMissingReplyEndsTheSessionWithoutCommitting) {
    struct Case {
        const char* command;
        Reaction reaction;
        std::string error;
    };
    const Case cases[] = {
        {"DELE 2", Reaction::Answer("* 1 EXISTS"), "Invalid reply from POP3 server: * 1 EXISTS"},
        {"QUIT", Reaction::Disconnect(), "Connection Closed Gracefully."},
        {"QUIT", Reaction::Answer(std::string("-ERR \0\x01disk full", 15)), "\x01disk full"},
    };
    for (const Case& c : cases) {
        FakePop3Server server({First, Second, Third});
        server.On(c.command, c.reaction);
        Pop3Session session(SettingsFor(server));
        session.Connect();
        session.DeleteMessage(1);
        std::string error = ErrorOf([&] {
            session.DeleteMessage(2);
            session.Disconnect();
        });
        EXPECT_EQ(error, c.error) << c.command;
        EXPECT_FALSE(session.Connected()) << c.command;
        if (std::string(c.command) == "DELE 2") {
            server.Stop();
            EXPECT_EQ(server.Mailbox(), (Lines{First, Second, Third}));
        }
    }
}

TEST(Pop3Session, AFailureAfterSeveralDeletionsLeavesEveryMessage) {
    FakePop3Server server({First, Second, Third});
    server.On("DELE 3", Reaction::Disconnect());
    {
        Pop3Session session(SettingsFor(server));
        session.Connect();
        session.DeleteMessage(1);
        session.DeleteMessage(2);
        EXPECT_EQ(ErrorOf([&] { session.DeleteMessage(3); }), "Connection Closed Gracefully.");
        // Nothing left to say QUIT on: the deletions did not happen.
        EXPECT_EQ(ErrorOf([&] { session.Disconnect(); }), "Not connected.");
    }
    server.Stop();
    EXPECT_EQ(server.Mailbox(), (Lines{First, Second, Third}));
    for (const std::string& command : server.Commands())
        EXPECT_NE(command, "QUIT");
}

TEST(Pop3Session, ASessionDestroyedWithoutDisconnectSendsNoQuit) {
    FakePop3Server server({First, Second});
    {
        Pop3Session session(SettingsFor(server));
        session.Connect();
        session.DeleteMessage(1);
        session.DeleteMessage(2);
    }
    server.Stop();
    EXPECT_EQ(server.Mailbox().size(), 2u);
    EXPECT_EQ(server.Commands(), (Lines{"USER user", "PASS secret", "CAPA", "DELE 1", "DELE 2"}));
}

TEST(Pop3Session, SilenceBeyondTheTimeoutIsAReadTimeout) {
    FakePop3Server server({First});
    server.On("TOP", Reaction::Silence());
    Pop3Session session(SettingsFor(server, 300));
    session.Connect();
    MailMessage message;
    EXPECT_EQ(ErrorOf([&] { session.RetrieveHeader(1, message); }), "Read Timeout");
    EXPECT_FALSE(session.Connected());
}

// A server that answers RETR one byte at a time: each line and the reply as
// a whole have their limits, however steadily the bytes come.
TEST(Pop3Session, ADrippingServerTimesOut) {
    const std::string lines[] = {std::string(74, 'x') + "\n", "abc\r\nabc\r\nabc\r\nabc\r\nabc\r\n"
                                                              "abc\r\nabc\r\nabc\r\nabc\r\nabc\r\n"
                                                              "abc\r\nabc\r\nabc\r\nabc\r\nabc\r\n"};
    for (const std::string& body : lines) {
        LoopbackServer server([&](ServerConnection& connection) {
            connection.SendLine("+OK ready");
            for (const char* reply : {"+OK", "+OK", "-ERR no CAPA"})
                if (connection.ReadLine())
                    connection.SendLine(reply);
            if (!connection.ReadLine())
                return;
            connection.SendLine("+OK message follows");
            for (char c : body) {
                connection.Send(std::string(1, c));
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
            connection.SendLine(".");
        });
        Pop3Session session({"127.0.0.1", server.Port(), "u", "p", 200});
        session.Connect();
        MailMessage message;
        EXPECT_EQ(ErrorOf([&] { session.RetrieveMessage(1, message); }), "Read Timeout") << body.size();
        EXPECT_FALSE(session.Connected());
    }
}

TEST(Pop3Session, RefusedConnectionCarriesTheSocketError) {
    Pop3Session session({"127.0.0.1", UnusedLoopbackPort(), "u", "p", 5000});
    EXPECT_EQ(ErrorOf([&] { session.Connect(); }), "Socket Error # 111\r\nConnection refused.");
}

TEST(Pop3Session, ConnectOnlyLogsInAndQuits) {
    FakePop3Server server({First});
    Pop3Session session(SettingsFor(server));
    session.ConnectOnly();
    server.Stop();
    EXPECT_EQ(server.Commands(), (Lines{"USER user", "PASS secret", "CAPA", "QUIT"}));
}

TEST(Pop3Session, TheTranscriptNeverShowsThePassword) {
    FakePop3Server server({First});
    std::vector<std::string> transcript;
    SetProtocolTranscript([&](const std::string& line) { transcript.push_back(line); });
    {
        Pop3Session session(SettingsFor(server));
        session.ConnectOnly();
    }
    SetProtocolTranscript(nullptr);
    EXPECT_EQ(transcript, (Lines{"S: +OK fake POP3 server ready", "C: USER user", "S: +OK", "C: PASS ****",
                                 "S: +OK logged in", "C: CAPA", "S: -ERR unknown command", "C: QUIT", "S: +OK bye"}));
}

TEST(Pop3Session, SendsOnlyTheKnownCommands) {
    FakePop3Server server({First, Second});
    server.On("RETR 2", Reaction::Answer("-ERR gone"));
    Pop3Session session(SettingsFor(server));
    session.Connect();
    int count = session.CountMessages();
    for (int i = 1; i <= count; ++i) {
        MailMessage message;
        session.RetrieveHeader(i, message);
        session.RetrieveMessage(i, message);
        session.DeleteMessage(i);
    }
    session.Disconnect();
    server.Stop();
    const std::set<std::string> allowed = {"USER", "PASS", "CAPA", "STAT", "TOP", "RETR", "DELE", "QUIT"};
    std::vector<std::string> commands = server.Commands();
    EXPECT_EQ(commands.size(), 11u);
    for (const std::string& command : commands)
        EXPECT_TRUE(allowed.count(command.substr(0, command.find(' ')))) << command;
}

} // namespace
