#pragma once

// A data folder with accounts whose quarantine holds real message files, for
// the tests of the quarantine view and its actions.

#include "platform/data_folder.h"
#include "platform/date_time.h"
#include "platform/paths.h"
#include "records/account.h"
#include "records/account_folder.h"
#include "records/program_settings.h"
#include "records/sender_lists.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <string>

class QuarantineFixture : public testing::Test {
protected:
    void SetUp() override {
        SetDataFolderOverride(m_data.Path());
        Accounts.Clear();
        ApprovedSenders.Clear();
        BlockedSenders.Clear();
        ProgramSettings = SettingsRecord();
    }
    void TearDown() override {
        Accounts.Clear();
        ApprovedSenders.Clear();
        SetDataFolderOverride("");
    }

    Account& AddAccount(const std::string& address) {
        Account& account = AppendAccount();
        account.EmailAddress = address;
        account.Enabled = true;
        account.ID = "{0000000" + std::to_string(Accounts.Count()) + "-0000-4000-8000-000000000000}";
        AccountFolder(Accounts.Count() - 1);
        return account;
    }

    // Quarantines a message from sender into account index: its file and its
    // entry (appended, so it is the newest). Returns the entry's id.
    int Quarantine(int account, const std::string& sender, const std::string& subject,
                   int category = CategoryChallenged, SerialDateTime date = EncodeDateTime({2024, 5, 1, 12, 0, 0, 0}),
                   const std::string& name = "") {
        std::string fileName = "{M" + std::to_string(++m_files) + "}.dat";
        std::string text = "From: " + sender + "\r\nTo: " + Accounts.Item(account).EmailAddress +
                           "\r\nSubject: " + subject + "\r\n\r\nHello from " + sender + "\r\n.\r\n";
        m_data.Write("Accounts/" + Accounts.Item(account).ID + "/" + fileName, text);
        return Accounts.Item(account)
            .Quarantine.Add(sender, name, category, fileName, date, subject, Accounts.Item(account).EmailAddress)
            .Id;
    }

    std::string FileOf(int account, int id) {
        QuarantineEntry* item = Accounts.Item(account).Quarantine.FindById(id);
        return item ? AccountFolder(account) + "/" + item->FileName : std::string();
    }

    int SavedCount(int account) {
        QuarantineIndex reloaded;
        EXPECT_TRUE(LoadIndexFile(reloaded, AccountFolder(account)));
        return reloaded.Count();
    }

    TempFolder m_data;
    int m_files = 0;
};
