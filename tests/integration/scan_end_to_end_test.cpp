// One unknown sender's message travels the whole way through the real
// servers started by mail_servers.sh (Dovecot for POP3, Postfix for SMTP):
// quarantined and removed from the mailbox, challenged, answered by the
// sender as a person would, recognised by the next scan, confirmed with a
// post-response and released back into the account's mailbox; in clear,
// over implicit TLS and upgraded with STLS and STARTTLS.

#include "real_mail_servers.h"

#include "challenge/follow_up_steps.h"
#include "mail/delivery_passes.h"
#include "mail/mail_message.h"
#include "mail/pop3_session.h"
#include "mail/smtp_client.h"
#include "platform/data_folder.h"
#include "platform/paths.h"
#include "platform/tcp_socket.h"
#include "records/account.h"
#include "records/account_folder.h"
#include "records/program_settings.h"
#include "records/sender_lists.h"
#include "records/text_helpers.h"
#include "scan/challenge_tag.h"
#include "scan/scan_account.h"
#include "scan/scan_state.h"
#include "support/process_state.h"
#include "support/recording_scan_view.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <thread>

namespace {

using Lines = std::vector<std::string>;

// How the account reaches its servers, and its mailbox and the outside
// sender's, which no other test uses, so that the tests may run side by side.
struct Route {
    std::string Name;
    std::string AccountUser, SenderUser;
    std::string Pop3PortKey;
    ConnectionSecurity Pop3Security;
    std::string SmtpPortKey;
    ConnectionSecurity SmtpSecurity;
};

const Route Plain{
    "Plain", "frank", "grace", "POP3_PORT", ConnectionSecurity::None, "SMTP_PORT", ConnectionSecurity::None};
const Route PlainOddLines{"PlainOddLines",         "mike", "nora", "POP3_PORT", ConnectionSecurity::None, "SMTP_PORT",
                          ConnectionSecurity::None};
const Route ImplicitTls{"ImplicitTls",          "kate", "leo", "POP3S_PORT", ConnectionSecurity::Tls, "SMTPS_PORT",
                        ConnectionSecurity::Tls};
const Route UpgradedTls{
    "StartTls", "kevin", "irene", "POP3_PORT", ConnectionSecurity::StartTls, "SMTP_PORT", ConnectionSecurity::StartTls};

void PrintTo(const Route& route, std::ostream* out) {
    *out << route.Name;
}

// The commands every session sent while it lives ("C: " lines of the
// protocol transcript; passwords masked).
class SentCommands {
public:
    SentCommands() {
        SetProtocolTranscript([this](const std::string& line) {
            if (line.rfind("C: ", 0) == 0)
                m_lines.push_back(line.substr(3));
        });
    }
    ~SentCommands() { SetProtocolTranscript(nullptr); }
    SentCommands(const SentCommands&) = delete;
    SentCommands& operator=(const SentCommands&) = delete;

    bool Any(const std::string& prefix) const {
        return std::any_of(m_lines.begin(), m_lines.end(),
                           [&](const std::string& line) { return line.rfind(prefix, 0) == 0; });
    }
    const Lines& All() const { return m_lines; }

private:
    Lines m_lines;
};

void Retrieve(const std::string& user, int number, MailMessage& message) {
    Pop3Session session(Pop3For(user));
    session.Connect();
    message.RawRead = message.RawWrite = true;
    ASSERT_TRUE(session.RetrieveMessage(number, message));
    session.Disconnect();
}

// Sends a composed message as user would from a mail program, or with
// another envelope sender (empty for a bounce).
void SendAs(const std::string& user, MailMessage& message, const std::string& to,
            std::optional<std::string> envelopeFrom = std::nullopt) {
    SmtpClient client;
    client.Host = "127.0.0.1";
    client.Port = Servers().Number("SMTP_PORT");
    client.Username = user;
    client.Password = Servers()["PASSWORD"];
    client.Authentication = SmtpAuthentication::Login;
    client.Connect(20000);
    client.EnvelopeFrom = envelopeFrom.value_or(AddressOf(user));
    client.EnvelopeTo = to;
    client.SendWithEnvelope(message);
    client.Disconnect();
}

// Leaves the user's mailbox empty, whatever earlier tests left there.
void EmptyMailbox(const std::string& user) {
    Pop3Session session(Pop3For(user));
    session.Connect();
    for (int number = session.CountMessages(); number > 0; --number)
        session.DeleteMessage(number);
    session.Disconnect();
    WaitForCount(user, 0);
}

bool IsTraceField(const std::string& line) {
    static const std::set<std::string> trace = {"Return-Path", "X-Original-To", "Delivered-To", "Received"};
    return trace.count(line.substr(0, line.find(':'))) > 0;
}

bool IsContinuation(const std::string& line) {
    return !line.empty() && (line[0] == ' ' || line[0] == '\t');
}

class EndToEnd : public testing::Test {
protected:
    void SetUp() override {
        REQUIRE_MAIL_SERVERS();
        ResetProcessState(data.Path());
        trust = std::make_unique<TrustServersCa>();
    }
    void TearDown() override {
        trust.reset();
        ResetProcessState("");
    }

