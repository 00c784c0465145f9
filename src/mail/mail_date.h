#pragma once

#include "platform/date_time.h"

#include <string>
#include <string_view>

// Reads an RFC 2822 date-time, obsolete forms included (two- and three-digit
// years, missing seconds or day of week, named and military zones, comments),
// and converts it from its zone to local time. Returns 0 when the text holds
// no valid date.
SerialDateTime ParseMailDate(std::string_view text);

// Writes a local date-time in RFC 2822 form with the local zone offset,
// e.g. "Wed, 09 Dec 2026 14:25:36 +0100".
std::string FormatMailDate(SerialDateTime value);
