// The quarantine commands as separate runs of the built program: an id that
// one run printed names the same message in the next run.

#include "platform/data_folder.h"
#include "platform/date_time.h"
#include "records/account.h"
#include "records/account_folder.h"
#include "records/account_store.h"
#include "support/run_program.h"
#include "support/temp_folder.h"
#include "test_paths.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

TEST(QuarantineProgram, IdsOfAListingNameTheSameMessagesInTheNextRun) {
    TempFolder data;
    SetDataFolderOverride(data.Path());
    Accounts.Clear();
    for (int a = 1; a <= 2; ++a) {
        Account& account = AppendAccount();
        account.EmailAddress = "me" + std::to_string(a) + "@example.net";
        account.ID = "{0000000" + std::to_string(a) + "-0000-4000-8000-00000000000D}";
        SaveAccount(a);
        for (const char* subject : {"alpha", "beta"}) {
            std::string file = std::string("{") + subject + std::to_string(a) + "}.dat";
            data.Write("Accounts/" + account.ID + "/" + file, std::string("From: x@example.org\r\nSubject: ") +
                                                                  subject + " " + std::to_string(a) +
                                                                  "\r\n\r\nbody\r\n.\r\n");
            account.Quarantine.Add("x@example.org", "", 0, file, EncodeDateTime({2024, 1, 2, 3, 4, 5, 0}),
                                   std::string(subject) + " " + std::to_string(a), account.EmailAddress);
        }
        SaveIndex(account);
    }
    Accounts.Clear();
    SetDataFolderOverride("");

    int status = -1;
    std::istringstream listing(RunProgram("--data-dir " + data.Path() + " quarantine list", status));
    ASSERT_EQ(status, 0);
    std::string line;
    std::getline(listing, line); // the column titles
    int rows = 0;
    while (std::getline(listing, line)) {
        ++rows;
        std::string id = line.substr(0, line.find(' '));
        size_t subject = line.find("alpha ") != std::string::npos ? line.find("alpha ") : line.find("beta ");
        ASSERT_NE(subject, std::string::npos) << line;
        std::string expected = line.substr(subject, line.find(' ', subject + 1) + 2 - subject);
        std::string shown = RunProgram("--data-dir " + data.Path() + " quarantine show " + id, status);
        EXPECT_EQ(status, 0);
        EXPECT_NE(shown.find("Subject: " + expected + "\n"), std::string::npos) << id << ": " << shown;
    }
    EXPECT_EQ(rows, 4);
}

} // namespace
