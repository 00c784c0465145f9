#pragma once

#include <string>
#include <vector>

class MailMessage;

// The header block of a message written in decoded mode. Starting from the
// stored header lines, these fields are set in this order, a field already
// present being replaced where it stands (later copies of it removed) and a
// field with an empty value being removed: From, Subject, To, Cc,
// Newsgroups, Content-Type, MIME-Version (with parts, a content type or a
// transfer encoding), Content-Transfer-Encoding, Sender, Reply-To,
// Organization, Disposition-Notification-To, References, Date (the time of
// writing with UseCurrentDate), X-Priority
// (priority + 1, only when the priority is not 2); then the extra header
// lines. Non-ASCII names, subject and organization become RFC 2047 words;
// lines longer than 78 characters are folded. A message with parts gets a
// multipart content type with the given boundary.
std::vector<std::string> ComposeHeaderLines(const MailMessage& message, const std::string& boundary);
