#pragma once

#include <string>
#include <string_view>
#include <vector>

// Quoted-printable (RFC 2045) decoding, one encoded line at a time. The
// decoded lines are joined with CR LF, except where a line ends with a soft
// line break ("="). A malformed "=" sequence is kept as it stands.
class QuotedPrintableDecoder {
public:
    void FeedLine(std::string_view line, std::string& out);

private:
    bool m_pendingBreak = false;
};

// Encodes text (lines separated by CR LF or LF) as quoted-printable lines of
// at most 76 characters.
std::vector<std::string> EncodeQuotedPrintable(std::string_view text);
