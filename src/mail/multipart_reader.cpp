#include "mail/multipart_reader.h"

#include "mail/base64_stream_decoder.h"
#include "mail/encoded_words.h"
#include "mail/header_lines.h"
#include "mail/line_reader.h"
#include "mail/mime_parameters.h"
#include "mail/part_files.h"
#include "mail/quoted_printable.h"

namespace {

std::string FieldValue(const std::vector<std::string>& headers, std::string_view name) {
    int index = FindHeaderLine(headers, name);
    return index < 0 ? std::string() : UnfoldedHeaderValue(headers, static_cast<size_t>(index));
}

bool IsBlankOnly(std::string_view text) {
    for (char c : text) {
        if (c != ' ' && c != '\t') {
            return false;
        }
    }
    return true;
}

enum class TransferEncoding { Identity, Base64, QuotedPrintable };

TransferEncoding EncodingOf(const std::string& value) {
    std::string name = MediaType(value);
    if (name == "base64") {
        return TransferEncoding::Base64;
    }
    if (name == "quoted-printable") {
        return TransferEncoding::QuotedPrintable;
    }
    return TransferEncoding::Identity;
}

} // namespace

// Collects and decodes the body of one part.
class MultipartReader::PartBuilder {
public:
    // An undecoded part keeps its lines exactly as received.
    PartBuilder(const std::vector<std::string>& headers, bool undecoded) {
        m_part.ContentType = FieldValue(headers, "Content-Type");
        if (m_part.ContentType.empty()) {
            m_part.ContentType = "text/plain";
        }
        m_part.ContentTransferEncoding = FieldValue(headers, "Content-Transfer-Encoding");
        m_encoding = undecoded ? TransferEncoding::Identity : EncodingOf(m_part.ContentTransferEncoding);
        std::string fileName = HeaderParameter(FieldValue(headers, "Content-Disposition"), "filename");
        if (fileName.empty()) {
            fileName = HeaderParameter(m_part.ContentType, "name");
        }
        if (!fileName.empty() && !undecoded) {
            m_part.Kind = MessagePartKind::Attachment;
            m_part.FileName = DecodeEncodedWords(fileName);
        }
    }

    void FeedLine(std::string_view line) {
        switch (m_encoding) {
        case TransferEncoding::Base64:
            m_base64.Feed(line, m_bytes);
            break;
        case TransferEncoding::QuotedPrintable:
            m_quotedPrintable.FeedLine(line, m_bytes);
            break;
        case TransferEncoding::Identity:
            if (m_part.IsAttachment()) {
                if (m_lineCount > 0) {
                    m_bytes += "\r\n";
                }
                m_bytes += line;
            } else {
                m_part.Lines.emplace_back(line);
            }
            break;
        }
        ++m_lineCount;
    }

    // Completes the part and appends it to parts.
    void Finish(std::vector<MessagePart>& parts) {
        m_base64.Finish(m_bytes);
        if (m_part.IsAttachment()) {
            m_part.StoredPathName = WritePartFile(m_bytes);
        } else if (m_encoding != TransferEncoding::Identity) {
            LineReader reader(m_bytes);
            std::string_view line;
            while (reader.Next(line)) {
                m_part.Lines.emplace_back(line);
            }
        }
        parts.push_back(std::move(m_part));
    }

private:
    MessagePart m_part;
    TransferEncoding m_encoding = TransferEncoding::Identity;
    std::string m_bytes;
    size_t m_lineCount = 0;
    Base64StreamDecoder m_base64;
    QuotedPrintableDecoder m_quotedPrintable;
};

MultipartReader::MultipartReader(const std::string& boundary, std::vector<MessagePart>& parts) : m_parts(parts) {
    m_levels.push_back({"--" + boundary});
}

MultipartReader::~MultipartReader() = default;

int MultipartReader::MatchDelimiter(std::string_view line, bool& closing) const {
    for (size_t i = m_levels.size(); i-- > 0;) {
        const std::string& delimiter = m_levels[i].Delimiter;
        if (line.size() < delimiter.size() || line.compare(0, delimiter.size(), delimiter) != 0) {
            continue;
        }
        std::string_view rest = line.substr(delimiter.size());
        closing = rest.substr(0, 2) == "--";
        if (closing) {
            rest.remove_prefix(2);
        }
        // Blanks after a delimiter are transport padding.
        if (IsBlankOnly(rest)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void MultipartReader::FeedLine(std::string_view line) {
    if (!m_levels.empty() && line.size() >= 2 && line[0] == '-' && line[1] == '-') {
        bool closing = false;
        int level = MatchDelimiter(line, closing);
        if (level >= 0) {
            OnDelimiter(static_cast<size_t>(level), closing);
            return;
        }
    }
    switch (m_state) {
    case State::Preamble:
    case State::Epilogue:
        break;
    case State::PartHeaders:
        if (line.empty()) {
            OnHeadersComplete();
        } else {
            m_partHeaders.emplace_back(line);
        }
        break;
    case State::PartBody:
        m_part->FeedLine(line);
        break;
    }
}

void MultipartReader::OnDelimiter(size_t level, bool closing) {
    m_sawBoundary = true;
    FinishPart();
    // A delimiter of an enclosing multipart also ends the ones nested in it.
    m_levels.resize(level + 1);
    if (closing) {
        m_levels.pop_back();
        m_state = State::Epilogue;
    } else {
        m_state = State::PartHeaders;
        m_partHeaders.clear();
    }
}

void MultipartReader::OnHeadersComplete() {
    std::string contentType = FieldValue(m_partHeaders, "Content-Type");
    std::string boundary = HeaderParameter(contentType, "boundary");
    bool nested = MediaType(contentType).rfind("multipart/", 0) == 0 && !boundary.empty();
    if (nested && m_levels.size() < static_cast<size_t>(MaxMultipartDepth)) {
        MessagePart container;
        container.ContentType = contentType;
        m_parts.push_back(std::move(container));
        m_levels.push_back({"--" + boundary});
        m_state = State::Preamble;
        m_partHeaders.clear();
        return;
    }
    m_part = std::make_unique<PartBuilder>(m_partHeaders, nested);
    m_partHeaders.clear();
    m_state = State::PartBody;
}

void MultipartReader::FinishPart() {
    if (m_state == State::PartHeaders && !m_partHeaders.empty()) {
        // Headers without a body: an empty part.
        PartBuilder(m_partHeaders, false).Finish(m_parts);
    } else if (m_state == State::PartBody && m_part) {
        m_part->Finish(m_parts);
    }
    m_part.reset();
    m_partHeaders.clear();
}

void MultipartReader::Finish() {
    FinishPart();
    m_state = State::Epilogue;
}
