#pragma once

#include <string>
#include <string_view>

// The character set of the program's narrow text: the encoding of the
// process's LC_CTYPE locale. A process still in the "C" or "POSIX" locale is
// taken to be UTF-8, so that 8-bit text converted into it is not lost.
std::string LocaleCharset();

// True when both names denote the same character set ("utf8" = "UTF-8").
bool SameCharset(std::string_view a, std::string_view b);

// Converts text from one character set to another with iconv. Returns false,
// leaving out untouched, when either set is unknown or the text is not valid
// in the source set.
bool ConvertCharset(std::string_view text, const std::string& from, const std::string& to, std::string& out);
