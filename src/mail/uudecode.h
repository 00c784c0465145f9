#pragma once

#include <string>
#include <string_view>

// uuencoded blocks in plain message bodies: a "begin <mode> <name>" line,
// encoded lines, and an "end" line.

// True when line opens a block (octal mode of three or four digits and a
// name); gives the name as the block states it.
bool IsUuencodeBegin(std::string_view line, std::string& fileName);

// True when line closes a block.
bool IsUuencodeEnd(std::string_view line);

// Decodes one encoded line, appending its bytes; a malformed line adds what
// it can and never reads beyond its end.
void DecodeUuencodedLine(std::string_view line, std::string& out);
