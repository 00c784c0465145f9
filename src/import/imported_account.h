#pragma once

#include <string>

class AccountEditor;

// What the account importers share: whether the program has an account
// already, and pressing "OK" on a newly added account.

// Whether a program account has this address, incoming server and user name,
// each compared without regard to ASCII letter case.
bool ProgramHasAccount(const std::string& emailAddress, const std::string& server, const std::string& login);

// Presses "OK" for the account just added in the editor: the account takes
// the fields and is stored. True when it was stored. On a failure the new
// record is dropped again, so that no unsaved record stays among the
// accounts (a later save would write the account count with this one's
// section missing); never throws.
bool CommitImportedAccount(AccountEditor& editor);
