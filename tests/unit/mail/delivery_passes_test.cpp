#include "mail/delivery_passes.h"

#include "mail/mail_message.h"
#include "platform/mail_transport_error.h"
#include "records/account.h"
#include "records/program_settings.h"
#include "support/fake_smtp_server.h"
#include "support/scripted_message_boxes.h"

#include <gtest/gtest.h>

#include <deque>

namespace {

using Lines = std::vector<std::string>;

const std::string Reasons = "\xE2\x80\xA2 You are not connected to the internet.\r\n"
                            "\xE2\x80\xA2 Your firewall is blocking this program.\r\n"
                            "\xE2\x80\xA2 Your ISP is having server problems.\r\n"
                            "\xE2\x80\xA2 You have entered incorrect account settings.";
const std::string Refused = "Socket Error # 111\r\nConnection refused.";

class DeliveryTest : public testing::Test {
protected:
    void SetUp() override {
        Accounts.Clear();
        ProgramSettings.Timeout = 30;
        context.Log = [this](const std::string& line) { log.push_back(line); };
    }
    void TearDown() override {
        Accounts.Clear();
        DeliveryConnection.reset();
    }

    // The operation the delivery serves: its log lines and its user.
    Lines log;
    DeliveryContext context;

    // Account 1 pointing at port.
    Account& AddAccount(int port) {
        Account& account = AppendAccount();
        account.SMTPServer = "127.0.0.1";
        account.SMTPPort = port;
        account.Login = "user";
        account.Password = "secret";
        account.SMTPLogin = "smtp-user";
        account.SMTPPassword = "smtp-secret";
        return account;
    }

