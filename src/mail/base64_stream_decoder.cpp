#include "mail/base64_stream_decoder.h"

#include <array>

namespace {

constexpr uint8_t Skip = 0x40;
constexpr uint8_t Pad = 0x80;

constexpr std::array<uint8_t, 256> MakeTable() {
    std::array<uint8_t, 256> table{};
    for (auto& entry : table) {
        entry = Skip;
    }
    const char* alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    for (uint8_t i = 0; i < 64; ++i) {
        table[static_cast<unsigned char>(alphabet[i])] = i;
    }
    table['='] = Pad;
    return table;
}

constexpr std::array<uint8_t, 256> Table = MakeTable();

} // namespace

void Base64StreamDecoder::Feed(std::string_view text, std::string& out) {
    size_t start = out.size();
    // At most three bytes per four characters, plus a group carried over from the last piece.
    out.resize(start + text.size() / 4 * 3 + 6);
    char* output = out.data() + start;
    const unsigned char* position = reinterpret_cast<const unsigned char*>(text.data());
    const unsigned char* end = position + text.size();

    while (position < end) {
        // Whole groups of four alphabet characters, the common case, without per-character branches.
        if (m_count == 0) {
            while (end - position >= 4) {
                uint32_t a = Table[position[0]], b = Table[position[1]], c = Table[position[2]], d = Table[position[3]];
                if ((a | b | c | d) & 0xC0) {
                    break;
                }
                uint32_t group = (a << 18) | (b << 12) | (c << 6) | d;
                output[0] = static_cast<char>(group >> 16);
                output[1] = static_cast<char>(group >> 8);
                output[2] = static_cast<char>(group);
                output += 3;
                position += 4;
            }
        }
        if (position >= end) {
            break;
        }
        // One irregular character (or a group split across pieces), then back to the fast loop.
        const unsigned char* next = position + 1;
        FeedSlowly(position, next, output);
        position = next;
    }
    out.resize(static_cast<size_t>(output - out.data()));
}

void Base64StreamDecoder::FeedSlowly(const unsigned char* begin, const unsigned char* end, char*& output) {
    for (const unsigned char* position = begin; position < end; ++position) {
        uint8_t value = Table[*position];
        if (value == Skip) {
            continue;
        }
        if (value == Pad) {
            FlushGroup(output);
            continue;
        }
        m_bits = (m_bits << 6) | value;
        if (++m_count == 4) {
            output[0] = static_cast<char>(m_bits >> 16);
            output[1] = static_cast<char>(m_bits >> 8);
            output[2] = static_cast<char>(m_bits);
            output += 3;
            m_bits = 0;
            m_count = 0;
        }
    }
}

void Base64StreamDecoder::FlushGroup(char*& output) {
    if (m_count == 2) {
        *output++ = static_cast<char>(m_bits >> 4);
    } else if (m_count == 3) {
        *output++ = static_cast<char>(m_bits >> 10);
        *output++ = static_cast<char>(m_bits >> 2);
    }
    m_bits = 0;
    m_count = 0;
}

void Base64StreamDecoder::Finish(std::string& out) {
    char buffer[2];
    char* output = buffer;
    FlushGroup(output);
    out.append(buffer, static_cast<size_t>(output - buffer));
}

std::string DecodeBase64Text(std::string_view text) {
    std::string out;
    Base64StreamDecoder decoder;
    decoder.Feed(text, out);
    decoder.Finish(out);
    return out;
}
