#pragma once

#include <string>
#include <vector>

// Pure parsers of SMTP (RFC 2821) replies, kept apart from the socket and
// the client so every odd reply can be tested as a table.

// One reply: the three-digit code and the text of each of its lines (what
// follows the code and its "-" or " " separator).
struct SmtpReply {
    int Code = 0;
    std::vector<std::string> Lines;
    // False once a line broke the protocol (no three-digit code).
    bool Valid = true;

    // The texts of the lines joined with CR LF: what an error shows.
    std::string Text() const;
};

// Adds one received line to reply and returns true when it was the last
// line of the reply ("250 x" rather than "250-x"). A line that does not begin
// with three digits ends the reply with code 0, the whole line as text, and
// Valid cleared.
bool AddSmtpReplyLine(SmtpReply& reply, const std::string& line);

// The authentication mechanisms an EHLO reply announces: every line whose
// first five characters are "AUTH " or "AUTH=" (any case) gives the words
// after them, split at spaces and "="; upper-cased, each added once to
// mechanisms.
void AddAnnouncedMechanisms(const SmtpReply& ehloReply, std::vector<std::string>& mechanisms);
