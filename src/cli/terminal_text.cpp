#include "cli/terminal_text.h"

namespace {

bool IsContinuation(unsigned char c) {
    return c >= 0x80 && c <= 0xBF;
}

// The range the byte after lead must lie in for the shortest form of a code
// point up to U+10FFFF, without surrogates.
void SecondByteRange(unsigned char lead, unsigned char& low, unsigned char& high) {
    low = 0x80;
    high = 0xBF;
    if (lead == 0xE0)
        low = 0xA0; // shorter forms of U+0000..U+07FF
    else if (lead == 0xED)
        high = 0x9F; // surrogates
    else if (lead == 0xF0)
        low = 0x90; // shorter forms of U+0000..U+FFFF
    else if (lead == 0xF4)
        high = 0x8F; // above U+10FFFF
}

// The length of the well-formed UTF-8 sequence starting at i, or 0: overlong
// forms, surrogates and code points above U+10FFFF are not well-formed, so a
// terminal that decodes them leniently never receives them whole.
size_t Utf8Length(const std::string& text, size_t i) {
    unsigned char lead = static_cast<unsigned char>(text[i]);
    size_t length = lead >= 0xF0 && lead <= 0xF4   ? 4
                    : lead >= 0xE0 && lead <= 0xEF ? 3
                    : lead >= 0xC2 && lead <= 0xDF ? 2
                                                   : 0;
    if (length == 0 || i + length > text.size())
        return 0;
    unsigned char low = 0, high = 0;
    SecondByteRange(lead, low, high);
    unsigned char second = static_cast<unsigned char>(text[i + 1]);
    if (second < low || second > high)
        return 0;
    for (size_t k = 2; k < length; ++k)
        if (!IsContinuation(static_cast<unsigned char>(text[i + k])))
            return 0;
    return length;
}

// U+0080..U+009F, which has only this one well-formed encoding.
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
            // A byte outside UTF-8, taken alone: in an 8-bit terminal
            // 0x80..0x9F are controls.
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

std::string TerminalSafeLines(const std::string& text) {
    std::string lines;
    lines.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        lines += text[i];
    }
    return TerminalSafe(lines, true);
}

namespace {

// The length of the character starting at i.
size_t CharacterLength(const std::string& text, size_t i) {
    size_t length = static_cast<unsigned char>(text[i]) < 0x80 ? 1 : Utf8Length(text, i);
    return length == 0 ? 1 : length;
}

} // namespace

size_t CharacterCount(const std::string& text) {
    size_t count = 0;
    for (size_t i = 0; i < text.size(); i += CharacterLength(text, i))
        ++count;
    return count;
}

std::string PadToWidth(const std::string& text, size_t width) {
    size_t count = CharacterCount(text);
    return count >= width ? text : text + std::string(width - count, ' ');
}

std::string TerminalColumn(const std::string& text, size_t width) {
    std::string safe = TerminalSafe(text);
    if (CharacterCount(safe) <= width)
        return PadToWidth(safe, width);
    const size_t kept = width > 3 ? width - 3 : 0;
    size_t end = 0;
    for (size_t count = 0; count < kept; ++count)
        end += CharacterLength(safe, end);
    return PadToWidth(safe.substr(0, end) + std::string("...").substr(0, width - kept), width);
}
