#pragma once

#include <string>

class Account;

// DataFolder() + "/Accounts/" + the ID of the record at index (0-based),
// created (mode 0700) with "Accounts" when missing; the "Accounts" folder
// itself for an empty ID. No trailing delimiter. Throws std::runtime_error
// when a folder cannot be created or the ID cannot name a folder (it holds
// "/" or is "." or ".."), std::out_of_range for a bad index.
std::string AccountFolder(int index);

// The folder of the account with that ID, as AccountFolder gives it.
std::string AccountFolderOfId(const std::string& id);

// The account's quarantine index saved to / loaded from its account folder.
// Never throw: false on any failure.
bool SaveIndex(Account& account);
bool LoadIndex(Account& account);
