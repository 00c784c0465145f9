#include "mail/message_header_composer.h"

#include "mail/encoded_words.h"
#include "mail/header_lines.h"
#include "mail/mail_date.h"
#include "mail/mail_message.h"
#include "mail/mime_parameters.h"

namespace {

std::string EncodedAddressText(const MailAddress& address) {
    std::string encodedName = EncodeHeaderWords(address.Name);
    if (encodedName == address.Name || address.Address.empty()) {
        return address.DisplayText();
    }
    // Encoded words may not stand inside quotes.
    return encodedName + " <" + address.Address + ">";
}

std::string EncodedListText(const MailAddressList& list) {
    std::string text;
    for (const MailAddress& entry : list) {
        if (!text.empty()) {
            text += ", ";
        }
        text += EncodedAddressText(entry);
    }
    return text;
}

// The first copy of the field is replaced where it stands; later copies go.
void SetField(std::vector<std::string>& lines, const std::string& name, const std::string& value) {
    std::vector<std::string> folded;
    if (!value.empty()) {
        AppendFoldedHeaderLine(name + ": " + value, folded);
    }
    std::vector<std::string> result;
    result.reserve(lines.size() + folded.size());
    bool placed = false;
    for (size_t i = 0; i < lines.size();) {
        if (IsContinuationLine(lines[i]) || !IsHeaderNamed(lines[i], name)) {
            result.push_back(std::move(lines[i++]));
            continue;
        }
        if (!placed) {
            result.insert(result.end(), folded.begin(), folded.end());
            placed = true;
        }
        i += HeaderLineSpan(lines, i);
    }
    if (!placed) {
        result.insert(result.end(), folded.begin(), folded.end());
    }
    lines = std::move(result);
}

bool HasWrittenParts(const MailMessage& message) {
    return !message.Parts.empty();
}

std::string ContentTypeValue(const MailMessage& message, const std::string& boundary) {
    if (!HasWrittenParts(message)) {
        return message.ContentType;
    }
    std::string mediaType = MediaType(message.ContentType);
    if (mediaType.rfind("multipart/", 0) != 0) {
        mediaType = "multipart/mixed";
    }
    return mediaType + "; boundary=\"" + boundary + "\"";
}

std::string DateValue(const MailMessage& message) {
    if (message.UseCurrentDate) {
        return FormatMailDate(Now());
    }
    return message.Date == 0 ? std::string() : FormatMailDate(message.Date);
}

} // namespace

std::vector<std::string> ComposeHeaderLines(const MailMessage& message, const std::string& boundary) {
    std::vector<std::string> lines = message.HeaderLines;
    bool parts = HasWrittenParts(message);
    SetField(lines, "From", message.From.IsEmpty() ? std::string() : EncodedAddressText(message.From));
    SetField(lines, "Subject", EncodeHeaderWords(message.Subject));
    SetField(lines, "To", EncodedListText(message.To));
    SetField(lines, "Cc", EncodedListText(message.Cc));
    SetField(lines, "Newsgroups", message.Newsgroups);
    SetField(lines, "Content-Type", ContentTypeValue(message, boundary));
    // Content-Type and Content-Transfer-Encoding are MIME fields: a message
    // carrying them must say so (RFC 2045 4), parts or not.
    bool mime = parts || !message.ContentType.empty() || !message.ContentTransferEncoding.empty();
    SetField(lines, "MIME-Version", mime ? "1.0" : "");
    // A multipart entity may not be base64 or quoted-printable encoded as a whole (RFC 2045 6.4).
    SetField(lines, "Content-Transfer-Encoding", parts ? std::string() : message.ContentTransferEncoding);
    SetField(lines, "Sender", message.Sender.IsEmpty() ? std::string() : EncodedAddressText(message.Sender));
    SetField(lines, "Reply-To", EncodedListText(message.ReplyTo));
    SetField(lines, "Organization", EncodeHeaderWords(message.Organization));
    SetField(lines, "Disposition-Notification-To",
             message.ReceiptRecipient.IsEmpty() ? std::string() : EncodedAddressText(message.ReceiptRecipient));
    SetField(lines, "References", message.References);
    SetField(lines, "Date", DateValue(message));
    SetField(lines, "X-Priority", message.Priority == 2 ? std::string() : std::to_string(message.Priority + 1));
    for (const std::string& extra : message.ExtraHeaders) {
        AppendFoldedHeaderLine(extra, lines);
    }
    return lines;
}
