#pragma once

#include <string>
#include <vector>

class Account;
class AccountList;
struct SettingsRecord;

// The checks the settings page runs when the user confirms it, shared by
// every front end. Each answers the first failing check's message (and the
// place the user is sent to), or an empty message when all pass.
struct SettingsProblem {
    std::string Message;
    std::string Place; // "Preferences", "Advanced", or the account field to fix
    bool Found() const { return !Message.empty(); }
    bool operator==(const SettingsProblem&) const = default;
};

// Time-out, mail client, expiry days and scan period, in that order.
SettingsProblem FirstSettingsProblem(const SettingsRecord& settings);
// Every failing check of the settings, in the same order.
std::vector<SettingsProblem> SettingsProblems(const SettingsRecord& settings);

// The checks of one account; a disabled account always passes.
SettingsProblem FirstAccountProblem(const Account& account);

// The account checks over every enabled account: each check runs over all
// accounts before the next check starts. failingIndex gets the 0-based
// position of the account that failed, or -1.
SettingsProblem FirstAccountsProblem(const AccountList& accounts, int& failingIndex);
