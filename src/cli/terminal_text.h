#pragma once

#include <string>

// Text from a message or a stored file (a subject, a sender, a list entry, an
// error naming them) made safe to print on a terminal: control characters
// that a terminal would act on (escape sequences, carriage returns, bells;
// C0, DEL and the C1 controls, raw or UTF-8 encoded) become "?", so nothing
// in them can move the cursor, rewrite the screen or talk to the terminal.
// Only well-formed UTF-8 passes as a sequence; a byte that starts none (an
// overlong form, a surrogate) is taken alone, 0x80..0x9F becoming "?". Line
// feeds stay when keepLineFeeds is set, tabs always. Every line the command
// line prints from stored or received data goes through here.
std::string TerminalSafe(const std::string& text, bool keepLineFeeds = false);

// Lines of the system's own texts (a message box, an error), which end in
// CR LF inside, for the terminal: CR LF becomes LF, then TerminalSafe keeping
// the line feeds.
std::string TerminalSafeLines(const std::string& text);

// The number of characters of text: a well-formed UTF-8 sequence is one, so
// is every other byte.
size_t CharacterCount(const std::string& text);

// Text padded with spaces to width characters (longer text stays whole).
std::string PadToWidth(const std::string& text, size_t width);

// A table column: TerminalSafe text cut to width characters (the cut marked
// with "...") and padded to width; a cut never splits a character.
std::string TerminalColumn(const std::string& text, size_t width);
