#pragma once

#include <functional>

class Account;

// The loading steps of the desktop program's start-up, in their order, apart
// from the widgets that show the result.

// The settings, the recent recipients and the sender lists; the lists are
// then synchronised with the address books when the settings ask for it
// (which ends by saving, and so showing, them), otherwise showLists runs.
// A failing synchronisation is shown and the start-up goes on.
void LoadProgramState(const std::function<void()>& showLists);

// Every stored account with its quarantine index, whose mail older than the
// settings allow is purged; accountLoaded runs for each account in order. One
// account's broken quarantine is shown and does not stop the others.
void LoadAccountsWithQuarantine(const std::function<void(const Account&)>& accountLoaded);
