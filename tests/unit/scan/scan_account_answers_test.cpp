// Challenges a scan sends and the answers it takes: loop protection, the
// tag check, approval prompts and the releases an answer brings.

#include "records/account.h"
#include "records/quarantine_index.h"
#include "records/recent_recipient_list.h"
#include "records/sender_lists.h"
#include "scan_account_fixture.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

using namespace scan_account_test;

using ScanChallengeAndAnswerTest = ScanAccountTest;

TEST_F(ScanChallengeAndAnswerTest, LoopProtectionStopsTheFifthChallenge) {
    for (int earlier : {4, 5}) {
        SetUp();
        for (int i = 0; i < earlier; ++i)
            RecentRecipients.Insert(i % 2 ? "Looper@Example.com" : "looper@example.com");
        RecordingScanView local;
        FakePop3Server pop3({Mail("Someone <someone@example.com>", "again", {"Reply-To: looper@example.com"})});
        FakeSmtpServer smtp;
        AddAccount(pop3, smtp);
        Scan(pop3, smtp);
        QuarantineIndex saved = SavedIndex();
        ASSERT_EQ(saved.Count(), 1) << earlier;
        EXPECT_EQ(saved.Item(0).Category, CategoryChallenged);
        EXPECT_TRUE(pop3.Mailbox().empty());
        EXPECT_EQ(smtp.Messages().size(), earlier < 5 ? 1u : 0u) << earlier;
        EXPECT_EQ(Has(local.Details, "Sent 1/1 challenge emails."), earlier < 5) << earlier;
        Accounts.Clear();
        std::filesystem::remove_all(data.Path() + "/Accounts");
    }
}

TEST_F(ScanChallengeAndAnswerTest, AnsweredChallengeIsApprovedAndReleasesHeldMail) {
    ApprovedSenders.Clear();
    FakePop3Server pop3({Mail("Piet <piet@example.org>", "photos"), Answer("Piet <Piet@Example.org>")});
    FakeSmtpServer smtp;
    AddAccount(pop3, smtp);
    // A message of the same sender held from an earlier scan.
    std::string held = Mail("Piet <piet@example.org>", "earlier") + ".\r\n";
    {
        std::string path = Folder() + "{11111111-2222-4333-8444-555555555555}.dat";
        FILE* file = std::fopen(path.c_str(), "wb");
        ASSERT_TRUE(file);
        std::fwrite(held.data(), 1, held.size(), file);
        std::fclose(file);
        Accounts[0].Quarantine.Add("piet@example.org", "Piet", CategoryChallenged,
                                   "{11111111-2222-4333-8444-555555555555}.dat", 46090.4, "earlier", AccountAddress);
    }
    SetElapsedTimeRunning(ScanState, view, true);
    view.AnswerApprove(true);
    EXPECT_EQ(Scan(pop3, smtp), ScanAccountResult::Completed);

    EXPECT_EQ(view.CallsStartingWith("AskApprove"), Lines{"AskApprove: Piet <Piet@Example.org>\r\nRe: Re: hello"});
    Lines timer = view.CallsStartingWith("ElapsedTimer");
    EXPECT_EQ(timer, (Lines{"ElapsedTimer: on", "ElapsedTimer: off", "ElapsedTimer: on"}));
    auto calls = view.Calls();
    auto ask = std::find(calls.begin(), calls.end(), "AskApprove: Piet <Piet@Example.org>\r\nRe: Re: hello");
    ASSERT_NE(ask, calls.end());
    EXPECT_EQ(*(ask - 1), "ElapsedTimer: off");
    EXPECT_EQ(*(ask + 1), "ElapsedTimer: on");
    EXPECT_TRUE(ScanState.ApprovedThisRun.Contains("piet@example.org"));

    EXPECT_EQ(Details(),
              (Lines{"Scanned 1/1 messages.", "Detected 1 (100.00%) spam.", "Received 1 responses.",
                     "Moved 1/1 messages to quarantine folder.", "Sent 1/1 challenge emails.",
                     "Sent 1/1 post-response emails.", "Approved 1 senders.", "Released 2/2 messages to inbox."}));
    // The challenge of the first message was already due; the answer then
    // releases both held messages.
    EXPECT_EQ(Matching(smtp.Commands(), "RCPT TO:"),
              (Lines{"RCPT TO:<piet@example.org>", "RCPT TO:<Piet@Example.org>", "RCPT TO:<anna@example.net>",
                     "RCPT TO:<anna@example.net>"}));
    ASSERT_EQ(smtp.Messages().size(), 4u);
    std::string releasedEarlier = Mail("Piet <piet@example.org>", "earlier");
    releasedEarlier.erase(0, releasedEarlier.find("\r\n") + 2);
    EXPECT_EQ(smtp.Messages()[2], releasedEarlier);
    EXPECT_TRUE(pop3.Mailbox().empty());
    EXPECT_EQ(SavedIndex().Count(), 0);
    EXPECT_TRUE(QuarantineFiles().empty());
    EXPECT_EQ(ApprovedSenders.Strings(), Lines{"piet@example.org"});
}

