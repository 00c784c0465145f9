// Failures during a scan: a refused login, a header that cannot be read,
// an SMTP server refusing every recipient.

#include "scan_account_fixture.h"

#include <gtest/gtest.h>

namespace {

using namespace scan_account_test;

using ScanFailureTest = ScanAccountTest;

TEST_F(ScanFailureTest, ConnectionFailures) {
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

TEST_F(ScanFailureTest, HeaderFailureEndsTheLoopButKeepsWhatWasDone) {
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

TEST_F(ScanFailureTest, SmtpRefusingEverythingMakesOnePass) {
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

} // namespace