    // The only account: the route's mailbox, its servers reached as host.
    void UseAccount(const Route& route, const std::string& host = "127.0.0.1") {
        ResetProcessState(data.Path());
        ProgramSettings.Timeout = 30;
        Account& account = AppendAccount();
        account.ID = "{E2E00000-0000-4000-8000-000000000001}";
        account.DisplayName = "Frank Account";
        account.EmailAddress = AddressOf(route.AccountUser);
        account.Server = host;
        account.Port = Servers().Number(route.Pop3PortKey);
        account.POP3Security = route.Pop3Security;
        account.Login = route.AccountUser;
        account.Password = Servers()["PASSWORD"];
        account.SMTPServer = host;
        account.SMTPPort = Servers().Number(route.SmtpPortKey);
        account.SMTPSecurity = route.SmtpSecurity;
        account.SMTPAuth = true;
        account.SMTPSameAsIncoming = true;
        account.Enabled = true;
    }

    static void StartRun() {
        ScanState.AbortRequested = false;
        ScanState.Unattended = false;
        ScanState.MessagesScanned = ScanState.SpamDetected = ScanState.ResponsesReceived = 0;
        ScanState.ScanLog.Clear();
        ScanState.ApprovedThisRun.Clear();
        ScanState.DeclinedThisRun.Clear();
        Counters = AccountCounters();
    }

    // The only account: user's mailbox over plain connections.
    void UseAccount(const std::string& user) {
        UseAccount({user, user, "", "POP3_PORT", ConnectionSecurity::None, "SMTP_PORT", ConnectionSecurity::None});
    }

    // Scans once and returns the automatic replies it sent.
    static Lines ScanForReplies() {
        StartRun();
        RecordingScanView view;
        EXPECT_EQ(ScanAccount(1, RunFollowUpSteps), ScanAccountResult::Completed);
        Lines sent;
        for (const std::string& line : ScanState.ScanLog.Lines())
            if (line.rfind("Sending challenge to: ", 0) == 0)
                sent.push_back(line);
        return sent;
    }

    void ChallengeAnswerPostResponseAndRelease(const Route& route);

