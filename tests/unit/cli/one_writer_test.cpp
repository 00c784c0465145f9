// Two Quorvane processes on one data folder: a command that changes it waits
// for the scan that holds it, so neither overwrites what the other saved.

#include "platform/paths.h"
#include "records/account.h"
#include "records/account_folder.h"
#include "records/account_store.h"
#include "scan/challenge_tag.h"
#include "support/fake_pop3_server.h"
#include "support/fake_smtp_server.h"
#include "support/process_state.h"
#include "support/temp_folder.h"
#include "test_paths.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include <sys/wait.h>

namespace {

std::string Mail(const std::string& from, const std::string& subject) {
    return "From: " + from + "\r\nTo: me@example.net\r\nSubject: " + subject +
           "\r\nDate: Mon, 9 Mar 2026 10:00:00 +0100\r\n\r\nHello there.\r\n";
}

// A command of the built program in the background, its output in a file.
class Background {
public:
    Background(const std::string& arguments, const std::string& output, const char* mode = "r")
        : m_output(output),
          m_pipe(::popen((std::string(QUORVANE_BINARY) + " " + arguments + " >" + output + " 2>&1").c_str(), mode)) {}
    ~Background() {
        if (m_pipe)
            ::pclose(m_pipe);
    }
    // Waits (a bounded time) until the output shows text.
    bool Shows(const std::string& text) const {
        for (int i = 0; i < 300; ++i) {
            std::string content;
            if (ReadWholeFile(m_output, content) && content.find(text) != std::string::npos)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return false;
    }
    void Type(const std::string& input) {
        std::fputs(input.c_str(), m_pipe);
        std::fflush(m_pipe);
    }
    int ExitStatus() {
        int status = ::pclose(m_pipe);
        m_pipe = nullptr;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    std::string m_output;
    FILE* m_pipe;
};

TEST(OneWriter, CommandsDuringAnApprovePromptWaitAndLoseNothing) {
    TempFolder data;
    ResetProcessState(data.Path());
    FakePop3Server pop3({Mail("Piet <piet@example.org>", "Re: hello  " + ChallengeTagText(4711)),
                         Mail("new@example.org", "first contact")});
    FakeSmtpServer smtp;
    Account& account = AppendAccount();
    account.EmailAddress = "me@example.net";
    account.Server = account.SMTPServer = "127.0.0.1";
    account.Port = pop3.Port();
    account.SMTPPort = smtp.Port();
    account.Login = FakePop3Server::User;
    account.Password = FakePop3Server::Password;
    account.Enabled = true;
    account.ID = "{0000000D-0000-4000-8000-000000000000}";
    SaveAccount(1);
    AccountFolder(0); // creates the folder
    for (const char* sender : {"piet", "zoe"}) {
        std::string file = std::string("{") + sender + "}.dat";
        data.Write("Accounts/" + account.ID + "/" + file, Mail(std::string(sender) + "@example.org", "held") + ".\r\n");
        account.Quarantine.Add(std::string(sender) + "@example.org", sender, CategoryChallenged, file, 46090.4, "held",
                               "me@example.net");
    }
    ASSERT_TRUE(SaveIndex(account));
    const std::string id = account.ID;
    ResetProcessState("");

    std::string dir = "--data-dir " + data.Path();
    Background scan(dir + " scan", data.File("scan.txt"), "w");
    ASSERT_TRUE(scan.Shows("Approve Sender?"));
    Background add(dir + " lists add approved friend@example.org", data.File("add.txt"));
    Background remove(dir + " quarantine delete {zoe}.dat --yes", data.File("delete.txt"));
    ASSERT_TRUE(add.Shows("Waiting for another Quorvane process using " + data.Path() + "..."));
    ASSERT_TRUE(remove.Shows("Waiting for another Quorvane process using " + data.Path() + "..."));
    scan.Type("a\n");
    EXPECT_EQ(scan.ExitStatus(), 0) << data.Read("scan.txt");
    EXPECT_EQ(add.ExitStatus(), 0) << data.Read("add.txt");
    EXPECT_EQ(remove.ExitStatus(), 0) << data.Read("delete.txt");

    EXPECT_EQ(data.Read("WhiteList.dat"), "piet@example.org\r\nfriend@example.org\r\n");
    ResetProcessState(data.Path());
    AppendAccount().ID = id;
    Account& loaded = Accounts.Item(0);
    ASSERT_TRUE(LoadIndex(loaded));
    // Piet's mail was released, Zoe's deleted, the new sender's quarantined.
    ASSERT_EQ(loaded.Quarantine.Count(), 1);
    EXPECT_EQ(loaded.Quarantine.Item(0).SenderAddress, "new@example.org");
    ResetProcessState("");
}

} // namespace
