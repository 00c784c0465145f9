#include "challenge/quarantine_actions.h"
#include "challenge/quarantine_view.h"

#include "mail/delivery_passes.h"
#include "quarantine_fixture.h"
#include "scan/scan_state.h"
#include "support/fake_pop3_server.h"
#include "support/fake_smtp_server.h"
#include "support/loopback_server.h"
#include "support/recording_scan_view.h"

#include <filesystem>

namespace {

using Lines = std::vector<std::string>;

class RecordingActionWindow : public QuarantineActionWindow {
public:
    void ShowWaitWindow() override { calls.push_back("ShowWait"); }
    void CloseWaitWindow() override { calls.push_back("CloseWait"); }
    void SetAccountTabsEnabled(bool enabled) override { calls.push_back(enabled ? "TabsOn" : "TabsOff"); }
    void SetSettingsTabsEnabled(bool enabled) override { calls.push_back(enabled ? "SettingsOn" : "SettingsOff"); }
    Lines calls;
};

class ReleaseFromViewTest : public QuarantineFixture {
protected:
    void SetUp() override {
        QuarantineFixture::SetUp();
        ProgramSettings.Timeout = 30;
        ScanState.ScanLog.Clear();
        ScanState.Unattended = false;
    }
    void TearDown() override {
        DeliveryConnection.reset();
        QuarantineFixture::TearDown();
    }

    Account& AddMailAccount(int pop3Port) {
        Account& account = AddAccount("me@example.com");
        account.Server = "127.0.0.1";
        account.Port = pop3Port;
        account.Login = FakePop3Server::User;
        account.Password = FakePop3Server::Password;
        account.SMTPServer = "127.0.0.1";
        account.SMTPPort = m_smtp.Port();
        return account;
    }

