#include "mail/mail_message.h"

#include "mail/address_list_parser.h"
#include "mail/encoded_words.h"
#include "mail/header_lines.h"
#include "mail/line_reader.h"
#include "mail/mail_date.h"
#include "mail/mail_priority.h"
#include "mail/message_header_composer.h"
#include "mail/mime_parameters.h"
#include "mail/multipart_reader.h"
#include "mail/multipart_writer.h"
#include "mail/uuencoded_blocks.h"
#include "platform/atomic_file.h"
#include "platform/identifier.h"
#include "platform/mail_transport_error.h"
#include "platform/paths.h"

#include <stdexcept>

namespace {

void AppendLine(std::string& out, std::string_view line) {
    out += line;
    out += "\r\n";
}

void AppendStuffedLine(std::string& out, std::string_view line) {
    if (!line.empty() && line.front() == '.') {
        out += '.';
    }
    AppendLine(out, line);
}

std::string_view Unstuffed(std::string_view line) {
    if (line.size() >= 2 && line[0] == '.' && line[1] == '.') {
        line.remove_prefix(1);
    }
    return line;
}

MailAddressList DecodedNames(MailAddressList list) {
    for (MailAddress& entry : list) {
        entry.Name = DecodeEncodedWords(entry.Name);
    }
    return list;
}

MailAddress DecodedName(MailAddress address) {
    address.Name = DecodeEncodedWords(address.Name);
    return address;
}

// A boundary of letters, digits, "=", "_" and "-": no base64 or quoted-printable line can contain "=_".
std::string NewBoundary() {
    std::string identifier = NewIdentifierText();
    return "=_Quorvane_" + identifier.substr(1, identifier.size() - 2);
}

} // namespace

void MailMessage::Clear() {
    ClearParts();
    HeaderLines.clear();
    BodyLines.clear();
    ExtraHeaders.clear();
    From = MailAddress();
    ReplyTo.clear();
    To.clear();
    Cc.clear();
    Bcc.clear();
    Subject.clear();
    Date = 0;
    MessageId.clear();
    Priority = 2;
    ContentType.clear();
    ContentTransferEncoding.clear();
    Sender = MailAddress();
    Organization.clear();
    References.clear();
    ReceiptRecipient = MailAddress();
    Newsgroups.clear();
}

std::string MailMessage::HeaderText() const {
    std::string text;
    for (size_t i = 0; i < HeaderLines.size(); ++i) {
        if (i > 0) {
            text += "\r\n";
        }
        text += HeaderLines[i];
    }
    return text;
}

void MailMessage::SetHeaderText(const std::string& text) {
    HeaderLines.clear();
    LineReader reader(text);
    std::string_view line;
    while (reader.Next(line)) {
        HeaderLines.emplace_back(line);
    }
}

std::string MailMessage::HeaderValue(const std::string& name) const {
    int index = FindHeaderLine(HeaderLines, name);
    return index < 0 ? std::string() : UnfoldedHeaderValue(HeaderLines, static_cast<size_t>(index));
}

int MailMessage::IndexOfHeader(const std::string& name) const {
    return FindHeaderLine(HeaderLines, name);
}

void MailMessage::DeleteHeaderLine(int index) {
    if (index < 0 || static_cast<size_t>(index) >= HeaderLines.size()) {
        return;
    }
    // Continuation lines go with their field; left behind they would join the previous one.
    size_t span = HeaderLineSpan(HeaderLines, static_cast<size_t>(index));
    HeaderLines.erase(HeaderLines.begin() + index, HeaderLines.begin() + index + static_cast<long>(span));
}

std::string MailMessage::ReplyToAddress() const {
    return ReplyTo.empty() ? std::string() : ReplyTo.front().Address;
}

void MailMessage::SetExtraHeader(const std::string& name, const std::string& value) {
    int index = FindHeaderLine(ExtraHeaders, name);
    if (value.empty()) {
        if (index >= 0) {
            ExtraHeaders.erase(ExtraHeaders.begin() + index);
        }
        return;
    }
    std::string line = name + ": " + value;
    if (index >= 0) {
        ExtraHeaders[static_cast<size_t>(index)] = line;
    } else {
        ExtraHeaders.push_back(line);
    }
}

