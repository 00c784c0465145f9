#include "records/base64.h"

#include <array>
#include <stdexcept>

namespace {

constexpr char Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// Value of each byte in the alphabet, or -1.
constexpr std::array<int, 256> DecodeTable = [] {
    std::array<int, 256> table{};
    table.fill(-1);
    for (int i = 0; i < 64; ++i)
        table[static_cast<unsigned char>(Alphabet[i])] = i;
    return table;
}();

int ValueOf(char c) {
    return DecodeTable[static_cast<unsigned char>(c)];
}

[[noreturn]] void Invalid() {
    throw std::invalid_argument("Invalid Base64 text");
}

} // namespace

std::string Base64Encode(std::string_view bytes) {
    std::string text;
    text.reserve((bytes.size() + 2) / 3 * 4);
    size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        uint32_t group = static_cast<unsigned char>(bytes[i]) << 16 | static_cast<unsigned char>(bytes[i + 1]) << 8 |
                         static_cast<unsigned char>(bytes[i + 2]);
        text += Alphabet[group >> 18];
        text += Alphabet[(group >> 12) & 63];
        text += Alphabet[(group >> 6) & 63];
        text += Alphabet[group & 63];
    }
    size_t left = bytes.size() - i;
    if (left > 0) {
        uint32_t group = static_cast<unsigned char>(bytes[i]) << 16;
        if (left == 2)
            group |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        text += Alphabet[group >> 18];
        text += Alphabet[(group >> 12) & 63];
        text += left == 2 ? Alphabet[(group >> 6) & 63] : '=';
        text += '=';
    }
    return text;
}

std::string Base64Decode(std::string_view text) {
    if (text.size() % 4 != 0)
        Invalid();
    std::string bytes;
    bytes.reserve(text.size() / 4 * 3);
    for (size_t i = 0; i < text.size(); i += 4) {
        bool last = i + 4 == text.size();
        size_t padding = 0;
        if (last && text[i + 3] == '=')
            padding = text[i + 2] == '=' ? 2 : 1;
        uint32_t group = 0;
        for (size_t k = 0; k < 4 - padding; ++k) {
            int value = ValueOf(text[i + k]);
            if (value < 0)
                Invalid();
            group |= static_cast<uint32_t>(value) << (18 - 6 * k);
        }
        // The bits a padded group leaves over must be zero (RFC 4648, 3.5).
        if ((padding == 1 && (group & 0xFF) != 0) || (padding == 2 && (group & 0xFFFF) != 0))
            Invalid();
        bytes += static_cast<char>(group >> 16);
        if (padding < 2)
            bytes += static_cast<char>((group >> 8) & 0xFF);
        if (padding < 1)
            bytes += static_cast<char>(group & 0xFF);
    }
    return bytes;
}

std::string Base64DecodeLenient(std::string_view text) {
    std::string bytes;
    int position = 0; // of the character within its group of four
    for (char c : text) {
        if (c == '=') {
            if (!bytes.empty() && bytes.back() == '\0')
                bytes.pop_back();
            break;
        }
        int value = ValueOf(c);
        if (value < 0)
            break;
        switch (position) {
        case 0:
            bytes += static_cast<char>(value << 2);
            break;
        case 1:
            bytes.back() = static_cast<char>(bytes.back() | value >> 4);
            bytes += static_cast<char>((value & 0x0F) << 4);
            break;
        case 2:
            bytes.back() = static_cast<char>(bytes.back() | value >> 2);
            bytes += static_cast<char>((value & 0x03) << 6);
            break;
        default:
            bytes.back() = static_cast<char>(bytes.back() | value);
            break;
        }
        position = (position + 1) % 4;
    }
    return bytes;
}
