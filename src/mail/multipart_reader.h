#pragma once

#include "mail/message_part.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

// Reads a MIME multipart body (RFC 2046) into parts, one (dot-unstuffed)
// line at a time.
//
// Each nested multipart adds a text part carrying its content type, followed
// by its own parts. A part with a file name (the "filename" of its
// "Content-Disposition" or the "name" of its "Content-Type") becomes an
// attachment whose decoded content goes to a new temporary file
// (part_files.h); its file name is only recorded. Any other part becomes a
// text part with its decoded lines; a part without "Content-Type" is
// "text/plain". base64 and quoted-printable are decoded.
//
// Work is bounded for any input: nothing recurses, and a multipart nested
// deeper than MaxMultipartDepth is kept as one undecoded text part.
//
// Raises MailTransportError when a temporary file cannot be written.
class MultipartReader {
public:
    static constexpr int MaxMultipartDepth = 32;

    MultipartReader(const std::string& boundary, std::vector<MessagePart>& parts);
    ~MultipartReader();
    MultipartReader(const MultipartReader&) = delete;
    MultipartReader& operator=(const MultipartReader&) = delete;

    void FeedLine(std::string_view line);
    // Completes a part left open by a body that ends without its closing boundary.
    void Finish();

    // False until the first boundary line has been seen.
    bool SawBoundary() const { return m_sawBoundary; }

private:
    class PartBuilder;
    enum class State { Preamble, PartHeaders, PartBody, Epilogue };

    // Index of the open multipart whose delimiter the line is, or -1; sets closing for "--boundary--".
    int MatchDelimiter(std::string_view line, bool& closing) const;
    void OnDelimiter(size_t level, bool closing);
    void OnHeadersComplete();
    void FinishPart();

    struct Level {
        std::string Delimiter; // "--" + boundary
    };
    std::vector<Level> m_levels;
    std::vector<MessagePart>& m_parts;
    State m_state = State::Preamble;
    std::vector<std::string> m_partHeaders;
    std::unique_ptr<PartBuilder> m_part;
    bool m_sawBoundary = false;
};
