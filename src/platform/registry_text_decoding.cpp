#include "platform/registry_text_decoding.h"

#include "platform/hex_digit.h"
#include "platform/registry_hive.h"
#include "platform/windows_text.h"

namespace {

std::string NarrowFromUtf16(const std::u16string& units) {
    std::string bytes;
    bytes.reserve(units.size() * 2);
    for (char16_t unit : units) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return NarrowFromUtf16Bytes(bytes);
}

char16_t ControlEscape(char e) {
    switch (e) {
    case 'a':
        return u'\a';
    case 'b':
        return u'\b';
    case 'e':
        return char16_t{27};
    case 'f':
        return u'\f';
    case 'n':
        return u'\n';
    case 'r':
        return u'\r';
    case 't':
        return u'\t';
    case 'v':
        return u'\v';
    default:
        return 0;
    }
}

// The unit an escape after "\" names; position is just after the letter e.
char16_t WineEscape(char e, std::string_view text, size_t& position) {
    if (char16_t control = ControlEscape(e))
        return control;
    if (e == 'x') {
        unsigned value = 0;
        int digits = 0;
        while (digits < 4 && position < text.size() && HexDigitValue(text[position]) >= 0) {
            value = value * 16 + static_cast<unsigned>(HexDigitValue(text[position++]));
            ++digits;
        }
        return digits ? static_cast<char16_t>(value) : u'x';
    }
    if (e >= '0' && e <= '7') {
        unsigned value = static_cast<unsigned>(e - '0');
        for (int digits = 1; digits < 3 && position < text.size() && text[position] >= '0' && text[position] <= '7';
             ++digits)
            value = value * 8 + static_cast<unsigned>(text[position++] - '0');
        return static_cast<char16_t>(value);
    }
    return static_cast<char16_t>(static_cast<unsigned char>(e));
}

bool ReadWineUnits(std::string_view text, size_t& position, char close, std::u16string& out) {
    while (position < text.size()) {
        char c = text[position++];
        if (c == close)
            return true;
        if (c != '\\') {
            out += static_cast<char16_t>(static_cast<unsigned char>(c));
            continue;
        }
        if (position >= text.size())
            return false;
        char e = text[position++];
        out += WineEscape(e, text, position);
    }
    return false;
}

} // namespace

std::string DecodeRegistryFileText(std::string_view raw) {
    if (raw.size() >= 2 && static_cast<unsigned char>(raw[0]) == 0xFF && static_cast<unsigned char>(raw[1]) == 0xFE)
        return NarrowFromUtf16Bytes(raw.substr(2));
    if (raw.size() >= 3 && raw.substr(0, 3) == "\xEF\xBB\xBF")
        return std::string(raw.substr(3));
    return std::string(raw);
}

bool ReadWineString(std::string_view text, size_t& position, char close, std::string& out) {
    std::u16string units;
    if (!ReadWineUnits(text, position, close, units))
        return false;
    out = NarrowFromUtf16(units);
    return true;
}

bool ReadRegeditString(std::string_view text, size_t& position, std::string& out) {
    while (position < text.size()) {
        char c = text[position++];
        if (c == '"')
            return true;
        if (c != '\\' || position >= text.size()) {
            out += c;
            continue;
        }
        char e = text[position++];
        if (e == 'n')
            out += '\n';
        else if (e == 'r')
            out += '\r';
        else if (e == '0')
            out += '\0';
        else if (e == '\\' || e == '"')
            out += e;
        else {
            out += '\\';
            out += e;
        }
    }
    return false;
}

bool ReadRegistryTypeNumber(std::string_view data, size_t& position, uint32_t& type) {
    uint64_t number = 0;
    size_t digits = 0;
    while (position < data.size() && HexDigitValue(data[position]) >= 0 && digits < 8) {
        number = number * 16 + static_cast<uint64_t>(HexDigitValue(data[position++]));
        ++digits;
    }
    if (digits == 0 || position >= data.size() || data[position] != ')')
        return false;
    ++position;
    type = static_cast<uint32_t>(number);
    return true;
}

bool DecodeRegistryDword(std::string_view digits, std::string& bytes) {
    if (digits.empty() || digits.size() > 8)
        return false;
    uint32_t number = 0;
    for (char c : digits) {
        int digit = HexDigitValue(c);
        if (digit < 0)
            return false;
        number = number * 16 + static_cast<uint32_t>(digit);
    }
    bytes.clear();
    for (int shift = 0; shift < 32; shift += 8)
        bytes += static_cast<char>((number >> shift) & 0xFF);
    return true;
}

bool DecodeRegistryHexBytes(std::string_view text, std::string& bytes) {
    size_t position = 0;
    auto skipSpace = [&] {
        while (position < text.size() && (text[position] == ' ' || text[position] == '\t'))
            ++position;
    };
    skipSpace();
    while (position < text.size()) {
        if (position + 1 >= text.size())
            return false;
        int high = HexDigitValue(text[position]);
        int low = HexDigitValue(text[position + 1]);
        if (high < 0 || low < 0)
            return false;
        bytes += static_cast<char>(high * 16 + low);
        position += 2;
        skipSpace();
        if (position < text.size()) {
            if (text[position] != ',')
                return false;
            ++position;
            skipSpace();
        }
    }
    return true;
}

std::string CutRegistryStringData(const std::string& text, uint32_t type) {
    if (type != RegMultiSz)
        return text.substr(0, text.find('\0'));
    std::string joined;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\0', start);
        if (end == std::string::npos)
            end = text.size();
        if (end == start)
            break;
        if (!joined.empty())
            joined += '\0';
        joined.append(text, start, end - start);
        start = end + 1;
    }
    return joined;
}
