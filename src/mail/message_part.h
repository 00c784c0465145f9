#pragma once

#include <string>
#include <vector>

enum class MessagePartKind { Text, Attachment };

// One body part of a decoded MIME message. A text part holds its decoded
// lines; an attachment holds the file name the message gives it (never used
// as a path) and the path of the temporary file with its decoded content.
struct MessagePart {
    MessagePartKind Kind = MessagePartKind::Text;
    // Raw value of the part's "Content-Type", parameters included.
    std::string ContentType;
    std::string ContentTransferEncoding;
    std::vector<std::string> Lines;
    std::string FileName;
    std::string StoredPathName;

    bool IsAttachment() const { return Kind == MessagePartKind::Attachment; }
};
