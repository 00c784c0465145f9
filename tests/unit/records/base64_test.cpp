#include "records/base64.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

struct Vector {
    std::string bytes, text;
};

// RFC 4648, section 10, and two groups holding every bit pattern's extremes.
const Vector Vectors[] = {
    {"", ""},
    {"f", "Zg=="},
    {"fo", "Zm8="},
    {"foo", "Zm9v"},
    {"foob", "Zm9vYg=="},
    {"fooba", "Zm9vYmE="},
    {"foobar", "Zm9vYmFy"},
    {std::string("\x00\x00\x00", 3), "AAAA"},
    {"\xFF\xFF\xFF\xFB\xEF", "////++8="},
};

} // namespace

TEST(Base64, EncodesAndDecodesTestVectors) {
    for (const auto& v : Vectors) {
        EXPECT_EQ(Base64Encode(v.bytes), v.text);
        EXPECT_EQ(Base64Decode(v.text), v.bytes) << v.text;
        EXPECT_EQ(Base64DecodeLenient(v.text), v.bytes) << v.text;
    }
}

TEST(Base64, StrictDecoderRefusesMalformedText) {
    for (const char* text : {"Zg=", "Zg", "Zg=a", "Z===", "====", "=Zg=", "Zh==", "Zm9=", "Zg==Zg==", "Zm9v\r\n",
                             "Zm 9", "Zm9*", "Zm9v-_=="}) {
        EXPECT_THROW(Base64Decode(text), std::invalid_argument) << text;
    }
}

TEST(Base64, LenientDecoderFollowsThePasswordRules) {
    struct Case {
        const char* text;
        std::string expected;
    } cases[] = {
        {"QQ==", "A"},                     // the zero incomplete byte goes at "="
        {"QUE=", "AA"},                    // the same after three characters
        {"QQ", std::string("A\0", 2)},     // without "=" the incomplete byte stays
        {"QR==", "A\x10"},                 // a non-zero incomplete byte stays
        {"QUJD=", "ABC"},                  // a complete non-zero last byte stays
        {"QUA=", "A@"},                    // only one zero byte is removed
        {"AAAA=", std::string("\0\0", 2)}, // "=" after a whole group drops a zero byte
        {"QQ==QUJD", "A"},                 // "=" ends the decoding
        {"QUJD\r\nQUJD", "ABC"},           // so does any character outside the alphabet
        {"QUJDR", "ABCD"},                 // a group's first character produces its byte at once
        {"", ""},
        {"*", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Base64DecodeLenient(c.text), c.expected) << c.text;
}
