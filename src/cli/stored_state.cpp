#include "cli/stored_state.h"

#include "records/account.h"
#include "records/account_store.h"
#include "records/program_settings.h"

void LoadStoredSettings() {
    LoadSettings();
}

void LoadStoredAccounts() {
    LoadSettings();
    Accounts.Clear();
    for (int n = 1; n <= StoredAccountCount(); ++n) {
        AppendAccount();
        LoadAccount(n);
    }
}
