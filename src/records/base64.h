#pragma once

#include <string>
#include <string_view>

// Base64 of RFC 4648 (alphabet "A"-"Z", "a"-"z", "0"-"9", "+", "/"; "="
// fills the last group to four characters; no line breaks).

std::string Base64Encode(std::string_view bytes);

// The strict decoder (SMTP replies, MIME parts after their line breaks are
// removed): the text must be whole groups of four alphabet characters, "="
// only as the padding of the last group, and the bits the padding drops must
// be zero. Throws std::invalid_argument for anything else.
std::string Base64Decode(std::string_view text);

// The lenient decoder of stored passwords. Characters are read from the
// start, four making three bytes; each byte is produced as soon as its first
// bits arrive and completed by the next character. A "=" ends the decoding
// and removes the last byte produced when it is zero (the incomplete byte a
// short last group leaves); any character outside the alphabet, or the end
// of the text, ends it as it stands. Never fails.
std::string Base64DecodeLenient(std::string_view text);
