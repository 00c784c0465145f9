#include "challenge/preview_text.h"

#include "mail/mail_message.h"
#include "records/text_helpers.h"

#include <cstdio>

namespace {

bool HasAttachmentType(const std::string& contentType) {
    std::string lower = LowerAscii(contentType);
    return lower.find("multipart/mixed") != std::string::npos || lower.find("multipart/related") != std::string::npos;
}

// The media type is compared as it stands before the first ";", untrimmed.
bool IsPlainTextPart(const MessagePart& part) {
    return !part.IsAttachment() && LowerAscii(TextBefore(part.ContentType, ";")) == "text/plain";
}

std::string SecureText(const MailMessage& message) {
    if (message.Parts.empty())
        return JoinWith(message.BodyLines, "\n");
    for (const MessagePart& part : message.Parts) {
        if (IsPlainTextPart(part))
            return JoinWith(part.Lines, "\n");
    }
    return {};
}

} // namespace

PreviewContent PreviewContentOf(const MailMessage& message) {
    PreviewContent content;
    content.From = message.From.DisplayText();
    content.To = AddressListText(message.To);
    content.Cc = AddressListText(message.Cc);
    content.ShowCc = !content.Cc.empty();
    content.Subject = message.Subject;
    // A message without a valid date has date 0, which would read as 1899.
    if (message.Date != 0)
        content.Date = ShortDateLongTimeText(message.Date);
    content.ShowAttachmentNotice = HasAttachmentType(message.ContentType);
    content.Text = SecureText(message);
    if (content.Text.empty())
        content.Text = PreviewEmptyText;
    return content;
}

std::vector<PreviewRow> PreviewHeaderRows(const PreviewContent& content) {
    std::vector<PreviewRow> rows{{"From:", content.From}, {"To:", content.To}};
    if (content.ShowCc)
        rows.push_back({"CC:", content.Cc});
    rows.push_back({"Date:", content.Date});
    rows.push_back({"Subject:", content.Subject});
    return rows;
}

void LoadPreviewMessage(const std::string& path, MailMessage& message) {
    message.RawRead = false;
    message.RawWrite = false;
    message.KeepPartFiles = true;
    message.LoadFromFile(path);
    message.ParseHeaderFields();
}

void DeletePreviewFiles(const MailMessage& message) {
    for (const MessagePart& part : message.Parts) {
        if (part.IsAttachment() && !part.StoredPathName.empty())
            std::remove(part.StoredPathName.c_str());
    }
}

std::string PreviewErrorText(const std::string& errorText) {
    return "Error previewing message:\r\n\r\n" + errorText;
}
