#pragma once

// The accounts' place in the settings file (sections "Account1".."AccountN"
// and "NumAccounts") and each account's "aliases.dat".

// Fills record n (1-based) from section "Account" + n of the settings file
// (missing file, section or key: the defaults, port 110, SMTP port 25,
// enabled) and its aliases from "aliases.dat" (any failure there leaves the
// aliases empty and marks them unreadable, so that SaveAccount refuses to
// replace the file). Throws std::out_of_range when record n does not exist.
void LoadAccount(int n);

// Writes record n to section "Account" + n and "NumAccounts" in one atomic
// replacement of the settings file that keeps every other line, then replaces
// its "aliases.dat". Throws std::runtime_error with the system's text when a
// file cannot be read or written (the records keep their values), and
// std::out_of_range when record n does not exist.
void SaveAccount(int n);

// Asks, then removes record n: the remaining records are written to the
// sections Account1..AccountN-1 and "NumAccounts" in one atomic replacement
// (the last old section stays in the file, unread); account folders stay on
// disk. Refuses with a notice when only one account exists. True when the
// account was removed. Throws as SaveAccount does; on a failure the record
// stays in the collection.
bool RemoveAccount(int n);
