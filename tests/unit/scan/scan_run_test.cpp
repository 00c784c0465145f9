// The scan run over several accounts against loopback POP3 and SMTP
// servers, seen through a recording ScanView.

#include "scan/scan_run.h"

#include "challenge/follow_up_steps.h"
#include "mail/delivery_passes.h"
#include "platform/data_folder.h"
#include "platform/event_pump.h"
#include "platform/paths.h"
#include "records/account.h"
#include "records/program_settings.h"
#include "records/recent_recipient_list.h"
#include "scan/challenge_tag.h"
#include "scan/scan_state.h"
#include "support/fake_pop3_server.h"
#include "support/fake_smtp_server.h"
#include "support/loopback_server.h"
#include "support/process_state.h"
#include "support/recording_scan_view.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using Lines = std::vector<std::string>;

std::string Mail(const std::string& from, const std::string& subject) {
    return "From: " + from + "\r\nTo: me@example.net\r\nSubject: " + subject +
           "\r\nDate: Mon, 9 Mar 2026 10:00:00 +0100\r\n\r\nHello there.\r\n";
}

class ScanRunTest : public testing::Test {
protected:
    void SetUp() override {
        ResetProcessState(m_data.Path());
        ProgramSettings.Timeout = 30;
    }
    void TearDown() override { ResetProcessState(""); }

    Account& AddAccount(const std::string& address, int pop3Port, int smtpPort, bool enabled = true) {
        Account& account = AppendAccount();
        account.ID = "{5CA1AB1E-0000-4000-8000-00000000000" + std::to_string(Accounts.Count()) + "}";
        account.EmailAddress = address;
        account.Server = "127.0.0.1";
        account.Port = pop3Port;
        account.Login = FakePop3Server::User;
        account.Password = FakePop3Server::Password;
        account.SMTPServer = "127.0.0.1";
        account.SMTPPort = smtpPort;
        account.Enabled = enabled;
        return account;
    }

    Lines LogLines() {
        Lines lines;
        std::string text = m_data.Read("log.txt");
        for (size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
            lines.push_back(text.substr(start, end - start));
        return lines;
    }
    static bool Has(const Lines& lines, const std::string& line) {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }

    TempFolder m_data;
    RecordingScanView m_view;
};

TEST_F(ScanRunTest, OrdinalsCountEnabledAccountsOnly) {
    FakePop3Server first({}), third({});
    FakeSmtpServer smtp;
    AddAccount("first@example.net", first.Port(), smtp.Port());
    AddAccount("second@example.net", UnusedLoopbackPort(), smtp.Port(), false);
    AddAccount("third@example.net", third.Port(), smtp.Port());

    ScanRunOutcome outcome = RunScan(RunFollowUpSteps);

    EXPECT_EQ(m_view.CallsStartingWith("Headline: Scanning"),
              (Lines{"Headline: Scanning first@example.net (1/2), please wait...",
                     "Headline: Scanning third@example.net (2/2), please wait..."}));
    EXPECT_EQ(m_view.Headline, "Finished scanning your email accounts for spam.");
    EXPECT_TRUE(outcome.Ran);
    EXPECT_EQ(outcome.AccountsScanned, 2);
    EXPECT_EQ(outcome.AccountsFailed, 0);
    Lines log = LogLines();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.front().rfind("Start scan: ", 0), 0u);
    EXPECT_EQ(log.back().rfind("End scan: ", 0), 0u);
    EXPECT_TRUE(Has(log, "Scanning first@example.net."));
    EXPECT_FALSE(Has(log, "Scanning second@example.net."));
    for (ScanControl control : {ScanControl::Start, ScanControl::Scan, ScanControl::About, ScanControl::CloseCommand})
        EXPECT_TRUE(m_view.ControlEnabled(control)) << ScanControlName(control);
    EXPECT_FALSE(m_view.ControlEnabled(ScanControl::Cancel));
    EXPECT_FALSE(m_view.ElapsedTimerEnabled);
    EXPECT_FALSE(m_view.BusyCursor);
}

