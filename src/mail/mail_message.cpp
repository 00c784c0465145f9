#include "mail/mail_message.h"

#include "mail/header_lines.h"
#include "mail/line_reader.h"
#include "platform/atomic_file.h"
#include "platform/mail_transport_error.h"
#include "platform/paths.h"

#include <stdexcept>
#include <utility>

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

} // namespace

MailMessage::~MailMessage() {
    DeletePartFiles();
}

MailMessage::MailMessage(MailMessage&& other) noexcept {
    *this = std::move(other);
}

MailMessage& MailMessage::operator=(MailMessage&& other) noexcept {
    if (this == &other) {
        return *this;
    }
    DeletePartFiles();
    HeaderLines = std::move(other.HeaderLines);
    BodyLines = std::move(other.BodyLines);
    Parts = std::move(other.Parts);
    ExtraHeaders = std::move(other.ExtraHeaders);
    From = std::move(other.From);
    ReplyTo = std::move(other.ReplyTo);
    To = std::move(other.To);
    Cc = std::move(other.Cc);
    Bcc = std::move(other.Bcc);
    Subject = std::move(other.Subject);
    Date = other.Date;
    MessageId = std::move(other.MessageId);
    Priority = other.Priority;
    ContentType = std::move(other.ContentType);
    ContentTransferEncoding = std::move(other.ContentTransferEncoding);
    Sender = std::move(other.Sender);
    Organization = std::move(other.Organization);
    References = std::move(other.References);
    ReceiptRecipient = std::move(other.ReceiptRecipient);
    Newsgroups = std::move(other.Newsgroups);
    RawRead = other.RawRead;
    RawWrite = other.RawWrite;
    UseCurrentDate = other.UseCurrentDate;
    KeepPartFiles = other.KeepPartFiles;
    // The files now belong to this message alone.
    other.Parts.clear();
    return *this;
}

void MailMessage::DeletePartFiles() {
    if (KeepPartFiles) {
        return;
    }
    for (const MessagePart& part : Parts) {
        if (!part.StoredPathName.empty()) {
            try {
                DeleteFileIfExists(part.StoredPathName);
            } catch (const std::exception&) {
                // A file that cannot be removed must not stop the clean-up of the rest.
            }
        }
    }
}

void MailMessage::Clear() {
    DeletePartFiles();
    HeaderLines.clear();
    BodyLines.clear();
    Parts.clear();
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
    Subject = HeaderValue("Subject");
    MessageId = HeaderValue("Message-Id");
    ContentType = HeaderValue("Content-Type");
    ContentTransferEncoding = HeaderValue("Content-Transfer-Encoding");
    Organization = HeaderValue("Organization");
    References = HeaderValue("References");
    Newsgroups = HeaderValue("Newsgroups");
}

void MailMessage::ReadFromText(const std::string& text) {
    Clear();
    LineReader reader(text);
    std::string_view line;
    while (reader.Next(line) && !line.empty() && line != ".") {
        HeaderLines.emplace_back(line);
    }
    if (line == ".") {
        ParseHeaderFields();
        return;
    }
    while (reader.Next(line) && line != ".") {
        BodyLines.emplace_back(Unstuffed(line));
    }
    ParseHeaderFields();
}

void MailMessage::WriteTo(std::string& out) const {
    for (const std::string& line : HeaderLines) {
        AppendLine(out, line);
    }
    AppendLine(out, "");
    for (const std::string& line : BodyLines) {
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