    static Lines FailedAttempts(int count) {
        Lines lines;
        for (int i = 0; i < count; ++i) {
            lines.push_back("Connecting to SMTP server.");
            lines.push_back("Error connecting to SMTP server: " + Refused);
        }
        return lines;
    }
};

TEST_F(DeliveryTest, ConfiguresTheClientFromTheAccount) {
    struct Case {
        const char* name;
        bool auth, sameAsIncoming;
        SmtpAuthentication type;
        const char* user;
        const char* password;
    };
    const Case cases[] = {
        {"same as incoming", true, true, SmtpAuthentication::Login, "user", "secret"},
        {"own login", true, false, SmtpAuthentication::Login, "smtp-user", "smtp-secret"},
        {"no authentication", false, false, SmtpAuthentication::None, "", ""},
    };
    for (const Case& c : cases) {
        FakeSmtpServer server;
        Accounts.Clear();
        Account& account = AddAccount(server.Port());
        account.SMTPAuth = c.auth;
        account.SMTPSameAsIncoming = c.sameAsIncoming;
        ProgramSettings.Timeout = 45;
        ASSERT_TRUE(ConnectSmtp(1, context)) << c.name;
        ASSERT_TRUE(DeliveryConnection) << c.name;
        EXPECT_TRUE(DeliveryConnection->Connected()) << c.name;
        EXPECT_EQ(DeliveryConnection->Host, "127.0.0.1");
        EXPECT_EQ(DeliveryConnection->Port, server.Port());
        EXPECT_EQ(DeliveryConnection->ReadTimeout, 45000);
        EXPECT_EQ(DeliveryConnection->Authentication, c.type) << c.name;
        EXPECT_EQ(DeliveryConnection->Username, c.user) << c.name;
        EXPECT_EQ(DeliveryConnection->Password, c.password) << c.name;
        EXPECT_TRUE(DisconnectSmtp());
    }
    EXPECT_EQ(log[0], "Connecting to SMTP server.");
    EXPECT_EQ(log[1], "Successfully connected to SMTP server.");
}

TEST_F(DeliveryTest, FourFailuresAreSilentAndTheFifthAsks) {
    AddAccount(UnusedLoopbackPort());
    ScriptedMessageBoxes boxes;
    std::vector<int> logSizeAtBox;
    // Answered No: the final error box follows.
    boxes.Answer(MsgResult::No);
    boxes.Answer(MsgResult::Ok);
    SetMessageBoxHandler([&, previous = SetMessageBoxHandler(nullptr)](
                             const std::string& text, const std::string& title, MsgButtons buttons, MsgIcon icon) {
        logSizeAtBox.push_back(static_cast<int>(log.size()));
        return previous(text, title, buttons, icon);
    });
    EXPECT_FALSE(ConnectSmtp(1, context));
    SetMessageBoxHandler(nullptr);
    EXPECT_EQ(log, FailedAttempts(5));
    EXPECT_EQ(logSizeAtBox, (std::vector<int>{10, 10}));
    ASSERT_EQ(boxes.Boxes().size(), 2u);
    const auto& question = boxes.Boxes()[0];
    EXPECT_EQ(question.title, "Error");
    EXPECT_EQ(question.buttons, MsgButtons::YesNo);
    EXPECT_EQ(question.icon, MsgIcon::Warning);
    EXPECT_EQ(question.text, "Error connecting to outgoing mail (SMTP) server: " + Refused +
                                 "\r\n\r\nYou may be receiving this error because:\r\n\r\n" + Reasons +
                                 "\r\n\r\nDo you want to try to reconnect again? (highly recommended)");
    const auto& final = boxes.Boxes()[1];
    EXPECT_EQ(final.title, "Error");
    EXPECT_EQ(final.buttons, MsgButtons::Ok);
    EXPECT_EQ(final.icon, MsgIcon::Error);
    EXPECT_EQ(final.text, "Cannot send challenge emails and/or release messages to inbox.\r\n\r\n"
                          "Error connecting to outgoing mail (SMTP) server: " +
                              Refused + "\r\n\r\nYou may be receiving this error because:\r\n\r\n" + Reasons +
                              "\r\n\r\nPlease check the above.");
}

TEST_F(DeliveryTest, YesTriesAgainAndEveryFurtherFailureAsks) {
    AddAccount(UnusedLoopbackPort());
    ScriptedMessageBoxes boxes;
    boxes.Answer(MsgResult::Yes);
    boxes.Answer(MsgResult::Yes);
    boxes.Answer(MsgResult::No);
    boxes.Answer(MsgResult::Ok);
    EXPECT_FALSE(ConnectSmtp(1, context));
    EXPECT_EQ(log, FailedAttempts(7));
    ASSERT_EQ(boxes.Boxes().size(), 4u);
    EXPECT_EQ(boxes.Boxes()[2].buttons, MsgButtons::YesNo);
    EXPECT_EQ(boxes.Boxes()[3].buttons, MsgButtons::Ok);
}

TEST_F(DeliveryTest, WithoutAUserItGivesUpWithoutABox) {
    AddAccount(UnusedLoopbackPort());
    context.UserPresent = false;
    ScriptedMessageBoxes boxes; // any box fails the test
    EXPECT_FALSE(ConnectSmtp(1, context));
    EXPECT_EQ(log, FailedAttempts(5));
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(DeliveryTest, TheCallerIsToldWhileTheBoxesWait) {
    AddAccount(UnusedLoopbackPort());
    bool waiting = false;
    context.WaitingForUser = [&](bool nowWaiting) { waiting = nowWaiting; };
    std::vector<bool> waitingDuringBoxes;
    SetMessageBoxHandler([&](const std::string&, const std::string&, MsgButtons buttons, MsgIcon) {
        waitingDuringBoxes.push_back(waiting);
        return buttons == MsgButtons::YesNo ? MsgResult::No : MsgResult::Ok;
    });
    EXPECT_FALSE(ConnectSmtp(1, context));
    SetMessageBoxHandler(nullptr);
    EXPECT_EQ(waitingDuringBoxes, (std::vector<bool>{true, true}));
    EXPECT_FALSE(waiting);
}

// Sends each address of the list as a message; removes those delivered.
void SendAll(std::deque<std::string>& list, SmtpClient& client) {
    std::deque<std::string> failed;
    for (const std::string& address : list) {
        MailMessage message;
        message.RawRead = message.RawWrite = true;
        message.HeaderLines = {"Subject: to " + address};
        message.BodyLines = {"hello"};
        client.EnvelopeTo = address;
        try {
            client.SendWithEnvelope(message);
        } catch (const MailTransportError&) {
            failed.push_back(address);
        }
    }
    list = failed;
}

TEST_F(DeliveryTest, PassesGoOnWhileTheListShrinks) {
    struct Case {
        const char* name;
        std::deque<std::string> list;
        std::function<void(std::deque<std::string>&, SmtpClient&)> batch;
        int connections;
        std::size_t left;
        int quits = connections;
    };
    auto firstOnly = [](std::deque<std::string>& list, SmtpClient& client) {
        std::deque<std::string> one{list.front()};
        SendAll(one, client);
        if (one.empty())
            list.pop_front();
    };
    const Case cases[] = {
        {"all at once", {"a@example.com", "b@example.com"}, SendAll, 1, 0},
        {"one refused", {"a@example.com", "bad@example.com", "c@example.com"}, SendAll, 2, 1},
        {"all refused", {"bad@example.com"}, SendAll, 1, 1},
        {"one per pass", {"a@example.com", "b@example.com", "c@example.com"}, firstOnly, 3, 0},
        // A connection that breaks under the first message gets one more pass.
        {"closed by 421", {"busy@example.com", "b@example.com"}, SendAll, 2, 0, 1},
        {"dropped", {"drop@example.com"}, SendAll, 2, 0, 1},
    };
    for (const Case& c : cases) {
        FakeSmtpServer server;
        server.On("RCPT TO:<bad@example.com>", Reaction::Answer("550 5.1.1 User unknown"));
        server.On("RCPT TO:<busy@example.com>", Reaction::Answer("421 4.3.2 Shutting down").Once());
        server.On("RCPT TO:<drop@example.com>", Reaction::Disconnect().Once());
        Accounts.Clear();
        AddAccount(server.Port());
        std::deque<std::string> list = c.list;
        DeliveryPasses(1, context, list, c.batch);
        server.Stop();
        EXPECT_EQ(server.Connections(), c.connections) << c.name;
        EXPECT_EQ(list.size(), c.left) << c.name;
        Lines commands = server.Commands();
        EXPECT_EQ(std::count(commands.begin(), commands.end(), "QUIT"), c.quits) << c.name;
    }
}

TEST_F(DeliveryTest, NoConnectionNoBatch) {
    AddAccount(UnusedLoopbackPort());
    context.UserPresent = false;
    std::deque<std::string> list{"a@example.com"};
    int batches = 0;
    DeliveryPasses(1, context, list, [&](std::deque<std::string>&, SmtpClient&) { ++batches; });
    EXPECT_EQ(batches, 0);
    EXPECT_EQ(list.size(), 1u);
}

TEST_F(DeliveryTest, AnErrorOfTheBatchClosesTheConnectionAndPassesOn) {
    FakeSmtpServer server;
    AddAccount(server.Port());
    std::deque<std::string> list{"a@example.com"};
    EXPECT_THROW(DeliveryPasses(1, context, list,
                                [](std::deque<std::string>&, SmtpClient&) { throw std::runtime_error("file locked"); }),
                 std::runtime_error);
    server.Stop();
    EXPECT_EQ(server.Commands().back(), "QUIT");
    EXPECT_FALSE(DeliveryConnection->Connected());
}

} // namespace
