#pragma once

#include <string>

// The reversible scrambling of every password kept in the settings file.
// It hides a password from a glance at the file; it is no encryption.

// The stream transform of the bytes, Base64 encoded, between "<" and ">".
// The empty text gives "<>".
std::string ScramblePassword(const std::string& clear);

// The inverse. An empty value gives an empty text; a value between "<" and
// ">" is decoded with the lenient password Base64 rules and transformed back;
// any other value is read in the legacy form (never written any more).
std::string UnscramblePassword(const std::string& stored);
