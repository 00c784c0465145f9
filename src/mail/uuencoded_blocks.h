#pragma once

#include "mail/message_part.h"

#include <string>
#include <vector>

// Takes every uuencoded block (from its "begin" line to its "end" line) out
// of the lines of a plain body and makes it an attachment part: the decoded
// content goes to a new temporary file (part_files.h) and the name the block
// gives is only recorded as the file name. When a block was found, the lines
// left around the blocks also become a text part in front of the
// attachments, of the body's content type ("text/plain" when it has none).
// A "begin" line without a matching "end" stays text.
// Raises MailTransportError when a temporary file cannot be written.
void ExtractUuencodedBlocks(std::vector<std::string>& bodyLines, const std::string& contentType,
                            std::vector<MessagePart>& parts);
