// A whole scan of one account: what an empty mailbox, a Cancel part-way and
// pipelined POP3 commands leave behind.

#include "scan_account_fixture.h"

#include "platform/event_pump.h"
#include "records/account.h"
#include "records/sender_lists.h"

#include <gtest/gtest.h>

namespace {

using namespace scan_account_test;

using ScanSessionTest = ScanAccountTest;

TEST_F(ScanSessionTest, EmptyMailbox) {
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

TEST_F(ScanSessionTest, CancelAfterThreeOfTenHandlesThoseThreeFully) {
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

// What a scan did, as far as the user and the servers can tell.
struct ScanOutcome {
    Lines details, log, mailbox, recipients;
    int quarantined = 0;
    bool operator==(const ScanOutcome&) const = default;
};

// With PIPELINING the scan decides, logs and deletes exactly as one command
// at a time would, also when Cancel stops it halfway.
TEST_F(ScanSessionTest, APipelinedScanDoesWhatASequentialOneDoes) {
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
