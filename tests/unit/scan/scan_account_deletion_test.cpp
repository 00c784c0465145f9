// Deleting from the server: DELE and QUIT only for what is safely stored,
// and a later scan finishes what a broken one left.

#include "scan_account_fixture.h"

#include "platform/atomic_file.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace {

using namespace scan_account_test;

using ScanDeletionTest = ScanAccountTest;

TEST_F(ScanDeletionTest, SessionBrokenBeforeQuitDeletesNothing) {
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

int FailingFsync(int) {
    errno = EIO;
    return -1;
}

// Nothing may be deleted from the server that is not safely stored: a flush
// that fails or a QUIT without "+OK" fails the account, and the next scan
// finishes the deletions without storing or challenging anything twice.
TEST_F(ScanDeletionTest, NothingLeavesTheServerUnlessStoredAndNothingIsStoredTwice) {
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

} // namespace
