#pragma once

#include <string>

// Registers the desktop program to start at logon: one XDG autostart entry,
// $XDG_CONFIG_HOME/autostart/quorvane.desktop (else ~/.config/...), whose
// Exec names "vantrel" in the given folder (by default the running program's
// own folder), quoted. Rewriting it replaces the one entry, never adds one.
// Throws std::runtime_error when the entry cannot be written.
void RegisterStartAtLogon(const std::string& programFolder);

// Where the autostart entry lives.
std::string StartAtLogonEntryPath();
