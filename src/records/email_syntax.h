#pragma once

#include <string>

// The address syntax test for sender-list entries and account addresses:
// a dot-separated local part of atoms and quoted strings ('*' and '?' are atom
// characters, so masks like "*@example.com" pass), '@', then at least two
// domain labels, each starting with an ASCII letter, going on with letters,
// digits and hyphens and not ending with a hyphen. A CR or LF anywhere, even
// quoted, makes the address invalid. Never throws.
bool IsValidEmail(const std::string& s);
