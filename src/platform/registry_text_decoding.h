#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The pieces of registry text below the line structure: the file's encoding,
// the escapes inside quoted strings, and the numbers and hex bytes of value
// data. Never throw on bad input: a false result means the piece cannot be read.

// Removes a byte-order mark; UTF-16LE text becomes narrow text.
std::string DecodeRegistryFileText(std::string_view raw);

// Reads a Wine string that starts after its opening delimiter and ends at an
// unescaped close; position ends after it. Wine escapes are C-like ("\n",
// "\x41", octal) and name UTF-16 units; the result is narrow text. False
// when unterminated.
bool ReadWineString(std::string_view text, size_t& position, char close, std::string& out);

// Reads a REGEDIT string that starts after its opening quote and ends at an
// unescaped one; position ends after it. Only "\n", "\r", "\0", "\\" and "\""
// are escapes; any other backslash stays. False when unterminated.
bool ReadRegeditString(std::string_view text, size_t& position, std::string& out);

// Reads the type number of "hex(N):" or "str(N):" at position (just after
// the "("), up to eight hex digits and the ")"; position ends after it.
bool ReadRegistryTypeNumber(std::string_view data, size_t& position, uint32_t& type);

// The data of "dword:": one to eight hex digits, as four little-endian bytes.
bool DecodeRegistryDword(std::string_view digits, std::string& bytes);

// Comma-separated pairs of hex digits, spaces allowed around them, appended
// to bytes.
bool DecodeRegistryHexBytes(std::string_view text, std::string& bytes);

// String data in its stored form: a single string ends at its first NUL; a
// multi-string ends at its first empty item, its items joined by NUL.
std::string CutRegistryStringData(const std::string& text, uint32_t type);
