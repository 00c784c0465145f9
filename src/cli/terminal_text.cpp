#include "cli/terminal_text.h"

namespace {

// The length of the well-formed UTF-8 sequence starting at i, or 0.
size_t Utf8Length(const std::string& text, size_t i) {
    unsigned char lead = static_cast<unsigned char>(text[i]);
    size_t length = lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 && lead <= 0xDF ? 2 : 0;
    if (length == 0 || i + length > text.size())
        return 0;
    for (size_t k = 1; k < length; ++k) {
        unsigned char next = static_cast<unsigned char>(text[i + k]);
        if (next < 0x80 || next > 0xBF)
            return 0;
    }
    return length;
}

bool IsC1InUtf8(const std::string& text, size_t i) {
    return static_cast<unsigned char>(text[i]) == 0xC2 && static_cast<unsigned char>(text[i + 1]) <= 0x9F;
}

} // namespace

std::string TerminalSafe(const std::string& text, bool keepLineFeeds) {
    std::string safe;
    safe.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            bool allowed = c == '\t' || (c == '\n' && keepLineFeeds) || (c >= 0x20 && c != 0x7F);
            safe += allowed ? static_cast<char>(c) : '?';
            ++i;
            continue;
        }
        size_t length = Utf8Length(text, i);
        if (length == 0) {
            // A byte outside UTF-8: in an 8-bit terminal 0x80..0x9F are controls.
            safe += c <= 0x9F ? '?' : static_cast<char>(c);
            ++i;
        } else if (length == 2 && IsC1InUtf8(text, i)) {
            safe += '?';
            i += 2;
        } else {
            safe.append(text, i, length);
            i += length;
        }
    }
    return safe;
}
