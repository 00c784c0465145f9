#pragma once

#include <string>
#include <vector>

class MailMessage;

// What the secure preview (PreviewDialog) shows of a quarantined message: the
// header rows, whether the attachment notice and the "CC:" row are shown, and
// the text of m_bodyView. Only header fields and plain text are ever taken from
// the message; nothing in it is run, rendered or opened.

inline constexpr char PreviewCaption[] = "Secure Message Preview";
inline constexpr char PreviewAttachmentNotice[] =
    "This message contains attachments.  For your protection, attachments are blocked until a message is approved.";
inline constexpr char PreviewStatusNotice[] =
    "NOTICE:  Emails asking for your password, credit card/bank information and other private information are "
    "fraud/spam";
inline constexpr char PreviewEmptyText[] = "This message is empty or does not contain a secure plaintext part.";

struct PreviewContent {
    std::string From;
    std::string To;
    std::string Cc;
    bool ShowCc = false;
    // The message date in the user's short date and long time format; empty
    // when the message had no valid date.
    std::string Date;
    std::string Subject;
    bool ShowAttachmentNotice = false;
    // The first plain-text part, or the body of a message without parts, its
    // lines joined with "\n"; PreviewEmptyText when that is empty.
    std::string Text;
};

// The choices of ShowPreviewMessage for a message read in decoded mode.
PreviewContent PreviewContentOf(const MailMessage& message);

// The header rows the preview shows, in order: "From:", "To:", "CC:" (only
// when shown), "Date:", "Subject:", each with its value.
struct PreviewRow {
    std::string Caption;
    std::string Value;
};
std::vector<PreviewRow> PreviewHeaderRows(const PreviewContent& content);

// Reads a quarantine file for the preview: decoded mode, attachment files
// kept (the preview deletes them with DeletePreviewFiles when it closes).
// Raises MailTransportError ("Cannot load message from file %s") like
// LoadFromFile.
void LoadPreviewMessage(const std::string& path, MailMessage& message);

// Deletes the temporary files of the message's attachment parts; a file that
// cannot be deleted stays behind silently.
void DeletePreviewFiles(const MailMessage& message);

// The text of the box shown when the file cannot be loaded (caption
// "Notice", error icon).
std::string PreviewErrorText(const std::string& errorText);
