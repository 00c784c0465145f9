#pragma once

#include <string>
#include <string_view>

// Text as Windows programs store it, turned into the narrow encoding the
// program keeps text in (UTF-8). Never throw on bad input.

// UTF-16LE bytes. Unpaired surrogates become U+FFFD; an odd last byte is
// dropped.
std::string NarrowFromUtf16Bytes(std::string_view bytes);

// Text of a Windows program's own files: kept as it is when it already is
// valid UTF-8, otherwise read as Windows-1252 (the usual ANSI code page),
// with the five bytes that code page leaves undefined as U+FFFD.
std::string NarrowFromAnsi(std::string_view text);

// Whether the bytes are well-formed UTF-8.
bool IsValidUtf8(std::string_view text);
