#include "records/password_scramble.h"

#include "records/base64.h"

#include <cstdint>

namespace {

constexpr uint16_t StreamKey = 31859;
constexpr uint16_t StreamMultiplier = 52387;
constexpr uint16_t StreamIncrement = 24913;
constexpr unsigned char LegacyOffset = 0x1C;
constexpr unsigned char LegacyMask = 0x5D;

enum class Direction { Scramble, Unscramble };

// Each byte is XORed with the state's high byte; the state then advances by
// the scrambled byte, so the same update serves both directions. Texts past
// 255 bytes simply run on with the same update.
std::string StreamTransform(const std::string& input, Direction direction) {
    std::string output(input.size(), '\0');
    uint16_t state = StreamKey;
    for (size_t i = 0; i < input.size(); ++i) {
        auto in = static_cast<unsigned char>(input[i]);
        auto out = static_cast<unsigned char>(in ^ (state >> 8));
        output[i] = static_cast<char>(out);
        unsigned scrambled = direction == Direction::Scramble ? out : in;
        state = static_cast<uint16_t>((uint32_t{state} + scrambled) * StreamMultiplier + StreamIncrement);
    }
    return output;
}

std::string UnscrambleLegacy(const std::string& stored) {
    std::string clear(stored.size(), '\0');
    for (size_t i = 0; i < stored.size(); ++i) {
        auto c = static_cast<unsigned char>(stored[i]);
        clear[i] = static_cast<char>(static_cast<unsigned char>(c - LegacyOffset) ^ LegacyMask);
    }
    return clear;
}

} // namespace

std::string ScramblePassword(const std::string& clear) {
    return "<" + Base64Encode(StreamTransform(clear, Direction::Scramble)) + ">";
}

std::string UnscramblePassword(const std::string& stored) {
    if (stored.empty())
        return {};
    if (stored.size() >= 2 && stored.front() == '<' && stored.back() == '>') {
        std::string_view inner(stored.data() + 1, stored.size() - 2);
        return StreamTransform(Base64DecodeLenient(inner), Direction::Unscramble);
    }
    return UnscrambleLegacy(stored);
}
