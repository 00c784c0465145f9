#pragma once

#include <string>
#include <string_view>

// Structured MIME header values such as
// `multipart/mixed; boundary="b1"` or `attachment; filename*=utf-8''r%C3%A9.txt`.

// The value up to the first ";" (all of it without one), trimmed and lower-cased.
std::string MediaType(std::string_view value);

// The parameter name (any case) of the value, unquoted; empty when absent.
// RFC 2231 continuations and extended values are joined and decoded, the
// latter converted from their character set into the locale's.
std::string HeaderParameter(std::string_view value, std::string_view name);