TEST_F(ScanRunTest, CancelDuringTheFirstOfTwoAccountsFinishesItsWorkAndSkipsTheSecond) {
    FakePop3Server first(
        {Mail("stranger@example.org", "one"), Mail("other@example.org", "two"), Mail("third@example.org", "three")});
    FakePop3Server second({Mail("x@example.org", "untouched")});
    FakeSmtpServer smtp;
    AddAccount("me@example.net", first.Port(), smtp.Port());
    AddAccount("you@example.net", second.Port(), smtp.Port());
    // The user presses Cancel while the first header is being examined.
    bool pressed = false;
    SetEventPump([&] {
        if (!pressed && m_view.CurrentAction == "step 1/5: scanning messages (1/3)") {
            pressed = true;
            RequestScanCancel();
        }
    });
    m_view.AnswerMessageBox(MsgResult::Yes);

    ScanRunOutcome outcome = RunScan(RunFollowUpSteps);

    first.Stop();
    second.Stop();
    smtp.Stop();
    EXPECT_TRUE(outcome.Aborted);
    EXPECT_EQ(outcome.AccountsScanned, 1);
    EXPECT_EQ(first.Mailbox().size(), 2u) << "the quarantined message is deleted from the server";
    EXPECT_EQ(smtp.Messages().size(), 1u) << "its challenge is still sent";
    EXPECT_EQ(second.Connections(), 0);
    EXPECT_EQ(m_view.CallsStartingWith("Headline: Aborting"), Lines{"Headline: Aborting scan, please wait..."});
    EXPECT_TRUE(Has(m_view.Details, "\r\nScan aborted."));
    EXPECT_TRUE(Has(LogLines(), "Scan aborted."));
    EXPECT_TRUE(FileExists(m_data.File("looplist.dat")));
}

TEST_F(ScanRunTest, CancelAnsweredNoChangesNothing) {
    m_view.AnswerMessageBox(MsgResult::No);
    RequestScanCancel();
    EXPECT_FALSE(ScanState.AbortRequested);
    EXPECT_TRUE(m_view.CallsStartingWith("Headline").empty());
}

TEST_F(ScanRunTest, LoopListIsSavedWithItsNewestHundred) {
    FakePop3Server pop3({});
    FakeSmtpServer smtp;
    AddAccount("me@example.net", pop3.Port(), smtp.Port());
    for (int i = 130; i >= 1; --i)
        RecentRecipients.Insert("sender" + std::to_string(i) + "@example.org");
    RunScan(RunFollowUpSteps);
    std::string saved = m_data.Read("looplist.dat");
    std::string expected;
    for (int i = 1; i <= 100; ++i)
        expected += "sender" + std::to_string(i) + "@example.org\r\n";
    EXPECT_EQ(saved, expected);
    EXPECT_EQ(RecentRecipients.Count(), 100);
}

TEST_F(ScanRunTest, NoAccountAsksOnlyWhenAttended) {
    m_view.AnswerMessageBox(MsgResult::Yes);
    EXPECT_FALSE(RunScan(RunFollowUpSteps).Ran);
    EXPECT_EQ(m_view.CallsStartingWith("MessageBox"),
              Lines{"MessageBox: Notice: No email accounts are configured.  Would you like to configure your email "
                    "account(s) now?"});
    EXPECT_EQ(m_view.CallsStartingWith("OpenAccountSettings").size(), 1u);

    RecordingScanView quiet;
    ScanState.Unattended = true;
    RunScan(RunFollowUpSteps);
    EXPECT_TRUE(quiet.Calls().empty());
    EXPECT_FALSE(FileExists(m_data.File("log.txt")));
}

