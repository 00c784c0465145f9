#include "mail/uuencoded_blocks.h"

#include "mail/part_files.h"
#include "mail/uudecode.h"

namespace {

struct Block {
    size_t Begin; // the "begin" line
    size_t End;   // the "end" line
    std::string Name;
};

size_t FindBlockEnd(const std::vector<std::string>& lines, size_t begin) {
    for (size_t i = begin + 1; i < lines.size(); ++i) {
        if (IsUuencodeEnd(lines[i])) {
            return i;
        }
    }
    return lines.size();
}

std::vector<Block> FindBlocks(const std::vector<std::string>& lines) {
    std::vector<Block> blocks;
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string name;
        if (IsUuencodeBegin(lines[i], name)) {
            size_t end = FindBlockEnd(lines, i);
            if (end == lines.size()) {
                // No later block can be closed either.
                break;
            }
            blocks.push_back({i, end, name});
            i = end;
        }
    }
    return blocks;
}

MessagePart DecodeBlock(const std::vector<std::string>& lines, const Block& block) {
    std::string bytes;
    for (size_t i = block.Begin + 1; i < block.End; ++i) {
        DecodeUuencodedLine(lines[i], bytes);
    }
    MessagePart part;
    part.Kind = MessagePartKind::Attachment;
    part.ContentType = "application/octet-stream";
    part.FileName = block.Name;
    part.StoredPathName = WritePartFile(bytes);
    return part;
}

} // namespace

void ExtractUuencodedBlocks(std::vector<std::string>& bodyLines, const std::string& contentType,
                            std::vector<MessagePart>& parts) {
    std::vector<Block> blocks = FindBlocks(bodyLines);
    if (blocks.empty()) {
        return;
    }
    MessagePart textPart;
    textPart.ContentType = contentType.empty() ? "text/plain" : contentType;
    size_t next = 0;
    for (const Block& block : blocks) {
        textPart.Lines.insert(textPart.Lines.end(), bodyLines.begin() + static_cast<long>(next),
                              bodyLines.begin() + static_cast<long>(block.Begin));
        next = block.End + 1;
    }
    textPart.Lines.insert(textPart.Lines.end(), bodyLines.begin() + static_cast<long>(next), bodyLines.end());
    // Parts are added one by one, so the message owns every file written before a failure.
    parts.push_back(textPart);
    for (const Block& block : blocks) {
        parts.push_back(DecodeBlock(bodyLines, block));
    }
    bodyLines = std::move(textPart.Lines);
}