    TempFolder data;
    std::unique_ptr<TrustServersCa> trust;
};

void EndToEnd::ChallengeAnswerPostResponseAndRelease(const Route& route) {
    const std::string& AccountUser = route.AccountUser;
    const std::string& SenderUser = route.SenderUser;
    UseAccount(route);
    EmptyMailbox(AccountUser);
    EmptyMailbox(SenderUser);
    bool smtpTls = route.SmtpSecurity != ConnectionSecurity::None;

    // An outside sender writes to the account.
    MailMessage original;
    original.From = {"Grace Sender", AddressOf(SenderUser)};
    original.To = {{"", AddressOf(AccountUser)}};
    original.Subject = "hello frank, about Saturday";
    original.UseCurrentDate = true;
    original.ContentType = "text/plain; charset=\"us-ascii\"";
    original.BodyLines = {"Hi Frank,", ".", "Are we still on for Saturday?", "", "Grace"};
    SendAs(SenderUser, original, AddressOf(AccountUser));
    ASSERT_EQ(WaitForCount(AccountUser, 1), 1);

    // First scan: quarantined, removed from the mailbox, challenged.
    StartRun();
    {
        RecordingScanView view;
        SentCommands sent;
        EXPECT_EQ(ScanAccount(1, RunFollowUpSteps), ScanAccountResult::Completed);
        EXPECT_EQ(view.Details, (Lines{"Scanned 1/1 messages.", "Detected 1 (100.00%) spam.", "Received 0 responses.",
                                       "Moved 1/1 messages to quarantine folder.", "Sent 1/1 challenge emails."}))
            << ::testing::PrintToString(ScanState.ScanLog.Lines());
        // The servers on the plain ports let a client log in without TLS:
        // only the upgrade commands show that the sessions were encrypted.
        EXPECT_EQ(sent.Any("STLS"), route.Pop3Security == ConnectionSecurity::StartTls)
            << ::testing::PrintToString(sent.All());
        EXPECT_EQ(sent.Any("STARTTLS"), route.SmtpSecurity == ConnectionSecurity::StartTls)
            << ::testing::PrintToString(sent.All());
    }
    EXPECT_EQ(WaitForCount(AccountUser, 0), 0);
    Account& account = Accounts[0];
    ASSERT_EQ(account.Quarantine.Count(), 1);
    EXPECT_EQ(account.Quarantine.Item(0).Category, CategoryChallenged);
    std::string quarantinePath = IncludeTrailingDelimiter(AccountFolder(0)) + account.Quarantine.Item(0).FileName;
    MailMessage stored;
    stored.RawRead = stored.RawWrite = true;
    stored.LoadFromFile(quarantinePath);
    ASSERT_GE(stored.IndexOfHeader("Delivered-To"), 0);

    // The challenge reaches the sender with its tag and a null sender.
    ASSERT_EQ(WaitForCount(SenderUser, 1), 1);
    MailMessage challenge;
    Retrieve(SenderUser, 1, challenge);
    EXPECT_TRUE(IsChallengeAnswer(challenge.Subject)) << challenge.Subject;
    EXPECT_EQ(challenge.Subject.rfind("Re: hello frank, about Saturd  [tarvo:", 0), 0u) << challenge.Subject;
    EXPECT_EQ(challenge.From.Address, AddressOf(AccountUser));
    EXPECT_EQ(challenge.HeaderValue("Return-Path"), "<>");
    EXPECT_EQ(challenge.HeaderValue("Precedence"), "auto_reply");
    EXPECT_EQ(challenge.HeaderValue("X-Mailer"), "Quorvane");
    // Postfix names the way the challenge came: ESMTPSA with TLS and a
    // login, ESMTPA with a login alone.
    std::string trace = JoinWith(challenge.HeaderLines, "\n");
    EXPECT_NE(trace.find(smtpTls ? " with ESMTPSA " : " with ESMTPA "), std::string::npos) << trace;

    // The sender answers as a person would.
    MailMessage answer;
    answer.From = {"Grace Sender", AddressOf(SenderUser)};
    answer.To = {{"Frank Account", AddressOf(AccountUser)}};
    answer.Subject = "Re: " + challenge.Subject;
    answer.UseCurrentDate = true;
    answer.ContentType = "text/plain; charset=\"us-ascii\"";
    answer.BodyLines = {"Here is my reply.", "", "> This is an automatic reply to your message."};
    SendAs(SenderUser, answer, AddressOf(AccountUser));
    ASSERT_EQ(WaitForCount(AccountUser, 1), 1);

    // Second scan: the answer is recognised, the sender approved.
    StartRun();
    {
        RecordingScanView view;
        view.AnswerApprove(true);
        EXPECT_EQ(ScanAccount(1, RunFollowUpSteps), ScanAccountResult::Completed);
        EXPECT_EQ(view.CallsStartingWith("AskApprove"), Lines{"AskApprove: Grace Sender <" + AddressOf(SenderUser) +
                                                              ">\r\nRe: Re: hello frank, about Saturd"});
        EXPECT_EQ(view.Details, (Lines{"Scanned 0/0 messages.", "Detected 0 (0.00%) spam.", "Received 1 responses.",
                                       "Moved 0/0 messages to quarantine folder.", "Sent 1/1 post-response emails.",
                                       "Approved 1 senders.", "Released 1/1 messages to inbox."}))
            << ::testing::PrintToString(ScanState.ScanLog.Lines());
    }
    EXPECT_EQ(account.Quarantine.Count(), 0);
    EXPECT_FALSE(FileExists(quarantinePath));
    EXPECT_TRUE(ApprovedSenders.Matches(AddressOf(SenderUser)));

    // The post-response reaches the sender.
    ASSERT_EQ(WaitForCount(SenderUser, 2), 2);
    MailMessage postResponse;
    Retrieve(SenderUser, 2, postResponse);
    EXPECT_EQ(postResponse.Subject, answer.Subject);
    ASSERT_GE(postResponse.BodyLines.size(), 5u);
    EXPECT_EQ(postResponse.BodyLines[2], "Dear Grace Sender,");

    // The original is back in the account's mailbox as it was stored, but
    // for its first Delivered-To line (and the trace fields this delivery
    // puts on top; Postfix drops an old Return-Path on the way).
    ASSERT_EQ(WaitForCount(AccountUser, 1), 1);
    MailMessage released;
    Retrieve(AccountUser, 1, released);
    Lines expected = stored.HeaderLines;
    expected.erase(expected.begin() + stored.IndexOfHeader("Delivered-To"));
    expected.erase(std::remove_if(expected.begin(), expected.end(),
                                  [](const std::string& line) { return line.rfind("Return-Path:", 0) == 0; }),
                   expected.end());
    ASSERT_GT(released.HeaderLines.size(), expected.size()) << ::testing::PrintToString(released.HeaderLines);
    auto start = released.HeaderLines.end() - static_cast<long>(expected.size());
    for (auto line = released.HeaderLines.begin(); line != start; ++line)
        EXPECT_TRUE(IsTraceField(*line) || IsContinuation(*line)) << *line;
    EXPECT_EQ(Lines(start, released.HeaderLines.end()), expected);
    EXPECT_EQ(released.BodyLines, stored.BodyLines);
    EXPECT_EQ(released.BodyLines, original.BodyLines);
}

TEST_F(EndToEnd, ChallengeAnswerPostResponseAndRelease) {
    ChallengeAnswerPostResponseAndRelease(Plain);
}

class EncryptedEndToEnd : public EndToEnd, public testing::WithParamInterface<Route> {};

TEST_P(EncryptedEndToEnd, ChallengeAnswerPostResponseAndRelease) {
    ChallengeAnswerPostResponseAndRelease(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Routes, EncryptedEndToEnd, testing::Values(ImplicitTls, UpgradedTls),
                         [](const testing::TestParamInfo<Route>& info) { return info.param.Name; });

// The servers' certificates name 127.0.0.1 only. An account that reaches
// the same Dovecot as "localhost" is refused, by implicit TLS and by STLS
// alike, before its login leaves, and its message stays in the mailbox.
TEST_F(EndToEnd, CertificateOfAnotherNameIsRefusedBeforeTheLogin) {
    const std::string user = "liam";
    EmptyMailbox(user);
    DeliverToMaildir(user, "From: Someone <someone@example.org>\nSubject: must stay\n\nBody.\n");
    ASSERT_EQ(WaitForCount(user, 1), 1);
    const Route routes[] = {
        {"ImplicitTls", user, "", "POP3S_PORT", ConnectionSecurity::Tls, "SMTPS_PORT", ConnectionSecurity::Tls},
        {"StartTls", user, "", "POP3_PORT", ConnectionSecurity::StartTls, "SMTP_PORT", ConnectionSecurity::StartTls},
    };
    for (const Route& route : routes) {
        UseAccount(route, "localhost");
        StartRun();
        RecordingScanView view;
        view.AnswerMessageBox(MsgResult::Ok); // the connection notice
        SentCommands sent;
        EXPECT_EQ(ScanAccount(1, RunFollowUpSteps), ScanAccountResult::Failed) << route.Name;
        const Lines& log = ScanState.ScanLog.Lines();
        EXPECT_NE(std::find(log.begin(), log.end(),
                            "Error connecting to POP3 server: certificate verify failed: hostname mismatch"),
                  log.end())
            << route.Name << ::testing::PrintToString(log);
        EXPECT_FALSE(sent.Any("USER") || sent.Any("PASS")) << route.Name << ::testing::PrintToString(sent.All());
        EXPECT_EQ(CountOf(user), 1) << route.Name;
    }
}

// The lines of a message without blank lines and the trace fields of its
// deliveries: an MTA may put a blank line before a header line that is no
// field (such as "."), which is its own doing, not a loss.
Lines NonBlankLines(const MailMessage& message) {
    Lines lines;
    for (const Lines* part : {&message.HeaderLines, &message.BodyLines})
        for (const std::string& line : *part)
            if (!line.empty() && !IsTraceField(line) && !IsContinuation(line))
                lines.push_back(line);
    return lines;
}

// Lines that earlier versions of the quarantine altered: a header line "."
// (the server sends ".."), one beginning with ".", and one far longer than
// the socket's line limit. All arrive in the account's mailbox again, in
// their order, after quarantine, challenge, answer and release.
TEST_F(EndToEnd, OddHeaderLinesArriveIntactAfterTheRelease) {
    // Mailboxes of this test's own: the tests run side by side.
    const std::string account = PlainOddLines.AccountUser, sender = PlainOddLines.SenderUser;
    UseAccount(PlainOddLines);
    EmptyMailbox(account);
    EmptyMailbox(sender);
    const std::string longLine = "X-Long: " + std::string(20000, 'x');
    MailMessage original;
    original.RawRead = original.RawWrite = true;
    original.HeaderLines = {"From: Grace Sender <" + AddressOf(sender) + ">",
                            "To: " + AddressOf(account),
                            "Subject: odd lines",
                            "Date: Wed, 9 Dec 2026 10:00:00 +0000",
                            "Message-ID: <odd-lines@example.test>",
                            longLine,
                            ".X-Dotted: yes",
                            ".",
                            "X-After: still here"};
    original.BodyLines = {"Body line.", ".", "End."};
    std::string text = JoinWith(original.HeaderLines, "\n") + "\n\n" + JoinWith(original.BodyLines, "\n") + "\n";
    DeliverToMaildir(account, text);
    ASSERT_EQ(WaitForCount(account, 1), 1);

    StartRun();
    {
        RecordingScanView view;
        EXPECT_EQ(ScanAccount(1, RunFollowUpSteps), ScanAccountResult::Completed);
        EXPECT_EQ(view.Details.back(), "Sent 1/1 challenge emails.") << ::testing::PrintToString(view.Details);
    }
    ASSERT_EQ(WaitForCount(sender, 1), 1);
    MailMessage challenge;
    Retrieve(sender, 1, challenge);
    MailMessage answer;
    answer.From = {"Grace Sender", AddressOf(sender)};
    answer.To = {{"", AddressOf(account)}};
    answer.Subject = "Re: " + challenge.Subject;
    answer.UseCurrentDate = true;
    answer.BodyLines = {"Yes, it is me."};
    SendAs(sender, answer, AddressOf(account));
    ASSERT_EQ(WaitForCount(account, 1), 1);

    StartRun();
    {
        RecordingScanView view;
        view.AnswerApprove(true);
        EXPECT_EQ(ScanAccount(1, RunFollowUpSteps), ScanAccountResult::Completed);
        EXPECT_EQ(Counters.Released, 1);
    }
    ASSERT_EQ(WaitForCount(account, 1), 1);
    MailMessage released;
    Retrieve(account, 1, released);
    Lines arrived = NonBlankLines(released);
    Lines sent = NonBlankLines(original);
    ASSERT_EQ(arrived.size(), sent.size());
    for (std::size_t i = 0; i < sent.size(); ++i)
        EXPECT_EQ(arrived[i], sent[i]) << "line " << i << " of " << sent.size();
}

MailMessage Composed(const MailAddress& from, const std::string& to, const std::string& subject,
                     const Lines& topFields = {}) {
    MailMessage message;
    message.HeaderLines = topFields;
    message.From = from;
    message.To = {{"", to}};
    message.Subject = subject;
    message.UseCurrentDate = true;
    message.ContentType = "text/plain; charset=\"us-ascii\"";
    message.BodyLines = {"Hello."};
    return message;
}

// A message from an alias that the mail system delivers into the account's
// own mailbox: a challenge to it would come back, be taken as an answer, and
// the account would answer itself on every scan.
TEST_F(EndToEnd, MailFromAnAliasNeverMakesTheAccountReplyToItself) {
    const std::string user = "henry", alias = "henry.home@" + Servers()["DOMAIN"];
    UseAccount(user);
    Accounts[0].Aliases.Add(alias);
    ApprovedSenders.Add("friend@example.org");
    MailMessage note = Composed({"Henry", alias}, alias, "note to self");
    SendAs(user, note, alias);
    ASSERT_EQ(WaitForCount(user, 1), 1);
    for (int scan = 1; scan <= 4; ++scan) {
        EXPECT_EQ(ScanForReplies(), Lines{}) << scan;
        // Delivered after anything the scan sent, so the count shows what came back.
        MailMessage marker = Composed({"", "friend@example.org"}, AddressOf(user), "marker " + std::to_string(scan));
        SendAs(user, marker, AddressOf(user));
        ASSERT_EQ(WaitForCount(user, scan), scan) << scan;
    }
    for (int number = 1; number <= 4; ++number) {
        MailMessage kept;
        Retrieve(user, number, kept);
        EXPECT_FALSE(IsChallengeAnswer(kept.Subject)) << kept.Subject;
    }
    ASSERT_EQ(Accounts[0].Quarantine.Count(), 1);
    EXPECT_EQ(Accounts[0].Quarantine.Item(0).Category, CategorySpam);
}

// Forged, unqualified and bounce messages: all quarantined, none replied to,
// and nothing reaches the innocent owner of the forged address.
TEST_F(EndToEnd, ForgedUnqualifiedAndBounceMessagesGetNoReply) {
    const std::string user = "ivan", innocent = "judy";
    UseAccount(user);
    ProgramSettings.ApproveMailerDaemonPostmaster = false;
    ProgramSettings.NoAskApprove = true;
    const std::string to = AddressOf(user), tag = "  " + ChallengeTagText(4711);
    const std::string forgedDomain = Servers()["DOMAIN"];
    std::vector<std::pair<MailMessage, std::optional<std::string>>> mails;
    mails.emplace_back(Composed({"Judy", AddressOf(innocent)}, to, "invoice",
                                {"Authentication-Results: mx." + forgedDomain + ";",
                                 "\tspf=fail (domain of " + forgedDomain +
                                     " does not designate 192.0.2.7) smtp.mailfrom=" + forgedDomain + ";",
                                 "\tdkim=none; dmarc=fail (p=NONE sp=NONE) header.from=" + forgedDomain}),
                       std::nullopt);
    mails.emplace_back(Composed({"", "root"}, to, "cron output"), std::nullopt);
    mails.emplace_back(Composed({"", "ops@" + forgedDomain}, to, "local notice"), std::nullopt);
    mails.emplace_back(Composed({"Mail Delivery System", "MAILER-DAEMON@" + forgedDomain}, to,
                                "Undelivered Mail Returned to Sender: Re: hi" + tag),
                       std::string());
    mails.emplace_back(Composed({"", "notices@" + forgedDomain}, to, "Re: hi" + tag), std::string());
    mails[2].first.ReplyTo = {{"", "postmaster"}};
    for (auto& [message, envelopeFrom] : mails)
        SendAs(user, message, to, envelopeFrom);
    ASSERT_EQ(WaitForCount(user, 5), 5);

    EXPECT_EQ(ScanForReplies(), Lines{}) << ::testing::PrintToString(ScanState.ScanLog.Lines());
    EXPECT_EQ(Counters.Responses, 0);
    EXPECT_EQ(Accounts[0].Quarantine.Count(), 5);
    EXPECT_EQ(WaitForCount(user, 0), 0);
    MailMessage marker = Composed({"", AddressOf(user)}, AddressOf(innocent), "marker");
    SendAs(user, marker, AddressOf(innocent));
    ASSERT_EQ(WaitForCount(innocent, 1), 1) << "only the marker reached the forged address";
}

} // namespace
