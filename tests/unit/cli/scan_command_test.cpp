#include "cli_fixture.h"

#include "mail/delivery_passes.h"
#include "platform/data_folder.h"
#include "platform/paths.h"
#include "records/account.h"
#include "records/account_store.h"
#include "support/fake_pop3_server.h"
#include "support/fake_smtp_server.h"
#include "support/loopback_server.h"
#include "support/process_state.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

namespace {

std::string Mail(const std::string& from, const std::string& subject) {
    return "From: " + from + "\r\nTo: me@example.net\r\nSubject: " + subject +
           "\r\nDate: Mon, 9 Mar 2026 10:00:00 +0100\r\n\r\nHello there.\r\n";
}

class ScanCommand : public CliFixture {
protected:
    void TearDown() override { ResetProcessState(""); }

    void SaveMailAccount(int pop3Port, int smtpPort) {
        SetDataFolderOverride(m_data.Path());
        Accounts.Clear();
        Account& account = AppendAccount();
        account.EmailAddress = "me@example.net";
        account.Server = "127.0.0.1";
        account.Port = pop3Port;
        account.Login = FakePop3Server::User;
        account.Password = FakePop3Server::Password;
        account.SMTPServer = "127.0.0.1";
        account.SMTPPort = smtpPort;
        account.Enabled = true;
        account.ID = "{0000000C-0000-4000-8000-000000000000}";
        SaveAccount(1);
    }
};

TEST_F(ScanCommand, UnattendedScanQuarantinesAndApproveReleasesBack) {
    FakePop3Server pop3({Mail("Stranger <stranger@example.org>", "First contact")});
    FakeSmtpServer smtp;
    SaveMailAccount(pop3.Port(), smtp.Port());
    m_data.Write("WhiteList.dat", "friend@example.org\r\n");

    ASSERT_EQ(Run({"scan", "--unattended"}), 0) << m_err;
    EXPECT_NE(m_out.find("Scanning me@example.net (1/1), please wait..."), std::string::npos);
    EXPECT_NE(m_out.find("Scanned: 1  Spam: 1 (100.00%)  Elapsed: "), std::string::npos) << m_out;
    EXPECT_NE(m_out.find("Finished scanning your email accounts for spam."), std::string::npos);
    EXPECT_TRUE(FileExists(m_data.File("log.txt")));

    ASSERT_EQ(Run({"quarantine", "list"}), 0);
    size_t brace = m_out.find('{', m_out.find("First contact"));
    ASSERT_NE(brace, std::string::npos);
    std::string file = m_out.substr(brace, m_out.find('\n', brace) - brace);

    ASSERT_EQ(Run({"quarantine", "approve", file}, "y\n"), 0) << m_err;
    EXPECT_NE(m_err.find("Confirm: Approve selected senders and release messages to inbox?"), std::string::npos);
    EXPECT_NE(m_out.find("Released 1 message(s) to the inbox."), std::string::npos);
    smtp.Stop();
    // The challenge and the released message.
    ASSERT_EQ(smtp.Messages().size(), 2u);
    EXPECT_NE(smtp.Messages()[1].find("Subject: First contact"), std::string::npos);
    EXPECT_EQ(m_data.Read("WhiteList.dat"), "friend@example.org\r\nstranger@example.org\r\n");
}

TEST_F(ScanCommand, FailedAccountGivesExitStatusOne) {
    SaveMailAccount(UnusedLoopbackPort(), UnusedLoopbackPort());
    EXPECT_EQ(Run({"scan", "--unattended"}), 1);
    EXPECT_NE(m_out.find("Accounts: 1 scanned, 1 failed."), std::string::npos);
}

// What could not be saved makes the scan fail, also unattended, and the
// last lines say so.
TEST_F(ScanCommand, WhatCouldNotBeSavedFailsTheScan) {
    struct Case {
        const char* blocked;
        const char* said;
    };
    const Case cases[] = {
        {"Accounts/{0000000C-0000-4000-8000-000000000000}/account2.dat",
         "Could not save 1 message or file (see the log)"},
        {"log.txt", "The log was not written: "},
    };
    for (const Case& c : cases) {
        FakePop3Server pop3({Mail("Stranger <stranger@example.org>", "First contact")});
        FakeSmtpServer smtp;
        SaveMailAccount(pop3.Port(), smtp.Port());
        std::filesystem::remove_all(m_data.File(c.blocked));
        std::filesystem::create_directories(m_data.File(c.blocked) + "/in-the-way");
        EXPECT_EQ(Run({"scan", "--unattended"}), 1) << c.blocked;
        EXPECT_NE(m_out.find(c.said), std::string::npos) << m_out;
        std::filesystem::remove_all(m_data.File("Accounts"));
    }
}

TEST_F(ScanCommand, AttendedScanAsksOnTheTerminal) {
    SaveMailAccount(UnusedLoopbackPort(), UnusedLoopbackPort());
    EXPECT_EQ(Run({"scan"}, ""), 1);
    EXPECT_NE(m_err.find("Notice: (Please ignore this message if it was your intention"), std::string::npos);
}

TEST_F(ScanCommand, NoAccountsAsksToConfigure) {
    EXPECT_EQ(Run({"scan"}, "y\n"), 1);
    EXPECT_NE(m_err.find("Notice: No email accounts are configured."), std::string::npos);
    EXPECT_NE(m_err.find("quorvane accounts add"), std::string::npos);
    EXPECT_EQ(Run({"scan", "--unattended"}), 1);
    EXPECT_EQ(m_err, "");
}

} // namespace
