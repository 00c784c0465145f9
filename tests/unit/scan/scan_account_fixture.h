// Runs one account's scan against the loopback POP3 and SMTP servers and
// watches it through a recording ScanView; shared by the scan_account_*
// tests, each of which covers one theme of the scan.

#pragma once

#include "scan/scan_account.h"

#include "challenge/follow_up_steps.h"
#include "platform/data_folder.h"
#include "platform/paths.h"
#include "records/account.h"
#include "records/account_folder.h"
#include "records/program_settings.h"
#include "records/quarantine_index.h"
#include "scan/challenge_tag.h"
#include "scan/scan_state.h"
#include "support/fake_pop3_server.h"
#include "support/fake_smtp_server.h"
#include "support/process_state.h"
#include "support/recording_scan_view.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace scan_account_test {

using Lines = std::vector<std::string>;

inline const std::string AccountAddress = "anna@example.net";

inline std::string CrLf(const Lines& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

// A message from sender to the account, with extra header lines.
inline std::string Mail(const std::string& from, const std::string& subject, const Lines& extra = {},
                        const Lines& body = {"Hello Anna.", "", "Greetings"}) {
    Lines lines = {"Delivered-To: " + AccountAddress, "From: " + from, "To: Anna <" + AccountAddress + ">",
                   "Subject: " + subject, "Date: Mon, 9 Mar 2026 10:00:00 +0100"};
    lines.insert(lines.end(), extra.begin(), extra.end());
    lines.push_back("");
    lines.insert(lines.end(), body.begin(), body.end());
    return CrLf(lines);
}

inline std::string Answer(const std::string& from, const std::string& subject = "Re: Re: hello") {
    return Mail(from, subject + "  " + ChallengeTagText(4711));
}

class ScanAccountTest : public testing::Test {
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

// The receiving provider's verdict on a forged From, on top of the header.
inline const std::string Forged = "Authentication-Results: mx.example.net; spf=fail smtp.mailfrom=example.org;\r\n"
                                  "\tdmarc=fail (p=none) header.from=example.org\r\n";

} // namespace scan_account_test
