#include "import/imported_account.h"

#include "records/account.h"
#include "records/account_editor.h"
#include "records/text_helpers.h"

#include <exception>

bool ProgramHasAccount(const std::string& emailAddress, const std::string& server, const std::string& login) {
    for (int i = 0; i < Accounts.Count(); ++i) {
        const Account& account = Accounts.Item(i);
        if (SameText(account.EmailAddress, emailAddress) && SameText(account.Server, server) &&
            SameText(account.Login, login))
            return true;
    }
    return false;
}

bool CommitImportedAccount(AccountEditor& editor) {
    try {
        editor.ApplyAccount();
        return true;
    } catch (const std::exception&) {
        // The record is still the unsaved new one at the end: the editor's
        // own "Delete Account" of a pending account drops it without asking.
        try {
            editor.NewAccountPending = true;
            editor.DeleteAccount();
        } catch (const std::exception&) {
        }
        return false;
    }
}
