#pragma once

#include <string>
#include <string_view>

// RFC 2047 encoded-words in header text.

// Replaces every B or Q encoded-word by its text converted into the locale's
// character set (LocaleCharset). Blanks between adjacent encoded-words are
// dropped. A word in a character set that cannot be converted, or whose bytes
// are invalid in it, is left as it stands.
std::string DecodeEncodedWords(std::string_view text);

// Returns text unchanged when it is pure ASCII; otherwise writes it as Q
// encoded-words of at most 75 characters in the locale's character set,
// separated by spaces and never splitting a UTF-8 character.
std::string EncodeHeaderWords(std::string_view text);
