#pragma once

#include "platform/hex_digit.h"

#include <string_view>

// Whether text holds, at position i, the marker followed by two hexadecimal
// digits ("=3D" in quoted-printable and Q words, "%20" in RFC 2231
// parameters); the byte they encode goes to byte.
bool HexEscapeAt(std::string_view text, size_t i, char marker, char& byte);