    // The lines of "log.txt".
    Lines Log() {
        Lines lines;
        std::string text = m_data.Read("log.txt");
        for (size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
            lines.push_back(text.substr(start, end - start));
        return lines;
    }

    void SelectSubject(const std::string& subject) {
        for (size_t row = 0; row < m_view.Rows().size(); ++row)
            if (m_view.Rows()[row].Subject == subject)
                m_view.Select(static_cast<int>(row));
    }

    FakePop3Server m_pop3{{}};
    FakeSmtpServer m_smtp;
    RecordingScanView m_scanView;
    RecordingActionWindow m_window;
    QuarantineView m_view;
};

TEST_F(ReleaseFromViewTest, ApprovingOneMessageReleasesTheSendersShownMessages) {
    AddMailAccount(m_pop3.Port());
    int first = Quarantine(0, "ann@example.org", "one");
    Quarantine(0, "bob@example.org", "other sender");
    int second = Quarantine(0, "Ann@Example.org", "two");
    int third = Quarantine(0, "ann@example.org", "three");
    int elsewhere = Quarantine(0, "ann@example.org", "list mail", CategoryAutomated);
    std::string firstFile = FileOf(0, first), thirdFile = FileOf(0, third);
    m_view.Fill();
    SelectSubject("two");
    m_scanView.AnswerMessageBox(MsgResult::Yes);

    ReleaseFromView(m_view, true, m_window);

    m_smtp.Stop();
    EXPECT_EQ(m_smtp.Messages().size(), 3u);
    EXPECT_EQ(m_scanView.CallsStartingWith("MessageBox"),
              Lines{"MessageBox: Confirm: Approve selected senders and release messages to inbox?"});
    QuarantineIndex& items = Accounts.Item(0).Quarantine;
    EXPECT_EQ(items.FindById(first), nullptr);
    EXPECT_EQ(items.FindById(second), nullptr);
    EXPECT_EQ(items.FindById(third), nullptr);
    EXPECT_NE(items.FindById(elsewhere), nullptr);
    EXPECT_FALSE(FileExists(firstFile));
    EXPECT_FALSE(FileExists(thirdFile));
    EXPECT_TRUE(ApprovedSenders.Matches("ann@example.org"));
    EXPECT_FALSE(ApprovedSenders.Matches("bob@example.org"));
    ASSERT_EQ(m_view.Rows().size(), 1u);
    EXPECT_EQ(m_view.Rows()[0].Subject, "other sender");

    Lines log = Log();
    ASSERT_GE(log.size(), 5u);
    EXPECT_EQ(log[0].rfind("Releasing messages to inbox: ", 0), 0u);
    EXPECT_EQ(Lines(log.begin() + 1, log.begin() + 4),
              (Lines{"Connecting to POP3 server.", "Successfully connected to POP3 server.",
                     "Disconnected from POP3 server."}));
    EXPECT_EQ(log.back().rfind("Finished releasing messages to inbox: ", 0), 0u);
    EXPECT_EQ(m_scanView.StatusText, "Finished releasing messages to inbox.");
    EXPECT_EQ(m_window.calls, (Lines{"ShowWait", "SettingsOff", "TabsOff", "SettingsOn", "TabsOn", "CloseWait"}));
    EXPECT_TRUE(m_scanView.ControlEnabled(ScanControl::CloseCommand));
    EXPECT_TRUE(m_scanView.ControlEnabled(ScanControl::About));
    EXPECT_FALSE(m_scanView.BusyCursor);
}

TEST_F(ReleaseFromViewTest, SenderAddressHoldingAMaskDoesNotPullInOthers) {
    AddMailAccount(m_pop3.Port());
    Quarantine(0, "*@example.org", "masked");
    Quarantine(0, "bob@example.org", "bob's");
    m_view.Fill();
    SelectSubject("masked");
    m_scanView.AnswerMessageBox(MsgResult::Yes);
    ReleaseFromView(m_view, true, m_window);
    m_smtp.Stop();
    EXPECT_EQ(m_smtp.Messages().size(), 1u);
    ASSERT_EQ(m_view.Rows().size(), 1u);
    EXPECT_EQ(m_view.Rows()[0].Subject, "bob's");
}

TEST_F(ReleaseFromViewTest, ReleasingSendsOnlyTheSelectedRowsAndApprovesNobody) {
    AddMailAccount(m_pop3.Port());
    int one = Quarantine(0, "ann@example.org", "one");
    int two = Quarantine(0, "ann@example.org", "two");
    int three = Quarantine(0, "bob@example.org", "three");
    m_view.Fill();
    SelectSubject("one");
    SelectSubject("three");
    m_scanView.AnswerMessageBox(MsgResult::Yes);

    ReleaseFromView(m_view, false, m_window);

    m_smtp.Stop();
    EXPECT_EQ(m_smtp.Messages().size(), 2u);
    EXPECT_EQ(m_scanView.CallsStartingWith("MessageBox"),
              Lines{"MessageBox: Confirm: Release selected messages to inbox?"});
    QuarantineIndex& items = Accounts.Item(0).Quarantine;
    EXPECT_EQ(items.FindById(one), nullptr);
    EXPECT_NE(items.FindById(two), nullptr);
    EXPECT_EQ(items.FindById(three), nullptr);
    EXPECT_TRUE(ApprovedSenders.Strings().empty());

    Lines log = Log();
    ASSERT_GE(log.size(), 5u);
    EXPECT_EQ(Lines(log.begin() + 1, log.begin() + 4),
              (Lines{"Connecting to POP3 server.", "Successfully connected to POP3 server.",
                     "Disconnecting from POP3 server."}));
    EXPECT_EQ(log.back().rfind("Finished releasing messages to inbox : ", 0), 0u);
}

TEST_F(ReleaseFromViewTest, ReleasingAMessageWhoseFileIsGoneShowsTheLoadingError) {
    AddMailAccount(m_pop3.Port());
    int id = Quarantine(0, "ann@example.org", "vanished");
    std::string file = FileOf(0, id);
    std::remove(file.c_str());
    m_view.Fill();
    m_view.Select(0);
    m_scanView.AnswerMessageBox(MsgResult::Yes);
    m_scanView.AnswerMessageBox(MsgResult::Ok);

    ReleaseFromView(m_view, false, m_window);

    EXPECT_EQ(m_scanView.CallsStartingWith("MessageBox: Error"),
              Lines{"MessageBox: Error: Cannot release message to inbox.\r\n\r\nError loading message file: Cannot "
                    "load message from file " +
                    file});
    ASSERT_EQ(m_view.Rows().size(), 1u);
    EXPECT_EQ(m_view.Rows()[0].Id, id);
    EXPECT_TRUE(ApprovedSenders.Strings().empty());
    Lines log = Log();
    EXPECT_EQ(log.back().rfind("Finished releasing messages to inbox : ", 0), 0u);
}

TEST_F(ReleaseFromViewTest, PopBeforeSmtpFailureIsOnlyLogged) {
    AddMailAccount(UnusedLoopbackPort());
    int id = Quarantine(0, "ann@example.org", "one");
    Quarantine(0, "carl@example.org", "two");
    m_view.Fill();
    m_view.SelectAll();
    m_scanView.AnswerMessageBox(MsgResult::Yes);

    EXPECT_TRUE(ReleaseFromView(m_view, false, m_window));

    m_smtp.Stop();
    EXPECT_EQ(m_smtp.Messages().size(), 2u);
    EXPECT_EQ(Accounts.Item(0).Quarantine.FindById(id), nullptr);
    EXPECT_TRUE(ApprovedSenders.Strings().empty());
    Lines log = Log();
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(log[1], "Connecting to POP3 server.");
    EXPECT_EQ(log[2].rfind("Error connecting to POP3 server: ", 0), 0u);
    EXPECT_EQ(m_scanView.CallsStartingWith("MessageBox").size(), 1u);
}

TEST_F(ReleaseFromViewTest, ASenderListThatCannotBeSavedFailsTheApproval) {
    AddMailAccount(UnusedLoopbackPort());
    Quarantine(0, "ann@example.org", "one");
    std::filesystem::create_directory(m_data.File("WhiteList.dat"));
    m_view.Fill();
    m_view.Select(0);
    m_scanView.AnswerMessageBox(MsgResult::Yes);
    m_scanView.AnswerMessageBox(MsgResult::Ok);

    EXPECT_FALSE(ReleaseFromView(m_view, true, m_window));

    EXPECT_EQ(m_scanView.CallsStartingWith("MessageBox: Error").size(), 1u);
    EXPECT_TRUE(m_view.Rows().empty()) << "the message was sent all the same";
}

TEST_F(ReleaseFromViewTest, AnswerNoSendsNothingAndWritesNoLog) {
    AddMailAccount(m_pop3.Port());
    Quarantine(0, "ann@example.org", "one");
    m_view.Fill();
    m_view.Select(0);
    m_scanView.AnswerMessageBox(MsgResult::No);
    EXPECT_FALSE(ReleaseFromView(m_view, true, m_window));
    m_smtp.Stop();
    EXPECT_TRUE(m_smtp.Messages().empty());
    EXPECT_EQ(m_smtp.Connections(), 0);
    EXPECT_FALSE(FileExists(m_data.File("log.txt")));
    EXPECT_TRUE(m_window.calls.empty());
}

} // namespace
