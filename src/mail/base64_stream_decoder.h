#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Decodes base64 (RFC 2045) text that arrives in pieces, typically one body
// line at a time, appending the bytes to an output buffer. Characters outside
// the alphabet (line breaks, blanks, garbage) are skipped. Padding ends a
// group; data after it is decoded as a new run, as some mailers concatenate
// separately encoded chunks.
class Base64StreamDecoder {
public:
    void Feed(std::string_view text, std::string& out);
    // Writes the bytes of an unpadded last group; the decoder is then reset.
    void Finish(std::string& out);

private:
    void FeedSlowly(const unsigned char* begin, const unsigned char* end, char*& output);
    void FlushGroup(char*& output);

    uint32_t m_bits = 0;
    int m_count = 0;
};

// Decodes a whole base64 text.
std::string DecodeBase64Text(std::string_view text);
