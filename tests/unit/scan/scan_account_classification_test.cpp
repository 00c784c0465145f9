// Where each message of a scan ends up: kept on the server, quarantined
// (and in which category), or taken as an answer; and what the scan records
// about each header.

#include "scan_account_fixture.h"

#include "platform/date_time.h"
#include "records/account.h"
#include "records/quarantine_index.h"
#include "records/recent_recipient_list.h"
#include "records/scanned_header_list.h"
#include "records/sender_lists.h"

#include <gtest/gtest.h>

namespace {

using namespace scan_account_test;

using ScanClassificationTest = ScanAccountTest;

TEST_F(ScanClassificationTest, FiveMessagesWithTwoAnswersAndOneSpam) {
    ProgramSettings.NoAskApprove = true;
    ApprovedSenders.Add("friend@example.org");
    ApprovedSenders.Add("*@family.example.org");
    const std::string spam = Mail("Stranger <stranger@example.com>", "business offer");
    FakePop3Server pop3({Mail("friend@example.org", "one"), Answer("Piet <piet@example.org>"), spam,
                         Answer("zoe@example.org", "Re: lunch"), Mail("Mum <mum@Family.example.org>", "two")});
    FakeSmtpServer smtp;
    AddAccount(pop3, smtp);
    view.SetProgressMax(0);
    EXPECT_EQ(Scan(pop3, smtp), ScanAccountResult::Completed);

    EXPECT_EQ(Details(), (Lines{"Scanned 3/3 messages.", "Detected 1 (33.33%) spam.", "Received 2 responses.",
                                "Moved 1/1 messages to quarantine folder.", "Sent 1/1 challenge emails.",
                                "Sent 2/2 post-response emails."}));
    EXPECT_EQ(pop3.Mailbox(), (Lines{Mail("friend@example.org", "one"), Mail("Mum <mum@Family.example.org>", "two")}));
    EXPECT_EQ(Matching(pop3.Commands(), "DELE"), (Lines{"DELE 2", "DELE 3", "DELE 4"}));
    EXPECT_EQ(ScanState.MessagesScanned, 5);
    EXPECT_EQ(ScanState.ResponsesReceived, 2);
    EXPECT_EQ(ScanState.SpamDetected, 1);
    EXPECT_EQ(view.ScannedText, "3");
    EXPECT_EQ(view.SpamText, "1 (33.33%)");
    EXPECT_EQ(Counters.Approved, 2);

    // The spam message is kept as it came, with its index entry.
    QuarantineIndex saved = SavedIndex();
    ASSERT_EQ(saved.Count(), 1);
    EXPECT_EQ(saved.Item(0).SenderAddress, "stranger@example.com");
    EXPECT_EQ(saved.Item(0).SenderName, "Stranger");
    EXPECT_EQ(saved.Item(0).Subject, "business offer");
    EXPECT_EQ(saved.Item(0).Recipients, "Anna <anna@example.net>");
    EXPECT_EQ(saved.Item(0).Category, CategoryChallenged);
    EXPECT_GT(saved.Item(0).Date, 0);
    std::string stored;
    ASSERT_TRUE(ReadWholeFile(Folder() + saved.Item(0).FileName, stored));
    EXPECT_EQ(stored, spam + ".\r\n");

    // One challenge, two post-responses, in that order; no release.
    Lines rcpt = Matching(smtp.Commands(), "RCPT TO:");
    EXPECT_EQ(rcpt,
              (Lines{"RCPT TO:<stranger@example.com>", "RCPT TO:<zoe@example.org>", "RCPT TO:<piet@example.org>"}));
    ASSERT_EQ(smtp.Messages().size(), 3u);
    EXPECT_NE(smtp.Messages()[0].find("Subject: Re: business offer  [tarvo:"), std::string::npos);
    EXPECT_NE(smtp.Messages()[2].find("Subject: Re: Re: hello  [tarvo:4711-"), std::string::npos);
    EXPECT_NE(smtp.Messages()[2].find("Dear Piet,"), std::string::npos);
    EXPECT_EQ(RecentRecipients.Count(), 3);
    EXPECT_EQ(RecentRecipients[0], "piet@example.org");
    EXPECT_EQ(ApprovedSenders.Count(), 2);
}

TEST_F(ScanClassificationTest, TwoMessagesFromOneUnknownSenderGetOneChallenge) {
    FakePop3Server pop3({Mail("stranger@example.com", "first"), Mail("Stranger@Example.com", "second")});
    FakeSmtpServer smtp;
    AddAccount(pop3, smtp);
    Scan(pop3, smtp);
    EXPECT_EQ(Details(), (Lines{"Scanned 2/2 messages.", "Detected 2 (100.00%) spam.", "Received 0 responses.",
                                "Moved 2/2 messages to quarantine folder.", "Sent 1/1 challenge emails."}));
    ASSERT_EQ(smtp.Messages().size(), 1u);
    EXPECT_NE(smtp.Messages()[0].find("Subject: Re: first  [tarvo:"), std::string::npos);
    EXPECT_TRUE(pop3.Mailbox().empty());
    EXPECT_EQ(SavedIndex().Count(), 2);
    EXPECT_EQ(QuarantineFiles().size(), 2u);
}

TEST_F(ScanClassificationTest, MessagesThatStayOnTheServer) {
    std::string answerFromFriend = Answer("friend@example.org");
    std::string daemon = Mail("MAILER-DAEMON@mx.example.org", "Undelivered Mail");
    std::string maker = Mail("support@mail.Belvantis.com", "news");
    std::string lookalike = Mail("x@notbelvantis.com", "hello");
    for (bool approveDaemons : {true, false}) {
        SetUp();
        ApprovedSenders.Add("friend@example.org");
        ProgramSettings.ApproveMailerDaemonPostmaster = approveDaemons;
        FakePop3Server pop3({answerFromFriend, daemon, maker, lookalike});
        FakeSmtpServer smtp;
        AddAccount(pop3, smtp);
        Scan(pop3, smtp);
        Lines expected = {answerFromFriend, maker};
        if (approveDaemons)
            expected.insert(expected.begin() + 1, daemon);
        EXPECT_EQ(pop3.Mailbox(), expected) << approveDaemons;
        QuarantineIndex saved = SavedIndex();
        ASSERT_EQ(saved.Count(), approveDaemons ? 1 : 2);
        if (!approveDaemons) {
            EXPECT_EQ(saved.Item(0).Category, CategorySpam);
        }
        EXPECT_EQ(Counters.Responses, 0);
        Accounts.Clear();
        std::filesystem::remove_all(data.Path() + "/Accounts");
    }
}

TEST_F(ScanClassificationTest, ForgedSendersAreObviousSpamUnlessTheSettingIsOff) {
    for (bool skip : {true, false}) {
        SetUp();
        ProgramSettings.SkipForgedSenders = skip;
        FakePop3Server pop3({Forged + Mail("ceo@example.org", "urgent payment")});
        FakeSmtpServer smtp;
        AddAccount(pop3, smtp);
        Scan(pop3, smtp);
        QuarantineIndex saved = SavedIndex();
        ASSERT_EQ(saved.Count(), 1) << skip;
        EXPECT_EQ(saved.Item(0).Category, skip ? CategorySpam : CategoryChallenged) << skip;
        EXPECT_EQ(smtp.Messages().size(), skip ? 0u : 1u) << skip;
        Accounts.Clear();
        std::filesystem::remove_all(data.Path() + "/Accounts");
    }
}

TEST_F(ScanClassificationTest, HeaderRecords) {
    FakePop3Server pop3({Mail("Piet Jansen <piet@example.org>", "one",
                              {"X-Priority: 0", "Reply-To: home@example.org",
                               "Content-Type: Multipart/Mixed; boundary=x", "Message-ID: <m1@example.org>"}),
                         CrLf({"From: bare@example.org", "To: a@example.net, B <b@example.net>", "Subject: two",
                               "Date: garbage date value here", "X-Priority: 5", "", "body"})});
    FakeSmtpServer smtp;
    Account& account = AddAccount(pop3, smtp);
    ApprovedSenders.Add("*");
    Scan(pop3, smtp);
    ASSERT_EQ(account.ScannedHeaders.Count(), 2);
    const ScannedHeader& first = account.ScannedHeaders.Item(0);
    EXPECT_EQ(first.MessageNumber, 1);
    EXPECT_EQ(first.FromName, "Piet Jansen");
    EXPECT_EQ(first.FromAddress, "piet@example.org");
    EXPECT_EQ(first.ReplyAddress, "home@example.org");
    EXPECT_EQ(first.Recipients, "Anna <anna@example.net>");
    EXPECT_EQ(first.Subject, "one");
    EXPECT_EQ(first.Priority, 2);
    EXPECT_TRUE(first.HasAttachments);
    EXPECT_TRUE(first.Kept);
    EXPECT_EQ(first.DateText, ShortDateLongTimeText(first.Key.empty() ? 0 : std::stod(first.Key)));
    EXPECT_NE(first.Key.find("<m1@example.org>"), std::string::npos);
    const ScannedHeader& second = account.ScannedHeaders.Item(1);
    EXPECT_EQ(second.FromName, "bare@example.org");
    EXPECT_EQ(second.Recipients, "a@example.net, B <b@example.net>");
    EXPECT_EQ(second.ReplyAddress, "");
    EXPECT_EQ(second.DateText, "garbage date val");
    EXPECT_EQ(second.Priority, 4);
    EXPECT_FALSE(second.HasAttachments);
    EXPECT_EQ(second.Key, "0");
}

} // namespace
