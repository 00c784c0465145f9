#pragma once

#include <string>
#include <vector>

// The lines of a text file imported into a sender list that are entries
// (addresses or masks), in file order: lines end at CR LF, LF or CR; only
// spaces are trimmed (a tab makes the line an invalid address); blank lines,
// comments (starting with "#" or ";") and invalid addresses are skipped.
std::vector<std::string> ImportableListEntries(const std::string& content);
