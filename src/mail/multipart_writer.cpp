#include "mail/multipart_writer.h"

#include "mail/charset_conversion.h"
#include "mail/encoded_words.h"
#include "mail/header_lines.h"
#include "mail/mime_parameters.h"
#include "mail/quoted_printable.h"
#include "platform/mail_transport_error.h"
#include "platform/paths.h"
#include "records/base64.h"
#include "records/text_helpers.h"

namespace {

constexpr size_t Base64LineLength = 76;

void AppendBase64Lines(const std::string& bytes, std::vector<std::string>& out) {
    std::string encoded = Base64Encode(bytes);
    for (size_t position = 0; position < encoded.size(); position += Base64LineLength) {
        out.push_back(encoded.substr(position, Base64LineLength));
    }
}

std::string QuotedParameter(const std::string& text) {
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') {
            quoted += '\\';
        }
        quoted += c;
    }
    return quoted + '"';
}

void AppendTextPart(const MessagePart& part, std::vector<std::string>& out) {
    AppendFoldedHeaderLine("Content-Type: " + (part.ContentType.empty() ? "text/plain" : part.ContentType), out);
    if (!part.ContentTransferEncoding.empty()) {
        AppendFoldedHeaderLine("Content-Transfer-Encoding: " + part.ContentTransferEncoding, out);
    }
    out.emplace_back();
    std::string encoding = MediaType(part.ContentTransferEncoding);
    if (encoding == "base64") {
        AppendBase64Lines(JoinWith(part.Lines, "\r\n"), out);
    } else if (encoding == "quoted-printable") {
        std::vector<std::string> encoded = EncodeQuotedPrintable(JoinWith(part.Lines, "\r\n"));
        out.insert(out.end(), encoded.begin(), encoded.end());
    } else {
        out.insert(out.end(), part.Lines.begin(), part.Lines.end());
    }
}

void AppendAttachment(const MessagePart& part, std::vector<std::string>& out) {
    std::string content;
    if (!ReadWholeFile(part.StoredPathName, content)) {
        throw MailTransportError("Cannot read attachment file " + part.StoredPathName);
    }
    std::string fileName = QuotedParameter(EncodeHeaderWords(part.FileName));
    std::string contentType = part.ContentType.empty() ? "application/octet-stream" : part.ContentType;
    if (HeaderParameter(contentType, "name").empty() && !part.FileName.empty()) {
        contentType += "; name=" + fileName;
    }
    AppendFoldedHeaderLine("Content-Type: " + contentType, out);
    out.emplace_back("Content-Transfer-Encoding: base64");
    AppendFoldedHeaderLine(
        "Content-Disposition: attachment" + (part.FileName.empty() ? std::string() : "; filename=" + fileName), out);
    out.emplace_back();
    AppendBase64Lines(content, out);
}

} // namespace

std::vector<std::string> MultipartBodyLines(const std::vector<MessagePart>& parts,
                                            const std::vector<std::string>& bodyLines, const std::string& boundary) {
    std::vector<std::string> out = {"This is a multi-part message in MIME format", ""};
    if (!bodyLines.empty()) {
        MessagePart body;
        body.ContentType = "text/plain; charset=\"" + LocaleCharset() + "\"";
        body.Lines = bodyLines;
        out.push_back("--" + boundary);
        AppendTextPart(body, out);
    }
    for (const MessagePart& part : parts) {
        if (!part.IsAttachment() && MediaType(part.ContentType).rfind("multipart/", 0) == 0) {
            continue;
        }
        out.push_back("--" + boundary);
        if (part.IsAttachment()) {
            AppendAttachment(part, out);
        } else {
            AppendTextPart(part, out);
        }
    }
    out.push_back("--" + boundary + "--");
    return out;
}
