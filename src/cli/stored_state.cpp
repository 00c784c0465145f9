#include "cli/stored_state.h"

#include "records/program_settings.h"
#include "records/uObjects.h"

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
