#pragma once

#include <string>
#include <string_view>
#include <vector>

// The value of one "Authentication-Results" header field (RFC 8601), as the
// receiving mail system writes it:
//
//   authserv-id [version] ; method[/version]=result [reason=...]
//                         [ptype.property=value ...] ; ...
//
// or "authserv-id; none". Comments in parentheses may stand anywhere and
// quoted strings may hold ";", "=" or "(". A value that begins with a
// result ("spf=fail ...; dkim=none ...", as some large providers write it)
// has no authserv-id. Reasons and properties are read past, not kept.

struct AuthenticationResult {
    std::string Method; // lower-cased, without a method version: "spf", "dkim", "dmarc"
    std::string Result; // lower-cased: "pass", "fail", "none", ...
};

struct AuthenticationResults {
    std::string AuthservId; // lower-cased; empty when the value names none
    std::vector<AuthenticationResult> Results;
};

// Never fails: what cannot be read is left out.
AuthenticationResults ParseAuthenticationResults(std::string_view value);
