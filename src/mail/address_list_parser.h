#pragma once

#include "mail/mail_address.h"

#include <string_view>

// Parses an RFC 2822 address list leniently: entries separated by commas
// outside quotes, comments and angle brackets; a display name (words or a
// quoted string) followed by an address in angle brackets, an address
// followed by a comment in parentheses (the comment becomes the display
// name), bare addresses, and groups ("name: entries;", whose members become
// entries). Empty entries are skipped; malformed text never fails. Names are
// returned undecoded (RFC 2047 words stay as they are).
MailAddressList ParseAddressList(std::string_view value);

// The first entry of the list, or an empty address.
MailAddress ParseAddress(std::string_view value);
