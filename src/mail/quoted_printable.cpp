#include "mail/quoted_printable.h"

#include "mail/hex_escapes.h"

#include "mail/line_reader.h"

namespace {

std::string_view WithoutTrailingBlanks(std::string_view line) {
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) {
        line.remove_suffix(1);
    }
    return line;
}

constexpr size_t MaxEncodedLength = 76;

std::string EncodedByte(unsigned char c) {
    const char* digits = "0123456789ABCDEF";
    return std::string{'=', digits[c >> 4], digits[c & 15]};
}

void EncodeLine(std::string_view line, std::vector<std::string>& lines) {
    std::string current;
    for (size_t i = 0; i < line.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(line[i]);
        bool last = i + 1 == line.size();
        bool literal = (c >= 33 && c <= 126 && c != '=') || ((c == ' ' || c == '\t') && !last);
        std::string piece = literal ? std::string(1, static_cast<char>(c)) : EncodedByte(c);
        // Room for the "=" of a soft line break.
        if (current.size() + piece.size() > MaxEncodedLength - 1) {
            lines.push_back(current + "=");
            current.clear();
        }
        current += piece;
    }
    lines.push_back(current);
}

} // namespace

void QuotedPrintableDecoder::FeedLine(std::string_view line, std::string& out) {
    if (m_pendingBreak) {
        out += "\r\n";
    }
    line = WithoutTrailingBlanks(line);
    bool softBreak = !line.empty() && line.back() == '=';
    if (softBreak) {
        line.remove_suffix(1);
    }
    for (size_t i = 0; i < line.size(); ++i) {
        if (char byte; HexEscapeAt(line, i, '=', byte)) {
            out += byte;
            i += 2;
        } else {
            out += line[i];
        }
    }
    m_pendingBreak = !softBreak;
}

std::vector<std::string> EncodeQuotedPrintable(std::string_view text) {
    std::vector<std::string> lines;
    LineReader reader(text);
    std::string_view line;
    while (reader.Next(line)) {
        EncodeLine(line, lines);
    }
    return lines;
}
