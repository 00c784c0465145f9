#pragma once

#include <string>

// Pure parsers of POP3 (RFC 1939) replies, kept apart from the socket and
// the session so that every odd reply can be tested as a table.

// A status line: "+OK text" is positive, "-ERR text" negative; Text is what
// follows the indicator and one space. Anything else breaks the protocol:
// not Valid (and not Positive), with the whole line as its text.
struct Pop3Reply {
    bool Positive = false;
    bool Valid = true;
    std::string Text;
};
Pop3Reply ParsePop3Reply(const std::string& line);

// The message count of a STAT reply text ("2 320"): its first space-delimited
// word. An empty text gives 0. Raises MailTransportError "Invalid STAT reply:
// " + text when that word is not a non-negative decimal number that fits.
int ParseStatCount(const std::string& text);

// True for the line that ends a multi-line reply (a single ".").
bool IsMultiLineEnd(const std::string& line);

// Removes the byte-stuffing of a multi-line reply: a line that begins with
// ".." loses its first dot ("..x" becomes ".x"). A single leading dot stays:
// a server that does not stuff its lines must not lose a character.
std::string UnstuffLine(const std::string& line);
