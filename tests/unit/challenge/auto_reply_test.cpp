#include "challenge/auto_reply.h"

#include "mail/mail_message.h"
#include "mail/smtp_client.h"
#include "records/account.h"
#include "records/program_settings.h"
#include "records/recent_recipient_list.h"
#include "records/text_helpers.h"
#include "scan/challenge_tag.h"
#include "scan/scan_state.h"
#include "support/fake_smtp_server.h"
#include "support/recording_scan_view.h"

#include <gtest/gtest.h>

#include <regex>

namespace {

using Lines = std::vector<std::string>;

TEST(ReplacePlaceholders, ReplacementRules) {
    struct Case {
        const char* name;
        Lines pairs;
        std::string text, expected;
    };
    const Case cases[] = {
        {"every occurrence", {"%A%=x"}, "%A% and %A%%A%", "x and xx"},
        {"value holding its own name is inserted once", {"%A%=[%A%]"}, "1 %A% 2 %A%", "1 [%A%] 2 [%A%]"},
        {"later pair searches inserted text",
         {"%My-Name%=Anna %Sender-Name%", "%Sender-Name%=Piet"},
         "%My-Name% / %Sender-Name%",
         "Anna Piet / Piet"},
        {"earlier pair does not see later values", {"%A%=1", "%B%=%A%"}, "%B%", "%A%"},
        {"letter case matters", {"%Sender-Name%=Piet"}, "%sender-name% %SENDER-NAME%", "%sender-name% %SENDER-NAME%"},
        {"split at the first equals sign", {"%A%=a=b"}, "%A%", "a=b"},
        {"pair without equals sign empties the name", {"%A%"}, "x%A%y", "xy"},
        {"empty name ignored", {"=value"}, "text", "text"},
        {"no occurrence", {"%A%=x"}, "plain", "plain"},
        {"overlapping names replaced left to right", {"aa=b"}, "aaa", "ba"},
    };
    for (const Case& c : cases) {
        std::string text = c.text;
        ReplacePlaceholders(c.pairs, text);
        EXPECT_EQ(text, c.expected) << c.name;
    }
}

TEST(ChallengeSubjectTest, TrimmedCutAndTagged) {
    std::regex tag(R"(  \[tarvo:(\d{1,5})-([0-9a-f]{32})\]$)");
    struct Case {
        std::string subject, expectedStart;
    };
    const Case cases[] = {
        {"0123456789012345678901234567890123456789", "Re: 0123456789012345678901234"},
        {"   hello there  ", "Re: hello there"},
        {" ", "Re: "},
        {"", "Re: "},
        // 25 characters, not bytes: the umlauts stay whole.
        {"\xC3\xA4\xC3\xB6\xC3\xBC" + std::string(30, 'x'), "Re: \xC3\xA4\xC3\xB6\xC3\xBC" + std::string(22, 'x')},
    };
    for (const Case& c : cases) {
        std::string subject = ChallengeSubject(c.subject, 4711);
        std::smatch match;
        ASSERT_TRUE(std::regex_search(subject, match, tag)) << subject;
        EXPECT_EQ(subject.substr(0, static_cast<std::size_t>(match.position(0))), c.expectedStart);
        EXPECT_EQ(match[1].str(), "4711");
        EXPECT_EQ(match[2].str(), ChallengeToken("4711"));
        EXPECT_TRUE(IsChallengeAnswer("RE: " + subject));
    }
    EXPECT_EQ(ChallengeSubject("", 7), "Re:   " + ChallengeTagText(7));
}

class AutoReplyTest : public testing::Test {
protected:
    void SetUp() override {
        Accounts.Clear();
        ChallengeTemplate = DefaultChallengeTemplate();
        PostResponseTemplate = DefaultPostResponseTemplate();
        ProgramSettings.NoNullMailFrom = false;
        ScanState.ScanLog.Clear();
        RecentRecipients.Clear();
        Counters = AccountCounters();
        Account& account = AppendAccount();
        account.DisplayName = "Anna Smit";
        account.EmailAddress = "anna@example.net";
        account.SMTPServer = "127.0.0.1";
    }
    void TearDown() override {
        Accounts.Clear();
        RecentRecipients.Clear();
        ScanState.ScanLog.Clear();
    }