TEST_F(ScanChallengeAndAnswerTest, OnlyACorrectTagIsAnAnswer) {
    std::string token = ChallengeToken("4711");
    std::string changed = token;
    changed[0] = changed[0] == 'a' ? 'b' : 'a';
    ProgramSettings.NoAskApprove = true;
    FakePop3Server pop3({Mail("a@example.org", "Re: x  [tarvo:4711-" + changed + "]"),
                         Mail("b@example.org", "Re: x  [TARVO:4711-" + token + "]"),
                         Mail("c@example.org", "Re: x  [tarvo:4711-" + token + "]")});
    FakeSmtpServer smtp;
    AddAccount(pop3, smtp);
    Scan(pop3, smtp);
    EXPECT_EQ(Counters.Responses, 1);
    EXPECT_EQ(Counters.Spam, 2);
    EXPECT_EQ(Matching(smtp.Commands(), "RCPT TO:"),
              (Lines{"RCPT TO:<b@example.org>", "RCPT TO:<a@example.org>", "RCPT TO:<c@example.org>"}));
    EXPECT_TRUE(view.CallsStartingWith("AskApprove").empty());
}

TEST_F(ScanChallengeAndAnswerTest, ApprovalDecisions) {
    struct Case {
        const char* name;
        Lines answers;
        std::vector<bool> prompts;
        const char* listed;
        int approved;
    };
    const Case cases[] = {
        {"two answers, one prompt", {Answer("p@example.org"), Answer("P@example.org", "Re: again")}, {true}, "", 1},
        {"declined, then followed", {Answer("p@example.org"), Answer("p@example.org", "Re: again")}, {false}, "", 0},
        {"blacklisted sender", {Answer("p@example.org")}, {}, "p@example.org", 0},
        // A decision about a sender without Reply-To says nothing about the next one.
        {"separate senders", {Answer("p@example.org"), Answer("q@example.org")}, {true, false}, "", 1},
    };
    for (const Case& c : cases) {
        SetUp();
        if (*c.listed)
            BlockedSenders.Add(c.listed);
        RecordingScanView local;
        for (bool answer : c.prompts)
            local.AnswerApprove(answer);
        FakePop3Server pop3(c.answers);
        FakeSmtpServer smtp;
        AddAccount(pop3, smtp);
        Scan(pop3, smtp);
        EXPECT_EQ(local.CallsStartingWith("AskApprove").size(), c.prompts.size()) << c.name;
        EXPECT_EQ(Counters.Approved, c.approved) << c.name;
        EXPECT_EQ(smtp.Messages().size(), static_cast<std::size_t>(c.approved)) << c.name;
        EXPECT_TRUE(pop3.Mailbox().empty()) << c.name;
        Accounts.Clear();
    }
}

