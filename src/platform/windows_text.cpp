#include "platform/windows_text.h"

#include <cerrno>
#include <cstdint>
#include <iconv.h>

namespace {

void AppendUtf8(std::string& out, uint32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// Windows-1252 0x80..0x9F; 0 where the code page defines no character.
constexpr uint16_t Cp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

} // namespace

std::string NarrowFromUtf16Bytes(std::string_view bytes) {
    std::string result;
    if (bytes.size() < 2)
        return result;
    iconv_t converter = ::iconv_open("UTF-8", "UTF-16LE");
    if (converter == reinterpret_cast<iconv_t>(-1))
        return result;
    std::string input(bytes.substr(0, bytes.size() & ~size_t{1}));
    char* in = input.data();
    size_t inLeft = input.size();
    std::string buffer(input.size() * 2 + 16, '\0');
    while (inLeft > 0) {
        char* out = buffer.data();
        size_t outLeft = buffer.size();
        size_t rc = ::iconv(converter, &in, &inLeft, &out, &outLeft);
        result.append(buffer.data(), buffer.size() - outLeft);
        if (rc != static_cast<size_t>(-1))
            break;
        if (errno == E2BIG)
            continue;
        if (errno == EILSEQ && inLeft >= 2) {
            result += "\xEF\xBF\xBD";
            in += 2;
            inLeft -= 2;
            continue;
        }
        break;
    }
    ::iconv_close(converter);
    return result;
}

bool IsValidUtf8(std::string_view text) {
    size_t i = 0;
    while (i < text.size()) {
        auto byte = static_cast<unsigned char>(text[i]);
        size_t length = byte < 0x80 ? 1 : (byte >> 5) == 0x6 ? 2 : (byte >> 4) == 0xE ? 3 : (byte >> 3) == 0x1E ? 4 : 0;
        if (length == 0 || i + length > text.size())
            return false;
        uint32_t code = length == 1 ? byte : byte & (0x7F >> length);
        for (size_t k = 1; k < length; ++k) {
            auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (next & 0x3F);
        }
        // Overlong forms, surrogates and values beyond Unicode are not UTF-8.
        static constexpr uint32_t Smallest[5] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < Smallest[length] || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF)
            return false;
        i += length;
    }
    return true;
}

std::string NarrowFromAnsi(std::string_view text) {
    if (IsValidUtf8(text))
        return std::string(text);
    std::string out;
    out.reserve(text.size() * 2);
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80 && byte < 0xA0) {
            uint16_t code = Cp1252High[byte - 0x80];
            AppendUtf8(out, code ? code : 0xFFFD);
        } else {
            AppendUtf8(out, byte);
        }
    }
    return out;
}
