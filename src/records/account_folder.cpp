#include "records/account_folder.h"

#include "platform/data_folder.h"
#include "platform/paths.h"
#include "records/account.h"

#include <stdexcept>

namespace {

// An ID from a hand-edited file must not lead outside the "Accounts" folder.
void CheckFolderName(const std::string& id) {
    if (id.find('/') != std::string::npos || id == "." || id == "..")
        throw std::runtime_error("The account ID \"" + id + "\" cannot name a folder.");
}

} // namespace

std::string AccountFolderOfId(const std::string& id) {
    std::string accounts = IncludeTrailingDelimiter(DataFolder()) + "Accounts";
    EnsureFolder(accounts, 0700);
    if (id.empty())
        return accounts;
    CheckFolderName(id);
    std::string folder = IncludeTrailingDelimiter(accounts) + id;
    EnsureFolder(folder, 0700);
    return folder;
}

std::string AccountFolder(int index) {
    return AccountFolderOfId(Accounts.Item(index).ID);
}

bool SaveIndex(Account& account) {
    try {
        return SaveIndexFile(account.Quarantine, AccountFolderOfId(account.ID));
    } catch (const std::exception&) {
        return false;
    }
}

bool LoadIndex(Account& account) {
    try {
        return LoadIndexFile(account.Quarantine, AccountFolderOfId(account.ID));
    } catch (const std::exception&) {
        return false;
    }
}
