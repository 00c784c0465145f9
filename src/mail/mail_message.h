#pragma once

#include "mail/mail_address.h"
#include "mail/message_part.h"
#include "mail/part_files.h"
#include "platform/date_time.h"

#include <string>
#include <vector>

class LineReader;

// The in-memory form of one Internet mail message (RFC 2822 with MIME).
//
// Raw mode (RawRead and RawWrite set): header and body lines stay exactly as
// received and are written back as stored. Decoded mode (both clear): reading
// splits a MIME body into parts and decodes them, attachments going to
// temporary files in a folder private to the user; writing generates the
// header block from the fields and encodes the body.
//
// A message owns the temporary files of its attachment parts and deletes them
// when it is cleared or destroyed, unless KeepPartFiles is set. Reading takes
// time and memory in proportion to the text for any input: multiparts nested
// deeper than 32 levels are kept as one undecoded text part.
//
// Parts and KeepPartFiles come from PartFileOwner, which deletes the files.
class MailMessage : public PartFileOwner {
public:
    // Header lines as received, continuation lines included.
    std::vector<std::string> HeaderLines;
    // Body lines: in raw mode the whole body after dot-unstuffing; in decoded
    // mode the body of a message that is not multipart.
    std::vector<std::string> BodyLines;
    // Composing only: "Name: value" lines appended after the generated header.
    std::vector<std::string> ExtraHeaders;

    MailAddress From;
    MailAddressList ReplyTo;
    MailAddressList To;
    MailAddressList Cc;
    MailAddressList Bcc;
    std::string Subject;
    SerialDateTime Date = 0;
    std::string MessageId;
    int Priority = 2; // 0 highest .. 4 lowest
    std::string ContentType;
    std::string ContentTransferEncoding;
    MailAddress Sender;
    std::string Organization;
    std::string References;
    MailAddress ReceiptRecipient;
    std::string Newsgroups;

    bool RawRead = false;
    bool RawWrite = false;
    bool UseCurrentDate = false;

    // Empties every field, the lines and the parts; the mode flags stay.
    void Clear();

    // The header lines joined with CR LF / replaced from such a text.
    std::string HeaderText() const;
    void SetHeaderText(const std::string& text);

    // Value of the first header named name (any case), continuation lines
    // unfolded with single spaces, trimmed; empty when absent.
    std::string HeaderValue(const std::string& name) const;
    // Index of the first header line named name (any case), or -1.
    int IndexOfHeader(const std::string& name) const;
    // Removes the header line at index with its continuation lines.
    void DeleteHeaderLine(int index);

    // Fills the fields from the header lines. Never fails on malformed input.
    void ParseHeaderFields();

    // First Reply-To address, empty when there is none.
    std::string ReplyToAddress() const;

    // Sets ("Name: value") or, for an empty value, removes an extra header.
    void SetExtraHeader(const std::string& name, const std::string& value);

    // Clears the message, reads it from a whole message text (CR LF or LF
    // lines, ending at a line "." or the end; a header line "." ends it only as
    // the last line) and parses the header fields.
    // Raises MailTransportError when an attachment file cannot be written.
    void ReadFromText(const std::string& text);

    // Appends header block, empty line and body as CR LF lines, with one more
    // "." before every line that begins with "."; no terminating ".".
    // Raises MailTransportError when an attachment file cannot be read.
    void WriteTo(std::string& out) const;

    // Writes the message followed by the line "." to path, replacing any
    // existing file. Raises MailTransportError when it cannot be written.
    void SaveToFile(const std::string& path) const;
    // Clears the message and reads it from path. Raises MailTransportError
    // "Cannot load message from file %s" when the file cannot be read.
    void LoadFromFile(const std::string& path);

private:
    void ReadRawBody(LineReader& reader);
    void ReadDecodedBody(LineReader& reader);
    static void WriteLines(const std::vector<std::string>& header, const std::vector<std::string>& body,
                           std::string& out);
};
