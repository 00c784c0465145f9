#include "records/password_scramble.h"

#include "records/base64.h"

#include <gtest/gtest.h>

namespace {

// Every byte value appears once the text reaches 256 bytes (7 is odd).
std::string TextOfLength(size_t length) {
    std::string text(length, '\0');
    for (size_t i = 0; i < length; ++i)
        text[i] = static_cast<char>((i * 7 + length) & 0xFF);
    return text;
}

} // namespace

TEST(ScramblePassword, KnownValues) {
    EXPECT_EQ(ScramblePassword(""), "<>");
    EXPECT_EQ(ScramblePassword("A"), "<PQ==>");
    EXPECT_EQ(ScramblePassword("AB"), "<PUc=>");
    EXPECT_EQ(ScramblePassword("secret"), "<DyV0Yqb1>");
    EXPECT_EQ(UnscramblePassword("<>"), "");
    EXPECT_EQ(UnscramblePassword(""), "");
    EXPECT_EQ(UnscramblePassword("<DyV0Yqb1>"), "secret");
}

TEST(ScramblePassword, RoundTripsEveryLengthUpTo300) {
    for (size_t length = 0; length <= 300; ++length) {
        std::string clear = TextOfLength(length);
        std::string stored = ScramblePassword(clear);
        ASSERT_GE(stored.size(), 2u);
        ASSERT_EQ(stored.front(), '<');
        ASSERT_EQ(stored.back(), '>');
        std::string base64 = stored.substr(1, stored.size() - 2);
        ASSERT_EQ(Base64Decode(base64).size(), length) << "proper RFC 4648 text";
        if (length > 0) {
            EXPECT_NE(Base64Decode(base64), clear) << "the bytes are transformed";
        }
        ASSERT_EQ(UnscramblePassword(stored), clear) << "length " << length;
    }
}

TEST(ScramblePassword, RunsOnPast255Bytes) {
    // Bytes 253..259 of 260 "x": the state keeps its update past byte 255.
    std::string stored = ScramblePassword(std::string(260, 'x'));
    ASSERT_EQ(stored.size(), 350u);
    EXPECT_EQ(stored.substr(stored.size() - 17), "rZqst7TI+WhCDhY=>");
}

TEST(UnscramblePassword, LegacyForm) {
    struct Case {
        std::string stored, clear;
    } cases[] = {
        {"IXJJ", "pass"},
        {"X", "a"},
        {"\x0C", "\xAD"},               // the subtraction wraps below zero
        {std::string(1, '\0'), "\xB9"}, // and again at zero
        {"<", "\x7D"},                  // too short to be the wrapped form
        {"<abc", "\x7D\x18\x1B\x1A"},
        {"abc>", "\x18\x1B\x1A\x7F"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(UnscramblePassword(c.stored), c.clear) << c.stored;
}
