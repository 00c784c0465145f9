#pragma once

#include <string>

// The per-user data folder: $XDG_DATA_HOME (else ~/.local/share) followed by
// "Belvantis/Quorvane". QUORVANE_DATA_DIR, or an override set by a front end
// (the command line's --data-dir), replaces the whole path. Every call creates
// the missing folders with mode 0700 and returns the path without a trailing
// delimiter. Throws std::runtime_error when a folder cannot be created.
std::string DataFolder();

// Sets (or, with an empty text, clears) the override that wins over everything.
void SetDataFolderOverride(const std::string& folder);
