// The account scan end to end against the loopback POP3 and SMTP servers,
// seen through a recording ScanView.

#include "scan/scan_account.h"

#include "challenge/follow_up_steps.h"
#include "mail/delivery_passes.h"
#include "mail/mail_message.h"
#include "platform/atomic_file.h"
#include "platform/data_folder.h"
#include "platform/event_pump.h"
#include "platform/paths.h"
#include "records/accounts.h"
#include "records/program_settings.h"
#include "records/text_helpers.h"
#include "scan/challenge_tag.h"
#include "scan/scan_state.h"
#include "support/fake_pop3_server.h"
#include "support/fake_smtp_server.h"
#include "support/process_state.h"
#include "support/recording_scan_view.h"
#include "support/temp_folder.h"
#include "test_paths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <tuple>

namespace {

using Lines = std::vector<std::string>;

const std::string AccountAddress = "anna@example.net";

std::string CrLf(const Lines& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

// A message from sender to the account, with extra header lines.
std::string Mail(const std::string& from, const std::string& subject, const Lines& extra = {},
                 const Lines& body = {"Hello Anna.", "", "Greetings"}) {
    Lines lines = {"Delivered-To: " + AccountAddress, "From: " + from, "To: Anna <" + AccountAddress + ">",
                   "Subject: " + subject, "Date: Mon, 9 Mar 2026 10:00:00 +0100"};
    lines.insert(lines.end(), extra.begin(), extra.end());
    lines.push_back("");
    lines.insert(lines.end(), body.begin(), body.end());
    return CrLf(lines);
}

std::string Answer(const std::string& from, const std::string& subject = "Re: Re: hello") {
    return Mail(from, subject + "  " + ChallengeTagText(4711));
}

std::string Corpus(const std::string& name) {
    std::string text;
    EXPECT_TRUE(ReadWholeFile(std::string(TEST_DATA_DIR) + "/" + name, text)) << name;
    return text;
}

class ScanEngineTest : public testing::Test {
protected:
    void SetUp() override {
        ResetProcessState(data.Path());
        ProgramSettings.Timeout = 30;
    }
    void TearDown() override { ResetProcessState(""); }

    Account& AddAccount(const FakePop3Server& pop3, const FakeSmtpServer& smtp) {
        Account& account = AppendAccount();
        account.ID = "{5CA1AB1E-0000-4000-8000-00000000000" + std::to_string(Accounts.Count()) + "}";
        account.DisplayName = "Anna Smit";
        account.EmailAddress = AccountAddress;
        account.Server = "127.0.0.1";
        account.Port = pop3.Port();
        account.Login = FakePop3Server::User;
        account.Password = FakePop3Server::Password;
        account.SMTPServer = "127.0.0.1";
        account.SMTPPort = smtp.Port();
        account.Enabled = true;
        return account;
    }
    std::string Folder(int index = 0) { return IncludeTrailingDelimiter(AccountFolder(index)); }

    ScanAccountResult Scan(FakePop3Server& pop3, FakeSmtpServer& smtp, int accountNumber = 1) {
        ScanAccountResult result = ScanAccount(accountNumber, RunFollowUpSteps);
        pop3.Stop();
        smtp.Stop();
        return result;
    }

    // The details of the scan, without the lines a test does not look at.
    Lines Details() const { return view.Details; }
    static Lines Matching(const Lines& lines, const std::string& prefix) {
        Lines found;
        for (const std::string& line : lines)
            if (line.rfind(prefix, 0) == 0)
                found.push_back(line);
        return found;
    }
    static bool Has(const Lines& lines, const std::string& line) {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }
    // Files in the account folder besides the index.
    Lines QuarantineFiles() {
        Lines files;
        for (const auto& entry : std::filesystem::directory_iterator(Folder()))
            if (entry.path().filename() != "account2.dat")
                files.push_back(entry.path().filename().string());
        return files;
    }
    // The index as saved on disk.
    QuarantineIndex SavedIndex() {
        QuarantineIndex items;
        LoadIndexFile(items, AccountFolder(0));
        return items;
    }

    TempFolder data;
    RecordingScanView view;
};

TEST_F(ScanEngineTest, EmptyMailbox) {
    FakePop3Server pop3({});
    FakeSmtpServer smtp;
    AddAccount(pop3, smtp);
    EXPECT_EQ(Scan(pop3, smtp), ScanAccountResult::Completed);
    EXPECT_EQ(Details(), (Lines{"Scanned 0/0 messages.", "Detected 0 (0.00%) spam.", "Received 0 responses.",
                                "Moved 0/0 messages to quarantine folder."}));
    EXPECT_EQ(smtp.Connections(), 0);
    EXPECT_EQ(view.CallsStartingWith("Action"),
              (Lines{"Action: step 1/5: scanning messages", "Action: step 2/5: moving messages to quarantine folder"}));
    EXPECT_EQ(ScanState.ScanLog.Lines(),
              (Lines{"Connecting to POP3 server.", "Sucessfully connectied to POP3 server."}));
    EXPECT_EQ(pop3.Commands(), (Lines{"USER user", "PASS secret", "CAPA", "STAT", "QUIT"}));
    EXPECT_TRUE(Has(view.Calls(), "StartTrayAnimation"));
    EXPECT_TRUE(Has(view.Calls(), "Disable: Cancel"));
}

TEST_F(ScanEngineTest, FiveMessagesWithTwoAnswersAndOneSpam) {
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

TEST_F(ScanEngineTest, TwoMessagesFromOneUnknownSenderGetOneChallenge) {
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

TEST_F(ScanEngineTest, CancelAfterThreeOfTenHandlesThoseThreeFully) {
    Lines messages;
    for (int i = 1; i <= 10; ++i)
        messages.push_back(Mail("sender" + std::to_string(i) + "@example.com", "message " + std::to_string(i)));
    FakePop3Server pop3(messages);
    FakeSmtpServer smtp;
    AddAccount(pop3, smtp);
    SetEventPump([] {
        if (ScanState.MessagesScanned >= 3)
            ScanState.AbortRequested = true;
    });
    EXPECT_EQ(Scan(pop3, smtp), ScanAccountResult::Completed);
    EXPECT_EQ(Details(), (Lines{"Scanned 3/10 messages.", "Detected 3 (100.00%) spam.", "Received 0 responses.",
                                "Moved 3/3 messages to quarantine folder.", "Sent 3/3 challenge emails."}));
    EXPECT_EQ(Matching(pop3.Commands(), "TOP"), (Lines{"TOP 1 0", "TOP 2 0", "TOP 3 0"}));
    EXPECT_EQ(pop3.Mailbox(), Lines(messages.begin() + 3, messages.end()));
    EXPECT_EQ(smtp.Messages().size(), 3u);
    EXPECT_EQ(view.ProgressPosition(), view.ProgressMax());
}

TEST_F(ScanEngineTest, LoopProtectionStopsTheFifthChallenge) {
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

TEST_F(ScanEngineTest, AnsweredChallengeIsApprovedAndReleasesHeldMail) {
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

TEST_F(ScanEngineTest, OnlyACorrectTagIsAnAnswer) {
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

TEST_F(ScanEngineTest, ApprovalDecisions) {
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

TEST_F(ScanEngineTest, MessagesThatStayOnTheServer) {
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

// The receiving provider's verdict on a forged From, on top of the header.
const std::string Forged = "Authentication-Results: mx.example.net; spf=fail smtp.mailfrom=example.org;\r\n"
                           "\tdmarc=fail (p=none) header.from=example.org\r\n";

// Mail that must never draw a challenge or a post-response: each message is
// quarantined, is no answer, and nothing is sent (the log says why, where a
// challenge was refused).
TEST_F(ScanEngineTest, NoAutomaticReplyToTheAccountItselfOrToNonAddresses) {
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

TEST_F(ScanEngineTest, ForgedSendersAreObviousSpamUnlessTheSettingIsOff) {
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

TEST_F(ScanEngineTest, HeaderRecords) {
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

TEST_F(ScanEngineTest, SmtpRefusingEverythingMakesOnePass) {
    FakeSmtpOptions refusing;
    refusing.RcptReply = "554 5.7.1 Relay access denied";
    FakePop3Server pop3({Mail("a@example.org", "one"), Mail("b@example.org", "two")});
    FakeSmtpServer smtp(refusing);
    AddAccount(pop3, smtp);
    Scan(pop3, smtp);
    EXPECT_EQ(smtp.Connections(), 1);
    EXPECT_EQ(Matching(smtp.Commands(), "RCPT TO:").size(), 2u);
    EXPECT_TRUE(Has(Details(), "Sent 0/2 challenge emails."));
    EXPECT_EQ(Matching(ScanState.ScanLog.Lines(), "Error sending challenge: ").size(), 2u);
    // The quarantine keeps the messages all the same.
    EXPECT_EQ(SavedIndex().Count(), 2);
    EXPECT_TRUE(pop3.Mailbox().empty());
}

// Limits the size of files this process may write, for one scope.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &m_previous);
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_previous;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_previous);
        std::signal(SIGXFSZ, m_handler);
    }

private:
    rlimit m_previous{};
    void (*m_handler)(int) = nullptr;
};

TEST_F(ScanEngineTest, MessageWhoseFileCannotBeWrittenStaysOnTheServer) {
    std::string message = Mail("stranger@example.com", "big enough", {}, {std::string(600, 'x')});
    FakePop3Server pop3({message});
    FakeSmtpServer smtp;
    AddAccount(pop3, smtp);
    Folder();
    {
        FileSizeLimit limit(200);
        Scan(pop3, smtp);
    }
    EXPECT_EQ(pop3.Mailbox(), Lines{message});
    EXPECT_TRUE(Matching(pop3.Commands(), "DELE").empty());
    Lines errors = Matching(ScanState.ScanLog.Lines(), "Error save message to file: ");
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("File too large"), std::string::npos) << errors[0];
    EXPECT_EQ(Accounts[0].Quarantine.Count(), 0);
    EXPECT_TRUE(QuarantineFiles().empty());
    EXPECT_EQ(smtp.Connections(), 0);
    EXPECT_EQ(Details()[3], "Moved 0/0 messages to quarantine folder.");
}

TEST_F(ScanEngineTest, MessageWhoseIndexEntryCannotBeSavedStaysOnTheServer) {
    std::string message = Mail("stranger@example.com", "hello");
    FakePop3Server pop3({message});
    FakeSmtpServer smtp;
    AddAccount(pop3, smtp);
    std::filesystem::create_directory(Folder() + "account2.dat");
    Scan(pop3, smtp);
    EXPECT_EQ(pop3.Mailbox(), Lines{message});
    EXPECT_TRUE(Matching(pop3.Commands(), "DELE").empty());
    EXPECT_EQ(Matching(ScanState.ScanLog.Lines(), "Error save message to file: ").size(), 1u);
    EXPECT_EQ(Accounts[0].Quarantine.Count(), 0);
    for (const std::string& file : QuarantineFiles())
        EXPECT_EQ(file.find(".dat"), std::string::npos) << file;
    EXPECT_EQ(smtp.Connections(), 0);
}

TEST_F(ScanEngineTest, SessionBrokenBeforeQuitDeletesNothing) {
    Lines messages = {Mail("a@example.org", "one"), Mail("b@example.org", "two"), Mail("c@example.org", "three")};
    FakePop3Server pop3(messages);
    pop3.On("DELE 2", Reaction::Disconnect());
    FakeSmtpServer smtp;
    AddAccount(pop3, smtp);
    Scan(pop3, smtp);
    EXPECT_EQ(pop3.Mailbox(), messages);
    EXPECT_FALSE(Has(pop3.Commands(), "QUIT"));
    // Everything downloaded was kept before the session broke.
    EXPECT_EQ(SavedIndex().Count(), 3);
    EXPECT_EQ(QuarantineFiles().size(), 3u);
    EXPECT_TRUE(Has(Details(), "Moved 1/3 messages to quarantine folder."));
    EXPECT_EQ(Matching(ScanState.ScanLog.Lines(), "Error deleting message from server: ").size(), 2u);
}

TEST_F(ScanEngineTest, NoChallengeStillReleasesAnsweredSenders) {
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

TEST_F(ScanEngineTest, ConnectionFailures) {
    struct Case {
        const char* name;
        const char* passReply;
        bool unattended;
        std::string error;
    };
    const Case cases[] = {
        {"refused login", "-ERR [AUTH] Authentication failed.", false, "[AUTH] Authentication failed."},
        {"unattended", "-ERR [AUTH] Authentication failed.", true, "[AUTH] Authentication failed."},
        {"echoed password", "-ERR password secret is wrong", false, "password ******** is wrong"},
    };
    for (const Case& c : cases) {
        SetUp();
        ScanState.Unattended = c.unattended;
        RecordingScanView local;
        if (!c.unattended)
            local.AnswerMessageBox(MsgResult::Ok);
        FakePop3Server pop3({Mail("a@example.org", "one")});
        pop3.On("PASS", Reaction::Answer(c.passReply));
        FakeSmtpServer smtp;
        AddAccount(pop3, smtp);
        EXPECT_EQ(Scan(pop3, smtp), ScanAccountResult::Failed) << c.name;
        EXPECT_EQ(local.Details, Lines{"Cannot scan account for spam.  Error connecting to incoming mail (POP3) "
                                       "server: " +
                                       c.error + "\r\n"})
            << c.name;
        EXPECT_EQ(ScanState.ScanLog.Lines(),
                  (Lines{"Connecting to POP3 server.", "Error connecting to POP3 server: " + c.error}))
            << c.name;
        Lines boxes = local.CallsStartingWith("MessageBox");
        ASSERT_EQ(boxes.size(), c.unattended ? 0u : 1u) << c.name;
        if (!c.unattended) {
            EXPECT_EQ(boxes[0], "MessageBox: Notice: (Please ignore this message if it was your intention to not "
                                "scan for spam at this time)\r\n\r\nCannot scan account for spam.\r\n\r\nError "
                                "connecting to incoming mail (POP3) server: " +
                                    c.error +
                                    "\r\n\r\nYou may be receiving this error because:\r\n\r\n"
                                    "\xE2\x80\xA2 You are not connected to the internet.\r\n"
                                    "\xE2\x80\xA2 Or your firewall is blocking this program.\r\n"
                                    "\xE2\x80\xA2 Or your ISP is having server problems.\r\n"
                                    "\xE2\x80\xA2 Or you have entered incorrect account settings.\r\n\r\n"
                                    "Please check the above and try again.");
        }
        for (const std::string& call : local.Calls())
            EXPECT_EQ(call.find("secret"), std::string::npos) << call;
        EXPECT_EQ(smtp.Connections(), 0);
        Accounts.Clear();
    }
}

TEST_F(ScanEngineTest, HeaderFailureEndsTheLoopButKeepsWhatWasDone) {
    FakePop3Server pop3({Mail("a@example.org", "one"), Mail("b@example.org", "two"), Mail("c@example.org", "3")});
    pop3.On("TOP 2", Reaction::Answer("-ERR message vanished"));
    FakeSmtpServer smtp;
    AddAccount(pop3, smtp);
    view.AnswerMessageBox(MsgResult::Ok);
    SetElapsedTimeRunning(ScanState, view, true);
    EXPECT_EQ(Scan(pop3, smtp), ScanAccountResult::Failed);
    const std::string box = "MessageBox: Error: Error retrieving message header: message vanished";
    EXPECT_EQ(view.CallsStartingWith("MessageBox"), Lines{box});
    // The time the box waits for the user is not scan time.
    Lines calls = view.Calls();
    auto shown = std::find(calls.begin(), calls.end(), box);
    ASSERT_NE(shown, calls.end());
    EXPECT_EQ(*(shown - 1), "ElapsedTimer: off");
    EXPECT_EQ(*(shown + 1), "ElapsedTimer: on");
    EXPECT_TRUE(ScanState.Clock.Running());
    EXPECT_EQ(Details(), (Lines{"Cannot continue to scan account for spam.  Error retrieving message header: "
                                "message vanished",
                                "Scanned 2/3 messages.", "Detected 1 (50.00%) spam.", "Received 0 responses.",
                                "Moved 1/1 messages to quarantine folder.", "Sent 1/1 challenge emails."}));
    EXPECT_EQ(pop3.Mailbox().size(), 2u);
    EXPECT_TRUE(Has(ScanState.ScanLog.Lines(), "Error retrieving message header: message vanished"));
}

TEST_F(ScanEngineTest, HostileMessagesAreQuarantinedAsTheyCame) {
    Lines huge = {"begin of a big one"};
    for (int i = 0; i < 2000; ++i)
        huge.push_back(std::string(1000, 'a' + i % 26));
    huge.push_back(std::string(40000, 'z'));
    Lines messages = {
        Corpus("scan/broken_mime.eml"),
        Corpus("mail/traversal_attachment.eml"),
        Mail("big@example.org", "huge", {}, huge),
        CrLf({"From: <>", "Subject:", "", "no sender"}),
        CrLf({"Garbage without a colon", "\tcontinued", ": empty name", "", "body"}),
        Mail("x@example.org", "=?utf-8?Q?line=0D=0ABcc:_victim@example.com?="),
    };
    FakePop3Server pop3(messages);
    FakeSmtpServer smtp;
    AddAccount(pop3, smtp);
    EXPECT_EQ(Scan(pop3, smtp), ScanAccountResult::Completed);
    EXPECT_TRUE(pop3.Mailbox().empty());
    QuarantineIndex saved = SavedIndex();
    ASSERT_EQ(saved.Count(), static_cast<int>(messages.size()));
    for (int i = 0; i < saved.Count(); ++i) {
        std::string stored;
        ASSERT_TRUE(ReadWholeFile(Folder() + saved.Item(i).FileName, stored));
        MailMessage reread;
        reread.RawRead = reread.RawWrite = true;
        reread.LoadFromFile(Folder() + saved.Item(i).FileName);
        MailMessage original;
        original.RawRead = original.RawWrite = true;
        original.ReadFromText(messages[static_cast<std::size_t>(i)]);
        EXPECT_EQ(reread.HeaderLines, original.HeaderLines) << i;
        // Lines longer than 16384 characters arrive split; nothing else changes.
        auto joined = [](const Lines& lines) {
            std::string text;
            for (const std::string& line : lines)
                text += line;
            return text;
        };
        EXPECT_EQ(joined(reread.BodyLines), joined(original.BodyLines)) << i;
    }
    // Nothing was written outside the account folder.
    EXPECT_FALSE(FileExists(data.Path() + "/x.sh"));
    for (const std::string& message : smtp.Messages())
        for (const std::string& line : SplitLines(message.substr(0, message.find("\r\n\r\n"))))
            EXPECT_NE(line.rfind("Bcc:", 0), 0u) << line;
}

TEST_F(ScanEngineTest, AnAnswerFromAMaskReleasesNobodyElse) {
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
TEST_F(ScanEngineTest, AnAnswerFromTheReplyToAddressReleasesItsMail) {
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

int FailingFsync(int) {
    errno = EIO;
    return -1;
}

// Nothing may be deleted from the server that is not safely stored: a flush
// that fails or a QUIT without "+OK" fails the account, and the next scan
// finishes the deletions without storing or challenging anything twice.
TEST_F(ScanEngineTest, NothingLeavesTheServerUnlessStoredAndNothingIsStoredTwice) {
    Lines messages = {Mail("a@example.org", "one", {"Message-ID: <1@example.org>"}),
                      Mail("b@example.org", "two", {"Message-ID: <2@example.org>"})};
    {
        FakePop3Server pop3(messages);
        FakeSmtpServer smtp;
        AddAccount(pop3, smtp);
        SetFsyncForTesting(FailingFsync);
        EXPECT_EQ(Scan(pop3, smtp), ScanAccountResult::Failed);
        SetFsyncForTesting(nullptr);
        EXPECT_FALSE(Has(pop3.Commands(), "QUIT"));
        EXPECT_EQ(pop3.Mailbox(), messages);
        EXPECT_EQ(Matching(ScanState.ScanLog.Lines(), "Error saving the quarantine to disk: Cannot flush ").size(), 1u);
    }
    {
        FakePop3Server pop3(messages);
        pop3.On("QUIT", Reaction::Disconnect());
        FakeSmtpServer smtp;
        Accounts[0].Port = pop3.Port();
        Accounts[0].SMTPPort = smtp.Port();
        ScanState.ScanLog.Clear();
        EXPECT_EQ(Scan(pop3, smtp), ScanAccountResult::Failed);
        EXPECT_EQ(pop3.Mailbox(), messages);
        EXPECT_TRUE(Has(ScanState.ScanLog.Lines(), "Error ending the POP3 session: Connection Closed Gracefully. The "
                                                   "messages may not have been deleted from the server."));
        // Each scan stored the messages it saw and challenged nobody twice.
        EXPECT_EQ(smtp.Messages().size(), 0u);
    }
    FakePop3Server pop3(messages);
    FakeSmtpServer smtp;
    Accounts[0].Port = pop3.Port();
    Accounts[0].SMTPPort = smtp.Port();
    EXPECT_EQ(Scan(pop3, smtp), ScanAccountResult::Completed);
    EXPECT_TRUE(pop3.Mailbox().empty());
    EXPECT_EQ(SavedIndex().Count(), 2);
    EXPECT_EQ(QuarantineFiles().size(), 2u);
    EXPECT_EQ(smtp.Messages().size(), 0u);
}

// What a scan did, as far as the user and the servers can tell.
struct ScanOutcome {
    Lines details, log, mailbox, recipients;
    int quarantined = 0;
    bool operator==(const ScanOutcome&) const = default;
};

// With PIPELINING the scan decides, logs and deletes exactly as one command
// at a time would, also when Cancel stops it halfway.
TEST_F(ScanEngineTest, APipelinedScanDoesWhatASequentialOneDoes) {
    Lines messages = {Mail("friend@example.org", "one"), Answer("Piet <piet@example.org>")};
    for (int i = 1; i <= 40; ++i)
        messages.push_back(Mail("sender" + std::to_string(i) + "@example.com", "message " + std::to_string(i)));
    for (int cancelAt : {0, 12}) {
        std::vector<ScanOutcome> outcomes;
        for (bool pipelined : {false, true}) {
            TempFolder folder;
            ResetProcessState(folder.Path());
            ProgramSettings.Timeout = 30;
            ProgramSettings.NoAskApprove = true;
            ApprovedSenders.Add("friend@example.org");
            FakePop3Server pop3(messages);
            if (pipelined)
                pop3.Announce({"TOP", "PIPELINING"});
            FakeSmtpServer smtp;
            AddAccount(pop3, smtp);
            SetEventPump([cancelAt] {
                if (cancelAt > 0 && ScanState.MessagesScanned >= cancelAt)
                    ScanState.AbortRequested = true;
            });
            RecordingScanView scanView;
            Scan(pop3, smtp);
            SetEventPump(nullptr);
            outcomes.push_back({scanView.Details, ScanState.ScanLog.Lines(), pop3.Mailbox(),
                                Matching(smtp.Commands(), "RCPT TO:"), Accounts[0].Quarantine.Count()});
            if (cancelAt > 0) {
                EXPECT_EQ(Matching(pop3.Commands(), "TOP").size() > static_cast<std::size_t>(cancelAt), pipelined)
                    << "headers asked for ahead";
            }
        }
        EXPECT_EQ(outcomes[0], outcomes[1]) << "cancel at " << cancelAt;
        EXPECT_EQ(outcomes[0].quarantined, cancelAt > 0 ? cancelAt - 2 : 40);
    }
    ResetProcessState(data.Path());
}

} // namespace