    static Lines HeaderNames(const std::string& text) {
        Lines names;
        for (const std::string& line : SplitLines(text)) {
            if (line.empty())
                break;
            if (line[0] != ' ' && line[0] != '\t')
                names.push_back(line.substr(0, line.find(':')));
        }
        return names;
    }
    static std::string HeaderLine(const std::string& text, const std::string& name) {
        for (const std::string& line : SplitLines(text)) {
            if (line.empty())
                break;
            if (line.compare(0, name.size() + 1, name + ":") == 0)
                return line;
        }
        return "";
    }
};

TEST_F(AutoReplyTest, ChallengeHeaderOrderAndBody) {
    Accounts[0].ReplyAddress = "replies@example.net";
    MailMessage message;
    ComposeAutoReply(message, {"piet@example.org", "Piet Jansen", "lunch on Friday"}, AutoReplyKind::Challenge,
                     Accounts[0]);
    message.SetExtraHeader("X-Mailer", "Quorvane");
    std::string text;
    message.WriteTo(text);
    EXPECT_EQ(HeaderNames(text),
              (Lines{"From", "Subject", "To", "Content-Type", "MIME-Version", "Content-Transfer-Encoding", "Reply-To",
                     "Date", "X-Priority", "Precedence", "X-Mailer"}));
    EXPECT_EQ(HeaderLine(text, "From"), "From: Anna Smit <anna@example.net>");
    EXPECT_EQ(HeaderLine(text, "To"), "To: Piet Jansen <piet@example.org>");
    EXPECT_EQ(HeaderLine(text, "Reply-To"), "Reply-To: replies@example.net");
    EXPECT_EQ(HeaderLine(text, "Content-Type"), "Content-Type: text/plain; charset=\"iso-8859-1\"");
    EXPECT_EQ(HeaderLine(text, "Content-Transfer-Encoding"), "Content-Transfer-Encoding: 7bit");
    EXPECT_EQ(HeaderLine(text, "X-Priority"), "X-Priority: 1");
    EXPECT_EQ(HeaderLine(text, "Precedence"), "Precedence: auto_reply");
    EXPECT_EQ(HeaderLine(text, "X-Mailer"), "X-Mailer: Quorvane");
    EXPECT_EQ(HeaderLine(text, "MIME-Version"), "MIME-Version: 1.0");
    EXPECT_TRUE(IsChallengeAnswer(message.Subject));
    EXPECT_EQ(message.Subject.substr(0, 21), "Re: lunch on Friday  ");
    EXPECT_EQ(
        message.BodyLines,
        (Lines{"This is an automatic reply to your message.", "", "Dear Piet Jansen,", "",
               "My spam blocker has put your message on hold because you are not yet on my",
               "approved list.  To request to be added to my approved list so that I can receive",
               "your current and future messages, please do this:", "", "Click Reply and send this message back to me.",
               "", "Thank you.", "Anna Smit", "", "----------"}));
}

TEST_F(AutoReplyTest, PostResponseKeepsTheSubjectAndUsesItsTemplate) {
    MailMessage message;
    ComposeAutoReply(message, {"piet@example.org", "piet@example.org", "Re: Re: lunch  [tarvo:1-x]"},
                     AutoReplyKind::PostResponse, Accounts[0]);
    EXPECT_EQ(message.Subject, "Re: Re: lunch  [tarvo:1-x]");
    EXPECT_TRUE(message.ReplyTo.empty());
    ASSERT_GE(message.BodyLines.size(), 4u);
    EXPECT_EQ(message.BodyLines[2], "Dear piet@example.org,");
    EXPECT_EQ(message.BodyLines[4], "Congratulations, you have been added to my approved list and I am now able to");
    EXPECT_EQ(message.BodyLines.back(), "----------");
}

TEST_F(AutoReplyTest, SenderNameHoldingThePlaceholderStandsOnce) {
    MailMessage message;
    ComposeAutoReply(message, {"x@example.org", "Mr %Sender-Name%", "hi"}, AutoReplyKind::Challenge, Accounts[0]);
    EXPECT_EQ(message.BodyLines[2], "Dear Mr %Sender-Name%,");
}

TEST_F(AutoReplyTest, LineBreaksFromTheSenderCannotAddHeaderLines) {
    MailMessage message;
    ComposeAutoReply(message, {"x@example.org", "Eve\r\nBcc: victim@example.com", "hi\r\nX-Injected: yes"},
                     AutoReplyKind::PostResponse, Accounts[0]);
    std::string text;
    message.WriteTo(text);
    EXPECT_EQ(HeaderLine(text, "Bcc"), "");
    EXPECT_EQ(HeaderLine(text, "X-Injected"), "");
    EXPECT_EQ(message.Subject, "hi  X-Injected: yes");
}

TEST_F(AutoReplyTest, EightBitBodyIsSentAsLatin1) {
    MailMessage message;
    ComposeAutoReply(message, {"x@example.org", "J\xC3\xBCrgen", "hi"}, AutoReplyKind::PostResponse, Accounts[0]);
    EXPECT_EQ(message.BodyLines[2], "Dear J\xFCrgen,");
    EXPECT_EQ(message.ContentTransferEncoding, "8bit");
}

class SendAutoRepliesTest : public AutoReplyTest {
protected:
    void Connect(FakeSmtpServer& server) {
        client.Host = "127.0.0.1";
        client.Port = server.Port();
        client.Connect(5000);
    }
    SmtpClient client;
    RecordingScanView view;
};

TEST_F(SendAutoRepliesTest, SendsFromTheLastEntryDownWithANullSender) {
    FakeSmtpServer server;
    Connect(server);
    AutoReplyList list;
    list.Add("zoe@example.org", "Zoe", "hello");
    list.Add("Bert@example.org", "Bert", "question");
    RecentRecipients.Insert("older@example.org");
    Counters.ToSend = 2;
    view.SetProgressPosition(3);
    EXPECT_TRUE(SendAutoReplies(list, AutoReplyKind::Challenge, 0, view, client));
    client.Disconnect();
    server.Stop();

    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(Counters.Sent, 2);
    EXPECT_EQ(view.ProgressPosition(), 5);
    EXPECT_EQ(view.CallsStartingWith("Action"), (Lines{"Action: step 3/5: sending challenge emails (1/2)",
                                                       "Action: step 3/5: sending challenge emails (2/2)"}));
    EXPECT_EQ(ScanState.ScanLog.Lines(),
              (Lines{"Sending challenge to: zoe@example.org.", "Successfully sent challenge.",
                     "Sending challenge to: Bert@example.org.", "Successfully sent challenge."}));
    ASSERT_EQ(RecentRecipients.Count(), 3);
    EXPECT_EQ(RecentRecipients[0], "Bert@example.org");
    EXPECT_EQ(RecentRecipients[1], "zoe@example.org");
    Lines mailFrom, rcptTo;
    for (const std::string& command : server.Commands()) {
        if (command.rfind("MAIL FROM:", 0) == 0)
            mailFrom.push_back(command);
        if (command.rfind("RCPT TO:", 0) == 0)
            rcptTo.push_back(command);
    }
    EXPECT_EQ(mailFrom, (Lines{"MAIL FROM:<>", "MAIL FROM:<>"}));
    EXPECT_EQ(rcptTo, (Lines{"RCPT TO:<zoe@example.org>", "RCPT TO:<Bert@example.org>"}));
    ASSERT_EQ(server.Messages().size(), 2u);
    EXPECT_EQ(HeaderLine(server.Messages()[0], "From"), "From: Anna Smit <anna@example.net>");
    EXPECT_EQ(HeaderLine(server.Messages()[0], "X-Mailer"), "X-Mailer: Quorvane");
    EXPECT_EQ(HeaderLine(server.Messages()[0], "Reply-To"), "");
}

TEST_F(SendAutoRepliesTest, NoNullMailFromUsesTheAccountAddress) {
    ProgramSettings.NoNullMailFrom = true;
    FakeSmtpServer server;
    Connect(server);
    AutoReplyList list;
    list.Add("piet@example.org", "Piet", "Re: x");
    SendAutoReplies(list, AutoReplyKind::PostResponse, 0, view, client);
    client.Disconnect();
    server.Stop();
    auto commands = server.Commands();
    EXPECT_NE(std::find(commands.begin(), commands.end(), "MAIL FROM:<anna@example.net>"), commands.end());
    EXPECT_EQ(view.CallsStartingWith("Action"), (Lines{"Action: step 4/5: sending post-response emails (1/0)"}));
}

TEST_F(SendAutoRepliesTest, RefusedRecipientStaysInTheList) {
    FakeSmtpServer server;
    server.On("RCPT TO:<bad@example.org>", Reaction::Answer("550 5.1.1 <bad@example.org>: Recipient address rejected"));
    Connect(server);
    AutoReplyList list;
    list.Add("bad@example.org", "Bad", "a");
    list.Add("good@example.org", "Good", "b");
    Counters.ToSend = 2;
    SendAutoReplies(list, AutoReplyKind::Challenge, 0, view, client);
    client.Disconnect();
    server.Stop();
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list[0].Address, "bad@example.org");
    EXPECT_EQ(Counters.Sent, 1);
    EXPECT_EQ(RecentRecipients.Count(), 1);
    EXPECT_EQ(ScanState.ScanLog.Lines(),
              (Lines{"Sending challenge to: good@example.org.", "Successfully sent challenge.",
                     "Sending challenge to: bad@example.org.",
                     "Error sending challenge: 5.1.1 <bad@example.org>: Recipient address rejected"}));
}