void MailMessage::ParseHeaderFields() {
    From = DecodedName(ParseAddress(HeaderValue("From")));
    // Reply-To is taken as it stands: only its address is ever used.
    ReplyTo = ParseAddressList(HeaderValue("Reply-To"));
    To = DecodedNames(ParseAddressList(HeaderValue("To")));
    Cc = DecodedNames(ParseAddressList(HeaderValue("Cc")));
    Bcc = DecodedNames(ParseAddressList(HeaderValue("Bcc")));
    Subject = DecodeEncodedWords(HeaderValue("Subject"));
    Date = ParseMailDate(HeaderValue("Date"));
    MessageId = HeaderValue("Message-Id");
    std::string priority = HeaderValue("Priority");
    Priority = PriorityFromHeaderValue(priority.empty() ? HeaderValue("X-Priority") : priority);
    ContentType = HeaderValue("Content-Type");
    ContentTransferEncoding = HeaderValue("Content-Transfer-Encoding");
    Sender = ParseAddress(HeaderValue("Sender"));
    Organization = HeaderValue("Organization");
    References = HeaderValue("References");
    std::string receipt = HeaderValue("Disposition-Notification-To");
    ReceiptRecipient = ParseAddress(receipt.empty() ? HeaderValue("Return-Receipt-To") : receipt);
    Newsgroups = HeaderValue("Newsgroups");
}

void MailMessage::ReadFromText(const std::string& text) {
    Clear();
    LineReader reader(text);
    std::string_view line;
    bool bodyFollows = false;
    while (reader.Next(line)) {
        if (line.empty()) {
            bodyFollows = true;
            break;
        }
        // Only a last line "." ends a message without a body: files written
        // before header lines were stuffed may hold a "." header line.
        if (line == "." && reader.AtEnd()) {
            break;
        }
        HeaderLines.emplace_back(Unstuffed(line));
    }
    if (bodyFollows) {
        if (RawRead) {
            ReadRawBody(reader);
        } else {
            ReadDecodedBody(reader);
        }
    }
    ParseHeaderFields();
}

void MailMessage::ReadRawBody(LineReader& reader) {
    std::string_view line;
    while (reader.Next(line) && line != ".") {
        BodyLines.emplace_back(Unstuffed(line));
    }
}

void MailMessage::ReadDecodedBody(LineReader& reader) {
    std::string contentType = HeaderValue("Content-Type");
    std::string boundary = HeaderParameter(contentType, "boundary");
    if (boundary.empty()) {
        ReadRawBody(reader);
        ExtractUuencodedBlocks(BodyLines, contentType, Parts);
        return;
    }
    MultipartReader multipart(boundary, Parts);
    std::string_view line;
    while (reader.Next(line) && line != ".") {
        line = Unstuffed(line);
        multipart.FeedLine(line);
        // Kept until a boundary shows, so that a body without one is read as plain text.
        if (!multipart.SawBoundary()) {
            BodyLines.emplace_back(line);
        }
    }
    multipart.Finish();
    if (multipart.SawBoundary()) {
        BodyLines.clear();
    }
}

void MailMessage::WriteTo(std::string& out) const {
    if (RawWrite) {
        WriteLines(HeaderLines, BodyLines, out);
        return;
    }
    std::string boundary = Parts.empty() ? std::string() : NewBoundary();
    std::vector<std::string> header = ComposeHeaderLines(*this, boundary);
    if (Parts.empty()) {
        WriteLines(header, BodyLines, out);
    } else {
        WriteLines(header, MultipartBodyLines(Parts, BodyLines, boundary), out);
    }
}

void MailMessage::WriteLines(const std::vector<std::string>& header, const std::vector<std::string>& body,
                             std::string& out) {
    // Transparency covers every line of the text, header lines included.
    for (const std::string& line : header) {
        AppendStuffedLine(out, line);
    }
    AppendLine(out, "");
    for (const std::string& line : body) {
        AppendStuffedLine(out, line);
    }
}

void MailMessage::SaveToFile(const std::string& path) const {
    std::string content;
    WriteTo(content);
    AppendLine(content, ".");
    try {
        ReplaceFileAtomically(path, content);
    } catch (const std::runtime_error& error) {
        throw MailTransportError(error.what());
    }
}

void MailMessage::LoadFromFile(const std::string& path) {
    std::string content;
    if (!ReadWholeFile(path, content)) {
        Clear();
        throw MailTransportError("Cannot load message from file " + path);
    }
    ReadFromText(content);
}