TEST_F(ScanRunTest, NoEnabledAccountIsNoticedEvenUnattended) {
    AddAccount("me@example.net", UnusedLoopbackPort(), UnusedLoopbackPort(), false);
    ScanState.Unattended = true;
    m_view.AnswerMessageBox(MsgResult::Ok);
    EXPECT_FALSE(RunScan(RunFollowUpSteps).Ran);
    EXPECT_EQ(m_view.CallsStartingWith("MessageBox"),
              Lines{"MessageBox: Notice: There are no email accounts enabled.  To enable an email account, turn on the "
                    "option \"Enable spam protection for this account\" in the email account settings."});
    EXPECT_FALSE(FileExists(m_data.File("log.txt")));
}

TEST_F(ScanRunTest, RequestWhileAnAccountIsBeingDeletedIsIgnored) {
    AddAccount("me@example.net", UnusedLoopbackPort(), UnusedLoopbackPort());
    ScanState.DeletingAccount = true;
    EXPECT_FALSE(RunScan(RunFollowUpSteps).Ran);
    ScanState.DeletingAccount = false;
    EXPECT_TRUE(m_view.Calls().empty());
}

TEST_F(ScanRunTest, FailedAccountDoesNotStopTheRun) {
    FakePop3Server second({});
    FakeSmtpServer smtp;
    AddAccount("down@example.net", UnusedLoopbackPort(), smtp.Port());
    AddAccount("up@example.net", second.Port(), smtp.Port());
    ScanState.Unattended = true;
    ScanRunOutcome outcome = RunScan(RunFollowUpSteps);
    EXPECT_EQ(outcome.AccountsScanned, 2);
    EXPECT_EQ(outcome.AccountsFailed, 1);
    EXPECT_EQ(m_view.CallsStartingWith("Headline: Scanning up@example.net").size(), 1u);
    // No empty line follows a failed account's report.
    auto finished = std::find(m_view.Details.begin(), m_view.Details.end(), "Finished scanning account.");
    ASSERT_NE(finished, m_view.Details.end());
    EXPECT_EQ(*(finished + 1), "Scanning up@example.net.");
}

TEST_F(ScanRunTest, ErrorTheAccountScanCannotHandleEndsTheRunInOrder) {
    // The sender lists cannot be written when the answer releases the held mail.
    std::filesystem::create_directory(m_data.File("WhiteList.dat"));
    ProgramSettings.SyncAddressBook = false;
    ProgramSettings.NoAskApprove = true;
    FakePop3Server pop3(
        {Mail("piet@example.org", "photos"), Mail("piet@example.org", "Re: photos  " + ChallengeTagText(4711))});
    FakeSmtpServer smtp;
    AddAccount("me@example.net", pop3.Port(), smtp.Port());
    m_view.AnswerMessageBox(MsgResult::Ok);

    ScanRunOutcome outcome = RunScan(RunFollowUpSteps);

    EXPECT_EQ(outcome.AccountsFailed, 1);
    EXPECT_EQ(m_view.CallsStartingWith("MessageBox: Error: ").size(), 1u);
    EXPECT_FALSE(m_view.TrayAnimating);
    EXPECT_FALSE(m_view.AnimationRunning);
    EXPECT_TRUE(m_view.ControlEnabled(ScanControl::Start));
    EXPECT_EQ(m_view.Headline, "Finished scanning your email accounts for spam.");
    Lines log = LogLines();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back().rfind("End scan: ", 0), 0u);
}

TEST_F(ScanRunTest, AttentionNoticeUnlessChallengesAreOff) {
    for (bool noChallenge : {false, true}) {
        FakePop3Server pop3({"From: list@example.org\r\nTo: me@example.net\r\nSubject: Weekly digest\r\nPrecedence: "
                             "bulk\r\nList-Id: <news.example.org>\r\n\r\nNews.\r\n"});
        FakeSmtpServer smtp;
        Accounts.Clear();
        AddAccount("me@example.net", pop3.Port(), smtp.Port());
        ProgramSettings.NoChallenge = noChallenge;
        RunScan(RunFollowUpSteps);
        ASSERT_TRUE(ScanState.NeedsAttention);
        bool notice = m_view.Details.back().rfind("NOTICE: a possible automated message/mailing list or virus", 0) == 0;
        EXPECT_EQ(notice, !noChallenge);
    }
}

} // namespace