TEST_F(SendAutoRepliesTest, EchoedPasswordNeverReachesTheLog) {
    Accounts[0].SMTPPassword = "hunter2-secret";
    FakeSmtpServer server;
    server.On("MAIL FROM:<>", Reaction::Answer("554 sender hunter2-secret refused"));
    Connect(server);
    AutoReplyList list;
    list.Add("x@example.org", "X", "a");
    SendAutoReplies(list, AutoReplyKind::Challenge, 0, view, client);
    client.Disconnect();
    server.Stop();
    for (const std::string& line : ScanState.ScanLog.Lines())
        EXPECT_EQ(line.find("hunter2"), std::string::npos) << line;
    EXPECT_EQ(ScanState.ScanLog.Lines().back(), "Error sending challenge: sender ******** refused");
}

TEST(AutoReplyListTest, SortedWithoutCaseAndWithoutDuplicates) {
    AutoReplyList list;
    EXPECT_TRUE(list.Add("b@example.org", "B", "1"));
    EXPECT_TRUE(list.Add("A@example.org", "A", "2"));
    EXPECT_TRUE(list.Add("c@example.org", "C", "3"));
    EXPECT_FALSE(list.Add("B@EXAMPLE.ORG", "other", "4"));
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list[0].Address, "A@example.org");
    EXPECT_EQ(list[1].Address, "b@example.org");
    EXPECT_EQ(list[1].Name, "B");
    EXPECT_EQ(list[2].Address, "c@example.org");
    EXPECT_TRUE(list.Contains("C@Example.org"));
    list.Delete(1);
    EXPECT_FALSE(list.Contains("b@example.org"));
    EXPECT_THROW(list.Delete(5), std::out_of_range);
}

} // namespace
