#include "mail/uudecode.h"

namespace {

unsigned SixBits(char c) {
    return static_cast<unsigned>(c - ' ') & 0x3F;
}

std::string_view TrimEnd(std::string_view text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
        text.remove_suffix(1);
    }
    return text;
}

} // namespace

bool IsUuencodeBegin(std::string_view line, std::string& fileName) {
    if (line.substr(0, 6) != "begin ") {
        return false;
    }
    std::string_view rest = line.substr(6);
    size_t digits = 0;
    while (digits < rest.size() && rest[digits] >= '0' && rest[digits] <= '7') {
        ++digits;
    }
    if (digits < 3 || digits > 4 || digits >= rest.size() || rest[digits] != ' ') {
        return false;
    }
    std::string_view name = TrimEnd(rest.substr(digits + 1));
    if (name.empty()) {
        return false;
    }
    fileName = std::string(name);
    return true;
}

bool IsUuencodeEnd(std::string_view line) {
    return TrimEnd(line) == "end";
}

void DecodeUuencodedLine(std::string_view line, std::string& out) {
    if (line.empty()) {
        return;
    }
    size_t length = SixBits(line[0]);
    size_t position = 1;
    while (length > 0 && position < line.size()) {
        // Short lines are padded: characters beyond the end count as zero bits.
        unsigned group = 0;
        for (size_t i = 0; i < 4; ++i) {
            char c = position + i < line.size() ? line[position + i] : ' ';
            group = (group << 6) | SixBits(c);
        }
        for (int shift = 16; shift >= 0 && length > 0; shift -= 8, --length) {
            out += static_cast<char>((group >> shift) & 0xFF);
        }
        position += 4;
    }
}