// Mail that must never draw a challenge or a post-response: each message is
// quarantined, is no answer, and nothing is sent (the log says why, where a
// challenge was refused).
TEST_F(ScanChallengeAndAnswerTest, NoAutomaticReplyToTheAccountItselfOrToNonAddresses) {
    const std::string tag = "  " + ChallengeTagText(4711);
    const std::tuple<const char*, std::string, const char*> cases[] = {
        {"from an alias", Mail("Anna <anna.home@example.net>", "note to self"), ""},
        {"own challenge come back", Mail("Anna Smit <anna@example.net>", "Re: hi" + tag), ""},
        {"answer with an alias as Reply-To", Mail("p@example.org", "Re: hi" + tag, {"Reply-To: Anna.Home@example.net"}),
         ""},
        {"unqualified From", Mail("root", "cron output"), "Not challenging invalid address: root"},
        {"unqualified Reply-To", Mail("p@example.org", "hi", {"Reply-To: postmaster"}),
         "Not challenging invalid address: postmaster"},
        {"name left over from a broken From", Mail("Jansen, Piet <p@example.org>", "hi"),
         "Not challenging invalid address: Jansen"},
        {"answer without an address", Mail("<>", "Re: hi" + tag), ""},
        {"Reply-To a mail system", Mail("p@example.org", "hi", {"Reply-To: MAILER-DAEMON@example.org"}), ""},
        {"bounce quoting the tag", Mail("MAILER-DAEMON@mx.example.org", "Undelivered: Re: hi" + tag), ""},
        {"postmaster quoting the tag", Mail("Postmaster@example.org", "Returned mail: Re: hi" + tag), ""},
        {"null return path", Mail("auto@example.org", "hi", {"Return-Path: < >"}),
         "Not challenging mail without a return path: auto@example.org"},
        {"null return path answer", Mail("auto@example.org", "Re: hi" + tag, {"Return-Path: <>"}), ""},
        {"forged answer", Forged + Mail("p@example.org", "Re: hi" + tag), ""},
    };
    for (const auto& [name, message, logged] : cases) {
        SetUp();
        ProgramSettings.NoAskApprove = true;
        ProgramSettings.ApproveMailerDaemonPostmaster = false;
        FakePop3Server pop3({message});
        FakeSmtpServer smtp;
        AddAccount(pop3, smtp).Aliases.Add("anna.home@example.net");
        Scan(pop3, smtp);
        EXPECT_TRUE(pop3.Mailbox().empty()) << name;
        EXPECT_EQ(Counters.Responses, 0) << name;
        EXPECT_EQ(smtp.Connections(), 0) << name;
        EXPECT_TRUE(!*logged || Has(ScanState.ScanLog.Lines(), logged)) << name;
        Accounts.Clear();
        std::filesystem::remove_all(data.Path() + "/Accounts");
    }
}

TEST_F(ScanChallengeAndAnswerTest, NoChallengeStillReleasesAnsweredSenders) {
    ProgramSettings.NoChallenge = true;
    ProgramSettings.NoAskApprove = true;
    FakePop3Server pop3({Mail("piet@example.org", "photos"), Answer("piet@example.org")});
    FakeSmtpServer smtp;
    AddAccount(pop3, smtp);
    Scan(pop3, smtp);
    EXPECT_EQ(Details(), (Lines{"Scanned 1/1 messages.", "Detected 1 (100.00%) spam.", "Received 1 responses.",
                                "Moved 1/1 messages to quarantine folder.", "Approved 1 senders.",
                                "Released 1/1 messages to inbox."}));
    EXPECT_EQ(Matching(smtp.Commands(), "RCPT TO:"), Lines{"RCPT TO:<anna@example.net>"});
    EXPECT_EQ(RecentRecipients.Count(), 0);
    EXPECT_EQ(ApprovedSenders.Strings(), Lines{"piet@example.org"});
}

TEST_F(ScanChallengeAndAnswerTest, AnAnswerFromAMaskReleasesNobodyElse) {
    ProgramSettings.NoAskApprove = true;
    FakePop3Server pop3({Mail("a@example.org", "one"), Mail("b@example.org", "two"), Answer("<*@example.org>")});
    FakeSmtpServer smtp;
    AddAccount(pop3, smtp);
    Scan(pop3, smtp);
    EXPECT_EQ(Counters.Responses, 1);
    EXPECT_EQ(Counters.Released, 0);
    EXPECT_EQ(SavedIndex().Count(), 2);
    EXPECT_FALSE(Has(Details(), "Approved 1 senders."));
    EXPECT_TRUE(Has(smtp.Commands(), "RCPT TO:<*@example.org>"));
    EXPECT_EQ(ApprovedSenders.Count(), 0);
}

// The challenge of a message with a Reply-To went there, and the answer
// comes from there: it releases that message and approves both addresses.
TEST_F(ScanChallengeAndAnswerTest, AnAnswerFromTheReplyToAddressReleasesItsMail) {
    ProgramSettings.NoAskApprove = true;
    FakePop3Server pop3({Mail("News <news@lists.example.com>", "offer", {"Reply-To: <piet@example.org>"}),
                         Answer("Piet <piet@example.org>")});
    FakeSmtpServer smtp;
    AddAccount(pop3, smtp);
    EXPECT_EQ(Scan(pop3, smtp), ScanAccountResult::Completed);
    EXPECT_EQ(Counters.Released, 1);
    EXPECT_EQ(SavedIndex().Count(), 0);
    EXPECT_EQ(ApprovedSenders.Strings(), (Lines{"news@lists.example.com", "piet@example.org"}));
}

} // namespace
