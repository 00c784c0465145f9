#include "ui/main/start_up.h"

#include "challenge/quarantine_purge.h"
#include "import/address_book_sync.h"
#include "platform/data_folder.h"
#include "platform/message_box.h"
#include "records/account.h"
#include "records/account_folder.h"
#include "records/account_store.h"
#include "records/program_settings.h"
#include "records/recent_recipient_list.h"
#include "records/sender_lists.h"

#include <exception>

void LoadProgramState(const std::function<void()>& showLists) {
    LoadSettings();
    RecentRecipients.LoadFromFile(DataFolder());
    LoadLists();
    if (!ProgramSettings.SyncAddressBook) {
        showLists();
        return;
    }
    try {
        SyncAddressBooks(false);
    } catch (const std::exception& error) {
        ShowMessageBox(error.what(), "Error", MsgButtons::Ok, MsgIcon::Error);
    }
}

void LoadAccountsWithQuarantine(const std::function<void(const Account&)>& accountLoaded) {
    for (int n = 1; n <= StoredAccountCount(); ++n) {
        Account& account = AppendAccount();
        LoadAccount(n);
        try {
            LoadIndex(account);
            PurgeOldQuarantine(n - 1);
        } catch (const std::exception& error) {
            ShowMessageBox(error.what(), "Error", MsgButtons::Ok, MsgIcon::Error);
        }
        accountLoaded(account);
    }
}
