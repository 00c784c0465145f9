#pragma once

#include "mail/message_part.h"

#include <string>
#include <vector>

// Writes the lines of a MIME multipart body (RFC 2046) for a composed
// message: the preamble line "This is a multi-part message in MIME format",
// then each part between boundary lines and the closing boundary. Text parts
// are encoded as their transfer encoding says (base64, quoted-printable, or
// as they stand); attachments are read from their files and written in
// base64 with their file names. Body lines given beside the parts come first,
// as a text part. Parts that only carry a nested multipart's content type
// are left out (their parts follow them).
// Raises MailTransportError when an attachment file cannot be read.
std::vector<std::string> MultipartBodyLines(const std::vector<MessagePart>& parts,
                                            const std::vector<std::string>& bodyLines, const std::string& boundary);
